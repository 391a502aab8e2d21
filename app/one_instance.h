#pragma once
// One Pinlorn per session: every Pinlorn of a session would poll the same
// port, and one that ends writes DR 0 under the others.

// Whether this is the session's only Pinlorn. A second one brings the first
// one's window forward (restored, if minimised) and is told to end, before
// it touches the port. The mark this leaves ends with the process, however
// it ends, so that an ended Pinlorn never keeps the next one from starting.
bool FirstInSession();

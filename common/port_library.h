#pragma once
// The port I/O library's two functions, which Pinlorn imports by their
// undecorated names. The library's file name depends on the processor (see
// cmake/port-library-*.def). The virtual port defines them with
// PINLORN_PORT_LIBRARY_DEFINITION set.
#ifdef PINLORN_PORT_LIBRARY_DEFINITION
#define PINLORN_PORT_LIBRARY_API
#else
#define PINLORN_PORT_LIBRARY_API __declspec(dllimport)
#endif

extern "C" {
PINLORN_PORT_LIBRARY_API short __stdcall Inp32(short port);
PINLORN_PORT_LIBRARY_API void __stdcall Out32(short port, short data);
}

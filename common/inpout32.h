#pragma once
// The port I/O library inpout32.dll: the two functions Pinlorn imports by
// their undecorated names. The virtual port defines them, and includes this
// with PINLORN_INPOUT32_DEFINITION set so that the compiler checks both sides
// against one declaration.
#ifdef PINLORN_INPOUT32_DEFINITION
#define PINLORN_INPOUT32_API
#else
#define PINLORN_INPOUT32_API __declspec(dllimport)
#endif

extern "C" {
PINLORN_INPOUT32_API short __stdcall Inp32(short port);
PINLORN_INPOUT32_API void __stdcall Out32(short port, short data);
}

#pragma once
// The port I/O library's two functions, which Pinlorn imports by their
// undecorated names, and the one it looks up at run time. The library's file name depends on the processor (see
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

// Whether the library's driver is open (BOOL): the common library needs
// administrator rights once to install its driver, and Windows may block the
// driver; until it is open every read gives 0. Not every library has this
// function, so Pinlorn looks it up by name and never imports it.
using DriverOpenQuery = int(__stdcall*)();
inline constexpr char kDriverOpenQueryName[] = "IsInpOutDriverOpen";
#ifdef PINLORN_PORT_LIBRARY_DEFINITION
extern "C" int __stdcall IsInpOutDriverOpen();
#endif

#pragma once
// inpout32.dll's two functions, which Pinlorn imports by their undecorated
// names. The virtual port defines them with PINLORN_INPOUT32_DEFINITION set.
#ifdef PINLORN_INPOUT32_DEFINITION
#define PINLORN_INPOUT32_API
#else
#define PINLORN_INPOUT32_API __declspec(dllimport)
#endif

extern "C" {
PINLORN_INPOUT32_API short __stdcall Inp32(short port);
PINLORN_INPOUT32_API void __stdcall Out32(short port, short data);
}

#include <windows.h>
extern "C" __declspec(dllexport) short __stdcall Inp32(short port) { return port == 0x378 ? 0x12 : 0xFF; }
extern "C" __declspec(dllexport) void __stdcall Out32(short, short) {}

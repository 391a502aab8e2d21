#include <gtest/gtest.h>
#include <windows.h>
extern "C" short __stdcall Inp32(short port);
TEST(Smoke, ReadsVirtualPortAndMakesWindow) {
  EXPECT_EQ(Inp32(0x378), 0x12);
  HWND w = CreateWindowExA(0, "STATIC", "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  EXPECT_NE(w, nullptr);
  DestroyWindow(w);
}

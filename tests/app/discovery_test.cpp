// The registry helpers behind port discovery, on a key of the test's own: the
// value forms the registry can hold beyond plain, terminated text; and that
// choosing the base again never doubles the captions. (The port list and the
// captions that result are checked on the running program.)
#include <gtest/gtest.h>

#include <string>

#include "app_support.h"
#include "discovery.h"

namespace {

using namespace std::string_literals;

// Values of every form, and the text that each reads as.
const struct {
  const char* Name;
  DWORD Type;
  std::string Data;
  const char* Expected;
} kValues[] = {
    {"no NUL, odd size", REG_SZ, "LPT", "LPT"},
    {"inner NUL", REG_SZ, "AB\0CD\0"s, "AB"},
    {"empty", REG_SZ, "", ""},
    {"", REG_SZ, "default\0"s, "default"},
    {"expand", REG_EXPAND_SZ, "%PINLORN_TEST_DIR%\\x\0"s, "C:\\bench\\x"},
    {"expand, no NUL", REG_EXPAND_SZ, "%PINLORN_TEST_DIR%", "C:\\bench"},
    {"multi-string", REG_MULTI_SZ, "text\0\0"s, ""},
    {"number", REG_DWORD, "\x78\x03\0\0"s, ""},
};

TEST(ReadRegistryString, TakesTextUpToItsEndAndNeverBeyond) {
  const char kKey[] = "Software\\PinlornDiscoveryTest";
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  SetEnvironmentVariableA("PINLORN_TEST_DIR", "C:\\bench");
  for (const auto& v : kValues) {
    RegSetValueExA(key, v.Name, 0, v.Type, reinterpret_cast<const BYTE*>(v.Data.data()),
                   static_cast<DWORD>(v.Data.size()));
  }
  // UTF-16 text of an odd byte count: the half character at its end is dropped.
  RegSetValueExW(key, L"odd", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"XYZ"), 5);

  HKEY opened = OpenRegistryKey(HKEY_CURRENT_USER, kKey);
  ASSERT_NE(opened, nullptr);
  for (const auto& v : kValues) EXPECT_EQ(ReadRegistryString(opened, v.Name), v.Expected) << v.Name;
  EXPECT_EQ(ReadRegistryString(opened, nullptr), "default");
  EXPECT_EQ(ReadRegistryString(opened, "odd"), "XY");
  EXPECT_EQ(ReadRegistryString(opened, "missing"), "");
  EXPECT_EQ(ReadRegistryString(nullptr, "expand"), "");
  CloseRegistryKey(opened);
  EXPECT_EQ(OpenRegistryKey(HKEY_CURRENT_USER, "Software\\PinlornNoSuchKey"), nullptr);

  RegCloseKey(key);
  RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
}

TEST(ChooseBase, GivesACaptionOneAddress) {
  BuiltForm form;  // has chosen the base once
  PortState.BaseAddress = kLpt1Base;
  ChooseBase(form.form);
  EXPECT_EQ(TextOf(form->CRBox->Handle), "Control Register (CR)  37A");
}

}  // namespace

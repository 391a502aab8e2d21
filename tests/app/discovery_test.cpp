// Port discovery against registry contents prepared by the test.
#include <gtest/gtest.h>

#include "app_support.h"
#include "discovery.h"
#include "items.h"
#include "properties.h"

namespace {

using namespace std::string_literals;

using Value = ParallelPortsKey::Value;

std::vector<BYTE> Bytes(const std::string& text) { return std::vector<BYTE>(text.begin(), text.end()); }
Value Sz(const char* name, const std::string& data) { return {name, REG_SZ, Bytes(data)}; }

const char kP0[] = "\\Device\\Parallel0";
const char kP1[] = "\\Device\\Parallel1";
const char kP2[] = "\\Device\\Parallel2";

struct DiscoveryCase {
  const char* Label;
  bool KeyPresent;
  std::vector<Value> Values;
  std::vector<std::string> Listed;
};

const DiscoveryCase kCases[] = {
    {"key absent", false, {}, {}},
    {"key empty", true, {}, {}},
    {"first and third", true, {Sz(kP0, "\\Device\\Parallel0\0"s), Sz(kP2, "x\0"s)}, {"LPT1", "LPT3"}},
    {"only second", true, {Sz(kP1, "LPT2\0"s)}, {"LPT2"}},
    {"all three and a fourth", true,
     {Sz(kP0, "a\0"s), Sz(kP1, "b\0"s), Sz(kP2, "c\0"s), Sz("\\Device\\Parallel3", "d\0"s)},
     {"LPT1", "LPT2", "LPT3"}},
    {"fourth only", true, {Sz("\\Device\\Parallel3", "d\0"s)}, {}},
    {"data names another port", true, {Sz(kP0, "\\Device\\Parallel7\0"s)}, {"LPT1"}},
    {"DWORD", true, {{kP0, REG_DWORD, {1, 0, 0, 0}}}, {}},
    {"multi-string", true, {{kP0, REG_MULTI_SZ, Bytes("a\0\0"s)}}, {}},
    {"empty text", true, {Sz(kP0, "\0"s)}, {}},
    {"no data at all", true, {Sz(kP0, "")}, {}},
    {"no NUL, odd size", true, {Sz(kP0, "abc")}, {"LPT1"}},
    {"expandable", true, {{kP0, REG_EXPAND_SZ, Bytes("%SystemRoot%\0"s)}}, {"LPT1"}},
    {"expandable without NUL", true, {{kP0, REG_EXPAND_SZ, Bytes("%SystemRoot%")}}, {"LPT1"}},
};

std::vector<std::string> Items(TControl* list) {
  std::vector<std::string> items;
  for (int32_t i = 0; i < ItemCount(list); ++i) {
    char text[64] = {};
    SendMessageA(list->Handle, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    items.push_back(text);
  }
  return items;
}

TEST(FindPorts, ListsTheProbedPortsAndChoosesLpt1Only) {
  ParallelPortsKey restore;
  for (const DiscoveryCase& c : kCases) {
    SCOPED_TRACE(c.Label);
    if (c.KeyPresent) {
      ParallelPortsKey::Clear();
    } else {
      ParallelPortsKey::Remove();
    }
    for (const Value& v : c.Values) ParallelPortsKey::Set(v);

    BuiltForm form;
    EXPECT_EQ(Items(form->PortList), c.Listed);
    const std::string first = c.Listed.empty() ? "" : c.Listed[0];
    EXPECT_EQ(GetText(form->PortList), first);
    const bool lpt1 = first == "LPT1";
    EXPECT_EQ(PortState.BaseAddress, lpt1 ? 0x378u : 0u);
    EXPECT_EQ(GetText(form->DRBox), std::string("Data Register    (DR)  ") + (lpt1 ? "378" : "000"));
    EXPECT_EQ(GetText(form->CRBox), std::string("Control Register (CR)  ") + (lpt1 ? "37A" : "002"));
    EXPECT_EQ(GetText(form->SRBox), std::string("Status Register  (SR)  ") + (lpt1 ? "379" : "001"));
  }
}

// The registry helpers on a key of the test's own, for exact results.
TEST(ReadRegistryString, TakesTextUpToItsEndAndNeverBeyond) {
  const char kKey[] = "Software\\PinlornDiscoveryTest";
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  SetEnvironmentVariableA("PINLORN_TEST_DIR", "C:\\bench");
  const struct {
    const char* Name;
    DWORD Type;
    std::string Data;
    const char* Expected;
  } kValues[] = {
      {"plain", REG_SZ, "LPT1\0"s, "LPT1"},
      {"no NUL", REG_SZ, "LPT", "LPT"},
      {"inner NUL", REG_SZ, "AB\0CD\0"s, "AB"},
      {"empty", REG_SZ, "", ""},
      {"", REG_SZ, "default\0"s, "default"},
      {"expand", REG_EXPAND_SZ, "%PINLORN_TEST_DIR%\\x\0"s, "C:\\bench\\x"},
      {"expand no NUL", REG_EXPAND_SZ, "%PINLORN_TEST_DIR%", "C:\\bench"},
      {"binary", REG_BINARY, "text\0"s, ""},
  };
  for (const auto& v : kValues) {
    RegSetValueExA(key, v.Name, 0, v.Type, reinterpret_cast<const BYTE*>(v.Data.data()),
                   static_cast<DWORD>(v.Data.size()));
  }
  // Odd-sized UTF-16 data: the half character at the end is dropped.
  const wchar_t odd[] = L"XY";
  RegSetValueExW(key, L"odd", 0, REG_SZ, reinterpret_cast<const BYTE*>(odd), 5);

  HKEY opened = OpenRegistryKey(HKEY_CURRENT_USER, kKey);
  ASSERT_NE(opened, nullptr);
  for (const auto& v : kValues) EXPECT_EQ(ReadRegistryString(opened, v.Name), v.Expected) << v.Name;
  EXPECT_EQ(ReadRegistryString(opened, nullptr), "default");
  EXPECT_EQ(ReadRegistryString(opened, "odd"), "XY");
  EXPECT_EQ(ReadRegistryString(opened, "missing"), "");
  EXPECT_EQ(ReadRegistryString(nullptr, "plain"), "");
  CloseRegistryKey(opened);
  CloseRegistryKey(nullptr);
  EXPECT_EQ(OpenRegistryKey(HKEY_CURRENT_USER, "Software\\PinlornNoSuchKey"), nullptr);

  RegCloseKey(key);
  RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
}

}  // namespace

#pragma once
// Helpers of the port monitor's tests: the main window built as the program
// builds it, and the parallel-port registry key prepared and restored.
#include <windows.h>

#include <string>
#include <vector>

#include "application.h"
#include "mainform.h"
#include "state.h"

// BuildMainForm from a fresh process state; the form is released at the end.
class BuiltForm {
 public:
  BuiltForm() {
    PortState = {};
    Running = false;
    Terminated = false;
    BuildMainForm(form);
  }
  ~BuiltForm() {
    if (MainWindow != nullptr) {
      TControl* window = MainWindow;
      Shutdown(window);
    }
  }
  BuiltForm(const BuiltForm&) = delete;
  BuiltForm& operator=(const BuiltForm&) = delete;
  MainForm* operator->() const { return form; }

  MainForm* form = nullptr;
};

inline std::string WindowText(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// The key the program lists its ports from. Remembers its values and puts
// them back (or recreates the key) when the test is done.
class ParallelPortsKey {
 public:
  struct Value {
    std::string Name;
    DWORD Type;
    std::vector<BYTE> Data;
  };

  ParallelPortsKey() {
    HKEY key = Open();
    if (key == nullptr) return;
    char name[256];
    BYTE data[1024];
    for (DWORD i = 0;; ++i) {
      DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
      if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
      saved_.push_back({name, type, std::vector<BYTE>(data, data + dataSize)});
    }
    RegCloseKey(key);
  }
  ~ParallelPortsKey() {
    Clear();
    for (const Value& v : saved_) Set(v);
  }
  ParallelPortsKey(const ParallelPortsKey&) = delete;
  ParallelPortsKey& operator=(const ParallelPortsKey&) = delete;

  // Deletes the key with all its values.
  static void Remove() {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\PARALLEL PORTS");
  }
  // An empty key (the hardware map is volatile, so is the key).
  static void Clear() {
    Remove();
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\PARALLEL PORTS", 0, nullptr,
                    REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegCloseKey(key);
  }
  static void Set(const Value& value) {
    HKEY key = Open(KEY_SET_VALUE);
    RegSetValueExA(key, value.Name.c_str(), 0, value.Type, value.Data.data(),
                   static_cast<DWORD>(value.Data.size()));
    RegCloseKey(key);
  }
  static void SetText(const std::string& name, const std::string& text) {
    const BYTE* bytes = reinterpret_cast<const BYTE*>(text.c_str());
    Set({name, REG_SZ, std::vector<BYTE>(bytes, bytes + text.size() + 1)});
  }

 private:
  static HKEY Open(REGSAM access = KEY_READ) {
    HKEY key = nullptr;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\PARALLEL PORTS", 0, access, &key);
    return key;
  }
  std::vector<Value> saved_;
};

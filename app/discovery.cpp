#include "discovery.h"

#include <vector>

#include "items.h"
#include "mainform.h"
#include "port.h"
#include "properties.h"
#include "display.h"
#include "handles.h"

namespace {

struct PortProbe {
  const char* ValueName;
  const char* Entry;
};

// The registry values probed, in order, and the name each port is listed as.
constexpr PortProbe kProbes[] = {
    {"\\Device\\Parallel0", "LPT1"},
    {"\\Device\\Parallel1", "LPT2"},
    {"\\Device\\Parallel2", "LPT3"},
};

constexpr char kLpt1[] = "LPT1";

// A key kept open for one scope.
using OpenKey = OwnedHandle<HKEY, CloseRegistryKey>;

// The text in `buffer` up to its first NUL; the buffer always ends in one.
std::string UpToNul(const std::vector<char>& buffer) { return std::string(buffer.data()); }

std::string Expand(const std::vector<char>& source) {
  const DWORD needed = ExpandEnvironmentStringsA(source.data(), nullptr, 0);
  if (needed == 0) return std::string();
  // One spare byte, zeroed, so the result is terminated whatever was written.
  std::vector<char> expanded(static_cast<size_t>(needed) + 1, '\0');
  const DWORD written = ExpandEnvironmentStringsA(source.data(), expanded.data(), needed);
  if (written == 0 || written > needed) return std::string();
  return UpToNul(expanded);
}

}  // namespace

HKEY OpenRegistryKey(HKEY root, const char* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path != nullptr ? path : "", 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return nullptr;
  }
  return key;
}

std::string ReadRegistryString(HKEY key, const char* name) {
  if (key == nullptr) return std::string();
  if (name == nullptr) name = "";
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
    return std::string();
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) return std::string();
  // The stored data need not end in a NUL: keep one byte beyond it, zeroed,
  // so that neither the text nor the expansion runs past the data.
  std::vector<char> data(static_cast<size_t>(size) + 1, '\0');
  DWORD readSize = size;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                       &readSize) != ERROR_SUCCESS ||
      readSize > size) {
    return std::string();
  }
  if (type == REG_EXPAND_SZ) return Expand(data);
  if (type != REG_SZ) return std::string();
  return UpToNul(data);
}

void CloseRegistryKey(HKEY key) {
  if (key != nullptr) RegCloseKey(key);
}

void FindPorts(MainForm* form) {
  ClearItems(form->PortList);
  {
    const OpenKey key(OpenRegistryKey(HKEY_LOCAL_MACHINE, kParallelPortsKey));
    if (key != nullptr) {
      for (const PortProbe& probe : kProbes) {
        if (!ReadRegistryString(key, probe.ValueName).empty()) {
          AddItem(form->PortList, probe.Entry);
        }
      }
    }
  }
  ChooseBase(form);
}

void ChooseBase(MainForm* form) {
  // Only LPT1 has a known address; any other choice leaves the port unchosen.
  if (GetText(form->PortList) == kLpt1) PortState.BaseAddress = kLpt1Base;
  // From the caption each box was made with, so that choosing again gives a
  // box its address anew rather than a second one.
  for (const RegisterPanel& panel : kPanels) {
    SetText(form->*panel.Box,
            panel.Caption + HexText(PortState.BaseAddress + panel.Offset, kAddressHexDigits));
  }
}

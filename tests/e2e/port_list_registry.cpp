#include "port_list_registry.h"

namespace {

constexpr char kPortsKey[] = "HARDWARE\\DEVICEMAP\\PARALLEL PORTS";

std::vector<PortListInRegistry::Value> ReadValues(HKEY key) {
  std::vector<PortListInRegistry::Value> values;
  for (DWORD index = 0;; ++index) {
    char name[256];
    DWORD nameSize = sizeof name, type = 0, dataSize = 0;
    if (RegEnumValueA(key, index, name, &nameSize, nullptr, &type, nullptr, &dataSize) !=
        ERROR_SUCCESS) {
      break;
    }
    std::string data(dataSize, '\0');
    nameSize = sizeof name;
    RegEnumValueA(key, index, name, &nameSize, nullptr, &type,
                  reinterpret_cast<BYTE*>(data.data()), &dataSize);
    values.push_back({name, type, data});
  }
  return values;
}

bool WriteValue(HKEY key, const PortListInRegistry::Value& value) {
  return RegSetValueExA(key, value.Name.c_str(), 0, value.Type,
                        reinterpret_cast<const BYTE*>(value.Data.data()),
                        static_cast<DWORD>(value.Data.size())) == ERROR_SUCCESS;
}

}  // namespace

PortListInRegistry::PortListInRegistry(const std::vector<Value>& values) {
  HKEY key;
  DWORD disposition;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kPortsKey, 0, nullptr, REG_OPTION_VOLATILE,
                      KEY_READ | KEY_WRITE, nullptr, &key, &disposition) != ERROR_SUCCESS) {
    return;
  }
  saved_ = ReadValues(key);
  for (const Value& old : saved_) RegDeleteValueA(key, old.Name.c_str());
  ok_ = true;
  for (const Value& value : values) ok_ = WriteValue(key, value) && ok_;
  RegCloseKey(key);
}

PortListInRegistry::~PortListInRegistry() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPortsKey, 0, KEY_READ | KEY_WRITE, &key) !=
      ERROR_SUCCESS) {
    return;
  }
  for (const Value& value : ReadValues(key)) RegDeleteValueA(key, value.Name.c_str());
  for (const Value& value : saved_) WriteValue(key, value);
  RegCloseKey(key);
}

PortListInRegistry::Value TextValue(const std::string& name, const std::string& text) {
  return {name, REG_SZ, text + '\0'};
}

std::vector<PortListInRegistry::Value> OnePort() {
  return {TextValue("\\Device\\Parallel0", "\\DosDevices\\LPT1")};
}

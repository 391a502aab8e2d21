#include "address_map.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>

namespace {

constexpr int kMaxParports = 16;  // the kernel's own limit

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\n");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\n");
  return text.substr(first, last - first + 1);
}

std::optional<uint16_t> ParseNumber(std::string_view digits, int radix) {
  unsigned value = 0;
  const char* end = digits.data() + digits.size();
  const auto [stop, error] = std::from_chars(digits.data(), end, value, radix);
  if (digits.empty() || error != std::errc() || stop != end || value == 0 || value > 0xFFFF) {
    return std::nullopt;
  }
  return static_cast<uint16_t>(value);
}

std::optional<std::string> ReadSmallFile(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  char buffer[64];
  const ssize_t got = read(fd, buffer, sizeof buffer);
  close(fd);
  if (got <= 0) return std::nullopt;
  return std::string(buffer, static_cast<size_t>(got));
}

bool Routed(const std::vector<PortRoute>& routes, uint16_t base) {
  return std::any_of(routes.begin(), routes.end(), [&](const PortRoute& r) { return r.Base == base; });
}

}  // namespace

std::optional<uint16_t> ParseBaseAddr(std::string_view text) {
  text = Trim(text);
  return ParseNumber(text.substr(0, text.find_first_of(" \t")), 10);
}

std::vector<ParportDevice> ListDevices(const std::string& procRoot) {
  std::vector<ParportDevice> devices;
  for (int n = 0; n < kMaxParports; ++n) {
    const std::string name = "parport" + std::to_string(n);
    const auto text = ReadSmallFile(procRoot + "/" + name + "/base-addr");
    if (!text) continue;
    if (const auto base = ParseBaseAddr(*text)) devices.push_back({"/dev/" + name, *base});
  }
  return devices;
}

std::vector<PortRoute> ParseRoutes(std::string_view text) {
  std::vector<PortRoute> routes;
  while (!text.empty()) {
    const auto comma = text.find(',');
    const std::string_view entry = Trim(text.substr(0, comma));
    text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    const auto equals = entry.find('=');
    if (equals == std::string_view::npos) continue;
    std::string_view base = Trim(entry.substr(0, equals));
    if (base.starts_with("0x") || base.starts_with("0X")) base.remove_prefix(2);
    const std::string_view device = Trim(entry.substr(equals + 1));
    const auto number = ParseNumber(base, 16);
    if (number && device.starts_with('/') && !Routed(routes, *number)) {
      routes.push_back({*number, std::string(device)});
    }
  }
  return routes;
}

std::vector<PortRoute> MapPorts(const std::vector<ParportDevice>& devices,
                                const std::vector<PortRoute>& given) {
  std::vector<PortRoute> routes = given;
  for (const ParportDevice& device : devices) {
    if (!Routed(routes, device.Base)) routes.push_back({device.Base, device.Path});
  }
  if (!Routed(routes, kLptOneBase)) {
    routes.push_back({kLptOneBase, devices.empty() ? "/dev/parport0" : devices.front().Path});
  }
  return routes;
}

#include "port_library.h"

#include <map>

PortLibrary::PortLibrary(const std::vector<PortRoute>& routes, SteadyClock clock,
                         FailureReport report) {
  std::map<std::string, PpdevPort*> byDevice;
  for (const PortRoute& route : routes) {
    PpdevPort*& port = byDevice[route.Device];
    if (port == nullptr) {
      devices_.push_back(std::make_unique<PpdevPort>(route.Device, clock, report));
      port = devices_.back().get();
    }
    routes_.push_back({route.Base, port});
  }
}

const PortLibrary::Route* PortLibrary::Find(uint16_t port) const {
  for (const Route& route : routes_) {
    if (port >= route.Base && port - route.Base <= 2) return &route;
  }
  return nullptr;
}

uint8_t PortLibrary::Read(uint16_t port) {
  const Route* route = Find(port);
  return route != nullptr ? route->Port->Read(route->Base, port - route->Base) : 0xFF;
}

void PortLibrary::Write(uint16_t port, uint8_t value) {
  if (const Route* route = Find(port)) route->Port->Write(route->Base, port - route->Base, value);
}

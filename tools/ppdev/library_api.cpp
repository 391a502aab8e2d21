#include "library_api.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

#include "port_library.h"

namespace {

// Windows programs may call the library from any thread.
std::mutex Lock;
PortLibrary* Library = nullptr;

}  // namespace

void PpdevStart(const char* keyRoutes, PpdevLineSink debugChannel) noexcept {
  const std::lock_guard<std::mutex> hold(Lock);
  if (Library != nullptr) return;
  const char* variable = std::getenv(kRoutesVariable);
  // The variable's routes come first: the first route of a base wins.
  const std::string given = std::string(variable != nullptr ? variable : "") + "," +
                            (keyRoutes != nullptr ? keyRoutes : "");
  Library = new PortLibrary(
      MapPorts(ListDevices(), ParseRoutes(given)), [] { return std::chrono::steady_clock::now(); },
      [debugChannel](const std::string& line) {
        if (debugChannel != nullptr) debugChannel(line.c_str());
        std::fprintf(stderr, "%s\n", line.c_str());
      });
}

unsigned char PpdevRead(unsigned short port) noexcept {
  const std::lock_guard<std::mutex> hold(Lock);
  return Library != nullptr ? Library->Read(port) : 0xFF;
}

void PpdevWrite(unsigned short port, unsigned char value) noexcept {
  const std::lock_guard<std::mutex> hold(Lock);
  if (Library != nullptr) Library->Write(port, value);
}

void PpdevStop(void) noexcept {
  const std::lock_guard<std::mutex> hold(Lock);
  delete Library;
  Library = nullptr;
}

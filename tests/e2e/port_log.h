#pragma once
// What reached the port, read from the virtual port's access log.
#include <cstdint>
#include <string>
#include <vector>

#include "virtual_port.h"

// The writes recorded from `since` on.
std::vector<AccessRecord> Writes(VirtualPort& port, uint32_t since);
// The reads of `address` recorded from `since` on.
int CountReads(VirtualPort& port, uint32_t since, uint16_t address);
// One access a line, for failure messages.
std::string Describe(const std::vector<AccessRecord>& records);

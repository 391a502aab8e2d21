#include "port_log.h"

#include <cstdio>

std::vector<AccessRecord> Writes(VirtualPort& port, uint32_t since) {
  std::vector<AccessRecord> writes;
  for (const AccessRecord& record : port.LogSince(since)) {
    if (record.Kind == AccessKind::Write) writes.push_back(record);
  }
  return writes;
}

int CountReads(VirtualPort& port, uint32_t since, uint16_t address) {
  int count = 0;
  for (const AccessRecord& record : port.LogSince(since)) {
    count += record.Kind == AccessKind::Read && record.Port == address;
  }
  return count;
}

std::string Describe(const std::vector<AccessRecord>& records) {
  std::string text;
  for (const AccessRecord& record : records) {
    char line[48];
    std::snprintf(line, sizeof line, "%s %03X %02X\n",
                  record.Kind == AccessKind::Read ? "read " : "write", record.Port, record.Value);
    text += line;
  }
  return text.empty() ? "(nothing)\n" : text;
}

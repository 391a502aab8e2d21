#pragma once
// Port discovery: lists the parallel ports the registry reports, chooses the
// base address from the list and completes the group-box captions.
#include <windows.h>

#include <string>

class MainForm;

inline constexpr char kParallelPortsKey[] = "HARDWARE\\DEVICEMAP\\PARALLEL PORTS";

// Fills PortList from the registry, then ChooseBase.
void FindPorts(MainForm* form);
// Sets BaseAddress when PortList's text is "LPT1" and captions each group box
// with its caption at creation followed by its register's address.
void ChooseBase(MainForm* form);

// The opened key (read-only), or 0 when it cannot be opened. A null path
// counts as empty.
HKEY OpenRegistryKey(HKEY root, const char* path);
// A REG_SZ or REG_EXPAND_SZ value (expanded) up to its first NUL; empty on
// every failure, for a key of 0, or a value of another type. Data without a
// terminating NUL is taken whole and never read past its end.
std::string ReadRegistryString(HKEY key, const char* name);
// Closes a key; a key of 0 is skipped.
void CloseRegistryKey(HKEY key);

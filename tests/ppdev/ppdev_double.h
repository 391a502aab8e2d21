#pragma once
// A stand-in for Linux's parallel port devices, loaded before the C library
// (LD_PRELOAD, or linked into a test program): /dev/parportN and
// /proc/sys/dev/parport/parportN/base-addr as the double's ports describe
// them, with the kernel's ppdev rules. Every other file is the real one.
//
// The ports, one entry each for parport0, parport1, ..., separated by commas,
// come from PINLORN_PPDEV_DOUBLE or PpdevDoubleSetUp:
//
//   BASE[:loopback][:enoent|:eacces|:busy]      e.g. "0x378:loopback,0xd010"
//
// BASE is the port's I/O address, "loopback" plugs in the loopback plug
// (2->15, 3->13, 4->12, 5->10, 6->11), and a failure makes opening the
// device fail (ENOENT: no device node; EACCES: no permission) or its
// exclusive claim (busy: the printer module holds the port). An empty list
// has no ports at all.
//
// With PINLORN_PPDEV_TRACE naming a file, each open of a device and each
// ioctl is appended to it as one line; PpdevDoubleLog gives the same lines
// in-process once PpdevDoubleSetUp has been called.

extern "C" {
// Starts afresh with these ports; open devices stop working.
void PpdevDoubleSetUp(const char* ports);
// The lines since the last PpdevDoubleSetUp, each ending in '\n'.
const char* PpdevDoubleLog();
}

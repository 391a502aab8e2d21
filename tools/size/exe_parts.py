#!/usr/bin/env python3
"""Tells what Pinlorn.exe is made of, from the linker's map of it.

    python3 tools/size/exe_parts.py LINK_MAP [STRIPPED_EXE]

Sums the bytes that each input file puts into the sections a stripped
program keeps, groups the files into parts (the program's own code, the
C++ runtime's exception support, the unwinder, the thread library, the C
runtime, import tables, resources) and prints one line per part. With the
stripped program given, the rest of its size (headers, section alignment,
relocations) is shown as one more line, so the lines add up to the file.
"""
import os
import re
import sys

# Sections a stripped PE program keeps on disk; .bss takes no file space.
KEPT = (".text", ".data", ".rdata", ".eh_frame", ".idata", ".CRT", ".tls", ".rsrc", ".pdata", ".xdata")

LIBSUPCXX_EH = re.compile(r"^(eh_\w+|class_type_info|si_class_type_info|vmi_class_type_info|tinfo2?|"
                          r"bad_\w+|guard(_error)?|pure|del_op\w*|new_op\w*|new_handler|atexit_thread|"
                          r"pbase_type_info|pointer_type_info|fundamental_type_info|function_type_info)\.o$")
ERROR_CLASSES = re.compile(r"^(functexcept|[\w-]*stdexcept|[\w-]*string[\w-]*|random|snprintf_lite)\.o$")

PARTS = (
    "Pinlorn's own code and data",
    "C++ runtime: demangler and verbose terminate handler",
    "C++ runtime: error classes and the string code they bring",
    "C++ runtime: exception support",
    "C++ runtime: the rest",
    "unwinder (libgcc_eh)",
    "compiler helpers (libgcc)",
    "thread library (winpthread)",
    "C runtime start-up (mingw32, crt)",
    "C runtime extras (mingwex: printf and more)",
    "import tables and stubs",
    "resources (icon, version, manifest)",
)


def part_of(path, section):
    if section == ".rsrc":
        return PARTS[11]
    member = ""
    match = re.match(r"^(.*)\((.*)\)$", path)
    if match:
        path, member = match.group(1), match.group(2)
    library = os.path.basename(path)
    # The system's import libraries, and the port library's, which the build makes.
    import_library = re.match(r"^lib(\w+32|msvcrt\w*|uuid)\.a$", library) or (
        library.endswith(".a") and not path.startswith("/usr/"))
    if section == ".idata" or import_library and (
            re.search(r"(s\d+|h|t|_defs\d+)\.o$", member) or re.search(r"_a_(s\d+|h|t)\.o$", member)):
        return PARTS[10]
    if not path.startswith("/usr/"):
        return PARTS[0]
    if library == "libstdc++.a" or library == "libsupc++.a":
        if member in ("cp-demangle.o", "vterminate.o"):
            return PARTS[1]
        if LIBSUPCXX_EH.match(member):
            return PARTS[3]
        if ERROR_CLASSES.match(member):
            return PARTS[2]
        return PARTS[4]
    if library == "libgcc_eh.a":
        return PARTS[5]
    if library == "libgcc.a":
        return PARTS[6]
    if library in ("libpthread.a", "libwinpthread.a"):
        return PARTS[7]
    if library == "libmingwex.a":
        return PARTS[9]
    if library == "libmsvcrt.a":
        return PARTS[9] if "_extra_" in member or "_common_" in member else PARTS[10]
    return PARTS[8]


def output_section(name):
    for kept in KEPT:
        if name == kept or name.startswith(kept + "$") or name.startswith(kept + "."):
            return kept
    return None


def parse(map_path):
    """Bytes per (part, output section) from the map's memory-map listing."""
    sizes = {}
    files = {}
    current = None
    pending = None
    started = False
    with open(map_path, encoding="utf-8", errors="replace") as lines:
        for line in lines:
            line = line.rstrip("\n")
            if not started:
                started = line.startswith("Linker script and memory map")
                continue
            out = re.match(r"^(\.\S+|/\d+)\s+0x[0-9a-f]+\s+0x[0-9a-f]+", line)
            if out:
                current = output_section(out.group(1))
                pending = None
                continue
            if current is None:
                continue
            whole = re.match(r"^ (\S+)\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$", line)
            if pending is not None:
                rest = re.match(r"^\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$", line)
                pending = None
                if rest:
                    whole = (None, rest.group(1), rest.group(2), rest.group(3))
            if whole is None:
                if re.match(r"^ (\.\S+|COMMON)$", line):
                    pending = line.strip()
                continue
            size = int(whole[2] if isinstance(whole, tuple) else whole.group(3), 16)
            path = whole[3] if isinstance(whole, tuple) else whole.group(4)
            if size == 0:
                continue
            part = part_of(path.strip(), current)
            sizes[(part, current)] = sizes.get((part, current), 0) + size
            files[part] = files.get(part, set()) | {path.strip()}
    return sizes


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit("usage: exe_parts.py LINK_MAP [STRIPPED_EXE]")
    sizes = parse(sys.argv[1])
    if not sizes:
        sys.exit("exe_parts: no sections found in " + sys.argv[1])
    total = 0
    print("%-58s %9s   %s" % ("part", "bytes", "of which"))
    for part in PARTS:
        by_section = {section: n for (p, section), n in sizes.items() if p == part}
        amount = sum(by_section.values())
        if amount == 0:
            continue
        total += amount
        detail = ", ".join("%s %d" % (s, n) for s, n in sorted(by_section.items(), key=lambda x: -x[1]))
        print("%-58s %9d   %s" % (part, amount, detail))
    if len(sys.argv) == 3:
        file_size = os.path.getsize(sys.argv[2])
        print("%-58s %9d" % ("headers, alignment, relocations", file_size - total))
        print("%-58s %9d   (%.1f KB)" % ("stripped program", file_size, file_size / 1024))
    else:
        print("%-58s %9d" % ("sections total", total))


if __name__ == "__main__":
    main()

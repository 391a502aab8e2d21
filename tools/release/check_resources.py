#!/usr/bin/env python3
"""check_resources.py PROGRAM VERSION: the program's version resource and
manifest give VERSION (major.minor.patch), the version the release is named
after, and the manifest names the processor the program is built for:
Windows refuses to start a program whose manifest names another (Wine does
not check). Reports the first mismatch on one line and exits with 1."""
import re
import struct
import sys


# The manifest's name of each processor, by the PE header's machine field.
MANIFEST_PROCESSORS = {0x014C: "x86", 0x8664: "amd64"}


def fail(message):
    sys.exit("check_resources: " + message)


def utf16_value(data, key):
    """The text of a StringFileInfo value, found by its UTF-16 key."""
    pattern = re.escape((key + "\0").encode("utf-16-le")) + rb"(?:\0\0)?((?:[^\0].|\0[^\0])*?)\0\0"
    match = re.search(pattern, data, re.S)
    return match.group(1).decode("utf-16-le") if match else None


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: check_resources.py PROGRAM VERSION")
    path, version = sys.argv[1], sys.argv[2]
    if not re.fullmatch(r"\d+\.\d+\.\d+", version):
        fail("the release version %r is not major.minor.patch" % version)
    with open(path, "rb") as program:
        data = program.read()
    wanted = [int(part) for part in version.split(".")] + [0]

    # VS_FIXEDFILEINFO: signature, struct version, then file and product versions.
    at = data.find(struct.pack("<I", 0xFEEF04BD))
    if at < 0:
        fail("%s has no version resource" % path)
    file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<4I", data, at + 8)
    for label, ms, ls in (("file", file_ms, file_ls), ("product", product_ms, product_ls)):
        found = [ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF]
        if found != wanted:
            fail("%s's %s version is %s, the release is %s" % (path, label, ".".join(map(str, found)), version))

    for key in ("FileVersion", "ProductVersion"):
        text = utf16_value(data, key)
        if text != version:
            fail("%s's %s text is %r, the release is %s" % (path, key, text, version))

    identity = re.search(rb"<assemblyIdentity[^>]*>", data)
    if not identity:
        fail("%s has no manifest with an assembly identity" % path)
    manifest_version = re.search(rb'\sversion="([^"]*)"', identity.group(0))
    if not manifest_version or manifest_version.group(1).decode() != version + ".0":
        fail("%s's manifest gives version %s, the release is %s"
             % (path, manifest_version.group(1).decode() if manifest_version else "none", version))

    header = struct.unpack_from("<I", data, 0x3C)[0]
    machine = struct.unpack_from("<H", data, header + 4)[0]
    processor = re.search(rb'\sprocessorArchitecture="([^"]*)"', identity.group(0))
    named = processor.group(1).decode() if processor else "none"
    if named != MANIFEST_PROCESSORS.get(machine):
        fail("%s is built for machine 0x%04X, but its manifest names processor %s" % (path, machine, named))
    print("check_resources: %s is version %s, for %s" % (path, version, named))


if __name__ == "__main__":
    main()

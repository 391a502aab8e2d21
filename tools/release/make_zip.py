#!/usr/bin/env python3
"""make_zip.py FOLDER ZIP EPOCH: packs FOLDER into ZIP so that the same files
always give the same bytes. Entries are sorted by path, folders before their
files; every entry carries the time EPOCH (seconds since 1970, UTC) and the
same attributes, whatever the files' own times, owners and modes."""
import os
import sys
import time
import zipfile


def entry(name, epoch, is_folder):
    # A zip's time has no zone and starts in 1980.
    stamp = time.gmtime(max(epoch, 315532800))[:6]
    info = zipfile.ZipInfo(name, date_time=stamp)
    info.create_system = 0  # MS-DOS attributes: what Windows reads
    info.external_attr = 0x10 if is_folder else 0x20  # folder / archive bit
    info.compress_type = zipfile.ZIP_STORED if is_folder else zipfile.ZIP_DEFLATED
    return info


def main():
    if len(sys.argv) != 4:
        sys.exit("usage: make_zip.py FOLDER ZIP EPOCH")
    folder, target, epoch = sys.argv[1], sys.argv[2], int(sys.argv[3])
    names = []
    for root, dirs, files in os.walk(folder):
        relative = os.path.relpath(root, folder).replace(os.sep, "/")
        prefix = "" if relative == "." else relative + "/"
        if prefix:
            names.append(prefix)
        names.extend(prefix + f for f in files)
    names.sort()
    with zipfile.ZipFile(target + ".part", "w") as archive:
        for name in names:
            if name.endswith("/"):
                archive.writestr(entry(name, epoch, True), b"")
            else:
                with open(os.path.join(folder, name), "rb") as source:
                    archive.writestr(entry(name, epoch, False), source.read(), compresslevel=9)
    os.replace(target + ".part", target)


if __name__ == "__main__":
    main()

#!/bin/sh
# port_library.sh PROCESSOR: the file name of the port I/O library that the
# programs built for PROCESSOR (i686 or x86_64) import, as the build takes it
# from the one .def file of that processor (cmake/port-library-*.def).
set -eu
[ $# -eq 1 ] || { echo "usage: port_library.sh i686|x86_64" >&2; exit 2; }
def=$(cd "$(dirname "$0")/../.." && pwd)/cmake/port-library-$1.def
[ -f "$def" ] || { echo "port_library.sh: no port library for processor $1" >&2; exit 2; }
sed -n 's/^LIBRARY[[:space:]]*//p' "$def" | tr -d '\r'

# Cross build for 64-bit Windows with mingw-w64, posix thread model: the test
# build on a machine that runs no 32-bit code, where only 64-bit Wine works.
# The same sources build for both processors.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(PINLORN_MINGW x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Windows programs that CMake itself runs go through 64-bit Wine (Debian's
# wine64 package has its loader only here). The tests run in a Wine session
# of their own: tests/session.sh.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)

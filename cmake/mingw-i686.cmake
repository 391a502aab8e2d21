# Cross build for 32-bit Windows with mingw-w64, posix thread model: the
# configuration that builds and runs the test suite (GoogleTest needs the
# posix model's std::mutex) on a machine that runs 32-bit code.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(PINLORN_MINGW i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Windows programs that CMake itself runs go through 32-bit Wine. (The tests
# run in a Wine session of their own: tests/session.sh.)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

# Cross build for 64-bit Windows with mingw-w64, win32 thread model: the
# configuration of what ships, built for 64-bit Wine, so that the tests on a
# machine that runs no 32-bit code run the program as it ships but for that
# machine. The release itself is always mingw-i686-win32.cmake.
set(PINLORN_THREAD_MODEL win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-x86_64.cmake)

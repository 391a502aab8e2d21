# Cross build for 64-bit Windows with mingw-w64, win32 thread model: the
# configuration of what ships for 64-bit Windows (the win64 zip), and of the
# program that a 64-bit test build runs.
set(PINLORN_THREAD_MODEL win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-x86_64.cmake)

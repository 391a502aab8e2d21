# Cross build for 32-bit Windows with mingw-w64, win32 thread model: the
# configuration of what ships for 32-bit Windows (the win32 zip). The
# programs use no threads, and this model's runtime needs no thread library
# beside it.
set(PINLORN_THREAD_MODEL win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-i686.cmake)

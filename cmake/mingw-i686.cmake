# Cross build for 32-bit Windows with mingw-w64, posix thread model: the
# configuration that builds and runs the test suite (GoogleTest needs the
# posix model's std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
if(NOT PINLORN_THREAD_MODEL)
  set(PINLORN_THREAD_MODEL posix)
endif()
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-${PINLORN_THREAD_MODEL})
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-${PINLORN_THREAD_MODEL})
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Windows programs that CMake itself runs go through Wine. (The tests run in
# a Wine session of their own: tests/session.sh.)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

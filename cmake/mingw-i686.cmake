# Cross build for 32-bit Windows with mingw-w64, posix thread model: the
# configuration that builds and runs the test suite (GoogleTest needs the
# posix model's std::mutex) on a machine that runs 32-bit code.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(PINLORN_MINGW i686-w64-mingw32)
if(NOT PINLORN_THREAD_MODEL)
  set(PINLORN_THREAD_MODEL posix)
endif()
set(CMAKE_C_COMPILER ${PINLORN_MINGW}-gcc-${PINLORN_THREAD_MODEL})
set(CMAKE_CXX_COMPILER ${PINLORN_MINGW}-g++-${PINLORN_THREAD_MODEL})
set(CMAKE_RC_COMPILER ${PINLORN_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${PINLORN_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Windows programs that CMake itself runs go through 32-bit Wine. (The tests
# run in a Wine session of their own: tests/session.sh.)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

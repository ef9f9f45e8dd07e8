# Cross build for 32-bit Windows with Debian's MinGW-w64. The win32 thread model
# matters: the posix one pulls in winpthreads, which imports GetTickCount64 and
# so will not load on Windows XP.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(toolchain_prefix i686-w64-mingw32)
set(CMAKE_C_COMPILER ${toolchain_prefix}-gcc-win32)
set(CMAKE_CXX_COMPILER ${toolchain_prefix}-g++-win32)
set(CMAKE_RC_COMPILER ${toolchain_prefix}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${toolchain_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# ctest starts every test executable through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

# The part both MinGW-w64 toolchain files share; they set CMAKE_SYSTEM_PROCESSOR
# and toolchain_prefix first. The win32 thread model matters: the posix one
# pulls in winpthreads, which imports GetTickCount64 and so will not load on
# Windows XP.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${toolchain_prefix}-gcc-win32)
set(CMAKE_CXX_COMPILER ${toolchain_prefix}-g++-win32)
set(CMAKE_RC_COMPILER ${toolchain_prefix}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${toolchain_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# ctest starts every test executable through Wine: the loader that runs this
# architecture (the scripts pass /usr/lib/wine/wine or /usr/lib/wine/wine64).
set(DIRLIFT_WINE wine CACHE FILEPATH "the Wine loader that runs the test programs")
set(CMAKE_CROSSCOMPILING_EMULATOR ${DIRLIFT_WINE})

# Cross-compiles for 64-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-x86-64)
# and runs what it builds, tests included, under wine's 64-bit loader (Debian:
# wine64). The loader is called directly: the wine script starts the 32-bit
# loader first, which cannot start where the kernel runs no 32-bit program.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(WRD_TRIPLE x86_64-w64-mingw32)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

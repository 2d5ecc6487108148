# Cross-compiles for 32-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-i686)
# and runs what it builds, tests included, under wine.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(WRD_TRIPLE i686-w64-mingw32)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

# Cross-compiles for 64-bit ARM Linux (Debian: g++-aarch64-linux-gnu) and runs
# what it builds, tests included, under qemu's user-mode emulator (Debian:
# qemu-user), which finds the ARM C library of a dynamic program in the cross
# toolchain's sysroot.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(WRD_TRIPLE aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${WRD_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${WRD_TRIPLE}-g++)
include(${CMAKE_CURRENT_LIST_DIR}/cross.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L /usr/${WRD_TRIPLE})

# Cross-compiles for WebAssembly with WASI (Debian: clang-14 lld-14 wasi-libc
# libc++-14-dev-wasm32 libc++abi-14-dev-wasm32 libclang-rt-14-dev-wasm32): a
# target with 32-bit pointers, size_t and long, as on 32-bit Windows, that Node
# runs on any machine through tests/wasi_run.js.
set(CMAKE_SYSTEM_NAME WASI)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
# Platform/WASI.cmake, which CMake itself lacks.
list(APPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR})
set(WRD_TRIPLE wasm32-wasi)
set(CMAKE_C_COMPILER clang-14)
set(CMAKE_CXX_COMPILER clang++-14)
set(CMAKE_C_COMPILER_TARGET ${WRD_TRIPLE})
set(CMAKE_CXX_COMPILER_TARGET ${WRD_TRIPLE})
# Debian keeps the target's headers and libraries in /usr/include/wasm32-wasi
# and /usr/lib/wasm32-wasi, where clang looks under the sysroot /usr.
set(CMAKE_SYSROOT /usr)
# Its C++ library is built without exceptions: a failed allocation that would
# throw aborts instead.
set(CMAKE_CXX_FLAGS_INIT -fno-exceptions)
set(CMAKE_FIND_ROOT_PATH /usr/lib/${WRD_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Node 18, Debian 12's, runs WASI only with the flag, which Node 20 accepts.
set(CMAKE_CROSSCOMPILING_EMULATOR node --experimental-wasi-unstable-preview1 ${CMAKE_CURRENT_LIST_DIR}/../tests/wasi_run.js)

# What the two Windows toolchain files share: MinGW-w64 for the target triple
# they name in WRD_MINGW_TRIPLE, finding nothing of the build machine's.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${WRD_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${WRD_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${WRD_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${WRD_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# One self-contained .exe, with no MinGW runtime DLLs to ship beside it, and no
# link time stamp in its header, so that the same sources give the same bytes.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--no-insert-timestamp")

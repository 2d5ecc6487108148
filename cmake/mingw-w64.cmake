# What the two Windows toolchain files share: MinGW-w64 for the triple they
# name in WRD_TRIPLE.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${WRD_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${WRD_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${WRD_TRIPLE}-windres)
include(${CMAKE_CURRENT_LIST_DIR}/cross.cmake)
# One self-contained .exe, with no MinGW runtime DLLs to ship beside it, and no
# link time stamp in its header, so that the same sources give the same bytes.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--no-insert-timestamp")

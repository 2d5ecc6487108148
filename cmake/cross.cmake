# What every cross toolchain file shares: the target's libraries and headers
# come from /usr/<triple>, named by WRD_TRIPLE, and nothing from the build
# machine's, but its programs do.
set(CMAKE_FIND_ROOT_PATH /usr/${WRD_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Packages, made by `cpack` in the build tree: a Debian package and a tarball on
# Linux, a zip on Windows. The version is the project's.
set(CPACK_PACKAGE_NAME wrd)
set(CPACK_PACKAGE_VENDOR "The wrd authors")
set(CPACK_PACKAGE_CONTACT "The wrd authors <wrd@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "count words in a linked list and print the list's structure")
# Debian shows the description as it stands, so its lines are broken here.
set(CPACK_PACKAGE_DESCRIPTION
    "wrd reads wrd.txt in the current directory, counts each distinct word in\n"
    "a hand-written singly linked list, newest word first, and prints the list\n"
    "as a dump of its structure: each node's position, address, count and word,\n"
    "and the address of the next node. It shows how a linked list lies in memory.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_STRIP_FILES ON)

if(WIN32)
    set(CPACK_GENERATOR ZIP)
else()
    set(CPACK_GENERATOR DEB TGZ)
endif()

# A cross build is packed for its target: dpkg would name the build machine's
# architecture, and the tarball's name tells the two Linux builds apart.
if(CMAKE_CROSSCOMPILING AND CMAKE_SYSTEM_PROCESSOR STREQUAL "aarch64")
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
    set(CPACK_SYSTEM_NAME Linux-aarch64)
endif()

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Static programs need no library; dynamic ones depend on what they link.
if(NOT WRD_STATIC)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()

# The release date: the time of the newest entry of the Debian changelog, as
# Debian's own packaging takes it, so that it needs no version control and a
# git clone, an export and a copy of the tree all give the same bytes. Each
# release adds its entry on top, dated the day it is made. dpkg-parsechangelog
# (Debian: dpkg-dev) reads it, the version put in first; where it is missing,
# GNU date reads the date of the entry's trailer line.
set(changelog ${PROJECT_SOURCE_DIR}/doc/changelog.in)
find_program(WRD_DPKG_PARSECHANGELOG dpkg-parsechangelog)
if(WRD_DPKG_PARSECHANGELOG)
    execute_process(COMMAND sed s/@PROJECT_VERSION@/${PROJECT_VERSION}/ ${changelog}
                    COMMAND ${WRD_DPKG_PARSECHANGELOG} -l - -STimestamp
                    OUTPUT_VARIABLE CPACK_WRD_RELEASE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
else()
    file(STRINGS ${changelog} trailers REGEX "^ -- ")
    list(GET trailers 0 trailer)
    string(REGEX REPLACE "^ -- .*>  " "" date "${trailer}")
    execute_process(COMMAND date -u -d "${date}" +%s
                    OUTPUT_VARIABLE CPACK_WRD_RELEASE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
endif()

# The same sources pack the same bytes wherever they are built, and SHA256SUMS
# lists them; release_files.cmake says how.
set(CPACK_WRD_BINARY_DIR ${PROJECT_BINARY_DIR})
# The source tarball comes with the native Linux packages alone: the other
# builds pack the same sources.
if(NOT CMAKE_CROSSCOMPILING AND NOT WIN32)
    set(CPACK_WRD_SOURCE_DIR ${PROJECT_SOURCE_DIR})
endif()
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/release_files.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/release_files.cmake)

include(CPack)

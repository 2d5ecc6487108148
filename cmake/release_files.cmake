# Run by CPack twice for each package it makes (see packaging.cmake), so that
# the same sources pack the same bytes whoever builds them, wherever, whenever.
#
# 1. First: SOURCE_DATE_EPOCH becomes the release date, unless it is set
#    already; strip writes it as the time stamp of a Windows program. The
#    Debian package alone takes the lintian overrides, which mean nothing to
#    anything else. The first package of a cpack run, which marks the run in
#    the environment that its later packages share, makes the folder of the
#    packages and starts SHA256SUMS afresh, with try.html as
#    wrd-<version>-try.html where the build wrote it, and, in a native Linux
#    build, the source tarball wrd-<version>.tar.gz (source_tarball.cmake).
# 2. After CPack has packed: the package is packed again from the same staged
#    tree, since CPack 3.25 lets the file system order the tarball and the zip,
#    writes the zip's times in local time with the builder's owner, and counts
#    folders' sizes on disk in the .deb's Installed-Size. Every file and folder
#    takes the release date and the modes 0755 (folders and programs) or 0644,
#    whatever the umask; then GNU tar, zip and dpkg-deb pack it in name order,
#    owned by root (a zip names no owner), with zip times in UTC. SHA256SUMS
#    lists the package, in the form that `sha256sum -c` reads.
if(NOT CPACK_TEMPORARY_DIRECTORY)
    if(NOT DEFINED ENV{WRD_CPACK_RUN})
        set(ENV{WRD_CPACK_RUN} 1)
        if("$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
            set(ENV{SOURCE_DATE_EPOCH} ${CPACK_WRD_RELEASE_EPOCH})
        elseif(NOT "$ENV{SOURCE_DATE_EPOCH}" MATCHES "^[0-9]+$")
            message(FATAL_ERROR "SOURCE_DATE_EPOCH is not a number of seconds: $ENV{SOURCE_DATE_EPOCH}")
        endif()
        file(MAKE_DIRECTORY ${CPACK_PACKAGE_DIRECTORY})
        file(REMOVE ${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS)
        set(released "")
        # The page that runs a text in the browser ships beside the packages,
        # from a build that can write it.
        if(EXISTS ${CPACK_WRD_BINARY_DIR}/try.html)
            list(APPEND released wrd-${CPACK_PACKAGE_VERSION}-try.html)
            file(COPY_FILE ${CPACK_WRD_BINARY_DIR}/try.html ${CPACK_PACKAGE_DIRECTORY}/wrd-${CPACK_PACKAGE_VERSION}-try.html)
        endif()
        if(CPACK_WRD_SOURCE_DIR)
            include(${CMAKE_CURRENT_LIST_DIR}/source_tarball.cmake)
            list(APPEND released wrd-${CPACK_PACKAGE_VERSION}.tar.gz)
            wrd_source_tarball(${CPACK_WRD_SOURCE_DIR} ${CPACK_PACKAGE_DIRECTORY}/wrd-${CPACK_PACKAGE_VERSION}.tar.gz
                               wrd-${CPACK_PACKAGE_VERSION} $ENV{SOURCE_DATE_EPOCH}
                               ${CPACK_PACKAGE_DIRECTORY}/_CPack_Packages/source
                               "${CPACK_WRD_BINARY_DIR};${CPACK_PACKAGE_DIRECTORY}")
        endif()
        foreach(file IN LISTS released)
            file(SHA256 ${CPACK_PACKAGE_DIRECTORY}/${file} sum)
            file(APPEND ${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS "${sum}  ${file}\n")
        endforeach()
    endif()
    if(CPACK_GENERATOR STREQUAL "DEB")
        list(APPEND CPACK_INSTALL_CMAKE_PROJECTS ${CPACK_WRD_BINARY_DIR} wrd debian /)
    endif()
    return()
endif()

# Gives every file and folder under <dir> the release date and fixed modes.
function(wrd_settle dir)
    execute_process(COMMAND chmod -R u=rwX,go=rX ${dir} COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND find ${dir} -exec touch -h -d @$ENV{SOURCE_DATE_EPOCH} {} + COMMAND_ERROR_IS_FATAL ANY)
endfunction()

get_filename_component(top ${CPACK_TEMPORARY_DIRECTORY} NAME)
wrd_settle(${CPACK_TEMPORARY_DIRECTORY})
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    file(REMOVE ${package})
    if(package MATCHES "\\.tar\\.gz$")
        execute_process(COMMAND tar --create --format=gnu --sort=name --owner=root:0 --group=root:0
                                -C ${CPACK_TOPLEVEL_DIRECTORY} ${top}
                        COMMAND gzip -9n OUTPUT_FILE ${package} COMMAND_ERROR_IS_FATAL ANY)
    elseif(package MATCHES "\\.zip$")
        # zip keeps no owner with -X, and writes its times in the zone of TZ.
        file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE ${CPACK_TOPLEVEL_DIRECTORY}
             ${CPACK_TEMPORARY_DIRECTORY}/*)
        list(PREPEND entries ${top})
        list(SORT entries)
        list(JOIN entries "\n" entries)
        file(WRITE ${CPACK_TOPLEVEL_DIRECTORY}/entries "${entries}\n")
        execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC0 zip -q -X -9 ${package} -@
                        WORKING_DIRECTORY ${CPACK_TOPLEVEL_DIRECTORY}
                        INPUT_FILE ${CPACK_TOPLEVEL_DIRECTORY}/entries COMMAND_ERROR_IS_FATAL ANY)
    elseif(package MATCHES "\\.deb$")
        # CPack's control file and md5sums, with the size that dpkg-gencontrol
        # gives: each file in KiB rounded up, and 1 KiB for each folder.
        set(root ${CPACK_TOPLEVEL_DIRECTORY}/dpkg-deb)
        file(REMOVE_RECURSE ${root})
        file(MAKE_DIRECTORY ${root}/DEBIAN)
        file(RENAME ${CPACK_TEMPORARY_DIRECTORY}/usr ${root}/usr)
        file(GLOB_RECURSE entries LIST_DIRECTORIES true ${root}/usr/*)
        set(size 2) # the root folder and usr/
        foreach(entry IN LISTS entries)
            if(IS_DIRECTORY ${entry})
                math(EXPR size "${size} + 1")
            else()
                file(SIZE ${entry} bytes)
                math(EXPR size "${size} + (${bytes} + 1023) / 1024")
            endif()
        endforeach()
        file(READ ${CPACK_TEMPORARY_DIRECTORY}/control control)
        string(REGEX REPLACE "Installed-Size: [0-9]+" "Installed-Size: ${size}" control "${control}")
        file(WRITE ${root}/DEBIAN/control "${control}")
        file(COPY ${CPACK_TEMPORARY_DIRECTORY}/md5sums DESTINATION ${root}/DEBIAN)
        wrd_settle(${root})
        execute_process(COMMAND dpkg-deb --root-owner-group -Zgzip -z9 --build ${root} ${package}
                        OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    endif()
    get_filename_component(name ${package} NAME)
    file(SHA256 ${package} sum)
    file(APPEND ${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS "${sum}  ${name}\n")
endforeach()

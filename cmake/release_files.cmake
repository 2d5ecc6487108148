# Run by CPack at three points of each package it makes (see packaging.cmake),
# so that the same commit packs the same bytes in any folder, at any time.
#
# 1. First: SOURCE_DATE_EPOCH becomes the last commit's time, unless it is set
#    already, or a fixed day where there is no git. strip then writes it as the
#    time stamp of a Windows program, and the Debian generator as every time.
# 2. Before packing: every staged file and folder takes that time, since the
#    tarball and the zip keep the files' own times, which are the build's.
# 3. After packing: SHA256SUMS beside the packages lists each one, in the form
#    that `sha256sum -c` reads; a package made again replaces its own line.
if(NOT CPACK_TEMPORARY_DIRECTORY)
    if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
        execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY ${CPACK_WRD_SOURCE_DIR}
                        OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed ERROR_QUIET)
        if(failed OR NOT epoch MATCHES "^[0-9]+$")
            set(epoch 1796688000) # 2026-12-08, the day of the first release
        endif()
        set(ENV{SOURCE_DATE_EPOCH} ${epoch})
    endif()
elseif(NOT DEFINED CPACK_PACKAGE_FILES)
    execute_process(COMMAND find ${CPACK_TEMPORARY_DIRECTORY} -exec touch -h -d @$ENV{SOURCE_DATE_EPOCH} {} +
                    COMMAND_ERROR_IS_FATAL ANY)
else()
    set(sums_file ${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS)
    set(lines "")
    if(EXISTS ${sums_file})
        file(STRINGS ${sums_file} lines)
    endif()
    foreach(package IN LISTS CPACK_PACKAGE_FILES)
        get_filename_component(name ${package} NAME)
        file(SHA256 ${package} sum)
        string(REGEX REPLACE "[][.+*?^$()|\\\\]" "\\\\\\0" pattern "${name}")
        list(FILTER lines EXCLUDE REGEX "  ${pattern}$")
        list(APPEND lines "${sum}  ${name}")
    endforeach()
    list(TRANSFORM lines REPLACE "^(.*)  (.*)$" "\\2  \\1") # sorted by name
    list(SORT lines)
    list(TRANSFORM lines REPLACE "^(.*)  (.*)$" "\\2  \\1")
    list(JOIN lines "\n" lines)
    file(WRITE ${sums_file} "${lines}\n")
endif()

# The source tarball of a release, which release_files.cmake writes beside the
# packages: the files of the source tree under one folder, as the same bytes
# wherever and whenever it is packed.

# Writes <output>, a gzipped tarball of the files of <source> under the folder
# <name>, packed in <work>. In a git checkout the files are those that git
# tracks; in a tree without git, such as this tarball unpacked, every file but
# those under .git, the folders that .gitignore lists from the root, and the
# folders <excluded> (such as the build's). Files and folders take the time
# <epoch> and the modes 0755 (folders and programs) or 0644, whatever the umask;
# GNU tar packs them in name order, owned by root, and gzip with no name or time.
function(wrd_source_tarball source output name epoch work excluded)
    file(REAL_PATH ${source} source)
    execute_process(COMMAND git -C ${source} rev-parse --show-toplevel RESULT_VARIABLE no_git
                    OUTPUT_VARIABLE top OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(NOT no_git)
        file(REAL_PATH "${top}" top)
    endif()
    if(NOT no_git AND top STREQUAL source)
        execute_process(COMMAND git -C ${source} -c core.quotePath=false ls-files OUTPUT_VARIABLE files
                        COMMAND_ERROR_IS_FATAL ANY)
        string(REGEX REPLACE "\n$" "" files "${files}")
        string(REPLACE "\n" ";" files "${files}")
    else()
        file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${source} ${source}/*)
        file(STRINGS ${source}/.gitignore ignored REGEX "^/.*/$")
        set(prefixes .git/)
        foreach(folder IN LISTS ignored)
            string(REGEX REPLACE "^/" "" folder ${folder})
            list(APPEND prefixes ${folder})
        endforeach()
        foreach(folder IN LISTS excluded)
            file(REAL_PATH ${folder} folder)
            file(RELATIVE_PATH folder ${source} ${folder})
            list(APPEND prefixes ${folder}/)
        endforeach()
        foreach(prefix IN LISTS prefixes)
            string(REGEX REPLACE "([][+.*()^$?|\\\\])" "\\\\\\1" prefix "${prefix}")
            list(FILTER files EXCLUDE REGEX "^${prefix}")
        endforeach()
        list(FILTER files EXCLUDE REGEX "^\\.git$")
    endif()
    if(NOT files)
        message(FATAL_ERROR "The source tarball found no file in ${source}")
    endif()
    file(REMOVE_RECURSE ${work})
    foreach(file IN LISTS files)
        get_filename_component(folder ${work}/${name}/${file} DIRECTORY)
        file(COPY ${source}/${file} DESTINATION ${folder})
    endforeach()
    execute_process(COMMAND chmod -R u=rwX,go=rX ${work}/${name} COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND find ${work}/${name} -exec touch -h -d @${epoch} {} + COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND tar --create --format=gnu --sort=name --owner=root:0 --group=root:0 -C ${work} ${name}
                    COMMAND gzip -9n OUTPUT_FILE ${output} COMMAND_ERROR_IS_FATAL ANY)
endfunction()

# cmake/list_skips.cmake on the log of a run with one skip, as each language
# of the tests writes it: the skip must be listed, and fail a CI run only for
# want of a tool, by its mark and not by its wording. Says nothing when all is
# well, since the list of this very run reads its output.
# usage: cmake -DFOLDER=<scratch folder> -DLIST_SKIPS=<list_skips.cmake> -P list_skips_test.cmake
cmake_minimum_required(VERSION 3.25)
set(mark "SKIPPED (missing tool): ")
set(rows # what; a test's output in the log; what the list says; 1 where CI fails
    "GoogleTest" "wrd_dot_test.cpp:760: Skipped\n${mark}ICU was not found\n[  SKIPPED ] W.T (0 ms)"
    "W.T (missing tool): ICU was not found" 1
    "a Python unittest case" "test_axe ... skipped 'axe-core'\n${mark}test_axe: axe-core is missing"
    "W.T (missing tool): test_axe: axe-core is missing" 1
    "a CMake test" "${mark}/usr/bin/python3 was not found" "W.T (missing tool): /usr/bin/python3 was not found" 1
    "a skip that needs no tool, though its words say \"not found\"" "SKIPPED: /proc was not found"
    "W.T: /proc was not found" 0
    "no skip: the list is empty" "[  PASSED  ] 1 test." "" 0)
set(failed "")
while(rows)
    list(POP_FRONT rows what output listed fails)
    file(WRITE ${FOLDER}/Testing/Temporary/LastTest.log "1/2 Test: W.Before\n2/2 Test: W.T\n${output}\n")
    foreach(ci false true)
        execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=WRD_SKIP_LOG --unset=WRD_PROGRAM CI=${ci}
                                ${CMAKE_COMMAND} -DBUILD=${FOLDER} -P ${LIST_SKIPS}
                        RESULT_VARIABLE status OUTPUT_VARIABLE said ERROR_VARIABLE said)
        set(expected 0)
        if(ci AND fails)
            set(expected 1)
        endif()
        string(FIND "${said}" "\n  ${listed}\n" at)
        if(NOT status EQUAL expected OR (listed AND at EQUAL -1) OR (NOT listed AND NOT said STREQUAL ""))
            string(APPEND failed "${what}, CI=${ci}: status ${status}, said:\n${said}\n")
        endif()
    endforeach()
endwhile()
if(failed)
    # The marks are spelled apart, so that this run's own list does not take them for skips.
    string(REPLACE "SKIPPED" "SKIP-PED" failed "${failed}")
    message(FATAL_ERROR "${failed}")
endif()

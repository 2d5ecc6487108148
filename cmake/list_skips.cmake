# Run by ctest once the tests are done (CTEST_CUSTOM_POST_TEST): lists every
# skipped test and table row, with its reason, from the run's log, where a skip
# is a line that starts "SKIPPED: " and gives its reason, or "SKIPPED (missing
# tool): " for want of a tool that the tests use, in any language the tests are
# written in. A skip with that mark fails the run under CI=true, since CI
# installs every tool. With WRD_SKIP_LOG naming a file, the list is appended to
# it too, so that a run of many builds can list them all.
# usage: cmake -DBUILD=<build folder> -P list_skips.cmake
set(log ${BUILD}/Testing/Temporary/LastTest.log)
# ctest writes the log under a temporary name until it ends.
if(EXISTS ${log}.tmp)
    set(log ${log}.tmp)
endif()
if(NOT EXISTS ${log})
    message(FATAL_ERROR "no log of the tests' run in ${BUILD}")
endif()
file(STRINGS ${log} lines REGEX "^[0-9]+/[0-9]+ Test: |^SKIPPED( \\(missing tool\\))?: ")
set(skips "")
set(missing_tools "")
foreach(line IN LISTS lines)
    if(line MATCHES "^[0-9]+/[0-9]+ Test: (.*)$")
        set(test ${CMAKE_MATCH_1})
    elseif(line MATCHES "^SKIPPED(.*)$")
        set(skip "  ${test}${CMAKE_MATCH_1}\n")
        string(APPEND skips "${skip}")
        if(line MATCHES "^SKIPPED \\(missing tool\\): ")
            string(APPEND missing_tools "${skip}")
        endif()
    endif()
endforeach()
if(skips STREQUAL "")
    return()
endif()
set(run ${BUILD})
if(NOT "$ENV{WRD_PROGRAM}" STREQUAL "")
    string(APPEND run ", running $ENV{WRD_PROGRAM}")
endif()
message("Skipped in ${run}:\n${skips}")
if(NOT "$ENV{WRD_SKIP_LOG}" STREQUAL "")
    file(APPEND "$ENV{WRD_SKIP_LOG}" "${run}:\n${skips}")
endif()
if("$ENV{CI}" STREQUAL "true" AND NOT missing_tools STREQUAL "")
    message(FATAL_ERROR "CI installs every tool that the tests use, yet these skipped for want of one:\n${missing_tools}")
endif()

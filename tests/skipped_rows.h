// How a test says that it skipped: a line that starts "SKIPPED: " and gives the
// reason, or WRD_MISSING_TOOL where a tool that the tests use is missing, which
// fails a CI run (cmake/list_skips.cmake). And the rows of a table that cannot
// run here: the other rows run, and the test then ends skipped, naming them.
#pragma once

#include <gtest/gtest.h>

#include <string>

/// Starts the reason of a skip for want of a tool that the tests use.
#define WRD_MISSING_TOOL "SKIPPED (missing tool): "

/// Runs `check` on each row of `rows` that can run here, in a SCOPED_TRACE of
/// its `what`; a row whose `lacks` is set cannot, and `lacks` says why. Returns
/// the rows skipped and why, or "" where every row ran.
template <typename Rows, typename Check> std::string run_rows(const Rows& rows, Check check)
{
    std::string skipped;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.lacks != nullptr) {
            skipped += std::string(" ") + row.what + ": " + row.lacks + ".";
        } else {
            check(row);
        }
    }
    return skipped;
}

/// Ends the test as skipped, naming the skipped rows (run_rows' answer), if there were any.
#define WRD_END_IF_ROWS_SKIPPED(skipped)                                                                     \
    if (const std::string& rows = (skipped); !rows.empty())                                                  \
    GTEST_SKIP() << "SKIPPED: rows that cannot run here:" << rows

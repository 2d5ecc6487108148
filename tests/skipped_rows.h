// The rows of a table that cannot run here, such as one that needs what the
// platform lacks: the other rows run, and the test then ends skipped, naming them.
#pragma once

#include <gtest/gtest.h>

#include <string>

/// Collects skipped rows; `what` is the row and `lacks` why it cannot run, or
/// null for a row that runs. skip() is true for a row to skip.
struct SkippedRows {
    std::string text;
    bool skip(const char* what, const char* lacks)
    {
        if (lacks != nullptr) {
            text += std::string(" ") + what + ": " + lacks + ".";
        }
        return lacks != nullptr;
    }
};

/// Ends the test as skipped, naming the skipped rows, if there were any.
#define WRD_END_IF_ROWS_SKIPPED(rows)                                                                        \
    if (!(rows).text.empty())                                                                                \
    GTEST_SKIP() << "SKIPPED: rows that cannot run here:" << (rows).text

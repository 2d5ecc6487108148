// What the fuzz targets share: a property that fails stops the run, so that
// libFuzzer keeps the input that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>

/// Stops the run, naming `property`, unless it holds.
inline void check(bool holds, const char* property)
{
    if (!holds) {
        (void)std::fprintf(stderr, "property failed: %s\n", property);
        std::abort();
    }
}

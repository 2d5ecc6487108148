// Replaces the program's allocation functions, so that its nothrow allocations
// fail on demand, and counts the nothrow blocks it has not yet released. Linked
// into the unit tests, and into a test-only build of wrd, where WRD_FAIL_ALLOC=N
// fails the Nth nothrow allocation and WRD_FAIL_ALLOC=N+ every one from the Nth on.
#pragma once

#include <cstddef>

/// From now on the nth nothrow allocation fails, and with `for_good` every one
/// after it too; 0 fails none. Starts a new count of failures.
void fail_allocation(long nth, bool for_good);

/// The nothrow allocations failed since the last call of fail_allocation.
long failed_allocations();

/// The nothrow blocks allocated and not yet released; up to 4,096 are tracked.
std::size_t live_blocks();

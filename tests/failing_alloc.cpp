#include "failing_alloc.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

struct Heap {
    long fail_in = 0;      // the nth nothrow allocation from now fails; 0 never
    bool for_good = false; // and so does every one after it
    long failures = 0;     // failures since the last fail_allocation
    std::array<void*, 4096> live{};
    std::size_t live_count = 0; // nothrow blocks not yet released
};

// Set up at the first allocation, from WRD_FAIL_ALLOC where it is set.
Heap& heap()
{
    static Heap instance = [] {
        Heap fresh;
        const char* setting = std::getenv("WRD_FAIL_ALLOC");
        if (setting != nullptr && *setting != '\0') {
            fresh.fail_in = std::strtol(setting, nullptr, 10);
            fresh.for_good = setting[std::strlen(setting) - 1] == '+';
        }
        return fresh;
    }();
    return instance;
}

void* allocate_nothrow(std::size_t size)
{
    Heap& h = heap();
    if (h.fail_in > 0 && --h.fail_in == 0) {
        ++h.failures;
        h.fail_in = h.for_good ? 1 : 0;
        return nullptr;
    }
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block != nullptr && h.live_count < h.live.size()) {
        h.live[h.live_count++] = block;
    }
    return block;
}

void* allocate(std::size_t size)
{
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
#if __cpp_exceptions
        throw std::bad_alloc();
#else
        std::abort(); // as the library's own operator new does without exceptions
#endif
    }
    return block;
}

void release(void* block) noexcept
{
    Heap& h = heap();
    auto* end = h.live.begin() + h.live_count;
    auto* found = std::find(h.live.begin(), end, block);
    if (found != end) {
        *found = *(end - 1);
        --h.live_count;
    }
    std::free(block);
}

} // namespace

void fail_allocation(long nth, bool for_good)
{
    heap().fail_in = nth;
    heap().for_good = for_good;
    heap().failures = 0;
}

long failed_allocations() { return heap().failures; }

std::size_t live_blocks() { return heap().live_count; }

// Every allocation goes through malloc, so that every release can be free.
void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t& /*tag*/) noexcept
{
    return allocate_nothrow(size);
}
void* operator new[](std::size_t size, const std::nothrow_t& /*tag*/) noexcept
{
    return allocate_nothrow(size);
}
void operator delete(void* block) noexcept { release(block); }
void operator delete[](void* block) noexcept { release(block); }
void operator delete(void* block, std::size_t /*size*/) noexcept { release(block); }
void operator delete[](void* block, std::size_t /*size*/) noexcept { release(block); }

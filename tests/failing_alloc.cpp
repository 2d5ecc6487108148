// Linked into a test-only build of wrd: makes its nothrow allocations fail on
// demand. WRD_FAIL_ALLOC=N fails the Nth one; WRD_FAIL_ALLOC=N+ fails the Nth
// and every one after it. Unset, every allocation succeeds.
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

bool should_fail()
{
    static const char* const setting = std::getenv("WRD_FAIL_ALLOC");
    static const long first = setting != nullptr ? std::strtol(setting, nullptr, 10) : 0;
    static const bool for_good =
        setting != nullptr && setting[0] != '\0' && setting[std::strlen(setting) - 1] == '+';
    static long made = 0;
    ++made;
    return first > 0 && (made == first || (for_good && made > first));
}

} // namespace

// A success goes to the ordinary allocator, so that delete stays its match.
void* operator new(std::size_t size, const std::nothrow_t& /*tag*/) noexcept
{
    try {
        return should_fail() ? nullptr : ::operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void* operator new[](std::size_t size, const std::nothrow_t& /*tag*/) noexcept
{
    try {
        return should_fail() ? nullptr : ::operator new[](size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

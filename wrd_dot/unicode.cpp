#include "unicode.h"

#include "unicode_table.h"

#include <algorithm>
#include <iterator>

CodePoint code_point(std::uint32_t code)
{
    const auto* after =
        std::upper_bound(std::begin(kCodePointRanges), std::end(kCodePointRanges), code,
                         [](std::uint32_t value, const auto& range) { return value < range[0]; });
    if (after == std::begin(kCodePointRanges) || code > (*std::prev(after))[1]) {
        return {0, 1, false, false, false};
    }
    const std::uint32_t bits = (*std::prev(after))[2];
    return {static_cast<int>(bits & 0xFFU), static_cast<int>(bits >> 8 & 3U), (bits >> 10 & 1U) != 0,
            (bits >> 11 & 1U) != 0, (bits >> 12 & 1U) != 0};
}

std::uint32_t nfc_starter(std::uint32_t starter, int combining_class)
{
    while (combining_class != 0) {
        const auto* row =
            std::lower_bound(std::begin(kComposites), std::end(kComposites), starter,
                             [](const auto& composite, std::uint32_t value) { return composite[0] < value; });
        if (row == std::end(kComposites) || (*row)[0] != starter ||
            code_point((*row)[2]).combining_class <= combining_class) {
            return starter;
        }
        starter = (*row)[1];
    }
    return starter;
}

// Hangul composes by arithmetic: a leading consonant and a vowel make a
// syllable, and a syllable with no trailing consonant takes one.
bool composes(std::uint32_t starter, std::uint32_t second)
{
    constexpr std::uint32_t kSyllables = 0xAC00;
    constexpr std::uint32_t kTrailing = 28;
    if (starter >= 0x1100 && starter <= 0x1112) {
        return second >= 0x1161 && second <= 0x1175;
    }
    if (starter >= kSyllables && starter <= 0xD7A3 && (starter - kSyllables) % kTrailing == 0) {
        return second >= 0x11A8 && second <= 0x11C2;
    }
    const std::uint32_t pair[2] = {starter, second};
    return std::binary_search(
        std::begin(kCompositionPairs), std::end(kCompositionPairs), pair,
        [](const auto& a, const auto& b) { return a[0] != b[0] ? a[0] < b[0] : a[1] < b[1]; });
}

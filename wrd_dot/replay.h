// The run of wrd that printed a report, found again from its text.
#pragma once

#include "report.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

/// One run of add_word, as replay finds it: the index in `report.nodes` of
/// each call's node (kNoMemory for a call that found no memory and changed
/// nothing), the seed calls first, then the byte offset in the text of each of
/// the text's words, one per call after the seeds.
struct Run {
    static constexpr std::uint32_t kNoMemory = UINT32_MAX;
    std::vector<std::uint32_t> calls;
    std::vector<std::size_t> word_starts;
};

/// Replays the run that printed `report`: the seed words, then the words of
/// `text` up to its first zero byte, each one call to add_word. Returns the
/// run, or one line that says how the report differs from the one the text
/// gives (words, counts, order or links).
std::variant<Run, std::string> replay(const Report& report, std::string_view text);

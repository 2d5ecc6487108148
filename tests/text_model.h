// A plain model of what wrd counts in a text, for the tests of the list, the
// end-to-end tests and the text fuzz target to hold the program against.
#pragma once

#include "count_words.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

/// Words and their counts, first node to last.
using Counts = std::vector<std::pair<std::string, long>>;

/// The list that `words` make, added in turn: a new word goes first, and a word
/// seen again is counted where it stands.
inline Counts counted(const std::vector<std::string>& words)
{
    Counts counts;
    for (const std::string& word : words) {
        const auto seen =
            std::find_if(counts.begin(), counts.end(), [&](const auto& c) { return c.first == word; });
        if (seen != counts.end()) {
            ++seen->second;
        } else {
            counts.insert(counts.begin(), {word, 1});
        }
    }
    return counts;
}

/// The list that `text` makes, as `counted` makes it of the text up to its first
/// zero byte split at the separators, after the seed words if `seeded`.
inline Counts model(const std::string& text, bool seeded)
{
    std::vector<std::string> words;
    if (seeded) {
        words.assign(std::begin(kSeeds), std::end(kSeeds));
    }
    const std::string kept = text.substr(0, text.find('\0'));
    std::size_t start = 0;
    for (std::size_t end = 0; end <= kept.size(); ++end) {
        if (end == kept.size() || std::strchr(kSeparators, kept[end]) != nullptr) {
            if (end > start) {
                words.push_back(kept.substr(start, end - start));
            }
            start = end + 1;
        }
    }
    return counted(words);
}

// A deterministic text with natural word frequencies, for the benchmarks: words
// drawn from a Zipf distribution over a made-up vocabulary, with commas, full
// stops, questions, capitals after a sentence's end, and lines of about 70 bytes.
#pragma once

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

inline std::string make_corpus(std::size_t size, std::uint64_t seed)
{
    std::mt19937_64 random(seed);
    // Raw engine output only: the distributions of the standard library differ
    // from one library to the next, and the text must not.
    const auto uniform = [&random] { return static_cast<double>(random() >> 11) * 0x1.0p-53; };

    const char* const onsets[] = {"p", "k", "t",  "s",  "l",  "m",  "n", "d",
                                  "v", "z", "br", "st", "pr", "ch", "r"};
    const char* const vowels[] = {"a", "e", "i", "o", "u", "y"};
    constexpr std::size_t kVocabulary = 20000;
    std::vector<std::string> vocabulary;
    std::vector<double> cumulative;
    double total = 0;
    for (std::size_t rank = 1; rank <= kVocabulary; ++rank) {
        std::string word;
        for (std::size_t n = rank; n > 0 || word.empty(); n /= 90) {
            word += onsets[n % 15];
            word += vowels[(n / 15) % 6];
        }
        vocabulary.push_back(word);
        total += 1.0 / static_cast<double>(rank);
        cumulative.push_back(total);
    }

    std::string text;
    std::size_t line = 0;
    bool capital = true;
    while (text.size() < size) {
        const double pick = uniform() * total;
        std::string word = vocabulary[static_cast<std::size_t>(
            std::lower_bound(cumulative.begin(), cumulative.end(), pick) - cumulative.begin())];
        if (capital) {
            word[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(word[0])));
        }
        text += word;
        line += word.size();
        const double mark = uniform();
        capital = mark < 0.08;
        text += mark < 0.06 ? "." : mark < 0.08 ? "?" : mark < 0.15 ? "," : "";
        text += line > 70 ? "\n" : " ";
        line = line > 70 ? 0 : line + 1;
    }
    text.resize(size);
    return text;
}

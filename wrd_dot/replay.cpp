#include "replay.h"
#include "count_words.h"
#include "word_text.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace {

// "\"a\" 2 times", for the mismatch message.
std::string times(const std::string& word, long count)
{
    return "\"" + shown_word(word) + "\" " + std::to_string(count) + (count == 1 ? " time" : " times");
}

} // namespace

// The list is replayed as wrd builds it: a word's node is made on its first
// call and put first, so the k-th node made stands at position n - k + 1 of the
// final list. A hash of the words keeps the replay linear in the text.
std::variant<Run, std::string> replay(const Report& report, std::string_view text)
{
    std::unordered_map<std::string_view, std::uint32_t> made_as;
    std::vector<std::string_view> words;
    std::vector<long> counts;
    Run run;
    std::vector<std::uint32_t>& calls = run.calls;
    const auto call = [&](std::string_view word) {
        const auto placed = made_as.emplace(word, static_cast<std::uint32_t>(words.size()));
        if (placed.second) {
            words.push_back(word);
            counts.push_back(0);
        }
        ++counts[placed.first->second];
        calls.push_back(placed.first->second);
    };
    for (const char* seed : kSeeds) {
        call(seed);
    }
    const std::string_view all(text.data(), std::min(text.find('\0'), text.size()));
    const std::string_view separators(kSeparators);
    for (std::size_t at = all.find_first_not_of(separators); at != std::string_view::npos;) {
        const std::size_t end = std::min(all.find_first_of(separators, at), all.size());
        call(all.substr(at, end - at));
        run.word_starts.push_back(at);
        at = all.find_first_not_of(separators, end);
    }

    // The report must list exactly these nodes, newest first, linked in order.
    const std::size_t n = words.size();
    if (report.nodes.size() != n) {
        return "the text gives " + std::to_string(n) + " distinct words, the report " +
               std::to_string(report.nodes.size()) + " nodes";
    }
    for (std::size_t i = 0; i < n; ++i) {
        const ReportNode& node = report.nodes[i];
        const std::size_t made = n - 1 - i;
        if (node.word != words[made] || node.count != counts[made]) {
            return "position " + std::to_string(i + 1) + " holds " + times(node.word, node.count) +
                   " where the text gives " + times(std::string(words[made]), counts[made]);
        }
        if ((i == 0 ? report.start_target : report.nodes[i - 1].target) != i) {
            return "the link to position " + std::to_string(i + 1) + " points elsewhere";
        }
    }
    if (report.nodes[n - 1].target != n) {
        return "the last node's link is not null";
    }
    for (std::uint32_t& node : calls) {
        node = static_cast<std::uint32_t>(n - 1 - node);
    }
    return run;
}

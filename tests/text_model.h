// A plain model of what wrd counts in a text, for the tests of the list, the
// end-to-end tests and the text fuzz target to hold the program against, and
// its report, for the tests of wrd-dot and the report fuzz target to draw.
#pragma once

#include "count_words.h"
#include "report.h"
#include "report_line.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>
#include <utility>
#include <variant>
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

/// The report of a list of `counts`, first node to last, as wrd writes it, at
/// made-up addresses: 0x10 for the first node, 0x20 for the second, 0x100 for the tenth.
inline std::string model_report(const Counts& counts)
{
    const auto address = [](std::size_t position) { return "0x" + std::to_string(position * 10); };
    std::string report = counts.empty() ? "Seznam je prazdny.\n" : "Zacatek seznamu: 0x10\n";
    for (std::size_t i = 1; i <= counts.size(); ++i) {
        report += report_line(static_cast<long>(i), address(i), counts[i - 1].second, counts[i - 1].first,
                              i < counts.size() ? address(i + 1) : "(nil)");
    }
    return report;
}

/// Reads `printed` with wrd-dot's parser into its words and counts and, if
/// asked, its nodes' addresses' values; returns "" where it is exactly a report
/// that wrd writes (every line in its form, the start naming the first node,
/// each node's Dalsi the next one's address, the last one null), else what is wrong.
inline std::string read_back(const std::string& printed, Counts* counts,
                             std::vector<std::uint64_t>* addresses = nullptr)
{
    const auto parsed = parse_report(printed);
    if (const auto* error = std::get_if<ReportError>(&parsed)) {
        return "line " + std::to_string(error->line) + ": " + error->what;
    }
    const Report& report = std::get<Report>(parsed);
    std::string rebuilt =
        report.nodes.empty() ? "Seznam je prazdny.\n" : "Zacatek seznamu: " + report.start + "\n";
    std::string expected_address = report.start;
    for (const ReportNode& node : report.nodes) {
        if (node.address != expected_address) {
            return "node " + std::to_string(node.position) +
                   " is not at the address that the line before gives";
        }
        expected_address = node.next;
        rebuilt += report_line(node.position, node.address, node.count, node.word, node.next);
        counts->emplace_back(node.word, node.count);
        if (addresses != nullptr) {
            addresses->push_back(address_value(node.address));
        }
    }
    if (!report.nodes.empty() && !is_null_address(expected_address)) {
        return "the last node's Dalsi is not null: " + expected_address;
    }
    return rebuilt == printed ? "" : "not in the report's form, byte for byte";
}

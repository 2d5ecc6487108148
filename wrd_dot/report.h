// A wrd report read back from its text, and drawn as a Graphviz DOT graph.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

/// One entry line of a report. Addresses are kept as printed, and compared by
/// their value (see address_value).
struct ReportNode {
    long position;
    std::string address;
    long count;
    std::string word;
    std::string next;
};

/// A whole report: `nodes` is empty only for the empty-list line, and `start` is
/// the start line's address otherwise.
struct Report {
    std::string start;
    std::vector<ReportNode> nodes;
};

/// The first fault of an input that is not a whole report, by its 1-based line.
struct ReportError {
    int line;
    std::string what;
};

/// Reads one report, as the Linux or the Windows C library renders it, LF or
/// CR LF line ends alike. Returns the report, or the first line that is wrong.
std::variant<Report, ReportError> parse_report(const std::string& text);

/// The value of an address that parse_report accepted, in either library's
/// rendering: hex digits in any case, with or without "0x"; "(nil)" is 0.
std::uint64_t address_value(const std::string& address);

/// True for the null pointer in either library's rendering.
bool is_null_address(const std::string& address);

/// A word as label text that dot shows as: valid UTF-8 as it is, a backslash
/// doubled, and control bytes, bytes of no valid UTF-8 sequence and the
/// characters XML 1.0 forbids as \xHH per byte; so every word shows apart from
/// every other. A word whose text would pass graphviz's limit for a label shows
/// its start and "… (N bytes)". The result is valid UTF-8 and safe inside a DOT
/// HTML-like label.
std::string escape_word(const std::string& word);

/// The report as a DOT graph: one box per node in rows of `row_width`, in list
/// order, an arrow per link as the addresses state it, and start and null markers.
std::string write_dot(const Report& report, int row_width);

// A wrd report read back from its text, and drawn as a Graphviz DOT graph.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
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

/// Reads one report from `in` as parse_report does, a line at a time, and stops
/// at the first wrong line without reading on. The report alone is kept, so
/// memory stays within a small multiple of its size. A read error is line 0.
std::variant<Report, ReportError> read_report(std::FILE* in);

/// The value of an address that parse_report accepted, in either library's
/// rendering: hex digits in any case, with or without "0x"; "(nil)" is 0.
std::uint64_t address_value(const std::string& address);

/// True for the null pointer in either library's rendering.
bool is_null_address(const std::string& address);

/// The code point of the valid UTF-8 sequence of two to four bytes at `at`,
/// with its length in `*length`; length 0 where none starts there (an ASCII
/// byte, a stray or cut byte, an overlong form, a surrogate, past U+10FFFF).
std::uint32_t decode_utf8(const std::string& text, std::size_t at, std::size_t* length);

/// The word as a reader sees it, as plain UTF-8: letters as they are, a
/// backslash as two; a control byte or a byte of no valid UTF-8 as \xHH; a
/// character that draws as nothing or as a blank, changes its neighbours, or is
/// private or unassigned, as \uHHHH or \UHHHHHHHH; so no two words show alike.
/// A word whose text would pass graphviz's limit for a label shows its start and
/// "… (N bytes)".
std::string shown_word(const std::string& word);

/// `text` with the four characters that XML markup reserves in text and in
/// double-quoted attributes written as entities: &, <, > and ".
std::string xml_escape(const std::string& text);

/// shown_word as the text of a DOT HTML-like label: the markup's characters as
/// entities and each backslash doubled, since dot reads a pair as one; a long
/// word is cut where the label's own text would pass graphviz's limit.
std::string escape_word(const std::string& word);

/// A stream that remembers whether every write to it succeeded, so that a
/// writer can stream freely and report once.
struct Sink {
    std::FILE* out;
    bool ok = true;
    void put(const std::string& text);
};

/// Writes the report to `out` as a DOT graph, as it is made: one box per node in
/// rows of `columns` (1 to 64), in list order, an arrow per link as the addresses
/// state it, and start and null markers. Returns false if any write failed.
bool write_dot(const Report& report, int columns, std::FILE* out);

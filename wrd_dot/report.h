// A wrd report read back from its text, with its links resolved.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <variant>
#include <vector>

/// Where a link points, as the reader resolved it once for every writer: a
/// node's index in `Report::nodes`; `nodes.size()` for NULL; `nodes.size() + 1
/// + u` for `Report::unknown[u]`, an address that no node of the report has.
using Target = std::size_t;

/// One entry line of a report. Addresses are kept as printed, and compared by
/// their value (see address_value).
struct ReportNode {
    long position;
    std::string address;
    long count;
    std::string word;
    std::string next;
    Target target; // where `next` points
};

/// A whole report: `nodes` is empty only for the empty-list line, and `start` is
/// the start line's address otherwise. `unknown` holds the addresses that links
/// name and no node has, each once, in order of first use: the start's, then
/// each node's in report order.
struct Report {
    std::string start;
    Target start_target; // where `start` points: NULL for the empty list
    std::vector<ReportNode> nodes;
    std::vector<std::string> unknown;
    std::vector<bool> crlf; // per line read, in order: whether it ended in CR LF, not LF
};

/// The first fault of an input that is not a whole report, by its 1-based line.
struct ReportError {
    int line;
    std::string what;
};

/// Reads one report, as the Linux or the Windows C library renders it, LF or
/// CR LF line ends alike. Returns the report with every link resolved, or the
/// first line that is wrong.
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

// A report's lines as wrd writes them, built without printf's field widths,
// for the tests and the fuzz targets to hold reports against and to feed.
#pragma once

#include <cstdio>
#include <string>

/// A pointer as this C library's %p writes it: "0x..." or "(nil)" on Linux,
/// zero-padded hex digits on Windows.
inline std::string pointer_text(const void* pointer)
{
    char text[32];
    (void)std::snprintf(text, sizeof text, "%p", pointer);
    return text;
}

/// One node's line of a report, "%3d Adresa: %s Cetnost: %3d Slovo: %s  Dalsi: %s",
/// ended with `end`. Numbers are right-aligned in three columns, or as wide as
/// they need.
inline std::string report_line(long position, const std::string& address, long count, const std::string& word,
                               const std::string& next, const char* end = "\n")
{
    const auto padded = [](long n) {
        const std::string digits = std::to_string(n);
        return std::string(digits.size() < 3 ? 3 - digits.size() : 0, ' ') + digits;
    };
    return padded(position) + " Adresa: " + address + " Cetnost: " + padded(count) + " Slovo: " + word +
           "  Dalsi: " + next + end;
}

/// The report of a list of nodes (each with word, count and next), as wrd
/// writes it with this C library's addresses; the empty list's for none.
template <typename Node> std::string list_report(const Node* list)
{
    std::string report =
        list == nullptr ? "Seznam je prazdny.\n" : "Zacatek seznamu: " + pointer_text(list) + "\n";
    long position = 0;
    for (const Node* node = list; node != nullptr; node = node->next) {
        report +=
            report_line(++position, pointer_text(node), node->count, node->word, pointer_text(node->next));
    }
    return report;
}

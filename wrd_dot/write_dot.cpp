#include "report.h"

#include <algorithm>
#include <cinttypes>
#include <cstddef>
#include <cstdio>
#include <map>
#include <set>

namespace {

// The length of the valid UTF-8 sequence at `at`, or 0 if none starts there:
// no overlong form, no surrogate and nothing beyond U+10FFFF.
std::size_t utf8_length(const std::string& text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = byte(at);
    std::size_t length = 0;
    unsigned low = 0x80;
    unsigned high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high) {
        return 0;
    }
    for (std::size_t i = at + 2; i < at + length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

// Node names are n1, n2 ... by position; links are looked up by address value.
std::string name(std::size_t index) { return "n" + std::to_string(index + 1); }

// graphviz reads at most 16,384 bytes of an HTML-like label, and a box's own
// markup takes a few hundred of them; a cut word's marker needs kMarkerRoom.
constexpr std::size_t kMaxWordText = 16000;
constexpr std::size_t kMarkerRoom = 48;

// The label text of the character or stray byte at `*at`, which it passes.
// dot reads a backslash pair as one backslash, so a backslash is written as
// two pairs, and a byte written as \xHH shows apart from those four characters.
std::string escape_one(const std::string& word, std::size_t* at)
{
    const auto byte = static_cast<unsigned char>(word[*at]);
    const std::size_t length = byte >= 0x80 ? utf8_length(word, *at) : 0;
    // U+FFFE and U+FFFF are valid UTF-8, but no character of XML 1.0.
    const bool xml_char = length != 3 || word.compare(*at, 2, "\xEF\xBF") != 0 ||
                          static_cast<unsigned char>(word[*at + 2]) < 0xBE;
    if (length > 0 && xml_char) {
        *at += length;
        return word.substr(*at - length, length);
    }
    ++*at;
    switch (byte) {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '"':
        return "&quot;";
    case ']': // dot rejects a label whose text is "]" or "]]", but not the entity
        return "&#93;";
    case '\\':
        return "\\\\\\\\";
    default:
        break;
    }
    if (byte < 0x20 || byte >= 0x7F) {
        char hex[8];
        (void)std::snprintf(hex, sizeof hex, "\\x%02X", byte);
        return hex;
    }
    return std::string(1, static_cast<char>(byte));
}

// 16382 as "16,382".
std::string grouped(std::size_t n)
{
    std::string digits = std::to_string(n);
    for (std::size_t at = digits.size(); at > 3;) {
        at -= 3;
        digits.insert(at, ",");
    }
    return digits;
}

} // namespace

std::string escape_word(const std::string& word)
{
    std::string out;
    std::size_t fits = 0; // the length of `out` that leaves room for the marker
    for (std::size_t at = 0; at < word.size();) {
        const std::string piece = escape_one(word, &at);
        if (out.size() + piece.size() > kMaxWordText) {
            out.resize(fits);
            return out + "\xE2\x80\xA6 (" + grouped(word.size()) + " bytes)";
        }
        out += piece;
        if (out.size() <= kMaxWordText - kMarkerRoom) {
            fits = out.size();
        }
    }
    return out;
}

// The rows are ranks of their own, held in order by invisible chains and kept
// in columns by invisible edges from each node to the one below it. The links
// do not constrain the layout, so a report whose links run elsewhere than list
// order still draws in rows, with its arrows where its addresses point.
std::string write_dot(const Report& report, int row_width)
{
    std::string dot = "digraph wrd {\n"
                      "  graph [nodesep=0.3, ranksep=0.5];\n"
                      "  node [shape=plain, fontname=\"monospace\", fontsize=11];\n"
                      "  edge [arrowsize=0.7];\n";
    if (report.nodes.empty()) {
        return dot + "  empty [shape=box, style=dashed, margin=0.2, label=\"Seznam je prazdny.\"];\n}\n";
    }

    std::map<std::uint64_t, std::size_t> index_of;
    for (std::size_t i = 0; i < report.nodes.size(); ++i) {
        index_of.emplace(address_value(report.nodes[i].address), i);
    }
    // A link's target: the node at that address, the null marker, or a marker
    // of its own for an address that no node of the report has.
    std::string unknown;
    std::set<std::uint64_t> unknown_values;
    const auto target = [&](const std::string& address) {
        const std::uint64_t value = address_value(address);
        if (value == 0) {
            return std::string("null");
        }
        const auto found = index_of.find(value);
        if (found != index_of.end()) {
            return name(found->second);
        }
        char marker[32];
        (void)std::snprintf(marker, sizeof marker, "unknown_0x%" PRIx64, value);
        if (unknown_values.insert(value).second) {
            unknown += std::string("  ") + marker + " [shape=box, style=dashed, label=\"" + address +
                       "\\nno such node\"];\n";
        }
        return std::string(marker);
    };

    dot += "  start [shape=plaintext, label=\"Zacatek seznamu\\n" + report.start + "\"];\n";
    dot += "  null [shape=box, style=rounded, label=\"NULL\"];\n";
    const auto width = static_cast<std::size_t>(row_width);
    for (std::size_t i = 0; i < report.nodes.size(); ++i) {
        const ReportNode& node = report.nodes[i];
        dot += "  " + name(i) +
               " [label=<<table border=\"0\" cellborder=\"1\" cellspacing=\"0\" cellpadding=\"4\">"
               "<tr><td>" +
               std::to_string(node.position) + "</td><td>" + node.address + "</td></tr><tr><td>" +
               std::to_string(node.count) + "&#215;</td><td><b>" + escape_word(node.word) +
               "</b></td></tr></table>>];\n";
    }
    for (std::size_t row = 0; row < report.nodes.size(); row += width) {
        dot += "  { rank=same; ";
        for (std::size_t i = row; i < std::min(row + width, report.nodes.size()); ++i) {
            dot += (i == row ? "" : " -> ") + name(i);
        }
        if (row + width >= report.nodes.size()) {
            dot += " -> null";
        }
        dot += " [style=invis]; }\n";
        for (std::size_t i = row; i < row + width && i + width < report.nodes.size(); ++i) {
            dot += "  " + name(i) + " -> " + name(i + width) + " [style=invis];\n";
        }
    }
    dot += "  start -> " + name(0) + " [style=invis];\n";

    dot += "  start -> " + target(report.start) + " [constraint=false];\n";
    for (std::size_t i = 0; i < report.nodes.size(); ++i) {
        dot += "  " + name(i) + " -> " + target(report.nodes[i].next) + " [constraint=false];\n";
    }
    return dot + unknown + "}\n";
}

#include "report.h"

#include <algorithm>
#include <cinttypes>
#include <cstddef>
#include <cstdio>
#include <set>
#include <utility>

namespace {

// Node names are n1, n2 ... by position; links are looked up by address value.
std::string name(std::size_t index) { return "n" + std::to_string(index + 1); }

} // namespace

void Sink::put(const std::string& text)
{
    ok = std::fwrite(text.data(), 1, text.size(), out) == text.size() && ok;
}

// The rows are ranks of their own, held in order by invisible chains and kept
// in columns by invisible edges from each node to the one below it. The links
// do not constrain the layout, so a report whose links run elsewhere than list
// order still draws in rows, with its arrows where its addresses point.
bool write_dot(const Report& report, int columns, std::FILE* out)
{
    Sink sink{out};
    sink.put("digraph wrd {\n"
             "  graph [nodesep=0.3, ranksep=0.5];\n"
             "  node [shape=plain, fontname=\"monospace\", fontsize=11];\n"
             "  edge [arrowsize=0.7];\n");
    if (report.nodes.empty()) {
        sink.put("  empty [shape=box, style=dashed, margin=0.2, label=\"Seznam je prazdny.\"];\n}\n");
        return sink.ok;
    }

    // Each node's address value beside its index, sorted: a third of a map's size.
    std::vector<std::pair<std::uint64_t, std::size_t>> index_of;
    index_of.reserve(report.nodes.size());
    for (std::size_t i = 0; i < report.nodes.size(); ++i) {
        index_of.emplace_back(address_value(report.nodes[i].address), i);
    }
    std::sort(index_of.begin(), index_of.end());
    // A link's target: the node at that address, the null marker, or a marker
    // of its own for an address that no node of the report has.
    std::string unknown;
    std::set<std::uint64_t> unknown_values;
    const auto target = [&](const std::string& address) {
        const std::uint64_t value = address_value(address);
        if (value == 0) {
            return std::string("null");
        }
        const auto found =
            std::lower_bound(index_of.begin(), index_of.end(), std::make_pair(value, std::size_t{0}));
        if (found != index_of.end() && found->first == value) {
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

    sink.put("  start [shape=plaintext, label=\"Zacatek seznamu\\n" + report.start + "\"];\n");
    sink.put("  null [shape=box, style=rounded, label=\"NULL\"];\n");
    for (std::size_t i = 0; i < report.nodes.size(); ++i) {
        const ReportNode& node = report.nodes[i];
        sink.put("  " + name(i) +
                 " [label=<<table border=\"0\" cellborder=\"1\" cellspacing=\"0\" cellpadding=\"4\">"
                 "<tr><td>" +
                 std::to_string(node.position) + "</td><td>" + node.address + "</td></tr><tr><td>" +
                 std::to_string(node.count) + "&#215;</td><td><b>" + escape_word(node.word) +
                 "</b></td></tr></table>>];\n");
    }
    // A row of one node and no marker is a plain node statement: an attribute
    // there would be the node's own, and style=invis would hide it.
    const auto width = static_cast<std::size_t>(columns);
    for (std::size_t row = 0; row < report.nodes.size(); row += width) {
        const std::size_t row_end = std::min(row + width, report.nodes.size());
        std::string chain;
        for (std::size_t i = row; i < row_end; ++i) {
            chain += (i == row ? "" : " -> ") + name(i);
        }
        if (row_end == report.nodes.size()) {
            chain += " -> null";
        }
        const bool edges = chain.find(" -> ") != std::string::npos;
        sink.put("  { rank=same; " + chain + (edges ? " [style=invis]; }\n" : "; }\n"));
        for (std::size_t i = row; i < row_end && i + width < report.nodes.size(); ++i) {
            sink.put("  " + name(i) + " -> " + name(i + width) + " [style=invis];\n");
        }
    }
    sink.put("  start -> " + name(0) + " [style=invis];\n");

    sink.put("  start -> " + target(report.start) + " [constraint=false];\n");
    for (std::size_t i = 0; i < report.nodes.size(); ++i) {
        sink.put("  " + name(i) + " -> " + target(report.nodes[i].next) + " [constraint=false];\n");
    }
    sink.put(unknown + "}\n");
    return sink.ok;
}

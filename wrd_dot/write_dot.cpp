#include "report.h"
#include "report_words.h"
#include "word_text.h"
#include "writers.h"

#include <algorithm>
#include <cinttypes>
#include <cstddef>
#include <cstdio>

namespace {

// Node names are n1, n2 ... by position.
std::string name(std::size_t index) { return "n" + std::to_string(index + 1); }

} // namespace

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
        sink.put("  empty [shape=box, style=dashed, margin=0.2, label=\"" + std::string(kEmptyList) +
                 "\"];\n}\n");
        return sink.ok;
    }

    // A link's target: the node's box, the null marker, or the marker of an
    // address that no node has, named by its value.
    const std::size_t n = report.nodes.size();
    const auto target = [&](Target index) {
        if (index < n) {
            return name(index);
        }
        if (index == n) {
            return std::string("null");
        }
        char marker[32];
        (void)std::snprintf(marker, sizeof marker, "unknown_0x%" PRIx64,
                            address_value(report.unknown[index - n - 1]));
        return std::string(marker);
    };

    sink.put("  start [shape=plaintext, label=\"" + std::string(kListStart) + "\\n" + report.start +
             "\"];\n");
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

    sink.put("  start -> " + target(report.start_target) + " [constraint=false];\n");
    for (std::size_t i = 0; i < n; ++i) {
        sink.put("  " + name(i) + " -> " + target(report.nodes[i].target) + " [constraint=false];\n");
    }
    for (std::size_t u = 0; u < report.unknown.size(); ++u) {
        sink.put("  " + target(n + 1 + u) + " [shape=box, style=dashed, label=\"" + report.unknown[u] +
                 "\\nno such node\"];\n");
    }
    sink.put("}\n");
    return sink.ok;
}

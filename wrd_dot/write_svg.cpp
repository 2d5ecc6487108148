#include "layout.h"
#include "report_words.h"
#include "word_text.h"
#include "writers.h"

#include <algorithm>

#include <cstring>

namespace {

const char* const kEllipsis = "\xE2\x80\xA6"; // which fit_columns ends a cut word with

const char* const kStyle =
    "<style>"
    "rect{fill:#fff;stroke:#333}.cells{fill:none;stroke:#333}.unknown,.empty{stroke-dasharray:4 "
    "3}.start{fill:none;stroke:none}"
    // Each text is isolated from the others, and a word takes the direction of
    // its first strong letter, as a right-to-left word is written.
    "text{fill:#111;unicode-bidi:isolate}.word{font-weight:bold;unicode-bidi:plaintext}.cut{font-weight:bold}"
    ".links{fill:none;stroke:#333}.head{fill:#333}"
    "</style>\n"
    "<defs><marker id=\"head\" viewBox=\"0 0 10 10\" refX=\"10\" refY=\"5\" markerWidth=\"8\" "
    "markerHeight=\"8\" markerUnits=\"userSpaceOnUse\" orient=\"auto\">"
    "<path class=\"head\" d=\"M0 0L10 5L0 10z\"/></marker>";

// `shown` as the text of a word's <text>: markup escaped, and each escape
// (\xHH, \uHHHH, \UHHHHHHHH) a left-to-right isolate, so that inside a
// right-to-left word it still reads "\u200C" rather than backwards. Both
// rsvg-convert and Chromium honour the isolate characters, where a tspan's
// unicode-bidi loses the word's own direction in rsvg-convert.
std::string word_markup(const std::string& shown)
{
    std::string out;
    for (std::size_t at = 0; at < shown.size();) {
        const std::size_t length = std::max<std::size_t>(escape_length(shown, at), 1);
        const std::string piece = xml_escape(shown.substr(at, length));
        out += length > 2 ? "\xE2\x81\xA6" + piece + "\xE2\x81\xA9" : piece; // LRI, PDI
        at += length;
    }
    return out;
}

// Where the text of the right cell starts, and where a cut word's ellipsis
// stands: at the cell's last column, counted from there.
constexpr Pixels kRightText = NodeBox::kLeftCell + NodeBox::kInset;
constexpr auto kLastColumn =
    static_cast<Pixels>(kRightText + (NodeBox::kWordColumns - 1) * NodeBox::kAdvance);

// A word's cell, in the box's own space: glyphs wider than a monospace column
// (Tamil, circled numbers) would otherwise draw over what lies to the right. A
// cut word leaves the cell's last column to its ellipsis.
std::string clip(const char* id, Pixels right)
{
    const std::string half = std::to_string(NodeBox::kHeight / 2);
    return std::string("<clipPath id=\"") + id + "\"><rect x=\"" + std::to_string(NodeBox::kLeftCell) +
           "\" y=\"" + half + "\" width=\"" + std::to_string(right - NodeBox::kLeftCell) + "\" height=\"" +
           half + "\"/></clipPath>";
}

std::string at(const Box& box)
{
    return "<g transform=\"translate(" + std::to_string(box.x) + " " + std::to_string(box.y) + ")\">";
}

std::string text(Pixels x, Pixels y, const std::string& body, const char* css_class = nullptr)
{
    return "<text x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\"" +
           (css_class != nullptr ? std::string(" class=\"") + css_class + "\"" : "") + ">" + body + "</text>";
}

// A marker box with one or two centred lines of text.
std::string marker(const Box& box, const char* css_class, const std::string& line1, const std::string& line2)
{
    const Pixels middle = box.width / 2;
    std::string svg = at(box) + "<rect class=\"" + css_class + "\" width=\"" + std::to_string(box.width) +
                      "\" height=\"" + std::to_string(box.height) + "\" rx=\"6\"/>";
    svg += line2.empty() ? text(middle, box.height / 2 + 4, line1)
                         : text(middle, box.height / 2 - 4, line1) + text(middle, box.height / 2 + 12, line2);
    return svg + "</g>\n";
}

// One node's box: position and address above, count and word below, the word
// clipped to its cell. A word cut to fit keeps its whole text as the box's
// tooltip, and its ellipsis stands outside the clip at the cell's last column,
// so that it shows however wide the font draws the letters before it.
std::string node_box(const ReportNode& node, const Box& box)
{
    const std::string shown = shown_word(node.word);
    std::string fitted = fit_columns(shown, NodeBox::kWordColumns);
    const bool cut = fitted != shown;
    const Pixels top = box.height / 2 - NodeBox::kInset; // the baselines of the upper and the lower half
    const Pixels bottom = box.height - NodeBox::kInset;
    std::string svg = at(box);
    if (cut) {
        svg += "<title>" + xml_escape(shown) + "</title>";
    }
    svg +=
        "<rect width=\"" + std::to_string(box.width) + "\" height=\"" + std::to_string(box.height) + "\"/>";
    svg += "<path class=\"cells\" d=\"M" + std::to_string(NodeBox::kLeftCell) + " 0V" +
           std::to_string(box.height) + "M0 " + std::to_string(box.height / 2) + "H" +
           std::to_string(box.width) + "\"/>";
    svg += text(NodeBox::kInset, top, std::to_string(node.position)) + text(kRightText, top, node.address);
    svg += text(NodeBox::kInset, bottom, std::to_string(node.count) + "\xC3\x97");
    if (cut) {
        fitted.resize(fitted.size() - std::strlen(kEllipsis));
        svg += text(kLastColumn, bottom, kEllipsis, "cut");
    }
    svg += "<text x=\"" + std::to_string(kRightText) + "\" y=\"" + std::to_string(bottom) +
           "\" clip-path=\"url(#" + (cut ? "cut" : "word") + ")\" class=\"word\">" + word_markup(fitted) +
           "</text>";
    return svg + "</g>\n";
}

} // namespace

// Boxes first, arrows over them, so that an arrow of a crafted report that
// crosses a box stays visible.
bool write_svg(const Report& report, int columns, std::FILE* out)
{
    const Layout layout = lay_out(report, columns);
    Sink sink{out};
    const std::string width = std::to_string(layout.width);
    const std::string height = std::to_string(layout.height);
    sink.put(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
        width + "\" height=\"" + height + "\" viewBox=\"0 0 " + width + " " + height +
        "\" font-family=\"monospace\" font-size=\"" + std::to_string(NodeBox::kFontSize) + "\">\n" + kStyle +
        clip("word", NodeBox::kWidth - 1) + clip("cut", kLastColumn) + "</defs>\n");
    if (report.nodes.empty()) {
        Box empty = layout.start;
        empty.height = layout.height - 2 * empty.y;
        sink.put("<g text-anchor=\"middle\">" + marker(empty, "empty", kEmptyList, "") + "</g>\n</svg>\n");
        return sink.ok && std::fflush(out) == 0;
    }

    const Box& start = layout.start;
    sink.put("<g text-anchor=\"middle\">" + marker(start, "start", kListStart, report.start));
    const std::size_t n = report.nodes.size();
    sink.put(marker(layout.boxes[n], "null", "NULL", ""));
    for (std::size_t u = 0; u < layout.unknown.size(); ++u) {
        sink.put(marker(layout.boxes[n + 1 + u], "unknown", layout.unknown[u], "no such node"));
    }
    sink.put("</g>\n");

    for (std::size_t i = 0; i < n; ++i) {
        sink.put(node_box(report.nodes[i], layout.boxes[i]));
    }
    sink.put("<g class=\"links\" marker-end=\"url(#head)\">\n");
    for (std::size_t link = 0; link <= n; ++link) {
        sink.put("<path d=\"" + link_path(layout, link) + "\"/>\n");
    }
    sink.put("</g>\n</svg>\n");
    return sink.ok && std::fflush(out) == 0;
}

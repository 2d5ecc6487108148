// The pictures of a report: the DOT graph for Graphviz, and wrd-dot's own
// layout, shared by the SVG picture and the page that steps through the run.
#pragma once

#include "report.h"
#include "word_text.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

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

/// A length of the picture in pixels: 64 bits, since a crafted report of
/// millions of nodes in rows of one passes 2^31 pixels.
using Pixels = std::int64_t;

/// A rectangle of the picture, in pixels from its top left corner.
struct Box {
    Pixels x;
    Pixels y;
    Pixels width;
    Pixels height;
};

/// The way of a link that leaves the chain: along the gap below its box at
/// height `out`, down or up its lane at `x` beside the grid, and along the gap
/// above its target at height `in`. All 0 for a link that takes no lane.
struct Lane {
    Pixels x;
    Pixels out;
    Pixels in;
};

/// Where everything of a report stands. `boxes` holds one box per node in
/// report order, then the NULL marker, then one dashed marker per address that
/// no node has (`unknown`, in order of first use). `start_target` and `next`
/// index `boxes`: where the start line and each node's link point. `lanes`
/// holds, for the start line and then each node's link, the lane that a link
/// takes when it does not run to the next box in reading order, or none when
/// it does or loops back to its own box.
struct Layout {
    Pixels width;
    Pixels height;
    Box start;
    std::vector<Box> boxes;
    std::vector<std::string> unknown;
    std::size_t start_target;
    std::vector<std::size_t> next;
    std::vector<Lane> lanes;
};

/// Lays the nodes out in rows of `columns` in report order, the NULL marker in
/// the slot after the last node, and the unknown markers in rows below them;
/// `columns` is 1 to 64. Time grows as n log n, memory linearly, with the nodes.
/// An empty report gives no boxes, no links, and the size of one marker.
Layout lay_out(const Report& report, int columns);

/// The SVG path data of link `link` of a layout with at least one node: 0 is
/// the start line, i + 1 node i's link. To the next box it runs straight along
/// a row or curves down to the next row; to its own box it loops at the box's
/// right; any other runs down out of the box, along the row gaps and its own
/// lane beside the grid, and down into its target.
std::string link_path(const Layout& layout, std::size_t link);

/// The geometry of a node's box that the writers share: the monospace font's
/// size and advance, where the right-hand cell begins, and how many columns
/// of text fit in that cell.
struct BoxText {
    static constexpr int kFontSize = 12;
    static constexpr double kAdvance = 7.23;
    static constexpr int kLeftCell = 88;
    static constexpr int kWordColumns = 20;
};

/// `text`, a word as shown_word shows it, cut to at most `columns` monospace
/// columns, "…" included when cut. East Asian Wide and Fullwidth characters and
/// flags take two columns, nonspacing marks none; a cut keeps whole each escape,
/// each character with its marks, and each flag.
std::string fit_columns(const std::string& text, int columns);

/// The report as an SVG picture laid out by lay_out, streamed to `out`: the
/// start address, a box per node (position, address, count, word, and the
/// whole word as its tooltip), NULL, an arrow per link and a dashed marker per
/// unknown address; an empty report gets the empty list's marker alone.
/// Returns false if any write failed.
bool write_svg(const Report& report, int columns, std::FILE* out);

/// One run of add_word, as replay finds it: the index in `report.nodes` of
/// each call's node, the seed calls first, then the byte offset in the text of
/// each of the text's words, one per call after the seeds.
struct Run {
    std::vector<std::uint32_t> calls;
    std::vector<std::size_t> word_starts;
};

/// Replays the run that printed `report`: the seed words, then the words of
/// `text` up to its first zero byte, each one call to add_word. Returns the
/// run, or one line that says how the report differs from the one the text
/// gives (words, counts, order or links).
std::variant<Run, std::string> replay(const Report& report, std::string_view text);

/// A self-contained page that steps through `run` (from replay of `text`)
/// line by line over the nodes of `report`, with the text around each word.
/// Its DOM states the step: each box's data-address, data-count and hidden
/// (until made), data-first, data-touched and data-cursor; data-compared on
/// the compared boxes drawn (a fold counts the rest); #call's data-action,
/// #code's data-current line and #text's mark. Where wrd-dot has the page's
/// module, #try-text holds `text`, and an empty report (with an empty `run`)
/// gives the page with no run, which runs that text in the page on opening;
/// without the module an empty report is refused, with nothing written.
/// Returns false if refused or if a write failed.
bool write_html(const Report& report, const Run& run, std::string_view text, std::FILE* out);

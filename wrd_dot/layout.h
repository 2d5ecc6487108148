// wrd-dot's own layout of a report: where each box, marker and arrow stands,
// shared by the SVG picture and the page's boxes.
#pragma once

#include "report.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

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

/// A node's box, which lay_out places and write_svg draws into: a left cell
/// for the position above the count, a right cell for the address above the
/// word. Text stands kInset from its cell's left edge and from the bottom of
/// its half of the box, in a monospace font of kFontSize, kAdvance wide.
struct NodeBox {
    static constexpr Pixels kWidth = 240;
    static constexpr Pixels kHeight = 44;
    static constexpr Pixels kLeftCell = 88;
    static constexpr Pixels kInset = 6;
    static constexpr int kFontSize = 12;
    static constexpr double kAdvance = 7.23;
    static constexpr int kWordColumns = 20; // of the word's text, in the right cell
};

// The word's columns fill its cell, inside the box's right edge, and one more would not fit.
static_assert(NodeBox::kLeftCell + NodeBox::kInset + NodeBox::kWordColumns * NodeBox::kAdvance <=
              NodeBox::kWidth - 1);
static_assert(NodeBox::kLeftCell + NodeBox::kInset + (NodeBox::kWordColumns + 1) * NodeBox::kAdvance >
              NodeBox::kWidth - 1);

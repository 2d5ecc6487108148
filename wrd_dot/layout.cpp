#include "layout.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

namespace {

constexpr Pixels kMargin = 16;
constexpr Pixels kBoxWidth = NodeBox::kWidth;
constexpr Pixels kBoxHeight = NodeBox::kHeight;
constexpr Pixels kNullWidth = 64;
constexpr Pixels kStartHeight = 34;
constexpr Pixels kColumnGap = 40;
constexpr Pixels kRowGap = 44;
constexpr Pixels kLaneGap = 8; // between the lanes beside the grid, and from what they pass
constexpr Pixels kLoop = 26;   // how far a box's loop reaches to its right
constexpr Pixels kRunGap = 6;  // between the runs of links along a row gap

// The path of an arrow from one box to the next in reading order: straight
// along a row, and otherwise a curve from the bottom of one to the top of the
// other.
std::string arrow_path(const Box& from, const Box& to)
{
    if (from.y == to.y && to.x == from.x + from.width + kColumnGap) {
        const Pixels y = from.y + from.height / 2;
        return "M" + std::to_string(from.x + from.width) + " " + std::to_string(y) + "H" +
               std::to_string(to.x);
    }
    const Pixels sx = from.x + from.width / 2;
    const Pixels sy = from.y + from.height;
    const Pixels tx = to.x + to.width / 2;
    const Pixels ty = to.y;
    // Downwards the curve stays inside the gap it crosses; upwards it loops.
    const Pixels bend = ty > sy ? std::min<Pixels>(ty - sy - 4, 60) : 60;
    return "M" + std::to_string(sx) + " " + std::to_string(sy) + "C" + std::to_string(sx) + " " +
           std::to_string(sy + bend) + " " + std::to_string(tx) + " " + std::to_string(ty - bend) + " " +
           std::to_string(tx) + " " + std::to_string(ty);
}

} // namespace

// The nodes and the NULL marker fill slots 0..n of the grid, so that the arrow
// of every link that wrd prints runs straight to the next box, or down from
// the end of a row to the start of the next one.
Layout lay_out(const Report& report, int columns)
{
    const std::size_t n = report.nodes.size();
    const auto width = static_cast<std::size_t>(columns);
    Layout layout{};
    layout.start = Box{kMargin, kMargin, kBoxWidth, kStartHeight};
    if (n == 0) {
        layout.width = 2 * kMargin + kBoxWidth;
        layout.height = 2 * kMargin + kBoxHeight;
        return layout;
    }

    // The reader resolved the links; the unknown addresses get rows below the grid.
    const std::size_t grid_rows = n / width + 1;
    const std::size_t rows = grid_rows + (report.unknown.size() + width - 1) / width;
    const auto row_of = [&](std::size_t box) {
        return box <= n ? box / width : grid_rows + (box - n - 1) / width;
    };
    layout.unknown = report.unknown;
    layout.start_target = report.start_target;
    layout.next.reserve(n);
    for (const ReportNode& node : report.nodes) {
        layout.next.push_back(node.target);
    }

    // Link k leaves slot k - 1 (the start line, slot -1) and goes on to slot k
    // in reading order. Any other link runs down into the gap below its box,
    // along it to a lane of its own to the right of the grid, and along the gap
    // above its target: each at a height of its own in each gap, the gap grown
    // to hold them, so that no two links share a stretch or turn close together.
    std::vector<Pixels> outs(rows + 1, 0); // the links that run along each gap, gap r above row r
    std::vector<Pixels> ins(rows + 1, 0);
    std::vector<std::size_t> lane_links;
    bool loops = false;
    layout.lanes.assign(n + 1, Lane{});
    for (std::size_t link = 0; link <= n; ++link) {
        const std::size_t to = link == 0 ? layout.start_target : layout.next[link - 1];
        loops = loops || (link > 0 && to == link - 1);
        if (to != link && (link == 0 || to != link - 1)) {
            Lane& lane = layout.lanes[link];
            lane.out = outs[link == 0 ? 0 : row_of(link - 1) + 1]++;
            lane.in = ins[row_of(to)]++;
            lane_links.push_back(link);
        }
    }
    std::vector<Pixels> row_top(rows);
    for (std::size_t row = 0; row < rows; ++row) {
        const Pixels gap = std::max(kRowGap, 2 * kLaneGap + kRunGap * (outs[row] + ins[row] - 1));
        row_top[row] = (row == 0 ? kMargin + kStartHeight : row_top[row - 1] + kBoxHeight) + gap;
    }
    layout.boxes.reserve(n + 1 + report.unknown.size());
    for (std::size_t box = 0; box <= n + report.unknown.size(); ++box) {
        const auto column = static_cast<Pixels>((box <= n ? box : box - n - 1) % width);
        layout.boxes.push_back(
            Box{kMargin + column * (kBoxWidth + kColumnGap), row_top[row_of(box)], kBoxWidth, kBoxHeight});
    }
    layout.boxes[n].width = kNullWidth;

    // Each run's height in its gap: out in the upper part, in in the lower, a
    // lane's width from the boxes' edges. The lanes of links that start higher
    // stand nearer the grid, and all clear of the loops at the rows' ends.
    struct Span {
        Pixels top;
        std::size_t link;
    };
    std::vector<Span> spans;
    for (const std::size_t link : lane_links) {
        Lane& lane = layout.lanes[link];
        const Box& from = link == 0 ? layout.start : layout.boxes[link - 1];
        const Box& to = layout.boxes[link == 0 ? layout.start_target : layout.next[link - 1]];
        lane.out = from.y + from.height + kLaneGap + kRunGap * lane.out;
        lane.in = to.y - kLaneGap - kRunGap * lane.in;
        spans.push_back({std::min(lane.out, lane.in), link});
    }
    std::stable_sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.top < b.top; });
    const auto used = static_cast<Pixels>(std::min(width, std::max(n + 1, layout.unknown.size())));
    const Pixels grid_right = kMargin + used * kBoxWidth + (used - 1) * kColumnGap;
    const Pixels first_lane = grid_right + (loops ? kLoop : 0);
    for (std::size_t lane = 0; lane < spans.size(); ++lane) {
        layout.lanes[spans[lane].link].x = first_lane + kLaneGap * static_cast<Pixels>(lane + 1);
    }
    const Pixels beside = spans.empty()
                              ? (loops ? kLoop : 0)
                              : first_lane + kLaneGap * static_cast<Pixels>(spans.size()) - grid_right;
    layout.width = grid_right + beside + kMargin;
    // Links from the last row run below it, before the margin.
    const Pixels below = outs[rows] == 0 ? 0 : kLaneGap + kRunGap * (outs[rows] - 1);
    layout.height = row_top[rows - 1] + kBoxHeight + below + kMargin;
    return layout;
}

std::string link_path(const Layout& layout, std::size_t link)
{
    const Box& from = link == 0 ? layout.start : layout.boxes[link - 1];
    const std::size_t target = link == 0 ? layout.start_target : layout.next[link - 1];
    const Box& to = layout.boxes[target];
    const auto at = [](Pixels x, Pixels y) { return std::to_string(x) + " " + std::to_string(y); };
    if (link > 0 && target == link - 1) {
        const Pixels right = from.x + from.width;
        return "M" + at(right, from.y + 10) + "C" + at(right + kLoop, from.y + 4) + " " +
               at(right + kLoop, from.y + from.height - 4) + " " + at(right, from.y + from.height - 10);
    }
    const Lane& lane = layout.lanes[link];
    if (lane.x == 0) {
        return arrow_path(from, to);
    }
    return "M" + at(from.x + 12, from.y + from.height) + "V" + std::to_string(lane.out) + "H" +
           std::to_string(lane.x) + "V" + std::to_string(lane.in) + "H" + std::to_string(to.x + 24) + "V" +
           std::to_string(to.y);
}

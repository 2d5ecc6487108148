#include "draw.h"
#include "unicode.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

namespace {

constexpr Pixels kMargin = 16;
constexpr Pixels kBoxWidth = 240;
constexpr Pixels kBoxHeight = 44;
constexpr Pixels kNullWidth = 64;
constexpr Pixels kStartHeight = 34;
constexpr Pixels kColumnGap = 40;
constexpr Pixels kRowGap = 44;
constexpr Pixels kLaneGap = 8; // between the lanes beside the grid, and from what they pass
constexpr Pixels kLoop = 26;   // how far a box's loop reaches to its right

// Where a link that takes a lane leaves its box's bottom and runs along the row
// gap below, and where it runs along the gap above its target and enters it:
// the box's column sets the height, so that the links of neighbouring boxes
// stay apart, out in the upper half of a gap and in in the lower, a lane's
// width from the boxes' edges.
Pixels grid_column(const Box& box) { return (box.x - kMargin) / (kBoxWidth + kColumnGap); }
Pixels out_y(const Box& from) { return from.y + from.height + kLaneGap + 4 * (grid_column(from) % 4); }
Pixels in_y(const Box& to) { return to.y - kLaneGap - 4 * (grid_column(to) % 4); }

bool regional_indicator(std::uint32_t code) { return code >= 0x1F1E6 && code <= 0x1F1FF; }

// The length in bytes of the piece of shown text at `at` that a cut must keep
// whole, and its monospace columns in `*columns`: an escape or a backslash
// pair, a character with the marks that follow it, or a flag, which is two
// regional indicators and draws two columns wide, as a lone one does.
std::size_t cluster(const std::string& text, std::size_t at, int* columns)
{
    if (text[at] == '\\' && at + 1 < text.size()) {
        const char kind = text[at + 1];
        const std::size_t length = kind == 'x' ? 4 : kind == 'u' ? 6 : kind == 'U' ? 10 : 2;
        *columns = static_cast<int>(std::min(length, text.size() - at));
        return static_cast<std::size_t>(*columns);
    }
    const auto character = [&](std::size_t from, std::size_t* length) {
        const auto byte = static_cast<unsigned char>(text[from]);
        const std::uint32_t code = byte < 0x80 ? byte : decode_utf8(text, from, length);
        *length = std::max<std::size_t>(byte < 0x80 ? 1 : *length, 1);
        return code;
    };
    std::size_t length = 0;
    const std::uint32_t first = character(at, &length);
    std::size_t end = at + length;
    *columns = code_point(first).columns;
    if (regional_indicator(first)) {
        *columns = 2;
        if (end < text.size() && regional_indicator(character(end, &length))) {
            end += length;
        }
    }
    while (end < text.size() && text[end] != '\\') {
        const CodePoint next = code_point(character(end, &length));
        if (!next.mark) {
            break;
        }
        *columns += next.columns;
        end += length;
    }
    return end - at;
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
    const Pixels top = kMargin + kStartHeight + kRowGap;
    const auto slot = [&](std::size_t index, Pixels row0) {
        const Pixels row = row0 + static_cast<Pixels>(index / width);
        const auto column = static_cast<Pixels>(index % width);
        return Box{kMargin + column * (kBoxWidth + kColumnGap), top + row * (kBoxHeight + kRowGap), kBoxWidth,
                   kBoxHeight};
    };
    if (n == 0) {
        layout.width = 2 * kMargin + kBoxWidth;
        layout.height = 2 * kMargin + kBoxHeight;
        return layout;
    }

    layout.boxes.reserve(n + 1 + report.unknown.size());
    for (std::size_t i = 0; i <= n; ++i) {
        layout.boxes.push_back(slot(i, 0));
    }
    layout.boxes[n].width = kNullWidth;

    // The reader resolved the links; the unknown addresses get boxes below the grid.
    const Pixels grid_rows = static_cast<Pixels>(n / width) + 1;
    for (std::size_t u = 0; u < report.unknown.size(); ++u) {
        layout.boxes.push_back(slot(u, grid_rows));
    }
    layout.unknown = report.unknown;
    layout.start_target = report.start_target;
    layout.next.reserve(n);
    for (const ReportNode& node : report.nodes) {
        layout.next.push_back(node.target);
    }

    const auto used = static_cast<Pixels>(std::min(width, std::max(n + 1, layout.unknown.size())));
    const Pixels rows = grid_rows + static_cast<Pixels>((layout.unknown.size() + width - 1) / width);
    const Pixels grid_right = kMargin + used * kBoxWidth + (used - 1) * kColumnGap;

    // Link k leaves slot k - 1 (the start line, slot -1) and goes on to slot k
    // in reading order. Any other link takes a lane of its own to the right of
    // the grid, so that no two share a stretch of one or turn close together,
    // the lanes of links that start higher nearer the grid. The lanes begin
    // clear of the loops of self-links at the ends of the rows.
    struct Span {
        Pixels top;
        std::size_t link;
    };
    std::vector<Span> spans;
    bool loops = false;
    layout.lanes.assign(n + 1, 0);
    for (std::size_t link = 0; link <= n; ++link) {
        const std::size_t to = link == 0 ? layout.start_target : layout.next[link - 1];
        loops = loops || (link > 0 && to == link - 1);
        if (to != link && (link == 0 || to != link - 1)) {
            const Pixels out = out_y(link == 0 ? layout.start : layout.boxes[link - 1]);
            spans.push_back({std::min(out, in_y(layout.boxes[to])), link});
        }
    }
    std::stable_sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.top < b.top; });
    const Pixels first_lane = grid_right + (loops ? kLoop : 0);
    for (std::size_t lane = 0; lane < spans.size(); ++lane) {
        layout.lanes[spans[lane].link] = first_lane + kLaneGap * static_cast<Pixels>(lane + 1);
    }
    const Pixels beside = spans.empty()
                              ? (loops ? kLoop : 0)
                              : first_lane + kLaneGap * static_cast<Pixels>(spans.size()) - grid_right;
    layout.width = grid_right + beside + kMargin;
    layout.height = top + rows * (kBoxHeight + kRowGap) - kRowGap + kMargin;
    return layout;
}

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
    const Pixels lane = layout.lanes[link];
    if (lane == 0) {
        return arrow_path(from, to);
    }
    return "M" + at(from.x + 12, from.y + from.height) + "V" + std::to_string(out_y(from)) + "H" +
           std::to_string(lane) + "V" + std::to_string(in_y(to)) + "H" + std::to_string(to.x + 24) + "V" +
           std::to_string(to.y);
}

std::string fit_columns(const std::string& text, int columns)
{
    int used = 0;
    std::size_t fits = 0; // the bytes that leave a column for the ellipsis
    for (std::size_t at = 0; at < text.size();) {
        int width = 0;
        at += cluster(text, at, &width);
        used += width;
        if (used > columns) {
            return text.substr(0, fits) + "\xE2\x80\xA6";
        }
        if (used <= columns - 1) {
            fits = at;
        }
    }
    return text;
}

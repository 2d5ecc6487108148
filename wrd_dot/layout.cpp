#include "draw.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

constexpr Pixels kMargin = 16;
constexpr Pixels kBoxWidth = 240;
constexpr Pixels kBoxHeight = 44;
constexpr Pixels kNullWidth = 64;
constexpr Pixels kStartHeight = 34;
constexpr Pixels kColumnGap = 40;
constexpr Pixels kRowGap = 44;

// The monospace columns a character takes: two for the wide East Asian ranges
// and emoji, none for combining accents, one otherwise.
int columns_of(std::uint32_t c)
{
    if (c >= 0x300 && c <= 0x36F) {
        return 0;
    }
    const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
                      (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                      (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                      (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
                      (c >= 0x1F900 && c <= 0x1F9FF) || (c >= 0x20000 && c <= 0x3FFFD);
    return wide ? 2 : 1;
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
    layout.width = 2 * kMargin + used * kBoxWidth + (used - 1) * kColumnGap;
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

std::string fit_columns(const std::string& text, int columns)
{
    int used = 0;
    std::size_t fits = 0; // the bytes that leave a column for the ellipsis
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        std::size_t length = 0;
        const std::uint32_t code = byte < 0x80 ? byte : decode_utf8(text, at, &length);
        at += std::max<std::size_t>(length, 1);
        used += columns_of(code);
        if (used > columns) {
            return text.substr(0, fits) + "\xE2\x80\xA6";
        }
        if (used <= columns - 1) {
            fits = at;
        }
    }
    return text;
}

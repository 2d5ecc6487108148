// The geometry of the arrows that wrd-dot draws in its SVG, for the tests and
// the report fuzz target to check them against the boxes.
#pragma once

#include "layout.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

/// A point of the picture, x then y.
using Point = std::pair<double, double>;

/// The points of an SVG path of wrd-dot's (M, H, V and C commands), a curve's
/// control points among them, since they bound it; none for any other text.
inline std::vector<Point> points_of(const std::string& path)
{
    std::vector<Point> points;
    std::vector<double> numbers;
    char command = 0;
    const auto flush = [&] {
        const std::size_t step = command == 'H' || command == 'V' ? 1 : 2;
        for (std::size_t i = 0; i + step <= numbers.size(); i += step) {
            const Point last = points.empty() ? Point{} : points.back();
            points.push_back(command == 'H'   ? Point{numbers[i], last.second}
                             : command == 'V' ? Point{last.first, numbers[i]}
                                              : Point{numbers[i], numbers[i + 1]});
        }
        numbers.clear();
    };
    for (std::size_t at = 0; at < path.size();) {
        if (std::strchr("MCHV", path[at]) != nullptr) {
            flush();
            command = path[at++];
        } else if (path[at] == ' ') {
            ++at;
        } else {
            char* end = nullptr;
            numbers.push_back(std::strtod(path.c_str() + at, &end));
            if (end == path.c_str() + at || command == 0) {
                return {};
            }
            at = static_cast<std::size_t>(end - path.c_str());
        }
    }
    flush();
    return points;
}

/// The smallest box that holds `points` (a curve's control points bound it);
/// an empty box at the origin for none.
inline Box bounds(const std::vector<Point>& points)
{
    if (points.empty()) {
        return {};
    }
    const auto [left, right] = std::minmax_element(points.begin(), points.end());
    const auto [top, bottom] = std::minmax_element(
        points.begin(), points.end(), [](const Point& a, const Point& b) { return a.second < b.second; });
    const auto at = [](double value) { return static_cast<Pixels>(value); };
    return {at(left->first), at(top->second), at(right->first - left->first),
            at(bottom->second - top->second)};
}

/// True when the segment from `a` to `b` passes through the inside of `box`,
/// its edges aside (clipped as Liang and Barsky do).
inline bool crosses(Point a, Point b, const Box& box)
{
    double low = 0;
    double high = 1;
    const double dx = b.first - a.first;
    const double dy = b.second - a.second;
    const double sides[4][2] = {{-dx, a.first - static_cast<double>(box.x) - 0.5},
                                {dx, static_cast<double>(box.x + box.width) - 0.5 - a.first},
                                {-dy, a.second - static_cast<double>(box.y) - 0.5},
                                {dy, static_cast<double>(box.y + box.height) - 0.5 - a.second}};
    for (const auto& side : sides) {
        if (side[0] == 0) {
            if (side[1] < 0) {
                return false;
            }
        } else if (side[0] < 0) {
            low = std::max(low, side[1] / side[0]);
        } else {
            high = std::min(high, side[1] / side[0]);
        }
    }
    return low < high;
}

/// True when `point` lies on an edge of `box`.
inline bool on_edge(Point point, const Box& box)
{
    const auto x = static_cast<double>(box.x);
    const auto y = static_cast<double>(box.y);
    const auto right = static_cast<double>(box.x + box.width);
    const auto bottom = static_cast<double>(box.y + box.height);
    return point.first >= x && point.first <= right && point.second >= y && point.second <= bottom &&
           (point.first == x || point.first == right || point.second == y || point.second == bottom);
}

/// "" when no segment of `arrows` passes through a box of `boxes`, nor through
/// the bounds of another arrow that `self_link` marks as a self-link's loop;
/// else which arrow does. The tests and the report fuzz target share it.
inline std::string arrow_through_box(const std::vector<std::vector<Point>>& arrows,
                                     const std::vector<Box>& boxes, const std::vector<bool>& self_link)
{
    for (std::size_t a = 0; a < arrows.size(); ++a) {
        for (std::size_t i = 1; i < arrows[a].size(); ++i) {
            const auto through = [&](const Box& box) { return crosses(arrows[a][i - 1], arrows[a][i], box); };
            if (std::any_of(boxes.begin(), boxes.end(), through)) {
                return "arrow " + std::to_string(a) + " runs through a box";
            }
            for (std::size_t b = 0; b < arrows.size(); ++b) {
                if (b != a && self_link[b] && through(bounds(arrows[b]))) {
                    return "arrow " + std::to_string(a) + " runs through the loop of arrow " +
                           std::to_string(b);
                }
            }
        }
    }
    return "";
}

#include "app/plan_detail.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_set>

namespace capbeam {

namespace {

bool Near(const ScreenPoint& a, const ScreenPoint& b, double pixels) {
    return std::fabs(a.x - b.x) <= pixels && std::fabs(a.y - b.y) <= pixels;
}

// Whether a beam's box, grown by a pixel for the pen, meets the view.
bool Meets(const ScreenBeam& beam, const ScreenRect& view) {
    const double left = std::min(beam.inner.x, beam.outer.x) - 1, right = std::max(beam.inner.x, beam.outer.x) + 1;
    const double top = std::min(beam.inner.y, beam.outer.y) - 1, bottom = std::max(beam.inner.y, beam.outer.y) + 1;
    return right >= view.left && left <= view.left + view.width && bottom >= view.top && top <= view.top + view.height;
}

}  // namespace

std::vector<std::size_t> DistinctBeams(const std::vector<ScreenBeam>& beams, const ScreenRect& view, double pixels) {
    std::vector<std::size_t> drawn;
    std::map<int, std::size_t> lastOfStyle;
    for (std::size_t i = 0; i < beams.size(); ++i) {
        const ScreenBeam& beam = beams[i];
        if (!Meets(beam, view)) continue;
        const bool latest = i + 1 == beams.size();
        const auto last = lastOfStyle.find(beam.style);
        if (!latest && last != lastOfStyle.end()) {
            const ScreenBeam& before = beams[last->second];
            if (Near(beam.inner, before.inner, pixels) && Near(beam.outer, before.outer, pixels)) continue;
        }
        lastOfStyle[beam.style] = i;
        drawn.push_back(i);
    }
    return drawn;
}

std::vector<std::size_t> OnePerCell(const std::vector<ScreenPoint>& centres, const ScreenRect& view, double cellWidth,
                                    double cellHeight) {
    std::vector<std::size_t> chosen;
    if (!(cellWidth > 0) || !(cellHeight > 0)) return chosen;
    std::unordered_set<long long> taken;
    const long long columns = static_cast<long long>(std::ceil(view.width / cellWidth)) + 1;
    for (std::size_t i = 0; i < centres.size(); ++i) {
        const ScreenPoint& c = centres[i];
        if (!view.Contains(c)) continue;
        const long long column = static_cast<long long>(std::floor((c.x - view.left) / cellWidth));
        const long long row = static_cast<long long>(std::floor((c.y - view.top) / cellHeight));
        if (taken.insert(row * columns + column).second) chosen.push_back(i);
    }
    return chosen;
}

}  // namespace capbeam

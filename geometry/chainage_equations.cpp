#include "geometry/chainage_equations.h"

#include <cmath>
#include <limits>
#include <string>
#include <utility>

#include "core/failure.h"
#include "core/text_formats.h"

namespace capbeam {

namespace {

constexpr double kChainageTolerance = 1e-9;  // metres: a chainage typed as the equation's own

std::string Named(std::size_t i, const ChainageEquation& e) {
    return "第 " + std::to_string(i + 1) + " 个断链（" + ChainageText(e.back, ChainageForm::Entered) + " = " +
           ChainageText(e.ahead, ChainageForm::Entered) + "）";
}

}  // namespace

ChainageEquations::ChainageEquations(double startChainage, std::vector<ChainageEquation> equations)
    : equations_(std::move(equations)) {
    double from = startChainage, distance = startChainage;
    for (std::size_t i = 0; i < equations_.size(); ++i) {
        const ChainageEquation& e = equations_[i];
        if (!(std::fabs(e.back) <= 1e8 && std::fabs(e.ahead) <= 1e8))
            throw Failure(ErrorKind::OutOfRange,
                          "第 " + std::to_string(i + 1) + " 个断链的桩号超出了可以计算的范围。请检查断链。");
        if (e.back == e.ahead)
            throw Failure(ErrorKind::OutOfRange, Named(i, e) + "前后桩号相同，不是断链。请删除这一行或改正桩号。");
        if (!(e.back > from))
            throw Failure(ErrorKind::OutOfRange,
                          Named(i, e) + "的断前桩号必须大于它之前一段的起始桩号（" +
                              ChainageText(from, ChainageForm::Entered) + "）。请按路线前进的顺序列出断链并检查桩号。");
        distance += e.back - from;
        distances_.push_back(distance);
        from = e.ahead;
    }
}

double ChainageEquations::ToDistance(const Chainage& chainage) const {
    const double c = chainage.value;
    if (!std::isfinite(c)) throw Failure(ErrorKind::OutOfRange, "桩号不是一个有限的数。请检查桩号。");
    const int stretches = static_cast<int>(equations_.size()) + 1;
    // Stretch i runs over the chainages [lo, hi]; the first has no lower and
    // the last no upper bound here (the line's ends are checked where the
    // distance is used).
    const auto lo = [&](int i) { return i == 0 ? -std::numeric_limits<double>::infinity() : equations_[i - 1].ahead; };
    const auto hi = [&](int i) {
        return i == stretches - 1 ? std::numeric_limits<double>::infinity() : equations_[i].back;
    };
    const auto distanceOn = [&](int i) { return i == 0 ? c : distances_[i - 1] + (c - equations_[i - 1].ahead); };
    const auto holds = [&](int i) { return c >= lo(i) - kChainageTolerance && c <= hi(i) + kChainageTolerance; };

    if (chainage.stretch != kAnyStretch) {
        if (chainage.stretch < 0 || chainage.stretch >= stretches)
            throw Failure(ErrorKind::OutOfRange, "桩号后注明的段号 [" + std::to_string(chainage.stretch) +
                                                     "] 不存在：这条路线有 " + std::to_string(stretches - 1) +
                                                     " 个断链，段号为 0 到 " + std::to_string(stretches - 1) +
                                                     "。请改正段号。");
        if (!holds(chainage.stretch))
            throw Failure(ErrorKind::Geometry, "桩号 " + ChainageText(c, ChainageForm::Entered) + " 不在第 " +
                                                   std::to_string(chainage.stretch) + " 段内。请检查桩号和段号。");
        return distanceOn(chainage.stretch);
    }
    int found = -1;
    for (int i = 0; i < stretches; ++i) {
        if (!holds(i)) continue;
        if (found >= 0) {
            const std::string text = ChainageText(c, ChainageForm::Entered);
            throw Failure(ErrorKind::Geometry,
                          "桩号 " + text + " 在长链" + Named(static_cast<std::size_t>(i - 1), equations_[i - 1]) +
                              "的范围内出现两次。请在桩号后注明所在的段：" + text + "[" + std::to_string(found) +
                              "] 为断链之前，" + text + "[" + std::to_string(i) + "] 为断链之后。");
        }
        found = i;
    }
    if (found < 0) {
        // Between two stretches: inside a short chain's gap.
        int i = 0;
        while (i + 2 < stretches && !(c > hi(i) && c < lo(i + 1))) ++i;
        throw Failure(ErrorKind::Geometry, "桩号 " + ChainageText(c, ChainageForm::Entered) + " 落在短链" +
                                               Named(static_cast<std::size_t>(i), equations_[i]) +
                                               "断掉的桩号之间，路线上没有这个桩号。请检查桩号。");
    }
    return distanceOn(found);
}

Chainage ChainageEquations::ToChainage(double distance) const {
    int i = 0;
    while (i < static_cast<int>(distances_.size()) && distance >= distances_[i]) ++i;
    if (i == 0) return {distance, 0};
    return {equations_[i - 1].ahead + (distance - distances_[i - 1]), i};
}

void ChainageEquations::CheckWithin(double startDistance, double endDistance) const {
    for (std::size_t i = 0; i < equations_.size(); ++i)
        if (!(distances_[i] >= startDistance && distances_[i] <= endDistance))
            throw Failure(ErrorKind::OutOfRange,
                          Named(i, equations_[i]) + "不在路线的起点和终点之间。请检查断链的桩号和起点桩号。");
}

}  // namespace capbeam

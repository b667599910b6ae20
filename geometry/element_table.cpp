#include "geometry/element_table.h"

#include <cmath>
#include <string>

#include "core/dms.h"
#include "core/failure.h"

namespace capbeam {

namespace {

std::string Ordinal(std::size_t i) { return "第 " + std::to_string(i + 1) + " 个线元"; }

}  // namespace

Alignment AlignmentFromElementTable(const ElementTable& table) {
    const Dms azimuth = SplitDms(table.azimuthDms);
    if (!std::isfinite(table.azimuthDms) || !IsValidDms(azimuth))
        throw Failure(ErrorKind::OutOfRange,
                      "起点方位角按“度.分秒”输入，分和秒都必须小于 60：56°24′09″ 输入 56.2409。请改正起点方位角。");
    std::vector<Element> elements;
    elements.reserve(table.rows.size());
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
        const ElementRow& row = table.rows[i];
        if (!(row.length > 0))
            throw Failure(ErrorKind::OutOfRange, Ordinal(i) + "的长度必须大于 0。请改正该线元的长度。");
        if (!(row.Rstart > 0) || !(row.Rend > 0))
            throw Failure(ErrorKind::OutOfRange,
                          Ordinal(i) + "的半径必须大于 0（直线的半径填 ∞ 或留空）。请改正该线元的半径。");
        const bool straight = std::isinf(row.Rstart) && std::isinf(row.Rend);
        if (!straight && row.bend == Bend::None)
            throw Failure(ErrorKind::OutOfRange,
                          Ordinal(i) + "是曲线，没有注明偏向。请注明“左”或“右”（沿路线前进方向看）。");
        const double sense = static_cast<double>(static_cast<int>(row.bend));
        // 1/∞ is 0: a straight end of a spiral has no curvature.
        elements.push_back({row.length, sense / row.Rstart, sense / row.Rend});
    }
    return Alignment({table.X, table.Y, DecimalDegrees(azimuth), table.startChainage}, std::move(elements));
}

}  // namespace capbeam

#include "core/dms.h"

#include <cmath>
#include <cstdio>

#include "core/failure.h"

namespace capbeam {

Dms SplitDms(double dmmss) {
    const double d = std::trunc(dmmss);
    const double f = std::trunc(dmmss * 100 + 1e-10);
    return {d, f - 100 * d, dmmss * 10000 - 100 * f};
}

double DecimalDegrees(const Dms& a) { return (a.degrees + a.minutes / 60) + a.seconds / 3600; }

// Written as "not 60 or more" so that an angle too large for its parts to
// be formed (parts NaN) is left to the range check of its degrees.
bool IsValidDms(const Dms& a) { return !(std::fabs(a.minutes) >= 60 || std::fabs(a.seconds) >= 60); }

std::string DmsText(double degrees) {
    if (!std::isfinite(degrees))
        throw Failure(ErrorKind::InvalidOperation, "计算结果不是一个有限的数，无法显示。请检查输入的数值。");
    const double tenths = std::nearbyint(std::fabs(degrees) * 36000);  // tenths of a second
    const double d = std::floor(tenths / 36000);
    const double rest = tenths - d * 36000;
    const int m = static_cast<int>(rest / 600);
    const int t = static_cast<int>(rest - m * 600.0);
    char text[400];
    std::snprintf(text, sizeof text, "%s%.0f.%02d%03d", degrees < 0 && tenths != 0 ? "-" : "", d, m, t);
    return text;
}

std::string AzimuthDmsText(double degrees) {
    const std::string text = DmsText(degrees);
    return text == "360.00000" ? "0.00000" : text;
}

}  // namespace capbeam

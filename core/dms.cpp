#include "core/dms.h"

#include <cmath>

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

}  // namespace capbeam

#pragma once

// Angles in the D.MMSS notation of surveying: degrees, then two digits of
// minutes, then seconds, 30°15′30″ written 30.153.

#include <string>

namespace capbeam {

// An angle in D.MMSS taken apart: whole degrees, minutes and seconds (the
// seconds keep any fraction: 30.15305 has 30.5 seconds). Negative angles
// have every part negative.
struct Dms {
    double degrees;
    double minutes;
    double seconds;
};

// Fix is truncation towards zero. The 1e-10 keeps a product such as
// 0.29 × 100 = 28.999999999999996 from losing a minute.
Dms SplitDms(double dmmss);

// (degrees + minutes / 60) + seconds / 3600, in that order: the program's
// decimal degrees, digit for digit.
double DecimalDegrees(const Dms& angle);

// Whether minutes and seconds are both below 60 (in magnitude), as D.MMSS needs.
bool IsValidDms(const Dms& angle);

// Decimal degrees written as D.MMSS to 0.1″: degrees, ".", two digits of
// minutes, two of seconds and one of tenths, "56.24093" for 56°24′09.3″.
// Rounded to the nearest tenth of a second, an exact half to the even tenth,
// carrying into minutes and degrees (59′59.96″ becomes the next degree);
// "-" before a negative angle, never "-0.00000". Throws
// Failure(InvalidOperation) for a value that is not finite.
std::string DmsText(double degrees);

// An azimuth or a horizontal angle, 0 <= a < 360, as DmsText writes it, but
// one that rounds up to a full turn (359°59′59.96″) is written "0.00000": an
// instrument's circle has no 360.
std::string AzimuthDmsText(double degrees);

}  // namespace capbeam

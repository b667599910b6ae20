#pragma once

// Angles in the D.MMSS notation of surveying: degrees, then two digits of
// minutes, then seconds, 30°15′30″ written 30.153.

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

}  // namespace capbeam

#pragma once

#include <string>
#include <vector>

// What the site crew sets out: named points (beam ends, centres, columns,
// bearings, piles, reference stakes) and, from a station, how to turn and
// how far to go to each. The calculation sheet, the CAD drawing and the
// coordinate files all take them in this form.

namespace capbeam {

struct SitePoint {
    std::string name;  // e.g. "3#墩-Z1"
    double X = 0;      // northing, metres
    double Y = 0;      // easting, metres
};

// One point's stake-out from a station: angles in decimal degrees.
struct StakeoutRow {
    std::string name;
    double azimuth = 0;   // from the station to the point, 0 <= a < 360
    double angle = 0;     // turned clockwise from the backsight, 0 <= a < 360
    double distance = 0;  // horizontal, metres
};

}  // namespace capbeam

#pragma once

#include <limits>
#include <string>
#include <vector>

#include "geometry/alignment.h"

// An alignment given element by element (线元法): a start point with its
// chainage and forward azimuth, then each element's length, its radius at the
// start and at the end, and the side it bends to. Equal radii give an arc,
// two infinite radii a straight, different radii a spiral (from a straight
// when one is infinite, an egg-shaped partial spiral when both are finite).
// This is how compound and egg-shaped curves are given, which a JD table
// cannot express.

namespace capbeam {

inline constexpr double kStraight = std::numeric_limits<double>::infinity();

enum class Bend { None = 0, Right = 1, Left = -1 };

struct ElementRow {
    double length = 0;          // metres, > 0
    double Rstart = kStraight;  // metres, > 0; kStraight for no curvature
    double Rend = kStraight;
    Bend bend = Bend::None;     // needed unless both radii are infinite
};

struct ElementTable {
    std::string startName;
    double startChainage = 0;
    double X = 0, Y = 0;
    double azimuthDms = 0;  // D.MMSS, from north clockwise
    std::vector<ElementRow> rows;
};

// Refuses (Failure OutOfRange, naming the element) a length not above 0, a
// radius not above 0, a curved element without a side, a start azimuth that
// is not D.MMSS, and whatever Alignment refuses.
Alignment AlignmentFromElementTable(const ElementTable& table);

}  // namespace capbeam

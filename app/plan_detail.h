#pragma once

#include <cstddef>
#include <vector>

#include "records/plan_geometry.h"

// Level of detail for a plan of many beams. A hundred thousand beams along a
// few hundred pixels of road lie many to a pixel: drawing each one, its end
// marks and its number only costs time, and the picture is the same. These
// choose what is worth drawing; the plan view draws it.

namespace capbeam {

// A beam on screen, pixels.
struct ScreenBeam {
    ScreenPoint inner, outer;
    int style = 0;  // beams of different styles are never merged
};

// Beyond this many beams on the view their end marks are left out: the marks
// would merge into a band along each edge and hide the beams' lines.
inline constexpr std::size_t kMarkedBeamsAtMost = 2000;

// The beams worth drawing, in order: those with some part in `view`, less
// each beam whose two ends both lie within `pixels` of the ends of the beam
// of its style drawn last, which it would only draw over. The last beam is
// always drawn, since it is the latest and lies on top.
std::vector<std::size_t> DistinctBeams(const std::vector<ScreenBeam>& beams, const ScreenRect& view, double pixels);

// The labels worth measuring: given each candidate's box centre in order of
// importance, the first candidate in each cell of a grid of label-sized cells
// over `view`, in that order. Two labels of that size centred in one cell
// would overlap, so the later could never be kept; this leaves at most one a
// cell, however many beams there are.
std::vector<std::size_t> OnePerCell(const std::vector<ScreenPoint>& centres, const ScreenRect& view, double cellWidth,
                                    double cellHeight);

}  // namespace capbeam

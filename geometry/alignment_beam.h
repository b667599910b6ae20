#pragma once

#include "geometry/alignment.h"
#include "geometry/beam_ends.h"

// A skewed cap beam on a whole alignment. The design beam's centre lies on
// the centre line at distance Kj; its transverse axis stands at the skew B
// to the forward tangent there, turned clockwise (D.MMSS; 90 is square to
// the road). A beam centred at another distance Kp either keeps the design
// beam's direction (parallel) or stands at B to its own tangent at Kp.
//
// The roadbed's edges are the offset curves of the centre line at the
// half-widths DL (left) and DR (right). A beam's ends are where its axis,
// from its centre outwards, first meets each edge; the axis points to the
// right at B from the forward tangent, so the right end lies ahead along it
// and the left end behind. An offset curve of a spiral is not a spiral, so
// each end is found numerically: the edge is sampled outwards from Kp until
// the axis crosses it, and the crossing refined by Newton's method kept
// inside its bracket, to far below 0.1 mm.
//
// The answer is a BeamEnds whose "inner" end is the LEFT end and whose
// "outer" end is the RIGHT end (left first, as the alignment's tables list
// them). Each end's chainage K is the distance of its foot on the centre
// line (the edge point's foot is the centre-line point it is offset from);
// L is the length along the axis from the beam's centre to that end.

namespace capbeam {

enum class BeamOrientation {
    Parallel,  // every beam keeps the design beam's direction
    Tangent,   // every beam stands at B to its own forward tangent
};

struct BeamDesign {
    double Kj = 0;     // distance of the design beam's centre
    double Bdms = 90;  // skew at Kj, D.MMSS, clockwise from the forward tangent
    double DL = 0;     // half-width to the left edge, metres, >= 0
    double DR = 0;     // half-width to the right edge, metres, >= 0
    BeamOrientation orientation = BeamOrientation::Parallel;
};

// The beam centred at distance Kp. Refuses (Failure OutOfRange) a skew that
// is not D.MMSS strictly between 0 and 180 degrees, a negative or
// non-finite half-width, Kj or Kp off the line; (Failure Geometry) a
// parallel beam that has turned to lie along the road or beyond at Kp, a
// half-width that reaches the radius of a curve bending to its side where
// the search for the end passes, and an axis that misses an edge (within
// the line's ends and a search window many beam lengths wide).
BeamEnds PlaceBeam(const Alignment& line, const BeamDesign& design, double Kp);

}  // namespace capbeam

#pragma once

#include "geometry/alignment.h"
#include "geometry/alignment_beam.h"
#include "geometry/beam_ends.h"
#include "geometry/chainage_equations.h"

// A road as its users address it: the alignment with its chainage
// equations. Everything it is asked by chainage it answers by going to the
// distance along the line and back (chainage_equations.h); a chainage it
// gives back carries the stretch it lies on.

namespace capbeam {

struct LocatedChainage {
    Chainage chainage;
    double offset = 0;  // metres, square to the road, + to the right
};

class Road {
public:
    // Refuses (Failure OutOfRange) an equation that does not lie on the line.
    explicit Road(Alignment line, ChainageEquations equations = {});

    const Alignment& Line() const { return line_; }
    const ChainageEquations& Equations() const { return equations_; }

    // The distance of a chainage on the line; refused (Failure Geometry) in a
    // short chain's gap, where it is ambiguous, and before the start or
    // after the end.
    double DistanceOf(const Chainage& chainage) const;
    Chainage ChainageOf(double distance) const { return equations_.ToChainage(distance); }

    // 中边桩坐标: the centre line, or the point `offset` along the line at
    // `angleDms` clockwise from the forward tangent (Alignment::OffsetPoint).
    Station At(const Chainage& chainage) const { return line_.At(DistanceOf(chainage)); }
    PlanePoint OffsetPoint(const Chainage& chainage, double offset, double angleDms = 90) const;

    // 坐标反算: the nearest foot's chainage and the offset square to the road.
    LocatedChainage Locate(double X, double Y) const;

    // A beam centred at Kp (PlaceBeam), the design beam at Kj; the ends'
    // K are chainages (the value, on the stretch of their foot). Left end in
    // the inner fields, right end in the outer ones.
    BeamEnds Beam(const Chainage& Kj, double Bdms, double DL, double DR, BeamOrientation orientation,
                  const Chainage& Kp) const;

private:
    Alignment line_;
    ChainageEquations equations_;
};

}  // namespace capbeam

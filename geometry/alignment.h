#pragma once

#include <cstddef>
#include <vector>

// A road's centre line as a chain of elements (straights, circular arcs and
// spirals whose curvature changes linearly with length), continuous in
// position and azimuth. Like a geodesic line, it is set up once from its
// definition (the start point, its azimuth and distance, the elements) and
// then answers At(distance) and Locate(point) many times, cheaply.
//
// Units and senses: metres; X the northing, Y the easting; azimuths in
// degrees from north clockwise, in [0, 360); distance is the running
// length along the line, equal to the chainage on the stretch before any
// chainage equation (chainage_equations.h turns one into the other).
// Curvature is signed: positive where the road bends right (clockwise),
// negative where it bends left, 1/m.

namespace capbeam {

struct PlanePoint {
    double X = 0, Y = 0;
};

// One element: its length and its curvature at the start and at the end
// (equal for an arc, both 0 for a straight, different for a spiral; a
// clothoid from a straight has k0 = 0, a partial spiral two finite radii).
struct Element {
    double length = 0;
    double k0 = 0, k1 = 0;
};

struct AlignmentStart {
    double X = 0, Y = 0;
    double azimuth = 0;   // decimal degrees
    double distance = 0;  // the start's distance (= its chainage)
};

// A point of the centre line with its forward azimuth and its curvature.
struct Station {
    double X = 0, Y = 0;
    double azimuth = 0;    // degrees, [0, 360)
    double curvature = 0;  // 1/m, + right
};

// The foot of a point on the centre line: its distance along the line and the
// point's offset square to the road there, positive to the right.
struct Foot {
    double distance = 0;
    double offset = 0;
};

// Distances may overshoot the ends by this much (rounding of a sum of
// element lengths) and still count as on the line.
inline constexpr double kDistanceTolerance = 1e-6;  // metres

class Alignment {
public:
    // Refuses (Failure OutOfRange) an empty chain, an element with a length
    // not above 0, a curvature that is not finite, an element turning by more
    // than a full circle, and values beyond the ranges of a road
    // (coordinates and distances up to 1e8 m, element lengths up to 1e6 m).
    Alignment(const AlignmentStart& start, std::vector<Element> elements);

    double StartDistance() const { return segments_.front().s0; }
    double EndDistance() const { return end_; }
    std::size_t ElementCount() const { return segments_.size(); }
    const Element& ElementAt(std::size_t i) const { return segments_[i].element; }
    double ElementStart(std::size_t i) const { return segments_[i].s0; }

    // The centre line at a distance between the start and the end; refused
    // (Failure Geometry) beyond them.
    Station At(double distance) const;

    // The point `offset` metres from the centre line at `distance`, along the
    // line turned `angleDms` (D.MMSS) clockwise from the forward tangent: 90 is
    // square to the road; a positive offset runs along that line to the right
    // of the road, a negative one to the left. Refuses an angle that is not
    // D.MMSS or not strictly between 0 and 180 degrees.
    PlanePoint OffsetPoint(double distance, double offset, double angleDms = 90) const;

    // The foot of (X, Y) on the centre line: where the line from the point
    // meets the road square; of several such feet the nearest one. Refused
    // (Failure Geometry) when there is none, as for a point before the start
    // or after the end of the line.
    Foot Locate(double X, double Y) const;

    // The index of the element holding `distance` (the later one at a joint).
    std::size_t ElementIndex(double distance) const;

private:
    struct Segment {
        Element element;
        double s0 = 0;        // distance at the element's start
        double X0 = 0, Y0 = 0;
        double a0 = 0;        // azimuth at the start, radians
        double cosA0 = 1, sinA0 = 0;
        double dk = 0;        // change of curvature per metre
    };
    // A point of a segment with its azimuth in radians, unreduced.
    struct Pose {
        double X = 0, Y = 0, a = 0, k = 0;
    };
    static Pose Evaluate(const Segment& seg, double t);
    void FeetOnSegment(const Segment& seg, double X, double Y, Foot& best, double& bestDistance, bool& found) const;

    std::vector<Segment> segments_;
    double end_ = 0;
};

}  // namespace capbeam

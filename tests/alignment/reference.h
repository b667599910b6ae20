#pragma once

#include <random>
#include <utility>
#include <vector>

#include "geometry/alignment.h"

// Independent computations the alignment tests check against: nothing here
// calls the code under test. Integrals by Simpson's rule in long double on
// fine steps, the clothoid's own Taylor series, angles in radians.

namespace capbeam::reference {

inline constexpr long double kPi = 3.14159265358979323846264338327950288L;

struct Point {
    long double X = 0, Y = 0;
    long double azimuth = 0;  // radians, unreduced
};

// The point s metres along a curve with curvature k0 growing by dk per metre,
// from the origin heading along +u, v to the right (Simpson's rule).
std::pair<long double, long double> Curve(long double k0, long double dk, long double s);

// A clothoid from a straight with R·Ls = C, at l from its start, summed by
// its Taylor series until the terms vanish.
std::pair<long double, long double> ClothoidSeries(long double C, long double l);

// The whole chain integrated element by element.
class Chain {
public:
    Chain(const AlignmentStart& start, std::vector<Element> elements);
    Point At(double distance) const;  // distance within the chain
    double End() const { return end_; }

private:
    std::vector<Element> elements_;
    std::vector<Point> starts_;
    std::vector<double> s0_;
    double end_ = 0;
};

// A road of straights, spirals into and out of arcs (equal or not), a few
// egg-shaped spirals between two arcs, turning both ways; radii from rMin.
struct Road {
    AlignmentStart start;
    std::vector<Element> elements;
};
Road RandomRoad(std::mt19937& rng, double rMin = 60);

inline double Uniform(std::mt19937& rng, double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); }

}  // namespace capbeam::reference

#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "flows/calculation_record.h"
#include "core/failure.h"
#include "geometry/single_curve.h"

// Curves and requests for the calculation tests, made by the program's own
// set-up and request handlers from typed replies, so that every test starts
// from a record exactly as the window would hold it.

namespace capbeam::test {

// A number as a reply that reads back as the same double.
std::string Reply(double value);

// The eight replies of the curve set-up, as typed (B in D.MMSS).
struct CurveReplies {
    std::string Xo, Yo, Kj, Xj, Yj, B, R, P;
};
std::vector<std::optional<std::string>> SetUpReplies(const CurveReplies& curve);

// The record after a completed set-up with these replies (the test fails if
// the set-up does not complete).
CalculationRecord SetUpCurve(const CurveReplies& curve);

// The record after the request's prompts (Kp, Dr, mb) and its edge radii,
// without running a routine: what the routines receive.
CalculationRecord Requested(CalculationRecord state, double Kp, double Dr, float mb = 0.001f);

// The unrounded results of the routine that the request would run for
// `state` (after Requested); throws Failure where the routine refuses.
BeamEnds ComputeEnds(const CalculationRecord& state);

// The same in the tangent orientation, as the request computes it.
BeamEnds ComputeTangentEnds(const CalculationRecord& state);

// ---- Generated geometries, checked by what the results mean ---------------

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kMetre = 1;
inline constexpr double kMillimetre = 0.001 * kMetre;

// A deterministic generator (splitmix64) with a fixed start value, so that
// every run checks the same geometries.
class Generator {
public:
    explicit Generator(std::uint64_t start) : state_(start) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double Uniform(double lo, double hi) { return lo + (hi - lo) * static_cast<double>(Next() >> 11) * 0x1p-53; }
    int Integer(int lo, int hi) { return lo + static_cast<int>(Next() % static_cast<std::uint64_t>(hi - lo + 1)); }

private:
    std::uint64_t state_;
};

struct Vec {
    double x, y;
};
inline Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y}; }
inline double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y; }
inline double Cross(Vec a, Vec b) { return a.x * b.y - a.y * b.x; }
inline double Length(Vec a) { return std::hypot(a.x, a.y); }
inline Vec AtAzimuth(double radians) { return {std::cos(radians), std::sin(radians)}; }  // X north, Y east
inline double Azimuth(Vec a) { return std::atan2(a.y, a.x); }
inline double Wrap(double radians) { return std::remainder(radians, 2 * kPi); }  // into [-pi, pi]

// One generated case: a curve as typed into the set-up, and a request.
struct Case {
    CurveReplies curve;
    double Bdegrees;  // the skew typed in D.MMSS, in decimal degrees by the test's own reckoning
    double Kp, Dr;
};

// The i-th case: J in each quadrant in turn (i % 4), right- and left-hand
// curves alternating by fours, every 16th beam square to the tangent, the
// skew otherwise 5 to 175 degrees, Kp before, at or after Kj.
Case Generate(Generator& g, int i);

// What a case means, reckoned by the test from the curve alone with the full
// pi: O, J, the beam centre K on the centre line at Kp, the unit vector of
// the beam's axis towards its outer half, and the curve's sense (+1 the
// chainage grows clockwise about O).
struct Meaning {
    Vec O, J, K, out;
    double R, phiJ;
    int sense;
};

// Whether the ray from K along the inner half of the axis reaches the inner
// edge (radius `edge`), with a margin `slack` in metres either way: +1 it
// clearly does, -1 it clearly does not, 0 too close to tell.
int InnerEdgeReached(const Meaning& m, double edge, double slack);

// Expects the computed ends `e` of the request `s` to mean `m`: the centre
// at K; each end, as shown, on its edge (inner edge `innerEdge`, outer Rout)
// within 1 mm, on the axis through K on its own side, at the length computed;
// each end's chainage that of the foot of its radius (Kj plus the signed arc
// on R from J), within 1 mm.
void ExpectEndsMean(const BeamEnds& e, const Meaning& m, const CalculationRecord& s, double innerEdge);

// The two halves of that check, for the template below.
void ExpectRefusedTruly(const Failure& f, const Meaning& m, const CalculationRecord& s, double innerEdge);
void ExpectMeetsInnerEdge(const Meaning& m, const CalculationRecord& s, double innerEdge);

// Runs `compute` on the request `s` and checks it against `m`: a refusal
// must be a Geometry failure where the axis truly misses the inner edge;
// computed ends must be a geometry that meets it and must mean `m`
// (ExpectEndsMean). Returns the ends, or nothing when refused.
template <class Compute>
std::optional<BeamEnds> ExpectComputedOrTrulyRefused(Compute compute, const Meaning& m, const CalculationRecord& s,
                                                     double innerEdge);

template <class Compute>
std::optional<BeamEnds> ExpectComputedOrTrulyRefused(Compute compute, const Meaning& m, const CalculationRecord& s,
                                                     double innerEdge) {
    BeamEnds e;
    try {
        e = compute(s);
    } catch (const Failure& f) {
        ExpectRefusedTruly(f, m, s, innerEdge);
        return std::nullopt;
    }
    ExpectMeetsInnerEdge(m, s, innerEdge);
    ExpectEndsMean(e, m, s, innerEdge);
    return e;
}

}  // namespace capbeam::test

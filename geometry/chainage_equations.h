#pragma once

#include <cstddef>
#include <vector>

// Chainage equations (断链): where the chainage written along a road jumps.
// Each is a pair `back = ahead` in road order: the chainage reached from
// behind, and the one that carries on from the same point. K1+195 = K1+200
// is a short chain (chainages between 195 and 200 do not exist); K1+210 =
// K1+200 a long chain (chainages from 200 to 210 occur twice).
//
// Inside the program everything runs on distance along the line. The road
// falls into stretches: stretch 0 from the start to the first equation, on
// which the distance is the chainage itself; stretch i after the i-th
// equation, whose chainage is the ahead chainage of that equation plus the
// distance from it.
//
// A chainage that occurs on two stretches is named with the stretch as a
// suffix in square brackets: "K1+205[0]" the one before the first equation,
// "K1+205[1]" the one after it (records/chainage_text.h reads this).

namespace capbeam {

struct ChainageEquation {
    double back = 0;   // metres, the chainage behind the equation
    double ahead = 0;  // metres, the chainage ahead of it
};

inline constexpr int kAnyStretch = -1;

// A chainage as typed: its value in metres and, when the user named it, the
// stretch it lies on.
struct Chainage {
    double value = 0;
    int stretch = kAnyStretch;
};

class ChainageEquations {
public:
    // No equation: the chainage is the distance.
    ChainageEquations() = default;

    // Refuses (Failure OutOfRange) an equation whose two chainages are equal,
    // one that is not finite, and one whose back chainage is not beyond the
    // chainage where the stretch before it starts (start chainage or the
    // previous ahead chainage): each stretch must have a length.
    ChainageEquations(double startChainage, std::vector<ChainageEquation> equations);

    std::size_t Count() const { return equations_.size(); }
    const ChainageEquation& Equation(std::size_t i) const { return equations_[i]; }
    // The distance of equation i (0-based) along the line.
    double EquationDistance(std::size_t i) const { return distances_[i]; }

    // The distance of a chainage. Refuses (Failure Geometry) one inside a
    // short chain's gap, one that occurs on two stretches unless the stretch
    // is named, and one not on the stretch it names.
    double ToDistance(const Chainage& chainage) const;

    // The chainage at a distance, with the stretch it lies on; at an
    // equation itself, the ahead chainage.
    Chainage ToChainage(double distance) const;

    // Whether every equation lies within the line from `startDistance` to
    // `endDistance`; refuses (Failure OutOfRange) one that does not.
    void CheckWithin(double startDistance, double endDistance) const;

private:
    std::vector<ChainageEquation> equations_;
    std::vector<double> distances_;
};

}  // namespace capbeam

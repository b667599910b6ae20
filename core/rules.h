#pragma once

#include <optional>
#include <string>

// The rules that a value must keep, wherever it comes from (a prompt, a
// command-line option, a batch): nothing when the value is acceptable,
// otherwise the message, in the user's words, that says which rule it breaks
// and what to type instead.

namespace capbeam {

// The curve's radius R: positive.
std::optional<std::string> RadiusProblem(double R);

// The curve direction P: any number but 0, only its sign counts.
std::optional<std::string> CurveDirectionProblem(float P);

// The skew B, typed in D.MMSS: minutes and seconds below 60, and strictly
// between 0 and 180 degrees (the turn from the forward tangent, clockwise,
// to the beam's axis).
std::optional<std::string> SkewProblem(double Bdms);

// The roadbed's half-width Dr on a curve of radius R: 0 <= Dr < R (a negative
// one would swap the sides, R or more leaves no inner edge).
std::optional<std::string> HalfWidthProblem(double Dr, double R);

}  // namespace capbeam

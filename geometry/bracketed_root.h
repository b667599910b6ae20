#pragma once

#include <cmath>

namespace capbeam {

// The root of a function on a bracket [lo, hi] over which it changes sign
// (flo = f(lo) and fhi = f(hi) of opposite signs): from the secant point,
// Newton steps with the function's slope, each kept inside the bracket (a
// bisection where a step would leave it), the bracket shrinking to the side
// where the sign changes. Stops at an exact zero, when a step is shorter than
// tolerance(x), or after 60 steps; returns the last point. `f(x)` returns the
// value and the slope as members `f` and `df`.
template <class Function, class Tolerance>
double BracketedNewton(Function f, double lo, double hi, double flo, double fhi, Tolerance tolerance) {
    double x = fhi != flo ? lo - flo * (hi - lo) / (fhi - flo) : 0.5 * (lo + hi);
    for (int step = 0; step < 60; ++step) {
        const auto v = f(x);
        if (v.f == 0) break;
        if ((v.f < 0) == (flo < 0)) {
            lo = x;
            flo = v.f;
        } else {
            hi = x;
        }
        double next = v.df != 0 ? x - v.f / v.df : lo;
        if (!(next > lo && next < hi)) next = 0.5 * (lo + hi);
        const bool done = std::fabs(next - x) < tolerance(x);
        x = next;
        if (done) break;
    }
    return x;
}

}  // namespace capbeam

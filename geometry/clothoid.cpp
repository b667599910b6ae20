#include "geometry/clothoid.h"

#include <algorithm>
#include <cmath>

namespace capbeam {

namespace {

// Six-point Gauss-Legendre on [-1, 1]: exact for polynomials of degree 11.
constexpr double kNode[3] = {0.2386191860831969086305017, 0.6612093864662645136613996,
                             0.9324695142031520278123016};
constexpr double kWeight[3] = {0.4679139345726910473898703, 0.3607615730481386075698335,
                               0.1713244923791703450402961};

// The most a quadrature piece may turn: the integrand cos/sin of the turn
// changes so little over it that six nodes leave an error of order 1e-12 of
// the piece's length.
constexpr double kMaxPieceTurn = 0.2;

}  // namespace

LocalPoint CurvePoint(double k0, double dk, double s) {
    if (dk == 0) {
        if (k0 == 0) return {s, 0};
        // The chord of the arc, 2 sin(ks/2) / k long, at half the turn.
        const double half = 0.5 * k0 * s;
        const double chord = 2 * std::sin(half) / k0;
        return {chord * std::cos(half), chord * std::sin(half)};
    }
    const double kMax = std::max(std::fabs(k0), std::fabs(k0 + dk * s));
    const int pieces = std::max(1, static_cast<int>(std::ceil(kMax * s / kMaxPieceTurn)));
    const double h = s / pieces;
    double u = 0, v = 0;
    for (int p = 0; p < pieces; ++p) {
        const double mid = (p + 0.5) * h;
        for (int n = 0; n < 3; ++n) {
            for (const double side : {-1.0, 1.0}) {
                const double t = mid + side * kNode[n] * 0.5 * h;
                const double turn = TurnAt(k0, dk, t);
                u += kWeight[n] * std::cos(turn);
                v += kWeight[n] * std::sin(turn);
            }
        }
    }
    return {0.5 * h * u, 0.5 * h * v};
}

}  // namespace capbeam

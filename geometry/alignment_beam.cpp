#include "geometry/alignment_beam.h"

#include "geometry/bracketed_root.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "core/dms.h"
#include "core/failure.h"
#include "core/rules.h"
#include "core/text_formats.h"

namespace capbeam {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegree = kPi / 180;
constexpr double kSampleTurn = 0.2;  // radians of road turn between two samples of an edge
// An edge point this near the axis is on it (metres): where the end falls on
// a sample itself, at Kp or at an end of the line, the sign of g is rounding.
constexpr double kOnAxis = 1e-9;

struct Vec {
    double X, Y;
};
double Cross(Vec a, Vec b) { return a.X * b.Y - a.Y * b.X; }
double Dot(Vec a, Vec b) { return a.X * b.X + a.Y * b.Y; }

// One end of the beam: where the axis C + t·u meets the edge at offset
// side·D (side +1 right, -1 left), with t of the side's sign.
struct End {
    double s = 0, t = 0, X = 0, Y = 0;
};

class EdgeSearch {
public:
    EdgeSearch(const Alignment& line, Vec C, Vec u, int side, double D, double Beff)
        : line_(line), C_(C), u_(u), side_(side), D_(D) {
        const double beamLength = D / std::sin(Beff);
        window_ = 20 * (beamLength + D) + 100;
        // On a straight the end's foot lies D·cot(B) ahead of the centre on
        // the right and as far behind on the left: search that way first.
        const double ahead = side * std::cos(Beff);
        order_[0] = ahead >= 0 ? +1 : -1;
        order_[1] = -order_[0];
    }

    End Find(double Kp) {
        const Sample first = At(Kp);
        CheckHalfWidth(line_.ElementIndex(Kp));
        std::optional<End> best;
        if (std::fabs(first.g) <= kOnAxis && first.t * side_ > 0) best = EndAt(Kp);
        for (const int dir : order_) {
            const std::optional<End> end = Scan(Kp, first, dir, best);
            if (end && (!best || std::fabs(end->t) < std::fabs(best->t))) best = end;
        }
        if (!best) {
            if (blocked_) RefuseHalfWidth(*blocked_);
            throw Failure(ErrorKind::Geometry,
                          std::string("盖梁轴线与") + SideName() +
                              "路基边线在路线范围内不相交，没有" + SideName() +
                              "端点。请检查交角 B、路基半宽和中桩桩号（盖梁是否太靠近路线的起点或终点）。");
        }
        return *best;
    }

private:
    struct Sample {
        double g = 0, dg = 0, t = 0, chord = 0;
    };

    const char* SideName() const { return side_ > 0 ? "右侧" : "左侧"; }

    // g(s): the side of the axis the edge point at s lies on (zero on it);
    // g'(s) = (u × T)(1 - side·D·k), as the edge advances along T scaled by
    // the offset curve's stretch.
    Sample At(double s) const {
        const Station st = line_.At(s);
        const double a = st.azimuth * kDegree;
        const Vec T{std::cos(a), std::sin(a)}, N{-std::sin(a), std::cos(a)};
        const Vec w{st.X + side_ * D_ * N.X - C_.X, st.Y + side_ * D_ * N.Y - C_.Y};
        return {Cross(u_, w), Cross(u_, T) * (1 - side_ * D_ * st.curvature), Dot(u_, w),
                std::hypot(st.X - C_.X, st.Y - C_.Y)};
    }

    End EndAt(double s) const {
        const Station st = line_.At(s);
        const double a = st.azimuth * kDegree;
        const double X = st.X - side_ * D_ * std::sin(a), Y = st.Y + side_ * D_ * std::cos(a);
        return {s, Dot(u_, {X - C_.X, Y - C_.Y}), X, Y};
    }

    // The offset curve at side·D folds back on itself where a curve bending
    // to that side has a radius of D or less: no edge there.
    bool TooTight(std::size_t i) const {
        const Element& e = line_.ElementAt(i);
        return std::max(side_ * e.k0, side_ * e.k1) * D_ >= 1;
    }

    void CheckHalfWidth(std::size_t i) const {
        if (TooTight(i)) RefuseHalfWidth(i);
    }

    [[noreturn]] void RefuseHalfWidth(std::size_t i) const {
        const Element& e = line_.ElementAt(i);
        const double k = std::max(side_ * e.k0, side_ * e.k1);
        throw Failure(ErrorKind::Geometry,
                      std::string(SideName()) + "路基半宽（" + NumberText(D_) + " 米）达到或超过了路线在桩号 " +
                          ChainageText(line_.ElementStart(i), ChainageForm::Computed) + " 起向" +
                          (side_ > 0 ? "右" : "左") + "弯曲的曲线半径（最小 " + NumberText(Round3(1 / k)) +
                          " 米），该侧没有路基边线。请检查路基半宽。");
    }

    // Samples the edge from Kp in direction dir until the axis crosses it at
    // t of the side's sign, or until no nearer end than `best` is possible.
    // A curve too tight for the half-width ends the search that way: beyond
    // it there is no edge to meet (it is the refusal if no end is found).
    std::optional<End> Scan(double Kp, Sample prev, int dir, const std::optional<End>& best) {
        double s = Kp;
        const double limit = dir > 0 ? std::min(line_.EndDistance(), Kp + window_)
                                     : std::max(line_.StartDistance(), Kp - window_);
        const double cap = std::max(D_, 1.0);
        while (dir > 0 ? s < limit : s > limit) {
            const std::size_t i = line_.ElementIndex(dir > 0 ? s : std::nextafter(s, -1e300));
            if (TooTight(i)) {
                if (!blocked_) blocked_ = i;
                return std::nullopt;
            }
            const Element& e = line_.ElementAt(i);
            const double kMax = std::max(std::fabs(e.k0), std::fabs(e.k1));
            const double h = kMax > 0 ? std::min(cap, kSampleTurn / kMax) : cap;
            const double boundary = dir > 0 ? line_.ElementStart(i) + e.length : line_.ElementStart(i);
            double next = dir > 0 ? std::min({s + h, boundary, limit}) : std::max({s - h, boundary, limit});
            // An element shorter than the spacing of doubles here: step over it.
            if (next == s) next = std::nextafter(s, limit);
            const Sample cur = At(next);
            if (std::fabs(cur.g) <= kOnAxis && cur.t * side_ > 0) return EndAt(next);
            if ((prev.g < 0) != (cur.g < 0) && std::fabs(prev.g) > kOnAxis) {
                const End end = Refine(dir > 0 ? s : next, dir > 0 ? next : s, dir > 0 ? prev : cur);
                if (end.t * side_ > 0) return end;
            }
            // Farther along, the edge lies farther from C than the end found
            // the other way: stop.
            if (best && cur.chord - D_ > std::fabs(best->t)) return std::nullopt;
            s = next;
            prev = cur;
        }
        return std::nullopt;
    }

    End Refine(double lo, double hi, Sample atLo) const {
        struct Slope {
            double f, df;
        };
        const auto gap = [this](double s) {
            const Sample v = At(s);
            return Slope{v.g, v.dg};
        };
        const double s = BracketedNewton(gap, lo, hi, atLo.g, At(hi).g,
                                         [](double x) { return 1e-12 * (1 + std::fabs(x)); });
        return EndAt(s);
    }

    const Alignment& line_;
    Vec C_, u_;
    int side_;
    double D_;
    double window_ = 0;
    int order_[2] = {+1, -1};
    std::optional<std::size_t> blocked_;
};

}  // namespace

BeamEnds PlaceBeam(const Alignment& line, const BeamDesign& design, double Kp) {
    if (const auto problem = SkewProblem(design.Bdms)) throw Failure(ErrorKind::OutOfRange, *problem);
    for (const double D : {design.DL, design.DR})
        if (!(D >= 0 && D <= 1e6))
            throw Failure(ErrorKind::OutOfRange,
                          "路基半宽是路中线到路基边缘的距离，必须是 0 或正数（不超过 100 万米）。请检查左、右半宽。");
    const double B = DecimalDegrees(SplitDms(design.Bdms));
    const Station centre = line.At(Kp);
    const double axisAzimuth = design.orientation == BeamOrientation::Tangent
                                   ? centre.azimuth + B
                                   : line.At(design.Kj).azimuth + B;
    // The skew at Kp itself, clockwise from its forward tangent.
    const double Beff = std::remainder(axisAzimuth - centre.azimuth, 360.0);
    if (!(Beff > 0 && Beff < 180))
        throw Failure(ErrorKind::Geometry,
                      "盖梁保持与设计盖梁平行，到这个桩号已转至与路线平行或超过，轴线不再横跨路基。"
                      "请检查桩号，或改用“与切线保持交角 B”。");
    const Vec C{centre.X, centre.Y};
    const Vec u{std::cos(axisAzimuth * kDegree), std::sin(axisAzimuth * kDegree)};

    BeamEnds ends;
    ends.Xk = centre.X;
    ends.Yk = centre.Y;
    const auto solve = [&](int side, double D) {
        if (D == 0) return End{Kp, 0, centre.X, centre.Y};
        return EdgeSearch(line, C, u, side, D, Beff * kDegree).Find(Kp);
    };
    const End left = solve(-1, design.DL);
    const End right = solve(+1, design.DR);
    ends.Lin = -left.t;
    ends.Xin = left.X;
    ends.Yin = left.Y;
    ends.Kin = left.s;
    ends.Lout = right.t;
    ends.Xout = right.X;
    ends.Yout = right.Y;
    ends.Kout = right.s;
    return ends;
}

}  // namespace capbeam

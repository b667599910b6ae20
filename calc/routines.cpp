#include "calc/routines.h"

#include <cmath>
#include <string>

#include "core/failure.h"
#include "core/arithmetic.h"
#include "core/text_formats.h"

namespace capbeam {

namespace {

// The axis at the beam centre leans 90 degrees or more away from the outward
// radius: the crossing "nearer on the inner side" is then behind the centre,
// and the formulas would put both ends off the roadbed's edges.
constexpr char kTurnedTooFar[] =
    "在这个桩号上，盖梁轴线（保持设计盖梁的方向）与半径方向的夹角已达到或超过 90 度，"
    "算出的两个端点不会落在路基内、外侧边缘上，无法计算。"
    "请检查桩号 Kp 是否离设计桩号 Kj 太远，交角 B 是否输入正确。";

// The axis passes the inner edge circle without touching it. A beam kept
// parallel to the design beam turns away from the radius with the distance
// from Kj; a beam placed at B to its own tangent does not, so there only the
// skew, the width and the radius count.
constexpr char kMissesInnerEdge[] =
    "在这个桩号上，盖梁轴线与路基内侧边缘不相交，求不出内侧端点。"
    "请检查桩号 Kp、路基半幅宽度 Dr 和交角 B：桩号离设计桩号越远、路基越宽、"
    "交角离 90 度越远，越容易出现这种情况。";
constexpr char kMissesInnerEdgeAtB[] =
    "盖梁轴线与路基内侧边缘不相交，求不出内侧端点。"
    "请检查路基半幅宽度 Dr、交角 B 和平曲线半径 R：路基越宽、交角离 90 度越远、"
    "半径越小，越容易出现这种情况。";

// Cosine and sine of an angle in degrees, converted with the record's factor.
double Cos(double degrees, double RadToDeg) { return std::cos(Quotient(degrees, RadToDeg, "角度")); }
double Sin(double degrees, double RadToDeg) { return std::sin(Quotient(degrees, RadToDeg, "角度")); }

// The arcsine of s in degrees, taken as the arctangent of s / sqrt(1 - s^2).
// |s| > 1 has no such angle: the root is not a number and Finite says so.
double ArcsineDegrees(double s, double RadToDeg, std::string_view what) {
    const double c = std::sqrt(Finite(1 - s * s, what));
    return Finite(std::atan(Quotient(s, Finite(c, what), what)) * RadToDeg, what);
}

// The root term of a crossing of the axis with an edge circle. A negative
// term on the outer edge cannot come from a real geometry (Rout > R).
double InnerRoot(double radicand, const char* missed) {
    if (Finite(radicand, "内侧端点的位置") < 0) throw Failure(ErrorKind::Geometry, missed);
    return std::sqrt(radicand);
}
double OuterRoot(double radicand) {
    return Finite(std::sqrt(Finite(radicand, "外侧端点的位置")), "外侧端点的位置");
}

// cos(d), d the angle between the outward radius at the beam centre and the
// outer half of the axis; refused unless the outer half leans outwards.
double CosSkewFromRadius(double d, double RadToDeg) {
    const double cosd = Cos(d, RadToDeg);
    if (!(cosd > 0)) throw Failure(ErrorKind::Geometry, kTurnedTooFar);
    return cosd;
}

// The arc on the centre line (radius R) between the beam centre and the foot
// of an end's radius: the central angle by the sine rule in the triangle of
// O, the centre and the end (angle `atCentreDeg` at the centre, opposite the
// edge radius `edge`), carried over to radius R. Signed as sin(atCentreDeg).
double ArcToFoot(double atCentreDeg, double L, double edge, double R, double RadToDeg, std::string_view what) {
    const double s = Quotient(Sin(atCentreDeg, RadToDeg) * L, edge, what);
    const double a = ArcsineDegrees(s, RadToDeg, what);
    return Quotient(R * a, RadToDeg, what);
}

// Whether arcIn is added to Kp for the inner end (and arcOut taken off for
// the outer one), or the other way round: the end chainages lie on opposite
// sides of Kp, by the curve's sense and the side of 90 on which B lies.
bool InnerArcAdds(int sense, double B) { return (B < 90) == (sense > 0); }

std::string CoordinateText(double value) { return NumberText(Round3(value)); }
std::string LengthText(double value) { return CoordinateText(value) + "(米)"; }
std::string EndChainageText(double value) { return ChainageText(value, ChainageForm::Computed); }

int SenseOf(float P) { return P > 0 ? +1 : -1; }

BeamEnds Skewed(Member member, WindowOps& ops, const CurveState& state, double Kj, double Xo, double Yo, double R,
            double Rin, double Rout, double B, double RadToDeg, double Aoj, double Kp) {
    const BeamEnds ends = SkewedEnds(member, Kj, Xo, Yo, R, Rin, Rout, B, RadToDeg, Aoj, Kp, state.Ab1, state.Ab2);
    WriteSkewedEnds(ops, ends);
    return ends;
}

}  // namespace

CentrePoint CentreAt(Member member, double Kj, double Xo, double Yo, double R, double RadToDeg, double Aoj,
                     double Kp) {
    CentrePoint c;

    // Central angle between J and K, degrees; the member's turn gives its sense.
    c.Tkj = Quotient(std::abs(Kp - Kj) * RadToDeg, R, "盖梁中桩与设计中桩之间的圆心角");

    // Azimuth of the radius O -> K, brought back by one whole turn at most.
    if (member.turn > 0) {
        c.Aok = Aoj + c.Tkj;
        if (c.Aok >= 360) c.Aok = c.Aok - 360;
    } else {
        c.Aok = Aoj - c.Tkj;
        if (c.Aok < 0) c.Aok = c.Aok + 360;
    }

    // K on the centre line.
    c.Xk = Finite(Cos(c.Aok, RadToDeg) * R + Xo, "盖梁中桩的纵座标");
    c.Yk = Finite(Sin(c.Aok, RadToDeg) * R + Yo, "盖梁中桩的横座标");
    return c;
}

BeamEnds SkewedEnds(Member member, double Kj, double Xo, double Yo, double R, double Rin, double Rout,
                    double B, double RadToDeg, double Aoj, double Kp, double Ab1, double Ab2) {
    BeamEnds r;

    // Beam centre K on the centre line.
    const CentrePoint centre = CentreAt(member, Kj, Xo, Yo, R, RadToDeg, Aoj, Kp);
    const double Tkj = centre.Tkj;
    r.Xk = centre.Xk;
    r.Yk = centre.Yk;

    // d: signed angle from the outward radius at K to Ab1. The axis keeps the
    // design direction while the radius turns by Tkj, so d is B's distance
    // from 90 grown or shrunk by Tkj; the branches differ only in d's sign.
    double d;
    if (B < 90) {
        d = member.turn > 0 ? (90 - B) + Tkj : (90 - B) - Tkj;
    } else {
        d = member.turn > 0 ? (B - Tkj) - 90 : (B + Tkj) - 90;
    }
    const double cosd = CosSkewFromRadius(d, RadToDeg);

    // Inner end: the nearer crossing of the axis with the inner edge, from K along Ab2.
    const double Qin = InnerRoot((R * R * (cosd * cosd) - R * R) + Rin * Rin, kMissesInnerEdge);
    r.Lin = Finite(std::abs(R * cosd - Qin), "盖梁内侧长度");
    r.Xin = Finite(r.Xk + r.Lin * Cos(Ab2, RadToDeg), "内侧端点的纵座标");
    r.Yin = Finite(r.Yk + r.Lin * Sin(Ab2, RadToDeg), "内侧端点的横座标");
    const double arcIn = ArcToFoot(d, r.Lin, Rin, R, RadToDeg, "内侧端点的桩号");

    // Outer end: the crossing with the outer edge, from K along Ab1; the angle
    // at K between the direction to O and Ab1 is e.
    const double e = 180 - d;
    const double cose = Cos(e, RadToDeg);
    const double Qout = OuterRoot((R * R * (cose * cose) - R * R) + Rout * Rout);
    r.Lout = Finite(std::abs(R * cose + Qout), "盖梁外侧长度");
    r.Xout = Finite(r.Xk + r.Lout * Cos(Ab1, RadToDeg), "外侧端点的纵座标");
    r.Yout = Finite(r.Yk + r.Lout * Sin(Ab1, RadToDeg), "外侧端点的横座标");
    const double arcOut = ArcToFoot(e, r.Lout, Rout, R, RadToDeg, "外侧端点的桩号");

    const bool adds = InnerArcAdds(member.sense, B);
    r.Kin = Finite(adds ? Kp + arcIn : Kp - arcIn, "内侧端点的桩号");
    r.Kout = Finite(adds ? Kp - arcOut : Kp + arcOut, "外侧端点的桩号");
    return r;
}

void RefuseCurveWithoutDirection() {
    throw Failure(ErrorKind::OutOfRange,
                  "平曲线的正偏或反偏没有确定（P 为 0），无法计算端点。"
                  "请按“进行计算”重新输入平曲线，P 输入正数（正偏）或负数（反偏）。");
}

BeamAzimuths DesignAzimuths(float P, double B, double Aoj) {
    BeamAzimuths a{};
    if (P < 0) {
        // Forward tangent Aoj - 90, turned clockwise by B: the outer half.
        const double t = (B + Aoj) - 90;
        a.Ab1 = t >= 360 ? t - 360 : t;
        if (a.Ab1 < 0) a.Ab1 = a.Ab1 + 360;
        const double u = a.Ab1 + 180;
        a.Ab2 = u >= 360 ? u - 360 : u;
    } else if (P > 0) {
        // Forward tangent Aoj + 90, turned clockwise by B: the inner half.
        const double t = (Aoj + 90) + B;
        a.Ab2 = t >= 360 ? t - 360 : t;
        const double u = a.Ab2 + 180;
        a.Ab1 = u >= 360 ? u - 360 : u;
    } else {
        RefuseCurveWithoutDirection();
    }
    return a;
}

BeamEnds DesignEnds(float P, double Xj, double Yj, double R, double Dr, double B, double RadToDeg, double Kp,
                    double Ab1, double Ab2) {
    BeamEnds r;
    r.Xk = Xj;
    r.Yk = Yj;

    // d: the angle between the axis and the radius through J; e at J between
    // the direction to O and the outer half of the axis.
    const double d = B < 90 ? 90 - B : B - 90;
    const double e = 180 - d;
    const double cosd = CosSkewFromRadius(d, RadToDeg);
    const double cose = Cos(e, RadToDeg);

    const double Qin = InnerRoot(((R * R) * (cosd * cosd) - 2 * R * Dr) + Dr * Dr, kMissesInnerEdgeAtB);
    const double Qout = OuterRoot(((R * R) * (cose * cose) + 2 * R * Dr) + Dr * Dr);
    r.Lin = Finite(std::abs(R * cosd - Qin), "盖梁内侧长度");
    r.Lout = Finite(std::abs(R * cose + Qout), "盖梁外侧长度");

    r.Xout = Finite(Xj + r.Lout * Cos(Ab1, RadToDeg), "外侧端点的纵座标");
    r.Yout = Finite(Yj + r.Lout * Sin(Ab1, RadToDeg), "外侧端点的横座标");
    r.Xin = Finite(Xj + r.Lin * Cos(Ab2, RadToDeg), "内侧端点的纵座标");
    r.Yin = Finite(Yj + r.Lin * Sin(Ab2, RadToDeg), "内侧端点的横座标");

    const double arcIn = ArcToFoot(d, r.Lin, R - Dr, R, RadToDeg, "内侧端点的桩号");
    const double arcOut = ArcToFoot(e, r.Lout, R + Dr, R, RadToDeg, "外侧端点的桩号");

    const bool adds = InnerArcAdds(SenseOf(P), B);
    r.Kin = Finite(adds ? Kp + arcIn : Kp - arcIn, "内侧端点的桩号");
    r.Kout = Finite(adds ? Kp - arcOut : Kp + arcOut, "外侧端点的桩号");
    return r;
}

BeamEnds RadialEnds(double Xj, double Yj, double Xo, double Yo, double Rin, double Rout, double RadToDeg,
                    double Aoj, double Kp) {
    BeamEnds r;
    r.Xk = Xj;
    r.Yk = Yj;
    const double t = Quotient(Aoj, RadToDeg, "角度");
    r.Xin = Finite(std::cos(t) * Rin + Xo, "内侧端点的纵座标");
    r.Yin = Finite(std::sin(t) * Rin + Yo, "内侧端点的横座标");
    r.Xout = Finite(std::cos(t) * Rout + Xo, "外侧端点的纵座标");
    r.Yout = Finite(std::sin(t) * Rout + Yo, "外侧端点的横座标");
    // Both ends stand on the radius through the centre: same chainage, and
    // each half of the beam runs from the centre line to an edge.
    r.Kin = Kp;
    r.Kout = Kp;
    r.Lin = Finite((Rout - Rin) / 2, "盖梁长度");
    r.Lout = r.Lin;
    return r;
}

BeamEnds Cm1(WindowOps& ops, const CurveState& state, float, double Kj, double Xo, double Yo, double R, double Rin,
         double Rout, double B, double RadToDeg, double Aoj, double Kp, double, double) {
    return Skewed(kCm1, ops, state, Kj, Xo, Yo, R, Rin, Rout, B, RadToDeg, Aoj, Kp);
}
BeamEnds Cm2(WindowOps& ops, const CurveState& state, float, double Kj, double Xo, double Yo, double R, double Rin,
         double Rout, double B, double RadToDeg, double Aoj, double Kp, double, double) {
    return Skewed(kCm2, ops, state, Kj, Xo, Yo, R, Rin, Rout, B, RadToDeg, Aoj, Kp);
}
BeamEnds Cm3(WindowOps& ops, const CurveState& state, float, double Kj, double Xo, double Yo, double R, double Rin,
         double Rout, double B, double RadToDeg, double Aoj, double Kp, double, double) {
    return Skewed(kCm3, ops, state, Kj, Xo, Yo, R, Rin, Rout, B, RadToDeg, Aoj, Kp);
}
BeamEnds Cm4(WindowOps& ops, const CurveState& state, float, double Kj, double Xo, double Yo, double R, double Rin,
         double Rout, double B, double RadToDeg, double Aoj, double Kp, double, double) {
    return Skewed(kCm4, ops, state, Kj, Xo, Yo, R, Rin, Rout, B, RadToDeg, Aoj, Kp);
}

BeamEnds Cm5(WindowOps& ops, CurveState& state, float, double, double Xj, double Yj, double R, double Dr, double B,
         double RadToDeg, double Aoj, double Kp) {
    const BeamAzimuths a = DesignAzimuths(state.P, B, Aoj);
    state.Ab1 = a.Ab1;
    state.Ab2 = a.Ab2;
    const BeamEnds ends = DesignEnds(state.P, Xj, Yj, R, Dr, B, RadToDeg, Kp, a.Ab1, a.Ab2);
    WriteDesignEnds(ops, ends);
    return ends;
}

BeamEnds Cm6(WindowOps& ops, const CurveState& state, float, double Xo, double Yo, double Rin, double Rout,
         double RadToDeg, double Aoj, double Kp) {
    const BeamEnds ends = RadialEnds(state.Xj, state.Yj, Xo, Yo, Rin, Rout, RadToDeg, Aoj, Kp);
    WriteRadialEnds(ops, ends);
    return ends;
}

void WriteSkewedEnds(WindowOps& ops, const BeamEnds& r) {
    ops.SetText(Field::Text19, CoordinateText(r.Xk));
    ops.SetText(Field::Text20, CoordinateText(r.Yk));
    ops.SetText(Field::Text11, LengthText(r.Lin));
    ops.SetText(Field::Text9, CoordinateText(r.Xin));
    ops.SetText(Field::Text10, CoordinateText(r.Yin));
    ops.SetText(Field::Text8, EndChainageText(r.Kin));
    ops.SetText(Field::Text15, LengthText(r.Lout));
    ops.SetText(Field::Text13, CoordinateText(r.Xout));
    ops.SetText(Field::Text14, CoordinateText(r.Yout));
    ops.SetText(Field::Text12, EndChainageText(r.Kout));
}

void WriteDesignEnds(WindowOps& ops, const BeamEnds& r) {
    ops.SetText(Field::Text19, CoordinateText(r.Xk));
    ops.SetText(Field::Text20, CoordinateText(r.Yk));
    ops.SetText(Field::Text11, LengthText(r.Lin));
    ops.SetText(Field::Text15, LengthText(r.Lout));
    ops.SetText(Field::Text13, CoordinateText(r.Xout));
    ops.SetText(Field::Text14, CoordinateText(r.Yout));
    ops.SetText(Field::Text9, CoordinateText(r.Xin));
    ops.SetText(Field::Text10, CoordinateText(r.Yin));
    ops.SetText(Field::Text12, EndChainageText(r.Kout));
    ops.SetText(Field::Text8, EndChainageText(r.Kin));
}

void WriteRadialEnds(WindowOps& ops, const BeamEnds& r) {
    ops.SetText(Field::Text19, CoordinateText(r.Xk));
    ops.SetText(Field::Text20, CoordinateText(r.Yk));
    ops.SetText(Field::Text9, CoordinateText(r.Xin));
    ops.SetText(Field::Text10, CoordinateText(r.Yin));
    ops.SetText(Field::Text13, CoordinateText(r.Xout));
    ops.SetText(Field::Text14, CoordinateText(r.Yout));
    ops.SetText(Field::Text8, EndChainageText(r.Kin));
    ops.SetText(Field::Text12, EndChainageText(r.Kout));
    ops.SetText(Field::Text11, LengthText(r.Lin));
    ops.SetText(Field::Text15, LengthText(r.Lout));
}

}  // namespace capbeam

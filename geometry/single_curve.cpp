#include "geometry/single_curve.h"

#include <cmath>
#include <string>

#include "core/dms.h"

#include "core/failure.h"
#include "core/arithmetic.h"
#include "core/angle.h"
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

int SenseOf(float P) { return P > 0 ? +1 : -1; }

}  // namespace

CentrePoint CentreAt(Member member, double Kj, double Xo, double Yo, double R, double RadToDeg, double Aoj,
                     double Kp) {
    CentrePoint c;

    // Central angle between J and K, degrees; the member's turn gives its sense.
    c.Tkj = Quotient(std::abs(Kp - Kj) * RadToDeg, R, "盖梁中桩与设计中桩之间的圆心角");

    // Azimuth of the radius O -> K, brought back by one whole turn at most.
    c.Aok = ReduceOneTurn(member.turn > 0 ? Aoj + c.Tkj : Aoj - c.Tkj);

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

BeamAzimuths SetUpAzimuths(double B, double Aoj) {
    // The beam's axis makes the angle B - 90 with the outward radius, so for
    // 0 < B < 180 Ab1 points from the beam centre to the outer side.
    BeamAzimuths a;
    a.Ab1 = ReduceOneTurn((Aoj - 90) + B);
    a.Ab2 = ReduceOneTurn(a.Ab1 - 180);
    return a;
}

BeamAzimuths DesignAzimuths(float P, double B, double Aoj) {
    BeamAzimuths a{};
    if (P < 0) {
        // Forward tangent Aoj - 90, turned clockwise by B: the outer half.
        a.Ab1 = ReduceOneTurn((B + Aoj) - 90);
        a.Ab2 = ReduceOneTurn(a.Ab1 + 180);
    } else if (P > 0) {
        // Forward tangent Aoj + 90, turned clockwise by B: the inner half.
        a.Ab2 = ReduceOneTurn((Aoj + 90) + B);
        a.Ab1 = ReduceOneTurn(a.Ab2 + 180);
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

namespace {

// Azimuth of the radius from O to J, clockwise from north, in 0 to 360.
double RadiusAzimuth(double dX, double dY, double Dj) {
    const double s = dY / Dj;
    const double c2 = 1 - s * s;
    // Due east or west of O (or so nearly that s rounds to ±1) the arcsine
    // formula divides by zero; the azimuth there is a quarter turn.
    if (!(c2 > 0)) return dY > 0 ? 90.0 : 270.0;
    double Aoj = std::atan(s / std::sqrt(c2)) * kRadToDeg;  // arcsine of s: -90 to 90
    if (dX < 0) Aoj = 180 - Aoj;                            // west of O's meridian: 90 to 270
    if (dX > 0 && dY < 0) Aoj = Aoj + 360;                  // north-west: 270 to 360
    return Aoj;
}

constexpr Member kMembers[] = {kCm1, kCm2, kCm3, kCm4};

}  // namespace

CurveSetUp SetUpCurve(const CurveInputs& in) {
    CurveSetUp out;
    out.curve = {in.Xo, in.Yo, in.R, in.P};
    DesignBeam& d = out.design;
    d.Kj = in.Kj;
    d.Xj = in.Xj;
    d.Yj = in.Yj;
    d.B = Finite(DecimalDegrees(SplitDms(in.Bdms)), "交角 B");

    // The radius through J.
    const double dX = Finite(in.Xj - in.Xo, " J 与圆心 O 的纵座标差");
    const double dY = Finite(in.Yj - in.Yo, " J 与圆心 O 的横座标差");
    out.Dj = Finite(std::sqrt(dX * dX + dY * dY), " J 到圆心 O 的距离");
    if (out.Dj == 0)
        throw Failure(ErrorKind::Geometry,
                      "盖梁中桩 J 与圆心 O 重合，无法确定半径方向。请检查 Xo、Yo、Xj、Yj 的数值。");
    if (std::fabs(out.Dj - in.R) > kOffCurveLimit)
        throw Failure(ErrorKind::Geometry,
                      "J 点到圆心 O 的距离 Dj = " + NumberText(out.Dj) + " 米，与平曲线半径 R = " + NumberText(in.R) +
                          " 米相差超过 1 米，J 不在这条平曲线上，算出的端点会落在别处。"
                          "请核对圆心 O 和 J 点的座标以及半径 R。");
    d.Aoj = RadiusAzimuth(dX, dY, out.Dj);

    d.axis = SetUpAzimuths(d.B, d.Aoj);
    return out;
}

std::optional<Message> OffCurveWarning(const CurveSetUp& setUp) {
    if (!(std::fabs(setUp.Dj - setUp.curve.R) > kOnCurveTolerance)) return std::nullopt;
    return Message{ErrorKind::Warning,
                   "J 点到圆心 O 的距离 Dj = " + NumberText(setUp.Dj) + " 米，与平曲线半径 R = " +
                       NumberText(setUp.curve.R) +
                       " 米相差超过 0.01 米，J 可能不在平曲线上。请核对圆心和 J 点的座标以及半径；"
                       "如果只是座标取整造成的差别，可以继续计算。"};
}

EdgeRadii EdgeRadiiFor(double R, double Dr) {
    EdgeRadii e;
    e.Rin = static_cast<float>(Finite(R - Dr, "路基内侧边缘的半径"));
    Finite(e.Rin, "路基内侧边缘的半径");
    e.Rout = Finite(Dr + R, "路基外侧边缘的半径");
    return e;
}

int ChooseRoutine(float P, double Kp, double Kj, double B) {
    if (P > 0 && Kp > Kj) return 1;
    if (P > 0 && Kp < Kj) return 2;
    if (P < 0 && Kp > Kj) return 3;
    if (P < 0 && Kp < Kj) return 4;
    if (B != 90 && Kp == Kj) return 5;
    if (B == 90 && Kp == Kj) return 6;
    return 0;
}

BeamPlacement PlaceBeam(const Curve& c, const DesignBeam& d, double Kp, double Dr, Orientation orientation) {
    BeamPlacement p;
    p.orientation = orientation;
    p.edges = EdgeRadiiFor(c.R, Dr);
    const double Rin = p.edges.Rin;
    const double Rout = p.edges.Rout;

    const int routine = ChooseRoutine(c.P, Kp, d.Kj, d.B);
    if (routine == 0) RefuseCurveWithoutDirection();
    if (orientation == Orientation::Tangent && routine <= 4) {
        // Away from J a tangent beam is the design beam carried round O; at J
        // both orientations are the same beam, computed below.
        p.routine = TangentRoutine(d.B);
        p.ends = TangentEnds(kMembers[routine - 1], c.P, d.Kj, c.Xo, c.Yo, c.R, Dr, Rin, Rout, d.B, kRadToDeg,
                             d.Aoj, Kp);
        return p;
    }
    p.routine = routine;
    if (routine <= 4) {
        p.ends = SkewedEnds(kMembers[routine - 1], d.Kj, c.Xo, c.Yo, c.R, Rin, Rout, d.B, kRadToDeg, d.Aoj, Kp,
                            d.axis.Ab1, d.axis.Ab2);
    } else if (routine == 5) {
        const BeamAzimuths a = DesignAzimuths(c.P, d.B, d.Aoj);
        p.ends = DesignEnds(c.P, d.Xj, d.Yj, c.R, Dr, d.B, kRadToDeg, Kp, a.Ab1, a.Ab2);
        p.designAxis = a;
    } else {
        p.ends = RadialEnds(d.Xj, d.Yj, c.Xo, c.Yo, Rin, Rout, kRadToDeg, d.Aoj, Kp);
    }
    return p;
}

BeamEnds TangentEnds(Member member, float P, double Kj, double Xo, double Yo, double R, double Dr, double Rin,
                     double Rout, double B, double RadToDeg, double Aoj, double Kp) {
    const CentrePoint K = CentreAt(member, Kj, Xo, Yo, R, RadToDeg, Aoj, Kp);
    if (B == 90) return RadialEnds(K.Xk, K.Yk, Xo, Yo, Rin, Rout, RadToDeg, K.Aok, Kp);
    const BeamAzimuths a = DesignAzimuths(P, B, K.Aok);
    return DesignEnds(P, K.Xk, K.Yk, R, Dr, B, RadToDeg, Kp, a.Ab1, a.Ab2);
}

std::optional<Message> FarChainageWarning(const Curve& curve, const DesignBeam& design, double Kp) {
    constexpr double kFullTurnRadians = 6.283185307179586;  // 2 pi, a turn of the road itself
    const double distance = std::fabs(Kp - design.Kj);
    if (!(distance > kFullTurnRadians * curve.R)) return std::nullopt;
    return Message{ErrorKind::Warning,
                   "桩号 Kp（" + ChainageText(Kp, ChainageForm::Entered) + "）离设计桩号 Kj（" +
                       ChainageText(design.Kj, ChainageForm::Entered) + "）" + NumberText(Round3(distance)) +
                       " 米，超过了平曲线一整圈的长度（2πR = " + NumberText(Round3(kFullTurnRadians * curve.R)) +
                       " 米）：道路在这段距离上会转过 360 度以上，桩号很可能输错了。结果已经算出，请核对桩号 Kp。"};
}

int TangentRoutine(double B) { return B == 90 ? 6 : 5; }

CurvePoint PointAlong(double X, double Y, double azimuth, double distance) {
    return {X + distance * Cos(azimuth, kRadToDeg), Y + distance * Sin(azimuth, kRadToDeg)};
}

std::optional<CurveStation> LocateOnCurve(const Curve& curve, const DesignBeam& design, double X, double Y,
                                          double nearK) {
    if (!(curve.R > 0)) return std::nullopt;
    const double dx = X - curve.Xo, dy = Y - curve.Yo;
    const double distance = std::hypot(dx, dy);
    if (!(distance > 0) || !std::isfinite(distance)) return std::nullopt;
    // The radius through the point turned from the one through J, in
    // degrees, positive in the sense the chainage grows.
    const double sense = curve.P > 0 ? 1.0 : -1.0;
    const double azimuth = std::atan2(dy, dx) * kRadToDeg;
    const double turn = sense * std::remainder(azimuth - design.Aoj, 360.0);
    const double K = design.Kj + turn / kRadToDeg * curve.R;
    const double fullTurn = 360 / kRadToDeg * curve.R;
    return CurveStation{K + fullTurn * std::round((nearK - K) / fullTurn), distance - curve.R};
}

CurvePoint PointAtChainage(const Curve& curve, const DesignBeam& design, double K, double radius) {
    const double sense = curve.P > 0 ? 1.0 : -1.0;
    const double azimuth = design.Aoj + sense * (K - design.Kj) * kRadToDeg / curve.R;
    return PointAlong(curve.Xo, curve.Yo, azimuth, radius);
}

}  // namespace capbeam

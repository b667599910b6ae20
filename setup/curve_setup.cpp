#include "setup/curve_setup.h"

#include <cmath>
#include <optional>
#include <string>

#include "core/failure.h"
#include "core/arithmetic.h"
#include "setup/ask.h"
#include "core/text_formats.h"

namespace capbeam {

namespace {

// The prompts, exactly as the user has always seen them (the "粱" included).
constexpr const char* kAskXo = "请输入圆心的纵座标  Xo";
constexpr const char* kAskYo = "请输入圆心的横座标  Yo";
constexpr const char* kAskKj = "请输入斜交盖粱设计位置的中桩桩号  Kj（以米为单位）";
constexpr const char* kAskXj = "请输入斜交盖粱设计位置中桩的纵座标  Xj ";
constexpr const char* kAskYj = "请输入斜交盖粱设计位置中桩的横座标  Yj ";
constexpr const char* kAskB = "请输入盖粱与切线的交角  B,交角 (以切线为起点顺时针旋转至盖粱横轴) ";
constexpr const char* kAskR = "请输入平曲线的半径  R";
constexpr const char* kAskP =
    "请输入平曲线正偏或反偏的判别符号 P 的数值，正偏为 P>0 的正整数，反偏为 P<0 的负整数";

// pi as this program has always taken it: the factor must stay the same
// double, or every azimuth moves in its last digits.
constexpr double kPi = 3.1415926535;

// How far J may lie from the centre line before the user is warned, metres.
constexpr double kOnCurveTolerance = 0.01;

// An angle in the D.MMSS notation taken apart: whole degrees, minutes and
// seconds (the seconds keep any fraction: 30.15305 has 30.5 seconds).
struct Dms {
    double d;
    double minutes;
    double seconds;
};

// Fix is truncation towards zero. The 1e-10 keeps a product such as
// 0.29 × 100 = 28.999999999999996 from losing a minute.
Dms SplitDms(double B) {
    const double d = std::trunc(B);
    const double f = std::trunc(B * 100 + 1e-10);
    const double minutes = f - 100 * d;
    const double seconds = B * 10000 - 100 * f;
    return {d, minutes, seconds};
}

double DecimalDegrees(const Dms& a) { return (a.d + a.minutes / 60) + a.seconds / 3600; }

std::optional<std::string> PositiveRadius(double R) {
    if (R > 0) return std::nullopt;
    return "平曲线的半径 R 必须大于 0。请输入圆曲线中线的半径，以米为单位，例如 500。";
}

std::optional<std::string> CurveSign(float P) {
    if (P != 0) return std::nullopt;
    return "判别符号 P 不能为 0，只看它的正负：右偏（正偏）曲线请输入 1，左偏（反偏）曲线请输入 -1。";
}

// B is the turn from the forward tangent, clockwise, to the beam's axis: a
// real skew lies strictly between 0 and 180 degrees.
std::optional<std::string> SkewAngle(double B) {
    const Dms a = SplitDms(B);
    if (std::fabs(a.minutes) >= 60 || std::fabs(a.seconds) >= 60)
        return "交角 B 按“度.分秒”输入，分和秒都必须小于 60：30°15′30″ 输入 30.153。"
               "请按度、分、秒重新输入，不要输入以度为单位的小数。";
    const double degrees = DecimalDegrees(a);
    if (!(degrees > 0 && degrees < 180))
        return "交角 B 必须大于 0 度、小于 180 度（以切线为起点顺时针旋转至盖粱横轴）。请重新输入。";
    return std::nullopt;
}

// Azimuth of the radius from O to J, clockwise from north, in 0 to 360.
double RadiusAzimuth(double dX, double dY, double Dj, double RadToDeg) {
    const double s = dY / Dj;
    const double c2 = 1 - s * s;
    // Due east or west of O (or so nearly that s rounds to ±1) the arcsine
    // formula divides by zero; the azimuth there is a quarter turn.
    if (!(c2 > 0)) return dY > 0 ? 90.0 : 270.0;
    double Aoj = std::atan(s / std::sqrt(c2)) * RadToDeg;  // arcsine of s: -90 to 90
    if (dX < 0) Aoj = 180 - Aoj;                           // west of O's meridian: 90 to 270
    if (dX > 0 && dY < 0) Aoj = Aoj + 360;                 // north-west: 270 to 360
    return Aoj;
}

std::string OffCurveWarning(double Dj, double R) {
    return "J 点到圆心 O 的距离 Dj = " + NumberText(Dj) + " 米，与平曲线半径 R = " + NumberText(R) +
           " 米相差超过 0.01 米，J 可能不在平曲线上。请核对圆心和 J 点的座标以及半径；"
           "如果只是座标取整造成的差别，可以继续计算。";
}

}  // namespace

std::vector<Message> Command1_Click(WindowOps& ops, CurveState& st) {
    st.RadToDeg = 180 / kPi;

    st.Xo = AskDouble(ops, kAskXo);
    ops.SetText(Field::Text1, " " + NumberText(st.Xo));
    st.Yo = AskDouble(ops, kAskYo);
    ops.SetText(Field::Text2, " " + NumberText(st.Yo));
    st.Kj = AskDouble(ops, kAskKj);
    ops.SetText(Field::Text3, ChainageText(st.Kj, ChainageForm::Entered));
    st.Xj = AskDouble(ops, kAskXj);
    ops.SetText(Field::Text4, " " + NumberText(st.Xj));
    st.Yj = AskDouble(ops, kAskYj);
    ops.SetText(Field::Text5, " " + NumberText(st.Yj));
    st.B = AskDouble(ops, kAskB, SkewAngle);
    ops.SetText(Field::Text6, " " + NumberText(st.B) + "( 度, 分，秒 )");
    st.R = AskDouble(ops, kAskR, PositiveRadius);
    ops.SetText(Field::Text18, NumberText(st.R) + "(米)");
    st.P = AskSingle(ops, kAskP, CurveSign);
    ops.SetText(Field::Text17, st.P > 0 ? "正偏" : "反偏");

    // B from D.MMSS to decimal degrees.
    st.B = Finite(DecimalDegrees(SplitDms(st.B)), "交角 B");

    // The radius through J.
    const double dX = Finite(st.Xj - st.Xo, " J 与圆心 O 的纵座标差");
    const double dY = Finite(st.Yj - st.Yo, " J 与圆心 O 的横座标差");
    const double Dj = Finite(std::sqrt(dX * dX + dY * dY), " J 到圆心 O 的距离");
    if (Dj == 0)
        throw Failure(ErrorKind::Geometry,
                      "盖梁中桩 J 与圆心 O 重合，无法确定半径方向。请检查 Xo、Yo、Xj、Yj 的数值。");
    st.Aoj = RadiusAzimuth(dX, dY, Dj, st.RadToDeg);

    // The beam's axis makes the angle B - 90 with the outward radius, so for
    // 0 < B < 180 Ab1 points from the beam centre to the outer side; at most
    // one turn is taken off and one added.
    const double t = (st.Aoj - 90) + st.B;
    st.Ab1 = t;
    if (t >= 360) st.Ab1 = t - 360;
    if (st.Ab1 < 0) st.Ab1 = st.Ab1 + 360;
    const double u = st.Ab1 - 180;
    st.Ab2 = u < 0 ? u + 360 : u;

    std::vector<Message> warnings;
    if (std::fabs(Dj - st.R) > kOnCurveTolerance)
        warnings.push_back({ErrorKind::Warning, OffCurveWarning(Dj, st.R)});
    return warnings;
}

}  // namespace capbeam

#include "core/rules.h"

#include <cmath>

#include "core/dms.h"
#include "core/text_formats.h"

namespace capbeam {

std::optional<std::string> RadiusProblem(double R) {
    if (R > 0) return std::nullopt;
    return "平曲线的半径 R 必须大于 0。请输入圆曲线中线的半径，以米为单位，例如 500。";
}

std::optional<std::string> CurveDirectionProblem(float P) {
    if (P != 0) return std::nullopt;
    return "判别符号 P 不能为 0，只看它的正负：右偏（正偏）曲线请输入 1，左偏（反偏）曲线请输入 -1。";
}

std::optional<std::string> SkewProblem(double Bdms) {
    const Dms a = SplitDms(Bdms);
    if (!IsValidDms(a))
        return "交角 B 按“度.分秒”输入，分和秒都必须小于 60：30°15′30″ 输入 30.153。"
               "请按度、分、秒重新输入，不要输入以度为单位的小数。";
    const double degrees = DecimalDegrees(a);
    if (!(degrees > 0 && degrees < 180))
        return "交角 B 必须大于 0 度、小于 180 度（以切线为起点顺时针旋转至盖粱横轴）。请重新输入。";
    return std::nullopt;
}

std::optional<std::string> HalfWidthProblem(double Dr, double R) {
    if (!std::isfinite(Dr)) return "路基半幅宽度 Dr 必须是一个有限的数（以米为单位）。请检查后重新输入。";
    if (Dr < 0) return "路基半幅宽度 Dr 是路中线到路基边缘的距离，不能是负数。请输入 0 或正数。";
    if (Dr >= R)
        return "路基半幅宽度 Dr 必须小于平曲线半径 R（" + NumberText(R) +
               " 米），否则没有路基内侧边缘。请检查后重新输入。";
    return std::nullopt;
}

}  // namespace capbeam

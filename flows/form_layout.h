#pragma once

#include <array>
#include <string_view>

#include "flows/window_ops.h"

// The window's layout as the form designer drew it: one row per control, in
// twips from the top-left corner of the client area (15 twips = 1 pixel at
// 96 dpi). Plain data, shared by the Qt window and the terminal front-end.

namespace capbeam {

struct TwipRect {
    int left, top, width, height;
};

struct CaptionRow {
    std::string_view name;
    std::string_view text;  // exact, blanks included
    TwipRect rect;
    double pointSize;
};

struct FieldRow {
    Box field;
    std::string_view name;
    TwipRect rect;
    int tabIndex;
    std::string_view initialText;
    std::string_view caption;  // name of the caption the box belongs to
};

struct ButtonRow {
    std::string_view name;
    std::string_view text;
    TwipRect rect;
    int tabIndex;
};

inline constexpr std::string_view kAppName = "盖梁端点坐标计算";
inline constexpr std::string_view kTitle = "斜交盖梁端点桩号及坐标计算";

// The title caption's text is the program's title.
inline constexpr std::array<CaptionRow, 23> kCaptions{{
    {"TitleLabel", kTitle, {4200, 240, 6375, 375}, 13.5},
    {"Label2", "    圆心   纵座标 X", {4560, 960, 855, 375}, 8.25},
    {"Label3", "    圆心    横座标 Y", {6960, 960, 855, 375}, 8.25},
    {"Label6", "盖梁中桩    桩号  Kj", {3240, 1440, 855, 375}, 8.25},
    {"Label4", "盖梁中桩纵座标 X", {5760, 1440, 855, 375}, 8.25},
    {"Label5", "盖梁中桩横座标 Y", {8160, 1440, 855, 375}, 8.25},
    {"Label22", " 平曲线半径  R", {4200, 1920, 1335, 255}, 8.25},
    {"Label8", " 路基宽度 DR", {7080, 1920, 1215, 255}, 8.25},
    {"Label7", " 盖梁与切线交角  B", {2880, 2280, 1695, 255}, 8.25},
    {"Label21", "平曲线正反偏符号 P", {7320, 2280, 1815, 255}, 8.25},
    {"Label10", "(盖梁内侧和外侧计算结果)", {5400, 5160, 3735, 375}, 13.5},
    {"Label23", "计算精度 (以度为单位)", {6240, 5640, 1935, 255}, 8.25},
    {"Label9", "需要计算的盖梁         中桩桩号  Kp ", {2520, 6240, 1455, 375}, 8.25},
    {"Label11", "盖梁中桩纵座标 X", {5640, 6240, 855, 375}, 8.25},
    {"Label20", "盖梁中桩横座标 Y", {8040, 6240, 855, 375}, 8.25},
    {"Label12", " 盖梁内侧    端点桩号 K", {1800, 6600, 1095, 375}, 8.25},
    {"Label13", "  盖梁内侧     端点纵座标 X", {4440, 6600, 1215, 375}, 8.25},
    {"Label14", "  盖梁内侧     端点横座标 Y", {7080, 6600, 1215, 375}, 8.25},
    {"Label15", "盖梁内侧    长度   L", {9720, 6600, 855, 375}, 8.25},
    {"Label16", "  盖梁外侧     端点桩号 K", {1800, 7080, 1095, 375}, 8.25},
    {"Label17", "  盖梁外侧     端点纵座标 X", {4440, 7080, 1215, 375}, 8.25},
    {"Label18", "  盖梁外侧     端点横座标 Y", {7080, 7080, 1215, 375}, 8.25},
    {"Label19", "盖梁外侧    长度   L", {9720, 7080, 855, 375}, 8.25},
}};

inline constexpr double kFieldPointSize = 8.25;

inline constexpr std::array<FieldRow, kBoxCount> kFields{{
    {Box::CurveCentreX, "Text1", {5400, 1020, 1335, 285}, 0, "", "Label2"},
    {Box::CurveCentreY, "Text2", {7800, 1020, 1335, 285}, 1, "", "Label3"},
    {Box::DesignChainage, "Text3", {4080, 1500, 1455, 285}, 2, "", "Label6"},
    {Box::DesignX, "Text4", {6600, 1500, 1335, 285}, 3, "", "Label4"},
    {Box::DesignY, "Text5", {9000, 1500, 1335, 285}, 9, "", "Label5"},
    {Box::Skew, "Text6", {4560, 2280, 2535, 285}, 11, "", "Label7"},
    {Box::HalfWidth, "Text7", {8280, 1920, 1095, 285}, 13, "", "Label8"},
    {Box::InnerChainage, "Text8", {2880, 6690, 1455, 285}, 16, "", "Label12"},
    {Box::InnerX, "Text9", {5640, 6690, 1335, 285}, 17, "", "Label13"},
    {Box::InnerY, "Text10", {8280, 6690, 1335, 285}, 18, "", "Label14"},
    {Box::InnerLength, "Text11", {10560, 6690, 975, 285}, 19, "", "Label15"},
    {Box::OuterChainage, "Text12", {2880, 7170, 1455, 285}, 20, "", "Label16"},
    {Box::OuterX, "Text13", {5640, 7170, 1335, 285}, 21, "", "Label17"},
    {Box::OuterY, "Text14", {8280, 7170, 1335, 285}, 22, "", "Label18"},
    {Box::OuterLength, "Text15", {10560, 7170, 975, 285}, 23, "", "Label19"},
    {Box::BeamChainage, "Text16", {3960, 6240, 1575, 285}, 38, "", "Label9"},
    {Box::Direction, "Text17", {9120, 2280, 735, 285}, 34, "", "Label21"},
    {Box::Radius, "Text18", {5520, 1920, 1215, 285}, 36, "          ", "Label22"},
    {Box::BeamX, "Text19", {6480, 6330, 1455, 285}, 40, " ", "Label11"},
    {Box::BeamY, "Text20", {8880, 6330, 1455, 285}, 41, "", "Label20"},
    {Box::Precision, "Text21", {6480, 5850, 1455, 285}, 45, "", "Label23"},
}};

inline constexpr double kButtonPointSize = 9.75;

inline constexpr std::array<ButtonRow, 3> kButtons{{
    {"Command1", "进行计算", {5640, 7680, 975, 495}, 25},
    {"Command2", "座标计算", {6960, 7680, 975, 495}, 44},
    {"Command3", "退出计算", {8280, 7680, 975, 495}, 24},
}};

// The controls span this much: right edge of Text11/Text15, bottom of the buttons.
inline constexpr int kLayoutWidthTwips = 11535;
inline constexpr int kLayoutHeightTwips = 8175;

constexpr int TwipsToPixels(int twips) { return (twips + 7) / 15; }

constexpr const FieldRow& FieldRowOf(Box f) { return kFields[static_cast<std::size_t>(BoxNumber(f) - 1)]; }

}  // namespace capbeam

#include <stdexcept>
#include <string>

namespace capbeam {

// A caption as a screen reader should say it: runs of blanks made one, none at
// the ends ("盖梁内侧 端点桩号 K").
inline std::string SpokenCaption(std::string_view caption) {
    std::string out;
    for (const char c : caption) {
        if (c == ' ') {
            if (!out.empty() && out.back() != ' ') out += ' ';
        } else {
            out += c;
        }
    }
    if (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

// The caption row of that name. A name that is in no row is a mistake in
// the layout tables (it would give a box a wrong spoken label): it fails to
// compile where the name is a constant, and throws otherwise.
constexpr const CaptionRow& CaptionRowNamed(std::string_view name) {
    for (const CaptionRow& row : kCaptions)
        if (row.name == name) return row;
    throw std::out_of_range("no caption of that name in the layout");
}

// Every box names its caption.
constexpr bool EveryBoxHasItsCaption() {
    for (const FieldRow& row : kFields) CaptionRowNamed(row.caption);
    return true;
}
static_assert(EveryBoxHasItsCaption());

// The spoken caption of the box's own label.
inline std::string FieldCaption(Box f) { return SpokenCaption(CaptionRowNamed(FieldRowOf(f).caption).text); }

}  // namespace capbeam

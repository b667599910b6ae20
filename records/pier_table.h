#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "geometry/single_curve.h"

// The record of every completed request of one run: one row per request, in
// groups, one group per curve set-up. Rows hold the texts exactly as the
// boxes showed them, and the unrounded results for drawing.

namespace capbeam {

// The row's columns: the chainage typed, then what a placement computed.
enum class PierColumn { Kp, Xk, Yk, Kin, Xin, Yin, Lin, Kout, Xout, Yout, Lout };
inline constexpr int kPierColumnCount = 11;
// Column headings, as the captions of the boxes say them.
inline constexpr std::array<const char*, kPierColumnCount> kPierColumnTitles{
    "中桩桩号 Kp", "中桩纵座标 X", "中桩横座标 Y", "内侧端点桩号 K", "内侧端点纵座标 X", "内侧端点横座标 Y",
    "内侧长度 L", "外侧端点桩号 K", "外侧端点纵座标 X", "外侧端点横座标 Y", "外侧长度 L"};

// The orientation as the window's choice names it.
std::string_view OrientationText(Orientation orientation);

struct PierRow {
    int number = 0;  // 1, 2, ... through the whole run
    double Kp = 0;
    double Dr = 0;
    Orientation orientation = Orientation::Parallel;
    int routine = 0;
    BeamEnds ends;                                  // unrounded
    std::array<std::string, kPierColumnCount> texts;  // as the boxes showed them

    const std::string& Text(PierColumn c) const { return texts[static_cast<std::size_t>(c)]; }
};

struct PierGroup {
    int number = 0;       // 1, 2, ... one per set-up
    CurveInputs inputs;   // the set-up's values as typed
    Curve curve;          // the curve and design beam as the set-up left them
    DesignBeam design;
    std::string header;   // names the set-up, in the boxes' own texts
    std::vector<PierRow> rows;
};

class PierTable {
public:
    // A new set-up: later rows go under a new header naming it, in the
    // texts with which the window shows the typed values.
    void StartGroup(const CurveInputs& inputs, const Curve& curve, const DesignBeam& design);
    // Adds a row to the latest group, numbering it; returns the row as stored.
    const PierRow& Add(PierRow row);
    // Adds `note` to the latest group's header (a batch stopped short says
    // so there); nothing when there is no group.
    void NoteOnLatestHeader(const std::string& note);

    const std::vector<PierGroup>& Groups() const { return groups_; }
    std::size_t RowCount() const { return rows_; }
    bool Empty() const { return rows_ == 0; }

private:
    std::vector<PierGroup> groups_;
    std::size_t rows_ = 0;
};

// The row of a placed beam: its texts exactly as the window's boxes show
// them, and the unrounded results.
PierRow RowOf(double Kp, double Dr, const BeamPlacement& placement);
// The same row with only the three chainage texts (Kp, Kin, Kout) written:
// all that the CSV and CASS exports read besides the unrounded results, for
// a terminal batch that writes its rows and never shows them.
PierRow ExportRowOf(double Kp, double Dr, const BeamPlacement& placement);

}  // namespace capbeam

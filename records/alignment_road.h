#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "geometry/jd_table.h"
#include "geometry/road.h"
#include "records/alignment_csv.h"
#include "records/landxml.h"
#include "records/pier_table.h"

// A road as the front-ends load it from a file (JD table, element table or
// LandXML), with the main points they list, and the rows of skewed beams
// placed on it as the pier table and its exports hold them. The terminal and
// the window both build on these, so that the same inputs give the same
// texts in either.

namespace capbeam {

struct MainPointRow {
    std::string jd, point;  // the JD (or start point) it belongs to, and ZH, HY ... or 起点, 终点
    double distance = 0;
};

struct LoadedRoad {
    Road road;
    std::vector<MainPointRow> mainPoints;  // in road order
    std::vector<JdCurve> curves;           // the JD table's curve table; empty for other sources
};

// Refuse (Failure) what the geometry refuses, the message naming the JD or element.
LoadedRoad RoadFromJdTable(const JdTableFile& file);
// An alignment without JDs lists its joints, named by what meets there as the
// Chinese letters do: Z a straight (直线), H a spiral (缓和曲线), Y an arc
// (圆曲线); ZH, HY, YH, HZ, ZY, YZ as on a JD's curve, YY where two arcs meet
// (公切点), HH where two spirals do.
LoadedRoad RoadFromElementTable(const ElementTableFile& file);
LoadedRoad RoadFromLandXml(const LandXmlAlignment& alignment);

// A LandXML file opens with markup ('<' after any byte-order mark and
// blanks); a CSV table's first character never is one.
bool LooksLikeXml(std::string_view bytes);

// A chainage at a distance as the boxes write it (computed form), with its
// stretch in brackets where a long chain makes the value occur twice, so
// that it can be typed back.
std::string ChainageCell(const Road& road, double distance);
// A chainage as the user typed it, computed form, keeping the stretch the
// user named.
std::string TypedChainageCell(const Chainage& chainage);

// What an alignment group's header says after "第 n 组：": the alignment's
// name, the design beam's chainage and skew, and the half-widths.
std::string AlignmentGroupDescription(std::string_view name, const Chainage& Kj, double Bdms, double DL, double DR);

// The pier-table row of a beam centred at Kp, `ends` as PlaceBeam gives
// them (on distances, the left end in the inner fields). The row keeps
// chainages, not distances: its end chainages are those of the ends' feet,
// so that the exports' metres columns are chainages as on the single curve.
PierRow AlignmentRowOf(const Road& road, const Chainage& Kp, const BeamEnds& ends, Orientation orientation);

}  // namespace capbeam

#pragma once

#include <string>
#include <vector>

#include "geometry/alignment.h"

// An alignment given as the drawings' intersection-point table (直线、曲线
// 及转角表): a start point, the intersection points (JD) of the straights,
// each with the radius of its circular arc and the lengths of the clothoid
// spirals into it (Ls1) and out of it (Ls2), and an end point. The turn at
// each JD and its sense come from the coordinates. Metres; azimuths and
// angles in decimal degrees.

namespace capbeam {

struct TablePoint {
    std::string name;
    double X = 0, Y = 0;
};

struct Jd {
    std::string name;
    double X = 0, Y = 0;
    double R = 0;              // > 0
    double Ls1 = 0, Ls2 = 0;   // >= 0; 0 is no spiral on that side
};

struct JdTable {
    TablePoint start;
    double startChainage = 0;  // distance of the start point
    std::vector<Jd> jds;
    TablePoint end;
};

// A main point of a curve: ZH, HY, QZ, YH, HZ (ZY, QZ, YZ on a side
// without a spiral), with its distance along the line, coordinates and
// forward azimuth.
struct MainPoint {
    std::string name;
    double distance = 0;
    double X = 0, Y = 0;
    double azimuth = 0;  // degrees
};

// What the design table lists for one JD. The curve is the arc of radius R
// shifted inwards by p1 from the incoming and by p2 from the outgoing
// straight, joined to them by the spirals; q1, q2 are how far each spiral's
// start lies before the foot of the arc's centre on its straight.
//   T1 = (R + p1) tan(α/2) + q1 - (p1 - p2) / sin α
//   T2 = (R + p2) tan(α/2) + q2 + (p1 - p2) / sin α
//   L  = R (α - β1 - β2) + Ls1 + Ls2,   βi = Lsi / (2R)
//   E  = |JD O| - R (O the arc's centre: JD to the arc along the line to O,
//        which for equal spirals passes through QZ)
//   J  = T1 + T2 - L
// QZ is the middle of the curve by length.
struct JdCurve {
    std::string name;
    double X = 0, Y = 0;
    double distance = 0;        // of the JD, as the table chains it: the previous HZ plus the tangent
    double R = 0, Ls1 = 0, Ls2 = 0;
    double alpha = 0;           // turn angle, degrees, > 0
    int turn = 1;               // +1 turns right, -1 left
    double beta1 = 0, beta2 = 0;  // spiral angles, degrees
    double p1 = 0, p2 = 0, q1 = 0, q2 = 0;
    double T1 = 0, T2 = 0, L = 0, Ly = 0, E = 0, J = 0;  // Ly: the arc's own length
    std::vector<MainPoint> points;  // in road order
};

// The p and q of a clothoid spiral of length Ls into an arc of radius R
// (exact, from the spiral's end point; both 0 when Ls is 0).
struct SpiralShift {
    double p = 0, q = 0;
};
SpiralShift ShiftOf(double R, double Ls);

struct JdAlignment {
    Alignment line;
    std::vector<JdCurve> curves;
};

// Refuses (Failure OutOfRange or Geometry, the message naming the JD): R <= 0,
// Ls < 0, values that are not finite numbers of a road's size, two points at
// the same place, a zero turn or a turn back on itself, spirals longer than
// the turn allows (Ls1 + Ls2 = 2Rα, an arc of length 0, is the limit and
// is accepted), and tangents that overlap (a curve beginning before the previous
// one ends, or before the start point, or ending after the end point).
JdAlignment AlignmentFromJdTable(const JdTable& table);

}  // namespace capbeam

#pragma once

#include <optional>
#include <string>
#include <vector>

#include "records/alignment_road.h"
#include "records/pier_table.h"
#include "records/plan_geometry.h"
#include "records/beam_points.h"
#include "records/site_points.h"

// The plan as a CAD drawing holds it: true arcs where the road is an arc,
// straights as lines, spirals as polylines close enough to the spiral, each
// beam's axis, every point with its name, each on its layer. Plain C++; the
// DXF writer (records/dxf.h) only writes it out.
//
// World coordinates as everywhere: X the northing, Y the easting, metres.

namespace capbeam {

enum class DrawingLayer { CentreLine, Edge, Beam, Point };
// The layers' names as a CAD user sees them: 中线, 路基边线, 盖梁, 点.
const char* LayerName(DrawingLayer layer);

struct DrawingLine {
    DrawingLayer layer = DrawingLayer::CentreLine;
    WorldPoint from, to;
};

// A circular arc about `centre`: from the point at azimuth `fromAzimuth` (the
// direction from the centre, degrees from north clockwise) clockwise through
// `sweep` degrees (0 < sweep < 360).
struct DrawingArc {
    DrawingLayer layer = DrawingLayer::CentreLine;
    WorldPoint centre;
    double radius = 0;
    double fromAzimuth = 0, sweep = 0;
};

struct DrawingPolyline {
    DrawingLayer layer = DrawingLayer::CentreLine;
    std::vector<WorldPoint> points;
};

struct DrawingPoint {
    std::string name;
    WorldPoint at;
};

struct PlanDrawing {
    std::vector<DrawingLine> lines;
    std::vector<DrawingArc> arcs;
    std::vector<DrawingPolyline> polylines;
    std::vector<DrawingPoint> points;  // on the layer 点, each with its name beside it
    WorldBounds bounds;
};

// A spiral drawn as a polyline strays from the true curve by at most this
// between its vertices (the vertices lie on it).
inline constexpr double kSpiralChordError = 0.0005;  // metres

// What the drawing is made from. The table's single-curve groups bring their
// own curves; its alignment groups lie on `road` when it is given (without a
// road only their beams and points are drawn), its edges at the half-widths
// DL (left) and DR (right). `points` are the named points along the beams.
struct DrawingInputs {
    const PierTable* table = nullptr;
    // The pier names and the points along the beams; none: each pier named P
    // and its row number, its centre and ends only.
    const SiteWork* site = nullptr;
    const LoadedRoad* road = nullptr;
    std::optional<double> DL, DR;
    std::vector<SitePoint> points;
};

// The drawing: for each distinct single curve its centre line and its edges
// (R - Dr and R + Dr at every half-width its rows used) as arcs over the chainages in use with
// a little room either side; the road's centre line and edges element by
// element; every row's beam axis from its inner (left) end to its outer
// (right) end; and the points: each row's centre and ends named as the
// coordinate file names them (P3-C, P3-IN, P3-OUT; P3-L, P3-R on an
// alignment), then `points` (a name already drawn is not drawn twice).
PlanDrawing BuildPlanDrawing(const DrawingInputs& inputs);

// The azimuth (degrees, [0, 360)) of `p` seen from `from`.
double AzimuthOf(const WorldPoint& from, const WorldPoint& p);

}  // namespace capbeam

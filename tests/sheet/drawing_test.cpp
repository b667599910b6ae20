// The plan as a CAD drawing, checked by what it means: each curve's arcs
// about its centre at the radii the ends were computed on, every beam end on
// an edge arc and within its sweep, the road's pieces joined end to end, each
// of its arcs with its ends on the road, every point under its name. The DXF
// file itself is read back by ezdxf (dxf_check.py).

#include "records/plan_drawing.h"

#include <gtest/gtest.h>

#include <charconv>
#include <algorithm>
#include <cmath>
#include <map>

#include "records/dxf.h"
#include "tests/sheet/sample_work.h"

namespace capbeam::test {
namespace {

constexpr double kMetres = 1e-6;

double Distance(const WorldPoint& a, const WorldPoint& b) { return std::hypot(a.X - b.X, a.Y - b.Y); }

// Whether azimuth a lies on the clockwise sweep of the arc (with a little room).
bool OnSweep(const DrawingArc& arc, double a) {
    double turn = std::fmod(a - arc.fromAzimuth + 720, 360.0);
    return turn <= arc.sweep + 1e-7 || turn >= 360 - 1e-7;
}

WorldPoint ArcEnd(const DrawingArc& arc, bool last) {
    const double a = (arc.fromAzimuth + (last ? arc.sweep : 0)) * 3.14159265358979323846 / 180;
    return {arc.centre.X + arc.radius * std::cos(a), arc.centre.Y + arc.radius * std::sin(a)};
}

TEST(PlanDrawing, SingleCurvesDrawnAsArcsThroughEveryBeamEnd) {
    for (std::uint32_t draw = 1; draw <= 40; ++draw) {
        SCOPED_TRACE(draw);
        const PierTable table = SingleCurveTable(draw, 3, 6);
        DrawingInputs in;
        in.table = &table;
        const PlanDrawing d = BuildPlanDrawing(in);
        ASSERT_TRUE(d.polylines.empty());
        for (const PierGroup& g : table.Groups()) {
            // An end lies on its edge but for the rounding of the inner
            // radius to single precision (a parallel beam's), well below 1 mm.
            const auto on = [&](const WorldPoint& p, double radius, DrawingLayer layer, double within = 0) {
                within = std::max({within, 1e-6, radius * 0x1p-24});
                for (const DrawingArc& arc : d.arcs)
                    if (arc.layer == layer && arc.radius == radius && arc.centre == WorldPoint{g.curve.Xo, g.curve.Yo} &&
                        std::abs(Distance(arc.centre, p) - radius) < within && OnSweep(arc, AzimuthOf(arc.centre, p)))
                        return true;
                return false;
            };
            // J as typed, to the millimetre: off the curve by the rounding.
            EXPECT_TRUE(on({g.design.Xj, g.design.Yj}, g.curve.R, DrawingLayer::CentreLine, 1e-3));
            for (const PierRow& row : g.rows) {
                EXPECT_TRUE(on({row.ends.Xk, row.ends.Yk}, g.curve.R, DrawingLayer::CentreLine)) << row.number;
                EXPECT_TRUE(on({row.ends.Xin, row.ends.Yin}, g.curve.R - row.Dr, DrawingLayer::Edge)) << row.number;
                EXPECT_TRUE(on({row.ends.Xout, row.ends.Yout}, g.curve.R + row.Dr, DrawingLayer::Edge)) << row.number;
            }
        }
        for (const DrawingArc& arc : d.arcs) EXPECT_TRUE(arc.sweep > 0 && arc.sweep < 360);
        EXPECT_EQ(d.points.size(), 3 * table.RowCount());
        EXPECT_EQ(d.lines.size(), table.RowCount());
    }
}

TEST(PlanDrawing, RoadDrawnPieceByPieceJoinedEndToEnd) {
    const LoadedRoad road = ExampleRoad();
    PierTable table;
    AddExampleRoadPiers(table, road, 40);
    DrawingInputs in;
    in.table = &table;
    in.road = &road;
    in.DL = kExampleDL;
    in.DR = kExampleDR;
    const PlanDrawing d = BuildPlanDrawing(in);
    const Alignment& line = road.road.Line();
    // Each piece's two ends, by layer and offset, in the element order.
    struct Piece {
        WorldPoint a, b;
    };
    std::map<double, std::vector<Piece>> byOffset;
    const auto offsetOf = [&](const WorldPoint& p) {
        const Foot f = line.Locate(p.X, p.Y);
        return std::round(f.offset * 1000) / 1000;
    };
    for (const DrawingLine& l : d.lines)
        if (l.layer != DrawingLayer::Beam) byOffset[offsetOf(l.from)].push_back({l.from, l.to});
    for (const DrawingArc& arc : d.arcs) {
        // Its ends lie on the road at one offset, and its middle too.
        const WorldPoint a = ArcEnd(arc, false), b = ArcEnd(arc, true);
        EXPECT_NEAR(line.Locate(a.X, a.Y).offset, line.Locate(b.X, b.Y).offset, kMetres);
        byOffset[offsetOf(a)].push_back({a, b});
    }
    for (const DrawingPolyline& p : d.polylines) {
        for (const WorldPoint& v : p.points) EXPECT_NEAR(line.Locate(v.X, v.Y).offset, offsetOf(p.points.front()), kMetres);
        byOffset[offsetOf(p.points.front())].push_back({p.points.front(), p.points.back()});
    }
    ASSERT_EQ(byOffset.size(), 3u);
    EXPECT_EQ(byOffset.count(-kExampleDL) + byOffset.count(0) + byOffset.count(kExampleDR), 3u);
    for (const auto& [offset, pieces] : byOffset) {
        SCOPED_TRACE(offset);
        EXPECT_EQ(pieces.size(), line.ElementCount());
        // Every piece's end meets another piece's end, but for the road's two ends.
        int loose = 0;
        for (const Piece& p : pieces)
            for (const WorldPoint& end : {p.a, p.b}) {
                int meets = 0;
                for (const Piece& q : pieces) meets += Distance(end, q.a) < kMetres || Distance(end, q.b) < kMetres;
                loose += meets < 2;
            }
        EXPECT_EQ(loose, 2);
    }
    EXPECT_EQ(d.points.size(), 3 * table.RowCount());
}

TEST(PlanDrawing, PointsKeepTheirNamesOnceEach) {
    PierTable table = SingleCurveTable(7, 1, 4);
    std::vector<SitePoint> points = PointsAlongBeams(table);
    points.push_back({"P1-C", 0, 0});  // a name the table's points already have
    DrawingInputs in;
    in.table = &table;
    in.points = points;
    const PlanDrawing d = BuildPlanDrawing(in);
    std::map<std::string, WorldPoint> drawn;
    for (const DrawingPoint& p : d.points) EXPECT_TRUE(drawn.emplace(p.name, p.at).second) << p.name;
    for (std::size_t i = 0; i + 1 < points.size(); ++i) EXPECT_EQ(drawn.at(points[i].name), (WorldPoint{points[i].X, points[i].Y}));
    EXPECT_EQ(drawn.at("P1-C"), (WorldPoint{table.Groups()[0].rows[0].ends.Xk, table.Groups()[0].rows[0].ends.Yk}));
}

TEST(Dxf, EveryNumberReadsBackAsTheSameDouble) {
    PlanDrawing d;
    const double hard[] = {0.1 + 0.2, 1e-300, 123456789.123456789, -2.5e-7, -0.0};
    for (const double v : hard) d.points.push_back({"p", {v, -v}});
    const std::string text = DxfText(d, {"ANSI_936", nullptr});
    for (const double v : hard) {
        char buffer[32];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, v == 0 ? 0.0 : v).ptr;
        EXPECT_NE(text.find("\r\n" + std::string(buffer, end) + "\r\n"), std::string::npos) << buffer;
    }
    EXPECT_EQ(text.find("-0\r\n"), std::string::npos);
}

}  // namespace
}  // namespace capbeam::test

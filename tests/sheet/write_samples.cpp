// Writes generated work as the files a user gets, for the independent
// readers in dxf_check.py and sheet_check.sh: the DXF of single curves and of
// the example road with points along every beam, with what each should hold
// (JSON, from the inputs rather than from the drawing), and the calculation
// sheets of both as PDF.
//   write_samples OUTPUT-FOLDER [DRAW]   (DRAW: a number choosing the generated cases, 1 if not given)

#include <QGuiApplication>
#include <QString>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>

#include "records/dxf.h"
#include "core/text_formats.h"
#include "records/dxf_gbk.h"
#include "sheets/calculation_sheet.h"
#include "tests/sheet/sample_work.h"

namespace capbeam::test {
namespace {

std::string Exact(double v) {
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, v).ptr);
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

std::string PointsJson(const PierTable& table, const std::vector<SitePoint>& points) {
    std::string out = "[";
    const auto add = [&](const std::string& name, double X, double Y) {
        if (out.size() > 1) out += ",\n";
        out += "{\"name\":" + Quoted(name) + ",\"X\":" + Exact(X) + ",\"Y\":" + Exact(Y) + "}";
    };
    for (const PierGroup& g : table.Groups())
        for (const PierRow& r : g.rows) {
            const std::string n = "P" + std::to_string(r.number);
            const bool road = g.kind == GroupKind::Alignment;
            add(n + "-C", r.ends.Xk, r.ends.Yk);
            add(n + (road ? "-L" : "-IN"), r.ends.Xin, r.ends.Yin);
            add(n + (road ? "-R" : "-OUT"), r.ends.Xout, r.ends.Yout);
        }
    for (const SitePoint& p : points) add(p.name, p.X, p.Y);
    return out + "]";
}

std::string BeamsJson(const PierTable& table) {
    std::string out = "[";
    for (const PierGroup& g : table.Groups())
        for (const PierRow& r : g.rows) {
            if (out.size() > 1) out += ",\n";
            out += "[" + Exact(r.ends.Xin) + "," + Exact(r.ends.Yin) + "," + Exact(r.ends.Xout) + "," + Exact(r.ends.Yout) + "]";
        }
    return out + "]";
}

void Write(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out) {
        std::cerr << "cannot write " << path << '\n';
        std::exit(1);
    }
}

}  // namespace
}  // namespace capbeam::test

int main(int argc, char** argv) {
    using namespace capbeam;
    using namespace capbeam::test;
    if (argc < 2) {
        std::cerr << "usage: write_samples OUTPUT-FOLDER [DRAW]\n";
        return 2;
    }
    QGuiApplication app(argc, argv);
    const std::string dir = argv[1];
    const auto draw = static_cast<std::uint32_t>(argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 1);

    // Single curves: the set-ups as typed, the edge radii the ends lie on.
    const PierTable curves = SingleCurveTable(draw, 4, 8);
    const std::vector<SitePoint> curvePoints = PointsAlongBeams(curves);
    {
        DrawingInputs in;
        in.table = &curves;
        in.points = curvePoints;
        Write(dir + "/single.dxf", DxfText(BuildPlanDrawing(in), GbkCodePage()));
        std::string groups = "[";
        for (const PierGroup& g : curves.Groups()) {
            if (groups.size() > 1) groups += ",\n";
            std::string radii = "[";
            for (const PierRow& r : g.rows) {
                radii += (radii.size() > 1 ? "," : "") + Exact(g.inputs.R - r.Dr) + "," + Exact(g.inputs.R + r.Dr);
            }
            groups += "{\"Xo\":" + Exact(g.inputs.Xo) + ",\"Yo\":" + Exact(g.inputs.Yo) + ",\"R\":" + Exact(g.inputs.R) +
                      ",\"edges\":" + radii + "]}";
        }
        Write(dir + "/single.json", "{\"curves\":" + groups + "],\n\"points\":" + PointsJson(curves, curvePoints) +
                                        ",\n\"beams\":" + BeamsJson(curves) + "}\n");
    }

    // The example road: each element as it starts, for the true curve.
    const LoadedRoad road = ExampleRoad();
    PierTable onRoad;
    AddExampleRoadPiers(onRoad, road, 25);
    const std::vector<SitePoint> roadPoints = PointsAlongBeams(onRoad);
    {
        DrawingInputs in;
        in.table = &onRoad;
        in.road = &road;
        in.DL = kExampleDL;
        in.DR = kExampleDR;
        in.points = roadPoints;
        Write(dir + "/road.dxf", DxfText(BuildPlanDrawing(in), GbkCodePage()));
        const Alignment& line = road.road.Line();
        std::string elements = "[";
        for (std::size_t i = 0; i < line.ElementCount(); ++i) {
            const Element& e = line.ElementAt(i);
            const Station s = line.At(line.ElementStart(i));
            if (elements.size() > 1) elements += ",\n";
            elements += "{\"X\":" + Exact(s.X) + ",\"Y\":" + Exact(s.Y) + ",\"azimuth\":" + Exact(s.azimuth) +
                        ",\"length\":" + Exact(e.length) + ",\"k0\":" + Exact(e.k0) + ",\"k1\":" + Exact(e.k1) + "}";
        }
        Write(dir + "/road.json", "{\"elements\":" + elements + "],\n\"DL\":" + Exact(kExampleDL) +
                                      ",\"DR\":" + Exact(kExampleDR) + ",\n\"points\":" + PointsJson(onRoad, roadPoints) +
                                      ",\n\"beams\":" + BeamsJson(onRoad) + "}\n");
    }

    // The sheets, with a stake-out from a station near the first pier.
    SheetInputs sheet;
    sheet.title = "生成的作业 " + std::to_string(draw);
    sheet.date = "2026-12-08";
    sheet.table = &curves;
    sheet.points = curvePoints;
    const BeamEnds& first = curves.Groups().front().rows.front().ends;
    // A station to the millimetre, as the sheet names it.
    const double Xs = std::round((first.Xk - 40) * 1000) / 1000, Ys = std::round((first.Yk - 30) * 1000) / 1000;
    sheet.station = "测站 KZ1 (" + FixedText(Xs) + ", " + FixedText(Ys) + ")，后视方位角 0.00000";
    sheet.stakeout = StakeoutFrom(Xs, Ys, 0, curvePoints);
    WriteSheetPdf(QString::fromStdString(dir + "/single.pdf"), sheet);
    sheet.table = &onRoad;
    sheet.road = &road;
    sheet.DL = kExampleDL;
    sheet.DR = kExampleDR;
    sheet.points = roadPoints;
    sheet.station.clear();
    sheet.stakeout.clear();
    WriteSheetPdf(QString::fromStdString(dir + "/road.pdf"), sheet);
    return 0;
}

#include "tests/sheet/sample_work.h"

#include <cmath>
#include <fstream>
#include <random>
#include <sstream>

#include "records/alignment_csv.h"

namespace capbeam::test {

namespace {

constexpr double kPi = 3.14159265358979323846;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

double Azimuth(double dX, double dY) {
    double a = std::atan2(dY, dX) * 180 / kPi;
    return a < 0 ? a + 360 : a;
}

}  // namespace

PierTable SingleCurveTable(std::uint32_t draw, int curves, int piers) {
    std::mt19937 random(draw);
    const auto uniform = [&](double a, double b) { return std::uniform_real_distribution<double>(a, b)(random); };
    PierTable table;
    for (int c = 0; c < curves; ++c) {
        CurveInputs in;
        const auto mm = [](double v) { return std::round(v * 1000) / 1000; };
        in.Xo = mm(uniform(-5000, 5000));
        in.Yo = mm(uniform(-5000, 5000));
        in.R = mm(uniform(150, 3000));
        in.P = c % 2 == 0 ? 1.0f : -1.0f;
        const double Aoj = uniform(0, 2 * kPi);
        in.Xj = mm(in.Xo + in.R * std::cos(Aoj));
        in.Yj = mm(in.Yo + in.R * std::sin(Aoj));
        in.Kj = mm(uniform(0, 20000));
        in.Bdms = c % 3 == 0 ? 90 : uniform(60, 120);
        in.Bdms = std::floor(in.Bdms);
        const CurveSetUp setUp = SetUpCurve(in);
        table.StartGroup(in, setUp.curve, setUp.design);
        double Kp = mm(in.Kj - uniform(0, 30));
        for (int p = 0; p < piers; ++p) {
            const double Dr = std::round(uniform(5, 15) * 2) / 2;
            const Orientation o = p % 2 == 0 ? Orientation::Parallel : Orientation::Tangent;
            try {
                table.Add(RowOf(Kp, Dr, PlaceBeam(setUp.curve, setUp.design, Kp, Dr, o)));
            } catch (const Failure&) {
                // a beam that misses an edge is left out, as the window refuses it
            }
            Kp = mm(Kp + uniform(20, 30));
        }
    }
    return table;
}

LoadedRoad ExampleRoad() {
    return RoadFromJdTable(ReadJdTableCsv(ReadFile(std::string(CAPBEAM_SOURCE_DIR) + "/docs/example-jd.csv")));
}

void AddExampleRoadPiers(PierTable& table, const LoadedRoad& road, double spacing) {
    const Chainage Kj{30};
    table.StartAlignmentGroup(AlignmentGroupDescription("example-jd.csv", Kj, 75, kExampleDL, kExampleDR));
    BeamDesign design;
    design.Kj = road.road.DistanceOf(Kj);
    design.Bdms = 75;
    design.DL = kExampleDL;
    design.DR = kExampleDR;
    const double end = road.road.Line().EndDistance() - 20;
    for (double s = design.Kj; s < end; s += spacing) {
        const Chainage Kp = road.road.ChainageOf(s);
        table.AddAlignmentRow(AlignmentRowOf(road.road, Kp, PlaceBeam(road.road.Line(), design, s), Orientation::Parallel));
    }
}

std::vector<SitePoint> PointsAlongBeams(const PierTable& table) {
    std::vector<SitePoint> points;
    for (const PierGroup& group : table.Groups())
        for (const PierRow& row : group.rows) {
            const BeamEnds& e = row.ends;
            const double length = std::hypot(e.Xout - e.Xin, e.Yout - e.Yin);
            if (!(length > 0)) continue;
            const double ux = (e.Xout - e.Xin) / length, uy = (e.Yout - e.Yin) / length;
            const std::string pier = std::to_string(row.number) + "#墩-";
            const auto add = [&](const std::string& name, double along, double across) {
                // across: square to the axis, turned clockwise from it
                points.push_back({pier + name, e.Xk + along * ux - across * uy, e.Yk + along * uy + across * ux});
            };
            add("Z1", -3.5, 0);
            add("Z2", 3.5, 0);
            add("ZJ1", -3.5, 1.2);
            add("ZJ2", 3.5, 1.2);
            points.push_back({pier + "HZ1", e.Xin - 10 * ux, e.Yin - 10 * uy});
            points.push_back({pier + "HZ2", e.Xout + 10 * ux, e.Yout + 10 * uy});
        }
    return points;
}

std::vector<StakeoutRow> StakeoutFrom(double X, double Y, double backsightAzimuth, const std::vector<SitePoint>& points) {
    std::vector<StakeoutRow> rows;
    for (const SitePoint& p : points) {
        const double a = Azimuth(p.X - X, p.Y - Y);
        double angle = std::fmod(a - backsightAzimuth + 360, 360.0);
        if (angle >= 360) angle -= 360;
        rows.push_back({p.name, a, angle, std::hypot(p.X - X, p.Y - Y)});
    }
    return rows;
}

}  // namespace capbeam::test

#include "records/landxml.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>

#include "core/failure.h"
#include "geometry/jd_table.h"

namespace capbeam {
namespace {

constexpr double kPi = 3.14159265358979323846;

struct Vec {
    double X, Y;
};

std::string PointText(double X, double Y) {
    char text[96];
    std::snprintf(text, sizeof text, "%.9f %.9f", X, Y);
    return text;
}

// Where the tangents at two main points meet: a spiral's PI.
Vec TangentsMeet(const MainPoint& a, const MainPoint& b) {
    const double ta = a.azimuth * kPi / 180, tb = b.azimuth * kPi / 180;
    const Vec da{std::cos(ta), std::sin(ta)}, db{std::cos(tb), std::sin(tb)};
    const double den = da.X * db.Y - da.Y * db.X;
    const double u = ((b.X - a.X) * db.Y - (b.Y - a.Y) * db.X) / den;
    return {a.X + u * da.X, a.Y + u * da.Y};
}

// A road from a JD table, written out as LandXML by its main points, with
// dir attributes that mean nothing (the reader must not use them).
struct Written {
    JdAlignment road;
    std::string xml;
};

Written Write(const std::string& geometryTail = "", const std::string& equations = "") {
    JdTable t;
    t.start = {"QD", 2000, 3000};
    t.startChainage = 500;
    t.jds = {{"JD1", 2600, 3200, 450, 90, 60}, {"JD2", 2900, 3900, 380, 0, 0}, {"JD3", 3500, 4100, 300, 70, 70}};
    t.end = {"ZD", 3700, 4700};
    Written w{AlignmentFromJdTable(t), ""};
    std::string g;
    const auto line = [&](double X0, double Y0, double X1, double Y1) {
        g += "<Line dir=\"123.4\"><Start>" + PointText(X0, Y0) + "</Start><End>" + PointText(X1, Y1) + "</End></Line>\n";
    };
    const auto rot = [](const JdCurve& c) { return std::string(c.turn > 0 ? "cw" : "ccw"); };
    double X = t.start.X, Y = t.start.Y;
    for (const JdCurve& c : w.road.curves) {
        const MainPoint& first = c.points.front();
        line(X, Y, first.X, first.Y);
        const MainPoint* arcStart = &first;
        if (c.Ls1 > 0) {
            const MainPoint& hy = c.points[1];
            const Vec pi = TangentsMeet(first, hy);
            g += "<Spiral spiType=\"clothoid\" rot=\"" + rot(c) + "\" length=\"" + std::to_string(c.Ls1) +
                 "\" radiusStart=\"INF\" radiusEnd=\"" + std::to_string(c.R) + "\" dirStart=\"1\"><Start>" +
                 PointText(first.X, first.Y) + "</Start><PI>" + PointText(pi.X, pi.Y) + "</PI><End>" +
                 PointText(hy.X, hy.Y) + "</End></Spiral>\n";
            arcStart = &hy;
        }
        const MainPoint& last = c.points.back();
        const MainPoint& arcEnd = c.points[c.points.size() - (c.Ls2 > 0 ? 2 : 1)];
        const double n = (arcStart->azimuth + 90 * c.turn) * kPi / 180;
        const Vec O{arcStart->X + c.R * std::cos(n), arcStart->Y + c.R * std::sin(n)};
        g += "<Curve rot=\"" + rot(c) + "\" crvType=\"arc\" dirStart=\"0\"><Start>" + PointText(arcStart->X, arcStart->Y) +
             "</Start><Center>" + PointText(O.X, O.Y) + "</Center><End>" + PointText(arcEnd.X, arcEnd.Y) +
             " 12.5</End></Curve>\n";
        if (c.Ls2 > 0) {
            const Vec pi = TangentsMeet(arcEnd, last);
            g += "<Spiral spiType=\"clothoid\" rot=\"" + rot(c) + "\" length=\"" + std::to_string(c.Ls2) +
                 "\" radiusStart=\"" + std::to_string(c.R) + "\" radiusEnd=\"inf\"><Start>" + PointText(arcEnd.X, arcEnd.Y) +
                 "</Start><PI>" + PointText(pi.X, pi.Y) + "</PI><End>" + PointText(last.X, last.Y) + "</End></Spiral>\n";
        }
        X = last.X;
        Y = last.Y;
    }
    line(X, Y, t.end.X, t.end.Y);
    w.xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<LandXML xmlns=\"http://www.landxml.org/schema/LandXML-1.2\" version=\"1.2\">\n"
            "<Alignments><Alignment name=\"A线\" staStart=\"500\" length=\"1\">\n<CoordGeom>\n" +
            g + geometryTail + "</CoordGeom>\n" + equations + "</Alignment></Alignments></LandXML>\n";
    return w;
}

std::string Refusal(const std::string& xml) {
    try {
        ReadLandXml(xml);
    } catch (const Failure& f) {
        return f.message().text;
    }
    return "accepted";
}

// Lengths from the coordinates and the spirals' attributes, directions from
// the coordinates: the alignment read back runs through every main point of
// the road it was written from and ends at its end point.
TEST(LandXml, ReadsBackTheRoadItWasWrittenFrom) {
    const Written w = Write("", "<StaEquation staBack=\"900\" staAhead=\"905.5\" staInternal=\"900\"/>\n");
    const std::vector<LandXmlAlignment> all = ReadLandXml(w.xml);
    ASSERT_EQ(all.size(), 1u);
    const LandXmlAlignment& a = all[0];
    EXPECT_EQ(a.name, "A线");
    EXPECT_EQ(a.start.distance, 500);
    ASSERT_EQ(a.equations.size(), 1u);
    EXPECT_EQ(a.equations[0].ahead, 905.5);
    const Alignment line(a.start, a.elements);
    EXPECT_NEAR(line.EndDistance(), w.road.line.EndDistance(), 1e-6);
    for (const JdCurve& c : w.road.curves)
        for (const MainPoint& p : c.points) {
            const Station st = line.At(p.distance);
            EXPECT_NEAR(st.X, p.X, 1e-6) << c.name << " " << p.name;
            EXPECT_NEAR(st.Y, p.Y, 1e-6) << c.name << " " << p.name;
            EXPECT_NEAR(std::remainder(st.azimuth - p.azimuth, 360.0), 0, 1e-7) << c.name << " " << p.name;
        }
}

TEST(LandXml, RefusesWhatItCannotReadNamingTheElement) {
    const std::string good = Write().xml;
    struct Row {
        const char* name;
        std::string xml;
        const char* says;
    };
    std::string bloss = good;
    bloss.replace(bloss.find("spiType=\"clothoid\""), 18, "spiType=\"bloss\"");
    std::string gap = good;  // the second line starts 2 mm off the first curve's end
    const std::string tail = "<Line><Start>0 0</Start><End>10 10</End></Line>\n";
    std::string kink = Write("").xml;
    {
        // Turn the last line by 2″ about its start.
        const auto at = kink.rfind("<Line");
        const auto endAt = kink.find("<End>", at) + 5;
        const auto endStop = kink.find("</End>", endAt);
        double X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;
        std::sscanf(kink.c_str() + kink.find("<Start>", at) + 7, "%lf %lf", &X0, &Y0);
        std::sscanf(kink.c_str() + endAt, "%lf %lf", &X1, &Y1);
        const double turn = 2.0 / 3600 * kPi / 180;
        const double dX = X1 - X0, dY = Y1 - Y0;
        kink.replace(endAt, endStop - endAt,
                     PointText(X0 + dX * std::cos(turn) - dY * std::sin(turn), Y0 + dX * std::sin(turn) + dY * std::cos(turn)));
    }
    {
        const auto at = gap.find("<Line", gap.find("</Curve>"));
        const auto startAt = gap.find("<Start>", at) + 7;
        double X = 0, Y = 0;
        std::sscanf(gap.c_str() + startAt, "%lf %lf", &X, &Y);
        gap.replace(startAt, gap.find("</Start>", startAt) - startAt, PointText(X + 0.002, Y));
    }
    std::string nested = "<LandXML>";
    for (int i = 0; i < 100; ++i) nested += "<a>";
    const Row rows[] = {
        {"other_spiral_type", bloss, "bloss 型缓和曲线"},
        {"gap_of_2mm", gap, "第 5 个线元（Line）的起点与前一线元的终点相距 0.002 米"},
        {"kink_of_2_seconds", kink, "切线方向相差"},
        {"stray_element", Write(tail).xml, "第 12 个线元（Line）的起点"},
        {"nan_point", Write("<Line><Start>nan 1</Start><End>1 1</End></Line>").xml, "Start 点"},
        {"huge_point", Write("<Line><Start>1e308 1</Start><End>1 1</End></Line>").xml, "超出了可以计算的范围"},
        {"no_alignment", "<LandXML><Alignments/></LandXML>", "没有含平面线形"},
        {"not_xml", "<LandXML><Alignment>", "不是格式正确的 XML"},
        {"deep_nesting", nested, "嵌套超过 64 层"},
        {"entity_bomb",
         "<?xml version=\"1.0\"?><!DOCTYPE l [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
         "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">]><l>&d;&d;&d;</l>",
         "DTD"},
        {"too_large", std::string(17 << 20, ' '), "文件太大"},
    };
    const auto started = std::chrono::steady_clock::now();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string message = Refusal(row.xml);
        EXPECT_NE(message.find(row.says), std::string::npos) << message;
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
}

TEST(LandXml, RefusesAStaEquationAwayFromItsInternalStation) {
    const std::string message =
        Refusal(Write("", "<StaEquation staBack=\"900\" staAhead=\"905.5\" staInternal=\"950\"/>\n").xml);
    EXPECT_NE(message.find("staInternal"), std::string::npos) << message;
}

}  // namespace
}  // namespace capbeam

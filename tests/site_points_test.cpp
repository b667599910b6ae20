// The set-out on site: points along each beam checked by their meaning on
// left- and right-hand curves and on an alignment that turns both ways; the
// stake-out against an independent polar check; D.MMSS at the carry; the
// files (CSV, CASS, GSI-16); the job's site fields; the terminal commands.
#include <gtest/gtest.h>

#include "tests/cli_run.h"

#include <cmath>
#include <fstream>
#include <random>
#include <set>
#include <sstream>

#include "cli/cli.h"
#include "core/dms.h"
#include "core/failure.h"
#include "core/text_formats.h"
#include "geometry/alignment_beam.h"
#include "geometry/beam_frame.h"
#include "geometry/stakeout.h"
#include "records/alignment_road.h"
#include "records/beam_points.h"
#include "records/export.h"
#include "records/pier_table.h"
#ifdef CAPBEAM_WITH_JOBS
#include "flows/job_replay.h"
#include "records/job.h"
#endif

using namespace capbeam;

namespace {

constexpr double kMetres = 1e-4;     // 0.1 mm
constexpr double kDegrees = 1e-9;    // far below 0.1″
constexpr double kPi = 3.14159265358979323846;

struct Vec {
    double X, Y;
};
Vec Minus(double X1, double Y1, double X2, double Y2) { return {X1 - X2, Y1 - Y2}; }
double Dot(Vec a, Vec b) { return a.X * b.X + a.Y * b.Y; }
double Cross(Vec a, Vec b) { return a.X * b.Y - a.Y * b.X; }  // > 0: b lies clockwise of a (X north, Y east)
Vec Unit(Vec a) {
    const double n = std::hypot(a.X, a.Y);
    return {a.X / n, a.Y / n};
}

const std::vector<BeamPointDef> kDefs{{"Z1", -3.5, 0}, {"Z2", 3.5, 0}, {"ZJ1", -3.5, 1.2}, {"HZ1", 10, 0},
                                      {"HZ2", -15.25, 0}, {"Q", 0, -2.75}};

// Every point of the pier checked against the beam's meaning: the road's
// forward direction t at the centre taken from the centre line itself
// (centres a centimetre either side), the right-hand end the one clockwise
// of t, each point `along` from the centre along the axis towards it and
// `across` square to the axis on the side t points to.
void ExpectPointsMean(const PierRow& row, Vec t, const std::vector<SitePoint>& points, const std::string& pier,
                      bool alignment) {
    const BeamEnds& e = row.ends;
    const Vec toOut = Minus(e.Xout, e.Yout, e.Xk, e.Yk);
    const Vec toIn = Minus(e.Xin, e.Yin, e.Xk, e.Yk);
    const bool outerIsRight = Cross(t, toOut) > 0;
    ASSERT_NE(outerIsRight, Cross(t, toIn) > 0) << "the ends lie on the two sides of the road";
    const Vec right = outerIsRight ? Vec{e.Xout, e.Yout} : Vec{e.Xin, e.Yin};
    const Vec left = outerIsRight ? Vec{e.Xin, e.Yin} : Vec{e.Xout, e.Yout};
    const Vec u = Unit(Minus(right.X, right.Y, left.X, left.Y));
    Vec v{-u.Y, u.X};  // one of the two normals; the one with t
    if (Dot(v, t) < 0) v = {-v.X, -v.Y};

    ASSERT_EQ(points.size(), 3 + kDefs.size());
    EXPECT_EQ(points[0].name, pier + "-C");
    EXPECT_EQ(points[1].name, pier + (alignment ? "-L" : "-IN"));
    EXPECT_EQ(points[2].name, pier + (alignment ? "-R" : "-OUT"));
    EXPECT_EQ(points[0].X, e.Xk);
    EXPECT_EQ(points[1].Y, e.Yin);
    EXPECT_EQ(points[2].X, e.Xout);
    for (std::size_t i = 0; i < kDefs.size(); ++i) {
        const SitePoint& p = points[3 + i];
        EXPECT_EQ(p.name, pier + "-" + kDefs[i].name);
        const Vec d = Minus(p.X, p.Y, e.Xk, e.Yk);
        EXPECT_NEAR(Dot(d, u), kDefs[i].along, kMetres) << p.name;
        EXPECT_NEAR(Dot(d, v), kDefs[i].across, kMetres) << p.name;
        // The distance from the axis line through the two ends, by the area of
        // the triangle they make with the point.
        const double off = std::fabs(Cross(Minus(right.X, right.Y, left.X, left.Y), Minus(p.X, p.Y, left.X, left.Y))) /
                           std::hypot(right.X - left.X, right.Y - left.Y);
        EXPECT_NEAR(off, std::fabs(kDefs[i].across), kMetres) << p.name;
    }
}

struct CurveCase {
    CurveSetUp setUp;
    CurveInputs inputs;
    double Dr;
};

CurveCase RandomCurve(std::mt19937_64& random, float P) {
    std::uniform_real_distribution<double> coordinate(-5000, 5000), radius(60, 3000), turn(0, 2 * kPi),
        chainage(0, 5000), whole(35, 145), width(2, 20);
    CurveInputs in;
    in.Xo = coordinate(random);
    in.Yo = coordinate(random);
    in.R = radius(random);
    const double a = turn(random);
    in.Xj = in.Xo + in.R * std::cos(a);
    in.Yj = in.Yo + in.R * std::sin(a);
    in.Kj = chainage(random);
    // D.MMSS with whole minutes and seconds
    const int minutes = static_cast<int>(random() % 60), seconds = static_cast<int>(random() % 60);
    in.Bdms = std::floor(whole(random)) + minutes / 100.0 + seconds / 10000.0;
    in.P = P;
    return {SetUpCurve(in), in, std::min(width(random), in.R / 4)};
}

}  // namespace

// ---- The beam's frame on single curves ---------------------------------------

TEST(BeamFrame, PointsLieAtTheirDistancesOnRightAndLeftHandCurves) {
    std::mt19937_64 random(20261208);
    int checked[2] = {0, 0};
    for (int n = 0; n < 400; ++n) {
        const float P = n % 2 ? 1.0f : -1.0f;
        const CurveCase c = RandomCurve(random, P);
        const Orientation orientation = n % 4 < 2 ? Orientation::Parallel : Orientation::Tangent;
        std::uniform_real_distribution<double> along(-0.2 * c.inputs.R, 0.2 * c.inputs.R);
        const double Kp = c.inputs.Kj + along(random);
        PierTable table;
        table.StartGroup(c.inputs, c.setUp.curve, c.setUp.design);
        try {
            table.Add(RowOf(Kp, c.Dr, PlaceBeam(c.setUp.curve, c.setUp.design, Kp, c.Dr, orientation)));
        } catch (const Failure&) {
            continue;  // the beam turned too far from the radius: no ends
        }
        const PierRow& row = table.Groups()[0].rows[0];
        const BeamEnds ahead = PlaceBeam(c.setUp.curve, c.setUp.design, Kp + 0.01, c.Dr, Orientation::Tangent).ends;
        const BeamEnds behind = PlaceBeam(c.setUp.curve, c.setUp.design, Kp - 0.01, c.Dr, Orientation::Tangent).ends;
        const Vec t = Unit(Minus(ahead.Xk, ahead.Yk, behind.Xk, behind.Yk));
        SiteWork site;
        site.beamPoints = kDefs;
        site.pierNames[1] = "3#墩";
        ExpectPointsMean(row, t, SitePointsOf(table, site), "3#墩", false);
        // On a right-hand curve O lies on the right: the inner end is the right one.
        const BeamFrame frame = FrameOf(row.ends, ForwardAzimuthOnCurve(c.setUp.curve, row.ends.Xk, row.ends.Yk));
        EXPECT_EQ(frame.rightIsOuter, P < 0);
        ++checked[P > 0];
        if (HasFailure()) {
            ADD_FAILURE() << "generated case " << n << " R " << c.inputs.R << " P " << P;
            return;
        }
    }
    EXPECT_GT(checked[0], 150);
    EXPECT_GT(checked[1], 150);
}

TEST(BeamFrame, EndLengthsAlongTheAxisAreTheEnds) {
    // The worked example: a right-hand curve, inner end 11.878 m, outer 11.784 m.
    CurveInputs in{1000, 2000, 1000, 1500, 2000, 60, 500, 1};
    for (const float P : {1.0f, -1.0f}) {
        in.P = P;
        const CurveSetUp s = SetUpCurve(in);
        const BeamPlacement b = PlaceBeam(s.curve, s.design, 1020, 10, Orientation::Parallel);
        const BeamFrame f = FrameOf(b.ends, ForwardAzimuthOnCurve(s.curve, b.ends.Xk, b.ends.Yk));
        const double Lright = f.rightIsOuter ? b.ends.Lout : b.ends.Lin;
        const double Lleft = f.rightIsOuter ? b.ends.Lin : b.ends.Lout;
        const FramePoint r = PointInFrame(f, Lright, 0), l = PointInFrame(f, -Lleft, 0);
        EXPECT_NEAR(r.X, f.rightIsOuter ? b.ends.Xout : b.ends.Xin, kMetres);
        EXPECT_NEAR(r.Y, f.rightIsOuter ? b.ends.Yout : b.ends.Yin, kMetres);
        EXPECT_NEAR(l.X, f.rightIsOuter ? b.ends.Xin : b.ends.Xout, kMetres);
        EXPECT_NEAR(l.Y, f.rightIsOuter ? b.ends.Yin : b.ends.Yout, kMetres);
    }
}

TEST(BeamFrame, ABeamWithoutLengthHasNoDirection) {
    BeamEnds e;
    e.Xk = e.Xin = e.Xout = 100;
    e.Yk = e.Yin = e.Yout = 200;
    EXPECT_THROW(FrameOf(e, 30), Failure);
    PierTable table;
    CurveInputs in{1000, 2000, 1000, 1500, 2000, 60, 500, 1};
    const CurveSetUp s = SetUpCurve(in);
    table.StartGroup(in, s.curve, s.design);
    table.Add(RowOf(1020, 0, PlaceBeam(s.curve, s.design, 1020, 0, Orientation::Parallel)));
    EXPECT_EQ(SitePointsOf(table, SiteWork{}).size(), 3u);  // centre and ends need no direction
    SiteWork site;
    site.beamPoints = {{"Z1", 1, 0}};
    try {
        SitePointsOf(table, site);
        FAIL();
    } catch (const Failure& failure) {
        EXPECT_NE(failure.message().text.find("第 1 行（P1）"), std::string::npos) << failure.message().text;
    }
}

// ---- On an alignment turning right, then left ---------------------------------

TEST(BeamFrame, PointsOnAnAlignmentFollowItsTangent) {
    std::ifstream file(std::string(CAPBEAM_SOURCE_DIR) + "/docs/example-jd.csv", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const LoadedRoad loaded = RoadFromJdTable(ReadJdTableCsv(text));
    const Alignment& line = loaded.road.Line();
    std::mt19937_64 random(14);
    std::uniform_real_distribution<double> distance(line.StartDistance() + 40, line.EndDistance() - 40);
    PierTable table;
    table.StartAlignmentGroup("example-jd");
    std::vector<Vec> tangents;
    for (int n = 0; n < 120; ++n) {
        BeamDesign design;
        design.Kj = 200;
        design.Bdms = n % 3 == 0 ? 90 : n % 3 == 1 ? 60.3 : 118.4521;
        design.DL = 10;
        design.DR = 12.5;
        design.orientation = n % 2 ? BeamOrientation::Parallel : BeamOrientation::Tangent;
        const double Kp = distance(random);
        PierRow row;
        try {
            row.ends = PlaceBeam(line, design, Kp);
        } catch (const Failure&) {
            continue;
        }
        row.Kp = Kp;
        table.AddAlignmentRow(row);
        const Station a = line.At(Kp + 0.01), b = line.At(Kp - 0.01);
        tangents.push_back(Unit(Minus(a.X, a.Y, b.X, b.Y)));
    }
    ASSERT_GT(tangents.size(), 100u);
    SiteWork site;
    site.beamPoints = kDefs;
    const std::vector<SitePoint> points = SitePointsOf(table, site);
    const std::size_t each = 3 + kDefs.size();
    ASSERT_EQ(points.size(), each * tangents.size());
    const std::vector<PierRow>& rows = table.Groups()[0].rows;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::vector<SitePoint> pier(points.begin() + static_cast<std::ptrdiff_t>(i * each),
                                          points.begin() + static_cast<std::ptrdiff_t>((i + 1) * each));
        ExpectPointsMean(rows[i], tangents[i], pier, DefaultPierName(rows[i].number), true);
        if (HasFailure()) return;
    }
}

// ---- Stake-out ----------------------------------------------------------------

TEST(Stakeout, AzimuthAngleAndDistanceCarryTheStationToEachPoint) {
    std::mt19937_64 random(3);
    std::uniform_real_distribution<double> coordinate(-3000, 3000), azimuth(0, 360);
    for (int n = 0; n < 2000; ++n) {
        SiteStation s{"T1", coordinate(random), coordinate(random), n % 2 == 0, "T2", coordinate(random),
                      coordinate(random), 0};
        s.backsightAzimuthDms = std::floor(azimuth(random)) + (random() % 60) / 100.0 + (random() % 600) / 100000.0;
        const std::vector<SitePoint> points{{"A", coordinate(random), coordinate(random)},
                                            {"B", s.X + coordinate(random) * 1e-3, s.Y}};
        const StakeoutRow back = BacksightRow(s);
        const std::vector<StakeoutRow> rows = StakeoutOf(s, points);
        ASSERT_EQ(rows.size(), 2u);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const StakeoutRow& r = rows[i];
            const double a = r.azimuth * kPi / 180;
            // Going out from the station along the azimuth by the distance reaches the point.
            EXPECT_NEAR(s.X + r.distance * std::cos(a), points[i].X, 1e-6);
            EXPECT_NEAR(s.Y + r.distance * std::sin(a), points[i].Y, 1e-6);
            EXPECT_GE(r.azimuth, 0);
            EXPECT_LT(r.azimuth, 360);
            EXPECT_GE(r.angle, 0);
            EXPECT_LT(r.angle, 360);
            const double expected = r.azimuth >= back.azimuth ? r.azimuth - back.azimuth : r.azimuth - back.azimuth + 360;
            EXPECT_NEAR(r.angle, expected == 360 ? 0 : expected, kDegrees);
        }
        if (s.backsightIsAzimuth) {
            EXPECT_NEAR(back.azimuth, DecimalDegrees(SplitDms(s.backsightAzimuthDms)), kDegrees);
            EXPECT_EQ(back.distance, 0);
        } else {
            EXPECT_NEAR(back.distance, std::hypot(s.backsightX - s.X, s.backsightY - s.Y), 1e-9);
        }
        EXPECT_EQ(back.angle, 0);
        if (HasFailure()) return;
    }
}

TEST(Stakeout, QuadrantsAsTheInstrumentShowsThem) {
    const SiteStation s{"T1", 1000, 2000, false, "T2", 1000, 2100, 0};  // backsight due east
    struct Row {
        const char* name;
        double X, Y;
        const char* azimuth;
        const char* angle;
        const char* distance;
    };
    const Row rows[] = {
        {"north", 1100, 2000, "0.00000", "270.00000", "100.000"},
        {"north-east", 1010, 2010, "45.00000", "315.00000", "14.142"},
        {"east", 1000, 2050, "90.00000", "0.00000", "50.000"},
        {"south-east", 990, 2010, "135.00000", "45.00000", "14.142"},
        {"south", 900, 2000, "180.00000", "90.00000", "100.000"},
        {"south-west", 990, 1990, "225.00000", "135.00000", "14.142"},
        {"west", 1000, 1999.999, "270.00000", "180.00000", "0.001"},
        {"north-west", 1010, 1990, "315.00000", "225.00000", "14.142"},
        {"a hair west of north", 1100, 1999.999999, "0.00000", "270.00000", "100.000"},
        {"on the station", 1000, 2000, "0.00000", "270.00000", "0.000"},
    };
    for (const Row& r : rows) {
        const StakeoutRow got = StakeoutOf(s, {{r.name, r.X, r.Y}})[0];
        EXPECT_EQ(AzimuthDmsText(got.azimuth), r.azimuth) << r.name;
        EXPECT_EQ(AzimuthDmsText(got.angle), r.angle) << r.name;
        EXPECT_EQ(FixedText(got.distance), r.distance) << r.name;
    }
    SiteStation same = s;
    same.backsightX = s.X;
    same.backsightY = s.Y;
    EXPECT_THROW(BacksightRow(same), Failure);
}

TEST(Dms, AzimuthTextsCarryAndNeverShowAFullTurn) {
    struct Row {
        double degrees;
        const char* text;
    };
    const Row rows[] = {
        {0, "0.00000"},
        {359.99999, "0.00000"},                               // 359°59′59.964″
        {359 + 59 / 60.0 + 59.94 / 3600, "359.59599"},
        {10 + 59 / 60.0 + 59.97 / 3600, "11.00000"},  // 59.97″ carries into minutes and degrees, never "60″"
        {59 / 60.0 + 59.96 / 3600, "1.00000"},
        {59.94 / 3600, "0.00599"},
        {12.5, "12.30000"},
        {45 + 30 / 60.0 + 15.05 / 3600, "45.30150"},
        {ReduceToTurn(-1e-13), "0.00000"},  // 359.9999999999999
        {ReduceToTurn(-1e-15), "0.00000"},  // 360 - 1e-15 is 360 in double
    };
    for (const Row& r : rows) {
        EXPECT_EQ(AzimuthDmsText(r.degrees), r.text) << r.degrees;
    }
    EXPECT_LT(ReduceToTurn(-1e-13), 360);
    EXPECT_EQ(ReduceToTurn(-1e-15), 0);
    EXPECT_EQ(ReduceToTurn(720.5), 0.5);
    EXPECT_EQ(ReduceToTurn(-90), 270);
}

// ---- Names, rows, files -------------------------------------------------------

namespace {

PierTable ExampleTable() {
    CurveInputs in{1000, 2000, 1000, 1500, 2000, 60, 500, 1};
    const CurveSetUp s = SetUpCurve(in);
    PierTable table;
    table.StartGroup(in, s.curve, s.design);
    for (const double Kp : {980.0, 1000.0, 1020.0, 1000.0004, 1040.0})
        table.Add(RowOf(Kp, 10, PlaceBeam(s.curve, s.design, Kp, 10, Orientation::Parallel)));
    return table;
}

}  // namespace

TEST(SitePoints, DefaultNamesGiveTheTablesCassFileByteForByte) {
    const PierTable table = ExampleTable();
    EXPECT_EQ(SitePointsCass(SitePointsOf(table, SiteWork{})), CassPoints(table));
}

TEST(SitePoints, RenamedAndDeletedRows) {
    const PierTable table = ExampleTable();
    SiteWork site;
    site.pierNames[3] = "3#墩";
    site.deletedPiers = {2, 4};
    site.beamPoints = {{"Z1", -3.5, 0}};
    const std::vector<SitePoint> points = SitePointsOf(table, site);
    std::vector<std::string> names;
    for (const SitePoint& p : points) names.push_back(p.name);
    EXPECT_EQ(names, (std::vector<std::string>{"P1-C", "P1-IN", "P1-OUT", "P1-Z1", "3#墩-C", "3#墩-IN", "3#墩-OUT",
                                               "3#墩-Z1", "P5-C", "P5-IN", "P5-OUT", "P5-Z1"}));
    EXPECT_EQ(RepeatedChainages(table), (std::map<int, int>{{4, 2}}));  // 1000.0004 is 1000 to the millimetre
}

TEST(SitePoints, NamesAndListsAreChecked) {
    struct Row {
        const char* name;
        SiteWork site;
        const char* says;
    };
    const auto points = [](std::vector<BeamPointDef> defs) {
        SiteWork s;
        s.beamPoints = std::move(defs);
        return s;
    };
    const auto pier = [](std::string name) {
        SiteWork s;
        s.pierNames[2] = std::move(name);
        return s;
    };
    SiteWork badAzimuth;
    badAzimuth.station = SiteStation{"T1", 0, 0, true, "", 0, 0, 30.75};
    const Row rows[] = {
        {"empty point name", points({{"", 1, 0}}), "空的"},
        {"the same point twice", points({{"Z1", 1, 0}, {"Z1", 2, 0}}), "重复"},
        {"a point named as an end", points({{"IN", 1, 0}}), "重复"},
        {"a comma in a pier name", pier("3,4"), "逗号"},
        {"a blank after a pier name", pier("3#墩 "), "空格"},
        {"a new line in a pier name", pier("3\n"), "控制字符"},
        {"a pier name too long", pier(std::string(33, 'A')), "太长"},
        {"an azimuth that is not D.MMSS", badAzimuth, "度.分秒"},
    };
    for (const Row& r : rows) {
        try {
            CheckSiteWork(r.site);
            ADD_FAILURE() << r.name << " passed";
        } catch (const Failure& failure) {
            EXPECT_NE(failure.message().text.find(r.says), std::string::npos) << r.name << ": " << failure.message().text;
        }
    }
    EXPECT_NO_THROW(CheckSiteWork(pier(std::string(32, 'A'))));
    EXPECT_NO_THROW(CheckSiteWork(pier("十一号墩（左幅）")));
}

TEST(Files, PointsAndStakeoutCsv) {
    const std::vector<SitePoint> points{{"P1-C", 1499.6, 2019.995}, {"3#墩-Z1", -0.0001, 1e6 + 0.0004}};
    EXPECT_EQ(PointsCsv(points, false), "点名,X,Y\r\nP1-C,1499.600,2019.995\r\n3#墩-Z1,0.000,1000000.000\r\n");
    EXPECT_EQ(PointsCsv({}, true), "\xEF\xBB\xBF点名,X,Y\r\n");
    const StakeoutRow back{"T2", 90, 0, 100};
    EXPECT_EQ(StakeoutCsv(back, {{"P1-C", 359.999999, 269.999999, 12.3456}}, false),
              "点名,方位角,水平角,平距\r\nT2,90.00000,0.00000,100.000\r\nP1-C,0.00000,270.00000,12.346\r\n");
}

TEST(Files, GsiKeepsEveryDigitAndShortensNamesItCannotHold) {
    const std::vector<SitePoint> points{{"P3-C", 1499.6, 2019.995},
                                        {"3#墩-Z1", -12.3456, 3746812.3454},
                                        {"ABCDEFGHIJKLMNOPQRS", 1, 2},
                                        {"墩", 0, 0},
                                        {"3-Z1", 0, 0}};
    std::vector<RenamedPoint> renamed;
    const std::string gsi = SitePointsGsi(points, &renamed);
    std::istringstream lines(gsi);
    std::string line;
    std::vector<std::string> got;
    while (std::getline(lines, line)) {
        ASSERT_EQ(line.back(), '\r');
        line.pop_back();
        got.push_back(line);
    }
    ASSERT_EQ(got.size(), 5u);
    EXPECT_EQ(got[0], "*110001+000000000000P3-C 81..10+0000000002019995 82..10+0000000001499600 ");
    // Each word is 23 characters and a blank; the point's number right-aligned in 16.
    for (const std::string& l : got) {
        ASSERT_EQ(l.size(), 1 + 3 * 24u) << l;
        EXPECT_EQ(l.substr(24, 7), " 81..10");
        EXPECT_EQ(l.substr(48, 7), " 82..10");
    }
    const auto name = [&](std::size_t i) {
        std::string n = got[i].substr(8, 16);
        return n.substr(n.find_first_not_of('0'));
    };
    // A name another point keeps is never taken by a shortened one.
    EXPECT_EQ(name(4), "3-Z1");
    EXPECT_NE(name(1), "3-Z1");
    EXPECT_EQ(name(2), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(name(3), "N4");
    // Millimetres read back as the three decimals of the other files.
    EXPECT_EQ(got[1].substr(31, 17), "+0000003746812345");
    EXPECT_EQ(got[1].substr(55, 17), "-0000000000012346");
    ASSERT_EQ(renamed.size(), 3u);
    EXPECT_EQ(renamed[0].name, "3#墩-Z1");
    const std::string message = RenamedMessage(renamed).value();
    EXPECT_NE(message.find("3#墩-Z1 → " + renamed[0].written), std::string::npos);
    EXPECT_NE(message.find("16 个字符"), std::string::npos);
    EXPECT_FALSE(RenamedMessage({}));
}

// Whatever the names, the GSI file's point numbers are unique, within the
// format's characters and length, and a name that fits is kept as it is.
TEST(Files, GsiNamesStayUniqueAndWithinTheFormat) {
    std::mt19937_64 random(16);
    const std::vector<std::string> pieces{"P", "3", "#", "墩", "-", "Z", "1", "_", ".", "左幅", "HZ", "0", "A"};
    for (int round = 0; round < 200; ++round) {
        std::vector<SitePoint> points;
        const int count = 1 + static_cast<int>(random() % 40);
        for (int i = 0; i < count; ++i) {
            std::string name;
            const int length = static_cast<int>(random() % 12);
            for (int k = 0; k < length; ++k) name += pieces[random() % pieces.size()];
            points.push_back({name, static_cast<double>(random() % 100000) / 7, -static_cast<double>(random() % 1000)});
        }
        std::vector<RenamedPoint> renamed;
        const std::string gsi = SitePointsGsi(points, &renamed);
        std::istringstream lines(gsi);
        std::string line;
        std::set<std::string> numbers;
        std::size_t n = 0, shortened = 0;
        while (std::getline(lines, line)) {
            ASSERT_LT(n, points.size());
            std::string number = line.substr(8, 16);
            number.erase(0, number.find_first_not_of('0'));
            for (const char c : line.substr(8, 16))
                ASSERT_TRUE(std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.') << line;
            EXPECT_TRUE(numbers.insert(line.substr(8, 16)).second) << line;
            const std::string& name = points[n].name;
            if (number != name) ++shortened;  // as an instrument reads it back, without the padding
            // Millimetres with their sign, as the three decimals of the CSV say them.
            const auto millimetres = [&line](std::size_t at) {
                return (line[at] == '-' ? -1 : 1) * std::stoll(line.substr(at + 1, 16));
            };
            EXPECT_EQ(millimetres(31), std::llround(std::stod(FixedText(points[n].Y)) * 1000)) << line;
            EXPECT_EQ(millimetres(55), std::llround(std::stod(FixedText(points[n].X)) * 1000)) << line;
            ++n;
        }
        EXPECT_EQ(n, points.size());
        EXPECT_EQ(renamed.size(), shortened);
        if (HasFailure()) return;
    }
}

// ---- The job's site fields and the terminal ----------------------------------

#ifdef CAPBEAM_WITH_JOBS
namespace {

std::string ExampleJobText() {
    std::ifstream file(std::string(CAPBEAM_SOURCE_DIR) + "/docs/example.capbeam", std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

SiteWork SomeSite() {
    SiteWork site;
    site.pierNames = {{1, "1#墩"}, {4, "右幅 4#"}};
    site.deletedPiers = {2};
    site.beamPoints = {{"Z1", -3.5, 0}, {"ZJ", 0.1 + 0.2, -1.2}};
    site.station = SiteStation{"T1", 1480.25, 1990.5, false, "T2", 1600, 2100.125, 0};
    return site;
}

using test::Cli;
using test::CliRun;

}  // namespace

TEST(JobSite, RoundTripsAndOlderFilesHaveNone) {
    Job job = ReadJob(ExampleJobText());
    EXPECT_TRUE(job.site.Empty());
    EXPECT_EQ(WriteJob(job).find("pierNames"), std::string::npos);  // nothing to keep, nothing written
    job.site = SomeSite();
    const std::string text = WriteJob(job);
    EXPECT_NE(text.find("\"minor\": 2"), std::string::npos);
    const Job again = ReadJob(text);
    EXPECT_EQ(again.site, job.site);
    EXPECT_EQ(again, job);
    job.site.station = SiteStation{"T1", 1480.25, 1990.5, true, "", 0, 0, 123.4559};  // an azimuth has no point
    EXPECT_EQ(ReadJob(WriteJob(job)).site, job.site);
}

TEST(JobSite, BadFieldsAreRefusedByName) {
    const std::string base = ExampleJobText();
    struct Row {
        const char* field;
        const char* says;
    };
    const Row rows[] = {
        {"\"pierNames\": [\"1#墩\"]", "pierNames"},
        {"\"pierNames\": {\"0\": \"x\"}", "行号"},
        {"\"pierNames\": {\"one\": \"x\"}", "不是行号"},
        {"\"pierNames\": {\"1\": 5}", "文字"},
        {"\"deletedPiers\": [1.5]", "deletedPiers"},
        {"\"beamPoints\": [{\"name\": \"Z1\"}]", "along"},
        {"\"beamPoints\": [{\"name\": \"Z1\", \"along\": 1}, {\"name\": \"Z1\", \"along\": 2}]", "重复"},
        {"\"station\": {\"X\": 1, \"Y\": 2}", "后视"},
        {"\"station\": {\"X\": 1, \"Y\": 2, \"backsightAzimuth\": 30.75}", "度.分秒"},
    };
    for (const Row& r : rows) {
        std::string text = base;
        text.replace(text.find("\"minor\": 0"), 10, std::string("\"minor\": 1, ") + r.field);
        try {
            ReadJob(text);
            ADD_FAILURE() << r.field << " opened";
        } catch (const Failure& failure) {
            EXPECT_NE(failure.message().text.find(r.says), std::string::npos) << r.field << ": " << failure.message().text;
            EXPECT_NE(failure.message().text.find("当前的作业没有改变"), std::string::npos);
        }
    }
}

TEST(SiteCli, PointsAndStakeoutOfAJob) {
    const std::string example = std::string(CAPBEAM_SOURCE_DIR) + "/docs/example.capbeam";
    const CliRun points = Cli({"points", "--job", example});
    ASSERT_EQ(points.status, 0) << points.err;
    EXPECT_EQ(points.out.rfind("点名,X,Y\r\nP1-C,1499.600,1980.005\r\n", 0), 0u) << points.out;
    EXPECT_NE(points.out.find("P5-C,1499.600,2019.995\r\nP5-IN,1489.313,2025.934\r\nP5-OUT,1509.805,2014.103\r\n"),
              std::string::npos);
    EXPECT_EQ(std::count(points.out.begin(), points.out.end(), '\n'), 1 + 5 * 3);
    // CASS as the batch writes it for the same chainages.
    const CliRun cass = Cli({"points", "--job", example, "--format", "cass"});
    EXPECT_NE(cass.out.find("P2-OUT,,"), std::string::npos);

    // A job with names, a deleted row, points and a station.
    Job job = ReadJob(ExampleJobText());
    job.site = SomeSite();
    const std::string path = ::testing::TempDir() + "site-points-test.capbeam";
    std::ofstream(path, std::ios::binary) << WriteJob(job);
    const CliRun named = Cli({"points", "--job", path});
    ASSERT_EQ(named.status, 0) << named.err;
    EXPECT_EQ(named.out.find("P2-"), std::string::npos);
    EXPECT_NE(named.out.find("\r\n1#墩-Z1,"), std::string::npos);
    EXPECT_NE(named.out.find("\r\n右幅 4#-ZJ,"), std::string::npos);
    EXPECT_EQ(std::count(named.out.begin(), named.out.end(), '\n'), 1 + 4 * 5);

    const CliRun stake = Cli({"stakeout", "--job", path});  // the job's own station
    ASSERT_EQ(stake.status, 0) << stake.err;
    EXPECT_EQ(stake.out.rfind("点名,方位角,水平角,平距\r\nT2,", 0), 0u) << stake.out;
    const CliRun byAzimuth = Cli({"stakeout", "--job", path, "--station", "1500,2000", "--backsight-azimuth", "90"});
    ASSERT_EQ(byAzimuth.status, 0) << byAzimuth.err;
    // P1-C (1499.6, 1980.005) from (1500, 2000): 20 m nearly due west.
    const PierTable replayed = ReplayedTable(job);
    const BeamEnds& first = replayed.Groups()[0].rows[0].ends;
    const double azimuth = std::atan2(first.Yk - 2000, first.Xk - 1500) * 180 / kPi + 360;
    EXPECT_NE(byAzimuth.out.find("后视,90.00000,0.00000,\r\n1#墩-C," + AzimuthDmsText(azimuth) + "," +
                                 AzimuthDmsText(azimuth - 90) + "," + FixedText(std::hypot(0.4, 19.995)) + "\r\n"),
              std::string::npos)
        << byAzimuth.out;

    struct Bad {
        std::vector<std::string> args;
        const char* says;
    };
    const Bad bad[] = {
        {{"points"}, "--job"},
        {{"points", "--job", path, "--format", "dxf"}, "csv、cass 或 gsi"},
        {{"points", "--job", path, "--station", "1,2"}, "不认识的选项 --station"},
        {{"stakeout", "--job", example, "--station", "1,2"}, "后视"},
        {{"stakeout", "--job", example, "--backsight", "1,2"}, "--station"},
        {{"stakeout", "--job", path, "--station", "1;2", "--backsight", "3,4"}, "X,Y"},
        {{"stakeout", "--job", path, "--backsight", "1,2", "--backsight-azimuth", "3"}, "只能给一种"},
        {{"stakeout", "--job", path, "--backsight-azimuth", "30.75"}, "度.分秒"},
        {{"stakeout", "--job", path, "--station", "1600,2100.125", "--backsight", "1600,2100.125"}, "重合"},
        {{"points", "--job", path + ".missing"}, "找不到这个文件"},
    };
    for (const Bad& b : bad) {
        const CliRun r = Cli(b.args);
        EXPECT_EQ(r.status, 2) << b.args.back();
        EXPECT_TRUE(r.out.empty()) << b.args.back();
        EXPECT_NE(r.err.find(b.says), std::string::npos) << b.args.back() << ": " << r.err;
    }
}

TEST(SiteCli, ARepeatedChainageIsFlagged) {
    std::string text = ExampleJobText();
    text.replace(text.find("[1040, 1060]"), 12, "[1040, 1060, 980]");
    const std::string path = ::testing::TempDir() + "site-points-repeat.capbeam";
    std::ofstream(path, std::ios::binary) << text;
    const CliRun r = Cli({"points", "--job", path});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("第 5 行（P5）的桩号与第 1 行（P1）相同"), std::string::npos) << r.err;
}
// The drawing and the sheet carry the set-out: every pier's points under its
// name, the deleted row's none, and the stake-out of each from the station.
TEST(SiteCli, DrawingAndSheetHoldTheSetOut) {
    Job job = ReadJob(ExampleJobText());
    job.site = SomeSite();
    job.site.pierNames = {{1, "A1"}, {4, "B4"}};  // ASCII: the DXF's names are GBK
    const std::string path = ::testing::TempDir() + "site-drawing-test.capbeam";
    std::ofstream(path, std::ios::binary) << WriteJob(job);
    const std::string dxf = ::testing::TempDir() + "site-drawing-test.dxf";
    const CliRun drawn = Cli({"drawing", "--job", path, "-o", dxf});
    ASSERT_EQ(drawn.status, 0) << drawn.err;
    std::ifstream file(dxf, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), {});
    for (const char* name : {"\nA1-C\r", "\nA1-Z1\r", "\nB4-ZJ\r", "\nP3-OUT\r", "\nP5-Z1\r"})
        EXPECT_NE(text.find(name), std::string::npos) << name;
    EXPECT_EQ(text.find("\nP2-"), std::string::npos);  // left out of the set-out

    struct Quiet : View {
        std::optional<std::string> PromptText(const std::string&, const Refusal*, const PromptHelp&) override {
            return std::nullopt;
        }
        void SetText(Box, const std::string&) override {}
        void EndProgram() override {}
        void ShowMessage(const Message&) override {}
    } view;
    Calculator c(view);
    ReplayJob(job, c);
    const SiteSheetParts parts = SiteSheetPartsOf(c.Table(), c.Site());
    EXPECT_EQ(parts.points.size(), 4u * 5u);
    ASSERT_EQ(parts.stakeout.size(), 1 + parts.points.size());  // the backsight's check first
    EXPECT_EQ(parts.stakeout.front().name, "T2");
    EXPECT_EQ(parts.stakeout.front().angle, 0);
    EXPECT_NE(parts.station.find("T1 (1480.250, 1990.500)"), std::string::npos) << parts.station;
}

#endif

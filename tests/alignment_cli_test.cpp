// capbeam-cli's commands on a whole road alignment, run in-process over
// string streams. Expected values come from outside the code under test: the
// published exam curve, points on straights and arcs reckoned here by hand,
// round trips (coord, then inverse), and the single-curve calculator.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "tests/cli_run.h"
#include "core/failure.h"
#include "records/chainage_text.h"

namespace capbeam {
namespace {

using test::Cli;
using test::CliRun;

constexpr double kPi = 3.14159265358979323846;
double Rad(double degrees) { return degrees * kPi / 180; }

const std::string kExample = std::string(CAPBEAM_SOURCE_DIR) + "/docs/example-jd.csv";

// A file in the test's scratch folder holding `text`.
std::string FileWith(const std::string& name, const std::string& text) {
    const std::string path = testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

// The CSV's rows split into fields (the commands quote only the set-up
// column of the batch, which the tests read whole).
std::vector<std::vector<std::string>> Rows(const std::string& csv) {
    std::vector<std::vector<std::string>> rows;
    std::size_t at = 0;
    while (at < csv.size()) {
        const std::size_t end = csv.find("\r\n", at);
        EXPECT_NE(end, std::string::npos) << "a line without CR LF";
        if (end == std::string::npos) break;
        std::vector<std::string> fields;
        std::string field;
        bool quoted = false;
        for (std::size_t i = at; i < end; ++i) {
            const char c = csv[i];
            if (c == '"') {
                if (quoted && i + 1 < end && csv[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    quoted = !quoted;
                }
            } else if (c == ',' && !quoted) {
                fields.push_back(field);
                field.clear();
            } else {
                field += c;
            }
        }
        fields.push_back(field);
        rows.push_back(fields);
        at = end + 2;
    }
    return rows;
}

double Number(const std::string& text) {
    std::string digits = text;
    if (const auto unit = digits.find("(米)"); unit != std::string::npos) digits.erase(unit);
    return std::stod(digits);
}
double K(const std::string& text) { return ReadChainage(text).value; }

// ---- The example file: JD1 the published exam curve, JD2 a plain arc ----------

// JD1 at K0+199.25, 199.25 m due north of the start; α = 22°33′ to the right.
// JD2 300 m on at azimuth 22°33′, turning back to due north, R = 400, no
// spirals; the end 300 m north of it. The long chain K0+700 = K0+690.
constexpr double kX0 = 3000, kY0 = 5000;
const double kAlpha = Rad(22 + 33 / 60.0);
const double kXjd2 = 3199.25 + 300 * std::cos(kAlpha), kYjd2 = 5000 + 300 * std::sin(kAlpha);
const double kT2 = 400 * std::tan(kAlpha / 2), kL2 = 400 * kAlpha, kE2 = 400 * (1 / std::cos(kAlpha / 2) - 1);

TEST(AlignmentCommand, MainPointsOfTheExampleInRoadOrder) {
    const CliRun run = Cli({"alignment", kExample});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const auto rows = Rows(run.out);
    ASSERT_EQ(rows.size(), 11u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"交点", "主点", "桩号", "X", "Y", "方位角"}));
    std::vector<std::string> names;
    for (std::size_t i = 1; i < rows.size(); ++i) names.push_back(rows[i][0] + " " + rows[i][1]);
    EXPECT_EQ(names, (std::vector<std::string>{"QD 起点", "JD1 ZH", "JD1 HY", "JD1 QZ", "JD1 YH", "JD1 HZ", "JD2 ZY",
                                               "JD2 QZ", "JD2 YZ", "ZD 终点"}));
    EXPECT_EQ(rows[1], (std::vector<std::string>{"QD", "起点", "K 0+ 0", "3000", "5000", "0.00000"}));

    // The published figures: ZH K0+138.70, HZ K0+258.70, the spirals meeting
    // at QZ (HY, QZ and YH at one chainage).
    EXPECT_NEAR(K(rows[2][2]), 138.70, 0.01);
    EXPECT_NEAR(K(rows[6][2]), 258.70, 0.01);
    EXPECT_EQ(rows[3][2], rows[4][2]);
    EXPECT_EQ(rows[4][2], rows[5][2]);
    // ZH on the first straight, due north of the start; HZ heading 22°33′.
    EXPECT_NEAR(Number(rows[2][3]), kX0 + 138.70, 0.01);
    EXPECT_EQ(rows[2][4], "5000");
    EXPECT_EQ(rows[2][5], "0.00000");
    EXPECT_EQ(rows[6][5], "22.33000");

    // JD2's plain arc, by hand: ZY and YZ T back and on from the JD along the
    // straights, QZ E from the JD towards the centre (on the left, along the
    // bisector at 281°16′30″); their chainages L apart.
    const struct {
        std::size_t row;
        double X, Y;
        const char* azimuth;
    } arc[] = {
        {7, kXjd2 - kT2 * std::cos(kAlpha), kYjd2 - kT2 * std::sin(kAlpha), "22.33000"},
        {8, kXjd2 + kE2 * std::cos(Rad(281.275)), kYjd2 + kE2 * std::sin(Rad(281.275)), "11.16300"},
        {9, kXjd2 + kT2, kYjd2, "0.00000"},
    };
    for (const auto& p : arc) {
        SCOPED_TRACE(rows[p.row][1]);
        EXPECT_NEAR(Number(rows[p.row][3]), p.X, 0.0006);
        EXPECT_NEAR(Number(rows[p.row][4]), p.Y, 0.0006);
        EXPECT_EQ(rows[p.row][5], p.azimuth);
    }
    EXPECT_NEAR(K(rows[9][2]) - K(rows[7][2]), kL2, 0.0011);
    EXPECT_NEAR(K(rows[8][2]) - K(rows[7][2]), kL2 / 2, 0.0011);
    // From HZ to ZY runs the straight between the curves: 300 m less both tangents.
    EXPECT_NEAR(K(rows[7][2]) - K(rows[6][2]), 300 - 60.55 - kT2, 0.01);
    // The end: 300 - T on from YZ, less the 10 m the long chain repeats.
    EXPECT_EQ(rows[10], (std::vector<std::string>{"ZD", "终点", rows[10][2], "3776.314", "5115.047", "0.00000"}));
    EXPECT_NEAR(K(rows[10][2]) - K(rows[9][2]), 300 - kT2 - 10, 0.0011);
}

// ---- coord ---------------------------------------------------------------------

TEST(CoordCommand, PointsOnTheFirstStraightByHand) {
    struct Row {
        const char* name;
        std::vector<std::string> options;
        std::string chainage;
        std::vector<std::string> expected;
    };
    const double c45 = 10 * std::cos(Rad(45));
    char X45[32], Y45[32], X135[32];
    std::snprintf(X45, sizeof X45, "%.3f", 3100 + c45);
    std::snprintf(Y45, sizeof Y45, "%.3f", 5000 + c45);
    std::snprintf(X135, sizeof X135, "%.3f", 3100 - c45);
    const Row rows[] = {
        {"centre", {}, "100", {"K 0+ 100", "0", "3100", "5000", "0.00000"}},
        {"right", {"--offset", "5"}, "K0+100", {"K 0+ 100", "5", "3100", "5005", "0.00000"}},
        {"left", {"--offset=-7.25"}, "K0+012.5", {"K 0+ 12.5", "-7.25", "3012.5", "4992.75", "0.00000"}},
        {"at_45", {"--offset", "10", "--angle", "45"}, "K 0+ 100", {"K 0+ 100", "10", X45, Y45, "0.00000"}},
        {"behind_at_135", {"--offset", "10", "--angle", "135"}, "100", {"K 0+ 100", "10", X135, Y45, "0.00000"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> args{"coord", "--alignment", kExample};
        args.insert(args.end(), row.options.begin(), row.options.end());
        args.push_back(row.chainage);
        const CliRun run = Cli(args);
        ASSERT_EQ(run.status, 0) << run.err;
        const auto out = Rows(run.out);
        ASSERT_EQ(out.size(), 2u);
        EXPECT_EQ(out[0], (std::vector<std::string>{"桩号", "偏距", "X", "Y", "方位角"}));
        EXPECT_EQ(out[1], row.expected);
    }
}

// The long chain K0+700 = K0+690: from K0+690 to K0+700 every chainage occurs
// twice, 10 m apart; on the last straight the road heads due north.
TEST(CoordCommand, LongChainStretchesOnTheLastStraight) {
    const CliRun run = Cli({"coord", "--alignment", kExample}, "K0+650 K0+695[0]\nK0+695[1], K 0+ 750\n");
    ASSERT_EQ(run.status, 0) << run.err;
    const auto rows = Rows(run.out);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[2][0], "K 0+ 695[0]");
    EXPECT_EQ(rows[3][0], "K 0+ 695[1]");
    for (std::size_t i = 1; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i][3], "5115.047") << rows[i][0];
        EXPECT_EQ(rows[i][4], "0.00000") << rows[i][0];
    }
    EXPECT_NEAR(Number(rows[2][2]) - Number(rows[1][2]), 45, 0.0011);
    EXPECT_NEAR(Number(rows[3][2]) - Number(rows[2][2]), 10, 0.0011);
    EXPECT_NEAR(Number(rows[4][2]) - Number(rows[3][2]), 55, 0.0011);
}

// Each chainage that cannot be computed is told on standard error as
// "chainage：reason"; the others are computed; the status is 1.
TEST(CoordCommand, RefusedChainagesAreToldAndTheRestComputed) {
    const std::string shortChain = FileWith("short-chain.csv",
                                            "QD,K0+000,0,0\nJD1,,500,0,300\nZD,,500,600\n断链,K0+300,K0+310\n");
    struct Row {
        const char* name;
        std::string file, chainage, says;
    };
    const Row rows[] = {
        {"not_a_chainage", kExample, "K0+1x0", "「1x0」"},
        {"not_k_notation", kExample, "K1.5+20", "不是一个桩号"},
        {"ambiguous_in_a_long_chain", kExample, "K0+695", "K0+695："},
        {"before_the_start", kExample, "-5", "不在路线范围内"},
        {"beyond_the_end", kExample, "K5+000", "不在路线范围内"},
        {"in_a_short_chain_gap", shortChain, "K0+305", "K0+305："},
        {"stretch_that_does_not_hold_it", kExample, "K0+100[1]", "K0+100[1]："},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const CliRun run = Cli({"coord", "--alignment", row.file, "100", row.chainage, "200"});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(Rows(run.out).size(), 3u) << "the other two chainages are computed";
        EXPECT_EQ(run.err.rfind(row.chainage + "：", 0), 0u) << run.err;
        EXPECT_NE(run.err.find(row.says), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
}

// ---- inverse -----------------------------------------------------------------

TEST(InverseCommand, PointsBesideTheFirstStraightByHand) {
    const CliRun run = Cli({"inverse", "--alignment", kExample, "3100,5005", "3012.5，4990"}, "3050 5000\n\n3100\t5002.5\n");
    ASSERT_EQ(run.status, 0) << run.err;
    const auto rows = Rows(run.out);
    ASSERT_EQ(rows.size(), 3u) << "pairs on the command line; standard input not read";
    EXPECT_EQ(rows[0], (std::vector<std::string>{"X", "Y", "桩号", "偏距"}));
    EXPECT_EQ(rows[1], (std::vector<std::string>{"3100", "5005", "K 0+ 100", "5"}));
    EXPECT_EQ(rows[2], (std::vector<std::string>{"3012.5", "4990", "K 0+ 12.5", "-10"}));

    const CliRun piped = Cli({"inverse", "--alignment", kExample}, "3050 5000\n\n3100\t5002.5\n");
    ASSERT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(Rows(piped.out), (std::vector<std::vector<std::string>>{{"X", "Y", "桩号", "偏距"},
                                                                      {"3050", "5000", "K 0+ 50", "0"},
                                                                      {"3100", "5002.5", "K 0+ 100", "2.5"}}));
}

TEST(InverseCommand, RefusesPointsWithoutAFootAndTextsThatAreNotPairs) {
    const CliRun run = Cli({"inverse", "--alignment", kExample}, "2900,5000\n3100,5005\n3100\nabc,5000\n3900,5115\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Rows(run.out).size(), 2u);
    for (const char* refused : {"2900,5000：", "3100：", "abc,5000：", "3900,5115："})
        EXPECT_NE(("\n" + run.err).find(std::string("\n") + refused), std::string::npos) << refused << " in\n" << run.err;
}

// Round trips over the whole example, spirals and arcs included: the point
// coord gives for a chainage and offset, located again, gives them back
// (within the millimetre the printed coordinates are rounded to).
TEST(InverseCommand, GivesBackWhatCoordComputed) {
    const std::vector<std::string> chainages{"K0+020", "K0+150.5", "K0+190", "K0+199.9", "K0+240", "K0+300",
                                             "K0+430", "K0+500",   "K0+560", "K0+695[0]", "K0+695[1]", "K0+760"};
    for (const char* offset : {"0", "12.5", "-9.75"}) {
        SCOPED_TRACE(offset);
        std::vector<std::string> args{"coord", "--alignment", kExample, "--offset", offset};
        args.insert(args.end(), chainages.begin(), chainages.end());
        const CliRun coord = Cli(args);
        ASSERT_EQ(coord.status, 0) << coord.err;
        std::string pairs;
        for (const auto& row : Rows(coord.out))
            if (row[0] != "桩号") pairs += row[2] + "," + row[3] + "\n";
        const CliRun inverse = Cli({"inverse", "--alignment", kExample}, pairs);
        ASSERT_EQ(inverse.status, 0) << inverse.err;
        const auto back = Rows(inverse.out);
        ASSERT_EQ(back.size(), chainages.size() + 1);
        for (std::size_t i = 0; i < chainages.size(); ++i) {
            SCOPED_TRACE(chainages[i]);
            const Chainage typed = ReadChainage(chainages[i]), found = ReadChainage(back[i + 1][2]);
            EXPECT_NEAR(found.value, typed.value, 0.0015);
            EXPECT_EQ(found.stretch, typed.stretch) << "the stretch is written where the chainage occurs twice";
            EXPECT_NEAR(Number(back[i + 1][3]), std::stod(offset), 0.0015);
        }
    }
}

// ---- batch --alignment ---------------------------------------------------------

std::vector<std::string> BatchOn(const std::string& file, std::vector<std::string> more) {
    std::vector<std::string> args{"batch", "--alignment", file};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

// Beams on the first straight, reckoned by hand: the axis at B clockwise from
// north, each end where it meets its edge, D / sin B along it; left (west)
// first. The columns are today's, 左侧/右侧 in place of 内侧/外侧.
TEST(AlignmentBatch, BeamsOnAStraightByHand) {
    struct Row {
        const char* name;
        std::vector<std::string> options;
        double B, DL, DR;
    };
    const Row rows[] = {
        {"square", {"--b", "90", "--dr", "10"}, 90, 10, 10},
        {"equal_halves", {"--b", "60", "--dr", "10"}, 60, 10, 10},
        {"left_narrower", {"--b", "60", "--dr", "10", "--dl", "6"}, 60, 6, 10},
        {"obtuse", {"--b=120.3", "--dr", "8.5", "--orientation", "tangent"}, 120.5, 8.5, 8.5},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> more{"--kj", "K0+080"};
        more.insert(more.end(), row.options.begin(), row.options.end());
        more.push_back("K0+050");
        const CliRun run = Cli(BatchOn(kExample, more));
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out.substr(0, run.out.find("\r\n")),
                  "序号,组号,盖梁方向,中桩桩号 Kp,中桩桩号 Kp (米),中桩纵座标 X (米),中桩横座标 Y (米),"
                  "左侧端点桩号 K,左侧端点桩号 K (米),左侧端点纵座标 X (米),左侧端点横座标 Y (米),左侧长度 L (米),"
                  "右侧端点桩号 K,右侧端点桩号 K (米),右侧端点纵座标 X (米),右侧端点横座标 Y (米),右侧长度 L (米),"
                  "平曲线设定");
        const auto out = Rows(run.out);
        ASSERT_EQ(out.size(), 2u);
        const auto& r = out[1];
        EXPECT_EQ(r[0] + r[1] + r[2], std::string("11") + (std::count(row.options.begin(), row.options.end(), "tangent") ? "与切线保持交角 B" : "平行于设计盖梁"));
        EXPECT_NE(r[17].find(kExample), std::string::npos) << "the set-up names the alignment's file";
        const double s = std::sin(Rad(row.B)), c = std::cos(Rad(row.B));
        const double Ll = row.DL / s, Lr = row.DR / s;
        const double expected[] = {50,      3050,    5000,    50 - Ll * c, 3050 - Ll * c, 5000 - Ll * s, Ll,
                                   50 + Lr * c, 3050 + Lr * c, 5000 + Lr * s, Lr};
        // Kp, the centre's X and Y, then each end's K, X, Y and L; the
        // columns between are each chainage again in metres.
        const std::size_t columns[] = {3, 5, 6, 7, 9, 10, 11, 12, 14, 15, 16};
        for (std::size_t i = 0; i < 11; ++i) {
            const std::string& cell = r[columns[i]];
            const double value = cell[0] == 'K' ? K(cell) : Number(cell);
            EXPECT_NEAR(value, expected[i], 0.0006) << "column " << columns[i] << ": " << cell;
        }
        for (const std::size_t k : {3, 7, 12}) EXPECT_NEAR(Number(r[k + 1]), K(r[k]), 0.0006) << "column " << k + 1;
    }
}

TEST(AlignmentBatch, RefusedBeamsAreToldAndTheRestRun) {
    const CliRun run = Cli(BatchOn(kExample, {"--kj", "100", "--b", "60", "--dr", "10"}), "50\nK0+695\nK9+000\nx\n60\n");
    EXPECT_EQ(run.status, 1);
    const auto rows = Rows(run.out);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1][0], "1");
    EXPECT_EQ(rows[2][0], "2");
    EXPECT_EQ(rows[2][3], "K 0+ 60");
    for (const char* refused : {"K0+695：", "K9+000：", "x："})
        EXPECT_NE(run.err.find(refused), std::string::npos) << refused << " in\n" << run.err;
}

// ---- The single arc against the single-curve calculator -----------------------

// A road heading due north from (0, 0), JD 300 m on, turning right by 60°
// onto a plain arc of R = 200: T = R tan 30°, the arc begins (ZY) T before the
// JD with its centre R due east of ZY. The point φ of arc beyond ZY lies at
// O + R (sin φ, −cos φ).
TEST(AlignmentBatch, SingleArcAgreesWithTheSingleCurveCalculator) {
    const double R = 200, T = R * std::tan(Rad(30)), ZY = 300 - T;
    char table[256];
    std::snprintf(table, sizeof table, "QD,0,0,0\nJD,,300,0,%.0f,0,0\nZD,,%.9f,%.9f\n", R, 300 + 300 * std::cos(Rad(60)),
                  300 * std::sin(Rad(60)));
    const std::string file = FileWith("single-arc.csv", table);
    const double Xo = ZY, Yo = R, Kj = 250, phi = (Kj - ZY) / R;
    char xo[32], yo[32], xj[32], yj[32];
    std::snprintf(xo, sizeof xo, "%.9f", Xo);
    std::snprintf(yo, sizeof yo, "%.9f", Yo);
    std::snprintf(xj, sizeof xj, "%.9f", Xo + R * std::sin(phi));
    std::snprintf(yj, sizeof yj, "%.9f", Yo - R * std::cos(phi));
    const std::vector<std::string> chainages{"205", "230", "250", "268.4", "300", "340"};

    double worst = 0;
    for (const char* orientation : {"parallel", "tangent"})
        for (const char* B : {"60", "90", "121.3015"}) {
            SCOPED_TRACE(std::string(orientation) + " B " + B);
            std::vector<std::string> single{"batch", "--xo", xo, "--yo", yo, "--kj", "250", "--xj", xj, "--yj", yj,
                                            "--b", B, "--r", "200", "--p", "1", "--dr", "12", "--orientation",
                                            orientation};
            std::vector<std::string> road =
                BatchOn(file, {"--kj", "250", "--b", B, "--dr", "12", "--orientation", orientation});
            single.insert(single.end(), chainages.begin(), chainages.end());
            road.insert(road.end(), chainages.begin(), chainages.end());
            const CliRun s = Cli(single), a = Cli(road);
            ASSERT_EQ(s.status, 0) << s.err;
            ASSERT_EQ(a.status, 0) << a.err;
            const auto srows = Rows(s.out), arows = Rows(a.out);
            ASSERT_EQ(srows.size(), chainages.size() + 1);
            ASSERT_EQ(arows.size(), chainages.size() + 1);
            for (std::size_t i = 1; i < srows.size(); ++i) {
                SCOPED_TRACE(chainages[i - 1]);
                // The curve bends right: its inner edge is the road's right.
                // Alignment columns 7..11 left, 12..16 right; single 7..11
                // inner, 12..16 outer (K text, metres, X, Y, L).
                const auto value = [](const std::string& cell) { return cell[0] == 'K' ? K(cell) : Number(cell); };
                for (std::size_t c = 5; c <= 6; ++c) {
                    EXPECT_NEAR(value(arows[i][c]), value(srows[i][c]), 0.0015);
                    worst = std::max(worst, std::fabs(value(arows[i][c]) - value(srows[i][c])));
                }
                for (std::size_t c = 0; c < 5; ++c) {
                    const double dl = value(arows[i][7 + c]) - value(srows[i][12 + c]);
                    const double dr = value(arows[i][12 + c]) - value(srows[i][7 + c]);
                    // Both printed to the millimetre: 0.5 mm of agreement and
                    // up to 1 mm of rounding between them.
                    EXPECT_NEAR(dl, 0, 0.0015) << "left, column " << 7 + c;
                    EXPECT_NEAR(dr, 0, 0.0015) << "right, column " << 12 + c;
                    worst = std::max({worst, std::fabs(dl), std::fabs(dr)});
                }
            }
        }
    RecordProperty("worst_printed_difference_mm", std::to_string(worst * 1000));
    std::printf("single arc: worst difference of the printed figures %.1f mm\n", worst * 1000);
}

// ---- Bad options and bad files: status 2, the problem named ----------------------

TEST(AlignmentCommands, BadOptionsAndFilesStopWithStatus2) {
    const std::string broken = FileWith("broken.csv", "QD,0,1,2\nJD1,,3,4,,30\nZD,,5,9\n");
    const std::string xml = FileWith("road.xml", "<?xml version=\"1.0\"?>\n<LandXML><Alignments/></LandXML>\n");
    struct Row {
        const char* name;
        std::vector<std::string> args;
        std::string says;
    };
    const Row rows[] = {
        {"no_file", {"alignment"}, "请给出线形文件"},
        {"missing_file", {"alignment", "/nonexistent/road.csv"}, "/nonexistent/road.csv"},
        {"broken_table", {"alignment", broken}, "第 2 行"},
        {"coord_without_alignment", {"coord", "100"}, "--alignment"},
        {"coord_bad_offset", {"coord", "--alignment", kExample, "--offset", "左", "100"}, "--offset"},
        {"coord_bad_angle", {"coord", "--alignment", kExample, "--angle", "30.75", "100"}, "--angle"},
        {"inverse_unknown_option", {"inverse", "--alignment", kExample, "--offset", "1"}, "--offset"},
        {"batch_without_kj", BatchOn(kExample, {"--b", "60", "--dr", "10", "100"}), "--kj"},
        {"batch_bad_skew", BatchOn(kExample, {"--kj", "100", "--b", "190", "--dr", "10", "100"}), "--b"},
        {"batch_negative_width", BatchOn(kExample, {"--kj", "100", "--b", "60", "--dr", "10", "--dl", "-1"}), "--dl"},
        {"batch_orientation", BatchOn(kExample, {"--kj", "100", "--b", "60", "--dr", "10", "--orientation", "x"}),
         "--orientation"},
        {"batch_design_off_the_road", BatchOn(kExample, {"--kj", "K3+000", "--b", "60", "--dr", "10"}), "设计盖梁"},
        {"batch_broken_file", BatchOn(broken, {"--kj", "100", "--b", "60", "--dr", "10"}), "第 2 行"},
#ifdef CAPBEAM_WITH_LANDXML
        {"landxml_without_alignment", {"alignment", xml}, "road.xml"},
#else
        {"landxml_without_qt", {"alignment", xml}, "LandXML"},
#endif
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const CliRun run = Cli(row.args, "100\n");
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(row.says), std::string::npos) << run.err;
    }
}

// Output that cannot be written is status 3, after everything was computed.
TEST(AlignmentCommands, UnwritableOutputIsStatus3) {
    std::istringstream in;
    std::ostringstream out, err;
    out.setstate(std::ios::badbit);
    EXPECT_EQ(RunCli({"alignment", kExample}, in, out, err), 3);
    EXPECT_NE(err.str().find("无法写出"), std::string::npos);
}

#ifdef CAPBEAM_WITH_LANDXML
// A LandXML road, told from a CSV by its content: 100 m due north, then a
// quarter circle of R 100 to the right about (100, 100), ending heading east.
TEST(AlignmentCommand, ReadsALandXmlFileByItsContent) {
    const std::string xml = FileWith(
        "quarter.dat",
        "<?xml version=\"1.0\"?>\n<LandXML version=\"1.2\"><Alignments>"
        "<Alignment name=\"A1\" staStart=\"1000\" length=\"257.08\"><CoordGeom>"
        "<Line><Start>0 0</Start><End>100 0</End></Line>"
        "<Curve rot=\"cw\" radius=\"100\"><Start>100 0</Start><Center>100 100</Center><End>200 100</End></Curve>"
        "</CoordGeom></Alignment></Alignments></LandXML>\n");
    const CliRun run = Cli({"alignment", xml});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Rows(run.out), (std::vector<std::vector<std::string>>{{"交点", "主点", "桩号", "X", "Y", "方位角"},
                                                                    {"A1", "起点", "K 1+ 0", "0", "0", "0.00000"},
                                                                    {"", "ZY", "K 1+ 100", "100", "0", "0.00000"},
                                                                    {"", "终点", "K 1+ 257.08", "200", "100", "90.00000"}}));
    // 45° round the arc, 10 m outside it (to the left of a right-hand curve).
    const CliRun coord = Cli({"coord", "--alignment", xml, "--offset", "-10", std::to_string(1100 + 25 * kPi)});
    ASSERT_EQ(coord.status, 0) << coord.err;
    const auto row = Rows(coord.out).at(1);
    EXPECT_NEAR(Number(row[2]), 100 + 110 * std::sin(Rad(45)), 0.0006);
    EXPECT_NEAR(Number(row[3]), 100 - 110 * std::cos(Rad(45)), 0.0006);
    EXPECT_EQ(row[4], "45.00000");
}
#endif

// An element table is told from a JD table by its start row's azimuth.
TEST(AlignmentCommand, ReadsAnElementTable) {
    const std::string file = FileWith("elements.csv",
                                      "QD,K0+000,0,0,90\n直线,100,,,\n圆曲线,50,100,100,左\n缓和曲线,40,100,∞,左\n");
    const CliRun run = Cli({"alignment", file});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto rows = Rows(run.out);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[1], (std::vector<std::string>{"QD", "起点", "K 0+ 0", "0", "0", "90.00000"}));
    // Heading due east, then an arc of R 100 turning left by 0.5 rad.
    EXPECT_EQ(rows[2], (std::vector<std::string>{"", "ZY", "K 0+ 100", "0", "100", "90.00000"}));
    EXPECT_EQ(rows[3][1], "YH");
    EXPECT_EQ(rows[3][2], "K 0+ 150");
    EXPECT_NEAR(Number(rows[3][3]), 100 * (1 - std::cos(0.5)), 0.0006);
    EXPECT_NEAR(Number(rows[3][4]), 100 + 100 * std::sin(0.5), 0.0006);
    EXPECT_EQ(rows[4][1], "终点");
    EXPECT_EQ(rows[4][2], "K 0+ 190");
}

}  // namespace
}  // namespace capbeam

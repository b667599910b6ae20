// capbeam-cli batch, run in-process over string streams: the set-up from
// options with the window's refusals, chainages from arguments or standard
// input, the CSV of the window's own rows, and the exit status.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>

#include "cli/cli.h"
#include "tests/calc_fixture.h"
#include "tests/scripted_view.h"

namespace capbeam::test {
namespace {

struct BatchRun {
    int status;
    std::string out, err;
};

BatchRun Batch(std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.begin(), "batch");
    std::istringstream in(input);
    std::ostringstream out, err;
    BatchRun run;
    run.status = RunCli(args, in, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

const std::vector<std::string> kCurve = {"--xo", "1000", "--yo", "2000", "--kj", "1000", "--xj", "1500",
                                         "--yj", "2000", "--b",  "60",   "--r",  "500",  "--p",  "1"};

std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

// The worked example's rows (B = 60, R = 500, Dr = 10, J due north of O on a
// right-hand curve), as the README gives them; 1000 is the design chainage.
// Each chainage as its K text and as metres, coordinates and lengths with
// three decimals.
const std::map<std::string, std::string> kExampleRows = {
    {"1020", "K 1+ 20,1020,1499.600,2019.995,K 1+ 26.475,1026.475,1489.313,2025.934,11.878,"
             "K 1+ 13.828,1013.828,1509.805,2014.103,11.784"},
    {"980", "K 0+ 980,980,1499.600,1980.005,K 0+ 985.374,985.374,1489.790,1985.669,11.327,"
            "K 0+ 974.865,974.865,1509.356,1974.373,11.265"},
    {"1000", "K 1+ 0,1000,1500.000,2000.000,K 1+ 5.912,1005.912,1489.966,2005.793,11.587,"
             "K 0+ 994.358,994.358,1509.968,1994.245,11.510"},
};

// The CSV of those rows, in the order given.
std::string ExampleCsv(const std::vector<std::string>& chainages) {
    std::string csv =
        "序号,组号,盖梁方向,中桩桩号 Kp,中桩桩号 Kp (米),中桩纵座标 X (米),中桩横座标 Y (米),"
        "内侧端点桩号 K,内侧端点桩号 K (米),内侧端点纵座标 X (米),内侧端点横座标 Y (米),内侧长度 L (米),"
        "外侧端点桩号 K,外侧端点桩号 K (米),外侧端点纵座标 X (米),外侧端点横座标 Y (米),外侧长度 L (米),"
        "平曲线设定\r\n";
    int n = 0;
    for (const std::string& Kp : chainages)
        csv += std::to_string(++n) + ",1,平行于设计盖梁," + kExampleRows.at(Kp) +
               ",\"第 1 组：圆心 ( 1000, 2000)  R 500(米) 正偏  设计中桩 K 1+ 0 ( 1500, 2000)  B 60( 度, 分，秒 )\"\r\n";
    return csv;
}

TEST(CliBatch, ChainagesAsArgumentsGiveTheWorkedExample) {
    const BatchRun run = Batch(With(kCurve, {"--dr", "10", "--mb", "0.001", "1020", "980,1000", "--", "1020"}));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, ExampleCsv({"1020", "980", "1000", "1020"}));
}

// B written apart, as its prompt takes it, is the same skew.
TEST(CliBatch, SkewInDegreesMinutesSeconds) {
    for (const char* B : {"60°", "60 0 0", "60度"}) {
        std::vector<std::string> args = kCurve;
        args[11] = B;  // --b
        const BatchRun run = Batch(With(args, {"--dr", "10", "1020", "980,1000"}));
        EXPECT_EQ(run.status, 0) << B << ": " << run.err;
        EXPECT_EQ(run.out, ExampleCsv({"1020", "980", "1000"})) << B;
    }
}

TEST(CliBatch, ChainagesFromStandardInput) {
    const BatchRun run = Batch(With(kCurve, {"--dr=10"}), "1020\r\n980 1000\n\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, ExampleCsv({"1020", "980", "1000"}));
}

TEST(CliBatch, ByteOrderMarkOnlyWhenAsked) {
    EXPECT_NE(Batch(With(kCurve, {"--dr", "10", "1020"})).out.rfind("\xEF\xBB\xBF", 0), 0u);
    EXPECT_EQ(Batch(With(kCurve, {"--dr", "10", "--bom", "1020"})).out.rfind("\xEF\xBB\xBF", 0), 0u);
}

TEST(CliBatch, RefusedChainagesAreToldAndTheRestRun) {
    const BatchRun run = Batch(With(kCurve, {"--dr", "10"}), "1020\n1600\nabc\n980\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, ExampleCsv({"1020", "980"}));
    EXPECT_NE(run.err.find("K 1+ 600："), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("90 度"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("标准输入第 3 行"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("「abc」"), std::string::npos) << run.err;
}

// Lines as a file or a pipe gives them: LF or CR LF, a last line without a
// line end, blank lines, and lines split across the reader's 64 kB blocks.
TEST(CliBatch, EveryShapeOfLineOnStandardInput) {
    const struct {
        const char* name;
        std::string input;
        std::vector<std::string> rows;
    } cases[] = {
        {"LastLineWithoutLineEnd", "1020\n980", {"1020", "980"}},
        {"CrLf", "1020\r\n980\r\n", {"1020", "980"}},
        {"BlankLines", "\n\n1020\n\n", {"1020"}},
        {"Nothing", "", {}},
        {"OnlyALineEnd", "\n", {}},
    };
    for (const auto& c : cases) {
        const BatchRun run = Batch(With(kCurve, {"--dr", "10"}), c.input);
        EXPECT_EQ(run.status, 0) << c.name;
        EXPECT_EQ(run.out, ExampleCsv(c.rows)) << c.name;
    }
    // 30,000 lines of 1020 and 980 padded with blanks to cross many blocks.
    std::string input;
    std::vector<std::string> rows;
    for (int i = 0; i < 30000; ++i) {
        input += (i % 2 ? "   980" : "1020   ") + std::string(i % 7, ' ') + "\n";
        rows.push_back(i % 2 ? "980" : "1020");
    }
    const BatchRun run = Batch(With(kCurve, {"--dr", "10"}), input);
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out == ExampleCsv(rows));
}

// Standard error keeps its order however long the batch: unreadable lines as
// they are met, then every refused chainage, then every warning, even when
// the refusals and warnings pass the 64 kB kept in memory and go to a
// temporary file. 4161.593 is J's chainage plus a full turn (2 pi R) plus
// 20 m: the beam stands as at 1020, is computed, and is warned of.
TEST(CliBatch, StandardErrorKeepsItsOrderBeyondWhatMemoryHolds) {
    const auto lineOf = [](const std::string& chainage) {
        const BatchRun one = Batch(With(kCurve, {"--dr", "10"}), chainage + "\n");
        return one.err;
    };
    const std::string refused = lineOf("2000"), warned = lineOf("4161.593");
    ASSERT_EQ(refused.rfind("K 2+ 0：", 0), 0u) << refused;
    ASSERT_EQ(warned.rfind("K 4+ 161.593：", 0), 0u) << warned;
    constexpr int kPairs = 3000;  // some 400 kB of each
    std::string input;
    for (int i = 0; i < kPairs; ++i) input += (i == 1500 ? "x\n" : "") + std::string("2000 4161.593\n");
    const BatchRun run = Batch(With(kCurve, {"--dr", "10"}), input);
    EXPECT_EQ(run.status, 1);
    std::string expected = "标准输入第 1501 行：";
    ASSERT_EQ(run.err.rfind(expected, 0), 0u) << run.err.substr(0, 200);
    const std::size_t firstRefusal = run.err.find('\n') + 1;
    std::string rest;
    for (int i = 0; i < kPairs; ++i) rest += refused;
    for (int i = 0; i < kPairs; ++i) rest += warned;
    EXPECT_TRUE(run.err.substr(firstRefusal) == rest);
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), kPairs + 1);
}

TEST(CliBatch, NoChainagesIsTheTitleLine) {
    const BatchRun run = Batch(With(kCurve, {"--dr", "10"}), "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, ExampleCsv({}));
}

TEST(CliBatch, OffCurveDesignPointWarnsWithoutFailing) {
    std::vector<std::string> args = kCurve;
    args[7] = "1500.5";  // --xj
    const BatchRun run = Batch(With(args, {"--dr", "10", "1020"}));
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.err.find("J 可能不在平曲线上"), std::string::npos) << run.err;
}

// Each value that the window's set-up refuses: the same message, status 2,
// nothing on standard output.
struct SetUpRefusal {
    const char* name;
    const char* option;
    const char* value;
};
void PrintTo(const SetUpRefusal& c, std::ostream* os) { *os << c.name; }

class CliBatchSetUp : public ::testing::TestWithParam<SetUpRefusal> {};

TEST_P(CliBatchSetUp, RefusalExitsWithTheWindowsMessage) {
    const SetUpRefusal& c = GetParam();
    std::vector<std::string> args = With(kCurve, {"--dr", "10"});
    std::vector<std::optional<std::string>> replies;
    for (std::size_t i = 0; i + 1 < args.size(); i += 2) {
        if (args[i] == c.option) args[i + 1] = c.value;
        if (replies.size() < 8) replies.push_back(args[i + 1]);
    }
    const BatchRun run = Batch(With(args, {"1020"}));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");

    // The window, given the same replies, refuses with this message (or,
    // for Dr, the request does).
    ScriptedView view(replies);
    Calculator logic(view);
    std::string why;
    if (std::string(c.option) == "--dr") {
        ASSERT_TRUE(logic.SetUpCurveClicked());
        view.Replies({"1020", c.value});
        logic.ComputeBeamClicked();
    } else {
        logic.SetUpCurveClicked();
    }
    if (!view.refusals.empty())
        why = view.refusals[0].why.text;
    else if (!view.messages.empty())
        why = view.messages[0].text;
    ASSERT_NE(why, "");
    EXPECT_NE(run.err.find(why), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(CliBatch, CliBatchSetUp,
                         ::testing::Values(SetUpRefusal{"CentreNotANumber", "--xo", "abc"},
                                           SetUpRefusal{"ChainageEmpty", "--kj", ""},
                                           SetUpRefusal{"SkewOfNoMinutes", "--b", "30.7"},
                                           SetUpRefusal{"SkewBeyond180", "--b", "190"},
                                           SetUpRefusal{"RadiusZero", "--r", "0"},
                                           SetUpRefusal{"RadiusNegative", "--r", "-500"},
                                           SetUpRefusal{"NoDirection", "--p", "0"},
                                           SetUpRefusal{"JAtTheCentre", "--xj", "1000"},
                                           SetUpRefusal{"HalfWidthOfR", "--dr", "500"},
                                           SetUpRefusal{"HalfWidthNegative", "--dr", "-1"}),
                         [](const auto& info) { return std::string(info.param.name); });

// A mistyped command line: one line on standard error naming the option and
// pointing to the batch's help, nothing on standard output, nothing run.
struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    const char* says;
};
void PrintTo(const UsageCase& c, std::ostream* os) { *os << c.name; }

class CliBatchUsage : public ::testing::TestWithParam<UsageCase> {};

TEST_P(CliBatchUsage, OneLineNamingTheOptionAndTheHelp) {
    const UsageCase& c = GetParam();
    const BatchRun run = Batch(c.args, "1020\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("capbeam-cli batch: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("capbeam-cli batch --help"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
}

const std::vector<std::string> kRange = {"--from", "980", "--to", "1020", "--step", "20"};

INSTANTIATE_TEST_SUITE_P(
    CliBatch, CliBatchUsage,
    ::testing::Values(
        UsageCase{"MissingHalfWidth", kCurve, "缺少选项 --dr"},
        UsageCase{"MissingSeveral", {"--xo", "1", "--dr", "1"}, "--yo --kj --xj --yj --b --r --p"},
        UsageCase{"Unknown", With(kCurve, {"--dr", "10", "--width", "3"}), "不认识的选项 --width"},
        UsageCase{"UnknownLikeAKnownOne", With(kCurve, {"--dr", "10", "--fields"}), "不认识的选项 --fields"},
        UsageCase{"NoValue", With(kCurve, {"--dr"}), "--dr 后面缺少数值"},
        UsageCase{"NoFormat", With(kCurve, {"--dr", "10", "--format"}), "--format 后面缺少 csv 或 cass"},
        UsageCase{"Twice", With(kCurve, {"--dr", "10", "--r", "400"}), "--r 给了两次"},
        UsageCase{"BadOrientation", With(kCurve, {"--dr", "10", "--orientation", "radial"}), "parallel 或 tangent"},
        UsageCase{"BadFormat", With(kCurve, {"--dr", "10", "--format", "dat"}), "--format 只能是 csv 或 cass"},
        UsageCase{"MarkOnPoints", With(kCurve, {"--dr", "10", "--format", "cass", "--bom"}), "--bom 只用于 CSV"},
        UsageCase{"RangeWithoutStep", With(kCurve, {"--dr", "10", "--from", "980", "--to", "1020"}), "缺少 --step"},
        UsageCase{"RangeOnlyStep", With(kCurve, {"--dr", "10", "--step", "20"}), "缺少 --from --to"},
        UsageCase{"RangeAndChainages", With(With(kCurve, {"--dr", "10"}), With(kRange, {"1020"})), "--from --to --step"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CliBatch, HelpNamesEveryOption) {
    const BatchRun run = Batch({"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    for (const char* option : {"用法", "--xo", "--dr", "--mb", "--orientation", "--from", "--to", "--step", "--format",
                               "cass", "--bom"})
        EXPECT_NE(run.out.find(option), std::string::npos) << option;
}

// --from --to --step: the range's chainages, in its direction, standard
// input not read. Ranges whose end falls on a step.
struct RangeCase {
    const char* name;
    std::vector<std::string> range;
    std::vector<std::string> rows;
};
void PrintTo(const RangeCase& c, std::ostream* os) { *os << c.name; }

class CliBatchRange : public ::testing::TestWithParam<RangeCase> {};

TEST_P(CliBatchRange, RowsOfTheRange) {
    const RangeCase& c = GetParam();
    const BatchRun run = Batch(With(With(kCurve, {"--dr", "10"}), c.range), "abc\n1020\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, ExampleCsv(c.rows));
}

INSTANTIATE_TEST_SUITE_P(
    CliBatch, CliBatchRange,
    ::testing::Values(RangeCase{"Upwards", kRange, {"980", "1000", "1020"}},
                      RangeCase{"Downwards", {"--from", "1020", "--to", "980", "--step", "-20"}, {"1020", "1000", "980"}},
                      RangeCase{"OneChainage", {"--from=1000", "--to=1000", "--step=5"}, {"1000"}}),
    [](const auto& info) { return std::string(info.param.name); });

// A range that cannot run is refused before anything runs, naming the range
// as given and why; status 2, nothing on standard output.
struct RangeRefusal {
    const char* name;
    std::vector<std::string> range;
    const char* says;
};
void PrintTo(const RangeRefusal& c, std::ostream* os) { *os << c.name; }

class CliBatchRangeRefused : public ::testing::TestWithParam<RangeRefusal> {};

TEST_P(CliBatchRangeRefused, ExitsTwoSayingWhy) {
    const RangeRefusal& c = GetParam();
    const BatchRun run = Batch(With(With(kCurve, {"--dr", "10"}), c.range));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    CliBatch, CliBatchRangeRefused,
    ::testing::Values(
        RangeRefusal{"StartNotANumber", {"--from", "K1+20", "--to", "1020", "--step", "20"}, "--from K1+20：「K1+20」"},
        RangeRefusal{"StepEmpty", {"--from", "980", "--to", "1020", "--step="}, "--step ："},
        RangeRefusal{"StepZero", {"--from", "980", "--to", "1020", "--step", "0"}, "--step 0：桩号间距不能为 0"},
        RangeRefusal{"StepAwayFromTheEnd", {"--from", "980", "--to", "1020", "--step", "-20"}, "无法到达终点"},
        RangeRefusal{"TooManyChainages", {"--from", "0", "--to", "1000000", "--step", "0.001"}, "超过 100000 个桩号"}),
    [](const auto& info) { return std::string(info.param.name); });

// A chainage more than a full turn of the curve from Kj (2πR = 3141.5927 m
// with R = 500) is computed, in the output, and told on standard error as
// "chainage：warning", one line each, like a refusal; the status stays 0
// unless something was refused.
struct WarnedCase {
    const char* name;
    std::vector<std::string> args;
    int status;
    std::size_t rows;
    std::vector<std::string> warned, refused;  // the chainages' texts
};
void PrintTo(const WarnedCase& c, std::ostream* os) { *os << c.name; }

class CliBatchWarned : public ::testing::TestWithParam<WarnedCase> {};

TEST_P(CliBatchWarned, OneLineEachAndTheRowsStay) {
    const WarnedCase& c = GetParam();
    const BatchRun run = Batch(With(With(kCurve, {"--dr", "10"}), c.args));
    EXPECT_EQ(run.status, c.status) << run.err;
    const bool cass = std::find(c.args.begin(), c.args.end(), "cass") != c.args.end();
    std::size_t lines = 0;
    for (const char ch : run.out) lines += ch == '\n';
    EXPECT_EQ(lines, cass ? 3 * c.rows : 1 + c.rows);

    std::vector<std::string> warned, refused;
    std::istringstream err(run.err);
    for (std::string line; std::getline(err, line);) {
        const std::size_t colon = line.find("：");
        ASSERT_NE(colon, std::string::npos) << line;
        const bool warning = line.find("很可能输错了") != std::string::npos;
        (warning ? warned : refused).push_back(line.substr(0, colon));
        if (warning) {
            EXPECT_NE(line.find("结果已经算出"), std::string::npos) << line;
        }
    }
    EXPECT_EQ(warned, c.warned);
    EXPECT_EQ(refused, c.refused);
}

INSTANTIATE_TEST_SUITE_P(
    CliBatch, CliBatchWarned,
    ::testing::Values(
        WarnedCase{"TenfoldMistyped", {"1020", "10200"}, 0, 2, {"K 10+ 200"}, {}},
        WarnedCase{"JustOverATurnAhead", {"4141.593"}, 0, 1, {"K 4+ 141.593"}, {}},
        WarnedCase{"JustWithinATurnAhead", {"4141.592"}, 0, 1, {}, {}},
        WarnedCase{"JustOverATurnBehind", {"--", "-2141.593"}, 0, 1, {"K-2+-141.593"}, {}},
        WarnedCase{"JustWithinATurnBehind", {"--", "-2141.592"}, 0, 1, {}, {}},
        WarnedCase{"EachOnce", {"10200", "1020", "10200"}, 0, 3, {"K 10+ 200", "K 10+ 200"}, {}},
        WarnedCase{"WithARefusal", {"10200", "1600", "980"}, 1, 2, {"K 10+ 200"}, {"K 1+ 600"}},
        WarnedCase{"PointsFile", {"--format", "cass", "10200", "1020"}, 0, 2, {"K 10+ 200"}, {}},
        WarnedCase{"FromARange", {"--from", "10180", "--to", "10200", "--step", "20"}, 0, 2,
                   {"K 10+ 180", "K 10+ 200"}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// --format cass: the points file the window saves, east before north with
// three decimals; a refused chainage gives no points and is told as in CSV.
TEST(CliBatch, FormatCassGivesThePointsFile) {
    const BatchRun run = Batch(With(kCurve, {"--dr", "10", "--format", "cass", "1020", "1600", "980"}));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out,
              "P1-C,,2019.995,1499.600,\r\nP1-IN,,2025.934,1489.313,\r\nP1-OUT,,2014.103,1509.805,\r\n"
              "P2-C,,1980.005,1499.600,\r\nP2-IN,,1985.669,1489.790,\r\nP2-OUT,,1974.373,1509.356,\r\n");
    EXPECT_EQ(run.err.rfind("K 1+ 600：", 0), 0u) << run.err;
}

TEST(CliBatch, FormatCsvIsTheDefault) {
    const BatchRun run = Batch(With(kCurve, {"--dr", "10", "--format=csv", "1020"}));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, ExampleCsv({"1020"}));
}

TEST(CliBatch, HalfWidthRefusedBeforeTheChainagesAreRead) {
    const BatchRun run = Batch(With(kCurve, {"--dr", "600"}), "abc\n1020\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("--dr 600："), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("abc"), std::string::npos) << run.err;
}

TEST(CliBatch, PrecisionNotANumberExitsTwo) {
    const BatchRun run = Batch(With(kCurve, {"--dr", "10", "--mb", "x", "1020"}));
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("--mb x："), std::string::npos) << run.err;
}

TEST(Cli, HelpInChinese) {
    std::istringstream in;
    std::ostringstream out, err;
    EXPECT_EQ(RunCli({"--help"}, in, out, err), 0);
    EXPECT_NE(out.str().find("capbeam-cli batch"), std::string::npos);
    EXPECT_NE(out.str().find("用法"), std::string::npos);
}

}  // namespace
}  // namespace capbeam::test

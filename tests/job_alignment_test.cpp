// Whole alignments in job files: the alignment page's table and beams kept
// in the job, a reopened job giving the same pier table and the same next
// beam, bad alignment steps refused by name, and capbeam-cli batch --job on
// a job whose beams stand on an alignment.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

#include "cli/cli.h"
#include "tests/cli_run.h"
#include "flows/job_replay.h"
#include "records/job.h"
#include "tests/scripted_view.h"

using namespace capbeam;
using test::Cli;
using test::CliRun;
using test::ScriptedView;

namespace {

// Two spirals-and-arc curves and a chainage equation: K1+095 to K1+100
// occur twice.
const JobAlignment kJd{JobAlignment::Kind::JdTable, "桥位线形.csv",
                       "QD,K0+000,3000.000,5000.000\n"
                       "JD1,,3400.000,5300.000,600,120,120\n"
                       "JD2,,3650.000,5900.000,800,100,80\n"
                       "ZD,,3800.000,6500.000\n"
                       "断链,K1+100,K1+095\n"};
const JobAlignment kElements{JobAlignment::Kind::ElementTable, "匝道",
                             "QD,K0+000,3000.000,5000.000,36.5212\n"
                             "直线,120,,,\n"
                             "缓和曲线,80,∞,400,右\n"
                             "圆曲线,150.5,400,400,右\n"
                             "缓和曲线,45,400,∞,右\n"
                             "直线,200,,,\n"};

std::vector<std::vector<std::string>> TableTexts(const Calculator& c) {
    std::vector<std::vector<std::string>> lines;
    for (const PierGroup& g : c.Table().Groups()) {
        lines.push_back({g.header});
        for (const PierRow& r : g.rows) {
            lines.emplace_back(r.texts.begin(), r.texts.end());
            lines.back().push_back(std::to_string(r.number) + std::string(OrientationText(r.orientation)));
        }
    }
    return lines;
}

// The page shows `table` with the fields, and places beams at `chainages`.
AlignmentBeamsOutcome Place(Calculator& c, const JobAlignment& table, const std::vector<std::string>& fields,
                            const std::vector<Chainage>& chainages) {
    c.SetAlignmentPage(table, fields);
    return c.PlaceOnAlignment(LoadAlignment(table), fields, chainages);
}

// As the page does it: a design beam that does not stand on the road is
// refused and nothing changes.
void TryPlace(Calculator& c, const JobAlignment& table, const std::vector<std::string>& fields,
              const std::vector<Chainage>& chainages) {
    try {
        Place(c, table, fields, chainages);
    } catch (const Failure&) {
    }
}

// A generated day of work that mixes the two alignments, design beams, both
// orientations, stretches, refused chainages and single-curve clicks.
void RandomWork(Calculator& c, ScriptedView& view, unsigned draw) {
    std::mt19937 random(draw);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const std::vector<std::vector<std::string>> designs{
        {"K0+250", "90", "", "12"}, {"300", "60.3015", "8.5", "11"}, {"K1+097[1]", "121.3015", "10", "10"}};
    for (int step = 0; step < 12; ++step) {
        switch (pick(6)) {
            case 0: {
                const std::vector<Chainage> one{{100.0 + pick(900) + pick(1000) / 1000.0, kAnyStretch}};
                TryPlace(c, pick(3) ? kJd : kElements, designs[static_cast<std::size_t>(pick(3))], one);
                break;
            }
            case 1: {
                std::vector<Chainage> many;
                for (int k = 0; k < 1 + pick(20); ++k) many.push_back({40.0 * k + pick(40), kAnyStretch});
                many.push_back({1097.5, pick(2)});  // on either stretch of the equation
                many.push_back({99999, kAnyStretch});  // beyond the road: refused, the rest placed
                TryPlace(c, kJd, designs[static_cast<std::size_t>(pick(3))], many);
                break;
            }
            case 2:
                c.SetOrientation(pick(2) ? Orientation::Tangent : Orientation::Parallel);
                break;
            case 3:
                view.Replies({"1000", "2000", "1000", "1500", "2000", "60", "500", "1"});
                ASSERT_TRUE(c.SetUpCurveClicked());
                view.Replies({"1010", "10", "0.001"});
                ASSERT_TRUE(c.ComputeBeamClicked());
                break;
            case 4:
                c.SetAlignmentPage(pick(2) ? kJd : kElements, designs[static_cast<std::size_t>(pick(3))]);
                break;
            default:
                Place(c, kJd, designs[0], {{500, kAnyStretch}});
                break;
        }
    }
}

}  // namespace

TEST(JobAlignment, ReopensToTheSameTableAndTheSameNextBeam) {
    for (unsigned draw = 1; draw <= 25; ++draw) {
        SCOPED_TRACE("day of work " + std::to_string(draw));
        ScriptedView view, otherView;
        Calculator c(view), reopened(otherView);
        RandomWork(c, view, draw);
        const Job job = ReadJob(WriteJob(c.CurrentJob()));
        EXPECT_EQ(job, c.CurrentJob());
        ReplayJob(job, reopened);
        EXPECT_EQ(TableTexts(reopened), TableTexts(c));
        EXPECT_EQ(reopened.CurrentJob(), c.CurrentJob());
        // The next beam on the page's alignment joins the same group in both.
        const JobAlignment page = c.CurrentJob().page.value_or(kJd);
        const std::vector<std::string> fields{"K0+400", "75", "", "9"};
        const auto a = Place(c, page, fields, {{420, kAnyStretch}, {1096, 0}});
        const auto b = Place(reopened, page, fields, {{420, kAnyStretch}, {1096, 0}});
        EXPECT_EQ(a.placed, b.placed);
        EXPECT_EQ(TableTexts(reopened), TableTexts(c));
    }
}

TEST(JobAlignment, ChangesToThePageAreChangesOfTheJob) {
    ScriptedView view;
    Calculator c(view);
    EXPECT_TRUE(c.CurrentJob().Blank());
    const auto before = c.Changes();
    c.SetAlignmentPage(std::nullopt, {"", "90", "", ""});
    EXPECT_NE(c.Changes(), before);  // the fields as shown
    const auto typed = c.Changes();
    c.SetAlignmentPage(kJd, {"", "90", "", ""});
    EXPECT_NE(c.Changes(), typed);
    EXPECT_FALSE(c.CurrentJob().Blank());  // a typed table is worth keeping
    const auto same = c.Changes();
    c.SetAlignmentPage(kJd, {"", "90", "", ""});
    EXPECT_EQ(c.Changes(), same);
    // An emptied table is no table.
    c.SetAlignmentPage(JobAlignment{JobAlignment::Kind::JdTable, "手工输入", ""}, {"", "90", "", ""});
    EXPECT_TRUE(c.CurrentJob().Blank());
}

TEST(JobAlignment, SameDesignOnTheSameAlignmentContinuesItsGroup) {
    ScriptedView view;
    Calculator c(view);
    const std::vector<std::string> design{"K0+250", "90", "", "12"};
    Place(c, kJd, design, {{300, kAnyStretch}});
    Place(c, kJd, design, {{320, kAnyStretch}});
    ASSERT_EQ(c.Table().Groups().size(), 1u);
    Place(c, kJd, {"K0+250", "80", "", "12"}, {{340, kAnyStretch}});  // another skew
    Place(c, kElements, {"K0+250", "80", "", "12"}, {{340, kAnyStretch}});  // another road
    Place(c, kJd, design, {{360, kAnyStretch}});  // back again: a group of its own
    EXPECT_EQ(c.Table().Groups().size(), 4u);
    EXPECT_EQ(c.CurrentJob().alignments.size(), 3u);
    // One road a job: the group placed on the other road follows the page back onto this one.
    for (const PierGroup& g : c.Table().Groups())
        EXPECT_NE(g.header.find("线形 桥位线形.csv"), std::string::npos) << g.header;
    // Nothing placed: no group, no step.
    const auto steps = c.CurrentJob().steps.size();
    EXPECT_EQ(Place(c, kJd, design, {{99999, kAnyStretch}}).placed, 0);
    EXPECT_EQ(c.CurrentJob().steps.size(), steps);
    EXPECT_THROW(Place(c, kJd, {"K9+000", "90", "", "12"}, {{300, kAnyStretch}}), Failure);  // design off the road
    EXPECT_THROW(Place(c, kJd, {"K0+250", "0", "", "12"}, {{300, kAnyStretch}}), Failure);
}

namespace {

std::string AlignmentJobText() {
    ScriptedView view;
    Calculator c(view);
    Place(c, kJd, {"K0+250", "90", "", "12"}, {{300, kAnyStretch}, {1097, 1}});
    return WriteJob(c.CurrentJob());
}

std::string EditedAlignmentJob(const std::string& from, const std::string& to) {
    std::string text = AlignmentJobText();
    // The last one: the journal's step, after the page's copy of the same texts.
    const std::size_t at = text.rfind(from);
    if (at == std::string::npos) return "edit not found: " + from;
    return text.replace(at, from.size(), to);
}

}  // namespace

TEST(JobAlignment, BadAlignmentStepsAreRefusedByName) {
    const struct {
        std::string bytes;
        const char* says;
    } cases[] = {
        {EditedAlignmentJob("\"alignment\": 0", "\"alignment\": 1"), "alignments 中一条线形的序号"},
        {EditedAlignmentJob("\"alignment\": 0", "\"alignment\": -1"), "序号"},
        {EditedAlignmentJob("\"kind\": \"jd\"", "\"kind\": \"spline\""), "kind"},
        {EditedAlignmentJob("600,120,120", "0,120,120"), "第 1 步（道路线形上的盖梁）不能完成"},
        {EditedAlignmentJob("\"B\": \"90\"", "\"B\": \"0\""), "交角 B"},
        {EditedAlignmentJob("\"DR\": \"12\"", "\"DR\": \"-12\""), "右半幅 DR"},
        {EditedAlignmentJob("\"Kj\": \"K0+250\"", "\"Kj\": \"K9+250\""), "设计盖梁"},
        {EditedAlignmentJob("1097,\n", "\"K1+097\",\n"), "chainages"},
        {EditedAlignmentJob("300,\n", "[300, -2],\n"), "段号"},
    };
    for (const auto& bad : cases) {
        SCOPED_TRACE(bad.says);
        ScriptedView view;
        Calculator c(view);
        Place(c, kElements, {"50", "90", "", "5"}, {{60, kAnyStretch}});
        const Job before = c.CurrentJob();
        const auto table = TableTexts(c);
        try {
            ReplayJob(ReadJob(bad.bytes), c);
            FAIL() << "opened";
        } catch (const Failure& failure) {
            EXPECT_NE(failure.message().text.find(bad.says), std::string::npos) << failure.message().text;
        }
        EXPECT_EQ(c.CurrentJob(), before);
        EXPECT_EQ(TableTexts(c), table);
    }
}

TEST(JobAlignmentCli, BatchRunsOnTheJobsAlignmentAsTheOptionsWould) {
    // The alignment named by its file's path, so that both group headers agree.
    const std::string table = ::testing::TempDir() + "/job-alignment.csv";
    std::ofstream(table) << kJd.table;
    JobAlignment named = kJd;
    named.name = table;
    ScriptedView view;
    Calculator c(view);
    c.SetOrientation(Orientation::Tangent);
    Place(c, named, {"K0+250", "60.3015", "8.5", "11"}, {{300.25, kAnyStretch}, {1097.125, 0}, {1097.125, 1}});
    const std::string path = ::testing::TempDir() + "/alignment.capbeam";
    std::ofstream(path, std::ios::binary) << WriteJob(c.CurrentJob());

    const CliRun job = Cli({"batch", "--job", path});
    const CliRun options = Cli({"batch", "--alignment", table, "--kj", "K0+250", "--b", "60.3015", "--dl", "8.5", "--dr",
                                "11", "--orientation", "tangent", "300.25", "1097.125[0]", "1097.125[1]"});
    EXPECT_EQ(job.status, 0) << job.err;
    EXPECT_EQ(job.out, options.out);
    EXPECT_EQ(std::count(job.out.begin(), job.out.end(), '\n'), 4) << job.out;  // the titles and three rows
    // The command line overrides the job; chainages given replace the table's.
    const CliRun overridden = Cli({"batch", "--job", path, "--dr", "5", "--orientation", "parallel", "400"});
    const CliRun plain = Cli({"batch", "--alignment", table, "--kj", "K0+250", "--b", "60.3015", "--dl", "8.5", "--dr",
                              "5", "400"});
    EXPECT_EQ(overridden.status, 0) << overridden.err;
    EXPECT_EQ(overridden.out, plain.out);
}

TEST(JobAlignment, DrawnHalfWidthsFollowTheFields) {
    using Widths = std::pair<std::optional<double>, std::optional<double>>;
    const struct {
        std::vector<std::string> fields;
        Widths widths;
    } cases[] = {
        {{"K0+250", "90", "", "12"}, {12.0, 12.0}},    // DL empty: as DR
        {{"K0+250", "90", " 8.5 ", "11"}, {8.5, 11.0}},
        {{"K0+250", "90", "-1", "11"}, {std::nullopt, 11.0}},  // not a width: no edge
        {{"K0+250", "90", "", "宽"}, {std::nullopt, std::nullopt}},
        {{}, {std::nullopt, std::nullopt}},
    };
    for (const auto& c : cases) EXPECT_EQ(DrawnHalfWidths(c.fields), c.widths) << c.fields.size();
}

// The sheet and the drawing of a job draw its alignment beams on the road
// the job keeps, at the page's half-widths.
TEST(JobAlignmentCli, TheDrawingOfAnAlignmentJobHasItsRoad) {
    ScriptedView view;
    Calculator c(view);
    Place(c, kJd, {"K0+250", "60", "", "12"}, {{300, kAnyStretch}, {700, kAnyStretch}});
    const std::optional<PageRoad> road = PageRoadOf(c.CurrentJob());
    ASSERT_TRUE(road.has_value());
    EXPECT_EQ(road->DL, 12.0);
    EXPECT_EQ(road->DR, 12.0);
    EXPECT_EQ(road->road.mainPoints.size(), LoadAlignment(kJd).mainPoints.size());
    const std::string job = ::testing::TempDir() + "/drawn.capbeam";
    std::ofstream(job, std::ios::binary) << WriteJob(c.CurrentJob());
    const std::string dxf = ::testing::TempDir() + "/drawn.dxf";
    const CliRun run = Cli({"drawing", "--job", job, "-o", dxf});
    ASSERT_EQ(run.status, 0) << run.err;
    std::ifstream in(dxf, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(text.find("POLYLINE"), std::string::npos);  // the spirals
    EXPECT_NE(text.find("\nARC\r\n"), std::string::npos);  // the arcs (lines end in CR LF)
    // A table without an alignment's page gives no road.
    EXPECT_FALSE(PageRoadOf(Job{}).has_value());
}

// Byte-order marks at the start of a text (a table pasted from a file that
// had one) are dropped on reading, whichever way the JSON holds the text:
// a job read, written and read again is the same job.
TEST(JobAlignment, ByteOrderMarksAtTheStartOfTextsAreDropped) {
    const std::string mark = "\xEF\xBB\xBF";
    Job job;
    JobAlignment table = kJd;  // its text has escapes (new lines) in the JSON
    table.table = mark + table.table;
    table.name = mark + mark + "线形";
    job.alignments = {table};
    job.page = table;
    job.pageFields = {mark + "K0+250", "90", "", mark};
    JobStep step;
    step.kind = JobStep::Kind::AlignmentBeams;
    step.replies = {mark + "K0+250", "90", "", "12"};
    step.alignment = 0;
    step.stations = {{300, kAnyStretch}};
    job.steps = {step};
    const Job read = ReadJob(WriteJob(job));
    EXPECT_EQ(read.alignments.at(0).table, kJd.table);
    EXPECT_EQ(read.alignments.at(0).name, "线形");
    EXPECT_EQ(read.pageFields, (std::vector<std::string>{"K0+250", "90", "", ""}));
    EXPECT_EQ(read.steps.at(0).replies.at(0), "K0+250");
    EXPECT_EQ(ReadJob(WriteJob(read)), read);
}

// Job files: the journal a calculator keeps, the file's round trip, a job
// replayed to the same boxes, record and table, every kind of bad file
// refused by name with the open job untouched, and capbeam-cli batch --job.
#include <gtest/gtest.h>

#include <fstream>
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

const std::vector<std::optional<std::string>> kSetUp{"1000", "2000", "1000", "1500", "2000", "60", "500", "1"};

// A day's work: a set-up with a refused radius, requests in both
// orientations (one at the design chainage), a batch, a second set-up.
void Work(Calculator& c, ScriptedView& view) {
    view.Replies({"1000", "2000", "1000", "1500", "2000", "30.153", "0", "500", "1"});
    ASSERT_TRUE(c.SetUpCurveClicked());
    view.Replies({"1000", "10", "0.001"});
    ASSERT_TRUE(c.ComputeBeamClicked());
    c.SetOrientation(Orientation::Tangent);
    view.Replies({"1261.7993877916667", "10", "0.001"});
    ASSERT_TRUE(c.ComputeBeamClicked());
    c.RunBatch({980, 1040, 99999}, 7.5);
    c.SetOrientation(Orientation::Parallel);
    view.Replies({"1e3", "2000", "1000", "1500", "2000", "60°0′0″", "500", "-3"});
    ASSERT_TRUE(c.SetUpCurveClicked());
    view.Replies({"1020", "10", "0.001"});
    ASSERT_TRUE(c.ComputeBeamClicked());
    c.SetOrientation(Orientation::Tangent);
}

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

Job Reopened(const Calculator& c) { return ReadJob(WriteJob(c.CurrentJob())); }

std::string Example() {
    std::ifstream in(CAPBEAM_SOURCE_DIR "/docs/example.capbeam", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(Job, KeepsOnlyTheAcceptedReplies) {
    ScriptedView view;
    Calculator c(view);
    Work(c, view);
    const Job job = c.CurrentJob();
    ASSERT_EQ(job.steps.size(), 6u);
    EXPECT_EQ(job.steps[0].replies,
              (std::vector<std::string>{"1000", "2000", "1000", "1500", "2000", "30.153", "500", "1"}));
    EXPECT_EQ(job.steps[2].orientation, Orientation::Tangent);
    EXPECT_EQ(job.steps[3].kind, JobStep::Kind::Batch);
    EXPECT_EQ(job.steps[3].Dr, 7.5);
    EXPECT_EQ(job.orientation, Orientation::Tangent);
}

TEST(Job, CancelledAndRefusedClicksLeaveNoStep) {
    ScriptedView view;
    Calculator c(view);
    view.Replies({"1000", "2000", "<never>"});
    EXPECT_FALSE(c.SetUpCurveClicked());
    view.Replies({"1000", "2000", "1000", "1000", "2000", "60", "500", "1"});  // J at O
    EXPECT_FALSE(c.SetUpCurveClicked());
    EXPECT_THROW(c.RunBatch({1000}, 10), Failure);
    EXPECT_TRUE(c.CurrentJob().steps.empty());
    EXPECT_EQ(c.Changes(), 0u);
}

TEST(Job, ReopensToTheSameBoxesRecordTableAndNextRequest) {
    ScriptedView view, again;
    Calculator c(view), reopened(again);
    Work(c, view);
    ReplayJob(Reopened(c), reopened);
    EXPECT_EQ(reopened.Texts(), c.Texts());
    EXPECT_TRUE(reopened.Record() == c.Record());
    EXPECT_EQ(TableTexts(reopened), TableTexts(c));
    EXPECT_EQ(reopened.GetOrientation(), Orientation::Tangent);
    EXPECT_EQ(reopened.CurrentJob(), c.CurrentJob());
    ASSERT_TRUE(again.texts.size() > 10);  // the reopened view was shown every box
    EXPECT_EQ(again.texts.at(Box::BeamX), c.Text(Box::BeamX));
    // The next request after reopening offers and computes what it would have.
    for (ScriptedView* v : {&view, &again}) v->Replies({"1010", "10", "0.001"});
    ASSERT_TRUE(c.ComputeBeamClicked());
    ASSERT_TRUE(reopened.ComputeBeamClicked());
    EXPECT_EQ(again.helps.back().initial, view.helps.back().initial);
    EXPECT_EQ(reopened.Texts(), c.Texts());
    EXPECT_EQ(TableTexts(reopened), TableTexts(c));
}

TEST(Job, FileTextIsStableAndUtf8) {
    ScriptedView view;
    Calculator c(view);
    Work(c, view);
    const std::string text = WriteJob(c.CurrentJob());
    EXPECT_EQ(WriteJob(ReadJob(text)), text);
    EXPECT_NE(text.find("\"format\": \"capbeam-job\""), std::string::npos);
    EXPECT_NE(text.find("60°0′0″"), std::string::npos);  // typed, as typed
    EXPECT_EQ(text.back(), '\n');
}

TEST(Job, ExampleOpensToTheWorkedExample) {
    ScriptedView view;
    Calculator c(view);
    ReplayJob(ReadJob(Example()), c);
    EXPECT_EQ(c.Table().RowCount(), 5u);
    EXPECT_EQ(c.Text(Box::BeamChainage), "K 1+ 20");
    EXPECT_EQ(c.Text(Box::BeamX), "1499.6");
    EXPECT_EQ(c.Text(Box::BeamY), "2019.995");
    EXPECT_EQ(c.Text(Box::InnerChainage), "K 1+ 26.475");
    EXPECT_EQ(c.Text(Box::InnerLength), "11.878(米)");
    EXPECT_EQ(c.Text(Box::OuterChainage), "K 1+ 13.828");
    EXPECT_EQ(c.Text(Box::Direction), "正偏");
    EXPECT_EQ(c.Table().Groups()[0].rows[0].Text(PierColumn::Kin), "K 0+ 985.374");
}

TEST(Job, NewerMinorVersionKeepsWhatItDoesNotKnow) {
    std::string text = Example();
    text.replace(text.find("\"minor\": 0"), 10,
                 "\"minor\": 7, \"crew\": {\"1\": \"1号墩\"}, \"levels\": [1, 2.5, null]");
    text.replace(text.find("\"action\": \"batch\""), 17, "\"action\": \"batch\", \"colour\": \"red\"");
    const Job job = ReadJob(text);
    ASSERT_EQ(job.kept.size(), 2u);
    EXPECT_EQ(job.kept.at("levels"), "[1,2.5,null]");
    const Job again = ReadJob(WriteJob(job));
    EXPECT_EQ(again.kept, job.kept);
    ScriptedView view;
    Calculator c(view);
    ReplayJob(job, c);
    EXPECT_EQ(c.CurrentJob().kept, job.kept);  // saved again with them
}

struct BadFile {
    const char* name;
    std::string bytes;
    const char* says;  // a part of the message that names the problem
};

class BadJob : public ::testing::TestWithParam<BadFile> {};

TEST_P(BadJob, IsRefusedByNameAndTheOpenJobStays) {
    ScriptedView view;
    Calculator c(view);
    Work(c, view);
    const auto boxes = c.Texts();
    const Job before = c.CurrentJob();
    const auto table = TableTexts(c);
    const unsigned long long changes = c.Changes();
    try {
        ReplayJob(ReadJob(GetParam().bytes), c);
        FAIL() << "opened";
    } catch (const Failure& failure) {
        EXPECT_NE(failure.message().text.find(GetParam().says), std::string::npos) << failure.message().text;
    }
    EXPECT_EQ(c.Texts(), boxes);
    EXPECT_EQ(c.CurrentJob(), before);
    EXPECT_EQ(TableTexts(c), table);
    EXPECT_EQ(c.Changes(), changes);
}

std::string Edited(const std::string& from, const std::string& to) {
    std::string text = Example();
    const std::size_t at = text.find(from);
    if (at == std::string::npos) return "edit not found: " + from;
    return text.replace(at, from.size(), to);
}

// A batch step of one more chainage than a batch may run.
std::string OversizedBatch() {
    std::string list = "0";
    for (std::size_t n = 1; n <= kMaxJobChainages; ++n) list += ",1";
    return Edited("[1040, 1060]", "[" + list + "]");
}

INSTANTIATE_TEST_SUITE_P(
    Job, BadJob,
    ::testing::Values(
        BadFile{"Empty", "", "空的"},
        BadFile{"Truncated", Example().substr(0, 300), "中断"},
        BadFile{"NotJson", "Xo,Yo\n1000,2000\n", "不是有效的 JSON"},
        BadFile{"BinaryGarbage", std::string("\x89PNG\r\n\x1a\n\0\0", 10), "不是有效的 JSON"},
        BadFile{"JsonButAList", "[1, 2, 3]", "不是作业"},
        BadFile{"AnotherProgramsJson", "{\"type\": \"FeatureCollection\"}", "capbeam-job"},
        BadFile{"NewerMajorVersion", Edited("\"version\": 1", "\"version\": 2"), "更新版本"},
        BadFile{"VersionAsText", Edited("\"version\": 1", "\"version\": \"1\""), "version"},
        BadFile{"NoJournal", "{\"format\": \"capbeam-job\", \"version\": 1}", "journal"},
        BadFile{"UnknownAction", Edited("\"action\": \"batch\"", "\"action\": \"survey\""), "更新本程序"},
        BadFile{"ReplyMissing", Edited("\"Yj\": \"2000\", ", ""), "Yj"},
        BadFile{"ReplyAsNumber", Edited("\"R\": \"500\"", "\"R\": 500"), "R 的输入值"},
        BadFile{"BadOrientation", Edited("\"orientation\": \"parallel\"", "\"orientation\": \"radial\""),
                "orientation"},
        BadFile{"RadiusZero", Edited("\"R\": \"500\"", "\"R\": \"0\""), "第 1 步（进行计算）的 R（\"0\"）"},
        BadFile{"HalfWidthNotBelowR", Edited("\"Dr\": \"10\"", "\"Dr\": \"500\""), "第 2 步（座标计算）的 Dr"},
        BadFile{"ChainageNotANumber", Edited("\"Kp\": \"980\"", "\"Kp\": \"九八零\""), "Kp"},
        BadFile{"DesignPointAtTheCentre", Edited("\"Xj\": \"1500\"", "\"Xj\": \"1000\""), "第 1 步（进行计算）"},
        BadFile{"BatchHalfWidthNegative", Edited("\"Dr\": 10", "\"Dr\": -1"), "第 4 步（批量计算）"},
        BadFile{"BatchChainageAsText", Edited("[1040, 1060]", "[1040, \"K1+060\"]"), "chainages"},
        BadFile{"BatchLongerThanABatch", OversizedBatch(), "超过 100000 个"},
        BadFile{"RequestBeforeSetUp",
                "{\"format\":\"capbeam-job\",\"version\":1,\"journal\":[{\"action\":\"request\","
                "\"replies\":{\"Kp\":\"1\",\"Dr\":\"1\",\"mb\":\"0\"}}]}",
                "进行计算"}),
    [](const ::testing::TestParamInfo<BadFile>& info) { return std::string(info.param.name); });

namespace {

const std::string kExample = CAPBEAM_SOURCE_DIR "/docs/example.capbeam";

}  // namespace

TEST(JobCli, ComputesTheJobsPiersAsTheOptionsWould) {
    const CliRun job = Cli({"batch", "--job", kExample});
    const CliRun options = Cli({"batch", "--xo", "1000", "--yo", "2000", "--kj", "1000", "--xj", "1500", "--yj", "2000",
                                "--b", "60", "--r", "500", "--p", "1", "--dr", "10", "980", "1000", "1040", "1060",
                                "1020"});
    EXPECT_EQ(job.status, 0) << job.err;
    EXPECT_EQ(job.out, options.out);
}

TEST(JobCli, CommandLineOverridesTheJob) {
    const CliRun job = Cli({"batch", "--job=" + kExample, "--dr", "5", "--orientation", "tangent", "--r", "600", "1000"});
    const CliRun options = Cli({"batch", "--xo", "1000", "--yo", "2000", "--kj", "1000", "--xj", "1500", "--yj", "2000",
                                "--b", "60", "--r", "600", "--p", "1", "--dr", "5", "--orientation", "tangent", "1000"});
    EXPECT_EQ(job.status, options.status) << job.err;
    EXPECT_EQ(job.out, options.out);
    EXPECT_EQ(job.err, options.err);
    const CliRun range = Cli({"batch", "--job", kExample, "--from", "990", "--to", "1010", "--step", "10"});
    EXPECT_EQ(range.status, 0) << range.err;
    EXPECT_EQ(std::count(range.out.begin(), range.out.end(), '\n'), 4);  // the header and three rows
}

TEST(JobCli, BadJobExitsTwoWithTheWindowsMessage) {
    const std::string path = ::testing::TempDir() + "/newer.capbeam";
    std::ofstream(path) << "{\"format\": \"capbeam-job\", \"version\": 3, \"journal\": []}";
    const CliRun run = Cli({"batch", "--job", path, "1000"});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.out.empty());
    std::string why;
    try {
        ReadJobFile(path);
    } catch (const Failure& failure) {
        why = failure.message().text;
    }
    EXPECT_EQ(run.err, "capbeam-cli batch: " + JobOpenFailureText(path, why) + "\n");
    EXPECT_EQ(Cli({"batch", "--job", path + ".missing"}).status, 2);
}

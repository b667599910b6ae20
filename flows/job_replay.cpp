#include "flows/job_replay.h"

#include <map>
#include <optional>
#include <string>

namespace capbeam {

namespace {

std::string StepName(const JobStep& step, std::size_t number) {
    const char* what = step.kind == JobStep::Kind::SetUp     ? "进行计算"
                       : step.kind == JobStep::Kind::Request ? "座标计算"
                       : step.kind == JobStep::Kind::Batch   ? "批量计算"
                                                             : "道路线形上的盖梁";
    return "作业的第 " + std::to_string(number) + " 步（" + what + "）";
}

// A view without a window: it answers each prompt with the step's next
// reply and turns a refusal into the reason the job cannot be opened.
class ReplayView : public View {
public:
    void Start(const JobStep& step, std::string name) {
        step_ = &step;
        name_ = std::move(name);
        asked_ = 0;
        problem_.reset();
    }
    const std::optional<std::string>& Problem() const { return problem_; }

    std::optional<std::string> PromptText(const std::string&, const Refusal* refused, const PromptHelp&) override {
        const std::vector<std::string>& names = ReplyNames(step_->kind);
        if (refused) {
            const std::string field = asked_ >= 1 && asked_ <= names.size() ? names[asked_ - 1] : "?";
            problem_ = name_ + "的 " + field + "（\"" + refused->rejected + "\"）不能用：" + refused->why.text;
            return std::nullopt;
        }
        if (asked_ >= step_->replies.size()) {
            problem_ = name_ + "缺少输入值。";
            return std::nullopt;
        }
        return step_->replies[asked_++];
    }
    void SetText(Box, const std::string&) override {}
    void EndProgram() override {}
    void ShowMessage(const Message& message) override {
        if (message.kind != ErrorKind::Warning && !problem_) problem_ = name_ + "不能完成：" + message.text;
    }

private:
    const JobStep* step_ = nullptr;
    std::string name_;
    std::size_t asked_ = 0;
    std::optional<std::string> problem_;
};

[[noreturn]] void Refuse(const std::string& why) {
    throw Failure(ErrorKind::OutOfRange, "这个作业不能打开：" + why + "\n当前的作业没有改变。");
}

}  // namespace

void ReplayJob(const Job& job, Calculator& target) {
    ReplayView view;
    Calculator scratch(view);
    std::map<int, LoadedRoad> roads;  // each alignment read once
    std::size_t number = 0;
    for (const JobStep& step : job.steps) {
        view.Start(step, StepName(step, ++number));
        if (step.kind != JobStep::Kind::SetUp) scratch.SetOrientation(step.orientation);
        switch (step.kind) {
            case JobStep::Kind::SetUp:
                if (!scratch.SetUpCurveClicked()) Refuse(view.Problem().value_or(StepName(step, number) + "没有完成。"));
                break;
            case JobStep::Kind::Request:
                if (!scratch.ComputeBeamClicked()) Refuse(view.Problem().value_or(StepName(step, number) + "没有完成。"));
                break;
            case JobStep::Kind::Batch:
                try {
                    scratch.RunBatch(step.chainages, step.Dr);
                } catch (const Failure& failure) {
                    Refuse(StepName(step, number) + "不能完成：" + failure.message().text);
                }
                break;
            case JobStep::Kind::AlignmentBeams: {
                if (step.alignment < 0 || static_cast<std::size_t>(step.alignment) >= job.alignments.size())
                    Refuse(StepName(step, number) + "所用的线形不在作业中。");
                const JobAlignment& table = job.alignments[static_cast<std::size_t>(step.alignment)];
                int placed = 0;
                try {
                    auto road = roads.find(step.alignment);
                    if (road == roads.end()) road = roads.emplace(step.alignment, LoadAlignment(table)).first;
                    placed = scratch.PlaceOnAlignment(table, road->second, step.replies, step.stations).placed;
                } catch (const Failure& failure) {
                    Refuse(StepName(step, number) + "不能完成：" + failure.message().text);
                }
                if (placed == 0) Refuse(StepName(step, number) + "的桩号都不能计算。");
                break;
            }
        }
    }
    // The clicks placed each beam on the table of its time; they all stand
    // on the page's road now, as they did in the window when it was saved
    // (and a job saved before its beams followed the page gets them so).
    if (!scratch.SetAlignmentPage(job.page, job.pageFields)) scratch.FollowPageRoad();
    scratch.SetOrientation(job.orientation);
    scratch.KeepFields(job.kept);
    scratch.SetSite(job.site);
    target.Adopt(scratch);
}

JobSummary SummariseJob(const Job& job) {
    ReplayView quiet;
    Calculator calculator(quiet);
    ReplayJob(job, calculator);
    JobSummary summary;
    summary.orientation = calculator.GetOrientation();
    const CalculationRecord& record = calculator.Record();
    summary.hasCurve = record.hasCurve;
    const std::vector<PierGroup>& groups = calculator.Table().Groups();
    if (!groups.empty()) summary.inputs = groups.back().inputs;
    if (record.request.completed) {
        summary.Dr = record.request.Dr;
        summary.hasDr = true;
    }
    // The latest half-width: of the last request, unless a batch came after it.
    for (auto step = job.steps.rbegin(); step != job.steps.rend(); ++step) {
        if (step->kind == JobStep::Kind::Request) break;
        if (step->kind == JobStep::Kind::Batch) {
            summary.Dr = step->Dr;
            summary.hasDr = true;
            break;
        }
    }
    if (!groups.empty())
        for (const PierRow& row : groups.back().rows) summary.chainages.push_back(row.Kp);

    const Job kept = calculator.CurrentJob();
    const JobStep* beams = nullptr;
    for (const JobStep& step : kept.steps)
        if (step.kind == JobStep::Kind::AlignmentBeams) beams = &step;
    if (!groups.empty() ? groups.back().kind == GroupKind::Alignment : (!summary.hasCurve && kept.page)) {
        // Every alignment beam stands on the page's road, whichever table its click stood on.
        if (!kept.page)
            throw Failure(ErrorKind::NoCurve, "作业的盖梁放在道路线形上，但道路线形页的线形表是空的，没有可以计算的线路。");
        summary.alignment = kept.page;
        summary.alignmentFields = beams && !groups.empty() ? beams->replies : kept.pageFields;
        summary.chainages.clear();
        // The refused beams too: the batch names why each does not stand.
        if (!groups.empty())
            for (const PierLine& line : LinesOf(groups.back())) {
                const Chainage Kp = line.row ? Chainage{line.row->Kp, line.row->KpStretch}
                                             : Chainage{line.refused->Kp, line.refused->KpStretch};
                summary.stations.push_back(Kp);
                summary.chainages.push_back(Kp.value);
            }
    }
    return summary;
}

PierTable ReplayedTable(const Job& job) {
    ReplayView quiet;
    Calculator calculator(quiet);
    ReplayJob(job, calculator);
    return calculator.Table();
}

}  // namespace capbeam

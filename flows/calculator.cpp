#include "flows/calculator.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "flows/form_layout.h"
#include "flows/request_flow.h"
#include "flows/set_up_flow.h"

namespace capbeam {

Calculator::Calculator(View& view) : view_(view) {
    for (const FieldRow& row : kFields) boxes_[Index(row.field)] = std::string(row.initialText);
}

template <class Body>
bool Calculator::RunHandler(Body body) {
    const CalculationRecord savedRecord = record_;
    const auto savedBoxes = boxes_;
    replies_.clear();
    const auto undo = [&] {
        record_ = savedRecord;
        for (int n = 1; n <= kBoxCount; ++n) {
            const Box f = BoxAt(n);
            if (boxes_[Index(f)] != savedBoxes[Index(f)]) SetText(f, savedBoxes[Index(f)]);
        }
    };
    try {
        body();
        return true;
    } catch (const Failure& failure) {
        undo();
        view_.ShowMessage(failure.message());
    } catch (const Cancelled&) {
        undo();
    } catch (const std::bad_alloc&) {
        undo();
        view_.ShowMessage({ErrorKind::InvalidOperation, "内存不足，本次计算没有完成。请关闭其他程序后重试。"});
    }
    return false;
}

bool Calculator::SetUpCurveClicked() {
    SetUpOutcome outcome;
    if (!RunHandler([&] { outcome = RunCurveSetUp(*this, record_); })) return false;
    table_.StartGroup(outcome.inputs, record_.curve, record_.design);
    // A set-up does not depend on the orientation; its step names none.
    journal_.steps.push_back({JobStep::Kind::SetUp, replies_, Orientation::Parallel, {}, 0, -1, {}});
    ++changes_;
    view_.RecordChanged();
    if (outcome.warning) view_.ShowMessage(*outcome.warning);
    return true;
}

bool Calculator::ComputeBeamClicked() {
    BeamPlacement placement;
    if (!RunHandler([&] { placement = RunRequest(*this, record_, orientation_); })) return false;
    table_.Add(RowOf(record_.request.Kp, record_.request.Dr, placement));
    journal_.steps.push_back({JobStep::Kind::Request, replies_, orientation_, {}, 0, -1, {}});
    ++changes_;
    view_.RecordChanged();
    if (std::optional<Message> warning = FarChainageWarning(record_.curve, record_.design, record_.request.Kp))
        view_.ShowMessage(*warning);
    return true;
}

BatchOutcome Calculator::RunBatch(const std::vector<double>& chainages, double Dr) {
    if (!record_.hasCurve) throw Failure(NoCurveMessage());
    BatchOutcome outcome = capbeam::RunBatch(record_.curve, record_.design, chainages, Dr, orientation_);
    for (PierRow& row : outcome.rows) row = table_.Add(std::move(row));
    if (outcome.rows.empty()) return outcome;
    journal_.steps.push_back({JobStep::Kind::Batch, {}, orientation_, chainages, Dr, -1, {}});
    ++changes_;
    view_.RecordChanged();
    return outcome;
}

BatchStepper Calculator::StartBatch(double Dr) const {
    if (!record_.hasCurve) throw Failure(NoCurveMessage());
    return BatchStepper(record_.curve, record_.design, Dr, orientation_);
}

void Calculator::AddBatchRows(std::vector<PierRow>& rows) {
    for (PierRow& row : rows) row = table_.Add(std::move(row));
    if (!rows.empty()) view_.RecordChanged();
}

void Calculator::RecordBatch(std::vector<double> chainages, double Dr, bool anyRows) {
    if (!anyRows) return;
    journal_.steps.push_back({JobStep::Kind::Batch, {}, orientation_, std::move(chainages), Dr, -1, {}});
    ++changes_;
    view_.RecordChanged();
}

void Calculator::MarkBatchCancelled(std::size_t done, std::size_t total) {
    table_.NoteOnLatestHeader("  〔批量计算已取消：" + std::to_string(total) + " 个桩号只算了前 " + std::to_string(done) +
                              " 个〕");
    view_.RecordChanged();
}

std::optional<RoadFollowed> Calculator::SetAlignmentPage(std::optional<JobAlignment> table,
                                                        std::vector<std::string> fields) {
    if (table && table->table.empty()) table.reset();
    if (table == journal_.page && fields == journal_.pageFields) return std::nullopt;
    const bool roadChanged = !(table == journal_.page);
    journal_.page = std::move(table);
    journal_.pageFields = std::move(fields);
    ++changes_;
    return roadChanged ? FollowPageRoad() : std::nullopt;
}

namespace {

BeamDesign DesignOf(const AlignmentBeamDesign& in, Orientation orientation) {
    BeamDesign design;
    design.Bdms = in.Bdms;
    design.DL = in.DL;
    design.DR = in.DR;
    design.orientation = orientation == Orientation::Tangent ? BeamOrientation::Tangent : BeamOrientation::Parallel;
    return design;
}

// The design beam at Kj on the road, its distance set; throws Failure naming
// it when it does not stand there.
void PlaceDesignBeam(const LoadedRoad& road, const AlignmentBeamDesign& in, BeamDesign& design) {
    try {
        design.Kj = road.road.DistanceOf(in.Kj);
        PlaceBeam(road.road.Line(), design, design.Kj);
    } catch (const Failure& failure) {
        throw Failure(ErrorKind::OutOfRange,
                      "设计盖梁（Kj " + TypedChainageCell(in.Kj) + "）放不上：" + failure.message().text);
    }
}

// How far a beam moved: the largest distance between its centres and ends.
double Moved(const BeamEnds& a, const BeamEnds& b) {
    return std::max({std::hypot(a.Xk - b.Xk, a.Yk - b.Yk), std::hypot(a.Xin - b.Xin, a.Yin - b.Yin),
                     std::hypot(a.Xout - b.Xout, a.Yout - b.Yout)});
}

}  // namespace

AlignmentBeamsOutcome Calculator::PlaceOnAlignment(const LoadedRoad& road, const std::vector<std::string>& fields,
                                                   const std::vector<Chainage>& chainages) {
    // The alignment beams stand on: the page's table, kept once in the job.
    return PlaceOnAlignment(journal_.page.value_or(JobAlignment{}), road, fields, chainages);
}

AlignmentBeamsOutcome Calculator::PlaceOnAlignment(const JobAlignment& table, const LoadedRoad& road,
                                                   const std::vector<std::string>& fields,
                                                   const std::vector<Chainage>& chainages) {
    const AlignmentBeamDesign in = ReadAlignmentBeamDesign(fields);
    BeamDesign design = DesignOf(in, orientation_);
    PlaceDesignBeam(road, in, design);
    AlignmentBeamsOutcome outcome;
    std::vector<PierRow> rows;
    for (const Chainage& Kp : chainages) {
        try {
            const BeamEnds e = PlaceBeam(road.road.Line(), design, road.road.DistanceOf(Kp));
            rows.push_back(AlignmentRowOf(road.road, Kp, e, orientation_));
        } catch (const Failure& failure) {
            outcome.refused.emplace_back(Kp, failure.message().text);
        }
    }
    if (rows.empty()) return outcome;

    if (journal_.alignments.empty() || !(journal_.alignments.back() == table)) journal_.alignments.push_back(table);
    const int alignment = static_cast<int>(journal_.alignments.size()) - 1;
    const std::string description = AlignmentGroupDescription(table.name, in.Kj, in.Bdms, in.DL, in.DR);
    const std::string key = std::to_string(alignment) + "|" + description;
    if (key != alignmentGroupKey_ || table_.Groups().empty() || table_.Groups().back().number != alignmentGroup_) {
        table_.StartAlignmentGroup(description);
        alignmentGroup_ = table_.Groups().back().number;
        alignmentGroupKey_ = key;
        alignmentGroups_.push_back({alignmentGroup_, in});
    }
    for (PierRow& row : rows) {
        const PierRow& stored = table_.AddAlignmentRow(std::move(row));
        lastPlaced_[stored.number] = stored.ends;
    }
    outcome.placed = static_cast<int>(rows.size());
    JobStep step;
    step.kind = JobStep::Kind::AlignmentBeams;
    step.replies = fields;
    step.orientation = orientation_;
    step.alignment = alignment;
    step.stations = chainages;
    journal_.steps.push_back(std::move(step));
    ++changes_;
    view_.RecordChanged();
    return outcome;
}

std::optional<RoadFollowed> Calculator::FollowPageRoad() {
    if (alignmentGroups_.empty()) return followed_ = std::nullopt;
    std::optional<LoadedRoad> road;
    std::string unreadable;
    if (!journal_.page) {
        unreadable = "道路线形页的线形表是空的，请输入或打开线形。";
    } else {
        try {
            road = LoadAlignment(*journal_.page);
        } catch (const Failure& failure) {
            unreadable = "线形表不能使用（" + failure.message().text + "）";
        }
    }
    RoadFollowed followed;
    followed.readable = road.has_value();
    for (const AlignmentGroup& group : alignmentGroups_) {
        const std::size_t at = static_cast<std::size_t>(group.number - 1);
        const PierGroup& g = table_.Groups()[at];
        // Why none of the group's beams stands, when none can.
        std::string groupWhy = unreadable;
        BeamDesign design = DesignOf(group.design, Orientation::Parallel);
        if (road) {
            try {
                PlaceDesignBeam(*road, group.design, design);
            } catch (const Failure& failure) {
                groupWhy = failure.message().text;
            }
        }
        std::vector<PierRow> rows;
        std::vector<RefusedPier> refused;
        for (const PierLine& line : LinesOf(g)) {
            const Chainage Kp = line.row ? Chainage{line.row->Kp, line.row->KpStretch}
                                         : Chainage{line.refused->Kp, line.refused->KpStretch};
            const Orientation orientation = line.row ? line.row->orientation : line.refused->orientation;
            const int number = line.Number();
            ++followed.beams;
            std::string why = groupWhy;
            if (why.empty()) {
                try {
                    BeamDesign beam = DesignOf(group.design, orientation);
                    beam.Kj = design.Kj;
                    PierRow row = AlignmentRowOf(road->road, Kp, PlaceBeam(road->road.Line(), beam, road->road.DistanceOf(Kp)),
                                                 orientation);
                    row.number = number;
                    if (const auto before = lastPlaced_.find(number); before != lastPlaced_.end()) {
                        const double moved = Moved(before->second, row.ends);
                        if (moved > kMovedMetres) ++followed.moved;
                        followed.farthest = std::max(followed.farthest, moved);
                    }
                    lastPlaced_[number] = row.ends;
                    rows.push_back(std::move(row));
                    continue;
                } catch (const Failure& failure) {
                    why = failure.message().text;
                }
            }
            ++followed.refused;
            refused.push_back({number, Kp.value, Kp.stretch, orientation, TypedChainageCell(Kp), why});
        }
        std::string header = g.header;
        if (journal_.page)
            header = "第 " + std::to_string(group.number) + " 组：" +
                     AlignmentGroupDescription(journal_.page->name, group.design.Kj, group.design.Bdms,
                                               group.design.DL, group.design.DR);
        table_.ReplaceAlignmentGroup(at, std::move(header), std::move(rows), std::move(refused));
    }
    view_.RowsPlacedAgain();
    return followed_ = followed;
}

void Calculator::ExitClicked() { EndProgram(); }

void Calculator::SetOrientation(Orientation orientation) {
    if (orientation == orientation_) return;
    orientation_ = orientation;
    ++changes_;
}

Job Calculator::CurrentJob() const {
    Job job = journal_;
    job.orientation = orientation_;
    return job;
}

void Calculator::SetSite(SiteWork site) {
    if (site == journal_.site) return;
    journal_.site = std::move(site);
    ++changes_;
    view_.RecordChanged();
}

void Calculator::Adopt(const Calculator& other) {
    record_ = other.record_;
    orientation_ = other.orientation_;
    table_ = other.table_;
    journal_ = other.journal_;
    alignmentGroupKey_ = other.alignmentGroupKey_;
    alignmentGroup_ = other.alignmentGroup_;
    alignmentGroups_ = other.alignmentGroups_;
    lastPlaced_ = other.lastPlaced_;
    followed_ = other.followed_;
    ++changes_;
    for (int n = 1; n <= kBoxCount; ++n) SetText(BoxAt(n), other.boxes_[Index(BoxAt(n))]);
    view_.JobReplaced();
}

std::optional<std::string> Calculator::PromptText(const std::string& message, const Refusal* refused,
                                                  const PromptHelp& help) {
    // A refusal is of the reply before it: only the reply that passed stays.
    if (refused && !replies_.empty()) replies_.pop_back();
    std::optional<std::string> reply = view_.PromptText(message, refused, help);
    if (reply) replies_.push_back(*reply);
    return reply;
}

void Calculator::SetText(Box box, const std::string& text) {
    boxes_[Index(box)] = text;
    view_.SetText(box, text);
}

void Calculator::EndProgram() { view_.EndProgram(); }

}  // namespace capbeam

#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "flows/alignment_beams.h"
#include "flows/calculation_record.h"
#include "flows/window_ops.h"
#include "records/batch.h"
#include "records/job.h"
#include "records/pier_table.h"

namespace capbeam {

// What a front-end (the Qt window, the terminal, a test) provides: the three
// window operations, and a message box for what a click has to tell the user.
class View : public WindowOps {
public:
    virtual void ShowMessage(const Message& message) = 0;
    // After every completed set-up, request or batch: the curve or the pier
    // table has changed (a plan view redraws, a table shows the new rows).
    virtual void RecordChanged() {}
    // After a whole job has replaced the calculator's state (opened, new):
    // the table is another table, not a longer one.
    virtual void JobReplaced() { RecordChanged(); }
    // After the alignment groups were placed again on the page's road: rows
    // already shown have other numbers, or are refused.
    virtual void RowsPlacedAgain() { RecordChanged(); }
};

// The calculator without the toolkit: the calculation record, the texts of
// the 21 boxes, the pier table, and the three button handlers. Each handler
// runs as one unit: when it fails or the user cancels a prompt, the record
// and every box are put back as they were before the click, and a failure is
// shown in one message; nothing typed before that click is lost.
class Calculator : private WindowOps {
public:
    explicit Calculator(View& view);

    // "进行计算": the curve set-up. Returns whether the click completed.
    bool SetUpCurveClicked();
    // "座标计算": one beam at a chainage. Returns whether the click completed.
    bool ComputeBeamClicked();
    // "退出计算": ends the program.
    void ExitClicked();

    // How "座标计算" and the batch turn the beams at other chainages.
    void SetOrientation(Orientation orientation);
    Orientation GetOrientation() const { return orientation_; }

    // Places many beams on the latest set-up with one half-width and adds
    // them to the pier table. The boxes and the record stay as they are.
    // Throws Failure before any chainage runs when there is no set-up yet or
    // Dr breaks its rule.
    BatchOutcome RunBatch(const std::vector<double>& chainages, double Dr);

    // A batch computed elsewhere (the window's worker) joins the table in
    // chunks: the rows, unnumbered, in the order computed, are numbered as
    // they are added (each row in `rows` becomes its stored copy).
    // Throws Failure when there is no set-up, as RunBatch does.
    BatchStepper StartBatch(double Dr) const;
    void AddBatchRows(std::vector<PierRow>& rows);
    // A batch run row by row (AddBatchRows) has ended: the chainages it ran,
    // in order, go into the journal, so that the job keeps its rows and asks
    // before they are lost. Nothing when none of them gave a row.
    void RecordBatch(std::vector<double> chainages, double Dr, bool anyRows);
    // A batch stopped before its end: its group's header says how far it got.
    void MarkBatchCancelled(std::size_t done, std::size_t total);

    const CalculationRecord& Record() const { return record_; }
    const std::string& Text(Box f) const { return boxes_[Index(f)]; }
    const std::array<std::string, kBoxCount>& Texts() const { return boxes_; }
    // Every completed request of this run, grouped by set-up.
    const PierTable& Table() const { return table_; }
    // The alignment page adds its groups of beams here: one record of the run.
    PierTable& EditTable() { return table_; }

    // The alignment page's table (typed, perhaps not readable yet; nothing
    // when empty) and its design beam's fields Kj B DL DR as shown: kept in
    // the job, a change to save when either differs. Every beam on an
    // alignment stands on the page's road: when the table changes, they are
    // all placed again on it (FollowPageRoad) and what that gave is returned;
    // nothing when the table is the same or there is no such beam.
    std::optional<RoadFollowed> SetAlignmentPage(std::optional<JobAlignment> table, std::vector<std::string> fields);
    // Every alignment group placed again on the page's road as it now
    // stands, each beam at its chainage with its group's design beam and its
    // own orientation, keeping its row number: a beam that does not stand on
    // the road (off it, an end missing an edge, the design beam off it, the
    // table unreadable or empty) becomes a refused row with why, and stands
    // again once the road takes it. Headers name the page's alignment.
    // Nothing when no beam stands on an alignment.
    std::optional<RoadFollowed> FollowPageRoad();
    // What the latest FollowPageRoad gave (a job opened: measured from where
    // its clicks placed the beams).
    const std::optional<RoadFollowed>& LastFollowed() const { return followed_; }
    // Beams centred at `chainages` on `road`, which the page read from its
    // table now, with the design beam of the page's fields and the window's
    // orientation, into the pier table: a new group whenever the alignment
    // or the design beam changed since this group opened, or the table moved
    // on to another group; none when no chainage gives a beam. Throws Failure
    // before any beam when the fields are refused or the design beam does
    // not stand on the road.
    AlignmentBeamsOutcome PlaceOnAlignment(const LoadedRoad& road, const std::vector<std::string>& fields,
                                           const std::vector<Chainage>& chainages);
    // The same on `table`, the alignment a job's step stood on (its road
    // `road`), leaving the page as it is: a job replays its clicks on the
    // tables they were made on, then follows the page's road once.
    AlignmentBeamsOutcome PlaceOnAlignment(const JobAlignment& table, const LoadedRoad& road,
                                           const std::vector<std::string>& fields,
                                           const std::vector<Chainage>& chainages);

    // The job: every completed click as typed, and the orientation. Opening
    // it replays those clicks (flows/job_replay.h).
    Job CurrentJob() const;
    // Counts every change a job keeps (a completed click, a new orientation,
    // a job taken over): unchanged since a save means nothing to save.
    unsigned long long Changes() const { return changes_; }
    // Takes over the whole state of `other` (a job replayed on it) and shows
    // it: the boxes, the table, the plan, the orientation.
    void Adopt(const Calculator& other);
    // The job's fields this version does not know, written back on save.
    void KeepFields(std::map<std::string, std::string> kept) { journal_.kept = std::move(kept); }
    // The set-out on site that the job keeps beside its clicks: pier names,
    // rows taken out, the points along each beam, the station. Setting a
    // different one is a change of the job, and the view is told of it.
    const SiteWork& Site() const { return journal_.site; }
    void SetSite(SiteWork site);

private:
    static std::size_t Index(Box f) { return static_cast<std::size_t>(BoxNumber(f) - 1); }

    template <class Body>
    bool RunHandler(Body body);

    std::optional<std::string> PromptText(const std::string& message, const Refusal* refused,
                                          const PromptHelp& help) override;
    void SetText(Box box, const std::string& text) override;
    void EndProgram() override;

    View& view_;
    CalculationRecord record_;
    std::array<std::string, kBoxCount> boxes_;
    Orientation orientation_ = Orientation::Parallel;
    PierTable table_;
    Job journal_;                      // the steps and the fields kept for later versions
    std::string alignmentGroupKey_;    // the alignment and design beam of the group last opened on one
    int alignmentGroup_ = -1;          // that group's number
    // Each alignment group: its number and its design beam as read.
    struct AlignmentGroup {
        int number = 0;
        AlignmentBeamDesign design;
    };
    std::vector<AlignmentGroup> alignmentGroups_;
    // Where each alignment row stood when last placed: what a move is
    // measured from, across a spell of a table that could not be read.
    std::map<int, BeamEnds> lastPlaced_;
    std::optional<RoadFollowed> followed_;
    std::vector<std::string> replies_;  // the accepted replies of the click now running
    unsigned long long changes_ = 0;
};

}  // namespace capbeam

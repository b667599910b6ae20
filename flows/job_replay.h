#pragma once

#include <optional>
#include <string>
#include <vector>

#include "flows/calculator.h"
#include "records/job.h"

namespace capbeam {

// Opens a job on `target`: replays its clicks on a calculator of its own,
// the replies given as typed, through the same prompts, rules and geometry
// as the user's own clicks, so that a value a prompt would refuse (R = 0,
// Dr >= R) is refused here, naming the step and the field. Only a job that
// replays whole replaces the target's state (Calculator::Adopt); otherwise
// Failure is thrown and the target stays as it was.
void ReplayJob(const Job& job, Calculator& target);

// The job's design beam and curve as its latest set-up left them, with the
// chainages of its pier table: what the terminal's batch takes from a job.
// Throws Failure as ReplayJob does.
struct JobSummary {
    bool hasCurve = false;
    CurveInputs inputs;      // the latest set-up's values as read
    double Dr = 0;           // the latest half-width, when any request or batch ran
    bool hasDr = false;
    Orientation orientation = Orientation::Parallel;
    std::vector<double> chainages;  // the pier table's Kp, in table order
    // When the latest beams stand on a whole alignment (or the job has only
    // an alignment): that alignment, its design beam's fields Kj B DL DR as
    // typed, and the latest group's chainages, each with its stretch.
    std::optional<JobAlignment> alignment;
    std::vector<std::string> alignmentFields;
    std::vector<Chainage> stations;
};
JobSummary SummariseJob(const Job& job);

// The pier table the job's clicks give, for the set-out of its piers (the
// job's SiteWork names them). Throws Failure as ReplayJob does.
PierTable ReplayedTable(const Job& job);

}  // namespace capbeam

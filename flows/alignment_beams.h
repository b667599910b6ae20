#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "records/alignment_road.h"
#include "records/job.h"

// Beams on a whole road alignment, as the alignment page places them and a
// job replays them: the design beam read from the page's fields, and the
// road read from a job's alignment table.

namespace capbeam {

struct AlignmentBeamDesign {
    Chainage Kj;
    double Bdms = 90;  // D.MMSS, as typed
    double DL = 0, DR = 0;
};

// The page's fields Kj, B, DL, DR as typed (DL empty: the same as DR).
// Throws Failure whose text names the field and what to type, e.g.
// "交角 B：...".
AlignmentBeamDesign ReadAlignmentBeamDesign(const std::vector<std::string>& fields);

// The road of an alignment table, read as a file of its kind is read.
// Throws Failure naming the row, as the readers do.
LoadedRoad LoadAlignment(const JobAlignment& alignment);

// The half-widths the plan draws the road's edges at, from the fields as
// typed (Kj B DL DR): DL empty is DR; a field that is not a width is none.
std::pair<std::optional<double>, std::optional<double>> DrawnHalfWidths(const std::vector<std::string>& fields);

// The alignment page's road as a job keeps it, with the half-widths its
// fields give: what the sheet and the drawing draw alignment beams on.
// Nothing when the job has no table or the readers refuse it.
struct PageRoad {
    LoadedRoad road;
    std::optional<double> DL, DR;
};
std::optional<PageRoad> PageRoadOf(const Job& job);

struct AlignmentBeamsOutcome {
    int placed = 0;
    // Each chainage that gave no beam, and why.
    std::vector<std::pair<Chainage, std::string>> refused;
};

// A beam counts as moved when its centre or an end lies farther than this
// from where it stood before the road changed.
inline constexpr double kMovedMetres = 0.001;

// What placing every beam of the job's alignment groups again on the page's
// road gave: how many there are, how many of them moved, how many no longer
// stand on it (refused rows), the largest move. A table that cannot be read
// refuses them all until it reads again.
struct RoadFollowed {
    int beams = 0;
    int moved = 0;
    int refused = 0;
    double farthest = 0;  // metres, of the beams placed
    bool readable = true;
};

// The one message saying so, in the words of the page (`opened`: as a job
// opened has them, measured from where the job's clicks placed them).
std::string RoadFollowedText(const RoadFollowed& followed, bool opened = false);

}  // namespace capbeam

#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "geometry/chainage_equations.h"
#include "geometry/single_curve.h"
#include "records/beam_points.h"

// A job: one bridge's work, as a journal of what the user did (each set-up
// and request with its replies as typed, each batch, the orientation), so
// that opening it replays the same clicks and every box, the record, the
// pier table and the plan come back as they were. Results are never stored:
// they are computed again from the inputs.
//
// The file is JSON in UTF-8 (README, "作业文件"). Reading and writing it uses
// Qt Core; this header is plain C++ so that the flows can replay a job.

namespace capbeam {

inline constexpr char kJobFormat[] = "capbeam-job";
// A file of a newer major version is refused; a newer minor version only
// adds fields, which an older reader keeps (top level) or ignores.
inline constexpr int kJobVersion = 1;
// 1: alignments and their beams; pier names, points, station. 2: beams on an
// alignment stand on the page's table (a file of 1 may hold them on older ones).
inline constexpr int kJobMinorVersion = 2;
// Larger files are refused before they are parsed: a bridge's job is a few
// kilobytes, and a huge file is not one.
inline constexpr std::size_t kMaxJobBytes = 16u << 20;
inline constexpr std::size_t kMaxJobSteps = 100000;
inline constexpr std::size_t kMaxJobChainages = 100000;  // in one batch step (the batch's own limit)

// A whole road alignment as the alignment page's table held it: its rows as
// CSV text in the table formats (records/alignment_csv.h), read by the same
// readers as a file, and the name its pier-table groups carry (the file it
// came from, or 手工输入).
struct JobAlignment {
    enum class Kind { JdTable, ElementTable };
    Kind kind = Kind::JdTable;
    std::string name;
    std::string table;
    bool operator==(const JobAlignment& o) const { return kind == o.kind && name == o.name && table == o.table; }
};

// One completed click, in the order the user made them.
struct JobStep {
    enum class Kind { SetUp, Request, Batch, AlignmentBeams };
    Kind kind = Kind::SetUp;
    // SetUp: the eight replies Xo Yo Kj Xj Yj B R P; Request: Kp Dr mb;
    // AlignmentBeams: the design beam's fields Kj B DL DR as typed.
    std::vector<std::string> replies;
    Orientation orientation = Orientation::Parallel;  // Request, Batch, AlignmentBeams
    std::vector<double> chainages;                    // Batch, metres
    double Dr = 0;                                    // Batch
    int alignment = -1;                               // AlignmentBeams: which of Job::alignments
    std::vector<Chainage> stations;                   // AlignmentBeams: the beams' chainages
    bool operator==(const JobStep& o) const {
        const auto sameStations = [&] {
            if (stations.size() != o.stations.size()) return false;
            for (std::size_t i = 0; i < stations.size(); ++i)
                if (stations[i].value != o.stations[i].value || stations[i].stretch != o.stations[i].stretch)
                    return false;
            return true;
        };
        return kind == o.kind && replies == o.replies && orientation == o.orientation &&
               chainages == o.chainages && Dr == o.Dr && alignment == o.alignment && sameStations();
    }
};

struct Job {
    std::vector<JobStep> steps;
    Orientation orientation = Orientation::Parallel;  // the window's choice now
    // The alignments beams were placed on, each once, in the order first used.
    std::vector<JobAlignment> alignments;
    // The alignment page's table now (typed, perhaps not yet readable), and
    // the design beam's fields as the page shows them (Kj B DL DR): what the
    // page shows again when the job is opened.
    std::optional<JobAlignment> page;
    std::vector<std::string> pageFields;
    // Top-level fields this version does not know (room for pier names, an
    // alignment, points along beams, a station from a later minor version),
    // each its JSON text, written back unchanged.
    std::map<std::string, std::string> kept;
    // Minor version 1, the set-out on site: pier names, rows taken out, the
    // points along each beam, the instrument's station (top-level fields
    // pierNames, deletedPiers, beamPoints, station).
    SiteWork site;
    // The minor version the file was written with (0 when it names none):
    // how to read it, not part of the job, so not compared.
    int minor = kJobMinorVersion;
    bool operator==(const Job& o) const {
        return steps == o.steps && orientation == o.orientation && alignments == o.alignments &&
               page == o.page && pageFields == o.pageFields && kept == o.kept && site == o.site;
    }
    // Nothing worth keeping: no click completed, no alignment typed, no
    // set-out work (points along beams, a station).
    bool Blank() const { return steps.empty() && (!page || page->table.empty()) && site == SiteWork{}; }
};

// The field names of a step's replies, in the order the prompts ask them.
const std::vector<std::string>& ReplyNames(JobStep::Kind kind);

// The job as the file's bytes (UTF-8 JSON, indented, a final new line).
std::string WriteJob(const Job& job);

// Reads a job file's bytes. Throws Failure with a message in Chinese naming
// the problem (not JSON, cut short, not a job, a newer version, a field of
// the wrong kind) and nothing else: it never returns half a job. The values
// are checked by replaying them (ReplayJob), as typed ones are.
Job ReadJob(std::string_view bytes);

// Reads the job file at `path` (UTF-8): ReadJob on its bytes, and a file that
// cannot be read is refused the same way.
Job ReadJobFile(const std::string& path);

// The one message for a job that did not open, in the window and in the
// terminal alike: the file, then why (a Failure's text).
std::string JobOpenFailureText(const std::string& path, const std::string& why);

}  // namespace capbeam

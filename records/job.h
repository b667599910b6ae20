#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

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
inline constexpr int kJobMinorVersion = 1;
// Larger files are refused before they are parsed: a bridge's job is a few
// kilobytes, and a huge file is not one.
inline constexpr std::size_t kMaxJobBytes = 16u << 20;
inline constexpr std::size_t kMaxJobSteps = 100000;
inline constexpr std::size_t kMaxJobChainages = 100000;  // in one batch step (the batch's own limit)

// One completed click, in the order the user made them.
struct JobStep {
    enum class Kind { SetUp, Request, Batch };
    Kind kind = Kind::SetUp;
    // SetUp: the eight replies Xo Yo Kj Xj Yj B R P; Request: Kp Dr mb.
    std::vector<std::string> replies;
    Orientation orientation = Orientation::Parallel;  // Request, Batch
    std::vector<double> chainages;                    // Batch, metres
    double Dr = 0;                                    // Batch
    bool operator==(const JobStep& o) const {
        return kind == o.kind && replies == o.replies && orientation == o.orientation &&
               chainages == o.chainages && Dr == o.Dr;
    }
};

struct Job {
    std::vector<JobStep> steps;
    Orientation orientation = Orientation::Parallel;  // the window's choice now
    // Top-level fields this version does not know (room for pier names, an
    // alignment, points along beams, a station from a later minor version),
    // each its JSON text, written back unchanged.
    std::map<std::string, std::string> kept;
    // Minor version 1, the set-out on site: pier names, rows taken out, the
    // points along each beam, the instrument's station (top-level fields
    // pierNames, deletedPiers, beamPoints, station).
    SiteWork site;
    bool operator==(const Job& o) const {
        return steps == o.steps && orientation == o.orientation && kept == o.kept && site == o.site;
    }
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

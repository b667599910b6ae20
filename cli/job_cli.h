#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "records/job.h"

namespace capbeam {

// The batch a job asks for: its arguments, and the whole alignment it runs
// on when the job's latest beams stand on one (the terminal's alignment
// batch then takes its --kj --b --dl --dr from the job's design beam).
struct JobBatch {
    std::vector<std::string> args;
    std::optional<JobAlignment> alignment;
};

// `capbeam-cli batch --job FILE ...`: the batch's options and chainages with
// the job's filled in where the command line gives none: the latest set-up's
// replies as typed (--xo ... --p), the latest half-width (--dr), the
// orientation and, without chainages or a range, the chainages of the pier
// table's latest group. Returns the arguments for the batch without --job,
// or, for a job that cannot be opened, writes the window's message on `err`
// and returns nothing (exit status 2). Arguments without --job come back
// unchanged. A job whose latest beams stand on a whole alignment gives the
// alignment batch's options instead (--kj --b --dl --dr --orientation) and
// its latest group's chainages, each with its stretch.
std::optional<JobBatch> BatchArgumentsWithJob(const std::vector<std::string>& args, std::ostream& err);

}  // namespace capbeam

#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace capbeam {

// `capbeam-cli batch --job FILE ...`: the batch's options and chainages with
// the job's filled in where the command line gives none: the latest set-up's
// replies as typed (--xo ... --p), the latest half-width (--dr), the
// orientation and, without chainages or a range, the chainages of the pier
// table's latest group. Returns the arguments for the batch without --job,
// or, for a job that cannot be opened, writes the window's message on `err`
// and returns nothing (exit status 2). Arguments without --job come back
// unchanged.
std::optional<std::vector<std::string>> BatchArgumentsWithJob(const std::vector<std::string>& args, std::ostream& err);

}  // namespace capbeam

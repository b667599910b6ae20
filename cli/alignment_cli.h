#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "records/job.h"

// The terminal's commands on a whole road alignment, read from a JD-table or
// element-table CSV or a LandXML file:
//   alignment FILE                              the main points
//   coord --alignment FILE ... CHAINAGE...      中边桩坐标
//   inverse --alignment FILE X,Y ...            坐标反算
//   batch --alignment FILE ... CHAINAGE...      skewed beams on the alignment
// Each writes CSV (UTF-8, CR LF, a header row) to `out` and lists what it
// could not compute on `err`, one line an item, "item：reason".
// Exit statuses: 0 all computed; 1 some refused; 2 bad options or a bad
// file; 3 the output could not be written.

namespace capbeam {

// Whether the arguments ask for one of these commands: `alignment`, `coord`
// or `inverse` first, or `batch` with an --alignment option.
bool IsAlignmentCommand(const std::vector<std::string>& args);

// Runs the command named by args[0]; returns the exit status. `road`, when
// given, is the alignment a batch runs on instead of an --alignment file
// (a job's).
int RunAlignmentCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
                    const JobAlignment* road = nullptr);

}  // namespace capbeam

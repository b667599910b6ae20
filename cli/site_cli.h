#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// The terminal's commands on the set-out of a job's piers:
//   points --job FILE [--format csv|cass|gsi] [--bom]
//       every pier's points (centre, ends, the job's points along the beam)
//   stakeout --job FILE [--station X,Y] [--backsight X,Y | --backsight-azimuth A] [--bom]
//       their azimuth, angle and distance from a station (the job's own
//       station where the command line gives none)
// Exit statuses: 0 written; 2 bad options or a job that cannot be opened or
// computed (nothing written); 3 the output could not be written.

namespace capbeam {

bool IsSiteCommand(const std::vector<std::string>& args);
int RunSiteCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace capbeam

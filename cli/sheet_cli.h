#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace capbeam {

// `report` and `drawing`: a job's calculation sheet as a PDF and its plan as
// a DXF. True when args name one of them.
bool IsSheetCommand(const std::vector<std::string>& args);
// Runs it; returns the exit status: 0 written, 2 a mistyped command line or
// a job that cannot be opened, 3 the file could not be written.
int RunSheetCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace capbeam

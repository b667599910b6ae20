#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace capbeam {

// The terminal front-end: the window's logic over standard input and output.
// Returns the process's exit status.
int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace capbeam

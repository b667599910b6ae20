#pragma once

#include <string>
#include <vector>

namespace capbeam {

// The program's arguments as UTF-8, whatever the system's code page. On
// Windows main() gets them in the ANSI code page (GBK on a Chinese system,
// Latin-1 elsewhere), so a full-width digit or a Chinese file name would not
// arrive as the UTF-8 the terminal front-end reads: there they come from the
// wide command line instead.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Standard output and error carry the same bytes as on Linux: UTF-8, and
// lines ending as the program ends them (the CSV's "\r\n" must not become
// "\r\r\n" in Windows' text mode); a Windows console shows the UTF-8 as
// Chinese. Standard input stays in text mode, so a line typed in a console
// arrives without its "\r". Nothing to do elsewhere.
void UseUtf8StandardStreams();

}  // namespace capbeam

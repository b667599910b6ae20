#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace capbeam {

// `report` and `drawing`: a job's calculation sheet as a PDF and its plan as
// a DXF. True when args name one of them.
bool IsSheetCommand(const std::vector<std::string>& args);

// Writes the calculation sheet of the job at `job` to `output`; returns the
// exit status (0 written, 2 the job cannot be opened, 3 the file could not be
// written), telling failures on err.
using ReportWriter = int (*)(const std::string& job, const std::string& output, std::ostream& err);

// The sheet is painted with Qt Gui, whose libraries take longer to load than
// a batch of 100,000 chainages takes to compute: capbeam-cli loads Qt Core
// only and hands `report` to capbeam-report, a program installed beside it,
// waiting for it to finish. Its messages go straight to standard error.
int RunReportBesideThisProgram(const std::string& job, const std::string& output, std::ostream& err);

// Runs `report` or `drawing`; returns the exit status: 0 written, 2 a
// mistyped command line or a job that cannot be opened, 3 the file could not
// be written. The sheet is written by write_report.
int RunSheetCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                ReportWriter write_report = RunReportBesideThisProgram);

}  // namespace capbeam

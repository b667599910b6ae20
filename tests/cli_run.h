#pragma once

// capbeam-cli run in process: the arguments and standard input in, the exit
// status and both outputs back.

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace capbeam::test {

struct CliRun {
    int status = 0;
    std::string out, err;
};

inline CliRun Cli(const std::vector<std::string>& args, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out, err;
    CliRun run;
    run.status = RunCli(args, in, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

}  // namespace capbeam::test

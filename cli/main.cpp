#include <iostream>

#include "cli/cli.h"
#include "cli/program_args.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    capbeam::UseUtf8StandardStreams();
    return capbeam::RunCli(capbeam::ProgramArguments(argc, argv), std::cin, std::cout, std::cerr);
}

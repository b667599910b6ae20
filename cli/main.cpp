#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"

#ifdef _WIN32
// windows.h before shellapi.h, which needs its macros.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

namespace {

// Windows hands main() its arguments in the ANSI code page (GBK on a Chinese
// system, Latin-1 elsewhere): a full-width digit or a Chinese file name would
// not arrive as the UTF-8 the terminal front-end reads. Take them from the
// wide command line instead.
std::vector<std::string> Utf8Arguments() {
    std::vector<std::string> args;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return args;
    for (int i = 1; i < count; ++i) {
        const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(bytes > 0 ? bytes - 1 : 0, '\0');
        if (bytes > 1) WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), bytes, nullptr, nullptr);
        args.push_back(std::move(arg));
    }
    LocalFree(wide);
    return args;
}

// The same bytes as on Linux: UTF-8, and lines ending as the program ends
// them (the CSV's "\r\n" must not become "\r\r\n" in text mode). A console
// shows the UTF-8 as Chinese. Standard input stays in text mode, so a line
// typed in a console arrives without its "\r".
void UseUtf8Output() {
    SetConsoleOutputCP(CP_UTF8);
    SetConsoleCP(CP_UTF8);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

}  // namespace
#endif

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
#ifdef _WIN32
    (void)argc;
    (void)argv;
    UseUtf8Output();
    const std::vector<std::string> args = Utf8Arguments();
#else
    const std::vector<std::string> args(argv + 1, argv + argc);
#endif
    return capbeam::RunCli(args, std::cin, std::cout, std::cerr);
}

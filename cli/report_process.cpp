// capbeam-cli's `report`: the sheet is written by capbeam-report, the program
// installed beside capbeam-cli, so that capbeam-cli itself loads Qt Core only.

#include <ostream>
#include <string>
#include <vector>

#include "cli/sheet_cli.h"

#ifdef CAPBEAM_WITH_REPORT
#ifdef _WIN32
#include <windows.h>

#include <process.h>
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;
#endif
#endif

namespace capbeam {

namespace {

constexpr char kPrefix[] = "capbeam-cli report: ";

// What Run gives besides the report program's own exit status.
constexpr int kNotStarted = -1;
constexpr int kAborted = -2;  // ended by a crash or a signal, not by itself

#ifdef CAPBEAM_WITH_REPORT
#ifdef _WIN32
std::wstring Wide(const std::string& utf8) {
    const int count = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(count > 0 ? count : 0, L'\0');
    if (count > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), count);
    return wide;
}

// _wspawnv joins its arguments with blanks as they are: each is quoted here
// so that the child's command-line parser gives it back whole (a file name
// with blanks, quotes or a trailing backslash).
std::wstring Quoted(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped.
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted.push_back(c);
    }
    quoted.append(2 * backslashes, L'\\');
    quoted.push_back(L'"');
    return quoted;
}

// Empty when this program's own path is not known.
std::wstring ProgramBesideThis() {
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) return {};
    path.resize(length);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"capbeam-report.exe";
}

// The exit status of the report program, kNotStarted or kAborted.
int Run(const std::vector<std::string>& args) {
    const std::wstring program = ProgramBesideThis();
    if (program.empty()) return kNotStarted;
    std::vector<std::wstring> quoted{Quoted(program)};
    for (const std::string& arg : args) quoted.push_back(Quoted(Wide(arg)));
    std::vector<const wchar_t*> argv;
    for (const std::wstring& arg : quoted) argv.push_back(arg.c_str());
    argv.push_back(nullptr);
    const intptr_t status = _wspawnv(_P_WAIT, program.c_str(), argv.data());
    if (status == -1) return kNotStarted;
    // A crash ends a Windows program with an exception code (0xC0000005 ...).
    return status >= 0 && status <= 255 ? static_cast<int>(status) : kAborted;
}
#else
// Empty when this program's own path is not known: never a program of that
// name in whatever folder the terminal is in.
std::string ProgramBesideThis() {
    std::string path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) return {};
    path.resize(static_cast<std::size_t>(length));
    return path.substr(0, path.rfind('/') + 1) + "capbeam-report";
}

// The exit status of the report program, kNotStarted or kAborted.
int Run(const std::vector<std::string>& args) {
    const std::string program = ProgramBesideThis();
    if (program.empty()) return kNotStarted;
    std::vector<std::string> owned{program};
    owned.insert(owned.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : owned) argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return kNotStarted;
    int status = 0;
    while (waitpid(child, &status, 0) < 0)
        if (errno != EINTR) return kAborted;
    return WIFEXITED(status) ? WEXITSTATUS(status) : kAborted;
}
#endif
#endif

}  // namespace

int RunReportBesideThisProgram(const std::string& job, const std::string& output, std::ostream& err) {
#ifndef CAPBEAM_WITH_REPORT
    (void)job;
    (void)output;
    err << kPrefix << "这个版本的 capbeam-cli 编译时没有 Qt Gui，不能写计算书；平面图（drawing）可以写。\n";
    return 2;
#else
    // What this program has written so far comes before the report program's
    // own words.
    err.flush();
    const int status = Run({"--job", job, "-o", output});
    if (status == kNotStarted) {
        err << kPrefix << "找不到写计算书的程序 capbeam-report（应与 capbeam-cli 在同一文件夹）。"
            << "请重新安装 capbeam。\n";
        return 2;
    }
    if (status == kAborted) {
        // Out of memory, a crash, a kill: whatever it had begun is not a sheet.
        err << kPrefix << "写计算书的程序 capbeam-report 意外中止，计算书没有写出（“" << output
            << "”如已存在，仍是原来的文件）。请再试一次；仍不行时请把作业文件发给软件维护人员。\n";
        return 3;
    }
    return status;
#endif
}

}  // namespace capbeam

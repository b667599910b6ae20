// The terminal front-end as a script uses it: start capbeam-cli, run one
// set-up and one request through its standard input, read every line it
// writes, wait for it to end. Wall-clock time per process.
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

extern char** environ;

namespace {

const std::string kSession =
    "1\n1000\n2000\n1000\n1500\n2000\n60\n500\n1\n2\n1020\n10\n0.001\n3\n";

// Runs the program once; returns the number of bytes it wrote, or -1.
long RunOnce() {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, in[1]);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    char program[] = CAPBEAM_CLI;
    char fields[] = "--fields";
    char* argv[] = {program, fields, nullptr};
    pid_t pid;
    const int spawned = posix_spawn(&pid, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    if (spawned != 0) return -1;
    if (write(in[1], kSession.data(), kSession.size()) != static_cast<ssize_t>(kSession.size())) return -1;
    close(in[1]);
    long total = 0;
    char buffer[4096];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) total += n;
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? total : -1;
}

void BM_CliSetUpAndRequest(benchmark::State& state) {
    for (auto _ : state) {
        if (RunOnce() <= 0) {
            state.SkipWithError("capbeam-cli did not run the session");
            break;
        }
    }
}
BENCHMARK(BM_CliSetUpAndRequest)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// Fuzzes the job reader and the replay of a job: any bytes either open as a
// job or are refused with a Failure, and a refused job leaves the calculator
// it was opened on exactly as it was (never half a job). An opened job writes
// back to a file that reads as the same job.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "core/failure.h"
#include "flows/job_replay.h"
#include "records/job.h"

namespace {

class QuietView : public capbeam::View {
public:
    std::optional<std::string> PromptText(const std::string&, const capbeam::Refusal*,
                                          const capbeam::PromptHelp&) override {
        return std::nullopt;
    }
    void SetText(capbeam::Box, const std::string&) override {}
    void EndProgram() override {}
    void ShowMessage(const capbeam::Message&) override {}
};

void Check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace capbeam;
    QuietView view;
    Calculator target(view);
    const auto boxes = target.Texts();
    const Job before = target.CurrentJob();
    try {
        const Job job = ReadJob(std::string_view(reinterpret_cast<const char*>(data), size));
        Check(ReadJob(WriteJob(job)) == job, "a job written and read again is the same job");
        try {
            ReplayJob(job, target);
        } catch (const Failure&) {
            Check(target.Texts() == boxes && target.CurrentJob() == before && target.Table().Groups().empty(),
                  "a refused job leaves the open job as it was");
        }
    } catch (const Failure&) {
        Check(target.Texts() == boxes && target.CurrentJob() == before, "a refused file changes nothing");
    }
    return 0;
}

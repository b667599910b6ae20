// Benchmarks of the calculation: a full set-up through the window's logic.
#include <benchmark/benchmark.h>

#include <optional>
#include <string>
#include <vector>

#include "app/form1_logic.h"

namespace {

using namespace capbeam;

// Answers every prompt from a fixed list, round and round, and shows nothing.
class ReplayView : public View {
public:
    explicit ReplayView(std::vector<std::string> replies) : replies_(std::move(replies)) {}
    std::optional<std::string> PromptText(const std::string&, const Refusal*) override {
        const std::string& r = replies_[next_];
        next_ = (next_ + 1) % replies_.size();
        return r;
    }
    void SetText(Field, const std::string&) override {}
    void EndProgram() override {}
    void ShowMessage(const Message&) override {}
    void Rewind() { next_ = 0; }

private:
    std::vector<std::string> replies_;
    std::size_t next_ = 0;
};

const std::vector<std::string> kSetUp = {"3000", "5000", "12345.678", "3300", "5400", "30.153", "500", "1"};

void BM_SetUp(benchmark::State& state) {
    ReplayView view(kSetUp);
    Form1Logic logic(view);
    for (auto _ : state) {
        view.Rewind();
        benchmark::DoNotOptimize(logic.Command1_Click());
    }
}
BENCHMARK(BM_SetUp);

}  // namespace

BENCHMARK_MAIN();

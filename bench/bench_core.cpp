// Benchmarks of the calculation: a full set-up and a calculation request
// through the window's logic, and the end-point geometry alone.
#include <benchmark/benchmark.h>

#include <optional>
#include <string>
#include <vector>

#include "app/form1_logic.h"
#include "calc/routines.h"

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
    void Rewind(std::size_t to = 0) { next_ = to; }

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

// One "座标计算" click after the set-up above: three prompts and Cm1's ten boxes.
void BM_Request(benchmark::State& state) {
    std::vector<std::string> replies = kSetUp;
    replies.insert(replies.end(), {"12400", "10", "0.001"});
    ReplayView view(replies);
    Form1Logic logic(view);
    logic.Command1_Click();
    for (auto _ : state) {
        view.Rewind(kSetUp.size());
        benchmark::DoNotOptimize(logic.Command2_Click());
    }
}
BENCHMARK(BM_Request);

// The closed-form geometry of one skewed beam, without any text.
void BM_SkewedEnds(benchmark::State& state) {
    const double RadToDeg = 180 / 3.1415926535;
    double Kp = 1020;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SkewedEnds(kCm1, 1000, 1000, 2000, 500, 490, 510, 60, RadToDeg, 0, Kp, 330, 150));
        Kp += 1e-9;
    }
}
BENCHMARK(BM_SkewedEnds);

}  // namespace

BENCHMARK_MAIN();

// Benchmarks of the calculation: a full set-up and a calculation request
// through the window's logic, and the end-point geometry alone.
#include <benchmark/benchmark.h>

#include <optional>
#include <string>
#include <vector>

#include "app/form1_logic.h"
#include "calc/request.h"
#include "calc/routines.h"
#include "setup/curve_setup.h"

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

// The record after the set-up above, with a request's Dr, mb and edge radii.
CurveState SetUpRecord() {
    ReplayView view(kSetUp);
    CurveState state;
    capbeam::Command1_Click(view, state);
    state.Dr = 10;
    state.mb = 0.001f;
    state.Rin = static_cast<float>(state.R - state.Dr);
    state.Rout = state.Dr + state.R;
    return state;
}

// A chainage that selects routine `routine` on the set-up above (Cm3, Cm4 on
// the mirrored curve, Cm6 with a square beam).
CurveState RecordFor(int routine) {
    CurveState s = SetUpRecord();
    if (routine == 3 || routine == 4) s.P = -1;
    if (routine == 6) s.B = 90;
    s.Kp = routine == 5 || routine == 6 ? s.Kj : (routine == 1 || routine == 3 ? s.Kj + 50 : s.Kj - 50);
    return s;
}

// One routine call: its geometry and its ten boxes' texts.
void BM_Routine(benchmark::State& state) {
    const int routine = static_cast<int>(state.range(0));
    CurveState s = RecordFor(routine);
    ReplayView ops({});
    if (ChooseRoutine(s.P, s.Kp, s.Kj, s.B) != routine) state.SkipWithError("wrong routine chosen");
    for (auto _ : state) benchmark::DoNotOptimize(RunRoutine(routine, ops, s));
}
BENCHMARK(BM_Routine)->DenseRange(1, 6)->ArgName("Cm");

// One whole "座标计算" click: three prompts read, the routine, the boxes.
void BM_Request(benchmark::State& state) {
    ReplayView view({"12400", "10", "0.001"});
    CurveState s = SetUpRecord();
    for (auto _ : state) {
        view.Rewind();
        benchmark::DoNotOptimize(capbeam::Command2_Click(view, s));
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

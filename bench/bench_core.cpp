// Benchmarks of the calculation: a full set-up and a calculation request
// through the window's logic, the end-point geometry alone (in either beam
// orientation), a batch of 10,000 chainages with its CSV, and beams on a
// whole road placed again after its table was edited.
#include <benchmark/benchmark.h>

#include <optional>
#include <string>
#include <vector>

#include "flows/calculator.h"
#include "records/batch.h"
#include "records/export.h"
#include "flows/request_flow.h"
#include "geometry/single_curve.h"
#include "flows/set_up_flow.h"

namespace {

using namespace capbeam;

// Answers every prompt from a fixed list, round and round, and shows nothing.
class ReplayView : public View {
public:
    explicit ReplayView(std::vector<std::string> replies) : replies_(std::move(replies)) {}
    std::optional<std::string> PromptText(const std::string&, const Refusal*, const PromptHelp&) override {
        const std::string& r = replies_[next_];
        next_ = (next_ + 1) % replies_.size();
        return r;
    }
    void SetText(Box, const std::string&) override {}
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
    Calculator logic(view);
    for (auto _ : state) {
        view.Rewind();
        benchmark::DoNotOptimize(logic.SetUpCurveClicked());
    }
}
BENCHMARK(BM_SetUp);

// The record after the set-up above, with a request's Dr, mb and edge radii.
CalculationRecord SetUpRecord() {
    ReplayView view(kSetUp);
    CalculationRecord state;
    RunCurveSetUp(view, state);
    state.request.Dr = 10;
    state.request.mb = 0.001f;
    state.edges.Rin = static_cast<float>(state.curve.R - state.request.Dr);
    state.edges.Rout = state.request.Dr + state.curve.R;
    return state;
}

// A chainage that selects routine `routine` on the set-up above (Cm3, Cm4 on
// the mirrored curve, Cm6 with a square beam).
CalculationRecord RecordFor(int routine) {
    CalculationRecord s = SetUpRecord();
    if (routine == 3 || routine == 4) s.curve.P = -1;
    if (routine == 6) s.design.B = 90;
    s.request.Kp = routine == 5 || routine == 6 ? s.design.Kj : (routine == 1 || routine == 3 ? s.design.Kj + 50 : s.design.Kj - 50);
    return s;
}

// One beam placed by each routine, and its ten boxes' texts.
void BM_Routine(benchmark::State& state) {
    const int routine = static_cast<int>(state.range(0));
    CalculationRecord s = RecordFor(routine);
    ReplayView ops({});
    if (ChooseRoutine(s.curve.P, s.request.Kp, s.design.Kj, s.design.B) != routine) state.SkipWithError("wrong routine chosen");
    for (auto _ : state) {
        const BeamPlacement p = PlaceBeam(s.curve, s.design, s.request.Kp, s.request.Dr, Orientation::Parallel);
        WriteEnds(ops, p);
        benchmark::DoNotOptimize(p);
    }
}
BENCHMARK(BM_Routine)->DenseRange(1, 6)->ArgName("Cm");

// One whole "座标计算" click: three prompts read, the routine, the boxes.
void BM_Request(benchmark::State& state) {
    ReplayView view({"12400", "10", "0.001"});
    CalculationRecord s = SetUpRecord();
    for (auto _ : state) {
        view.Rewind();
        benchmark::DoNotOptimize(RunRequest(view, s, Orientation::Parallel));
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

// The same for a beam at the skew B to its own tangent (the design position's
// computation at K), skewed and square.
void BM_TangentEnds(benchmark::State& state) {
    const double RadToDeg = 180 / 3.1415926535;
    const double B = static_cast<double>(state.range(0));
    double Kp = 1020;
    for (auto _ : state) {
        benchmark::DoNotOptimize(TangentEnds(kCm1, 1, 1000, 1000, 2000, 500, 10, 490, 510, B, RadToDeg, 0, Kp));
        Kp += 1e-9;
    }
}
BENCHMARK(BM_TangentEnds)->Arg(60)->Arg(90)->ArgName("B");

// A batch of 10,000 chainages through the request exactly as the window runs
// it: three replies read, Text16, Text7, Text21 and the routine's ten boxes
// written for each.
std::vector<double> BatchChainages(double from, double step) {
    std::vector<double> chainages;
    for (int i = 0; i < 10000; ++i) chainages.push_back(from + i * step);
    return chainages;
}

CalculationRecord BatchCurve() {
    ReplayView view(kSetUp);
    Calculator logic(view);
    logic.SetUpCurveClicked();
    return logic.Record();
}

// Chainages 0.03 m apart from 150 m before J to 150 m beyond: every one makes a row.
void BM_Batch10000Rows(benchmark::State& state) {
    const CalculationRecord curve = BatchCurve();
    const std::vector<double> chainages = BatchChainages(12345.678 - 150, 0.03);
    for (auto _ : state) {
        const BatchOutcome outcome = RunBatch(curve.curve, curve.design, chainages, 10, Orientation::Parallel);
        if (!outcome.refused.empty()) state.SkipWithError("a chainage was refused");
        benchmark::DoNotOptimize(outcome.rows.data());
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_Batch10000Rows)->Unit(benchmark::kMillisecond);

// The same table as CSV, as capbeam-cli batch writes it.
void BM_Csv10000Rows(benchmark::State& state) {
    const CalculationRecord curve = BatchCurve();
    BatchOutcome outcome = RunBatch(curve.curve, curve.design, BatchChainages(12345.678 - 150, 0.03), 10, Orientation::Parallel);
    PierTable table;
    table.StartGroup(CurveInputs{}, curve.curve, curve.design);
    for (PierRow& row : outcome.rows) table.Add(std::move(row));
    for (auto _ : state) benchmark::DoNotOptimize(TableCsv(table, false));
}
BENCHMARK(BM_Csv10000Rows)->Unit(benchmark::kMillisecond);

// A JD of a six-JD road moved under piers every 25 m of it (the page's
// table edited, a cell committed): every beam placed again on the road as
// it now stands, the pier table's rows replaced.
void BM_FollowEditedRoad(benchmark::State& state) {
    const JobAlignment road{JobAlignment::Kind::JdTable, "线形",
                            "QD,K0+000,3355000,500000\nJD1,,3355420,500120,300,60,60\nJD2,,3355800,500050,250,50,50\n"
                            "JD3,,3356210.25,500260,300,40,40\nJD4,,3356600,500180,350,50,50\n"
                            "JD5,,3357010,500330,450,0,0\nJD6,,3357400,500300,300,40,30\nZD,,3357800,500420\n"};
    JobAlignment edited = road;
    edited.table.replace(edited.table.find("3356210.25"), 10, "3356201.25");
    const std::vector<std::string> fields{"K1+150", "80", "", "12"};
    std::vector<Chainage> piers;
    const auto count = static_cast<int>(state.range(0));
    for (int p = 0; p < count; ++p) piers.push_back({100 + p * 2700.0 / count, kAnyStretch});
    ReplayView view({});
    Calculator logic(view);
    logic.SetAlignmentPage(road, fields);
    logic.PlaceOnAlignment(LoadAlignment(road), fields, piers);
    bool back = false;
    for (auto _ : state) {
        benchmark::DoNotOptimize(logic.SetAlignmentPage(back ? road : edited, fields));
        back = !back;
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_FollowEditedRoad)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// Fuzzes whole click sequences: set-ups and requests with arbitrary replies,
// Cancel included, through the window's logic. After every click each box
// shows either what it showed before or a text the formats can produce, and a
// click that was refused or cancelled leaves the record and every box exactly
// as they were before it. Requests run in either beam orientation.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "flows/calculator.h"
#include "tests/fuzz/field_grammar.h"

namespace {

using namespace capbeam;

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

// Replies that reach the interesting corners quickly; the rest are arbitrary.
constexpr const char* kReplies[] = {
    "0", "1", "-1", "90", "30.153", "45.3", "0.29", "120.4559", "179.5959", "500", "12345.678", "3000",
    "5000", "3300", "5400", "1000", "1020", "980", "10", "7.5", "0.001", "1e308", "-1e308", "1e-300",
    "abc", "", " ", "１２３．５", "60.6", "30.6", "-0", "0.5", "499.999", "100", "20",
};

class FuzzView : public View {
public:
    explicit FuzzView(FuzzedDataProvider& in) : in_(in) {}

    std::optional<std::string> PromptText(const std::string&, const Refusal*, const PromptHelp&) override {
        if (in_.remaining_bytes() == 0 || ++prompts_ > 200) return std::nullopt;  // Cancel
        switch (in_.ConsumeIntegralInRange<int>(0, 7)) {
            case 0: return std::nullopt;
            case 1: return in_.ConsumeRandomLengthString(24);
            default: return std::string(in_.PickValueInArray(kReplies));
        }
    }
    void SetText(Box, const std::string&) override {}
    void EndProgram() override { ended = true; }
    void ShowMessage(const Message& m) override { Check(!m.text.empty(), "a message says something"); }

    bool ended = false;

private:
    FuzzedDataProvider& in_;
    int prompts_ = 0;
};

using Texts = std::array<std::string, kBoxCount>;

Texts TextsOf(const Calculator& logic) {
    Texts t;
    for (int n = 1; n <= kBoxCount; ++n) t[n - 1] = logic.Text(BoxAt(n));
    return t;
}

// Field by field, each value bit for bit (so 0 and -0 differ, and a NaN
// equals itself); the record's padding bytes are never read.
template <class T>
bool Same(T a, T b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}
bool SameBits(const CalculationRecord& a, const CalculationRecord& b) {
    const Curve &c = a.curve, &d = b.curve;
    const DesignBeam &j = a.design, &k = b.design;
    const RequestValues &q = a.request, &r = b.request;
    return a.hasCurve == b.hasCurve && Same(c.Xo, d.Xo) && Same(c.Yo, d.Yo) && Same(c.R, d.R) && Same(c.P, d.P) &&
           Same(j.Kj, k.Kj) && Same(j.Xj, k.Xj) && Same(j.Yj, k.Yj) && Same(j.B, k.B) && Same(j.Aoj, k.Aoj) &&
           Same(j.axis.Ab1, k.axis.Ab1) && Same(j.axis.Ab2, k.axis.Ab2) && Same(q.Kp, r.Kp) && Same(q.Dr, r.Dr) &&
           Same(q.mb, r.mb) && q.completed == r.completed && Same(a.edges.Rin, b.edges.Rin) && Same(a.edges.Rout, b.edges.Rout);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    FuzzView view(in);
    Calculator logic(view);
    for (int click = 0; click < 16 && in.remaining_bytes() > 0 && !view.ended; ++click) {
        const CalculationRecord before = logic.Record();
        const Texts textsBefore = TextsOf(logic);
        const int button = in.ConsumeIntegralInRange<int>(1, 9);  // "退出计算" rarely
        bool completed = true;
        if (button == 9) {
            logic.ExitClicked();
            Check(view.ended, "退出计算 ends the program");
        } else {
            if (button % 2 == 0)
                logic.SetOrientation(in.ConsumeBool() ? Orientation::Tangent : Orientation::Parallel);
            completed = button % 2 ? logic.SetUpCurveClicked() : logic.ComputeBeamClicked();
            // A tangent beam away from the design chainage keeps the design
            // beam's azimuths in the record, for the parallel requests after it.
            if (completed && button % 2 == 0 && logic.GetOrientation() == Orientation::Tangent &&
                logic.Record().request.Kp != logic.Record().design.Kj)
                Check(logic.Record().design.axis.Ab1 == before.design.axis.Ab1 && logic.Record().design.axis.Ab2 == before.design.axis.Ab2,
                      "a tangent request leaves the design azimuths alone");
        }
        const Texts textsAfter = TextsOf(logic);
        if (!completed) {
            Check(SameBits(logic.Record(), before), "a refused or cancelled click leaves the record as it was");
            Check(textsAfter == textsBefore, "a refused or cancelled click leaves every box as it was");
        }
        for (int n = 1; n <= kBoxCount; ++n) {
            const std::string& t = textsAfter[n - 1];
            Check(t == textsBefore[n - 1] || test::IsFieldText(BoxAt(n), t), "a box shows a text the formats produce");
        }
    }
    return 0;
}

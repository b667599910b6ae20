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

#include "app/form1_logic.h"
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

    std::optional<std::string> PromptText(const std::string&, const Refusal*) override {
        if (in_.remaining_bytes() == 0 || ++prompts_ > 200) return std::nullopt;  // Cancel
        switch (in_.ConsumeIntegralInRange<int>(0, 7)) {
            case 0: return std::nullopt;
            case 1: return in_.ConsumeRandomLengthString(24);
            default: return std::string(in_.PickValueInArray(kReplies));
        }
    }
    void SetText(Field, const std::string&) override {}
    void EndProgram() override { ended = true; }
    void ShowMessage(const Message& m) override { Check(!m.text.empty(), "a message says something"); }

    bool ended = false;

private:
    FuzzedDataProvider& in_;
    int prompts_ = 0;
};

using Texts = std::array<std::string, kFieldCount>;

Texts TextsOf(const Form1Logic& logic) {
    Texts t;
    for (int n = 1; n <= kFieldCount; ++n) t[n - 1] = logic.Text(FieldAt(n));
    return t;
}

bool SameBits(const CurveState& a, const CurveState& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    FuzzView view(in);
    Form1Logic logic(view);
    for (int click = 0; click < 16 && in.remaining_bytes() > 0 && !view.ended; ++click) {
        const CurveState before = logic.State();
        const Texts textsBefore = TextsOf(logic);
        const int button = in.ConsumeIntegralInRange<int>(1, 9);  // "退出计算" rarely
        bool completed = true;
        if (button == 9) {
            logic.Command3_Click();
            Check(view.ended, "退出计算 ends the program");
        } else {
            if (button % 2 == 0)
                logic.SetOrientation(in.ConsumeBool() ? Orientation::Tangent : Orientation::Parallel);
            completed = button % 2 ? logic.Command1_Click() : logic.Command2_Click();
            // A tangent beam away from the design chainage keeps the design
            // beam's azimuths in the record, for the parallel requests after it.
            if (completed && button % 2 == 0 && logic.GetOrientation() == Orientation::Tangent &&
                logic.State().Kp != logic.State().Kj)
                Check(logic.State().Ab1 == before.Ab1 && logic.State().Ab2 == before.Ab2,
                      "a tangent request leaves the design azimuths alone");
        }
        const Texts textsAfter = TextsOf(logic);
        if (!completed) {
            Check(SameBits(logic.State(), before), "a refused or cancelled click leaves the record as it was");
            Check(textsAfter == textsBefore, "a refused or cancelled click leaves every box as it was");
        }
        for (int n = 1; n <= kFieldCount; ++n) {
            const std::string& t = textsAfter[n - 1];
            Check(t == textsBefore[n - 1] || test::IsFieldText(FieldAt(n), t), "a box shows a text the formats produce");
        }
    }
    return 0;
}

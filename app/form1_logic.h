#pragma once

#include <array>
#include <string>

#include "app/curve_state.h"
#include "app/window_ops.h"
#include "calc/batch.h"
#include "calc/pier_table.h"
#include "calc/request.h"

namespace capbeam {

// What a front-end (the Qt window, the terminal, a test) provides: the three
// window operations, and a message box for what a click has to tell the user.
class View : public WindowOps {
public:
    virtual void ShowMessage(const Message& message) = 0;
    // After every completed set-up, request or batch: the curve or the pier
    // table has changed (a plan view redraws, a table shows the new rows).
    virtual void RecordChanged() {}
};

// The window's logic without the toolkit: the calculation record, the texts of
// the 21 boxes, and the three button handlers. Each handler runs as one unit:
// when it fails or the user cancels a prompt, the record and every box are
// put back as they were before the click, and a failure is shown in one
// message; nothing typed before that click is lost.
class Form1Logic : private WindowOps {
public:
    explicit Form1Logic(View& view);

    // "进行计算": the curve set-up. Returns whether the click completed.
    bool Command1_Click();
    // "座标计算": one calculation request. Returns whether the click completed.
    bool Command2_Click();
    // "退出计算": ends the program.
    void Command3_Click();

    // How "座标计算" and the batch turn the beams at other chainages.
    void SetOrientation(Orientation orientation) { orientation_ = orientation; }
    Orientation GetOrientation() const { return orientation_; }

    // Runs many chainages against the latest set-up with one half-width and
    // adds the results to the pier table. The boxes and the record stay as
    // they are. Throws Failure before any chainage runs when there is no
    // set-up yet or Dr breaks its rule.
    BatchOutcome RunBatch(const std::vector<double>& chainages, double Dr, float mb);

    const CurveState& State() const { return state_; }
    const std::string& Text(Field f) const { return fields_[Index(f)]; }
    const std::array<std::string, kFieldCount>& Texts() const { return fields_; }
    // Every completed request of this run, grouped by set-up.
    const PierTable& Table() const { return table_; }

private:
    static std::size_t Index(Field f) { return static_cast<std::size_t>(FieldNumber(f) - 1); }

    template <class Body>
    bool RunHandler(Body body);

    std::optional<std::string> PromptText(const std::string& message, const Refusal* refused) override;
    void SetText(Field field, const std::string& text) override;
    void EndProgram() override;

    View& view_;
    CurveState state_;
    std::array<std::string, kFieldCount> fields_;
    Orientation orientation_ = Orientation::Parallel;
    PierTable table_;
};

}  // namespace capbeam

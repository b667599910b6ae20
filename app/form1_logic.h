#pragma once

#include <array>
#include <string>

#include "app/curve_state.h"
#include "app/window_ops.h"

namespace capbeam {

// What a front-end (the Qt window, the terminal, a test) provides: the three
// window operations, and a message box for what a click has to tell the user.
class View : public WindowOps {
public:
    virtual void ShowMessage(const Message& message) = 0;
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

    const CurveState& State() const { return state_; }
    const std::string& Text(Field f) const { return fields_[Index(f)]; }

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
};

}  // namespace capbeam

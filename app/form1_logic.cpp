#include "app/form1_logic.h"

#include <exception>
#include <new>

#include "app/form1_layout.h"
#include "calc/request.h"
#include "setup/curve_setup.h"

namespace capbeam {

Form1Logic::Form1Logic(View& view) : view_(view) {
    for (const FieldRow& row : kFields) fields_[Index(row.field)] = std::string(row.initialText);
}

template <class Body>
bool Form1Logic::RunHandler(Body body) {
    const CurveState savedState = state_;
    const auto savedFields = fields_;
    const auto undo = [&] {
        state_ = savedState;
        for (int n = 1; n <= kFieldCount; ++n) {
            const Field f = FieldAt(n);
            if (fields_[Index(f)] != savedFields[Index(f)]) SetText(f, savedFields[Index(f)]);
        }
    };
    try {
        body();
        return true;
    } catch (const Failure& failure) {
        undo();
        view_.ShowMessage(failure.message());
    } catch (const Cancelled&) {
        undo();
    } catch (const std::bad_alloc&) {
        undo();
        view_.ShowMessage({ErrorKind::InvalidOperation, "内存不足，本次计算没有完成。请关闭其他程序后重试。"});
    }
    return false;
}

bool Form1Logic::Command1_Click() {
    return RunHandler([this] {
        for (const Message& warning : capbeam::Command1_Click(*this, state_)) view_.ShowMessage(warning);
    });
}

bool Form1Logic::Command2_Click() {
    return RunHandler([this] { capbeam::Command2_Click(*this, state_); });
}

void Form1Logic::Command3_Click() { EndProgram(); }

std::optional<std::string> Form1Logic::PromptText(const std::string& message, const Refusal* refused) {
    return view_.PromptText(message, refused);
}

void Form1Logic::SetText(Field field, const std::string& text) {
    fields_[Index(field)] = text;
    view_.SetText(field, text);
}

void Form1Logic::EndProgram() { view_.EndProgram(); }

}  // namespace capbeam

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
    std::vector<Message> warnings;
    const bool completed = RunHandler([&] { warnings = capbeam::Command1_Click(*this, state_); });
    if (!completed) return false;
    table_.StartGroup(state_, fields_);
    view_.RecordChanged();
    for (const Message& warning : warnings) view_.ShowMessage(warning);
    return true;
}

bool Form1Logic::Command2_Click() {
    RequestOutcome outcome;
    const bool completed = RunHandler([&] { outcome = RunRequest(*this, state_, orientation_); });
    if (!completed) return false;
    table_.Add(RowFromBoxes(fields_, state_.Kp, outcome));
    view_.RecordChanged();
    return true;
}

BatchOutcome Form1Logic::RunBatch(const std::vector<double>& chainages, double Dr, float mb) {
    BatchOutcome outcome = capbeam::RunBatch(state_, chainages, Dr, mb, orientation_);
    for (PierRow& row : outcome.rows) row = table_.Add(std::move(row));
    if (!outcome.rows.empty()) view_.RecordChanged();
    return outcome;
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

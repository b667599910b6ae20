#pragma once

#include <QDialog>

#include "records/batch.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

namespace capbeam {

class Calculator;

// "批量计算": many chainages with one half-width Dr (and precision mb), as a
// list or as start, step and end. Each runs as "座标计算" would and becomes a
// row of the pier table; refused chainages are listed with their reasons.
// The dialog stays open after a run, so that what was typed and what was
// refused can be read and corrected.
class BatchDialog : public QDialog {
    Q_OBJECT
public:
    explicit BatchDialog(Calculator& logic, QWidget* parent = nullptr);

    // The "计算" button: reads the inputs and runs the batch. Returns whether
    // it ran; an input error is shown in the dialog and nothing runs.
    bool Run();

    // Which input the run takes.
    void UseList(bool list);

    QPlainTextEdit* List() const { return list_; }
    QLineEdit* Start() const { return start_; }
    QLineEdit* Step() const { return step_; }
    QLineEdit* End() const { return end_; }
    QLineEdit* Dr() const { return Dr_; }
    QLineEdit* Mb() const { return mb_; }
    // The input error of the last run, or empty.
    QString ErrorText() const;
    // What the last run did: how many rows, and every refused chainage with why.
    QString ResultText() const;
    const BatchOutcome& LastOutcome() const { return outcome_; }

private:
    std::vector<double> Chainages() const;
    void ShowError(const QString& text);

    Calculator& logic_;
    QRadioButton* listMode_ = nullptr;
    QRadioButton* rangeMode_ = nullptr;
    QPlainTextEdit* list_ = nullptr;
    QLineEdit* start_ = nullptr;
    QLineEdit* step_ = nullptr;
    QLineEdit* end_ = nullptr;
    QLineEdit* Dr_ = nullptr;
    QLineEdit* mb_ = nullptr;
    QLabel* error_ = nullptr;
    QPlainTextEdit* result_ = nullptr;
    BatchOutcome outcome_;
};

}  // namespace capbeam

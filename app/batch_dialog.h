#pragma once

#include <QDialog>

#include "app/batch_inputs.h"
#include "records/batch.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace capbeam {

class BatchRunner;
class Calculator;

// Batches up to this many chainages run on the window's thread: they take a
// few milliseconds, and a progress bar would only flicker. Longer ones run
// in a worker (BatchRunner) with a progress bar and 取消.
inline constexpr std::size_t kOnWindowThreadAtMost = 1000;

// "批量计算": many chainages with one half-width Dr (and precision mb), as a
// list or as start, step and end. Each runs as "座标计算" would and becomes a
// row of the pier table; refused chainages are listed with their reasons.
// The dialog stays open after a run, so that what was typed and what was
// refused can be read and corrected.
class BatchDialog : public QDialog {
    Q_OBJECT
public:
    // `kept`, when given, fills the boxes as they were last left and takes
    // them back whenever the dialog runs or closes.
    explicit BatchDialog(Calculator& logic, QWidget* parent = nullptr, BatchInputs* kept = nullptr);
    // A batch still running is cancelled as 取消 cancels it: its group's
    // header says so.
    ~BatchDialog() override;

    // The "计算" button: reads the inputs and runs the batch. Returns whether
    // it ran (or, for a long batch, started); an input error is shown in the
    // dialog and nothing runs.
    bool Run();
    // The "取消" button: stops a long batch; the rows computed so far stay.
    void CancelBatch();
    bool Running() const;
    // The worker of long batches (its Finished signal ends a run).
    BatchRunner* Runner() const { return runner_; }
    // Closing while a batch runs cancels it first.
    void done(int result) override;

    // Which input the run takes.
    void UseList(bool list);

    QPlainTextEdit* List() const { return list_; }
    QLineEdit* Start() const { return start_; }
    QLineEdit* Step() const { return step_; }
    QLineEdit* End() const { return end_; }
    QLineEdit* Dr() const { return Dr_; }
    QLineEdit* Mb() const { return mb_; }
    QLabel* OrientationNote() const { return orientation_; }
    QLabel* EndRule() const { return endRule_; }
    QProgressBar* Progress() const { return progress_; }
    QPushButton* CancelButton() const { return cancel_; }
    // The input error of the last run, or empty.
    QString ErrorText() const;
    // What the last run did: how many rows, and every refused chainage with why.
    QString ResultText() const;
    const BatchOutcome& LastOutcome() const { return outcome_; }

private:
    std::vector<double> Chainages() const;
    void ShowError(const QString& text);
    void ShowOutcome(bool cancelled);
    void Keep() const;
    void SetRunning(bool running);

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
    QLabel* orientation_ = nullptr;
    QLabel* endRule_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* run_ = nullptr;
    QPushButton* cancel_ = nullptr;
    BatchRunner* runner_ = nullptr;
    BatchInputs* kept_ = nullptr;
    BatchOutcome outcome_;
};

}  // namespace capbeam

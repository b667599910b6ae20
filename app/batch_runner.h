#pragma once

#include <QObject>
#include <QSemaphore>
#include <atomic>
#include <cstddef>
#include <memory>
#include <vector>

#include "records/batch.h"

class QThread;

namespace capbeam {

class Calculator;

// A batch run off the window's thread. The geometry runs in a worker thread
// (it is pure: values in, rows out); the rows come back in chunks and are
// added to the pier table on the window's thread only, so that the table,
// the plan and the progress move while the window stays responsive.
//
// At most one chunk is on its way at a time: the worker waits until the
// window has taken the last one, so a slow window is never buried under rows
// and memory holds at most two chunks beyond the table.
//
// A cancelled batch keeps the rows the window had taken when 取消 was pressed
// and says so in its group's header ("批量计算已取消"); a chunk still on its
// way is dropped, so no row arrives after the cancel.
class BatchRunner : public QObject {
    Q_OBJECT
public:
    explicit BatchRunner(Calculator& logic, QObject* parent = nullptr);
    ~BatchRunner() override;  // cancels a running batch and waits for its worker

    // Starts the batch on the latest set-up with the window's orientation.
    // Throws Failure before anything runs: no set-up yet, or Dr breaks its rule.
    void Start(std::vector<double> chainages, double Dr);
    void Cancel();

    bool Running() const { return running_; }
    bool WasCancelled() const { return cancelled_; }
    std::size_t Done() const { return done_; }
    std::size_t Total() const { return total_; }
    // Rows added so far (numbered as in the table), refusals and warnings.
    const BatchOutcome& Outcome() const { return outcome_; }

signals:
    void Progress(qsizetype done, qsizetype total);
    void Finished(bool cancelled);

private:
    struct Chunk {
        BatchOutcome outcome;
        std::size_t done = 0;  // chainages run so far, this chunk's included
        bool last = false;
        unsigned run = 0;      // the batch it belongs to
    };
    void Work(BatchStepper stepper, std::vector<double> chainages, unsigned run);
    void Take(const std::shared_ptr<Chunk>& chunk);
    void Stop();

    Calculator& logic_;
    QThread* thread_ = nullptr;
    QSemaphore credit_{0};
    std::atomic<bool> cancel_{false};
    unsigned run_ = 0;  // counts batches: a chunk of a cancelled one, still queued, is known by it
    bool running_ = false;
    bool cancelled_ = false;
    std::size_t done_ = 0;
    std::size_t total_ = 0;
    std::vector<double> chainages_;  // the batch's chainages, for the job's journal
    double Dr_ = 0;
    BatchOutcome outcome_;
};

}  // namespace capbeam

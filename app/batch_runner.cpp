#include "app/batch_runner.h"

#include <QThread>
#include <algorithm>
#include <utility>

#include "flows/calculator.h"

namespace capbeam {

namespace {

// Rows a chunk carries: a first chunk soon, so that the table and the plan
// show the batch at once, then chunks that grow with the table, so that the
// window rebuilds its plan a few dozen times per batch rather than once per
// thousand rows.
std::size_t ChunkSize(std::size_t done) { return std::clamp<std::size_t>(done / 4, 500, 20000); }

}  // namespace

BatchRunner::BatchRunner(Calculator& logic, QObject* parent) : QObject(parent), logic_(logic) {}

BatchRunner::~BatchRunner() { Stop(); }

void BatchRunner::Start(std::vector<double> chainages, double Dr) {
    if (running_) return;
    Stop();  // a finished worker is joined before the next starts
    BatchStepper stepper = logic_.StartBatch(Dr);  // refuses before anything runs
    running_ = true;
    cancelled_ = false;
    cancel_ = false;
    done_ = 0;
    total_ = chainages.size();
    chainages_ = chainages;  // for the job's journal when it ends
    Dr_ = Dr;
    outcome_ = BatchOutcome{};
    credit_.acquire(credit_.available());
    credit_.release(1);
    ++run_;
    thread_ = QThread::create([this, stepper = std::move(stepper), chainages = std::move(chainages), run = run_]() mutable {
        Work(std::move(stepper), std::move(chainages), run);
    });
    thread_->start();
}

// The worker's loop: only the stepper and the chainages, both its own; the
// window's table is reached only through Take on the window's thread.
void BatchRunner::Work(BatchStepper stepper, std::vector<double> chainages, unsigned run) {
    std::size_t i = 0;
    do {
        auto chunk = std::make_shared<Chunk>();
        const std::size_t end = std::min(chainages.size(), i + ChunkSize(i));
        for (; i < end && !cancel_; ++i) {
            BatchStepper::Step step = stepper.Place(chainages[i]);
            if (step.row) chunk->outcome.rows.push_back(std::move(*step.row));
            if (step.refused) chunk->outcome.refused.push_back(std::move(*step.refused));
            if (step.warned) chunk->outcome.warned.push_back(std::move(*step.warned));
        }
        chunk->done = i;
        chunk->last = i == chainages.size();
        chunk->run = run;
        credit_.acquire();  // the window has taken the previous chunk
        if (cancel_) return;
        QMetaObject::invokeMethod(this, [this, chunk] { Take(chunk); }, Qt::QueuedConnection);
    } while (i < chainages.size());
}

void BatchRunner::Take(const std::shared_ptr<Chunk>& chunk) {
    if (!running_ || cancel_ || chunk->run != run_) return;  // cancelled while on its way: dropped
    BatchOutcome& got = chunk->outcome;
    logic_.AddBatchRows(got.rows);
    outcome_.rows.insert(outcome_.rows.end(), std::make_move_iterator(got.rows.begin()),
                         std::make_move_iterator(got.rows.end()));
    outcome_.refused.insert(outcome_.refused.end(), std::make_move_iterator(got.refused.begin()),
                            std::make_move_iterator(got.refused.end()));
    outcome_.warned.insert(outcome_.warned.end(), std::make_move_iterator(got.warned.begin()),
                           std::make_move_iterator(got.warned.end()));
    done_ = chunk->done;
    if (chunk->last) {
        running_ = false;
        logic_.RecordBatch(std::move(chainages_), Dr_, !outcome_.rows.empty());
        emit Progress(static_cast<qsizetype>(done_), static_cast<qsizetype>(total_));
        emit Finished(false);
        return;
    }
    credit_.release();
    // Last: a slot may cancel, or cancel and start anew, from here.
    emit Progress(static_cast<qsizetype>(done_), static_cast<qsizetype>(total_));
}

void BatchRunner::Cancel() {
    if (!running_) return;
    cancel_ = true;
    credit_.release();  // wakes a worker waiting to hand over a chunk
    Stop();
    running_ = false;
    cancelled_ = true;
    // The job keeps what was computed: the chainages run so far.
    chainages_.resize(done_);
    logic_.RecordBatch(std::move(chainages_), Dr_, !outcome_.rows.empty());
    logic_.MarkBatchCancelled(done_, total_);
    emit Finished(true);
}

void BatchRunner::Stop() {
    if (!thread_) return;
    if (running_) {
        cancel_ = true;
        credit_.release();
    }
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
}

}  // namespace capbeam

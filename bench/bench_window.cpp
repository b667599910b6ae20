// The window from construction to its first paint, on the offscreen platform
// (the QApplication is made once, as a running program has it).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <cstdio>

#include "app/app_setup.h"
#include "app/batch_dialog.h"
#include "app/form1.h"
#include "app/plan_view.h"
#include "app/side_panel.h"
#include "tests/scripted_form1.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <memory>

namespace {

// Notes the first paint event of any widget in the window it watches.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(const QWidget& window) : window_(window) {}
    bool painted = false;
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Paint && object->isWidgetType() &&
            static_cast<QWidget*>(object)->window() == &window_)
            painted = true;
        return false;
    }

private:
    const QWidget& window_;
};

void BM_WindowFirstPaint(benchmark::State& state) {
    for (auto _ : state) {
        capbeam::Form1 form;
        FirstPaint watch(form);
        qApp->installEventFilter(&watch);
        form.show();
        QElapsedTimer guard;
        guard.start();
        while (!watch.painted && guard.elapsed() < 5000) QApplication::processEvents();
        qApp->removeEventFilter(&watch);
        if (!watch.painted) state.SkipWithError("the window was never painted");
    }
}
BENCHMARK(BM_WindowFirstPaint)->UseRealTime()->Unit(benchmark::kMillisecond);

// A batch of `rows` chainages through the batch dialog into the pier table,
// and the first paint of the plan with every beam: what the user waits for
// after pressing "计算".
void BM_PanelBatchAndRepaint(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    QStringList chainages;
    for (int i = 0; i < rows; ++i) chainages << QString::number(12300 + i * 0.05, 'f', 2);
    const QString list = chainages.join(QLatin1Char(' '));
    for (auto _ : state) {
        state.PauseTiming();
        capbeam::test::ScriptedForm1 form;
        form.show();
        form.Reply({"3000", "5000", "12345.678", "3300", "5400", "30.153", "500", "1"});
        form.Layout()->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        std::unique_ptr<capbeam::BatchDialog> dialog(form.Panel()->MakeBatchDialog());
        dialog->List()->setPlainText(list);
        dialog->Dr()->setText(QStringLiteral("6"));
        QApplication::processEvents();
        state.ResumeTiming();
        if (!dialog->Run()) state.SkipWithError("the batch did not run");
        // A long batch runs in the worker: the time runs until its last chunk is in the table.
        while (dialog->Running()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        form.Panel()->Plan()->repaint();
        QApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_PanelBatchAndRepaint)->Arg(1000)->Arg(10000)->Arg(100000)->UseRealTime()->Unit(benchmark::kMillisecond);

// One repaint of the plan holding `beams` beams 300 m of road apart, shown
// whole, and zoomed in by three presses of +: what panning and zooming cost
// once a large batch is in.
void BM_PlanRepaint(benchmark::State& state) {
    const int beams = static_cast<int>(state.range(0));
    const bool zoomed = state.range(1) != 0;
    capbeam::test::ScriptedForm1 form;
    form.resize(1366, 768);
    form.show();
    form.Reply({"3000", "5000", "12345.678", "3300", "5400", "30.153", "500", "1"});
    form.Layout()->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    std::unique_ptr<capbeam::BatchDialog> dialog(form.Panel()->MakeBatchDialog());
    dialog->UseList(false);
    dialog->Start()->setText(QStringLiteral("12200"));
    dialog->Step()->setText(QString::number(300.0 / beams, 'g', 12));
    dialog->End()->setText(QString::number(12200 + (beams - 1) * (300.0 / beams), 'f', 6));
    dialog->Dr()->setText(QStringLiteral("6"));
    if (!dialog->Run()) state.SkipWithError("the batch did not run");
    while (dialog->Running()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    capbeam::PlanView* plan = form.Panel()->Plan();
    QApplication::processEvents();
    if (zoomed)
        for (int i = 0; i < 3; ++i) {
            QKeyEvent plus(QEvent::KeyPress, Qt::Key_Plus, Qt::NoModifier, QStringLiteral("+"));
            QApplication::sendEvent(plan, &plus);
        }
    for (auto _ : state) plan->repaint();
    state.counters["beams"] = static_cast<double>(plan->Scene().beams.size());
}
BENCHMARK(BM_PlanRepaint)
    ->Args({1000, 0})
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QElapsedTimer start;
    start.start();
    QApplication app(argc, argv);
    capbeam::PrepareApplication(app);
    // The program's own start before its window: fonts, translations, style.
    std::printf("application set-up before the window: %.1f ms\n", start.nsecsElapsed() / 1e6);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

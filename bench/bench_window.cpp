// The window from construction to its first paint, on the offscreen platform
// (the QApplication is made once, as a running program has it).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <cstdio>

#include "app/app_setup.h"
#include "app/form1.h"

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

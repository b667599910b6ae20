// Long batches in the window, on the offscreen platform: the same rows
// whether a batch runs on the window's thread, in the worker or through
// capbeam-cli; a cancel that stops a running batch and leaves the table whole;
// and the batch dialog's orientation note, kept inputs and end rule.
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <iterator>
#include <memory>
#include <optional>

#include "app/app_setup.h"
#include "app/batch_dialog.h"
#include "app/batch_runner.h"
#include "app/pier_table_model.h"
#include "app/plan_view.h"
#include "app/side_panel.h"
#include "flows/calculator.h"
#include "flows/job_replay.h"
#include "records/export.h"
#include "tests/scripted_form1.h"

using namespace capbeam;
using test::ScriptedForm1;

namespace {

// The worked example's set-up, as typed: O (1000, 2000), Kj 1000 at
// J (1500, 2000), B 60, R 500, a right-hand curve.
const char* const kSetUp[] = {"1000", "2000", "1000", "1500", "2000", "60", "500", "1"};

QStringList Args(const QString& orientation) {
    return {QStringLiteral("batch"), QStringLiteral("--xo"), QStringLiteral("1000"), QStringLiteral("--yo"),
            QStringLiteral("2000"),  QStringLiteral("--kj"), QStringLiteral("1000"), QStringLiteral("--xj"),
            QStringLiteral("1500"),  QStringLiteral("--yj"), QStringLiteral("2000"), QStringLiteral("--b"),
            QStringLiteral("60"),    QStringLiteral("--r"),  QStringLiteral("500"),  QStringLiteral("--p"),
            QStringLiteral("1"),     QStringLiteral("--dr"), QStringLiteral("10"),   QStringLiteral("--orientation"),
            orientation};
}

// capbeam-cli's CSV for the chainages, one a line on its standard input.
QByteArray TerminalCsv(const std::vector<double>& chainages, const QString& orientation) {
    QByteArray input;
    for (const double K : chainages) input += QByteArray::number(K, 'g', 17) + '\n';
    QProcess cli;
    cli.start(QStringLiteral(CAPBEAM_CLI), Args(orientation));
    cli.write(input);
    cli.closeWriteChannel();
    if (!cli.waitForFinished(60000)) return "capbeam-cli did not finish";
    return cli.readAllStandardOutput();
}

// The calculator with its prompts answered from a list: the window's
// calculator without the window, for batches run on this (the window's) thread.
class ListView : public View {
public:
    std::vector<std::string> replies;
    std::optional<std::string> PromptText(const std::string&, const Refusal*, const PromptHelp&) override {
        if (replies.empty()) return std::nullopt;
        std::string reply = replies.front();
        replies.erase(replies.begin());
        return reply;
    }
    void SetText(Box, const std::string&) override {}
    void EndProgram() override {}
    void ShowMessage(const Message&) override {}
};

struct Engine {
    ListView view;
    Calculator logic{view};
    explicit Engine(Orientation orientation) {
        view.replies.assign(std::begin(kSetUp), std::end(kSetUp));
        logic.SetUpCurveClicked();
        logic.SetOrientation(orientation);
    }
    const PierTable& Table() const { return logic.Table(); }
};

// The window, set up, its beams turned as asked by the panel's own buttons.
struct Window {
    ScriptedForm1 form;
    explicit Window(Orientation orientation) {
        form.show();
        for (const char* reply : kSetUp) form.Reply({reply});
        Click("Command1");
        form.findChild<QRadioButton*>(orientation == Orientation::Tangent ? QStringLiteral("OrientationTangent")
                                                                          : QStringLiteral("OrientationParallel"))
            ->click();
    }
    void Click(const char* name) { form.findChild<QPushButton*>(QString::fromLatin1(name))->click(); }
    // One "座标计算" with Dr 10 and mb 0.
    void Request(const char* Kp) {
        form.Reply({Kp, "10", "0"});
        Click("Command2");
    }
    const PierTable& Table() const { return form.Logic().Table(); }
};

// Runs a batch in the worker and waits for its end (never for a time).
bool RunInWorker(BatchRunner& runner, const std::vector<double>& chainages, double Dr) {
    QSignalSpy finished(&runner, &BatchRunner::Finished);
    runner.Start(chainages, Dr);
    return finished.wait(60000) && finished.count() == 1 && !finished.at(0).at(0).toBool();
}

std::vector<double> Range(double start, double step, double end) { return ChainageRange(start, step, end); }

}  // namespace

class BatchRunnerTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PrepareApplication(*qApp); }

    // The worked example's rows, as the README gives them, whichever way the
    // batch runs; and the whole CSV the same byte for byte as the terminal's.
    void workedExampleRowsInEveryPath_data() {
        QTest::addColumn<double>("Kp");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("Kp 1020") << 1020.0
                                 << QStringList{"K 1+ 20",     "1499.6",     "2019.995",   "K 1+ 26.475",
                                                "1489.313",    "2025.934",   "11.878(米)", "K 1+ 13.828",
                                                "1509.805",    "2014.103",   "11.784(米)"};
        QTest::newRow("Kp 980") << 980.0
                                << QStringList{"K 0+ 980",   "1499.6",     "1980.005",   "K 0+ 985.374",
                                               "1489.79",    "1985.669",   "11.327(米)", "K 0+ 974.865",
                                               "1509.356",   "1974.373",   "11.265(米)"};
    }
    void workedExampleRowsInEveryPath() {
        QFETCH(double, Kp);
        QFETCH(QStringList, texts);
        Engine here(Orientation::Parallel), worker(Orientation::Parallel);
        here.logic.RunBatch({Kp}, 10);
        BatchRunner runner(worker.logic);
        QVERIFY(RunInWorker(runner, {Kp}, 10));
        for (Engine* w : {&here, &worker}) {
            const PierTable& table = w->Table();
            QCOMPARE(table.RowCount(), std::size_t{1});
            QStringList got;
            for (const std::string& text : table.Groups().back().rows.back().texts) got << Q(text);
            QCOMPARE(got, texts);
        }
        const QByteArray terminal = TerminalCsv({Kp}, QStringLiteral("parallel"));
        QCOMPARE(QByteArray::fromStdString(TableCsv(here.Table(), false)), terminal);
        QCOMPARE(QByteArray::fromStdString(TableCsv(worker.Table(), false)), terminal);
    }

    // Long batches across J, both orientations, with chainages the beam
    // cannot reach (refused) and one beyond a full turn (warned): every chunk
    // boundary of the worker gives the rows the window's thread gives, and
    // both give the terminal's CSV.
    void longBatchesAgreeEverywhere_data() {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QString>("name");
        QTest::newRow("parallel") << static_cast<int>(Orientation::Parallel) << QStringLiteral("parallel");
        QTest::newRow("tangent") << static_cast<int>(Orientation::Tangent) << QStringLiteral("tangent");
    }
    void longBatchesAgreeEverywhere() {
        QFETCH(int, orientation);
        QFETCH(QString, name);
        const Orientation o = static_cast<Orientation>(orientation);
        // 200 m either side of J every 4 cm, J itself among them, then
        // chainages far round the curve where a parallel beam has no ends.
        std::vector<double> chainages = Range(800, 0.04, 1200);
        for (const double K : {1600.0, 1800.0, 1000.0, 5000.0, 1020.0}) chainages.push_back(K);
        Engine here(o), worker(o);
        const BatchOutcome direct = here.logic.RunBatch(chainages, 10);
        BatchRunner runner(worker.logic);
        QVERIFY(RunInWorker(runner, chainages, 10));
        QCOMPARE(runner.Outcome().rows.size(), direct.rows.size());
        QCOMPARE(runner.Outcome().refused.size(), direct.refused.size());
        QCOMPARE(runner.Outcome().warned.size(), direct.warned.size());
        QCOMPARE(runner.Done(), chainages.size());
        QVERIFY(direct.rows.size() > 10000);
        if (o == Orientation::Parallel) QVERIFY(!direct.refused.empty());
        // 5000 is more than 2 pi R from Kj: a tangent beam there is computed
        // and warned of; a parallel one has turned too far and is refused.
        QCOMPARE(direct.warned.size(), std::size_t{o == Orientation::Tangent ? 1u : 0u});
        const std::string csv = TableCsv(here.Table(), false);
        QVERIFY(csv == TableCsv(worker.Table(), false));
        QVERIFY(QByteArray::fromStdString(csv) == TerminalCsv(chainages, name));
        // The job keeps the worker's batch: opened again, it gives the same table.
        Engine reopened(o);
        ReplayJob(worker.logic.CurrentJob(), reopened.logic);
        QVERIFY(TableCsv(reopened.Table(), false) == csv);
    }

    // 取消 on a running batch: it stops, the rows already in the table stay
    // numbered without gaps, the table's view shows each of them once, the
    // group's header says the batch was cancelled and how far it got, no row
    // arrives afterwards, and the next request numbers on from the last row.
    void cancelStopsARunningBatch() {
        Window window(Orientation::Parallel);
        window.Request("1020");  // a row before the batch
        std::unique_ptr<BatchDialog> dialog(window.form.Panel()->MakeBatchDialog());
        dialog->UseList(false);
        dialog->Start()->setText(QStringLiteral("900"));
        dialog->Step()->setText(QStringLiteral("0.002"));
        dialog->End()->setText(QStringLiteral("1099.998"));  // 100,000 chainages, the most a batch takes
        dialog->Dr()->setText(QStringLiteral("10"));
        BatchRunner& runner = *dialog->Runner();
        // Cancel the moment the first chunk is in: the batch is surely running then.
        QObject::connect(&runner, &BatchRunner::Progress, dialog.get(),
                         [&dialog] {
                             if (dialog->CancelButton()->isEnabled()) dialog->CancelButton()->click();
                         },
                         Qt::QueuedConnection);
        QSignalSpy finished(&runner, &BatchRunner::Finished);
        QVERIFY(dialog->Run());
        QVERIFY(dialog->Running());
        QVERIFY(!dialog->findChild<QPushButton*>(QStringLiteral("BatchRun"))->isEnabled());
        QVERIFY(finished.wait(60000));
        QCOMPARE(finished.count(), 1);
        QVERIFY(finished.at(0).at(0).toBool());
        QVERIFY(runner.WasCancelled());
        QVERIFY(!dialog->Running());
        QVERIFY(runner.Done() > 0);
        QVERIFY(runner.Done() < runner.Total());
        QCOMPARE(runner.Total(), std::size_t{100000});

        const PierTable& table = window.Table();
        const std::size_t rows = table.RowCount();
        QCOMPARE(rows, 1 + runner.Outcome().rows.size());
        QCOMPARE(runner.Outcome().rows.size(), runner.Done());  // none refused on this stretch
        int expected = 0;
        for (const PierRow& row : table.Groups().back().rows) QCOMPARE(row.number, ++expected);
        QCOMPARE(window.form.Panel()->Model()->rowCount(), static_cast<int>(rows) + 1);
        QCOMPARE(window.form.Panel()->Plan()->Scene().beams.size(), rows);
        const QString header = Q(table.Groups().back().header);
        QVERIFY(header.contains(QStringLiteral("批量计算已取消：100000 个桩号只算了前 %1 个").arg(runner.Done())));
        QCOMPARE(window.form.Panel()->Model()->index(0, 0).data().toString(), header);
        QVERIFY(dialog->ResultText().startsWith(QStringLiteral("已取消")));
        // The job keeps the chainages computed before 取消, and so their rows.
        const Job job = window.form.Logic().CurrentJob();
        QVERIFY(!job.steps.empty());
        QVERIFY(job.steps.back().kind == JobStep::Kind::Batch);
        QCOMPARE(job.steps.back().chainages.size(), runner.Done());

        // Nothing more arrives, and the window goes on.
        QCoreApplication::processEvents();
        QCOMPARE(table.RowCount(), rows);
        window.Request("980");
        QCOMPARE(table.Groups().back().rows.back().number, static_cast<int>(rows) + 1);
        QVERIFY(dialog->findChild<QPushButton*>(QStringLiteral("BatchRun"))->isEnabled());
        QVERIFY(!dialog->CancelButton()->isEnabled());
    }

    // A batch started the moment another is cancelled gets only its own rows
    // after the cancelled one's kept rows, numbered on without a gap. (A chunk
    // of the cancelled batch still queued would be dropped by its batch
    // number; this run does not force that order of events.)
    void aBatchAfterACancelTakesOnlyItsOwnRows() {
        Engine engine(Orientation::Parallel);
        BatchRunner runner(engine.logic);
        std::vector<double> pairs;
        for (int i = 0; i < 600; ++i) pairs.insert(pairs.end(), {1020.0, 980.0});
        std::size_t kept = 0;
        QObject::connect(&runner, &BatchRunner::Progress, &runner, [&] {
            if (kept != 0) return;
            runner.Cancel();
            kept = runner.Done();
            runner.Start(pairs, 10);
        }, Qt::QueuedConnection);
        QSignalSpy finished(&runner, &BatchRunner::Finished);
        runner.Start(Range(900, 0.002, 1099.998), 10);
        QVERIFY(finished.wait(60000));  // the cancel
        QVERIFY(finished.count() == 2 || finished.wait(60000));
        QCOMPARE(finished.count(), 2);
        QVERIFY(finished.at(0).at(0).toBool());
        QVERIFY(!finished.at(1).at(0).toBool());
        const auto& rows = engine.Table().Groups().back().rows;
        QCOMPARE(rows.size(), kept + pairs.size());
        for (std::size_t i = 0; i < rows.size(); ++i) QCOMPARE(rows[i].number, static_cast<int>(i) + 1);
        for (std::size_t i = 0; i < pairs.size(); ++i)
            QCOMPARE(Q(rows[kept + i].Text(PierColumn::Kp)), i % 2 ? QStringLiteral("K 0+ 980") : QStringLiteral("K 1+ 20"));
        QVERIFY(Q(engine.Table().Groups().back().header).contains(QStringLiteral("批量计算已取消")));
    }

    // Closing the dialog while a batch runs cancels it as 取消 does.
    void closingTheDialogCancels() {
        Window window(Orientation::Tangent);
        std::unique_ptr<BatchDialog> dialog(window.form.Panel()->MakeBatchDialog());
        dialog->List()->setPlainText(QStringLiteral("1000 ").repeated(5000));
        dialog->Dr()->setText(QStringLiteral("10"));
        QVERIFY(dialog->Run());
        dialog->reject();
        QVERIFY(!dialog->Running());
        QVERIFY(dialog->Runner()->WasCancelled());
        QCOMPARE(window.Table().RowCount(), dialog->Runner()->Outcome().rows.size());
    }

    // A dialog deleted while its batch runs cancels it the same way.
    void deletingTheDialogCancels() {
        Window window(Orientation::Tangent);
        std::unique_ptr<BatchDialog> dialog(window.form.Panel()->MakeBatchDialog());
        dialog->List()->setPlainText(QStringLiteral("1000 ").repeated(50000));
        dialog->Dr()->setText(QStringLiteral("10"));
        QSignalSpy progress(dialog->Runner(), &BatchRunner::Progress);
        QVERIFY(dialog->Run());
        QVERIFY(progress.wait(60000));  // some rows are in
        dialog.reset();
        QCoreApplication::processEvents();
        const std::size_t rows = window.Table().RowCount();
        QVERIFY(rows > 0);
        QVERIFY(rows < 50000);
        QVERIFY(Q(window.Table().Groups().back().header)
                    .contains(QStringLiteral("批量计算已取消：50000 个桩号只算了前 %1 个").arg(rows)));
        QCOMPARE(window.form.Panel()->Model()->rowCount(), static_cast<int>(rows) + 1);
    }

    // The dialog names the orientation its batch will use.
    void dialogNamesTheOrientation_data() {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QString>("shown");
        QTest::newRow("parallel") << static_cast<int>(Orientation::Parallel) << QStringLiteral("盖梁方向：平行于设计盖梁");
        QTest::newRow("tangent") << static_cast<int>(Orientation::Tangent) << QStringLiteral("盖梁方向：与切线保持交角 B");
    }
    void dialogNamesTheOrientation() {
        QFETCH(int, orientation);
        QFETCH(QString, shown);
        Window window(static_cast<Orientation>(orientation));
        std::unique_ptr<BatchDialog> dialog(window.form.Panel()->MakeBatchDialog());
        QVERIFY(dialog->OrientationNote()->text().startsWith(shown));
    }

    // Re-opening the dialog shows what was typed last, whether it ran or was
    // only closed; the panel's orientation buttons choose it afresh each time.
    void dialogKeepsTheLastInputs_data() {
        QTest::addColumn<bool>("run");
        QTest::newRow("after a run") << true;
        QTest::newRow("closed without running") << false;
    }
    void dialogKeepsTheLastInputs() {
        QFETCH(bool, run);
        Window window(Orientation::Tangent);
        {
            std::unique_ptr<BatchDialog> dialog(window.form.Panel()->MakeBatchDialog());
            dialog->List()->setPlainText(QStringLiteral("1000, 1020"));
            dialog->UseList(false);
            dialog->Start()->setText(QStringLiteral("0"));
            dialog->Step()->setText(QStringLiteral("100"));
            dialog->End()->setText(QStringLiteral("2050"));
            dialog->Dr()->setText(QStringLiteral("7.5"));
            dialog->Mb()->setText(QStringLiteral("0.01"));
            if (run) QVERIFY(dialog->Run());
            dialog->reject();
        }
        std::unique_ptr<BatchDialog> again(window.form.Panel()->MakeBatchDialog());
        QCOMPARE(again->List()->toPlainText(), QStringLiteral("1000, 1020"));
        QCOMPARE(again->Start()->text(), QStringLiteral("0"));
        QCOMPARE(again->Step()->text(), QStringLiteral("100"));
        QCOMPARE(again->End()->text(), QStringLiteral("2050"));
        QCOMPARE(again->Dr()->text(), QStringLiteral("7.5"));
        QCOMPARE(again->Mb()->text(), QStringLiteral("0.01"));
        QVERIFY(again->findChild<QRadioButton*>(QStringLiteral("BatchRangeMode"))->isChecked());
        QVERIFY(again->Start()->isEnabled());
        QVERIFY(!again->List()->isEnabled());
    }

    // The dialog states the end rule, and keeps it: 0 to 2050 every 100 is
    // 0, 100, ..., 2000 and 2050.
    void rangeEndOffTheStepsIsTheLastChainage() {
        Window window(Orientation::Tangent);
        std::unique_ptr<BatchDialog> dialog(window.form.Panel()->MakeBatchDialog());
        QVERIFY(dialog->EndRule()->text().contains(QStringLiteral("终点本身也算作最后一个桩号")));
        dialog->UseList(false);
        dialog->Start()->setText(QStringLiteral("0"));
        dialog->Step()->setText(QStringLiteral("100"));
        dialog->End()->setText(QStringLiteral("2050"));
        dialog->Dr()->setText(QStringLiteral("10"));
        QVERIFY(dialog->Run());
        const auto& rows = window.Table().Groups().back().rows;
        QCOMPARE(rows.size(), std::size_t{22});
        QCOMPARE(Q(rows[20].Text(PierColumn::Kp)), QStringLiteral("K 2+ 0"));
        QCOMPARE(Q(rows[21].Text(PierColumn::Kp)), QStringLiteral("K 2+ 50"));
    }
};

QTEST_MAIN(BatchRunnerTest)
#include "batch_runner_test.moc"

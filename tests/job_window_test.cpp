// Jobs in the window, on the offscreen platform: save and reopen to the same
// boxes, table and plan; the title's name and unsaved mark; the question on
// every way out and its three answers; a bad file and a failed save that
// change nothing; the recovery file after a crash.
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

#include "app/alignment_page.h"
#include "app/alignment_table_model.h"
#include "app/app_setup.h"
#include "app/job_menu.h"
#include "app/sheet_export.h"
#include "app/pier_table_model.h"
#include "app/plan_view.h"
#include "app/side_panel.h"
#include "tests/scripted_form1.h"

using namespace capbeam;
using test::ScriptedForm1;
using Answer = JobFiles::Answer;

namespace {

QStringList Boxes(const Form1& form) {
    QStringList texts;
    for (int n = 1; n <= kBoxCount; ++n) texts << form.BoxWidget(BoxAt(n))->text();
    return texts;
}

QStringList TableLines(const Form1& form) {
    const PierTableModel& model = *form.Panel()->Model();
    QStringList lines;
    for (int line = 0; line < model.rowCount(); ++line) {
        QStringList cells;
        for (int c = 0; c < model.columnCount(); ++c) cells << model.index(line, c).data().toString();
        lines << cells.join(QLatin1Char('|'));
    }
    return lines;
}

// The plan by what it draws: J, the latest beam and every beam's ends.
QList<double> PlanPoints(const Form1& form) {
    const PlanScene& scene = form.Panel()->Plan()->Scene();
    QList<double> points{scene.J.X, scene.J.Y, scene.R, static_cast<double>(scene.beams.size())};
    for (const PlanBeam& beam : scene.beams) points << beam.inner.X << beam.inner.Y << beam.outer.X << beam.outer.Y;
    return points;
}

QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

}  // namespace

class JobWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PrepareApplication(*qApp); }

    void init() {
        QStandardPaths::setTestModeEnabled(true);
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).removeRecursively();
        folder_ = std::make_unique<QTemporaryDir>();
        QVERIFY(folder_->isValid());
        form_ = std::make_unique<ScriptedForm1>();
        form_->show();
    }
    void cleanup() {
        form_.reset();
        folder_.reset();
    }

    void saveAndReopenRestoresTheWindow() {
        Work(*form_);
        form_->findChild<QRadioButton*>(QStringLiteral("OrientationTangent"))->setChecked(true);
        const QString path = folder_->filePath(QStringLiteral("桥一.capbeam"));
        QVERIFY(form_->Jobs()->SaveTo(path));

        ScriptedForm1 other;
        other.show();
        QVERIFY(other.Jobs()->OpenPath(path));
        QCOMPARE(Boxes(other), Boxes(*form_));
        QCOMPARE(TableLines(other), TableLines(*form_));
        QCOMPARE(TableLines(other).size(), 3);  // a header and two rows
        QCOMPARE(PlanPoints(other), PlanPoints(*form_));
        QVERIFY(other.findChild<QRadioButton*>(QStringLiteral("OrientationTangent"))->isChecked());
        QVERIFY(!other.isWindowModified());
        QVERIFY(other.windowTitle().startsWith(QStringLiteral("桥一[*] - ")));
        QCOMPARE(other.Jobs()->Recent().value(0), QFileInfo(path).absoluteFilePath());
        // The next request goes on exactly as it would have.
        for (ScriptedForm1* f : {form_.get(), &other}) {
            f->Reply({"1050", "10", "0.001"});
            f->Layout()->findChild<QPushButton*>(QStringLiteral("Command2"))->click();
        }
        QCOMPARE(Boxes(other), Boxes(*form_));
        QCOMPARE(TableLines(other), TableLines(*form_));
        QVERIFY(other.isWindowModified());

        // 新建 empties the window and its table, and forgets the file.
        other.saveAnswers.push_back(Answer::Discard);
        QVERIFY(other.Jobs()->New());
        QCOMPARE(other.Panel()->Model()->rowCount(), 0);
        QCOMPARE(Boxes(other), Boxes(ScriptedForm1()));
        QVERIFY(other.Jobs()->Path().isEmpty());
        QVERIFY(other.findChild<QRadioButton*>(QStringLiteral("OrientationParallel"))->isChecked());
    }

    // The alignment page's table, its design beam and its beams are part of
    // the job: typing a table is a change to save, and reopening shows the
    // table, the fields, the rows and the plan as they were.
    void anAlignmentIsKeptInTheJob() {
        AlignmentPage* page = form_->Panel()->Alignment();
        QVERIFY(page->PasteText(QStringLiteral("QD\tK0+000\t3000\t5000\nJD1\t\t3400\t5300\t600\t120\t120\n"
                                               "JD2\t\t3650\t5900\t800\t100\t80\nZD\t\t3800\t6500\n")));
        QVERIFY(page->Loaded().has_value());
        QVERIFY(form_->isWindowModified());
        const QList<QPair<const char*, const char*>> fields{
            {"KjEdit", "K0+250"}, {"BEdit", "60.3015"}, {"DREdit", "11"}, {"ListEdit", "300, 350, 99999"}};
        for (const auto& [name, text] : fields) page->Field(name)->setText(QString::fromUtf8(text));
        QVERIFY(!page->RunBatch());  // 99999 is beyond the road; the rest are placed
        page->Field("KpEdit")->setText(QStringLiteral("K0+900"));
        QVERIFY(page->ComputeBeam());
        QCOMPARE(TableLines(*form_).size(), 4);  // a header and three rows
        page->Field("BEdit")->setText(QStringLiteral("75"));  // shown, not yet used
        const QString path = folder_->filePath(QStringLiteral("线形.capbeam"));
        QVERIFY(form_->Jobs()->SaveTo(path));

        ScriptedForm1 other;
        other.show();
        QVERIFY(other.Jobs()->OpenPath(path));
        AlignmentPage* reopened = other.Panel()->Alignment();
        QCOMPARE(reopened->InputModel()->CsvText(), page->InputModel()->CsvText());
        QVERIFY(reopened->Loaded().has_value());
        for (const char* name : {"KjEdit", "BEdit", "DLEdit", "DREdit"})
            QCOMPARE(reopened->Field(name)->text(), page->Field(name)->text());
        QCOMPARE(TableLines(other), TableLines(*form_));
        QCOMPARE(reopened->Scene().beams.size(), page->Scene().beams.size());
        QCOMPARE(reopened->Scene().beams.size(), std::size_t{3});
        QVERIFY(!other.isWindowModified());
        // An edit of the reopened table is a change again.
        reopened->Field("DREdit")->setText(QStringLiteral("12"));
        QVERIFY(other.isWindowModified());

        // 新建 empties the page too.
        other.saveAnswers.push_back(Answer::Discard);
        QVERIFY(other.Jobs()->New());
        QVERIFY(reopened->InputModel()->Rows().empty());
        QVERIFY(!reopened->Loaded().has_value());
        QVERIFY(!other.isWindowModified());
    }

    // Beams that followed an edited road reopen where they stood, refused
    // rows and all, without a word; a job saved before beams followed their
    // road opens with them on its page's road and says how many moved.
    void anEditedRoadReopensAsItWasLeft() {
        AlignmentPage* page = form_->Panel()->Alignment();
        QVERIFY(page->OpenFile(QStringLiteral(CAPBEAM_SOURCE_DIR "/docs/example-jd.csv")));
        for (const auto& [name, text] : QList<QPair<const char*, const char*>>{{"KjEdit", "300"}, {"DREdit", "6"}, {"ListEdit", "120 300 500"}})
            page->Field(name)->setText(QString::fromUtf8(text));
        QVERIFY(page->RunBatch());
        const QString path = folder_->filePath(QStringLiteral("改过的线形.capbeam"));
        QVERIFY(form_->Jobs()->SaveTo(path));
        AlignmentTableModel* table = page->InputModel();
        QVERIFY(table->setData(table->index(0, 1), QStringLiteral("K0+130")));  // K0+120 now before the start
        QVERIFY(table->setData(table->index(2, 3), QStringLiteral("5120.046857")));  // and the rest moved
        QVERIFY(form_->isWindowModified());
        QVERIFY(form_->Jobs()->SaveTo(path));
        {
            ScriptedForm1 other;
            other.show();
            QVERIFY(other.Jobs()->OpenPath(path));
            QCOMPARE(TableLines(other), TableLines(*form_));
            QCOMPARE(other.Panel()->Model()->IsRefused(1), true);
            QVERIFY(other.messages.empty());
        }
        // As an older program left it: the clicks on the old table, the page's table edited.
        QByteArray old = Bytes(path);
        old.replace("\"minor\": 2", "\"minor\": 1");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(old);
        file.close();
        ScriptedForm1 other;
        other.show();
        QVERIFY(other.Jobs()->OpenPath(path));
        QCOMPARE(TableLines(other), TableLines(*form_));
        QCOMPARE(other.messages.size(), std::size_t{1});
        QVERIFY2(other.messages[0].second.contains(QStringLiteral("作业中道路线形上的 3 根盖梁已按道路线形页的线形重新计算：1 根放不上")) &&
                     other.messages[0].second.contains(QStringLiteral("2 根移动超过 1 毫米")),
                 qPrintable(other.messages[0].second));
    }

    void titleNamesTheJobAndMarksChanges() {
        QVERIFY(form_->windowTitle().startsWith(QStringLiteral("未命名作业[*]")));
        QVERIFY(!form_->isWindowModified());
        Work(*form_);
        QVERIFY(form_->isWindowModified());
        form_->savePaths.push_back(folder_->filePath(QStringLiteral("K1 桥")));  // no extension typed
        QApplication::setActiveWindow(form_.get());
        form_->findChild<QAction*>(QStringLiteral("SaveJobAction"))->trigger();
        QVERIFY(!form_->isWindowModified());
        QVERIFY(form_->windowTitle().startsWith(QStringLiteral("K1 桥[*]")));
        QCOMPARE(form_->findChild<QAction*>(QStringLiteral("SaveJobAction"))->shortcut(),
                 QKeySequence(QKeySequence::Save));
    }

    void everyWayOutAsks_data() {
        QTest::addColumn<QString>("way");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("leaves");
        for (const char* way : {"退出计算", "关闭窗口", "新建", "打开"}) {
            QTest::addRow("%s 取消", way) << QString::fromUtf8(way) << int(Answer::Cancel) << false;
            QTest::addRow("%s 不保存", way) << QString::fromUtf8(way) << int(Answer::Discard) << true;
            QTest::addRow("%s 保存", way) << QString::fromUtf8(way) << int(Answer::Save) << true;
        }
    }
    void everyWayOutAsks() {
        QFETCH(QString, way);
        QFETCH(int, answer);
        QFETCH(bool, leaves);
        const QString saved = folder_->filePath(QStringLiteral("saved.capbeam"));
        const QString other = folder_->filePath(QStringLiteral("other.capbeam"));
        QFile::copy(QStringLiteral(CAPBEAM_SOURCE_DIR "/docs/example.capbeam"), other);
        Work(*form_);
        const QStringList boxes = Boxes(*form_);
        form_->saveAnswers.push_back(static_cast<Answer>(answer));
        form_->savePaths.push_back(saved);
        form_->openPaths.push_back(other);
        if (way == QStringLiteral("退出计算"))
            form_->Layout()->findChild<QPushButton*>(QStringLiteral("Command3"))->click();
        else if (way == QStringLiteral("关闭窗口"))
            form_->close();
        else if (way == QStringLiteral("新建"))
            form_->Jobs()->New();
        else
            form_->Jobs()->Open();
        QCOMPARE(form_->saveQuestions.size(), std::size_t{1});
        QVERIFY(form_->saveQuestions[0].contains(QStringLiteral("未命名作业")));
        // The question says what is about to happen.
        const QString before = way == QStringLiteral("新建")   ? QStringLiteral("在新建作业之前")
                               : way == QStringLiteral("打开") ? QStringLiteral("在打开另一个作业之前")
                                                               : QStringLiteral("在关闭程序之前");
        QVERIFY2(form_->saveQuestions[0].contains(before), qPrintable(form_->saveQuestions[0]));
        QCOMPARE(QFile::exists(saved), answer == int(Answer::Save));
        const bool closing = way == QStringLiteral("退出计算") || way == QStringLiteral("关闭窗口");
        if (closing) QCOMPARE(form_->isVisible(), !leaves);
        if (!leaves) {
            QCOMPARE(Boxes(*form_), boxes);  // 取消: nothing lost
            QVERIFY(form_->isWindowModified());
            QVERIFY(QFile::exists(form_->Jobs()->RecoveryPath()));
        } else if (!closing) {
            QVERIFY(Boxes(*form_) != boxes);
        }
        if (leaves && closing) QVERIFY(!QFile::exists(form_->Jobs()->RecoveryPath()));
    }

    void nothingWorthKeepingDoesNotAsk() {
        form_->findChild<QRadioButton*>(QStringLiteral("OrientationTangent"))->setChecked(true);
        form_->Reply({"1000", "2000", "<cancel>"});
        form_->Layout()->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        form_->close();
        QVERIFY(form_->saveQuestions.empty());
        QVERIFY(!form_->isVisible());
    }

    void aBadFileLeavesTheOpenJob() {
        Work(*form_);
        const QString path = folder_->filePath(QStringLiteral("坏.capbeam"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(Bytes(QStringLiteral(CAPBEAM_SOURCE_DIR "/docs/example.capbeam")).left(150));
        file.close();
        const QStringList boxes = Boxes(*form_);
        const QStringList table = TableLines(*form_);
        const QString title = form_->windowTitle();
        QVERIFY(!form_->Jobs()->OpenPath(path));
        QCOMPARE(form_->messages.size(), std::size_t{1});
        QCOMPARE(form_->messages[0].first, QStringLiteral("作业没有打开"));
        QVERIFY(form_->messages[0].second.contains(QStringLiteral("坏.capbeam")));
        QVERIFY(form_->messages[0].second.contains(QStringLiteral("中断")));
        QCOMPARE(Boxes(*form_), boxes);
        QCOMPARE(TableLines(*form_), table);
        QCOMPARE(form_->windowTitle(), title);
        QVERIFY(form_->isWindowModified());
    }

    // A job, the table as CSV and as a coordinate file: a save that fails
    // part-way leaves the earlier file as it was and says so.
    void aFailedSaveLeavesTheOldFile_data() {
        QTest::addColumn<QString>("what");
        QTest::addColumn<bool>("diskFull");
        for (const char* what : {"作业", "CSV", "全站仪坐标文件"}) {
            QTest::addRow("%s 磁盘写满", what) << QString::fromUtf8(what) << true;
            QTest::addRow("%s 文件夹不存在", what) << QString::fromUtf8(what) << false;
        }
    }
    void aFailedSaveLeavesTheOldFile() {
        QFETCH(QString, what);
        QFETCH(bool, diskFull);
        const QString path = diskFull ? folder_->filePath(QStringLiteral("old.capbeam"))
                                      : folder_->filePath(QStringLiteral("old.capbeam/inside.capbeam"));
        {
            QFile old(folder_->filePath(QStringLiteral("old.capbeam")));
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("{\"the old job\": true}\n");
        }
        const QByteArray before = Bytes(folder_->filePath(QStringLiteral("old.capbeam")));
        Work(*form_);
        form_->Panel()->showMessage = [this](const QString& title, const QString& text) {
            form_->messages.emplace_back(title, text);
        };
        const auto save = [&] {
            if (what == QStringLiteral("作业")) return form_->Jobs()->SaveTo(path);
            if (what == QStringLiteral("CSV")) return form_->Panel()->SaveCsvTo(path);
            return form_->Panel()->SaveCassTo(path);
        };
        bool saved = false;
        if (diskFull) {
            // The file system refuses every byte past the 64th, as a full disk would.
            rlimit was{};
            getrlimit(RLIMIT_FSIZE, &was);
            rlimit full = was;
            full.rlim_cur = 64;
            std::signal(SIGXFSZ, SIG_IGN);
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &full), 0);
            saved = save();
            setrlimit(RLIMIT_FSIZE, &was);
        } else {
            saved = save();
        }
        QVERIFY(!saved);
        QCOMPARE(Bytes(folder_->filePath(QStringLiteral("old.capbeam"))), before);
        QCOMPARE(QDir(folder_->path()).entryList(QDir::Files), QStringList{QStringLiteral("old.capbeam")});
        QCOMPARE(form_->messages.size(), std::size_t{1});
        QCOMPARE(form_->messages[0].first,
                 what == QStringLiteral("作业") ? QStringLiteral("作业没有保存") : QStringLiteral("文件没有保存"));
        QVERIFY(form_->isWindowModified());
        QVERIFY(form_->Jobs()->Path().isEmpty());
    }

    void recoveryAfterACrash_data() {
        QTest::addColumn<bool>("restore");
        QTest::addColumn<bool>("hadFile");
        QTest::newRow("恢复未命名作业") << true << false;
        QTest::newRow("恢复已保存过的作业") << true << true;
        QTest::newRow("丢弃") << false << false;
    }
    void recoveryAfterACrash() {
        QFETCH(bool, restore);
        QFETCH(bool, hadFile);
        const QString path = folder_->filePath(QStringLiteral("桥.capbeam"));
        if (hadFile) {
            form_->Reply({"1000", "2000", "1000", "1500", "2000", "60", "500", "1"});
            form_->Layout()->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
            QVERIFY(form_->Jobs()->SaveTo(path));
        }
        Work(*form_);
        const QString recovery = form_->Jobs()->RecoveryPath();
        QVERIFY(QFile::exists(recovery));
        // The window's process dies: its recovery file stays with nobody holding its lock.
        const QString left = QFileInfo(recovery).dir().filePath(QStringLiteral("recovery-999999999.capbeam"));
        QVERIFY(QFile::copy(recovery, left));
        const QStringList boxes = Boxes(*form_);
        const QStringList table = TableLines(*form_);
        form_->Jobs()->Finished();
        form_.reset();

        ScriptedForm1 next;
        next.show();
        next.restoreAnswers.push_back(restore);
        QCOMPARE(next.Jobs()->OfferRecovery(), restore);
        QCOMPARE(next.restoreQuestions.size(), std::size_t{1});
        QVERIFY(!QFile::exists(left));
        if (restore) {
            QCOMPARE(Boxes(next), boxes);
            QCOMPARE(TableLines(next), table);
            QVERIFY(next.isWindowModified());  // restored, not yet saved
            QCOMPARE(next.Jobs()->Path(), hadFile ? QFileInfo(path).absoluteFilePath() : QString());
            next.saveAnswers.push_back(Answer::Cancel);
            next.close();
            QCOMPARE(next.saveQuestions.size(), std::size_t{1});
        } else {
            QCOMPARE(next.Panel()->Model()->rowCount(), 0);
        }
        // Offered once only.
        ScriptedForm1 third;
        QVERIFY(!third.Jobs()->OfferRecovery());
        QVERIFY(third.restoreQuestions.empty());
    }

private:
    // A set-up, two requests and a refused reply on the way.
    static void Work(ScriptedForm1& form) {
        form.Reply({"1000", "2000", "1000", "1500", "2000", "60", "-5", "500", "1", "1020", "10", "0.001", "980",
                    "10", "0.001"});
        auto* setUp = form.Layout()->findChild<QPushButton*>(QStringLiteral("Command1"));
        auto* request = form.Layout()->findChild<QPushButton*>(QStringLiteral("Command2"));
        setUp->click();
        request->click();
        request->click();
        form.messages.clear();
    }

    std::unique_ptr<QTemporaryDir> folder_;  // a fresh one for every test
    std::unique_ptr<ScriptedForm1> form_;

    // The 作业 menu's exports: before any beam a message and no file chooser;
    // from the example job a PDF and a DXF named after the job.
    void sheetAndDrawingFromTheMenu() {
        SheetExport& sheets = *form_->Sheets();
        QStringList titles;
        int asked = 0;
        sheets.showMessage = [&](const QString& title, const QString&) { titles << title; };
        sheets.chooseSavePath = [&](const QString&, const QString& suggested, const QString&) {
            ++asked;
            return folder_->filePath(QFileInfo(suggested).fileName());
        };
        const auto trigger = [&](const char* name) {
            auto* action = form_->Jobs()->Menu()->findChild<QAction*>(QLatin1String(name));
            if (action) action->trigger();
            return action != nullptr;
        };
        QVERIFY(trigger("DrawingDxfAction"));
        QCOMPARE(asked, 0);
        QCOMPARE(titles, QStringList{QStringLiteral("还没有盖梁")});
        QVERIFY(form_->Jobs()->OpenPath(QStringLiteral(CAPBEAM_SOURCE_DIR "/docs/example.capbeam")));
        QVERIFY(trigger("SheetPdfAction"));
        QVERIFY(trigger("DrawingDxfAction"));
        QVERIFY(form_->Jobs()->Menu()->findChild<QAction*>(QStringLiteral("SheetPrintAction")));
        QCOMPARE(asked, 2);
        QCOMPARE(titles.size(), 1);
        QVERIFY(Bytes(folder_->filePath(QStringLiteral("example.pdf"))).startsWith("%PDF"));
        QVERIFY(Bytes(folder_->filePath(QStringLiteral("example.dxf"))).contains("AC1009"));
    }
};

QTEST_MAIN(JobWindowTest)
#include "job_window_test.moc"

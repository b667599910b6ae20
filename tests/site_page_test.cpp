// The page "放样" in the window, on the offscreen platform, with the example
// job open: pier names and rows taken out through the pier list, points
// typed into their table, the station and its stake-out table, the files it
// saves, and all of it kept in the job and shown in the plan.
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "app/app_setup.h"
#include "app/plan_view.h"
#include "app/side_panel.h"
#include "app/site_page.h"
#include "core/dms.h"
#include "core/text_formats.h"
#include "records/beam_points.h"
#include "records/job.h"
#include "tests/scripted_form1.h"

using namespace capbeam;
using test::ScriptedForm1;

class SitePageTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PrepareApplication(*qApp); }

    void init() {
        form_ = std::make_unique<ScriptedForm1>();
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
        QVERIFY(form_->Jobs()->OpenPath(QStringLiteral(CAPBEAM_SOURCE_DIR "/docs/example.capbeam")));
        page_ = form_->Panel()->Site();
        QCOMPARE(page_->Piers()->rowCount(), 5);
    }
    void cleanup() { form_.reset(); }

    // A name typed over the default goes into the job and into the points'
    // names; a name that cannot be written, or that another pier has, is
    // refused in words and the cell shows the kept name again.
    void piersAreRenamedAndTakenOut() {
        QVERIFY(!form_->Jobs()->Modified());
        Edit(page_->Piers(), 0, 2, QStringLiteral("1#墩"));
        QCOMPARE(Site().pierNames, (std::map<int, std::string>{{1, "1#墩"}}));
        QVERIFY(form_->Jobs()->Modified());
        Edit(page_->Piers(), 1, 2, QStringLiteral("2,3"));
        QVERIFY(page_->Status()->text().contains(QStringLiteral("逗号")));
        QCOMPARE(page_->Piers()->item(1, 2)->text(), QStringLiteral("P2"));
        Edit(page_->Piers(), 1, 2, QStringLiteral("1#墩"));
        QVERIFY(page_->Status()->text().contains(QStringLiteral("第 1 行已经叫")));
        QCOMPARE(Site().pierNames.size(), std::size_t{1});
        // Back to its default name: nothing to keep.
        Edit(page_->Piers(), 0, 2, QStringLiteral("P1"));
        QVERIFY(Site().pierNames.empty());

        page_->Piers()->item(1, 3)->setCheckState(Qt::Unchecked);
        QTest::qWait(0);
        QCOMPARE(Site().deletedPiers, std::vector<int>{2});
        const std::string cass = ReadAll(SaveCass()).toStdString();
        QVERIFY(cass.find("P2-") == std::string::npos);
        QVERIFY(cass.find("P3-C,,") != std::string::npos);

        // As the pier table's menu does it: an empty name gives the default back.
        QVERIFY(page_->RenamePier(4, QStringLiteral(" 4#墩 ")));
        QTest::qWait(0);
        QCOMPARE(Site().pierNames, (std::map<int, std::string>{{4, "4#墩"}}));
        QCOMPARE(page_->Piers()->item(3, 2)->text(), QStringLiteral("4#墩"));
        QVERIFY(page_->RenamePier(4, QString()));
        QTest::qWait(0);
        QVERIFY(Site().pierNames.empty());
        page_->IncludePier(2, true);
        QTest::qWait(0);
        QVERIFY(Site().deletedPiers.empty());
        QCOMPARE(page_->Piers()->item(1, 3)->checkState(), Qt::Checked);
    }

    void aChainageComputedTwiceIsPointedOut() {
        const_cast<Calculator&>(form_->Logic()).RunBatch({980}, 10);
        QCOMPARE(page_->Piers()->rowCount(), 6);
        QVERIFY(page_->Piers()->item(5, 4)->text().contains(QStringLiteral("与第 1 行相同")));
        QVERIFY(page_->Piers()->item(0, 4)->text().isEmpty());
    }

    // Points typed in the table are kept in the job, drawn in the plan and
    // computed for every pier; a distance that is not a number is refused.
    void pointsAreTypedKeptAndDrawn() {
        QVERIFY(page_->AddPoint());
        QTest::qWait(0);
        QVERIFY(page_->AddPoint());
        QTest::qWait(0);
        QCOMPARE(page_->Points()->rowCount(), 2);
        Edit(page_->Points(), 0, 1, QStringLiteral("-3.5"));
        Edit(page_->Points(), 1, 0, QStringLiteral("HZ1"));
        Edit(page_->Points(), 1, 1, QStringLiteral("10"));
        Edit(page_->Points(), 1, 2, QStringLiteral("1.2"));
        QCOMPARE(Site().beamPoints,
                 (std::vector<BeamPointDef>{{"Z1", -3.5, 0}, {"HZ1", 10, 1.2}}));
        Edit(page_->Points(), 1, 1, QStringLiteral("十米"));
        QVERIFY(page_->Status()->text().contains(QStringLiteral("应当是一个数")));
        QCOMPARE(page_->Points()->item(1, 1)->text(), QStringLiteral("10"));
        Edit(page_->Points(), 1, 0, QStringLiteral("Z1"));
        QVERIFY(page_->Status()->text().contains(QStringLiteral("重复")));

        const std::vector<SitePoint>& drawn = form_->Panel()->Plan()->Scene().sitePoints;
        QCOMPARE(drawn.size(), std::size_t{10});  // two a pier, centre and ends drawn with the beams
        const std::vector<SitePoint> all = SitePointsOf(form_->Logic().Table(), Site());
        QCOMPARE(drawn[1].name, std::string("P1-HZ1"));
        QCOMPARE(drawn[1].X, all[4].X);

        page_->Points()->setCurrentCell(0, 0);
        QVERIFY(page_->RemovePoint());
        QTest::qWait(0);
        QCOMPARE(Site().beamPoints.size(), std::size_t{1});

        // Saved and opened again, the job has them.
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("桥.capbeam"));
        QVERIFY(form_->Jobs()->SaveTo(path));
        QVERIFY(form_->Jobs()->New());
        QVERIFY(Site().Empty());
        QCOMPARE(page_->Points()->rowCount(), 0);
        QVERIFY(form_->Jobs()->OpenPath(path));
        QCOMPARE(Site().beamPoints, (std::vector<BeamPointDef>{{"HZ1", 10, 1.2}}));
        QCOMPARE(page_->Points()->item(0, 0)->text(), QStringLiteral("HZ1"));
    }

    // The stake-out table shows what the records compute, the backsight's
    // check first; the station is kept in the job; a station on its
    // backsight is refused.
    void stakeoutFromAStation() {
        Box("StationName")->setText(QStringLiteral("T1"));
        Box("StationX")->setText(QStringLiteral("1480.25"));
        Box("StationY")->setText(QStringLiteral("１９９０.５"));  // as a Chinese input method types it
        Box("BacksightName")->setText(QStringLiteral("T2"));
        Box("BacksightX")->setText(QStringLiteral("1600"));
        Box("BacksightY")->setText(QStringLiteral("2100.125"));
        QVERIFY(page_->ComputeStakeout());
        const SiteStation expected{"T1", 1480.25, 1990.5, false, "T2", 1600, 2100.125, 0};
        QVERIFY(Site().station == expected);
        const std::vector<StakeoutRow> rows = StakeoutOf(expected, SitePointsOf(form_->Logic().Table(), Site()));
        QTableWidget* table = page_->Stakeout();
        QCOMPARE(table->rowCount(), 16);
        QCOMPARE(table->item(0, 0)->text(), QStringLiteral("T2（后视，检核）"));
        QCOMPARE(table->item(0, 2)->text(), QStringLiteral("0.00000"));
        for (int line = 1; line < 16; ++line) {
            const StakeoutRow& r = rows[static_cast<std::size_t>(line - 1)];
            QCOMPARE(table->item(line, 0)->text(), Q(r.name));
            QCOMPARE(table->item(line, 1)->text(), Q(AzimuthDmsText(r.azimuth)));
            QCOMPARE(table->item(line, 2)->text(), Q(AzimuthDmsText(r.angle)));
            QCOMPARE(table->item(line, 3)->text(), Q(FixedText(r.distance)));
        }
        QVERIFY(form_->Jobs()->Modified());

        QTemporaryDir folder;
        const QString csv = folder.filePath(QStringLiteral("放样表.csv"));
        QVERIFY(page_->SaveStakeoutCsv(csv));
        QCOMPARE(ReadAll(csv), QByteArray::fromStdString(StakeoutCsv(BacksightRow(expected), rows, true)));

        Box("BacksightX")->setText(QStringLiteral("1480.25"));
        Box("BacksightY")->setText(QStringLiteral("1990.5"));
        QVERIFY(!page_->ComputeStakeout());
        QVERIFY(page_->Status()->text().contains(QStringLiteral("重合")));
        QVERIFY(Site().station == expected);  // the one kept stays

        qobject_cast<QRadioButton*>(page_->findChild<QRadioButton*>(QStringLiteral("BacksightByAzimuth")))->setChecked(true);
        Box("BacksightAzimuth")->setText(QStringLiteral("30.75"));
        QVERIFY(!page_->ComputeStakeout());
        QVERIFY(page_->Status()->text().contains(QStringLiteral("度.分秒")));
        Box("BacksightAzimuth")->setText(QStringLiteral("30.45"));
        QVERIFY(page_->ComputeStakeout());
        QCOMPARE(page_->Stakeout()->item(0, 1)->text(), QStringLiteral("30.45000"));

        // A new job has no station: its boxes and table are empty.
        form_->saveAnswers.push_back(JobFiles::Answer::Discard);
        QVERIFY(form_->Jobs()->New());
        QVERIFY(Box("StationX")->text().isEmpty());
        QCOMPARE(page_->Stakeout()->rowCount(), 0);
    }

    // A name the GSI file cannot hold is shortened there, and the crew is told.
    void gsiSaysWhichNamesItShortened() {
        Edit(page_->Piers(), 2, 2, QStringLiteral("3#墩"));
        std::vector<std::pair<QString, QString>> said;
        page_->showMessage = [&](const QString& title, const QString& text) { said.emplace_back(title, text); };
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("放样点.gsi"));
        QVERIFY(page_->SaveGsi(path));
        QCOMPARE(said.size(), std::size_t{1});
        QCOMPARE(said[0].first, QStringLiteral("点名已改写"));
        QVERIFY(said[0].second.contains(QStringLiteral("3#墩-C → 3-C")));
        QCOMPARE(ReadAll(path),
                 QByteArray::fromStdString(SitePointsGsi(SitePointsOf(form_->Logic().Table(), Site()), nullptr)));
        QVERIFY(!page_->SaveGsi(QStringLiteral("/nonexistent-folder-of-capbeam/a.gsi")));
        QCOMPARE(said.back().first, QStringLiteral("文件没有保存"));
    }

private:
    const SiteWork& Site() const { return form_->Logic().Site(); }
    // Types into a cell as a user does, and lets the page keep it.
    static void Edit(QTableWidget* table, int line, int column, const QString& text) {
        table->item(line, column)->setText(text);
        QTest::qWait(0);
        QTest::qWait(0);
    }
    QLineEdit* Box(const char* name) const { return page_->findChild<QLineEdit*>(QString::fromLatin1(name)); }
    QString SaveCass() {
        const QString path = folder_.filePath(QStringLiteral("盖梁坐标.dat"));
        form_->Panel()->SaveCassTo(path);
        return path;
    }
    static QByteArray ReadAll(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return {};
        return file.readAll();
    }

    std::unique_ptr<ScriptedForm1> form_;
    SitePage* page_ = nullptr;
    QTemporaryDir folder_;
};

QTEST_MAIN(SitePageTest)
#include "site_page_test.moc"

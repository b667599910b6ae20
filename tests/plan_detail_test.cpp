// The plan's level of detail: which of many beams are drawn and which are
// offered a label, by the rules' meaning; and a plan of thousands of beams
// whose numbers never overlap and whose latest beam keeps its number.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "app/app_setup.h"
#include "app/batch_dialog.h"
#include "app/batch_runner.h"
#include "app/plan_detail.h"
#include "app/plan_view.h"
#include "app/side_panel.h"
#include "tests/scripted_form1.h"

using namespace capbeam;

Q_DECLARE_METATYPE(std::vector<capbeam::ScreenBeam>)
Q_DECLARE_METATYPE(std::vector<capbeam::ScreenPoint>)
Q_DECLARE_METATYPE(std::vector<std::size_t>)

namespace {

const ScreenRect kView{0, 0, 400, 300};

ScreenBeam Beam(double x1, double y1, double x2, double y2, int style = 0) { return {{x1, y1}, {x2, y2}, style}; }

}  // namespace

class PlanDetailTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PrepareApplication(*qApp); }

    void distinctBeams_data() {
        QTest::addColumn<std::vector<ScreenBeam>>("beams");
        QTest::addColumn<std::vector<std::size_t>>("drawn");
        QTest::newRow("one beam") << std::vector<ScreenBeam>{Beam(10, 10, 50, 50)} << std::vector<std::size_t>{0};
        QTest::newRow("a beam within half a pixel at both ends is drawn over")
            << std::vector<ScreenBeam>{Beam(10, 10, 50, 50), Beam(10.4, 10.3, 50.2, 49.6), Beam(30, 10, 70, 50)}
            << std::vector<std::size_t>{0, 2};
        QTest::newRow("one end apart is another line")
            << std::vector<ScreenBeam>{Beam(10, 10, 50, 50), Beam(10.2, 10, 52, 50), Beam(30, 10, 70, 50)}
            << std::vector<std::size_t>{0, 1, 2};
        QTest::newRow("near the last drawn, not the last skipped: a slow drift still shows")
            << std::vector<ScreenBeam>{Beam(10, 10, 50, 50), Beam(10.3, 10, 50.3, 50), Beam(10.6, 10, 50.6, 50),
                                       Beam(30, 30, 60, 60)}
            << std::vector<std::size_t>{0, 2, 3};
        QTest::newRow("another style on the same pixels is drawn")
            << std::vector<ScreenBeam>{Beam(10, 10, 50, 50, 0), Beam(10, 10, 50, 50, 1), Beam(90, 10, 99, 50, 0)}
            << std::vector<std::size_t>{0, 1, 2};
        QTest::newRow("the latest is drawn even on the one before")
            << std::vector<ScreenBeam>{Beam(10, 10, 50, 50), Beam(10, 10, 50, 50)} << std::vector<std::size_t>{0, 1};
        QTest::newRow("off the view left out, across it kept")
            << std::vector<ScreenBeam>{Beam(-90, -90, -20, -20), Beam(-50, 150, 450, 150), Beam(500, 0, 600, 10),
                                       Beam(100, 100, 120, 120)}
            << std::vector<std::size_t>{1, 3};
        QTest::newRow("nothing") << std::vector<ScreenBeam>{} << std::vector<std::size_t>{};
    }
    void distinctBeams() {
        QFETCH(std::vector<ScreenBeam>, beams);
        QFETCH(std::vector<std::size_t>, drawn);
        QCOMPARE(DistinctBeams(beams, kView, 0.5), drawn);
    }

    void onePerCell_data() {
        QTest::addColumn<std::vector<ScreenPoint>>("centres");
        QTest::addColumn<double>("cellWidth");
        QTest::addColumn<std::vector<std::size_t>>("chosen");
        QTest::newRow("two in one cell: the first, the more important")
            << std::vector<ScreenPoint>{{105, 105}, {110, 112}} << 20.0 << std::vector<std::size_t>{0};
        QTest::newRow("neighbouring cells both")
            << std::vector<ScreenPoint>{{105, 105}, {125, 105}, {105, 125}} << 20.0 << std::vector<std::size_t>{0, 1, 2};
        QTest::newRow("off the view none")
            << std::vector<ScreenPoint>{{-5, 10}, {10, 10}, {401, 10}} << 20.0 << std::vector<std::size_t>{1};
        QTest::newRow("a cell of no width offers nothing")
            << std::vector<ScreenPoint>{{10, 10}} << 0.0 << std::vector<std::size_t>{};
    }
    void onePerCell() {
        QFETCH(std::vector<ScreenPoint>, centres);
        QFETCH(double, cellWidth);
        QFETCH(std::vector<std::size_t>, chosen);
        QCOMPARE(OnePerCell(centres, kView, cellWidth, 20), chosen);
    }

    // Five thousand beams, beyond the marked few thousand, along 250 m of
    // road: the numbers drawn never overlap and the latest beam keeps its own.
    void denseLabelsStayClear() {
        test::ScriptedForm1 form;
        form.show();
        form.Reply({"1000", "2000", "1000", "1500", "2000", "60", "500", "1"});
        form.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        form.findChild<QRadioButton*>(QStringLiteral("OrientationTangent"))->click();
        std::unique_ptr<BatchDialog> dialog(form.Panel()->MakeBatchDialog());
        dialog->UseList(false);
        dialog->Start()->setText(QStringLiteral("900"));
        dialog->Step()->setText(QStringLiteral("0.05"));
        dialog->End()->setText(QStringLiteral("1149.95"));
        dialog->Dr()->setText(QStringLiteral("10"));
        QSignalSpy finished(dialog->Runner(), &BatchRunner::Finished);
        QVERIFY(dialog->Run());
        QVERIFY(finished.wait(60000));
        const PlanView& plan = *form.Panel()->Plan();
        QCOMPARE(plan.Scene().beams.size(), std::size_t{5000});
        const std::vector<PlanView::DrawnLabel> labels = plan.Labels();
        std::vector<const PlanView::DrawnLabel*> beamLabels;
        for (const PlanView::DrawnLabel& label : labels)
            if (label.beam) beamLabels.push_back(&label);
        // 5 cm apart on a plan of about two pixels a metre: a band in which no
        // number could say which line is which; the latest keeps its own.
        QCOMPARE(beamLabels.size(), std::size_t{1});
        QCOMPARE(beamLabels.front()->text, QStringLiteral("5000"));
        for (std::size_t i = 0; i < labels.size(); ++i)
            for (std::size_t j = i + 1; j < labels.size(); ++j) QVERIFY(!labels[i].box.Overlaps(labels[j].box));
    }
};

QTEST_MAIN(PlanDetailTest)
#include "plan_detail_test.moc"

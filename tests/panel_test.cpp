// The panel beside the form, on the offscreen platform: the pier table
// against the boxes, the plan view by its geometry, the orientation choice,
// the batch dialog and the export, with the prompts answered by a script.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <cmath>

#include "app/app_setup.h"
#include "app/batch_dialog.h"
#include "app/pier_table_model.h"
#include "app/plan_view.h"
#include "app/side_panel.h"
#include "records/export.h"
#include "tests/row_boxes.h"
#include "tests/scripted_form1.h"

using namespace capbeam;
using test::ScriptedForm1;

namespace {

// Tolerances of the geometry checks: metres in the world, pixels on screen.
constexpr double kMetres = 1e-6;
constexpr double kPixels = 1e-9;

QStringList LineTexts(const PierTableModel& model, int line) {
    QStringList texts;
    for (int c = 0; c < model.columnCount(); ++c) texts << model.index(line, c).data().toString();
    return texts;
}

// The boxes a row copies, in the table's column order, and the orientation.
QStringList BoxTexts(const Form1& form, const QString& orientation) {
    QStringList texts;
    for (const Box f : test::kRowBoxes) texts << form.BoxWidget(f)->text();
    return texts << orientation;
}

}  // namespace

class PanelTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PrepareApplication(*qApp); }

    void init() {
        form_ = std::make_unique<ScriptedForm1>();
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    }
    void cleanup() { form_.reset(); }

    // After each request the table's newest line shows the boxes' texts
    // exactly, under the header of the set-up; the export buttons wake up
    // with the first row.
    void tableRowsEqualTheBoxes() {
        QVERIFY(!Button("CopyTableButton")->isEnabled());
        QVERIFY(!Button("SaveCsvButton")->isEnabled());
        QVERIFY(!Button("SaveCassButton")->isEnabled());
        QVERIFY(!Button("BatchButton")->isEnabled());
        SetUp();
        QVERIFY(Button("BatchButton")->isEnabled());
        const PierTableModel& model = *form_->Panel()->Model();
        QCOMPARE(model.rowCount(), 1);
        QVERIFY(model.IsHeader(0));
        QCOMPARE(model.index(0, 0).data().toString(), Q(form_->Logic().Table().Groups()[0].header));
        QVERIFY(model.index(0, 0).data().toString().startsWith(QStringLiteral("第 1 组")));
        QCOMPARE(form_->Panel()->TableView()->columnSpan(0, 0), PierTableModel::kColumnCount);
        QVERIFY(!Button("SaveCsvButton")->isEnabled());

        const char* chainages[] = {"12300", "12345.678", "12395", "12322.5"};
        for (const char* Kp : chainages) {
            Request(Kp);
            QCOMPARE(LineTexts(model, model.rowCount() - 1), BoxTexts(*form_, QStringLiteral("平行于设计盖梁")));
        }
        QCOMPARE(model.rowCount(), 1 + 4);
        QCOMPARE(model.headerData(4, Qt::Vertical).toString(), QStringLiteral("4"));
        for (int c = 0; c < kPierColumnCount; ++c)
            QCOMPARE(model.headerData(c, Qt::Horizontal).toString(), QString::fromUtf8(kPierColumnTitles[c]));
        QCOMPARE(model.headerData(PierTableModel::kOrientationColumn, Qt::Horizontal).toString(),
                 QStringLiteral("盖梁方向"));
        for (const char* name : {"CopyTableButton", "SaveCsvButton", "SaveCassButton"})
            QVERIFY(Button(name)->isEnabled());
    }

    // A cancelled request, a reply refused and then cancelled, and a request
    // the routine refuses: no row, the plan unchanged.
    void refusedOrCancelledRequestAddsNoRow_data() {
        QTest::addColumn<QStringList>("replies");
        QTest::addColumn<int>("messages");
        QTest::newRow("cancel at Kp") << QStringList{"<cancel>"} << 0;
        QTest::newRow("cancel at mb") << QStringList{"12300", "6", "<cancel>"} << 0;
        QTest::newRow("Dr refused, then cancel") << QStringList{"12300", "600", "<cancel>"} << 1;
        QTest::newRow("beam turned past the radius") << QStringList{"12645.678", "6", "0.001"} << 1;
    }
    void refusedOrCancelledRequestAddsNoRow() {
        QFETCH(QStringList, replies);
        QFETCH(int, messages);
        SetUp();
        Request("12300");
        const int lines = form_->Panel()->Model()->rowCount();
        const std::size_t beams = form_->Panel()->Plan()->Scene().beams.size();
        const std::size_t before = form_->messages.size();
        for (const QString& reply : replies)
            form_->replies.push_back(reply == "<cancel>" ? std::nullopt : std::optional<QString>(reply));
        QVERIFY(!Click("Command2"));
        QVERIFY(form_->replies.empty());
        QCOMPARE(static_cast<int>(form_->messages.size() - before), messages);
        QCOMPARE(form_->Panel()->Model()->rowCount(), lines);
        QCOMPARE(form_->Logic().Table().RowCount(), std::size_t{1});
        QCOMPARE(form_->Panel()->Plan()->Scene().beams.size(), beams);
    }

    // A second set-up opens a second group: its header after the earlier
    // rows, the earlier rows kept, later rows under it.
    void secondSetUpStartsAGroup() {
        SetUp();
        Request("12300");
        Request("12320");
        form_->Reply({"1000", "2000", "500", "1000", "2100", "90", "100", "-1"});
        QVERIFY(Click("Command1"));
        Request("520");
        const PierTableModel& model = *form_->Panel()->Model();
        QCOMPARE(model.rowCount(), 1 + 2 + 1 + 1);
        QVERIFY(model.IsHeader(0));
        QVERIFY(model.IsHeader(3));
        QVERIFY(!model.IsHeader(4));
        QVERIFY(model.index(3, 0).data().toString().startsWith(QStringLiteral("第 2 组")));
        QCOMPARE(model.index(3, 0).data().toString(), Q(form_->Logic().Table().Groups()[1].header));
        QCOMPARE(form_->Panel()->TableView()->columnSpan(3, 0), PierTableModel::kColumnCount);
        QCOMPARE(model.RowAt(4)->number, 3);
        QCOMPARE(LineTexts(model, 4), BoxTexts(*form_, QStringLiteral("平行于设计盖梁")));
        QCOMPARE(model.index(1, 0).data().toString(), QStringLiteral("K 12+ 300"));
        // The plan shows the latest curve only.
        QCOMPARE(form_->Panel()->Plan()->Scene().R, 100.0);
        QCOMPARE(form_->Panel()->Plan()->Scene().beams.size(), std::size_t{1});
    }

    // More than a thousand rows, every line still the row it stands for.
    void aThousandRows() {
        SetUp();
        constexpr int kRows = 1000;
        for (int i = 0; i < kRows; ++i) {
            form_->replies.push_back(QString::number(12300 + i * 0.1, 'f', 1));
            form_->Reply({"6", "0.001"});
            QVERIFY(Click("Command2"));
        }
        const PierTableModel& model = *form_->Panel()->Model();
        QCOMPARE(model.rowCount(), kRows + 1);
        QCOMPARE(LineTexts(model, kRows), BoxTexts(*form_, QStringLiteral("平行于设计盖梁")));
        const PierRow& middle = form_->Logic().Table().Groups()[0].rows[499];
        QCOMPARE(model.RowAt(500), &middle);
        QCOMPARE(model.index(500, 0).data().toString(), QStringLiteral("K 12+ 349.9"));
        QCOMPARE(form_->Panel()->Plan()->DrawnBeams().size(), std::size_t{kRows});
    }

    // The orientation control sets the logic's orientation, and the table
    // records the orientation of each row.
    void orientationControl() {
        auto* parallel = form_->Panel()->findChild<QRadioButton*>(QStringLiteral("OrientationParallel"));
        auto* tangent = form_->Panel()->findChild<QRadioButton*>(QStringLiteral("OrientationTangent"));
        QVERIFY(parallel && tangent);
        QCOMPARE(parallel->text(), QStringLiteral("平行于设计盖梁"));
        QCOMPARE(tangent->text(), QStringLiteral("与切线保持交角 B"));
        QVERIFY(parallel->isChecked());
        QCOMPARE(form_->Logic().GetOrientation(), Orientation::Parallel);
        tangent->click();
        QCOMPARE(form_->Logic().GetOrientation(), Orientation::Tangent);
        parallel->click();
        QCOMPARE(form_->Logic().GetOrientation(), Orientation::Parallel);

        SetUp();
        Request("12395");
        tangent->click();
        Request("12395");
        const PierTableModel& model = *form_->Panel()->Model();
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(LineTexts(model, 2), BoxTexts(*form_, QStringLiteral("与切线保持交角 B")));
        QCOMPARE(model.index(1, PierTableModel::kOrientationColumn).data().toString(),
                 QStringLiteral("平行于设计盖梁"));
        // The same chainage turned the other way: another beam, drawn as computed.
        QVERIFY(model.index(1, 4).data() != model.index(2, 4).data());
        const PierRow& row = *model.RowAt(2);
        const PlanBeam& beam = form_->Panel()->Plan()->Scene().beams.back();
        QCOMPARE(beam.orientation, Orientation::Tangent);
        QCOMPARE(form_->Panel()->Plan()->Scene().beams.front().orientation, Orientation::Parallel);
        QVERIFY(beam.inner == (WorldPoint{row.ends.Xin, row.ends.Yin}));
        QVERIFY(beam.outer == (WorldPoint{row.ends.Xout, row.ends.Yout}));

        // The batch takes the orientation chosen in the panel.
        std::unique_ptr<BatchDialog> dialog(form_->Panel()->MakeBatchDialog());
        dialog->List()->setPlainText(QStringLiteral("12300 12320"));
        QVERIFY(dialog->Run());
        QCOMPARE(model.rowCount(), 5);
        for (int line : {3, 4})
            QCOMPARE(model.index(line, PierTableModel::kOrientationColumn).data().toString(),
                     QStringLiteral("与切线保持交角 B"));
    }

    // The drawn end points are the computed ones: the scene holds each row's
    // unrounded ends, and the view draws them where the transform puts them.
    void planViewDrawsTheComputedEnds_data() {
        QTest::addColumn<QString>("B");
        QTest::addColumn<QString>("P");
        QTest::addColumn<bool>("tangent");
        QTest::newRow("right-hand, skewed") << "30.153" << "1" << false;
        QTest::newRow("left-hand, skewed") << "30.153" << "-1" << false;
        QTest::newRow("right-hand, square") << "90" << "1" << false;
        QTest::newRow("left-hand, skewed, each at B to its tangent") << "120" << "-1" << true;
    }
    void planViewDrawsTheComputedEnds() {
        QFETCH(QString, B);
        QFETCH(QString, P);
        QFETCH(bool, tangent);
        form_->replies = {"3000", "5000", "12345.678", "3300", "5400", B, "500", P};
        QVERIFY(Click("Command1"));
        if (tangent) form_->Panel()->findChild<QRadioButton*>(QStringLiteral("OrientationTangent"))->click();
        for (const char* Kp : {"12300", "12345.678", "12395"}) Request(Kp);
        const PlanView& plan = *form_->Panel()->Plan();
        const PlanScene& scene = plan.Scene();
        const PierGroup& group = form_->Logic().Table().Groups().back();
        QVERIFY(scene.hasCurve);
        QCOMPARE(scene.beams.size(), group.rows.size());
        const std::vector<PlanView::DrawnBeam> drawn = plan.DrawnBeams();
        for (std::size_t i = 0; i < group.rows.size(); ++i) {
            const PierRow& row = group.rows[i];
            QCOMPARE(scene.beams[i].number, row.number);
            QVERIFY(scene.beams[i].inner == (WorldPoint{row.ends.Xin, row.ends.Yin}));
            QVERIFY(scene.beams[i].outer == (WorldPoint{row.ends.Xout, row.ends.Yout}));
            QVERIFY(scene.beams[i].centre == (WorldPoint{row.ends.Xk, row.ends.Yk}));
            QCOMPARE(scene.beams[i].latest, i + 1 == group.rows.size());
            const auto at = [&](double X, double Y) {
                const ScreenPoint s = plan.Transform().ToScreen({X, Y});
                return QPointF(s.x, s.y);
            };
            QCOMPARE(drawn[i].inner, at(row.ends.Xin, row.ends.Yin));
            QCOMPARE(drawn[i].outer, at(row.ends.Xout, row.ends.Yout));
            QCOMPARE(drawn[i].centre, at(row.ends.Xk, row.ends.Yk));
            // Fitted: every end inside the view.
            QVERIFY(QRectF(plan.rect()).contains(drawn[i].inner));
            QVERIFY(QRectF(plan.rect()).contains(drawn[i].outer));
        }
        // The half-width known from the rows, and the beams between the edges
        // that are drawn: inner ends on the inner arc's circle, outer on the outer.
        QVERIFY(scene.Dr.has_value());
        QVERIFY(std::abs(*scene.Dr - 6) < kMetres);
        const PierGroup curve = group;  // a copy: the set-up below adds a group and moves the table
        for (const PierRow& row : group.rows) {
            QVERIFY(std::abs(std::hypot(row.ends.Xin - curve.curve.Xo, row.ends.Yin - curve.curve.Yo) - (curve.curve.R - 6)) < 1e-3);
            QVERIFY(std::abs(std::hypot(row.ends.Xout - curve.curve.Xo, row.ends.Yout - curve.curve.Yo) - (curve.curve.R + 6)) < kMetres);
            // The beam centre is the centre line's point at Kp: the arcs run the way the chainage does.
            const double sense = curve.curve.P > 0 ? 1 : -1;
            const double phi = curve.design.Aoj * 3.14159265358979323846 / 180 + sense * (row.Kp - curve.design.Kj) / curve.curve.R;
            const WorldPoint K{curve.curve.Xo + curve.curve.R * std::cos(phi), curve.curve.Yo + curve.curve.R * std::sin(phi)};
            QVERIFY(std::hypot(K.X - row.ends.Xk, K.Y - row.ends.Yk) < kMetres);
        }
        for (const WorldPoint& p : scene.innerEdge)
            QVERIFY(std::abs(std::hypot(p.X - curve.curve.Xo, p.Y - curve.curve.Yo) - (curve.curve.R - 6)) < kMetres);
        // Rows of an identical later set-up are drawn with the earlier ones.
        form_->replies = {"3000", "5000", "12345.678", "3300", "5400", B, "500", P};
        QVERIFY(Click("Command1"));
        Request("12310");
        QCOMPARE(plan.Scene().beams.size(), std::size_t{4});
        QCOMPARE(plan.Scene().beams.back().number, 4);
        QVERIFY(plan.Scene().beams.back().latest);
        QVERIFY(!plan.Scene().beams.front().latest);
        // The design beam runs through J along Ab1 to the outer edge.
        QVERIFY(std::abs(std::hypot(scene.designOuter.X - curve.curve.Xo, scene.designOuter.Y - curve.curve.Yo) - 506) < kMetres);
        const double azimuth = std::atan2(scene.designOuter.Y - curve.design.Yj, scene.designOuter.X - curve.design.Xj) * kRadToDeg;
        QVERIFY(std::abs(std::remainder(azimuth - curve.design.axis.Ab1, 360.0)) < 1e-6);
    }

    // North up, east right, one scale on both axes; zoom about the cursor
    // keeps the point under it; a fresh record fits again.
    void planTransform() {
        WorldBounds bounds;
        bounds.Add({3000, 5000});
        bounds.Add({3400, 5100});
        const PlanTransform fit = PlanTransform::Fit(bounds, 600, 400, 20);
        QCOMPARE(fit.PixelsPerMetre(), (400.0 - 40) / 400);  // northing decides
        const ScreenPoint sw = fit.ToScreen({3000, 5000});
        const ScreenPoint ne = fit.ToScreen({3400, 5100});
        QCOMPARE(sw.y, 380.0);
        QCOMPARE(ne.y, 20.0);
        QVERIFY(ne.x > sw.x);
        QCOMPARE(ne.x - sw.x, 100 * fit.PixelsPerMetre());
        QCOMPARE((sw.x + ne.x) / 2, 300.0);

        PlanTransform zoomed = fit;
        const ScreenPoint cursor{123, 77};
        const WorldPoint under = zoomed.ToWorld(cursor);
        zoomed.ZoomAbout(cursor, 2.5);
        QCOMPARE(zoomed.PixelsPerMetre(), fit.PixelsPerMetre() * 2.5);
        const ScreenPoint still = zoomed.ToScreen(under);
        QVERIFY(std::abs(still.x - cursor.x) < kPixels && std::abs(still.y - cursor.y) < kPixels);
        zoomed.Pan(10, -5);
        QVERIFY(std::abs(zoomed.ToScreen(under).x - 133) < kPixels);
        QVERIFY(std::abs(zoomed.ToScreen(under).y - 72) < kPixels);

        SetUp();
        Request("12300");
        PlanView& plan = *form_->Panel()->Plan();
        const double fitted = plan.Transform().PixelsPerMetre();
        QWheelEvent wheel(QPointF(50, 60), plan.mapToGlobal(QPointF(50, 60)), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&plan, &wheel);
        QCOMPARE(plan.Transform().PixelsPerMetre(), fitted * 1.25);
        const ScreenPoint undragged = plan.Transform().ToScreen(plan.Scene().J);
        QTest::mousePress(&plan, Qt::LeftButton, {}, QPoint(100, 100));
        QTest::mouseMove(&plan, QPoint(130, 90));
        QTest::mouseRelease(&plan, Qt::LeftButton, {}, QPoint(130, 90));
        const ScreenPoint dragged = plan.Transform().ToScreen(plan.Scene().J);
        QVERIFY(std::abs(dragged.x - undragged.x - 30) < kPixels && std::abs(dragged.y - undragged.y + 10) < kPixels);
        // The keyboard: + zooms, an arrow pans, 0 fits again.
        QTest::keyClick(&plan, Qt::Key_Plus);
        QCOMPARE(plan.Transform().PixelsPerMetre(), fitted * 1.25 * 1.25);
        const ScreenPoint before = plan.Transform().ToScreen(plan.Scene().J);
        QTest::keyClick(&plan, Qt::Key_Left);
        QCOMPARE(plan.Transform().ToScreen(plan.Scene().J).x, before.x + 40);
        QTest::keyClick(&plan, Qt::Key_0);
        QCOMPARE(plan.Transform().PixelsPerMetre(), fitted);
        QTest::keyClick(&plan, Qt::Key_Minus);
        Request("12320");
        QCOMPARE(plan.Transform().PixelsPerMetre(),
                 PlanTransform::Fit(plan.Scene().bounds, plan.width(), plan.height(), 24).PixelsPerMetre());
    }

    void scaleBar_data() {
        QTest::addColumn<double>("pixelsPerMetre");
        QTest::addColumn<double>("maxPixels");
        QTest::addColumn<double>("metres");
        QTest::newRow("exactly 100") << 1.0 << 100.0 << 100.0;
        QTest::newRow("just short of 100") << 1.0 << 99.0 << 50.0;
        QTest::newRow("20") << 3.0 << 100.0 << 20.0;
        QTest::newRow("kilometres") << 0.01 << 100.0 << 10000.0;
        QTest::newRow("decimetres") << 250.0 << 100.0 << 0.2;
        QTest::newRow("2 of 2.9") << 1.0 << 2.9 << 2.0;
    }
    void scaleBar() {
        QFETCH(double, pixelsPerMetre);
        QFETCH(double, maxPixels);
        QFETCH(double, metres);
        QCOMPARE(ScaleBarMetres(pixelsPerMetre, maxPixels), metres);
    }

    // The point under the mouse by its chainage and offset: hand-worked
    // points of a curve with O (1000, 2000), J (1500, 2000) due north of O at
    // K 1+ 0, R 500; a quarter turn is 250 pi metres of chainage.
    void locateOnCurve_data() {
        QTest::addColumn<double>("P");
        QTest::addColumn<double>("X");
        QTest::addColumn<double>("Y");
        QTest::addColumn<double>("nearK");
        QTest::addColumn<double>("K");
        QTest::addColumn<double>("offset");
        constexpr double pi = 3.14159265358979323846;
        QTest::newRow("inner side at J") << 1.0 << 1490.0 << 2000.0 << 1000.0 << 1000.0 << -10.0;
        QTest::newRow("east, right-hand: a quarter turn on")
            << 1.0 << 1000.0 << 2510.0 << 1000.0 << 1000 + 250 * pi << 10.0;
        QTest::newRow("east, left-hand: a quarter turn back")
            << -1.0 << 1000.0 << 2510.0 << 1000.0 << 1000 - 250 * pi << 10.0;
        QTest::newRow("south, the half turn nearest nearK")
            << 1.0 << 400.0 << 2000.0 << 0.0 << 1000 - 500 * pi << 100.0;
        QTest::newRow("east, one turn on from nearK") << 1.0 << 1000.0 << 2500.0 << 1000 + 1250 * pi << 1000 + 1250 * pi
                                                      << 0.0;
        QTest::newRow("far outside") << -1.0 << 1000.0 << 4000.0 << 1000.0 << 1000 - 250 * pi << 1500.0;
    }
    void locateOnCurve() {
        QFETCH(double, P);
        QFETCH(double, X);
        QFETCH(double, Y);
        QFETCH(double, nearK);
        QFETCH(double, K);
        QFETCH(double, offset);
        const CurveAndDesign curve = CurveAt(1000, 2000, 1000, 0, 500, P);
        const std::optional<CurveStation> station = LocateOnCurve(curve.c, curve.d, X, Y, nearK);
        QVERIFY(station);
        QVERIFY2(std::abs(station->K - K) < kMetres, qPrintable(QString::number(station->K, 'f', 9)));
        QVERIFY2(std::abs(station->offset - offset) < kMetres, qPrintable(QString::number(station->offset, 'f', 9)));
    }

    // By meaning, in all four quadrants and both senses: a point put at a
    // chainage and offset is found there again; O itself has no station.
    void locateOnCurveInvertsPointAtChainage() {
        for (const double Aoj : {0.0, 53.13010235567456, 135.0, 200.0, 300.0})
            for (const double P : {1.0, -1.0}) {
                const CurveAndDesign curve = CurveAt(3000, 5000, 12345.678, Aoj, 500, P);
                for (const double K : {12000.0, 12345.678, 12600.0, 13500.0})
                    for (const double offset : {-6.0, 0.0, 0.25, 30.0}) {
                        const CurvePoint at = PointAtChainage(curve.c, curve.d, K, 500 + offset);
                        const auto station = LocateOnCurve(curve.c, curve.d, at.X, at.Y, K + 700);
                        QVERIFY(station);
                        QVERIFY2(std::abs(station->K - K) < 1e-6 && std::abs(station->offset - offset) < 1e-6,
                                 qPrintable(QStringLiteral("Aoj %1 P %2 K %3").arg(Aoj).arg(P).arg(K)));
                    }
                QVERIFY(!LocateOnCurve(curve.c, curve.d, 3000, 5000, 0));
            }
        QVERIFY(!LocateOnCurve(capbeam::Curve{}, DesignBeam{}, 1, 1, 0));
    }

    // Labels are kept in order of importance; one that overlaps a kept label
    // or a mark is left out, and only kept labels push others out.
    void labelsThatWouldOverlapAreSkipped_data() {
        QTest::addColumn<QList<QRectF>>("boxes");
        QTest::addColumn<QList<QRectF>>("taken");
        QTest::addColumn<QList<bool>>("kept");
        const QRectF a(0, 0, 20, 10);
        QTest::newRow("apart") << QList<QRectF>{a, a.translated(30, 0)} << QList<QRectF>{} << QList<bool>{true, true};
        QTest::newRow("overlapping: the first stays") << QList<QRectF>{a, a.translated(19, 9)} << QList<QRectF>{}
                                                      << QList<bool>{true, false};
        QTest::newRow("edges touching") << QList<QRectF>{a, a.translated(20, 0), a.translated(0, 10)}
                                        << QList<QRectF>{} << QList<bool>{true, true, true};
        QTest::newRow("a chain: the third only meets the left-out second")
            << QList<QRectF>{a, a.translated(15, 0), a.translated(30, 0)} << QList<QRectF>{}
            << QList<bool>{true, false, true};
        QTest::newRow("on a mark") << QList<QRectF>{a, a.translated(0, 20)} << QList<QRectF>{QRectF(5, 5, 2, 2)}
                                   << QList<bool>{false, true};
        QTest::newRow("one inside another") << QList<QRectF>{a, QRectF(5, 2, 4, 4)} << QList<QRectF>{}
                                            << QList<bool>{true, false};
    }
    void labelsThatWouldOverlapAreSkipped() {
        QFETCH(QList<QRectF>, boxes);
        QFETCH(QList<QRectF>, taken);
        QFETCH(QList<bool>, kept);
        const auto rects = [](const QList<QRectF>& list) {
            std::vector<ScreenRect> out;
            for (const QRectF& r : list) out.push_back({r.x(), r.y(), r.width(), r.height()});
            return out;
        };
        const std::vector<bool> keep = KeepClearLabels(rects(boxes), rects(taken));
        QCOMPARE(QList<bool>(keep.begin(), keep.end()), kept);
    }

    // A beam's number stands beyond its outer end on the beam's line: all of
    // it at least the gap further out along the beam than the end, and no
    // further than needed, whatever the beam's direction on screen.
    void labelStandsBeyondTheOuterEnd_data() {
        QTest::addColumn<QPointF>("inner");
        QTest::addColumn<QPointF>("outer");
        QTest::newRow("pointing east") << QPointF(0, 0) << QPointF(50, 0);
        QTest::newRow("pointing north") << QPointF(10, 80) << QPointF(10, 20);
        QTest::newRow("pointing south-west") << QPointF(100, 100) << QPointF(60, 140);
        QTest::newRow("steep") << QPointF(0, 0) << QPointF(3, 70);
    }
    void labelStandsBeyondTheOuterEnd() {
        QFETCH(QPointF, inner);
        QFETCH(QPointF, outer);
        constexpr double gap = 4;
        const ScreenRect box = LabelBeyond({inner.x(), inner.y()}, {outer.x(), outer.y()}, 24, 14, gap);
        QCOMPARE(box.width, 24.0);
        QCOMPARE(box.height, 14.0);
        const QPointF u = (outer - inner) / std::hypot(outer.x() - inner.x(), outer.y() - inner.y());
        // How far out along the beam from the end each corner lies.
        QList<double> along;
        for (const double x : {box.left, box.left + box.width})
            for (const double y : {box.top, box.top + box.height})
                along << (x - outer.x()) * u.x() + (y - outer.y()) * u.y();
        QVERIFY(std::abs(*std::min_element(along.begin(), along.end()) - gap) < 1e-9);
        QVERIFY(!box.Contains({outer.x(), outer.y()}));
        // Centred on the line.
        const ScreenPoint middle{box.left + box.width / 2, box.top + box.height / 2};
        QVERIFY(std::abs((middle.x - outer.x()) * u.y() - (middle.y - outer.y()) * u.x()) < kPixels * 1e3);
    }

    // Parallel and tangent beams differ in colour and in the end marks'
    // shape; the latest is red and keeps its orientation's shape.
    void orientationsLookDifferent() {
        const BeamStyle parallel = StyleOf(Orientation::Parallel, false), tangent = StyleOf(Orientation::Tangent, false);
        QVERIFY(parallel.mark != tangent.mark);
        QVERIFY(parallel.red != tangent.red || parallel.green != tangent.green || parallel.blue != tangent.blue);
        for (const Orientation o : {Orientation::Parallel, Orientation::Tangent}) {
            const BeamStyle latest = StyleOf(o, true);
            QVERIFY(latest.red > 180 && latest.green < 80 && latest.blue < 80);  // red
            QVERIFY(!(latest == StyleOf(o, false)));
            QCOMPARE(latest.mark, StyleOf(o, false).mark);
        }
    }

    // Ticks at round chainages, 1, 2 or 5 times a power of ten apart, no
    // closer on screen than asked; the labelled ones among them.
    void chainageTicks_data() {
        QTest::addColumn<double>("pixelsPerMetre");
        QTest::addColumn<double>("Kfrom");
        QTest::addColumn<double>("Kto");
        QTest::addColumn<int>("maxTicks");
        QTest::addColumn<QList<double>>("ticks");
        QTest::addColumn<QList<double>>("labelled");
        QTest::newRow("1 px/m: every 10 m, labels every 100 m")
            << 1.0 << 12285.0 << 12410.0 << 2000
            << QList<double>{12290, 12300, 12310, 12320, 12330, 12340, 12350, 12360, 12370, 12380, 12390, 12400, 12410}
            << QList<double>{12300, 12400};
        QTest::newRow("0.5 px/m: every 20 m, labels every 200 m")
            << 0.5 << 12150.0 << 12420.0 << 2000
            << QList<double>{12160, 12180, 12200, 12220, 12240, 12260, 12280, 12300, 12320, 12340, 12360, 12380,
                             12400, 12420}
            << QList<double>{12200, 12400};
        QTest::newRow("3 px/m: every 5 m, labels every 50 m")
            << 3.0 << 12339.0 << 12361.0 << 2000 << QList<double>{12340, 12345, 12350, 12355, 12360}
            << QList<double>{12350};
        QTest::newRow("below zero, reversed") << 1.0 << 12.0 << -35.0 << 2000 << QList<double>{-30, -20, -10, 0, 10}
                                              << QList<double>{0};
        QTest::newRow("too many: coarser") << 1.0 << 0.0 << 1000.0 << 5 << QList<double>{0, 1000}
                                           << QList<double>{0, 1000};
        QTest::newRow("no round chainage in range") << 1.0 << 12301.0 << 12309.0 << 2000 << QList<double>{}
                                                    << QList<double>{};
    }
    void chainageTicks() {
        QFETCH(double, pixelsPerMetre);
        QFETCH(double, Kfrom);
        QFETCH(double, Kto);
        QFETCH(int, maxTicks);
        QFETCH(QList<double>, ticks);
        QFETCH(QList<double>, labelled);
        const CurveAndDesign curve = CurveAt(3000, 5000, 12345.678, 53.13010235567456, 500, -1);
        const std::vector<ChainageTick> got =
            ChainageTicks(curve.c, curve.d, Kfrom, Kto, pixelsPerMetre, 10, 90, static_cast<std::size_t>(maxTicks));
        QList<double> Ks, labels;
        for (const ChainageTick& tick : got) {
            Ks << tick.K;
            if (tick.labelled) labels << tick.K;
            // On the centre line, pointing at O.
            QVERIFY(std::abs(std::hypot(tick.at.X - 3000, tick.at.Y - 5000) - 500) < kMetres);
            const WorldPoint O{tick.at.X + 500 * tick.inward.X, tick.at.Y + 500 * tick.inward.Y};
            QVERIFY(std::hypot(O.X - 3000, O.Y - 5000) < kMetres);
            const auto station = LocateOnCurve(curve.c, curve.d, tick.at.X, tick.at.Y, tick.K);
            QVERIFY(station && std::abs(station->K - tick.K) < kMetres);
        }
        QCOMPARE(Ks, ticks);
        QCOMPARE(labels, labelled);
        QVERIFY(ChainageTicks(curve.c, curve.d, 0, 100, 0, 10, 90).empty());
    }

    // A crowded plan: the numbers drawn do not overlap one another or J, the
    // latest beam keeps its number, and the rest give way. The read-out under
    // the mouse names the point's chainage, offset and coordinates.
    void crowdedPlanLabelsAndTheReadOut() {
        SetUp();
        for (int i = 0; i <= 40; ++i) Request(qPrintable(QString::number(12300 + i * 0.5)));
        PlanView& plan = *form_->Panel()->Plan();
        const std::vector<PlanView::DrawnLabel> labels = plan.Labels();
        QStringList numbers;
        for (const auto& label : labels)
            if (label.beam) numbers << label.text;
        QVERIFY(numbers.contains(QStringLiteral("41")));
        QVERIFY2(numbers.size() < 41, qPrintable(numbers.join(' ')));
        QVERIFY(numbers.size() >= 2);
        const ScreenPoint J = plan.Transform().ToScreen(plan.Scene().J);
        for (std::size_t i = 0; i < labels.size(); ++i) {
            QVERIFY(QRectF(plan.rect()).contains(QRectF(labels[i].box.left, labels[i].box.top, labels[i].box.width,
                                                        labels[i].box.height)));
            QVERIFY(!labels[i].box.Contains(J));
            for (std::size_t j = i + 1; j < labels.size(); ++j) QVERIFY(!labels[i].box.Overlaps(labels[j].box));
        }

        QCOMPARE(PlanView::PointerTextAt(plan.Scene(), plan.Scene().J),
                 QStringLiteral("桩号 K 12+ 345.678  偏距 0 米（中线上）  X 3300  Y 5400"));
        QVERIFY(plan.PointerText().isEmpty());
        const QPoint pixel(plan.width() / 3, plan.height() / 2);
        QTest::mouseMove(&plan, pixel);
        QTRY_VERIFY(!plan.PointerText().isEmpty());
        const WorldPoint under = plan.Transform().ToWorld({1.0 * pixel.x(), 1.0 * pixel.y()});
        QCOMPARE(plan.PointerText(), PlanView::PointerTextAt(plan.Scene(), under));
        QVERIFY(plan.PointerText().startsWith(QStringLiteral("桩号 K 12+ ")));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&plan, &leave);
        QVERIFY(plan.PointerText().isEmpty());
    }

    // Saving where nothing can be written says why, names the file, and the
    // table stays as it was; a good save writes exactly the export's bytes.
    void exportSaveFailureKeepsTheTable() {
        SetUp();
        Request("12300");
        Request("12395");
        SidePanel& panel = *form_->Panel();
        const int lines = panel.Model()->rowCount();
        const QString nowhere = QStringLiteral("/nonexistent-folder-of-capbeam/计算记录.csv");
        QVERIFY(!panel.SaveCsvTo(nowhere));
        QCOMPARE(form_->messages.size(), std::size_t{1});
        QCOMPARE(form_->messages[0].first, QStringLiteral("文件没有保存"));
        QVERIFY(form_->messages[0].second.contains(nowhere));
        QVERIFY(form_->messages[0].second.contains(QStringLiteral("文件夹不存在")));
        QVERIFY(form_->messages[0].second.contains(QStringLiteral("计算记录仍然完整保留")));
        QVERIFY(!panel.SaveCassTo(nowhere));
        QCOMPARE(form_->messages.size(), std::size_t{2});
        QCOMPARE(panel.Model()->rowCount(), lines);
        QCOMPARE(form_->Logic().Table().RowCount(), std::size_t{2});

        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString csv = folder.filePath(QStringLiteral("计算记录.csv"));
        const QString dat = folder.filePath(QStringLiteral("盖梁坐标.dat"));
        // Through the buttons, with the file chooser answered.
        QStringList asked;
        panel.chooseSavePath = [&](const QString&, const QString& suggested, const QString& filter) {
            asked << QFileInfo(suggested).fileName() + " " + filter;
            return filter.contains(QLatin1String("*.csv")) ? csv : dat;
        };
        Button("SaveCsvButton")->click();
        Button("SaveCassButton")->click();
        QCOMPARE(asked, (QStringList{"计算记录.csv CSV 表格 (*.csv)", "盖梁坐标.dat 全站仪坐标文件 (*.dat)"}));
        QCOMPARE(form_->messages.size(), std::size_t{2});
        QCOMPARE(ReadAll(csv), QByteArray::fromStdString(TableCsv(form_->Logic().Table(), true)));
        QCOMPARE(ReadAll(dat), QByteArray::fromStdString(CassPoints(form_->Logic().Table())));
        // A cancelled chooser saves nothing and says nothing.
        panel.chooseSavePath = [](const QString&, const QString&, const QString&) { return QString(); };
        Button("SaveCsvButton")->click();
        QCOMPARE(form_->messages.size(), std::size_t{2});
    }

    // By a click, and by Return on the focused button as a keyboard user presses it.
    void copyPutsTheTsvOnTheClipboard() {
        SetUp();
        Request("12300");
        Button("CopyTableButton")->click();
        QCOMPARE(QApplication::clipboard()->text(), Q(TableTsv(form_->Logic().Table())));
        QApplication::clipboard()->clear();
        Button("CopyTableButton")->setFocus();
        QTest::keyClick(Button("CopyTableButton"), Qt::Key_Return);
        QCOMPARE(QApplication::clipboard()->text(), Q(TableTsv(form_->Logic().Table())));
    }

    // The batch by list and by range: its rows join the table after the
    // window's own, refusals are listed with their reasons.
    void batchDialogList() {
        SetUp();
        Request("12300");
        std::unique_ptr<BatchDialog> dialog(form_->Panel()->MakeBatchDialog());
        QCOMPARE(dialog->Dr()->text(), QStringLiteral("6"));  // the latest request's half-width
        dialog->UseList(true);
        dialog->List()->setPlainText(QStringLiteral("12310, 12320\n12330  12645.678"));
        const bool ran = dialog->Run();
        QVERIFY2(ran, qPrintable(dialog->ErrorText()));
        const BatchOutcome& outcome = dialog->LastOutcome();
        QCOMPARE(outcome.rows.size() + outcome.refused.size(), std::size_t{4});
        const PierTableModel& model = *form_->Panel()->Model();
        QCOMPARE(model.rowCount(), 1 + 1 + static_cast<int>(outcome.rows.size()));
        for (std::size_t i = 0; i < outcome.rows.size(); ++i) {
            const int line = 2 + static_cast<int>(i);
            QCOMPARE(model.RowAt(line)->number, 2 + static_cast<int>(i));
            for (int c = 0; c < kPierColumnCount; ++c)
                QCOMPARE(model.index(line, c).data().toString(), Q(outcome.rows[i].texts[static_cast<std::size_t>(c)]));
        }
        QCOMPARE(model.index(2, 0).data().toString(), QStringLiteral("K 12+ 310"));
        for (const BatchRefusal& refusal : outcome.refused)
            QVERIFY(dialog->ResultText().contains(Q(refusal.KpText) + QStringLiteral("：") + Q(refusal.why.text)));
        QCOMPARE(outcome.refused.size(), std::size_t{1});
        QVERIFY(dialog->ResultText().contains(QStringLiteral("已计算 3 个桩号")));
        QVERIFY(dialog->ResultText().contains(QStringLiteral("以下 1 个桩号未能计算")));
        QCOMPARE(form_->Panel()->Plan()->Scene().beams.size(), std::size_t{4});
    }

    void batchDialogRange() {
        SetUp();
        std::unique_ptr<BatchDialog> dialog(form_->Panel()->MakeBatchDialog());
        dialog->UseList(false);
        dialog->Start()->setText(QStringLiteral("12300"));
        dialog->Step()->setText(QStringLiteral("20"));
        dialog->End()->setText(QStringLiteral("12400"));
        dialog->Dr()->setText(QStringLiteral("6"));
        const bool ran = dialog->Run();
        QVERIFY2(ran, qPrintable(dialog->ErrorText()));
        QCOMPARE(dialog->LastOutcome().rows.size(), std::size_t{6});
        QVERIFY(dialog->LastOutcome().refused.empty());
        const PierTableModel& model = *form_->Panel()->Model();
        QCOMPARE(model.rowCount(), 1 + 6);
        QCOMPARE(model.index(6, 0).data().toString(), QStringLiteral("K 12+ 400"));
        QVERIFY(Button("SaveCsvButton")->isEnabled());
    }

    // Input errors are shown in Chinese in the dialog, nothing runs, and
    // what was typed stays.
    void batchDialogInputErrors_data() {
        QTest::addColumn<bool>("list");
        QTest::addColumn<QStringList>("inputs");  // list or start, step, end; then Dr, mb
        QTest::addColumn<QString>("says");
        QTest::newRow("not a chainage") << true << QStringList{"12300, 12a", "6", "0"} << "12a";
        QTest::newRow("nothing to compute") << true << QStringList{"  \n ", "6", "0"} << "没有需要计算的桩号";
        QTest::newRow("start not a number") << false << QStringList{"K12", "20", "12400", "6", "0"} << "起点桩号";
        QTest::newRow("step zero") << false << QStringList{"12300", "0", "12400", "6", "0"} << "间距";
        QTest::newRow("Dr not a number") << true << QStringList{"12300", "六", "0"} << "路基半幅宽度 Dr";
        QTest::newRow("Dr beyond R") << true << QStringList{"12300", "500", "0"} << "Dr";
        QTest::newRow("mb not a number") << true << QStringList{"12300", "6", "x"} << "计算精度 mb";
    }
    void batchDialogInputErrors() {
        QFETCH(bool, list);
        QFETCH(QStringList, inputs);
        QFETCH(QString, says);
        SetUp();
        std::unique_ptr<BatchDialog> dialog(form_->Panel()->MakeBatchDialog());
        dialog->UseList(list);
        if (list) {
            dialog->List()->setPlainText(inputs.takeFirst());
        } else {
            dialog->Start()->setText(inputs.takeFirst());
            dialog->Step()->setText(inputs.takeFirst());
            dialog->End()->setText(inputs.takeFirst());
        }
        dialog->Dr()->setText(inputs.takeFirst());
        dialog->Mb()->setText(inputs.takeFirst());
        const QString typed = dialog->List()->toPlainText() + dialog->Start()->text() + dialog->Step()->text() +
                              dialog->End()->text() + dialog->Dr()->text() + dialog->Mb()->text();
        QVERIFY(!dialog->Run());
        QVERIFY2(dialog->ErrorText().contains(says), qPrintable(dialog->ErrorText()));
        QVERIFY(dialog->ErrorText().contains(QRegularExpression(QStringLiteral("[\\x{4e00}-\\x{9fff}]"))));
        QCOMPARE(dialog->List()->toPlainText() + dialog->Start()->text() + dialog->Step()->text() +
                     dialog->End()->text() + dialog->Dr()->text() + dialog->Mb()->text(),
                 typed);
        QCOMPARE(form_->Logic().Table().RowCount(), std::size_t{0});
        QCOMPARE(form_->Panel()->Model()->rowCount(), 1);
    }

private:
    QPushButton* Button(const char* name) const {
        return form_->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    bool Click(const char* command) {
        const std::size_t rows = form_->Logic().Table().RowCount();
        const std::size_t groups = form_->Logic().Table().Groups().size();
        form_->Layout()->findChild<QPushButton*>(QString::fromLatin1(command))->click();
        return form_->Logic().Table().RowCount() != rows || form_->Logic().Table().Groups().size() != groups;
    }
    // The worked example's curve: O (3000, 5000), J at K 12+ 345.678 (3300, 5400), B 30°15'03", R 500, right-hand.
    void SetUp() {
        form_->Reply({"3000", "5000", "12345.678", "3300", "5400", "30.153", "500", "1"});
        QVERIFY(Click("Command1"));
    }
    void Request(const char* Kp) {
        form_->replies.push_back(QString::fromLatin1(Kp));
        form_->Reply({"6", "0.001"});
        QVERIFY2(Click("Command2"), Kp);
    }
    // A curve and design beam as a set-up leaves them, from their defining values; Aoj in degrees.
    struct CurveAndDesign {
        capbeam::Curve c;
        DesignBeam d;
    };
    static CurveAndDesign CurveAt(double Xo, double Yo, double Kj, double Aoj, double R, double P) {
        CurveAndDesign curve;
        curve.c = {Xo, Yo, R, static_cast<float>(P)};
        curve.d.Kj = Kj;
        curve.d.Aoj = Aoj;
        return curve;
    }
    static QByteArray ReadAll(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return {};
        return file.readAll();
    }

    std::unique_ptr<ScriptedForm1> form_;
};

QTEST_MAIN(PanelTest)
#include "panel_test.moc"

// The page 道路线形 on the offscreen platform: the input table typed, pasted,
// opened, saved and imported; the curve table against published figures;
// beams placed on the alignment into the pier table against rows worked out
// here by hand and against capbeam-cli as an independent front-end; the
// look-ups; and the refusals, in Chinese, in the page.
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTableWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <sstream>

#include "app/alignment_page.h"
#include "app/alignment_table_model.h"
#include "app/app_setup.h"
#include "app/pier_table_model.h"
#include "records/plan_alignment.h"
#include "app/plan_view.h"
#include "app/side_panel.h"
#include "app/site_page.h"
#include "cli/alignment_cli.h"
#include "records/export.h"
#include "tests/scripted_form1.h"

using namespace capbeam;
using test::ScriptedForm1;

namespace {

constexpr double kMetres = 1e-6;

const QString kExampleJd = QStringLiteral(CAPBEAM_SOURCE_DIR "/docs/example-jd.csv");

// The number a table cell shows (a K text read as metres: K0+138.700 is 138.7).
double CellNumber(const QTableWidget* table, int row, int column) {
    QString text = table->item(row, column)->text().remove(QLatin1Char(' '));
    if (text.startsWith(QLatin1Char('K'))) {
        const auto plus = text.indexOf(QLatin1Char('+'));
        return text.mid(1, plus - 1).toDouble() * 1000 + text.mid(plus + 1).toDouble();
    }
    return text.toDouble();
}

int RowNamed(const QTableWidget* table, int column, const QString& name, int from = 0) {
    for (int r = from; r < table->rowCount(); ++r)
        if (table->item(r, column)->text() == name) return r;
    return -1;
}

// A small LandXML road, northing before easting: 100 m north from
// (1000, 2000), a quarter circle of radius 100 to the right about
// (1100, 2100), then 100 m east.
const char kLandXml[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<LandXML xmlns=\"http://www.landxml.org/schema/LandXML-1.2\" version=\"1.2\">\n"
    "<Alignments><Alignment name=\"匝道A\" staStart=\"1000\" length=\"357.08\"><CoordGeom>\n"
    "<Line><Start>1000 2000</Start><End>1100 2000</End></Line>\n"
    "<Curve rot=\"cw\" radius=\"100\" length=\"157.079633\"><Start>1100 2000</Start><Center>1100 2100</Center>"
    "<End>1200 2100</End><PI>1200 2000</PI></Curve>\n"
    "<Line><Start>1200 2100</Start><End>1200 2200</End></Line>\n"
    "</CoordGeom></Alignment></Alignments></LandXML>\n";

}  // namespace

class AlignmentPageTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PrepareApplication(*qApp); }

    void init() {
        form_ = std::make_unique<ScriptedForm1>();
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
        page_ = form_->Panel()->Alignment();
        form_->Panel()->Pages()->setCurrentIndex(1);
    }
    void cleanup() { form_.reset(); }

    // Rows copied from a spreadsheet arrive tab-separated, a title row
    // included; pasted into the empty table they are the alignment of the
    // example file. A second paste at a cell overwrites from that cell on.
    void pasteOfSpreadsheetRowsIsTheAlignment() {
        const QString rows = QStringLiteral(
            "名称\t桩号\tX\tY\tR\tLs1\tLs2\n"
            "QD\tK0+000\t3000.000\t5000.000\n"
            "JD1\t\t3199.250\t5000.000\t152.45\t60\t60\n"
            "JD2\t\t3476.313568\t5115.046857\t400\t0\t0\n"
            "ZD\t\t3776.313568\t5115.046857\n");
        QVERIFY(page_->PasteText(rows));
        QVERIFY2(page_->Loaded().has_value(), qPrintable(page_->TableStatus()->text()));
        QCOMPARE(page_->CurveTable()->rowCount(), 2);
        QCOMPARE(page_->InputModel()->Rows().size(), std::size_t{5});

        // R of JD2 overwritten by pasting one cell at row 4, column R.
        page_->InputView()->setCurrentIndex(page_->InputModel()->index(3, 4));
        QVERIFY(page_->PasteText(QStringLiteral("250\n")));
        QCOMPARE(page_->InputModel()->Rows()[3][4], QStringLiteral("250"));
        QCOMPARE(CellNumber(page_->CurveTable(), 1, 3), 250.0);

        // Nothing to paste is said so, the table kept.
        QVERIFY(!page_->PasteText(QStringLiteral("\n\n")));
        QVERIFY(page_->TableStatus()->text().contains(QStringLiteral("没有可粘贴的行")));
        QVERIFY(page_->Loaded().has_value());
    }

    // The documented element table, pasted with the element kind chosen:
    // straights with their radius fields empty, a spiral, an arc, an
    // egg-shaped piece; its joints follow in road order.
    void pastedElementTableGivesItsJoints() {
        form_->Panel()->findChild<QWidget*>(QStringLiteral("ElementKind"))->setProperty("checked", true);
        QVERIFY(page_->PasteText(QStringLiteral("QD\tK0+000\t3000.000\t5000.000\t36.5212\n"
                                                "直线\t120\t\t\t\n"
                                                "缓和曲线\t80\t∞\t400\t右\n"
                                                "圆曲线\t150.5\t400\t400\t右\n"
                                                "卵形曲线\t60\t400\t900\t右\n"
                                                "缓和曲线\t45\t900\t∞\t右\n"
                                                "直线\t200\t\t\t\n")));
        QVERIFY2(page_->Loaded().has_value(), qPrintable(page_->TableStatus()->text()));
        const QTableWidget* points = page_->PointTable();
        QStringList joints;
        for (int r = 0; r < points->rowCount(); ++r) joints << points->item(r, 1)->text();
        QCOMPARE(joints, QStringList({"起点", "ZH", "HY", "YH", "HH", "HZ", "终点"}));
        QVERIFY(std::fabs(CellNumber(points, 6, 2) - (120 + 80 + 150.5 + 60 + 45 + 200)) < 1e-3);
        // A side missing on a curved element (row 4, the third element) is
        // refused, naming the element.
        QVERIFY(page_->InputModel()->setData(page_->InputModel()->index(3, 4), QString()));
        QVERIFY(!page_->Loaded().has_value());
        QVERIFY2(page_->TableStatus()->text().contains(QStringLiteral("第 3 个线元")), qPrintable(page_->TableStatus()->text()));
    }

    // A JD table opened and saved is the same alignment when opened again:
    // every main point at the same chainage and place.
    void openSaveRoundTripKeepsTheAlignment() {
        QVERIFY2(page_->OpenFile(kExampleJd), qPrintable(page_->TableStatus()->text()));
        const std::vector<MainPointRow> before = page_->Loaded()->mainPoints;
        QStringList shown;
        for (int r = 0; r < page_->PointTable()->rowCount(); ++r)
            for (int c = 0; c < page_->PointTable()->columnCount(); ++c) shown << page_->PointTable()->item(r, c)->text();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("路线.csv"));
        QVERIFY(page_->SaveFile(path));
        QVERIFY(page_->TableStatus()->text().contains(QStringLiteral("已保存")));
        page_->InputModel()->SetRows({});
        QVERIFY(!page_->Loaded().has_value());
        QVERIFY(page_->OpenFile(path));
        QStringList again;
        for (int r = 0; r < page_->PointTable()->rowCount(); ++r)
            for (int c = 0; c < page_->PointTable()->columnCount(); ++c) again << page_->PointTable()->item(r, c)->text();
        QCOMPARE(again, shown);
        QCOMPARE(page_->Loaded()->mainPoints.size(), before.size());
        for (std::size_t i = 0; i < before.size(); ++i)
            QVERIFY(std::fabs(page_->Loaded()->mainPoints[i].distance - before[i].distance) < kMetres);
        // The chainage equation came along: the end lies 10 m of long chain on.
        QVERIFY(page_->PointTable()->item(page_->PointTable()->rowCount() - 1, 2)->text().contains(QLatin1Char('[')) ||
                page_->Loaded()->road.Equations().ToChainage(page_->Loaded()->road.Line().EndDistance()).stretch == 1);
    }

    // A LandXML file becomes an element table that can be edited; its joints
    // and a point in the middle of its arc are where a circle puts them.
    void landXmlImportGivesTheElements() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("匝道.xml"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kLandXml);
        file.close();
        QVERIFY2(page_->OpenFile(path), qPrintable(page_->TableStatus()->text()));
        QCOMPARE(page_->InputModel()->Kind(), AlignmentTableKind::Element);
        QCOMPARE(page_->InputModel()->Rows().size(), std::size_t{4});  // the start and three elements
        QCOMPARE(page_->InputModel()->Rows()[2][4], QStringLiteral("右"));
        QVERIFY(!page_->CurveTable()->isVisibleTo(page_));
        const QTableWidget* points = page_->PointTable();
        QCOMPARE(points->rowCount(), 4);  // start, ZY, YZ, end
        QVERIFY(std::fabs(CellNumber(points, 1, 2) - 1100) < 1e-3);
        QVERIFY(std::fabs(CellNumber(points, 2, 2) - (1100 + 50 * M_PI)) < 1e-3);
        QVERIFY(std::fabs(CellNumber(points, 3, 3) - 1200) < 1e-3);
        QVERIFY(std::fabs(CellNumber(points, 3, 4) - 2200) < 1e-3);

        page_->Field("LookUpKEdit")->setText(QString::number(1100 + 25 * M_PI, 'f', 6));
        QVERIFY(page_->LookUpCoordinates());
        const QString middle = page_->LookUpStatus()->text();
        QVERIFY2(middle.contains(QStringLiteral("X 1170.711")) && middle.contains(QStringLiteral("Y 2029.289")),
                 qPrintable(middle));
    }

    // A road that does not start due north keeps its direction through the
    // element table's D.MMSS azimuth: its end lies where the file says.
    void landXmlImportKeepsAnOddAzimuth() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("line.xml"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<LandXML><Alignments><Alignment name=\"L\" staStart=\"0\"><CoordGeom>"
                   "<Line><Start>1000 2000</Start><End>1731.5 2437.25</End></Line>"
                   "</CoordGeom></Alignment></Alignments></LandXML>");
        file.close();
        QVERIFY2(page_->OpenFile(path), qPrintable(page_->TableStatus()->text()));
        const QTableWidget* points = page_->PointTable();
        const int end = points->rowCount() - 1;
        QVERIFY2(std::fabs(CellNumber(points, end, 3) - 1731.5) < 5e-4 && std::fabs(CellNumber(points, end, 4) - 2437.25) < 5e-4,
                 qPrintable(points->item(end, 3)->text() + " " + points->item(end, 4)->text()));
    }

    // Example B of the published figures: T 60.55, E 4.00, L 120.00, ZH
    // K0+138.70, HZ K0+258.70, to within one unit of the last digit given.
    void curveTableAgreesWithPublishedFigures() {
        QVERIFY(page_->OpenFile(kExampleJd));
        const QTableWidget* curves = page_->CurveTable();
        const int jd1 = RowNamed(curves, 0, QStringLiteral("JD1"));
        QVERIFY(jd1 >= 0);
        QCOMPARE(curves->item(jd1, 2)->text(), QStringLiteral("右"));
        struct Figure {
            int column;
            double published;
        };
        for (const Figure& f : {Figure{6, 60.55}, Figure{7, 60.55}, Figure{8, 120.00}, Figure{9, 4.00}})
            QVERIFY2(std::fabs(CellNumber(curves, jd1, f.column) - f.published) <= 0.01,
                     qPrintable(curves->item(jd1, f.column)->text()));
        const QTableWidget* points = page_->PointTable();
        const int zh = RowNamed(points, 1, QStringLiteral("ZH"));
        const int hz = RowNamed(points, 1, QStringLiteral("HZ"));
        QVERIFY(zh >= 0 && hz > zh);
        QVERIFY(std::fabs(CellNumber(points, zh, 2) - 138.70) <= 0.01);
        QVERIFY(std::fabs(CellNumber(points, hz, 2) - 258.70) <= 0.01);
        // No arc between the spirals: HY, QZ and YH are one point.
        QCOMPARE(points->item(zh + 1, 2)->text(), points->item(zh + 3, 2)->text());
    }

    // Beams on the first straight, which runs due north from (3000, 5000):
    // the right end lies DR to the east square to the road, and a beam at
    // B clockwise from the road reaches each edge DR / sin B along its axis,
    // its foot that far times cos B ahead (right) or behind (left).
    void requestOnTheStraight_data() {
        QTest::addColumn<QString>("B");
        QTest::addColumn<double>("Kp");
        QTest::addColumn<double>("Xin");
        QTest::addColumn<double>("Yin");
        QTest::addColumn<double>("Kin");
        QTest::addColumn<double>("Xout");
        QTest::addColumn<double>("Yout");
        QTest::addColumn<double>("Kout");
        const double s60 = std::sin(M_PI / 3), c60 = 0.5;
        QTest::newRow("square") << "90" << 50.0 << 3050.0 << 4995.0 << 50.0 << 3050.0 << 5006.0 << 50.0;
        QTest::newRow("skew 60") << "60" << 80.0 << 3080.0 - 5 / s60 * c60 << 4995.0 << 80.0 - 5 / s60 * c60
                                 << 3080.0 + 6 / s60 * c60 << 5006.0 << 80.0 + 6 / s60 * c60;
        QTest::newRow("skew 120, written with marks") << "120°00′00″" << 20.0 << 3020.0 + 5 / s60 * c60 << 4995.0
                                                       << 20.0 + 5 / s60 * c60 << 3020.0 - 6 / s60 * c60 << 5006.0
                                                       << 20.0 - 6 / s60 * c60;
    }
    void requestOnTheStraight() {
        QFETCH(QString, B);
        QFETCH(double, Kp);
        QVERIFY(page_->OpenFile(kExampleJd));
        page_->Field("KjEdit")->setText(QString::number(Kp));
        page_->Field("BEdit")->setText(B);
        page_->Field("DLEdit")->setText(QStringLiteral("5"));
        page_->Field("DREdit")->setText(QStringLiteral("6"));
        page_->Field("KpEdit")->setText(QStringLiteral("K0+%1").arg(Kp, 3, 'f', 0, QLatin1Char('0')));
        QVERIFY2(page_->ComputeBeam(), qPrintable(page_->BeamStatus()->text()));
        const auto& groups = form_->Logic().Table().Groups();
        QCOMPARE(groups.size(), std::size_t{1});
        QCOMPARE(groups[0].kind, GroupKind::Alignment);
        QVERIFY(QString::fromStdString(groups[0].header).startsWith(QStringLiteral("第 1 组：线形 example-jd.csv")));
        const BeamEnds& e = groups[0].rows.at(0).ends;
        QFETCH(double, Xin);
        QFETCH(double, Yin);
        QFETCH(double, Kin);
        QFETCH(double, Xout);
        QFETCH(double, Yout);
        QFETCH(double, Kout);
        for (const auto& [got, want] : {std::pair{e.Xk, 3000 + Kp}, std::pair{e.Yk, 5000.0}, std::pair{e.Xin, Xin},
                                        std::pair{e.Yin, Yin}, std::pair{e.Kin, Kin}, std::pair{e.Xout, Xout},
                                        std::pair{e.Yout, Yout}, std::pair{e.Kout, Kout}})
            QVERIFY2(std::fabs(got - want) < 1e-4, qPrintable(QStringLiteral("%1 != %2").arg(got).arg(want)));

        // The table names the ends by the side of the road.
        const PierTableModel& model = *form_->Panel()->Model();
        QStringList titles;
        for (int c = 0; c < model.columnCount(); ++c) titles << model.headerData(c, Qt::Horizontal).toString();
        QVERIFY(titles.join(QLatin1Char('|')).contains(QStringLiteral("左侧端点桩号 K")));
        QVERIFY(titles.join(QLatin1Char('|')).contains(QStringLiteral("右侧长度 L")));
        QVERIFY(!titles.join(QLatin1Char('|')).contains(QStringLiteral("内侧")));
        QCOMPARE(model.rowCount(), 2);  // the group's header and the row
    }

    // A batch over spirals, an arc and a long chain gives the rows that
    // capbeam-cli batch --alignment gives for the same inputs, cell for cell
    // but the header column, which names the file by its path there.
    void batchEqualsTheTerminal_data() {
        QTest::addColumn<bool>("tangent");
        QTest::addColumn<QString>("list");
        QTest::newRow("parallel, list") << false << "100 150 170.5 199.25 240 300 400";
        QTest::newRow("tangent, list") << true << "140,199.25,258.7,420,500";
        QTest::newRow("parallel, range") << false << "";
    }
    void batchEqualsTheTerminal() {
        QFETCH(bool, tangent);
        QFETCH(QString, list);
        QVERIFY(page_->OpenFile(kExampleJd));
        form_->Panel()->findChild<QWidget*>(tangent ? QStringLiteral("OrientationTangent")
                                                    : QStringLiteral("OrientationParallel"))
            ->setProperty("checked", true);
        page_->Field("KjEdit")->setText(QStringLiteral("K0+180"));
        page_->Field("BEdit")->setText(QStringLiteral("75.3"));
        page_->Field("DLEdit")->setText(QStringLiteral("6"));
        page_->Field("DREdit")->setText(QStringLiteral("7.5"));
        page_->Field("ListEdit")->setText(list);
        page_->Field("FromEdit")->setText(QStringLiteral("120"));
        page_->Field("ToEdit")->setText(QStringLiteral("280"));
        page_->Field("StepEdit")->setText(QStringLiteral("20"));
        QVERIFY2(page_->RunBatch(), qPrintable(page_->BeamStatus()->text()));

        std::vector<std::string> args{"batch", "--alignment", kExampleJd.toStdString(), "--kj", "K0+180", "--b",
                                      "75.3", "--dl", "6", "--dr", "7.5", "--orientation", tangent ? "tangent" : "parallel"};
        const QStringList items = list.isEmpty() ? QStringLiteral("120 140 160 180 200 220 240 260 280").split(' ')
                                                 : list.split(QRegularExpression(QStringLiteral("[ ,]")));
        for (const QString& item : items) args.push_back(item.toStdString());
        std::istringstream in;
        std::ostringstream out, err;
        QCOMPARE(RunAlignmentCli(args, in, out, err), 0);
        const QStringList terminal = Q(out.str()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        const QStringList window = Q(TableCsv(form_->Logic().Table(), false)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(window.size(), items.size() + 1);
        QCOMPARE(window.front(), terminal.front());  // the titles, 左侧 and 右侧
        QCOMPARE(window.size(), terminal.size());
        // Cells up to the header column: no cell of the figures holds a comma.
        for (int i = 1; i < window.size(); ++i) QCOMPARE(window[i].section(',', 0, 16), terminal[i].section(',', 0, 16));
    }

    // Each refusal is said in the page, in Chinese, naming what to do; the
    // pier table is left as it was.
    void refusalsAreShownInChinese_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("said");
        QTest::newRow("no Kj") << "KjEdit" << "" << "请输入设计盖梁的中桩桩号 Kj";
        QTest::newRow("Kj not a chainage") << "KjEdit" << "K0+abc" << "设计中桩 Kj";
        QTest::newRow("B not D.MMSS") << "BEdit" << "30.75" << "交角 B";
        QTest::newRow("no DR") << "DREdit" << "" << "请输入右侧路基半幅宽度";
        QTest::newRow("DL negative") << "DLEdit" << "-3" << "不能是负数";
        QTest::newRow("Kp before the start") << "KpEdit" << "-20" << "请改正中桩桩号 Kp";
        QTest::newRow("Kj beyond the end") << "KjEdit" << "K2+000" << "设计盖梁（Kj";
    }
    void refusalsAreShownInChinese() {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, said);
        QVERIFY(page_->OpenFile(kExampleJd));
        page_->Field("KjEdit")->setText(QStringLiteral("100"));
        page_->Field("DREdit")->setText(QStringLiteral("6"));
        page_->Field("KpEdit")->setText(QStringLiteral("120"));
        page_->Field(field.toLatin1().constData())->setText(value);
        QVERIFY(!page_->ComputeBeam());
        const QString text = page_->BeamStatus()->text();
        QVERIFY2(text.contains(said), qPrintable(text));
        QVERIFY(page_->BeamStatus()->styleSheet().contains(QStringLiteral("color")));
        QVERIFY(form_->Logic().Table().Empty());
        QVERIFY(form_->Logic().Table().Groups().empty());  // no header without rows
    }

    // A table the readers refuse says why, naming the row as the table
    // numbers it; beams and look-ups wait for a usable alignment.
    void aTableThatCannotBeUsedSaysWhichRow() {
        QVERIFY(page_->PasteText(QStringLiteral("QD\t0\t0\t0\nJD1\t\t100\t0\t300\nZD\t\t200\t0\n")));
        QVERIFY(!page_->Loaded().has_value());
        const QString said = page_->TableStatus()->text();
        QVERIFY2(said.startsWith(QStringLiteral("线形不能使用：")) && said.contains(QStringLiteral("JD1")), qPrintable(said));
        QVERIFY(!page_->LookUpCoordinates());
        QVERIFY(page_->LookUpStatus()->text().contains(QStringLiteral("还没有可用的线形")));
        QVERIFY(!page_->OpenFile(QStringLiteral("/不存在/路线.csv")));
        QVERIFY(page_->TableStatus()->text().contains(QStringLiteral("打不开文件")));
    }

    // Coordinates to chainage gives back the chainage and offset a point was
    // computed from, on the spiral of JD1.
    void lookUpsAreInverses() {
        QVERIFY(page_->OpenFile(kExampleJd));
        const PlanePoint p = page_->Loaded()->road.OffsetPoint({165.0, kAnyStretch}, -4.25);
        page_->Field("LookUpXEdit")->setText(QString::number(p.X, 'f', 9));
        page_->Field("LookUpYEdit")->setText(QString::number(p.Y, 'f', 9));
        QVERIFY(page_->LookUpChainage());
        const QString said = page_->LookUpStatus()->text();
        QVERIFY2(said.contains(QStringLiteral("桩号 K 0+ 165，")) && said.contains(QStringLiteral("左侧 4.25 米")), qPrintable(said));
        page_->Field("LookUpXEdit")->setText(QStringLiteral("2000"));
        page_->Field("LookUpYEdit")->setText(QStringLiteral("5000"));
        QVERIFY(!page_->LookUpChainage());
        QVERIFY(page_->LookUpStatus()->text().startsWith(QStringLiteral("不能反算桩号：")));
    }

    // The plan draws the alignment while the page is open, and while the
    // latest rows of the pier table are the alignment's.
    void planShowsTheAlignmentWhileItIsWorkedOn() {
        QVERIFY(page_->OpenFile(kExampleJd));
        const PlanView* plan = form_->Panel()->Plan();
        QVERIFY(plan->Scene().alignment);
        QCOMPARE(plan->Scene().alignment->points.size(), page_->Loaded()->mainPoints.size());
        page_->Field("KjEdit")->setText(QStringLiteral("100"));
        page_->Field("DREdit")->setText(QStringLiteral("6"));
        page_->Field("KpEdit")->setText(QStringLiteral("120"));
        QVERIFY(page_->ComputeBeam());
        QCOMPARE(plan->Scene().beams.size(), std::size_t{1});
        QVERIFY(!plan->Scene().alignment->rightEdge.empty());
        form_->Panel()->Pages()->setCurrentIndex(0);
        QVERIFY(plan->Scene().alignment);  // the latest rows are still the alignment's
    }

    // From the keyboard: Alt+A opens the page, Alt+K goes to Kj, Tab on
    // through B, DL, DR and Kp, Return on 计算盖梁 places the beam.
    void drivenFromTheKeyboard() {
        form_->Panel()->Pages()->setCurrentIndex(0);
        QVERIFY(page_->OpenFile(kExampleJd));
        form_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
        QTest::keyClick(form_.get(), Qt::Key_A, Qt::AltModifier);
        QCOMPARE(form_->Panel()->Pages()->currentIndex(), 1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_K, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(page_->Field("KjEdit")));
        for (const char* text : {"K0+100", "90", "5", "6", "K0+120"}) {
            QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(text));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("AlignmentBeamButton"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(form_->Logic().Table().RowCount(), std::size_t{1});
    }

    // Beams placed on the road follow its table: a JD moved by typing places
    // them again (the figures capbeam-cli gives on the edited file); while a
    // cell is unreadable they are refused everywhere, then stand again; a
    // beam that no longer fits is a refused row with why; a file of another
    // name asks first. The page says what happened to them.
    void beamsFollowTheTableTheyStandOn() {
        QVERIFY(page_->OpenFile(kExampleJd));
        page_->Field("KjEdit")->setText(QStringLiteral("300"));
        page_->Field("DREdit")->setText(QStringLiteral("6"));
        page_->Field("ListEdit")->setText(QStringLiteral("120 300 500 660"));
        QVERIFY2(page_->RunBatch(), qPrintable(page_->BeamStatus()->text()));
        AlignmentTableModel* table = page_->InputModel();
        const PierTableModel* model = form_->Panel()->Model();
        const auto refusedLines = [model] {
            int n = 0;
            for (int line = 0; line < model->rowCount(); ++line) n += model->IsRefused(line);
            return n;
        };

        // JD2 5 m further east: JD1 turns more, and every beam moves.
        QVERIFY(table->setData(table->index(2, 3), QStringLiteral("5120.046857")));
        QString said = page_->FollowStatus()->text();
        QVERIFY2(said.contains(QStringLiteral("4 根盖梁已按现在的线形重新计算")) && said.contains(QStringLiteral("移动超过 1 毫米")),
                 qPrintable(said));
        QTemporaryDir dir;
        const QString edited = dir.filePath(QStringLiteral("edited.csv"));
        QVERIFY(page_->SaveFile(edited));
        std::istringstream in;
        std::ostringstream out, err;
        QCOMPARE(RunAlignmentCli({"batch", "--alignment", edited.toStdString(), "--kj", "300", "--b", "90", "--dr", "6",
                                  "120", "300", "500", "660"},
                                 in, out, err),
                 0);
        const QStringList terminal = Q(out.str()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        const QStringList window = Q(TableCsv(form_->Logic().Table(), false)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(window.size(), terminal.size());
        for (int i = 1; i < window.size(); ++i) QCOMPARE(window[i].section(',', 0, 16), terminal[i].section(',', 0, 16));
        QCOMPARE(model->data(model->index(1, 1)).toString(), Q(form_->Logic().Table().Groups()[0].rows[0].texts[1]));

        // A radius being typed over: nothing stands on the table meanwhile.
        QVERIFY(table->setData(table->index(1, 4), QStringLiteral("15x")));
        said = page_->FollowStatus()->text();
        QVERIFY2(said.contains(QStringLiteral("4 根盖梁暂时作废")), qPrintable(said));
        QVERIFY(page_->TableStatus()->text().startsWith(QStringLiteral("线形不能使用")));
        QCOMPARE(refusedLines(), 4);
        QCOMPARE(form_->Logic().Table().RowCount(), std::size_t{0});
        QCOMPARE(Q(TableCsv(form_->Logic().Table(), false)).count(QStringLiteral("\r\n")), 1);  // the titles alone
        QVERIFY(form_->Panel()->Plan()->Scene().beams.empty());
        QVERIFY(form_->Panel()->Site()->Piers()->item(0, 4)->text().startsWith(QStringLiteral("作废")));
        QVERIFY(table->setData(table->index(1, 4), QStringLiteral("152.45")));
        QCOMPARE(refusedLines(), 0);
        QCOMPARE(Q(TableCsv(form_->Logic().Table(), false)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts), window);
        said = page_->FollowStatus()->text();
        QVERIFY2(said.contains(QStringLiteral("都没有移动超过 1 毫米")), qPrintable(said));  // measured from before the spell

        // The road starting at K0+130: the beam at K0+120 is refused, saying why, in the pier table.
        QVERIFY(table->setData(table->index(0, 1), QStringLiteral("K0+130")));
        said = page_->FollowStatus()->text();
        QVERIFY2(said.contains(QStringLiteral("1 根放不上")), qPrintable(said));
        QCOMPARE(refusedLines(), 1);
        const int last = 1;  // the line after the group's header
        QVERIFY(model->IsRefused(last));
        QCOMPARE(model->data(model->index(last, 0)).toString(), QStringLiteral("K 0+ 120"));
        QVERIFY(model->data(model->index(last, 1)).toString().startsWith(QStringLiteral("作废")));
        QCOMPARE(form_->Panel()->TableView()->columnSpan(last, 1), PierTableModel::kColumnCount - 1);
        QCOMPARE(form_->Logic().Table().RowCount(), std::size_t{3});
        QCOMPARE(form_->Panel()->Plan()->Scene().beams.size(), std::size_t{3});

        // Another file over placed beams: asked first; 取消 keeps the table and the beams.
        QStringList asked;
        bool answer = false;
        page_->confirmOtherRoad = [&](const QString& question) {
            asked << question;
            return answer;
        };
        const auto before = form_->Logic().Table().Groups()[0].header;
        QVERIFY(!page_->OpenFile(kExampleJd));
        QCOMPARE(asked.size(), 1);
        QVERIFY2(asked[0].contains(QStringLiteral("4 根盖梁放在线形“edited.csv”上")), qPrintable(asked[0]));
        QCOMPARE(form_->Logic().Table().Groups()[0].header, before);
        QCOMPARE(refusedLines(), 1);
        answer = true;
        QVERIFY(page_->OpenFile(kExampleJd));
        QCOMPARE(refusedLines(), 0);
        QVERIFY(Q(form_->Logic().Table().Groups()[0].header).contains(QStringLiteral("线形 example-jd.csv")));
        // The same file again is the same road: no question.
        QVERIFY(page_->OpenFile(kExampleJd));
        QCOMPARE(asked.size(), 2);
    }

    // After an alignment's group, a single curve's row opens a group of the
    // latest curve again instead of joining the alignment's; the exports
    // then name both kinds of sides, and the points files the ends by side.
    void singleCurveRowsNeverJoinAnAlignmentGroup() {
        PierTable table;
        CurveInputs in;
        in.R = 500;
        table.StartGroup(in, Curve{}, DesignBeam{});
        table.Add(PierRow{});
        table.StartAlignmentGroup("线形 A");
        table.AddAlignmentRow(PierRow{});
        QCOMPARE(SideWordsOf(table).inner, std::string("内侧/左侧"));
        table.Add(PierRow{});
        QCOMPARE(table.Groups().size(), std::size_t{3});
        QCOMPARE(table.Groups()[2].kind, GroupKind::SingleCurve);
        QCOMPARE(table.Groups()[2].inputs.R, 500.0);
        QCOMPARE(table.Groups()[2].rows.front().number, 3);
        const QString points = Q(CassPoints(table));
        QVERIFY(points.contains(QStringLiteral("P1-IN,")) && points.contains(QStringLiteral("P2-L,")) &&
                points.contains(QStringLiteral("P2-R,")) && points.contains(QStringLiteral("P3-OUT,")));
        QVERIFY(Q(TableCsv(table, false)).section(QStringLiteral("\r\n"), 0, 0).contains(QStringLiteral("内侧/左侧端点桩号 K")));
    }

private:
    std::unique_ptr<ScriptedForm1> form_;
    AlignmentPage* page_ = nullptr;
};

QTEST_MAIN(AlignmentPageTest)
#include "alignment_page_test.moc"

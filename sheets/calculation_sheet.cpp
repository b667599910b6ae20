#include "sheets/calculation_sheet.h"

#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QString>
#include <algorithm>
#include <cmath>

#include "core/dms.h"
#include "core/failure.h"
#include "core/text_formats.h"
#include "records/plan_alignment.h"
#include "records/plan_geometry.h"

namespace capbeam {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }
QString Fixed(double value) { return Q(FixedText(value)); }

constexpr double kMarginMm = 15;
// The font families tried in turn: Debian's Chinese font first.
const QStringList kFamilies{QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                            QStringLiteral("Microsoft YaHei"), QStringLiteral("SimSun")};

QFont SheetFont(double points, bool bold = false) {
    QFont font;
    font.setFamilies(kFamilies);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

struct Column {
    QString title;
    double weight = 1;  // share of the page's width
    Qt::Alignment align = Qt::AlignRight;
};

struct TableRow {
    QStringList cells;
    bool spanning = false;  // one cell across the whole table: a group's header
};

// The sheet laid out page by page. Run twice: first without a painter, to
// count the pages; then painting, each page numbered against that count.
class Sheet {
public:
    Sheet(QPagedPaintDevice& device, QPainter* painter, const SheetInputs& in, int pages)
        : device_(device), painter_(painter), in_(in), pages_(pages) {
        dotsPerMm_ = device.logicalDpiY() / 25.4;
        width_ = device.width();
        bottom_ = device.height() - Mm(9);
        StartPage();
    }

    int Pages() const { return page_; }
    double Mm(double mm) const { return mm * dotsPerMm_; }
    double Width() const { return width_; }
    double Room() const { return bottom_ - y_; }

    void NewPage() {
        if (painter_) device_.newPage();
        ++page_;
        StartPage();
    }
    void Space(double mm) { y_ += Mm(mm); }
    // Starts a new page unless `mm` fits below.
    void Keep(double mm) {
        if (Room() < Mm(mm)) NewPage();
    }

    void Title(const QString& text) { Text(text, SheetFont(16, true), Qt::AlignHCenter); }
    void Heading(const QString& text) {
        Keep(30);
        Space(3);
        Text(text, SheetFont(11, true), Qt::AlignLeft);
        Space(1);
    }
    void Text(const QString& text, const QFont& font, Qt::Alignment align = Qt::AlignLeft, double indentMm = 0) {
        const QFontMetricsF metrics(font, &device_);
        const QRectF room(Mm(indentMm), 0, width_ - Mm(indentMm), 1e9);
        const double height = metrics.boundingRect(room, Qt::TextWordWrap | align, text).height();
        if (height > Room()) NewPage();
        if (painter_) {
            painter_->setFont(font);
            painter_->setPen(Qt::black);
            painter_->drawText(QRectF(Mm(indentMm), y_, width_ - Mm(indentMm), height), Qt::TextWordWrap | align, text);
        }
        y_ += height;
    }
    void Paragraph(const QString& text) { Text(text, SheetFont(9), Qt::AlignLeft, 4); }

    // A table with its titles repeated on every page it runs onto.
    void Table(const std::vector<Column>& columns, const std::vector<TableRow>& rows, double points = 8) {
        double total = 0;
        for (const Column& c : columns) total += c.weight;
        std::vector<double> x{0};
        for (const Column& c : columns) x.push_back(x.back() + width_ * c.weight / total);
        const QFont body = SheetFont(points), head = SheetFont(points, true);
        const QFontMetricsF bodyMetrics(body, &device_), headMetrics(head, &device_);
        const double pad = Mm(0.8);
        // A cell too narrow for its text wraps it (a title between words, a
        // value anywhere), so that no digit is ever cut off.
        const auto heightOf = [&](const QStringList& cells, const QFontMetricsF& m, bool title, bool spanning) {
            double h = m.height();
            for (int i = 0; i < cells.size(); ++i) {
                const double w = spanning ? width_ : x[static_cast<std::size_t>(i) + 1] - x[static_cast<std::size_t>(i)];
                const int wrap = title || spanning ? Qt::TextWordWrap : Qt::TextWrapAnywhere;
                h = std::max(h, m.boundingRect(QRectF(0, 0, w - 2 * pad, 1e9), wrap, cells[i]).height());
            }
            return h + 2 * pad;
        };
        QStringList titles;
        for (const Column& c : columns) titles << c.title;
        const double titleHeight = heightOf(titles, headMetrics, true, false);
        const auto drawRow = [&](const QStringList& cells, bool spanning, bool title, double h) {
            if (!painter_) return;
            painter_->setFont(title ? head : body);
            painter_->setPen(QPen(Qt::black, Mm(0.1)));
            if (title || spanning) painter_->fillRect(QRectF(0, y_, width_, h), QColor(title ? 230 : 245, title ? 230 : 245, title ? 230 : 245));
            if (spanning) {
                painter_->drawRect(QRectF(0, y_, width_, h));
                painter_->drawText(QRectF(pad, y_ + pad, width_ - 2 * pad, h - 2 * pad), Qt::TextWordWrap | Qt::AlignLeft, cells.value(0));
                return;
            }
            for (std::size_t i = 0; i < columns.size(); ++i) {
                const QRectF cell(x[i], y_, x[i + 1] - x[i], h);
                painter_->drawRect(cell);
                const Qt::Alignment align = title ? Qt::AlignHCenter : columns[i].align;
                painter_->drawText(cell.adjusted(pad, pad, -pad, -pad), (title ? Qt::TextWordWrap : Qt::TextWrapAnywhere) | align | Qt::AlignVCenter,
                                   cells.value(static_cast<int>(i)));
            }
        };
        if (Room() < titleHeight + 3 * bodyMetrics.height()) NewPage();
        drawRow(titles, false, true, titleHeight);
        y_ += titleHeight;
        for (const TableRow& row : rows) {
            const double h = heightOf(row.cells, bodyMetrics, false, row.spanning);
            if (h > Room()) {
                NewPage();
                drawRow(titles, false, true, titleHeight);
                y_ += titleHeight;
            }
            drawRow(row.cells, row.spanning, false, h);
            y_ += h;
        }
        Space(1);
    }

    // The plan in a box `heightMm` tall across the page.
    void Plan(double heightMm);

    // Lines for the signatures of the one who computed and the one who checked.
    void Signatures() {
        Keep(30);
        Space(12);
        const QFont font = SheetFont(10);
        const QFontMetricsF m(font, &device_);
        const QStringList labels{QStringLiteral("计算："), QStringLiteral("日期："), QStringLiteral("复核："),
                                 QStringLiteral("日期：")};
        const double cell = width_ / 4;
        if (painter_) {
            painter_->setFont(font);
            painter_->setPen(QPen(Qt::black, Mm(0.2)));
            for (int i = 0; i < 4; ++i) {
                const double left = i * cell;
                const double w = m.horizontalAdvance(labels[i]);
                painter_->drawText(QPointF(left, y_ + m.ascent()), labels[i]);
                painter_->drawLine(QPointF(left + w, y_ + m.height()), QPointF(left + cell - Mm(5), y_ + m.height()));
            }
        }
        y_ += m.height() + Mm(2);
    }

private:
    void StartPage() {
        y_ = 0;
        const QFont small = SheetFont(8);
        const QFontMetricsF m(small, &device_);
        if (painter_) {
            painter_->setFont(small);
            painter_->setPen(QPen(Qt::black, Mm(0.15)));
            painter_->drawText(QRectF(0, 0, width_, m.height()), Qt::AlignLeft, Q(in_.title));
            painter_->drawText(QRectF(0, 0, width_, m.height()), Qt::AlignRight, QStringLiteral("盖梁端点坐标计算书"));
            painter_->drawLine(QPointF(0, m.height() + Mm(1)), QPointF(width_, m.height() + Mm(1)));
            const QString number = QStringLiteral("第 %1 页 共 %2 页").arg(page_).arg(pages_);
            painter_->drawText(QRectF(0, device_.height() - m.height(), width_, m.height()), Qt::AlignHCenter, number);
        }
        y_ = m.height() + Mm(4);
    }

    QPagedPaintDevice& device_;
    QPainter* painter_;
    const SheetInputs& in_;
    int pages_ = 0;
    int page_ = 1;
    double dotsPerMm_ = 1, width_ = 0, bottom_ = 0, y_ = 0;
};

// ---- The plan ---------------------------------------------------------------

// The paper scales a drawing is plotted at: 1:N for N of 1, 2, 2.5 or 5 times
// a power of ten. The largest picture whose scale is one of them.
double PaperScale(double metresPerMm) {
    const double wanted = metresPerMm * 1000;  // N of 1:N
    double power = std::pow(10.0, std::floor(std::log10(std::max(wanted, 1e-9))));
    for (;; power *= 10)
        for (const double step : {1.0, 2.0, 2.5, 5.0})
            if (step * power >= wanted * (1 - 1e-12)) return step * power;
}

void Sheet::Plan(double heightMm) {
    const SheetInputs& in = in_;
    PlanScene scene;
    const bool onRoad = in.table && !in.table->Groups().empty() && in.table->Groups().back().kind == GroupKind::Alignment;
    if (onRoad && in.road) {
        std::vector<const PierRow*> rows;
        for (const PierGroup& g : in.table->Groups())
            if (g.kind == GroupKind::Alignment)
                for (const PierRow& row : g.rows) rows.push_back(&row);
        scene = AlignmentPlanScene(*in.road, in.DL, in.DR, rows);
    } else if (in.table) {
        scene = BuildPlanScene(*in.table);
    }
    // The plan of the scene, as the window shows it; points elsewhere (on an
    // earlier curve of the job) fall outside and are left out.
    WorldBounds bounds = scene.bounds;
    if (bounds.empty)
        for (const SitePoint& p : in.points) bounds.Add({p.X, p.Y});
    const QRectF box(0, y_, width_, Mm(heightMm));
    y_ += box.height();
    if (!painter_) return;

    QPainter& p = *painter_;
    p.save();
    p.setPen(QPen(Qt::black, Mm(0.25)));
    p.drawRect(box);
    p.setClipRect(box);
    if (bounds.empty) {
        p.setFont(SheetFont(10));
        p.drawText(box, Qt::AlignCenter, QStringLiteral("没有可画的平曲线或盖梁"));
        p.restore();
        return;
    }
    // One scale for both axes, a round paper scale, north up.
    const double margin = Mm(12);
    const double spanY = std::max(bounds.maxY - bounds.minY, 1e-3), spanX = std::max(bounds.maxX - bounds.minX, 1e-3);
    const double fit = std::min((box.width() - 2 * margin) / spanY, (box.height() - 2 * margin) / spanX);
    const double N = PaperScale(1 / (fit / dotsPerMm_));
    const double perMetre = Mm(1000 / N);
    const PlanTransform t(perMetre, {(bounds.minX + bounds.maxX) / 2, (bounds.minY + bounds.maxY) / 2},
                          {box.center().x(), box.center().y()});
    const auto at = [&](const WorldPoint& w) {
        const ScreenPoint s = t.ToScreen(w);
        return QPointF(s.x, s.y);
    };
    const auto polyline = [&](const std::vector<WorldPoint>& line) {
        QPolygonF poly;
        for (const WorldPoint& w : line) poly << at(w);
        p.drawPolyline(poly);
    };
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(60, 60, 60), Mm(0.3)));
    if (scene.alignment) {
        polyline(scene.alignment->leftEdge);
        polyline(scene.alignment->rightEdge);
    } else {
        polyline(scene.innerEdge);
        polyline(scene.outerEdge);
    }
    p.setPen(QPen(QColor(200, 0, 0), Mm(0.2), Qt::DashDotLine));
    polyline(scene.alignment ? scene.alignment->centreLine : scene.centreLine);

    std::vector<ScreenRect> taken;
    const QFont labelFont = SheetFont(6);
    const QFontMetricsF lm(labelFont, &device_);
    p.setFont(labelFont);
    if (scene.alignment) {
        p.setPen(QPen(QColor(30, 90, 200), Mm(0.2)));
        for (const PlanMainPoint& mp : scene.alignment->points) {
            const QPointF s = at(mp.at);
            p.drawEllipse(s, Mm(0.8), Mm(0.8));
            const QString text = Q(mp.label);
            const ScreenRect r{s.x() + Mm(1), s.y() - lm.height() - Mm(1), lm.horizontalAdvance(text), lm.height()};
            if (KeepClearLabels({r}, taken)[0]) {
                p.drawText(QRectF(r.left, r.top, r.width, r.height), text);
                taken.push_back(r);
            }
        }
    } else if (scene.hasCurve) {
        const QPointF J = at(scene.J);
        p.setPen(QPen(QColor(30, 90, 200), Mm(0.25)));
        p.drawLine(at(scene.designInner), at(scene.designOuter));
        p.drawEllipse(J, Mm(0.8), Mm(0.8));
        p.drawText(J + QPointF(Mm(1.2), -Mm(1.2)), QStringLiteral("J"));
        taken.push_back({J.x(), J.y() - lm.height() - Mm(1.2), lm.horizontalAdvance("J") + Mm(1.2), lm.height()});
    }

    // Beams, numbered beyond their outer ends where the numbers fit.
    std::vector<ScreenRect> labels;
    for (const PlanBeam& b : scene.beams) {
        const BeamStyle style = StyleOf(b.orientation, false);
        p.setPen(QPen(QColor(style.red, style.green, style.blue), Mm(0.35)));
        const QPointF a = at(b.inner), c = at(b.outer);
        p.drawLine(a, c);
        p.setBrush(QColor(style.red, style.green, style.blue));
        p.drawEllipse(a, Mm(0.5), Mm(0.5));
        p.drawEllipse(c, Mm(0.5), Mm(0.5));
        p.setBrush(Qt::NoBrush);
        const QString n = QString::number(b.number);
        labels.push_back(LabelBeyond({a.x(), a.y()}, {c.x(), c.y()}, lm.horizontalAdvance(n), lm.height(), Mm(1)));
    }
    // The latest first, as the window keeps it.
    std::vector<ScreenRect> ordered(labels.rbegin(), labels.rend());
    const std::vector<bool> keep = KeepClearLabels(ordered, taken);
    p.setPen(Qt::black);
    for (std::size_t i = 0; i < ordered.size(); ++i)
        if (keep[i]) {
            const PlanBeam& b = scene.beams[scene.beams.size() - 1 - i];
            const ScreenRect& r = ordered[i];
            p.drawText(QRectF(r.left, r.top, r.width, r.height), Qt::AlignCenter, QString::number(b.number));
            taken.push_back(r);
        }

    // The points along the beams: a cross each, the names that fit.
    p.setPen(QPen(QColor(0, 120, 0), Mm(0.15)));
    const double arm = Mm(0.7);
    std::vector<ScreenRect> names;
    for (const SitePoint& sp : in.points) {
        const QPointF s = at({sp.X, sp.Y});
        p.drawLine(s - QPointF(arm, arm), s + QPointF(arm, arm));
        p.drawLine(s - QPointF(arm, -arm), s + QPointF(arm, -arm));
        names.push_back({s.x() + arm, s.y() - lm.height() - arm / 2, lm.horizontalAdvance(Q(sp.name)), lm.height()});
    }
    // Names of points off the plan take no room.
    for (ScreenRect& r : names)
        if (!box.intersects(QRectF(r.left, r.top, r.width, r.height))) r = {-1e9, -1e9, 0, 0};
    const std::vector<bool> keepNames = KeepClearLabels(names, taken);
    for (std::size_t i = 0; i < names.size(); ++i)
        if (keepNames[i]) {
            const ScreenRect& r = names[i];
            p.drawText(QRectF(r.left, r.top, r.width, r.height), Q(in.points[i].name));
        }

    // North arrow at the top right, the scale bar at the bottom left.
    p.setClipping(false);
    p.setPen(QPen(Qt::black, Mm(0.25)));
    const QPointF tip(box.right() - Mm(10), box.top() + Mm(5));
    const double len = Mm(12);
    p.setBrush(Qt::black);
    p.drawPolygon(QPolygonF({tip, tip + QPointF(Mm(2.5), len), tip + QPointF(0, len * 0.75)}));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(QPolygonF({tip, tip + QPointF(-Mm(2.5), len), tip + QPointF(0, len * 0.75)}));
    p.setFont(SheetFont(9, true));
    p.drawText(QRectF(tip.x() - Mm(5), tip.y() + len, Mm(10), Mm(5)), Qt::AlignCenter, QStringLiteral("北"));

    const double barMetres = ScaleBarMetres(perMetre, Mm(50));
    const double barLength = barMetres * perMetre;
    const QPointF origin(box.left() + Mm(6), box.bottom() - Mm(8));
    for (int i = 0; i < 4; ++i) {
        const QRectF piece(origin.x() + barLength * i / 4, origin.y(), barLength / 4, Mm(1.2));
        p.fillRect(piece, i % 2 ? Qt::white : Qt::black);
        p.drawRect(piece);
    }
    p.setFont(SheetFont(7));
    const QFontMetricsF sm(SheetFont(7), &device_);
    p.drawText(QPointF(origin.x() - sm.horizontalAdvance("0") / 2, origin.y() - Mm(0.8)), QStringLiteral("0"));
    const QString metres = Q(NumberText(barMetres)) + QStringLiteral(" m");
    p.drawText(QPointF(origin.x() + barLength - sm.horizontalAdvance(metres) / 2, origin.y() - Mm(0.8)), metres);
    p.drawText(QPointF(origin.x(), origin.y() + Mm(1.2) + sm.ascent() + Mm(0.8)),
               QStringLiteral("比例 1:%1（按 A4 原大打印）").arg(Q(NumberText(N))));
    p.restore();
}

// ---- The sections -------------------------------------------------------------

void Conventions(Sheet& s) {
    s.Heading(QStringLiteral("一、计算约定"));
    const char* lines[] = {
        "座标：X 为纵座标（北），Y 为横座标（东），单位米。",
        "方位角：自北（+X）起顺时针量至东（+Y），以度计。",
        "交角 B：以度.分秒（D.MMSS）输入，自设计盖梁中桩 J 处道路前进方向的切线顺时针量至盖梁横轴线；90 为正交。",
        "平曲线方向 P：P > 0 为右偏（正偏，桩号绕圆心顺时针增加），P < 0 为左偏（反偏），只取其符号。",
        "内侧、外侧：单圆曲线上近圆心一侧的路基边线（半径 R − Dr）为内侧，另一侧（半径 R + Dr）为外侧；"
        "整条线形上按前进方向分左侧、右侧，左侧端点列在“内侧/左侧”栏。",
        "端点桩号：端点在中线上的垂足（单圆曲线上沿半径）的桩号。",
        "盖梁方向：“平行”为平行于设计盖梁，“切线”为与各自切线保持交角 B。",
        "取位：计算出的座标、长度和桩号取三位小数，恰为一半时取偶数；角度以度.分秒表示至 0.1″。"
        "内侧边线半径按单精度保存（约 7 位有效数字）。",
        "放样：方位角为测站至放样点的方位角；水平角自后视方向顺时针量至放样点；平距为水平距离。",
    };
    for (const char* line : lines) s.Paragraph(QStringLiteral("· ") + QString::fromUtf8(line));
}

void SingleCurveInputs(Sheet& s, const PierTable& table) {
    std::vector<TableRow> rows;
    for (const PierGroup& g : table.Groups()) {
        if (g.kind != GroupKind::SingleCurve) continue;
        const CurveInputs& in = g.inputs;
        rows.push_back({{QStringLiteral("第 %1 组").arg(g.number), Q(NumberText(in.Xo)), Q(NumberText(in.Yo)),
                         Q(ChainageText(in.Kj, ChainageForm::Entered)), Q(NumberText(in.Xj)), Q(NumberText(in.Yj)),
                         Q(NumberText(in.Bdms)), Q(NumberText(in.R)), Q(DirectionText(in.P))},
                        false});
    }
    if (rows.empty()) return;
    s.Paragraph(QStringLiteral("单圆曲线（每次“进行计算”一组）："));
    s.Table({{QStringLiteral("组"), 0.8, Qt::AlignLeft},
             {QStringLiteral("圆心 Xo"), 1.2},
             {QStringLiteral("圆心 Yo"), 1.2},
             {QStringLiteral("设计中桩 Kj"), 1.3},
             {QStringLiteral("J 纵座标 Xj"), 1.2},
             {QStringLiteral("J 横座标 Yj"), 1.2},
             {QStringLiteral("交角 B (度.分秒)"), 1},
             {QStringLiteral("半径 R (米)"), 1},
             {QStringLiteral("方向 P"), 0.7, Qt::AlignHCenter}},
            rows);
}

void AlignmentInputs(Sheet& s, const LoadedRoad& road) {
    if (!road.curves.empty()) {
        s.Paragraph(QStringLiteral("路线交点表及曲线要素："));
        std::vector<TableRow> rows;
        for (const JdCurve& c : road.curves)
            rows.push_back({{Q(c.name), Fixed(c.X), Fixed(c.Y), c.R > 0 ? Fixed(c.R) : QString(), Fixed(c.Ls1),
                             Fixed(c.Ls2), c.alpha > 0 ? Q(DmsText(c.alpha)) + (c.turn > 0 ? "右" : "左") : QString(),
                             Fixed(c.T1), Fixed(c.T2), Fixed(c.L), Fixed(c.E)},
                            false});
        s.Table({{QStringLiteral("交点"), 0.8, Qt::AlignLeft},
                 {QStringLiteral("X (米)"), 1.3},
                 {QStringLiteral("Y (米)"), 1.3},
                 {QStringLiteral("R (米)"), 1},
                 {QStringLiteral("Ls1 (米)"), 0.9},
                 {QStringLiteral("Ls2 (米)"), 0.9},
                 {QStringLiteral("转角 α"), 1.2},
                 {QStringLiteral("T1 (米)"), 1},
                 {QStringLiteral("T2 (米)"), 1},
                 {QStringLiteral("曲线长 L (米)"), 1},
                 {QStringLiteral("外距 E (米)"), 0.9}},
                rows, 7.5);
        s.Space(2);
    } else {
        s.Paragraph(QStringLiteral("线元表："));
        std::vector<TableRow> rows;
        const Alignment& line = road.road.Line();
        const auto radius = [](double k) { return k == 0 ? QStringLiteral("∞") : Fixed(1 / std::abs(k)); };
        for (std::size_t i = 0; i < line.ElementCount(); ++i) {
            const Element& e = line.ElementAt(i);
            const double k = e.k0 != 0 ? e.k0 : e.k1;
            rows.push_back({{QString::number(i + 1), Q(ChainageCell(road.road, line.ElementStart(i))), Fixed(e.length),
                             radius(e.k0), radius(e.k1), k > 0 ? QStringLiteral("右") : k < 0 ? QStringLiteral("左") : QString()},
                            false});
        }
        s.Table({{QStringLiteral("线元"), 0.6, Qt::AlignLeft},
                 {QStringLiteral("起点桩号"), 1.5},
                 {QStringLiteral("长度 (米)"), 1.2},
                 {QStringLiteral("起点半径 (米)"), 1.2},
                 {QStringLiteral("终点半径 (米)"), 1.2},
                 {QStringLiteral("偏向"), 0.6, Qt::AlignHCenter}},
                rows);
        s.Space(2);
    }
    s.Paragraph(QStringLiteral("主点桩号及座标："));
    std::vector<TableRow> rows;
    for (const MainPointRow& m : road.mainPoints) {
        const Station st = road.road.Line().At(m.distance);
        rows.push_back({{Q(m.jd), Q(m.point), Q(ChainageCell(road.road, m.distance)), Fixed(st.X), Fixed(st.Y),
                         Q(DmsText(st.azimuth))},
                        false});
    }
    s.Table({{QStringLiteral("交点"), 0.8, Qt::AlignLeft},
             {QStringLiteral("主点"), 0.7, Qt::AlignLeft},
             {QStringLiteral("桩号"), 1.5},
             {QStringLiteral("X (米)"), 1.3},
             {QStringLiteral("Y (米)"), 1.3},
             {QStringLiteral("切线方位角"), 1.2}},
            rows);
}

void PierRows(Sheet& s, const PierTable& table) {
    s.Heading(QStringLiteral("三、盖梁中桩及端点座标"));
    if (table.Empty()) {
        s.Paragraph(QStringLiteral("计算记录中还没有盖梁。"));
        return;
    }
    const SideWords sides = SideWordsOf(table);
    const auto side = [&](const char* title) { return Q(WithSideWords(title, sides)); };
    std::vector<TableRow> rows;
    for (const PierGroup& g : table.Groups()) {
        if (g.rows.empty() && g.refused.empty()) continue;
        rows.push_back({{Q(g.header)}, true});
        for (const PierLine& line : LinesOf(g)) {
            if (line.refused) {
                // A beam that does not stand on its road has no numbers: the sheet says why, across the row.
                rows.push_back({{QStringLiteral("%1  %2  作废（没有座标，不放样）：%3")
                                     .arg(line.refused->number)
                                     .arg(Q(line.refused->KpText), Q(line.refused->why))},
                                true});
                continue;
            }
            const PierRow& r = *line.row;
            const BeamEnds& e = r.ends;
            rows.push_back({{QString::number(r.number), r.orientation == Orientation::Tangent ? QStringLiteral("切线") : QStringLiteral("平行"),
                             Q(r.Text(PierColumn::Kp)), Fixed(e.Xk), Fixed(e.Yk), Q(r.Text(PierColumn::Kin)), Fixed(e.Xin),
                             Fixed(e.Yin), Fixed(e.Lin), Q(r.Text(PierColumn::Kout)), Fixed(e.Xout), Fixed(e.Yout),
                             Fixed(e.Lout)},
                            false});
        }
    }
    s.Table({{QStringLiteral("序号"), 0.55, Qt::AlignHCenter},
             {QStringLiteral("方向"), 0.55, Qt::AlignHCenter},
             {QStringLiteral("中桩桩号 Kp"), 1.25},
             {QStringLiteral("中桩 X"), 1.05},
             {QStringLiteral("中桩 Y"), 1.05},
             {side("内侧桩号 K"), 1.25},
             {side("内侧 X"), 1.05},
             {side("内侧 Y"), 1.05},
             {side("内侧长 L"), 0.8},
             {side("外侧桩号 K"), 1.25},
             {side("外侧 X"), 1.05},
             {side("外侧 Y"), 1.05},
             {side("外侧长 L"), 0.8}},
            rows, 6.5);
    s.Paragraph(QStringLiteral("座标、长度单位为米。"));
}

void Points(Sheet& s, const std::vector<SitePoint>& points) {
    s.Heading(QStringLiteral("四、盖梁上各点座标"));
    if (points.empty()) {
        s.Paragraph(QStringLiteral("本作业没有设盖梁上的点（墩柱、支座、桩基、护桩）。"));
        return;
    }
    // Two points a line, so that a long list takes half the pages.
    std::vector<TableRow> rows;
    const std::size_t half = (points.size() + 1) / 2;
    for (std::size_t i = 0; i < half; ++i) {
        QStringList cells{QString::number(i + 1), Q(points[i].name), Fixed(points[i].X), Fixed(points[i].Y)};
        if (i + half < points.size()) {
            const SitePoint& q = points[i + half];
            cells << QString::number(i + half + 1) << Q(q.name) << Fixed(q.X) << Fixed(q.Y);
        }
        rows.push_back({cells, false});
    }
    const std::vector<Column> one{{QStringLiteral("序号"), 0.5, Qt::AlignHCenter},
                                  {QStringLiteral("点名"), 1.3, Qt::AlignLeft},
                                  {QStringLiteral("X (米)"), 1.1},
                                  {QStringLiteral("Y (米)"), 1.1}};
    std::vector<Column> columns = one;
    columns.insert(columns.end(), one.begin(), one.end());
    s.Table(columns, rows);
}

void Stakeout(Sheet& s, const SheetInputs& in) {
    s.Heading(QStringLiteral("五、设站放样数据"));
    if (in.stakeout.empty()) {
        s.Paragraph(QStringLiteral("本作业没有设站放样数据。"));
        return;
    }
    if (!in.station.empty()) s.Paragraph(Q(in.station));
    std::vector<TableRow> rows;
    int n = 0;
    for (const StakeoutRow& r : in.stakeout)
        rows.push_back({{QString::number(++n), Q(r.name), Q(DmsText(r.azimuth)), Q(DmsText(r.angle)), Fixed(r.distance)}, false});
    s.Table({{QStringLiteral("序号"), 0.5, Qt::AlignHCenter},
             {QStringLiteral("点名"), 1.5, Qt::AlignLeft},
             {QStringLiteral("方位角 (度.分秒)"), 1.3},
             {QStringLiteral("水平角 (度.分秒)"), 1.3},
             {QStringLiteral("平距 (米)"), 1.1}},
            rows);
}

void Body(Sheet& s, const SheetInputs& in) {
    static const PierTable kEmpty;
    const PierTable& table = in.table ? *in.table : kEmpty;
    s.Title(QStringLiteral("盖梁端点坐标计算书"));
    s.Space(2);
    s.Text(QStringLiteral("作业：%1").arg(Q(in.title)), SheetFont(10), Qt::AlignHCenter);
    s.Text(QStringLiteral("计算日期：%1    计算程序：capbeam %2").arg(Q(in.date), QStringLiteral(CAPBEAM_VERSION)), SheetFont(9),
           Qt::AlignHCenter);
    s.Space(2);
    Conventions(s);
    s.Heading(QStringLiteral("二、输入数据"));
    SingleCurveInputs(s, table);
    const bool onRoad = std::any_of(table.Groups().begin(), table.Groups().end(),
                                    [](const PierGroup& g) { return g.kind == GroupKind::Alignment; });
    if (in.road) AlignmentInputs(s, *in.road);
    else if (onRoad) s.Paragraph(QStringLiteral("（计算记录中有整条线形上的盖梁，但没有给出线形，交点表从略。）"));
    if (table.Groups().empty()) s.Paragraph(QStringLiteral("作业中还没有完成的“进行计算”。"));
    PierRows(s, table);
    Points(s, in.points);
    Stakeout(s, in);
    s.NewPage();
    s.Heading(QStringLiteral("六、平面图"));
    const bool alignmentLast = !table.Groups().empty() && table.Groups().back().kind == GroupKind::Alignment;
    s.Paragraph(alignmentLast && in.road
                    ? QStringLiteral("整条线形的中线（点划线）、路基边线、主点和其上的盖梁（编号同计算结果表），盖梁上各点以 × 表示。")
                    : QStringLiteral("最近一次“进行计算”的平曲线：中线（点划线）、路基边线、设计盖梁中桩 J 及设计盖梁（蓝色），"
                                     "在这条平曲线上计算的盖梁（编号同计算结果表），盖梁上各点以 × 表示。"));
    s.Space(1);
    s.Plan(std::min(215.0, s.Room() / s.Mm(1) - 40));
    s.Signatures();
}

}  // namespace

int PaintSheet(QPagedPaintDevice& device, const SheetInputs& inputs) {
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter));
    Sheet measure(device, nullptr, inputs, 0);
    Body(measure, inputs);
    const int pages = measure.Pages();
    QPainter painter(&device);
    painter.setRenderHint(QPainter::Antialiasing);
    Sheet sheet(device, &painter, inputs, pages);
    Body(sheet, inputs);
    return pages;
}

namespace {

std::string FileProblem(const QString& path, QFileDevice::FileError error) {
    std::string why;
    switch (error) {
        case QFileDevice::OpenError:
        case QFileDevice::PermissionsError:
            why = "无法在这里创建文件：文件夹不存在、没有写入权限，或同名文件正被其他程序（例如 PDF 阅读器）打开";
            break;
        case QFileDevice::RenameError: why = "无法替换原有的同名文件：它可能是只读的，或正被其他程序打开"; break;
        default: why = "写入时出错：磁盘可能已满、已写保护或已被拔出"; break;
    }
    return "计算书没有写到“" + QDir::toNativeSeparators(path).toStdString() + "”：" + why +
           "。请关闭占用该文件的程序，或换一个文件夹或文件名后再试。";
}

}  // namespace

void WriteSheetPdf(const QString& path, const SheetInputs& inputs) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) throw Failure(ErrorKind::InvalidOperation, FileProblem(path, file.error()));
    {
        QPdfWriter writer(&file);
        writer.setResolution(600);
        writer.setTitle(QStringLiteral("盖梁端点坐标计算书 ") + Q(inputs.title));
        writer.setCreator(QStringLiteral("capbeam"));
        PaintSheet(writer, inputs);
    }
    if (!file.flush() || file.error() != QFileDevice::NoError || !file.commit()) {
        const QFileDevice::FileError error = file.error();
        file.cancelWriting();
        throw Failure(ErrorKind::InvalidOperation, FileProblem(path, error));
    }
}

}  // namespace capbeam

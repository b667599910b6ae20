#include "app/plan_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <utility>

#include "app/plan_beams.h"
#include "core/text_formats.h"

namespace capbeam {

namespace {

constexpr double kFitMargin = 24;
const QColor kBackground(252, 252, 248);
const QColor kEdgeColour(90, 90, 90);
const QColor kCentreColour(150, 150, 150);
const QColor kDesignColour(30, 90, 200);
const QColor kSitePointColour(0, 120, 60);  // the points along the beams
const QColor kTickColour(110, 110, 110);
// Ticks at least this far apart on screen, chainages far enough apart for
// their text ("K 12+ 340" is about 60 pixels wide).
constexpr double kTickPixels = 10;
constexpr double kTickLabelPixels = 90;
// The gap between a beam's outer end and its number.
constexpr double kLabelGap = 4;

QColor ColourOf(const BeamStyle& style) { return {style.red, style.green, style.blue}; }

QRectF RectOf(const ScreenRect& r) { return {r.left, r.top, r.width, r.height}; }

void DrawEndMark(QPainter& painter, const QPointF& at, EndMark mark, double half) {
    if (mark == EndMark::Square)
        painter.drawRect(QRectF(at.x() - half, at.y() - half, 2 * half, 2 * half));
    else
        painter.drawEllipse(at, half, half);
}

bool Shows(const PlanScene& scene, Orientation orientation) {
    return std::any_of(scene.beams.begin(), scene.beams.end(),
                       [orientation](const PlanBeam& beam) { return beam.orientation == orientation; });
}

QString OrientationName(Orientation orientation) {
    return orientation == Orientation::Tangent ? QStringLiteral("与切线保持交角 B") : QStringLiteral("平行于设计盖梁");
}

}  // namespace

PlanView::PlanView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PlanView"));
    setAccessibleName(QStringLiteral("平面图"));
    setAccessibleDescription(QStringLiteral("路中线、路基两侧边缘、设计盖梁和已计算的盖梁，上北下南"));
    setToolTip(QStringLiteral("滚轮或 +、- 键缩放，按住左键拖动或用方向键平移，双击或按 0 显示全图；"
                              "鼠标所指处的桩号、偏距和座标显示在左上角"));
    setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);  // the read-out follows the mouse without a button held
}

void PlanView::SetScene(PlanScene scene) {
    scene_ = std::move(scene);
    FitToView();
}

void PlanView::FitToView() {
    transform_ = PlanTransform::Fit(scene_.bounds, width(), height(), kFitMargin);
    fitted_ = true;
    update();
    if (!pointerText_.isEmpty()) Point(pointer_);
}

QPointF PlanView::ToScreen(const WorldPoint& p) const {
    const ScreenPoint s = transform_.ToScreen(p);
    return {s.x, s.y};
}

std::vector<PlanView::DrawnBeam> PlanView::DrawnBeams() const {
    std::vector<DrawnBeam> drawn;
    drawn.reserve(scene_.beams.size());
    for (const PlanBeam& beam : scene_.beams)
        drawn.push_back({beam.number, ToScreen(beam.centre), ToScreen(beam.inner), ToScreen(beam.outer), beam.latest,
                         beam.orientation});
    return drawn;
}

std::vector<ChainageTick> PlanView::VisibleTicks() const {
    if (!scene_.hasCurve) return {};
    double Kfrom = scene_.Kfrom, Kto = scene_.Kto;
    // A point of the centre line on the view is within the view's diagonal D
    // of the foot of the view centre's radius, so its chainage within pi D / 2
    // of that foot's (an arc is at most pi / 2 times its chord; 1.6 D leaves
    // a little room): ticks further along could not show, however long the
    // drawn arc, and a close zoom on a long arc stays quick.
    const double D = std::hypot(width(), height()) / transform_.PixelsPerMetre();
    const WorldPoint middle = transform_.ToWorld({width() / 2.0, height() / 2.0});
    if (const auto foot = LocateOnCurve(scene_.curve, scene_.design, middle.X, middle.Y, (Kfrom + Kto) / 2)) {
        Kfrom = std::max(Kfrom, foot->K - 1.6 * D);
        Kto = std::min(Kto, foot->K + 1.6 * D);
    }
    if (Kto < Kfrom) return {};
    return ChainageTicks(scene_.curve, scene_.design, Kfrom, Kto, transform_.PixelsPerMetre(), kTickPixels, kTickLabelPixels);
}

ScreenRect PlanView::LegendBox() const {
    const QFontMetrics metrics = fontMetrics();
    int lines = 1;  // the design beam
    double widest = metrics.horizontalAdvance(QStringLiteral("设计盖梁"));
    for (const Orientation o : {Orientation::Parallel, Orientation::Tangent})
        if (Shows(scene_, o)) {
            ++lines;
            widest = std::max(widest, static_cast<double>(metrics.horizontalAdvance(OrientationName(o))));
        }
    if (!scene_.sitePoints.empty()) {
        ++lines;
        widest = std::max(widest, static_cast<double>(metrics.horizontalAdvance(QStringLiteral("放样点"))));
    }
    const double w = widest + 40, h = lines * (metrics.height() + 2) + 8;
    return {width() - w - 6, height() - h - 6, w, h};
}

std::vector<ScreenRect> PlanView::Marks() const {
    std::vector<ScreenRect> marks;
    const QPointF J = ToScreen(scene_.J);
    marks.push_back({J.x() - 20, J.y() - 20, 26, 26});  // the square and its letter
    marks.push_back({width() - 40.0, 0, 40, 52});        // the north arrow
    marks.push_back({0, height() - 40.0, width() / 4.0 + 80, 40});  // the scale bar
    marks.push_back(LegendBox());
    return marks;
}

std::vector<PlanView::DrawnLabel> PlanView::Labels() const {
    std::vector<DrawnLabel> labels;
    if (!scene_.hasCurve) return labels;
    const QFontMetrics metrics = fontMetrics();
    const QRectF view(rect());
    const std::vector<DrawnBeam> beams = DrawnBeams();
    // The latest beam first, then the newest: they keep their numbers. Of
    // many beams only the first in each label-sized cell is measured.
    std::vector<std::size_t> order(beams.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = beams.size() - 1 - i;
    if (beams.size() > kMarkedBeamsAtMost) order = ThinnedBeamLabels(beams, metrics, view, kLabelGap);
    for (const std::size_t i : order) {
        const DrawnBeam* beam = &beams[i];
        const QString text = QString::number(beam->number);
        const ScreenRect box = LabelBeyond({beam->inner.x(), beam->inner.y()}, {beam->outer.x(), beam->outer.y()},
                                           metrics.horizontalAdvance(text) + 2, metrics.height(), kLabelGap);
        if (view.contains(RectOf(box))) labels.push_back({text, box, true});
    }
    // The chainages on the inner side, beyond the inner edge.
    const double pixels = transform_.PixelsPerMetre();
    const double beyond = scene_.Dr.value_or(0) * pixels + 10;
    for (const ChainageTick& tick : VisibleTicks()) {
        if (!tick.labelled) continue;
        const QString text = QString::fromStdString(ChainageText(tick.K, ChainageForm::Computed));
        const QPointF at = ToScreen(tick.at);
        // Screen y runs south: the inward vector's northing turns round.
        const QPointF inward(tick.inward.Y, -tick.inward.X);
        const ScreenPoint from{at.x(), at.y()};
        const ScreenPoint towards{at.x() - inward.x(), at.y() - inward.y()};
        const double w = metrics.horizontalAdvance(text) + 2, h = metrics.height();
        const ScreenRect box = LabelBeyond(towards, from, w, h, beyond);
        if (view.contains(RectOf(box))) labels.push_back({text, box, false});
    }
    std::vector<ScreenRect> boxes;
    for (const DrawnLabel& label : labels) boxes.push_back(label.box);
    const std::vector<bool> keep = KeepClearLabels(boxes, Marks());
    std::vector<DrawnLabel> kept;
    for (std::size_t i = 0; i < labels.size(); ++i)
        if (keep[i]) kept.push_back(labels[i]);
    return kept;
}

QString PlanView::PointerTextAt(const PlanScene& scene, const WorldPoint& p) {
    if (!scene.hasCurve) return {};
    const auto station = LocateOnCurve(scene.curve, scene.design, p.X, p.Y, (scene.Kfrom + scene.Kto) / 2);
    const auto number = [](double value) { return QString::fromStdString(NumberText(Round3(value))); };
    const QString where = QStringLiteral("X %1  Y %2").arg(number(p.X), number(p.Y));
    if (!station) return where;
    const double offset = Round3(station->offset);
    const QString side = offset > 0   ? QStringLiteral("外侧 %1 米").arg(number(offset))
                         : offset < 0 ? QStringLiteral("内侧 %1 米").arg(number(-offset))
                                      : QStringLiteral("0 米（中线上）");
    return QStringLiteral("桩号 %1  偏距 %2  %3")
        .arg(QString::fromStdString(ChainageText(station->K, ChainageForm::Computed)), side, where);
}

void PlanView::Point(const QPointF& at) {
    pointer_ = at;
    const QString text = PointerTextAt(scene_, transform_.ToWorld({at.x(), at.y()}));
    if (text == pointerText_) return;
    pointerText_ = text;
    update();
}

void PlanView::DrawPolyline(QPainter& painter, const std::vector<WorldPoint>& line) const {
    if (line.size() < 2) return;
    QPainterPath path(ToScreen(line.front()));
    for (std::size_t i = 1; i < line.size(); ++i) path.lineTo(ToScreen(line[i]));
    painter.drawPath(path);
}

void PlanView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), kBackground);
    // The frame shows when the keys zoom and pan the plan.
    painter.setPen(hasFocus() ? QPen(palette().color(QPalette::Highlight), 2) : QPen(QColor(200, 200, 200), 1));
    painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));

    if (scene_.alignment) {
        DrawAlignment(painter);
        return DrawSitePoints(painter);
    }
    if (!scene_.hasCurve) {
        painter.setPen(QColor(110, 110, 110));
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
                         QStringLiteral("按“进行计算”输入平曲线后，这里显示平面图"));
        return;
    }

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kEdgeColour, 1.5));
    DrawPolyline(painter, scene_.innerEdge);
    DrawPolyline(painter, scene_.outerEdge);
    painter.setPen(QPen(kCentreColour, 1, Qt::DashDotLine));
    DrawPolyline(painter, scene_.centreLine);

    // The design beam under the computed ones, J over them.
    painter.setPen(QPen(kDesignColour, 1.5, Qt::DashLine));
    painter.drawLine(ToScreen(scene_.designInner), ToScreen(scene_.designOuter));

    const std::vector<ChainageTick> ticks = VisibleTicks();
    DrawTicks(painter, ticks);

    // The beams, the latest last so it lies on top; the orientation in the
    // colour and the end marks' shape.
    // Thousands of beams stay quick to draw: those off the view are skipped,
    // and beyond a few thousand the ends go unmarked.
    const std::vector<DrawnBeam> beams = DrawnBeams();
    DrawPlanBeams(painter, beams, rect());

    const QPointF J = ToScreen(scene_.J);
    painter.setPen(QPen(kDesignColour, 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(J.x() - 4, J.y() - 4, 8, 8));
    painter.drawText(J + QPointF(-16, -6), QStringLiteral("J"));

    // Beam numbers in their beam's colour, chainages in the ticks'.
    // Beams are in table order, their numbers rising.
    const auto colourOf = [&beams](int number) {
        const auto beam = std::lower_bound(beams.begin(), beams.end(), number,
                                           [](const DrawnBeam& b, int n) { return b.number < n; });
        return beam == beams.end() ? kTickColour : ColourOf(StyleOf(beam->orientation, beam->latest));
    };
    for (const DrawnLabel& label : Labels()) {
        painter.setPen(label.beam ? colourOf(label.text.toInt()) : kTickColour);
        painter.drawText(RectOf(label.box), Qt::AlignCenter, label.text);
    }

    DrawSitePoints(painter);
    DrawLegend(painter);
    DrawScaleBar(painter);
    DrawNorthArrow(painter);
    DrawPointerText(painter);
}

void PlanView::DrawSitePoints(QPainter& painter) const {
    // A small cross each; the names once the view is close enough for them
    // not to crowd (a label's height is about half a metre or more).
    const bool named = transform_.PixelsPerMetre() >= 2 * fontMetrics().height();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kSitePointColour, 1.2));
    const QRectF view = QRectF(rect()).adjusted(-4, -4, 4, 4);
    for (const SitePoint& p : scene_.sitePoints) {
        const QPointF at = ToScreen(WorldPoint{p.X, p.Y});
        if (!view.contains(at)) continue;
        painter.drawLine(at + QPointF(-3, -3), at + QPointF(3, 3));
        painter.drawLine(at + QPointF(-3, 3), at + QPointF(3, -3));
        if (named) painter.drawText(at + QPointF(5, -4), QString::fromUtf8(p.name.data(), static_cast<int>(p.name.size())));
    }
}

void PlanView::DrawTicks(QPainter& painter, const std::vector<ChainageTick>& ticks) const {
    painter.setPen(QPen(kTickColour, 1));
    for (const ChainageTick& tick : ticks) {
        const QPointF at = ToScreen(tick.at);
        const QPointF inward(tick.inward.Y, -tick.inward.X);  // screen y runs south
        const double half = tick.labelled ? 6 : 3;
        painter.drawLine(at - inward * half, at + inward * half);
    }
}

void PlanView::DrawLegend(QPainter& painter) const {
    const ScreenRect box = LegendBox();
    painter.setPen(QPen(QColor(200, 200, 200), 1));
    painter.setBrush(QColor(255, 255, 255, 220));
    painter.drawRect(RectOf(box));
    const double line = fontMetrics().height() + 2;
    double y = box.top + 4 + line / 2;
    const auto entry = [&](const QString& text) {
        painter.setPen(Qt::black);
        painter.drawText(QRectF(box.left + 34, y - line / 2, box.width - 36, line), Qt::AlignLeft | Qt::AlignVCenter,
                         text);
        y += line;
    };
    painter.setPen(QPen(kDesignColour, 1.5, Qt::DashLine));
    painter.drawLine(QPointF(box.left + 6, y), QPointF(box.left + 28, y));
    entry(QStringLiteral("设计盖梁"));
    for (const Orientation o : {Orientation::Parallel, Orientation::Tangent}) {
        if (!Shows(scene_, o)) continue;
        const BeamStyle style = StyleOf(o, false);
        painter.setPen(QPen(ColourOf(style), 1.5));
        painter.drawLine(QPointF(box.left + 6, y), QPointF(box.left + 28, y));
        painter.setPen(Qt::NoPen);
        painter.setBrush(ColourOf(style));
        for (const double x : {box.left + 6, box.left + 28}) DrawEndMark(painter, QPointF(x, y), style.mark, 3.0);
        painter.setBrush(Qt::NoBrush);
        entry(OrientationName(o));
    }
    if (!scene_.sitePoints.empty()) {
        painter.setPen(QPen(kSitePointColour, 1.2));
        const QPointF at(box.left + 17, y);
        painter.drawLine(at + QPointF(-3, -3), at + QPointF(3, 3));
        painter.drawLine(at + QPointF(-3, 3), at + QPointF(3, -3));
        entry(QStringLiteral("放样点"));
    }
}

void PlanView::DrawPointerText(QPainter& painter) const {
    if (pointerText_.isEmpty()) return;
    const QFontMetrics metrics = fontMetrics();
    const QRectF box(6, 6, metrics.horizontalAdvance(pointerText_) + 12, metrics.height() + 6);
    painter.setPen(QPen(QColor(200, 200, 200), 1));
    painter.setBrush(QColor(255, 255, 255, 230));
    painter.drawRect(box);
    painter.setPen(Qt::black);
    painter.drawText(box, Qt::AlignCenter, pointerText_);
}

void PlanView::DrawScaleBar(QPainter& painter) const {
    const double metres = ScaleBarMetres(transform_.PixelsPerMetre(), width() / 4.0);
    if (!(metres > 0)) return;
    const double pixels = metres * transform_.PixelsPerMetre();
    const QPointF start(12, height() - 14);
    const QPointF end = start + QPointF(pixels, 0);
    painter.setPen(QPen(Qt::black, 1.5));
    painter.drawLine(start, end);
    painter.drawLine(start, start - QPointF(0, 5));
    painter.drawLine(end, end - QPointF(0, 5));
    painter.drawText(QRectF(start.x(), start.y() - 22, std::max(pixels, 80.0), 16), Qt::AlignLeft | Qt::AlignBottom,
                     QString::fromStdString(NumberText(metres)) + QStringLiteral(" 米"));
}

void PlanView::DrawNorthArrow(QPainter& painter) const {
    const QPointF tip(width() - 22, 10);
    QPainterPath arrow(tip);
    arrow.lineTo(tip + QPointF(7, 22));
    arrow.lineTo(tip + QPointF(0, 16));
    arrow.lineTo(tip + QPointF(-7, 22));
    arrow.closeSubpath();
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::black);
    painter.drawPath(arrow);
    painter.drawText(QRectF(tip.x() - 15, tip.y() + 23, 30, 18), Qt::AlignCenter, QStringLiteral("北"));
}

void PlanView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (fitted_) FitToView();
}

void PlanView::wheelEvent(QWheelEvent* event) {
    const double steps = event->angleDelta().y() / 120.0;
    if (steps == 0) return;
    const QPointF at = event->position();
    transform_.ZoomAbout({at.x(), at.y()}, std::pow(1.25, steps));
    fitted_ = false;
    update();
    Point(at);
    event->accept();
}

void PlanView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    dragging_ = true;
    lastDrag_ = event->position();
    setCursor(Qt::ClosedHandCursor);
}

void PlanView::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_) {
        const QPointF delta = event->position() - lastDrag_;
        lastDrag_ = event->position();
        transform_.Pan(delta.x(), delta.y());
        fitted_ = false;
        update();
    }
    Point(event->position());
}

void PlanView::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    pointerText_.clear();
    update();
}

void PlanView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    dragging_ = false;
    unsetCursor();
}

void PlanView::mouseDoubleClickEvent(QMouseEvent*) { FitToView(); }

void PlanView::keyPressEvent(QKeyEvent* event) {
    constexpr double kStep = 40;  // pixels per arrow key
    const ScreenPoint middle{width() / 2.0, height() / 2.0};
    switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal: transform_.ZoomAbout(middle, 1.25); break;
        case Qt::Key_Minus: transform_.ZoomAbout(middle, 1 / 1.25); break;
        case Qt::Key_Left: transform_.Pan(kStep, 0); break;
        case Qt::Key_Right: transform_.Pan(-kStep, 0); break;
        case Qt::Key_Up: transform_.Pan(0, kStep); break;
        case Qt::Key_Down: transform_.Pan(0, -kStep); break;
        case Qt::Key_0: FitToView(); return;
        default: QWidget::keyPressEvent(event); return;
    }
    fitted_ = false;
    update();
    if (!pointerText_.isEmpty()) Point(pointer_);  // the plan moved under the mouse
}

}  // namespace capbeam

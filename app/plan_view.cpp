#include "app/plan_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <cmath>
#include <utility>

#include "core/text_formats.h"

namespace capbeam {

namespace {

constexpr double kFitMargin = 24;
const QColor kBackground(252, 252, 248);
const QColor kEdgeColour(90, 90, 90);
const QColor kCentreColour(150, 150, 150);
const QColor kDesignColour(30, 90, 200);
const QColor kBeamColour(120, 80, 40);
const QColor kLatestColour(220, 30, 30);

}  // namespace

PlanView::PlanView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PlanView"));
    setAccessibleName(QStringLiteral("平面图"));
    setAccessibleDescription(QStringLiteral("路中线、路基两侧边缘、设计盖梁和已计算的盖梁，上北下南"));
    setToolTip(QStringLiteral("滚轮或 +、- 键缩放，按住左键拖动或用方向键平移，双击或按 0 显示全图"));
    setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
}

void PlanView::SetScene(PlanScene scene) {
    scene_ = std::move(scene);
    FitToView();
}

void PlanView::FitToView() {
    transform_ = PlanTransform::Fit(scene_.bounds, width(), height(), kFitMargin);
    fitted_ = true;
    update();
}

QPointF PlanView::ToScreen(const WorldPoint& p) const {
    const ScreenPoint s = transform_.ToScreen(p);
    return {s.x, s.y};
}

std::vector<PlanView::DrawnBeam> PlanView::DrawnBeams() const {
    std::vector<DrawnBeam> drawn;
    drawn.reserve(scene_.beams.size());
    for (const PlanBeam& beam : scene_.beams)
        drawn.push_back({beam.number, ToScreen(beam.centre), ToScreen(beam.inner), ToScreen(beam.outer), beam.latest});
    return drawn;
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

    // The beams, the latest last so it lies on top.
    // Thousands of beams stay quick to draw: those off the view are skipped,
    // and beyond a few thousand the ends go unmarked.
    const std::vector<DrawnBeam> beams = DrawnBeams();
    const bool label = beams.size() <= 40;
    const bool mark = beams.size() <= 2000;
    const QRectF visible = QRectF(rect()).adjusted(-4, -4, 4, 4);
    for (const DrawnBeam& beam : beams) {
        if (!visible.intersects(QRectF(beam.inner, beam.outer).normalized().adjusted(-1, -1, 1, 1))) continue;
        const QColor colour = beam.latest ? kLatestColour : kBeamColour;
        painter.setPen(QPen(colour, beam.latest ? 2.5 : 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawLine(beam.inner, beam.outer);
        if (!mark && !beam.latest) continue;
        painter.setBrush(colour);
        painter.setPen(Qt::NoPen);
        for (const QPointF& end : {beam.inner, beam.outer}) painter.drawEllipse(end, 3.0, 3.0);
        painter.setBrush(Qt::white);
        painter.setPen(QPen(colour, 1));
        painter.drawEllipse(beam.centre, 2.0, 2.0);
        if (label) {
            painter.setPen(colour);
            painter.drawText(beam.outer + QPointF(5, 4), QString::number(beam.number));
        }
    }

    const QPointF J = ToScreen(scene_.J);
    painter.setPen(QPen(kDesignColour, 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(J.x() - 4, J.y() - 4, 8, 8));
    painter.drawText(J + QPointF(-16, -6), QStringLiteral("J"));

    DrawScaleBar(painter);
    DrawNorthArrow(painter);
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
    event->accept();
}

void PlanView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    dragging_ = true;
    lastDrag_ = event->position();
    setCursor(Qt::ClosedHandCursor);
}

void PlanView::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) return QWidget::mouseMoveEvent(event);
    const QPointF delta = event->position() - lastDrag_;
    lastDrag_ = event->position();
    transform_.Pan(delta.x(), delta.y());
    fitted_ = false;
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
}

}  // namespace capbeam

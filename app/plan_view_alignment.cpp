#include <QPainter>

#include "app/plan_view.h"
#include "records/plan_alignment.h"

namespace capbeam {

// The alignment's plan, drawn instead of the single curve's.
void PlanView::DrawAlignment(QPainter& painter) const {
    const PlanAlignment& a = *scene_.alignment;
    if (a.centreLine.empty()) {
        painter.setPen(QColor(110, 110, 110));
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
                         QStringLiteral("在下面“道路线形”页输入、粘贴或打开线形后，这里显示整条路线"));
        return;
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(90, 90, 90), 1.5));
    DrawPolyline(painter, a.leftEdge);
    DrawPolyline(painter, a.rightEdge);
    painter.setPen(QPen(QColor(120, 120, 120), 1, Qt::DashDotLine));
    DrawPolyline(painter, a.centreLine);

    // Beams off the view are skipped, so that a long batch stays quick to draw.
    const QRectF visible = QRectF(rect()).adjusted(-4, -4, 4, 4);
    for (const DrawnBeam& beam : DrawnBeams()) {
        if (!visible.intersects(QRectF(beam.inner, beam.outer).normalized().adjusted(-1, -1, 1, 1))) continue;
        const BeamStyle style = StyleOf(beam.orientation, beam.latest);
        const QColor colour(style.red, style.green, style.blue);
        painter.setPen(QPen(colour, beam.latest ? 2.5 : 1.5));
        painter.drawLine(beam.inner, beam.outer);
    }

    // Main points: a small circle each, the names where they do not overlap
    // one written before (the first of a crowded bend keeps its name).
    const QFontMetrics metrics = fontMetrics();
    std::vector<ScreenRect> boxes;
    std::vector<QPointF> marks;
    for (const PlanMainPoint& p : a.points) {
        const QPointF at = ToScreen(p.at);
        marks.push_back(at);
        const QString text = QString::fromStdString(p.label);
        boxes.push_back({at.x() + 5, at.y() - metrics.height() - 2, static_cast<double>(metrics.horizontalAdvance(text)) + 2,
                         static_cast<double>(metrics.height())});
    }
    const std::vector<bool> keep = KeepClearLabels(boxes, Marks());
    painter.setPen(QPen(QColor(30, 90, 200), 1.2));
    for (const QPointF& at : marks) painter.drawEllipse(at, 3.0, 3.0);
    for (std::size_t i = 0; i < a.points.size(); ++i)
        if (keep[i]) {
            const ScreenRect& b = boxes[i];
            painter.drawText(QRectF(b.left, b.top, b.width, b.height), Qt::AlignLeft | Qt::AlignVCenter,
                             QString::fromStdString(a.points[i].label));
        }
    DrawScaleBar(painter);
    DrawNorthArrow(painter);
}

}  // namespace capbeam

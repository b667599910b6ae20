#include "app/plan_alignment.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <memory>

#include "app/plan_view.h"

namespace capbeam {

namespace {

// A chord of length c on radius R strays c² / (8R) from the arc: 2 m on a
// 20 m radius is 2.5 cm, far below a pixel at any scale that shows the road.
constexpr double kSampleMetres = 2.0;
constexpr std::size_t kMaxSamples = 20000;

std::vector<WorldPoint> Sampled(const Alignment& line, double offset) {
    const double from = line.StartDistance(), to = line.EndDistance();
    const double step = std::max(kSampleMetres, (to - from) / static_cast<double>(kMaxSamples));
    std::vector<WorldPoint> points;
    for (double s = from;; s += step) {
        const double at = std::min(s, to);
        if (offset == 0) {
            const Station st = line.At(at);
            points.push_back({st.X, st.Y});
        } else {
            const PlanePoint p = line.OffsetPoint(at, offset);
            points.push_back({p.X, p.Y});
        }
        if (at >= to) break;
    }
    return points;
}

}  // namespace

PlanScene AlignmentPlanScene(const LoadedRoad& road, std::optional<double> DL, std::optional<double> DR,
                             const std::vector<const PierRow*>& rows) {
    auto drawing = std::make_shared<PlanAlignment>();
    const Alignment& line = road.road.Line();
    drawing->centreLine = Sampled(line, 0);
    // An edge inside a tight curve folds over itself where the half-width
    // passes the radius; the polyline still shows where the road lies.
    if (DL && *DL > 0) drawing->leftEdge = Sampled(line, -*DL);
    if (DR && *DR > 0) drawing->rightEdge = Sampled(line, *DR);
    for (const MainPointRow& p : road.mainPoints) {
        const Station s = line.At(p.distance);
        drawing->points.push_back({p.jd.empty() ? p.point : p.jd + " " + p.point, {s.X, s.Y}});
    }
    PlanScene scene;
    for (const auto* polyline : {&drawing->centreLine, &drawing->leftEdge, &drawing->rightEdge})
        for (const WorldPoint& p : *polyline) scene.bounds.Add(p);
    for (const PierRow* row : rows) {
        PlanBeam beam;
        beam.number = row->number;
        beam.centre = {row->ends.Xk, row->ends.Yk};
        beam.inner = {row->ends.Xin, row->ends.Yin};
        beam.outer = {row->ends.Xout, row->ends.Yout};
        beam.orientation = row->orientation;
        scene.beams.push_back(beam);
        for (const WorldPoint& p : {beam.inner, beam.outer}) scene.bounds.Add(p);
    }
    if (!scene.beams.empty()) scene.beams.back().latest = true;
    scene.alignment = std::move(drawing);
    return scene;
}

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

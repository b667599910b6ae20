#include "app/plan_beams.h"

#include <QFontMetrics>
#include <QLineF>
#include <QPainter>
#include <QString>
#include <array>
#include <cmath>

#include "records/plan_geometry.h"

namespace capbeam {

namespace {

// Beams closer than this on screen, at both ends, are one line to the eye.
constexpr double kSamePixels = 0.5;

QColor ColourOf(const BeamStyle& style) { return {style.red, style.green, style.blue}; }

void DrawEndMark(QPainter& painter, const QPointF& at, EndMark mark, double half) {
    if (mark == EndMark::Square)
        painter.drawRect(QRectF(at.x() - half, at.y() - half, 2 * half, 2 * half));
    else
        painter.drawEllipse(at, half, half);
}

void DrawBeam(QPainter& painter, const PlanView::DrawnBeam& beam, bool marked) {
    const BeamStyle style = StyleOf(beam.orientation, beam.latest);
    const QColor colour = ColourOf(style);
    painter.setPen(QPen(colour, beam.latest ? 2.5 : 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawLine(beam.inner, beam.outer);
    if (!marked) return;
    painter.setBrush(colour);
    painter.setPen(Qt::NoPen);
    for (const QPointF& end : {beam.inner, beam.outer}) DrawEndMark(painter, end, style.mark, 3.0);
    painter.setBrush(Qt::white);
    painter.setPen(QPen(colour, 1));
    DrawEndMark(painter, beam.centre, style.mark, 2.0);
}

// The style of a beam other than the latest: its orientation.
int Digits(int number) {
    int digits = 1;
    for (; number >= 10 || number <= -10; number /= 10) ++digits;
    return digits;
}

int StyleKey(const PlanView::DrawnBeam& beam) { return beam.latest ? 2 : static_cast<int>(beam.orientation); }

ScreenRect RectOfView(const QRectF& view) { return {view.left(), view.top(), view.width(), view.height()}; }

}  // namespace

void DrawPlanBeams(QPainter& painter, const std::vector<PlanView::DrawnBeam>& beams, const QRectF& view) {
    const QRectF visible = view.adjusted(-4, -4, 4, 4);
    if (beams.size() <= kMarkedBeamsAtMost) {
        for (const PlanView::DrawnBeam& beam : beams)
            if (visible.intersects(QRectF(beam.inner, beam.outer).normalized().adjusted(-1, -1, 1, 1)))
                DrawBeam(painter, beam, true);
        return;
    }
    std::vector<ScreenBeam> onScreen;
    onScreen.reserve(beams.size());
    for (const PlanView::DrawnBeam& beam : beams)
        onScreen.push_back({{beam.inner.x(), beam.inner.y()}, {beam.outer.x(), beam.outer.y()}, StyleKey(beam)});
    // Lines of a style in one call, the latest beam last and marked, on top.
    std::array<QVector<QLineF>, 2> lines;
    const PlanView::DrawnBeam* latest = nullptr;
    for (const std::size_t i : DistinctBeams(onScreen, RectOfView(visible), kSamePixels)) {
        const PlanView::DrawnBeam& beam = beams[i];
        if (beam.latest)
            latest = &beam;
        else
            lines[static_cast<std::size_t>(beam.orientation == Orientation::Tangent)].append(QLineF(beam.inner, beam.outer));
    }
    painter.setBrush(Qt::NoBrush);
    for (const Orientation o : {Orientation::Parallel, Orientation::Tangent}) {
        painter.setPen(QPen(ColourOf(StyleOf(o, false)), 1.5));
        painter.drawLines(lines[static_cast<std::size_t>(o == Orientation::Tangent)]);
    }
    if (latest) DrawBeam(painter, *latest, true);
}

std::vector<std::size_t> ThinnedBeamLabels(const std::vector<PlanView::DrawnBeam>& beams, const QFontMetrics& metrics,
                                           const QRectF& view, double gap) {
    if (beams.empty()) return {};
    // Numbers rise through the table: the first beam's is the narrowest, so
    // a cell that wide holds the centres of labels that surely overlap.
    const double narrowest = metrics.horizontalAdvance(QString::number(beams.front().number)) + 2;
    const double digit = metrics.horizontalAdvance(QLatin1Char('0'));
    // A number is offered only to a beam that stands apart from the beams
    // before and after it in the table by a label's height at least: in a
    // band of beams closer than that, no number says which line is which.
    // The latest beam always keeps its number.
    const double apart = metrics.height();
    const auto separate = [&](std::size_t i, std::size_t j) {
        return std::hypot(beams[i].centre.x() - beams[j].centre.x(), beams[i].centre.y() - beams[j].centre.y()) >= apart;
    };
    std::vector<ScreenPoint> centres;
    std::vector<std::size_t> offered;  // the beam of each centre
    for (std::size_t k = 0; k < beams.size(); ++k) {
        const std::size_t i = beams.size() - 1 - k;  // the latest first, then the newest
        const PlanView::DrawnBeam& beam = beams[i];
        const bool alone = beam.latest || ((i == 0 || separate(i, i - 1)) && (i + 1 == beams.size() || separate(i, i + 1)));
        if (!alone) continue;
        const double width = digit * Digits(beam.number) + 2;
        const ScreenRect box = LabelBeyond({beam.inner.x(), beam.inner.y()}, {beam.outer.x(), beam.outer.y()}, width,
                                           metrics.height(), gap);
        centres.push_back({box.left + box.width / 2, box.top + box.height / 2});
        offered.push_back(i);
    }
    std::vector<std::size_t> order = OnePerCell(centres, RectOfView(view), narrowest, metrics.height());
    for (std::size_t& i : order) i = offered[i];
    return order;
}

}  // namespace capbeam

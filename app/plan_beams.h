#pragma once

#include <QRectF>
#include <cstddef>
#include <vector>

#include "app/plan_detail.h"
#include "app/plan_view.h"

class QFontMetrics;
class QPainter;

// The plan's beams drawn at the detail their number allows (plan_detail.h):
// a few thousand as before, each with its end marks; beyond that, lines only,
// and of beams that fall on the same pixels only one.

namespace capbeam {

// Draws `beams` (in table order, the latest last) that meet `view`.
void DrawPlanBeams(QPainter& painter, const std::vector<PlanView::DrawnBeam>& beams, const QRectF& view);

// The beams worth trying a number for, the latest first, then the newest:
// those standing a label's height apart from their neighbours in the table
// (and the latest always), one a label-sized cell of `view`, each label
// `gap` beyond its outer end.
std::vector<std::size_t> ThinnedBeamLabels(const std::vector<PlanView::DrawnBeam>& beams, const QFontMetrics& metrics,
                                           const QRectF& view, double gap);

}  // namespace capbeam

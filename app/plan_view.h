#pragma once

#include <QPointF>
#include <QWidget>
#include <vector>

class QPainter;

#include "records/plan_geometry.h"

namespace capbeam {

// The plan of the latest set-up: north up, east right, one scale for both.
// Zooms to fit whenever the record changes; the wheel zooms about the cursor,
// dragging pans and a double click fits again. From the keyboard: + and -
// zoom about the middle, the arrow keys pan, 0 fits again.
class PlanView : public QWidget {
    Q_OBJECT
public:
    explicit PlanView(QWidget* parent = nullptr);

    // A new scene (after a set-up, a request or a batch): shown whole.
    void SetScene(PlanScene scene);
    void FitToView();

    const PlanScene& Scene() const { return scene_; }
    const PlanTransform& Transform() const { return transform_; }

    // Where each beam is drawn on the widget, in the scene's order: the points
    // that paintEvent draws, through the same transform.
    struct DrawnBeam {
        int number = 0;
        QPointF centre, inner, outer;
        bool latest = false;
        Orientation orientation = Orientation::Parallel;
    };
    std::vector<DrawnBeam> DrawnBeams() const;

    // The texts paintEvent writes on the plan besides J: beam numbers (the
    // latest first, then the newest) and the chainages of the labelled ticks,
    // each where it is written, those that would overlap an earlier one, the
    // marks or the legend left out.
    struct DrawnLabel {
        QString text;
        ScreenRect box;
        bool beam = false;  // a beam's number, else a chainage
    };
    std::vector<DrawnLabel> Labels() const;

    // What the plan says about the point under the mouse: its chainage, its
    // offset from the centre line and its X, Y; empty when the mouse is not
    // over the plan or there is no curve.
    QString PointerText() const { return pointerText_; }
    static QString PointerTextAt(const PlanScene& scene, const WorldPoint& p);

    QSize sizeHint() const override { return {480, 300}; }
    QSize minimumSizeHint() const override { return {160, 120}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QPointF ToScreen(const WorldPoint& p) const;
    void DrawPolyline(QPainter& painter, const std::vector<WorldPoint>& line) const;
    void DrawAlignment(QPainter& painter) const;  // app/plan_alignment.cpp
    void DrawScaleBar(QPainter& painter) const;
    void DrawNorthArrow(QPainter& painter) const;
    void DrawTicks(QPainter& painter, const std::vector<ChainageTick>& ticks) const;
    void DrawLegend(QPainter& painter) const;
    void DrawSitePoints(QPainter& painter) const;
    void DrawPointerText(QPainter& painter) const;
    // The ticks on the part of the centre line that can be on the view.
    std::vector<ChainageTick> VisibleTicks() const;
    // Boxes that labels must leave clear: J, the north arrow, the scale bar, the legend.
    std::vector<ScreenRect> Marks() const;
    ScreenRect LegendBox() const;
    void Point(const QPointF& at);

    PlanScene scene_;
    PlanTransform transform_;
    bool fitted_ = true;  // follows the widget's size until the user zooms or pans
    bool dragging_ = false;
    QPointF lastDrag_;
    QString pointerText_;
    QPointF pointer_;
};

}  // namespace capbeam

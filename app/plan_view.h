#pragma once

#include <QPointF>
#include <QWidget>
#include <vector>

class QPainter;

#include "app/plan_geometry.h"

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
    };
    std::vector<DrawnBeam> DrawnBeams() const;

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

private:
    QPointF ToScreen(const WorldPoint& p) const;
    void DrawPolyline(QPainter& painter, const std::vector<WorldPoint>& line) const;
    void DrawScaleBar(QPainter& painter) const;
    void DrawNorthArrow(QPainter& painter) const;

    PlanScene scene_;
    PlanTransform transform_;
    bool fitted_ = true;  // follows the widget's size until the user zooms or pans
    bool dragging_ = false;
    QPointF lastDrag_;
};

}  // namespace capbeam

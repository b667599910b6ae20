#pragma once

#include <optional>
#include <vector>

#include "records/pier_table.h"

// What the plan view draws, in world coordinates, and how world coordinates
// become screen pixels. Plain C++ so that tests check the drawing by its
// geometry: the points drawn are the points computed.
//
// World: X is the northing, Y the easting, metres. Screen: x to the right,
// y downwards, pixels. North is up and east is right, one scale for both
// axes, so angles and shapes on screen are true.

namespace capbeam {

struct WorldPoint {
    double X = 0, Y = 0;  // northing, easting
    bool operator==(const WorldPoint& o) const { return X == o.X && Y == o.Y; }
};

struct ScreenPoint {
    double x = 0, y = 0;
};

struct WorldBounds {
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    bool empty = true;
    void Add(const WorldPoint& p);
};

// World -> screen: a scale (pixels per metre) and the world point shown at a
// screen point.
class PlanTransform {
public:
    PlanTransform() = default;
    PlanTransform(double pixelsPerMetre, WorldPoint centre, ScreenPoint screenCentre);

    // The largest scale that shows `bounds` whole inside a width x height
    // screen with `margin` pixels on every side, centred. Empty bounds or a
    // single point give one pixel per metre.
    static PlanTransform Fit(const WorldBounds& bounds, double width, double height, double margin);

    ScreenPoint ToScreen(const WorldPoint& p) const;
    WorldPoint ToWorld(const ScreenPoint& s) const;
    double PixelsPerMetre() const { return scale_; }

    // Zoom by `factor` keeping the world point under `anchor` where it is.
    void ZoomAbout(const ScreenPoint& anchor, double factor);
    // Move the picture by (dx, dy) pixels.
    void Pan(double dx, double dy);

private:
    double scale_ = 1;
    WorldPoint centre_;
    ScreenPoint screenCentre_;
};

// The length of a scale bar: the largest of 1, 2 or 5 times a power of ten
// metres that is at most `maxPixels` long at `pixelsPerMetre`.
double ScaleBarMetres(double pixelsPerMetre, double maxPixels);

struct PlanBeam {
    int number = 0;  // the row's number in the pier table
    WorldPoint centre, inner, outer;
    bool latest = false;
};

struct PlanScene {
    bool hasCurve = false;
    WorldPoint O;
    double R = 0;
    std::optional<double> Dr;  // from the latest row: how far its outer end lies beyond R
    std::vector<WorldPoint> centreLine, innerEdge, outerEdge;  // arcs, as polylines
    WorldPoint J;
    WorldPoint designInner, designOuter;  // the design beam through J
    std::vector<PlanBeam> beams;          // in table order, the latest last
    WorldBounds bounds;                   // everything above
};

// The scene of the latest set-up: its curve, J and the design beam, and the
// beams of every row computed on that same curve (rows of earlier groups
// with an identical curve included). Arcs span the chainages in use (Kj and
// every drawn beam's end chainages) with a little room either side.
PlanScene BuildPlanScene(const PierTable& table);

}  // namespace capbeam

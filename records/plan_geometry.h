#pragma once

#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "records/pier_table.h"
#include "records/site_points.h"

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
    Orientation orientation = Orientation::Parallel;
};

struct PlanAlignment;  // records/plan_alignment.h

struct PlanScene {
    bool hasCurve = false;
    // A whole alignment drawn instead of the single curve, when set.
    std::shared_ptr<const PlanAlignment> alignment;
    Curve curve;             // the set-up drawn: chainages and the read-out under the mouse
    DesignBeam design;
    double Kfrom = 0, Kto = 0;  // the chainages the centre line is drawn over
    WorldPoint O;
    double R = 0;
    std::optional<double> Dr;  // from the latest row: how far its outer end lies beyond R
    std::vector<WorldPoint> centreLine, innerEdge, outerEdge;  // arcs, as polylines
    WorldPoint J;
    WorldPoint designInner, designOuter;  // the design beam through J
    std::vector<PlanBeam> beams;          // in table order, the latest last
    WorldBounds bounds;                   // everything above
    // The points along the beams (columns, piles, reference stakes ...),
    // drawn over them; not in the bounds.
    std::vector<SitePoint> sitePoints;
};

// The scene of the latest set-up: its curve, J and the design beam, and the
// beams of every row computed on that same curve (rows of earlier groups
// with an identical curve included). Arcs span the chainages in use (Kj and
// every drawn beam's end chainages) with a little room either side.
PlanScene BuildPlanScene(const PierTable& table);

// The chainages a single curve is drawn over: those in use, [Kmin, Kmax],
// with a little road either side, never a whole turn of a curve of radius R.
std::pair<double, double> DrawnChainages(double Kmin, double Kmax, double R);

// A rectangle on screen, pixels; x to the right, y downwards.
struct ScreenRect {
    double left = 0, top = 0, width = 0, height = 0;
    bool Overlaps(const ScreenRect& o) const;
    bool Contains(const ScreenPoint& p) const;
};

// The box of a label `width` x `height` set beyond a beam's outer end, centred
// on the beam's line continued outwards, every point of it at least `gap`
// pixels further out along that line than the end (and one corner exactly
// so): it covers neither the beam nor an end mark smaller than the gap. A
// beam of no length on screen puts it to the right of the end.
ScreenRect LabelBeyond(const ScreenPoint& inner, const ScreenPoint& outer, double width, double height, double gap);

// Which labels to draw, given their boxes in order of importance: a label is
// kept unless it overlaps one kept before it or one of the `taken` boxes
// (marks that must stay readable). The first label is kept whenever it
// overlaps nothing taken, so the latest beam, given first, keeps its number.
std::vector<bool> KeepClearLabels(const std::vector<ScreenRect>& boxes, const std::vector<ScreenRect>& taken = {});

// How a beam is drawn. Its orientation shows in its colour and in the shape
// of its end marks (the shape survives a grey print); the latest beam is red
// and keeps its orientation's shape.
enum class EndMark { Circle, Square };
struct BeamStyle {
    int red = 0, green = 0, blue = 0;
    EndMark mark = EndMark::Circle;
    bool operator==(const BeamStyle& o) const {
        return red == o.red && green == o.green && blue == o.blue && mark == o.mark;
    }
};
BeamStyle StyleOf(Orientation orientation, bool latest);

// A round chainage on the centre line: `at` is its point, `inward` the unit
// vector from it towards O (the side of the inner edge), `labelled` whether
// its chainage is written.
struct ChainageTick {
    double K = 0;
    WorldPoint at, inward;
    bool labelled = false;
};

// The ticks along the centre line between Kfrom and Kto (in either order):
// at the multiples of a step of 1, 2 or 5 times a power of ten metres, the
// least that keeps ticks `tickPixels` apart on screen at `pixelsPerMetre`;
// the labelled ones at the multiples of the least step of 1, 2 or 5 times a
// power of ten that keeps labels `labelPixels` apart and is a multiple of the
// tick step. At most `maxTicks`: more would be too dense to draw, so the
// step grows. Chainages are measured along the centre line, so the screen
// spacing is the arc's (the chord on screen is a little shorter).
std::vector<ChainageTick> ChainageTicks(const Curve& curve, const DesignBeam& design, double Kfrom, double Kto, double pixelsPerMetre,
                                        double tickPixels, double labelPixels, std::size_t maxTicks = 2000);

}  // namespace capbeam

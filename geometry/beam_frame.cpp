#include "geometry/beam_frame.h"

#include <cmath>

#include "core/failure.h"

namespace capbeam {

namespace {

constexpr double kDegree = 3.14159265358979323846 / 180;

}  // namespace

BeamFrame FrameOf(const BeamEnds& ends, double forwardAzimuth) {
    // The axis from the inner (left) end to the outer (right) end; with the
    // road's right-hand normal n = (-sin a, cos a) it tells which end is right.
    const double dX = ends.Xout - ends.Xin;
    const double dY = ends.Yout - ends.Yin;
    const double length = std::hypot(dX, dY);
    if (!(length > 1e-9))
        throw Failure(ErrorKind::Geometry,
                      "这道盖梁的两个端点重合（路基半宽为 0），无法确定盖梁轴线的方向，不能计算轴线上的点。");
    const double nX = -std::sin(forwardAzimuth * kDegree);
    const double nY = std::cos(forwardAzimuth * kDegree);
    const double side = (dX * nX + dY * nY) / length;
    if (!(std::fabs(side) > 1e-12))
        throw Failure(ErrorKind::Geometry, "盖梁轴线与道路前进方向平行，分不出左端和右端。");
    BeamFrame frame;
    frame.Xc = ends.Xk;
    frame.Yc = ends.Yk;
    frame.rightIsOuter = side > 0;
    const double s = frame.rightIsOuter ? 1 : -1;
    frame.ux = s * dX / length;
    frame.uy = s * dY / length;
    // u turned a quarter anticlockwise; since u points to the right of the
    // tangent, this is the sense that points forward along the road.
    frame.vx = frame.uy;
    frame.vy = -frame.ux;
    return frame;
}

double ForwardAzimuthOnCurve(const Curve& curve, double X, double Y) {
    const double dX = X - curve.Xo;
    const double dY = Y - curve.Yo;
    if (dX == 0 && dY == 0) throw Failure(ErrorKind::Geometry, "这一点就在圆心上，没有切线方向。");
    const double radius = std::atan2(dY, dX) / kDegree;
    double forward = radius + (curve.P > 0 ? 90 : -90);
    if (forward < 0) forward += 360;
    if (forward >= 360) forward -= 360;
    return forward;
}

FramePoint PointInFrame(const BeamFrame& f, double along, double across) {
    return {f.Xc + along * f.ux + across * f.vx, f.Yc + along * f.uy + across * f.vy};
}

}  // namespace capbeam

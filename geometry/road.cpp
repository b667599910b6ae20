#include "geometry/road.h"

#include <utility>

#include "core/failure.h"
#include "core/text_formats.h"

namespace capbeam {

Road::Road(Alignment line, ChainageEquations equations) : line_(std::move(line)), equations_(std::move(equations)) {
    equations_.CheckWithin(line_.StartDistance(), line_.EndDistance());
}

double Road::DistanceOf(const Chainage& chainage) const {
    const double d = equations_.ToDistance(chainage);
    if (!(d >= line_.StartDistance() - kDistanceTolerance && d <= line_.EndDistance() + kDistanceTolerance))
        throw Failure(ErrorKind::Geometry,
                      "桩号 " + ChainageText(chainage.value, ChainageForm::Entered) + " 不在路线范围内（起点 " +
                          ChainageText(ChainageOf(line_.StartDistance()).value, ChainageForm::Computed) + "，终点 " +
                          ChainageText(ChainageOf(line_.EndDistance()).value, ChainageForm::Computed) +
                          "）。请输入起点与终点之间的桩号。");
    return d;
}

PlanePoint Road::OffsetPoint(const Chainage& chainage, double offset, double angleDms) const {
    return line_.OffsetPoint(DistanceOf(chainage), offset, angleDms);
}

LocatedChainage Road::Locate(double X, double Y) const {
    const Foot foot = line_.Locate(X, Y);
    return {ChainageOf(foot.distance), foot.offset};
}

BeamEnds Road::Beam(const Chainage& Kj, double Bdms, double DL, double DR, BeamOrientation orientation,
                    const Chainage& Kp) const {
    BeamDesign design;
    design.Kj = DistanceOf(Kj);
    design.Bdms = Bdms;
    design.DL = DL;
    design.DR = DR;
    design.orientation = orientation;
    BeamEnds ends = PlaceBeam(line_, design, DistanceOf(Kp));
    ends.Kin = ChainageOf(ends.Kin).value;
    ends.Kout = ChainageOf(ends.Kout).value;
    return ends;
}

}  // namespace capbeam

#include "calc/tangent.h"

#include "calc/request.h"

namespace capbeam {

BeamEnds TangentEnds(Member member, float P, double Kj, double Xo, double Yo, double R, double Dr, double Rin,
                     double Rout, double B, double RadToDeg, double Aoj, double Kp) {
    const CentrePoint K = CentreAt(member, Kj, Xo, Yo, R, RadToDeg, Aoj, Kp);
    if (B == 90) return RadialEnds(K.Xk, K.Yk, Xo, Yo, Rin, Rout, RadToDeg, K.Aok, Kp);
    const BeamAzimuths a = DesignAzimuths(P, B, K.Aok);
    return DesignEnds(P, K.Xk, K.Yk, R, Dr, B, RadToDeg, Kp, a.Ab1, a.Ab2);
}

int TangentRoutine(double B) { return B == 90 ? 6 : 5; }

BeamEnds RunTangent(int routine, WindowOps& ops, CurveState& state) {
    static constexpr Member kMembers[] = {kCm1, kCm2, kCm3, kCm4};
    if (routine < 1 || routine > 4) return RunRoutine(routine, ops, state);
    const CurveState& s = state;
    const BeamEnds ends = TangentEnds(kMembers[routine - 1], s.P, s.Kj, s.Xo, s.Yo, s.R, s.Dr, s.Rin, s.Rout, s.B,
                                      s.RadToDeg, s.Aoj, s.Kp);
    if (TangentRoutine(s.B) == 6) {
        WriteRadialEnds(ops, ends);
    } else {
        WriteDesignEnds(ops, ends);
    }
    return ends;
}

}  // namespace capbeam

#pragma once

// What a beam placement gives, whatever the road's geometry: the beam's
// centre on the centre line and, for each of its two ends where the beam's
// axis meets an edge of the roadbed, the length from the centre along the
// axis, the end point and its chainage (that of the end's foot on the centre
// line). Metres; X the northing, Y the easting; unrounded.
//
// On the single curve the ends are named by the curve: "inner" on the edge
// nearer the curve's centre, "outer" on the farther one.

namespace capbeam {

struct BeamEnds {
    double Xk = 0, Yk = 0;                          // beam centre
    double Lin = 0, Xin = 0, Yin = 0, Kin = 0;      // inner end
    double Lout = 0, Xout = 0, Yout = 0, Kout = 0;  // outer end
};

}  // namespace capbeam

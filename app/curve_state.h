#pragma once

// The one record of calculation values. It belongs to the window and lives as
// long as it: all zero when the window opens, filled by the curve set-up and by
// each calculation request, never saved.
//
// Units: metres for lengths, coordinates and chainages; degrees for angles.
// X is the northing, Y the easting; an azimuth is measured from +X (north)
// clockwise towards +Y.

namespace capbeam {

struct CurveState {
    float mb = 0;         // azimuth-coincidence precision, degrees (shown, never used in a formula)
    double RadToDeg = 0;  // degrees per radian, 180 / 3.1415926535; zero until the first set-up
    double Xo = 0;        // curve centre O
    double Yo = 0;
    double Kj = 0;        // design chainage of the beam centre J
    double B = 0;         // skew from the forward tangent at J, clockwise, to the beam's axis:
                          // D.MMSS while the set-up reads it, decimal degrees afterwards
    double R = 0;         // radius of the road's centre line
    double Dr = 0;        // half-width of the roadbed
    float Rin = 0;        // inner edge radius R - Dr, kept in single precision
    double Rout = 0;      // outer edge radius Dr + R
    float P = 0;          // curve direction: > 0 right-hand ("正偏"), < 0 left-hand ("反偏")
    double Aoj = 0;       // azimuth of the radius O -> J
    double Kp = 0;        // chainage of the beam centre of the latest request
    double Ab1 = 0;       // beam axis azimuth from its centre towards the outer edge
    double Ab2 = 0;       // the opposite azimuth, towards the inner edge
    double Xj = 0;        // design beam centre J
    double Yj = 0;

    bool operator==(const CurveState& o) const {
        return mb == o.mb && RadToDeg == o.RadToDeg && Xo == o.Xo && Yo == o.Yo && Kj == o.Kj &&
               B == o.B && R == o.R && Dr == o.Dr && Rin == o.Rin && Rout == o.Rout && P == o.P &&
               Aoj == o.Aoj && Kp == o.Kp && Ab1 == o.Ab1 && Ab2 == o.Ab2 && Xj == o.Xj &&
               Yj == o.Yj;
    }
    bool operator!=(const CurveState& o) const { return !(*this == o); }
};

// RadToDeg is written by a completed set-up and by nothing else, and a set-up
// that fails or is cancelled is undone whole: a non-zero factor means a curve
// is in place for the calculation requests.
inline bool HasCurve(const CurveState& s) { return s.RadToDeg != 0; }

}  // namespace capbeam

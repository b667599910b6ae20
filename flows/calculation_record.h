#pragma once

#include "geometry/single_curve.h"

// The record of calculation values. It belongs to the window and lives as
// long as it: empty when the window opens, filled by the curve set-up and by
// each calculation request. A job saves the clicks that made it, never the
// record itself: opening the job computes it again.
//
// Units: metres for lengths, coordinates and chainages; degrees for angles.
// X is the northing, Y the easting; an azimuth is measured from +X (north)
// clockwise towards +Y.

namespace capbeam {

// The values of the latest request, as read.
struct RequestValues {
    double Kp = 0;  // chainage of the beam centre
    double Dr = 0;  // half-width of the roadbed
    float mb = 0;   // azimuth-coincidence precision, degrees (shown, never used in a formula)
    bool completed = false;  // a request has completed with these values
    bool operator==(const RequestValues& o) const {
        return Kp == o.Kp && Dr == o.Dr && mb == o.mb && completed == o.completed;
    }
};

struct CalculationRecord {
    // Set by a completed set-up and by nothing else; a set-up that fails or
    // is cancelled is undone whole. Requests need it.
    bool hasCurve = false;
    Curve curve;
    // The design beam; a request at the design chainage with B != 90 stores
    // the axis azimuths as its own computation reckons them.
    DesignBeam design;
    RequestValues request;
    EdgeRadii edges;  // derived from the latest request's Dr

    bool operator==(const CalculationRecord& o) const {
        return hasCurve == o.hasCurve && curve == o.curve && design == o.design && request == o.request &&
               edges == o.edges;
    }
    bool operator!=(const CalculationRecord& o) const { return !(*this == o); }
};

}  // namespace capbeam

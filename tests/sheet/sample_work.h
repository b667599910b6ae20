#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "records/alignment_road.h"
#include "records/pier_table.h"
#include "records/site_points.h"

// Work to draw and to report on, generated from a number: single curves of
// either hand in any quadrant with a few piers each, the example road with
// piers on it, and points along the beams with their stake-out from a
// station, standing in for the points a job will carry.

namespace capbeam::test {

// `curves` set-ups, each with `piers` beams (alternately parallel and
// tangent, half-widths of 5 to 15 m) at chainages spaced 20 to 30 m apart.
PierTable SingleCurveTable(std::uint32_t draw, int curves, int piers);

// docs/example-jd.csv: two JDs, the first with spirals.
LoadedRoad ExampleRoad();
inline constexpr double kExampleDL = 6, kExampleDR = 7.5;
// Piers on the example road every `spacing` metres from K0+030, skewed
// 75°, one alignment group.
void AddExampleRoadPiers(PierTable& table, const LoadedRoad& road, double spacing);

// Columns at ±3.5 m along each beam and a pile row 1.2 m across, named
// after the pier ("3#墩-Z1"); a reference stake 10 m beyond each end.
std::vector<SitePoint> PointsAlongBeams(const PierTable& table);

// Each point set out from a station at (X, Y) with a backsight azimuth.
std::vector<StakeoutRow> StakeoutFrom(double X, double Y, double backsightAzimuth, const std::vector<SitePoint>& points);

}  // namespace capbeam::test

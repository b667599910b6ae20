// Benchmarks of the alignment geometry on a road of twenty JDs with unequal
// spirals: a chainage to X, Y on a spiral (target under 1 µs), a skewed
// beam's ends on a spiral (under 20 µs), and a point located back onto the
// road (under 20 µs).
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "geometry/alignment.h"
#include "geometry/alignment_beam.h"
#include "geometry/jd_table.h"

namespace {

using namespace capbeam;

// Twenty JDs zig-zagging eastwards, 800 m apart, turns of 20 to 40 degrees.
JdAlignment Road() {
    JdTable t;
    t.start = {"QD", 0, 0};
    double X = 0, Y = 0;
    for (int i = 1; i <= 20; ++i) {
        X += (i % 2 ? 300 : -300);
        Y += 800;
        t.jds.push_back({"JD", X, Y, 600.0 + 20 * i, 120, 90});
    }
    t.end = {"ZD", X, Y + 800};
    return AlignmentFromJdTable(t);
}

// Distances in the middle of spirals (ZH + Ls1/2 of each curve).
std::vector<double> OnSpirals(const JdAlignment& road) {
    std::vector<double> s;
    for (const JdCurve& c : road.curves) s.push_back(c.points.front().distance + c.Ls1 / 2);
    return s;
}

void ChainageToPointOnSpiral(benchmark::State& state) {
    const JdAlignment road = Road();
    const std::vector<double> s = OnSpirals(road);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(road.line.At(s[i]));
        i = (i + 1) % s.size();
    }
}
BENCHMARK(ChainageToPointOnSpiral);

void BeamEndsOnSpiral(benchmark::State& state) {
    const JdAlignment road = Road();
    const std::vector<double> s = OnSpirals(road);
    std::size_t i = 0;
    for (auto _ : state) {
        const BeamDesign design{s[i] - 10, 60.3, 12.25, 12.25,
                                state.range(0) ? BeamOrientation::Tangent : BeamOrientation::Parallel};
        benchmark::DoNotOptimize(PlaceBeam(road.line, design, s[i]));
        i = (i + 1) % s.size();
    }
}
BENCHMARK(BeamEndsOnSpiral)->Arg(0)->Arg(1);

void LocatePoint(benchmark::State& state) {
    const JdAlignment road = Road();
    std::mt19937 rng(1);
    std::vector<PlanePoint> points;
    for (const double s : OnSpirals(road))
        points.push_back(road.line.OffsetPoint(s, std::uniform_real_distribution<double>(-30, 30)(rng)));
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(road.line.Locate(points[i].X, points[i].Y));
        i = (i + 1) % points.size();
    }
}
BENCHMARK(LocatePoint);

}  // namespace

BENCHMARK_MAIN();

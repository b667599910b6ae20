// The calculation sheet and the CAD drawing of a bridge of 200 piers, each
// with six points along its beam and their stake-out: the PDF written whole
// (two layout passes, every page painted, fonts embedded), and the DXF.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cmath>

#include "records/dxf.h"
#include "records/dxf_gbk.h"
#include "records/plan_drawing.h"
#include "sheets/calculation_sheet.h"

namespace {

using namespace capbeam;

struct Bridge {
    PierTable table;
    std::vector<SitePoint> points;
    std::vector<StakeoutRow> stakeout;
};

// 200 piers 25 m apart on R = 3000, alternately parallel and tangent.
const Bridge& TwoHundredPiers() {
    static const Bridge bridge = [] {
        Bridge b;
        CurveInputs in;
        in.Xo = 3000;
        in.Yo = 5000;
        in.R = 3000;
        in.P = 1;
        in.Kj = 10000;
        in.Xj = 6000;
        in.Yj = 5000;
        in.Bdms = 75.3;
        const CurveSetUp setUp = SetUpCurve(in);
        b.table.StartGroup(in, setUp.curve, setUp.design);
        for (int n = 0; n < 200; ++n) {
            const double Kp = in.Kj + 25 * (n - 100);
            const Orientation o = n % 2 ? Orientation::Tangent : Orientation::Parallel;
            const PierRow& row = b.table.Add(RowOf(Kp, 12.5, PlaceBeam(setUp.curve, setUp.design, Kp, 12.5, o)));
            const BeamEnds& e = row.ends;
            const double L = std::hypot(e.Xout - e.Xin, e.Yout - e.Yin);
            const double ux = (e.Xout - e.Xin) / L, uy = (e.Yout - e.Yin) / L;
            const std::string pier = std::to_string(row.number) + "#墩-";
            for (const auto& [name, along] : {std::pair{"Z1", -3.5}, {"Z2", 3.5}, {"Z3", 0.0}, {"ZJ1", -5.0},
                                              {"ZJ2", 5.0}, {"HZ1", -L / 2 - 10}})
                b.points.push_back({pier + name, e.Xk + along * ux, e.Yk + along * uy});
        }
        for (const SitePoint& p : b.points) {
            const double dX = p.X - 5900, dY = p.Y - 4900;
            double a = std::atan2(dY, dX) * 180 / 3.14159265358979323846;
            if (a < 0) a += 360;
            b.stakeout.push_back({p.name, a, a, std::hypot(dX, dY)});
        }
        return b;
    }();
    return bridge;
}

void BM_Sheet200Piers(benchmark::State& state) {
    const Bridge& b = TwoHundredPiers();
    QTemporaryDir dir;
    SheetInputs in;
    in.title = "200 个墩";
    in.date = "2026-12-08";
    in.table = &b.table;
    in.points = b.points;
    in.station = "测站 KZ1 (5900.000, 4900.000)，后视方位角 0.00000";
    in.stakeout = b.stakeout;
    for (auto _ : state) WriteSheetPdf(dir.filePath(QStringLiteral("sheet.pdf")), in);
}
BENCHMARK(BM_Sheet200Piers)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Drawing200Piers(benchmark::State& state) {
    const Bridge& b = TwoHundredPiers();
    DrawingInputs in;
    in.table = &b.table;
    in.points = b.points;
    const DxfCodePage gbk = GbkCodePage();
    for (auto _ : state) benchmark::DoNotOptimize(DxfText(BuildPlanDrawing(in), gbk));
}
BENCHMARK(BM_Drawing200Piers)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}

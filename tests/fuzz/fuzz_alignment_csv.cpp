// Fuzzes the alignment table readers and what is built from them: any text
// is either refused with a Failure or gives an alignment whose every answer
// is finite, and nothing hangs (size, row and element limits hold the work
// of one input to milliseconds).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "core/failure.h"
#include "geometry/alignment_beam.h"
#include "geometry/road.h"
#include "records/alignment_csv.h"

namespace {

using namespace capbeam;

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

void Probe(const Road& road) {
    const Alignment& line = road.Line();
    const double s0 = line.StartDistance(), s1 = line.EndDistance();
    for (const double f : {0.0, 0.37, 1.0}) {
        const double s = s0 + f * (s1 - s0);
        const Station st = line.At(s);
        Check(std::isfinite(st.X) && std::isfinite(st.Y) && st.azimuth >= 0 && st.azimuth < 360, "finite station");
        try {
            const PlanePoint p = line.OffsetPoint(s, 3.5);
            const Foot foot = line.Locate(p.X, p.Y);
            Check(std::isfinite(foot.distance) && std::isfinite(foot.offset), "finite foot");
            const BeamEnds e = PlaceBeam(line, {s, 60, 4, 4, BeamOrientation::Parallel}, s);
            Check(std::isfinite(e.Kin) && std::isfinite(e.Kout) && e.Lin >= 0 && e.Lout >= 0, "finite beam");
        } catch (const Failure&) {
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        if (DetectAlignmentCsv(text) == AlignmentCsvKind::JdTable) {
            const JdTableFile file = ReadJdTableCsv(text);
            const JdAlignment a = AlignmentFromJdTable(file.table);
            Probe(Road(a.line, ChainageEquations(file.table.startChainage, file.equations)));
        } else {
            const ElementTableFile file = ReadElementTableCsv(text);
            Probe(Road(AlignmentFromElementTable(file.table), ChainageEquations(file.table.startChainage, file.equations)));
        }
    } catch (const Failure&) {
    }
    return 0;
}

// Fuzzes the LandXML reader: any bytes are either refused with a Failure or
// give alignments that the geometry accepts or refuses with a Failure, and
// whose stations are finite; nothing hangs or crashes.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "core/failure.h"
#include "geometry/road.h"
#include "records/landxml.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace capbeam;
    try {
        for (const LandXmlAlignment& a : ReadLandXml(std::string_view(reinterpret_cast<const char*>(data), size))) {
            const Road road(Alignment(a.start, a.elements), ChainageEquations(a.start.distance, a.equations));
            const Station st = road.Line().At(0.5 * (road.Line().StartDistance() + road.Line().EndDistance()));
            if (!std::isfinite(st.X) || !std::isfinite(st.Y)) {
                std::fprintf(stderr, "invariant broken: finite station\n");
                std::abort();
            }
        }
    } catch (const Failure&) {
    }
    return 0;
}

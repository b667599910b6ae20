#include "calc/batch.h"

namespace capbeam {

BatchOutcome RunBatch(const CurveState&, const std::vector<double>&, double, float, Orientation) { return {}; }
std::vector<double> ParseChainageList(std::string_view) { return {}; }
std::vector<double> ChainageRange(double, double, double) { return {}; }

}  // namespace capbeam

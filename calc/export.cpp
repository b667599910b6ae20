#include "calc/export.h"

namespace capbeam {

std::string TableTsv(const PierTable&) { return {}; }
std::string TableCsv(const PierTable&, bool) { return {}; }
std::string CassPoints(const PierTable&) { return {}; }

}  // namespace capbeam

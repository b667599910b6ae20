#include "calc/request.h"

namespace capbeam {

int Command2_Click(WindowOps&, CurveState&) { return 0; }

}  // namespace capbeam

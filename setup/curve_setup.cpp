#include "setup/curve_setup.h"

namespace capbeam {

std::vector<Message> Command1_Click(WindowOps&, CurveState&) { return {}; }

}  // namespace capbeam

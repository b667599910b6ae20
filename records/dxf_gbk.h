#pragma once

#include "records/dxf.h"

// The code page capbeam writes its DXF files in: ANSI_936, the Simplified
// Chinese code page (GBK), which Chinese CAD programs and AutoCAD read in a
// Release 12 file. Its bytes come from Qt Core's converter (ICU); a
// character GBK lacks is written as AutoCAD's escape \U+XXXX.

namespace capbeam {

DxfCodePage GbkCodePage();

}  // namespace capbeam

#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "records/plan_drawing.h"

// A plan drawing as a DXF file of AutoCAD Release 12 (AC1009), ASCII, the
// version every CAD program reads: a header naming the code page and the
// drawing's extents, the tables (one line type, the four layers, a text
// style) and the entities. DXF's X is the easting and its Y the northing, as
// CAD users expect; Z is 0. Numbers are written with as many digits as they
// need to read back as the same double. Lines end in CR LF.

namespace capbeam {

// Names and texts in a Release 12 file are in its code page, which the
// header names ($DWGCODEPAGE). `encode` turns UTF-8 into that code page.
struct DxfCodePage {
    std::string name;  // e.g. "ANSI_936", the Simplified Chinese (GBK) code page
    std::function<std::string(std::string_view utf8)> encode;
};

// The height of the points' names, drawing units (metres): 1 mm at 1:500.
inline constexpr double kDxfTextHeight = 0.5;

// The drawing as DXF text: lines as LINE, arcs as ARC (counter-clockwise from
// the start angle to the end angle, angles from DXF's X axis, the east), the
// polylines as POLYLINE with its VERTEX entities, each point as POINT with a
// TEXT of its name just above and to the right of it.
std::string DxfText(const PlanDrawing& drawing, const DxfCodePage& codePage);

}  // namespace capbeam

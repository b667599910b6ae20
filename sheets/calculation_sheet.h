#pragma once

#include <optional>
#include <string>
#include <vector>

#include "records/alignment_road.h"
#include "records/pier_table.h"
#include "records/site_points.h"

class QPagedPaintDevice;
class QString;

// The calculation sheet (计算书) a bridge's engineer files for checking: the
// job's title and date, the conventions, the inputs (each single curve's
// set-up; an alignment's JD table and its curve table), the pier table, the
// points along the beams and their stake-out, the plan with a north arrow and
// a scale bar, and lines for the signatures of 计算 and 复核. A4, every page
// numbered "第 n 页 共 N 页". Painted with Qt Gui (fonts embedded by Qt's PDF
// engine), so it needs a QGuiApplication.

namespace capbeam {

struct SheetInputs {
    std::string title;  // the job's name, e.g. the file's base name
    std::string date;   // as it should be printed, e.g. "2026-12-08"
    const PierTable* table = nullptr;
    // The alignment the table's alignment groups lie on, with its half-widths.
    const LoadedRoad* road = nullptr;
    std::optional<double> DL, DR;
    std::vector<SitePoint> points;      // along the beams
    std::string station;                // the station and backsight, as one line; empty without stake-out
    std::vector<StakeoutRow> stakeout;  // from that station
};

// Paints the sheet on `device` (a QPdfWriter or a QPrinter) set to A4,
// page after page; returns the number of pages.
int PaintSheet(QPagedPaintDevice& device, const SheetInputs& inputs);

// Writes the sheet as a PDF at `path`, replacing a file there only when the
// whole sheet is written. Throws Failure with a message naming the file and
// what to do when it cannot be written.
void WriteSheetPdf(const QString& path, const SheetInputs& inputs);

}  // namespace capbeam

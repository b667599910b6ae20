#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "flows/alignment_beams.h"
#include "records/job.h"
#include "records/pier_table.h"

namespace capbeam {

// A job as the sheet and the drawing take it: replayed, its pier table and
// set-out, and for beams on an alignment the road its page holds.
struct SheetJob {
    Job job;
    PierTable table;
    std::optional<PageRoad> road;
};

// Opens the job at `path`; a job that cannot be opened is told on err after
// `prefix`, and nothing is returned.
std::optional<SheetJob> OpenSheetJob(const std::string& path, const std::string& prefix, std::ostream& err);

}  // namespace capbeam

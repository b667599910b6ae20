#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/curve_state.h"
#include "core/failure.h"
#include "calc/pier_table.h"

// Many requests at once: a list of chainages with one half-width, each run
// exactly as the window's request runs it (same readers, same routine
// choice, same refusals), the results as rows of the pier table.

namespace capbeam {

struct BatchRefusal {
    double Kp = 0;
    std::string KpText;  // the chainage as the window would show it (entered form)
    Message why;
};

struct BatchOutcome {
    std::vector<PierRow> rows;         // unnumbered; the table numbers them when added
    std::vector<BatchRefusal> refused;
};

// Runs every chainage against `curve` (the record of a completed set-up;
// it is not changed). Throws Failure before any chainage runs when there is
// no curve yet or when Dr breaks its rule (0 <= Dr < R). A refused chainage
// is listed with its reason, never skipped silently.
BatchOutcome RunBatch(const CurveState& curve, const std::vector<double>& chainages, double Dr, float mb,
                      Orientation orientation);

// Chainages in metres separated by blanks, commas (ASCII or full-width),
// semicolons (ASCII or full-width), "、", tabs or new lines, each read as a
// prompt reply is. Throws Failure(TypeMismatch) naming the first item that is
// not a number (Failure(Overflow) for one beyond the range of a double).
std::vector<double> ParseChainageList(std::string_view text);

// start, start + step, ... up to end (end included when it falls on a step,
// within a millimetre), each rounded to 15 significant digits as if typed, so
// that 12300 + 2 x 22.839 is exactly the chainage 12345.678. Throws Failure(OutOfRange) for a step of 0 or of the
// wrong sign, or for more than kMaxBatch chainages.
inline constexpr std::size_t kMaxBatch = 100000;
std::vector<double> ChainageRange(double start, double step, double end);

}  // namespace capbeam

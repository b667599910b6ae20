#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/failure.h"
#include "geometry/single_curve.h"
#include "records/pier_table.h"

// Many beams at once: a list of chainages with one half-width, each placed
// as the window's request places it (same geometry, same refusals), the
// results as rows of the pier table.

namespace capbeam {

struct BatchRefusal {
    double Kp = 0;
    std::string KpText;  // the chainage as the window would show it (entered form)
    Message why;
};

struct BatchOutcome {
    std::vector<PierRow> rows;         // unnumbered; the table numbers them when added
    std::vector<BatchRefusal> refused;
    std::vector<BatchRefusal> warned;  // computed, with a warning (a chainage likely mistyped)
};

// Places a beam at every chainage on `curve` with the design beam `design`,
// one after the other as clicks of the window would: a beam at the design
// chainage keeps its design azimuths for the chainages after it, as the
// window's record does (the window's own record is not changed). Throws
// Failure(OutOfRange) before any chainage runs when Dr breaks its rule
// (0 <= Dr < R). A refused chainage is listed with its reason, never skipped
// silently.
BatchOutcome RunBatch(const Curve& curve, DesignBeam design, const std::vector<double>& chainages, double Dr,
                      Orientation orientation);

// The same batch one chainage at a time, for a caller that writes or shows
// each result before reading the next chainage (the terminal streams, the
// window's worker hands rows over in chunks): memory does not grow with the
// number of chainages. Step after step gives exactly RunBatch's rows,
// refusals and warnings, in its order. The design beam's azimuths a step at
// Kj leaves are carried to the next step, as RunBatch carries them.
class BatchStepper {
public:
    // Which texts a row gets: every box's (RowOf), or only what the exports
    // read (ExportRowOf), for a batch that writes its rows and never shows them.
    enum class Texts { Boxes, Export };
    // Throws Failure(OutOfRange) when Dr breaks its rule (0 <= Dr < R).
    BatchStepper(const Curve& curve, DesignBeam design, double Dr, Orientation orientation,
                 Texts texts = Texts::Boxes);

    struct Step {
        std::optional<PierRow> row;          // unnumbered; empty when refused
        std::optional<BatchRefusal> refused;
        std::optional<BatchRefusal> warned;  // computed, but most likely mistyped
    };
    Step Place(double Kp);

private:
    Curve curve_;
    DesignBeam design_;
    double Dr_;
    Orientation orientation_;
    Texts texts_;
};

// Chainages in metres separated by blanks, commas (ASCII or full-width),
// semicolons (ASCII or full-width), "、", tabs or new lines, each read as a
// prompt reply is. Throws Failure(TypeMismatch) naming the first item that is
// not a number (Failure(Overflow) for one beyond the range of a double).
std::vector<double> ParseChainageList(std::string_view text);

// start, start + step, ... up to end, and end itself as the last chainage
// when it does not fall on a step (within a millimetre), each rounded to 15
// significant digits as if typed, so
// that 12300 + 2 x 22.839 is exactly the chainage 12345.678. Throws Failure(OutOfRange) for a step of 0 or of the
// wrong sign, or for more than kMaxBatch chainages.
inline constexpr std::size_t kMaxBatch = 100000;
std::vector<double> ChainageRange(double start, double step, double end);

// The chainages of ChainageRange without holding them: Count() of them,
// At(i) the i-th, the same values in the same order. Same refusals.
class ChainageSteps {
public:
    ChainageSteps(double start, double step, double end);
    std::size_t Count() const { return count_; }
    double At(std::size_t i) const;

private:
    double start_, step_, end_;
    std::size_t onSteps_ = 0;  // start + i * step for i < onSteps_
    std::size_t count_ = 0;    // onSteps_, or one more when the end is off the steps
};

}  // namespace capbeam

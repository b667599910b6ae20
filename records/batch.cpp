#include "records/batch.h"

#include <cmath>
#include <charconv>
#include <optional>
#include <utility>

#include "core/rules.h"
#include "core/text_formats.h"

namespace capbeam {

namespace {

std::string KpTextOf(double Kp) {
    if (!std::isfinite(Kp)) return std::isnan(Kp) ? "NaN" : (Kp > 0 ? "inf" : "-inf");  // no reader gives these
    return ChainageText(Kp, ChainageForm::Entered);
}

// The chainage that typing the text of K gives. Near the top of the double
// range the rounded text may lie beyond it; K itself stands there.
double AsTyped(double K) {
    try {
        return ReadDouble(NumberText(K));
    } catch (const Failure&) {
        return K;
    }
}

[[noreturn]] void TooMany() {
    throw Failure(ErrorKind::OutOfRange, "按这个间距从起点到终点超过 " + std::to_string(kMaxBatch) +
                                             " 个桩号。请加大间距或缩短范围，分几批计算。");
}

bool IsSeparatorAt(std::string_view text, std::size_t i, std::size_t& width) {
    static constexpr std::string_view kWide[] = {
        "\xEF\xBC\x8C",  // ， full-width comma
        "\xEF\xBC\x9B",  // ； full-width semicolon
        "\xE3\x80\x81",  // 、 ideographic comma
        "\xE3\x80\x80",  // ideographic (full-width) blank
    };
    const char c = text[i];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',' || c == ';') {
        width = 1;
        return true;
    }
    if (static_cast<unsigned char>(c) < 0x80) return false;  // the wide ones are three bytes from 0xE3 up
    for (std::string_view w : kWide) {
        if (text.substr(i, w.size()) == w) {
            width = w.size();
            return true;
        }
    }
    return false;
}

}  // namespace

BatchStepper::BatchStepper(const Curve& curve, DesignBeam design, double Dr, Orientation orientation, Texts texts)
    : curve_(curve), design_(design), Dr_(Dr), orientation_(orientation), texts_(texts) {
    if (const std::optional<std::string> problem = HalfWidthProblem(Dr, curve.R))
        throw Failure(ErrorKind::OutOfRange, *problem);
}

BatchStepper::Step BatchStepper::Place(double Kp) {
    Step step;
    if (Kp == 0) Kp = 0;  // -0 reads as 0 when typed; so it does here
    try {
        if (!std::isfinite(Kp)) throw Failure(ErrorKind::Overflow, "桩号超出了数值范围，无法计算。请检查桩号。");
        const BeamPlacement placement = PlaceBeam(curve_, design_, Kp, Dr_, orientation_);
        if (placement.designAxis) design_.axis = *placement.designAxis;
        step.row = texts_ == Texts::Boxes ? RowOf(Kp, Dr_, placement) : ExportRowOf(Kp, Dr_, placement);
        if (std::optional<Message> warning = FarChainageWarning(curve_, design_, Kp))
            step.warned = BatchRefusal{Kp, KpTextOf(Kp), std::move(*warning)};
    } catch (const Failure& failure) {
        step.refused = BatchRefusal{Kp, KpTextOf(Kp), failure.message()};
    }
    return step;
}

BatchOutcome RunBatch(const Curve& curve, DesignBeam design, const std::vector<double>& chainages, double Dr,
                      Orientation orientation) {
    BatchStepper stepper(curve, design, Dr, orientation);
    BatchOutcome outcome;
    outcome.rows.reserve(chainages.size());
    for (const double Kp : chainages) {
        BatchStepper::Step step = stepper.Place(Kp);
        if (step.row) outcome.rows.push_back(std::move(*step.row));
        if (step.refused) outcome.refused.push_back(std::move(*step.refused));
        if (step.warned) outcome.warned.push_back(std::move(*step.warned));
    }
    return outcome;
}

std::vector<double> ParseChainageList(std::string_view text) {
    std::vector<double> chainages;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t width = 0;
        if (IsSeparatorAt(text, i, width)) {
            i += width;
            continue;
        }
        const std::size_t begin = i;
        while (i < text.size() && !IsSeparatorAt(text, i, width)) ++i;
        const std::string_view item = text.substr(begin, i - begin);
        try {
            chainages.push_back(ReadDouble(item));
        } catch (const Failure& failure) {
            const std::string number = std::to_string(chainages.size() + 1);
            if (failure.kind() == ErrorKind::Overflow)
                throw Failure(ErrorKind::Overflow, "第 " + number + " 个桩号「" + std::string(item) +
                                                       "」太大，超出了数值范围。请改正后重新计算。");
            throw Failure(ErrorKind::TypeMismatch,
                          "第 " + number + " 个桩号「" + std::string(item) +
                              "」不是数。桩号请以米为单位输入数字（例如 12345.678），"
                              "用空格、逗号、分号或换行隔开。请改正后重新计算。");
        }
    }
    return chainages;
}

ChainageSteps::ChainageSteps(double start, double step, double end) : start_(start), step_(step), end_(end) {
    if (!std::isfinite(start) || !std::isfinite(step) || !std::isfinite(end))
        throw Failure(ErrorKind::OutOfRange, "起点、间距和终点桩号必须都是有限的数。请检查后重新输入。");
    if (step == 0)
        throw Failure(ErrorKind::OutOfRange, "桩号间距不能为 0。请输入正数（桩号增大）或负数（桩号减小）。");
    if (start != end && (end - start > 0) != (step > 0))
        throw Failure(ErrorKind::OutOfRange,
                      step > 0 ? "终点桩号小于起点桩号，而间距是正数，无法到达终点。请交换起点和终点，或把间距改为负数。"
                               : "终点桩号大于起点桩号，而间距是负数，无法到达终点。请交换起点和终点，或把间距改为正数。");

    // The last chainage may pass the end by at most a millimetre: an end that
    // falls on a step is included whatever the rounding of the steps.
    constexpr double kReach = 0.001;
    const double limit = step > 0 ? end + kReach : end - kReach;
    const auto within = [&](double i) {
        const double K = start + i * step;
        return step > 0 ? K <= limit : K >= limit;
    };
    const double steps = std::floor((limit - start) / step);
    if (!(steps < static_cast<double>(kMaxBatch))) TooMany();
    std::size_t last = static_cast<std::size_t>(steps < 0 ? 0 : steps);
    while (last > 0 && !within(static_cast<double>(last))) --last;
    while (within(static_cast<double>(last + 1))) ++last;
    if (last >= kMaxBatch) TooMany();
    onSteps_ = last + 1;
    count_ = onSteps_;
    // A range from 0 to 2050 every 100 means the pier at 2050 too: an end
    // that is not on a step is the last chainage.
    if (std::fabs(end - At(last)) > kReach) {
        if (count_ >= kMaxBatch) TooMany();
        ++count_;
    }
}

// Each chainage as typing its text would give it: start + i * step carries
// binary residue (0.1 * 3 is 0.30000000000000004), and a chainage meant to
// fall on Kj must equal Kj exactly to be computed at the design position.
double ChainageSteps::At(std::size_t i) const {
    if (i >= onSteps_) return end_;
    return AsTyped(start_ + static_cast<double>(i) * step_);
}

std::vector<double> ChainageRange(double start, double step, double end) {
    const ChainageSteps steps(start, step, end);
    std::vector<double> chainages;
    chainages.reserve(steps.Count());
    for (std::size_t i = 0; i < steps.Count(); ++i) chainages.push_back(steps.At(i));
    return chainages;
}

}  // namespace capbeam

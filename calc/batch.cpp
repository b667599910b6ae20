#include "calc/batch.h"

#include <cmath>
#include <charconv>
#include <optional>
#include <utility>

#include "core/text_formats.h"

namespace capbeam {

namespace {

// A number as a typed reply that the readers turn back into exactly the same
// value: the shortest text that identifies the double (a float widened to a
// double reads back as that float).
std::string ExactReply(double value) {
    char text[40];
    const std::to_chars_result r = std::to_chars(text, text + sizeof text, value);
    return std::string(text, r.ptr);
}

// The request asks for Kp, Dr and mb in this order.
enum PromptIndex { kKpPrompt = 0, kDrPrompt = 1, kMbPrompt = 2 };

// The window as one request of the batch sees it: the three prompts answered
// with the batch's values, the boxes kept in an array. A refused reply is not
// typed again: the request is cancelled and the refusal kept as its reason.
class BatchOps : public WindowOps {
public:
    BatchOps(std::string Dr, std::string mb) : Dr_(std::move(Dr)), mb_(std::move(mb)) {}

    void Start(std::string Kp) {
        Kp_ = std::move(Kp);
        prompt_ = 0;
        refusal_.reset();
    }

    std::optional<std::string> PromptText(const std::string&, const Refusal* refused) override {
        if (refused) {
            refusal_ = refused->why;
            return std::nullopt;
        }
        switch (prompt_++) {
            case kKpPrompt: return Kp_;
            case kDrPrompt: return Dr_;
            case kMbPrompt: return mb_;
            default: return std::nullopt;  // the request asks nothing else
        }
    }
    void SetText(Field field, const std::string& text) override {
        boxes[static_cast<std::size_t>(FieldNumber(field) - 1)] = text;
    }
    void EndProgram() override {}

    const std::optional<Message>& RefusalReason() const { return refusal_; }

    std::array<std::string, kFieldCount> boxes;

private:
    std::string Kp_, Dr_, mb_;
    int prompt_ = 0;
    std::optional<Message> refusal_;
};

// Stops the check of the batch's own values once they have all been read.
struct ValuesRead {};

class CheckOps : public BatchOps {
public:
    using BatchOps::BatchOps;
    void SetText(Field field, const std::string& text) override {
        BatchOps::SetText(field, text);
        if (field == Field::Text21) throw ValuesRead{};
    }
};

// Dr and mb go through the request's own prompts, readers and rules before
// any chainage runs: a request at chainage 0 on a copy of the record, stopped
// as soon as mb has been shown. A curve that is missing fails the same way.
void CheckValues(const CurveState& curve, const std::string& Dr, const std::string& mb, Orientation orientation) {
    CurveState scratch = curve;
    CheckOps ops(Dr, mb);
    ops.Start("0");
    try {
        RunRequest(ops, scratch, orientation);
    } catch (const ValuesRead&) {
        return;
    } catch (const Cancelled&) {
        if (ops.RefusalReason()) throw Failure(ops.RefusalReason()->kind, ops.RefusalReason()->text);
        throw Failure(ErrorKind::InvalidOperation, "半幅宽度 Dr 或精度 mb 没有读入。请检查后重新计算。");
    }
}

std::string KpTextOf(double Kp) {
    if (!std::isfinite(Kp)) return ExactReply(Kp);  // only reached for values no reader gives
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
    for (std::string_view w : kWide) {
        if (text.substr(i, w.size()) == w) {
            width = w.size();
            return true;
        }
    }
    return false;
}

}  // namespace

BatchOutcome RunBatch(const CurveState& curve, const std::vector<double>& chainages, double Dr, float mb,
                      Orientation orientation) {
    const std::string DrReply = ExactReply(Dr);
    const std::string mbReply = ExactReply(mb);
    CheckValues(curve, DrReply, mbReply, orientation);

    // The chainages run one after the other on one record, as clicks of the
    // window do: what a request leaves in the record (Cm5 stores the beam's
    // azimuths) is what the next one starts from, and a refused request is
    // undone whole, record and boxes.
    BatchOutcome outcome;
    outcome.rows.reserve(chainages.size());
    CurveState state = curve;
    BatchOps ops(DrReply, mbReply);
    for (const double Kp : chainages) {
        const CurveState savedState = state;
        const auto savedBoxes = ops.boxes;
        ops.Start(ExactReply(Kp));
        std::optional<Message> why;
        try {
            const RequestOutcome result = RunRequest(ops, state, orientation);
            outcome.rows.push_back(RowFromBoxes(ops.boxes, state.Kp, result));
        } catch (const Failure& failure) {
            why = failure.message();
        } catch (const Cancelled&) {
            why = ops.RefusalReason().value_or(
                Message{ErrorKind::InvalidOperation, "这个桩号的计算没有完成。请单独计算这个桩号查看原因。"});
        }
        if (why) {
            state = savedState;
            ops.boxes = savedBoxes;
            outcome.refused.push_back({Kp, KpTextOf(Kp), *why});
        }
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

std::vector<double> ChainageRange(double start, double step, double end) {
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

    std::vector<double> chainages;
    chainages.reserve(last + 1);
    // Each chainage as typing its text would give it: start + i * step carries
    // binary residue (0.1 * 3 is 0.30000000000000004), and a chainage meant to
    // fall on Kj must equal Kj exactly to be computed at the design position.
    for (std::size_t i = 0; i <= last; ++i) chainages.push_back(AsTyped(start + static_cast<double>(i) * step));
    return chainages;
}

}  // namespace capbeam

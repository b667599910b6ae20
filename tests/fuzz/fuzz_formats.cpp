// Fuzzes the readers and the text formats: any reply either reads as a finite
// number or is refused with a reader's failure kind, and every number writes a
// text that the grammar of the boxes accepts and that reads back to itself.
// The same text as a list of chainages, and ranges of chainages.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/failure.h"
#include "records/batch.h"
#include "core/text_formats.h"
#include "tests/fuzz/field_grammar.h"

namespace {

using namespace capbeam;

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

void CheckNumber(double v) {
    if (!std::isfinite(v)) return;
    const std::string text = NumberText(v);
    Check(test::IsNumberText(text), "NumberText writes a number text");
    Check(test::IsSignedText(SignedText(v)), "SignedText writes a signed text");
    if (std::fabs(v) < 1e300) {
        // The text is v to 15 significant digits: it reads back within that.
        // (Near the top of the range the rounded text itself lies beyond it.)
        const double back = ReadDouble(text);
        Check(back == v || std::fabs(back - v) <= std::fabs(v) * 1e-14, "NumberText reads back");
        const double r = Round3(v);
        Check(std::isfinite(r) && std::fabs(r - v) <= 0.0005 + std::fabs(v) * 1e-15, "Round3 stays within half a millimetre");
        Check(test::IsChainageText(ChainageText(v, ChainageForm::Entered)), "entered chainage text");
        Check(test::IsChainageText(ChainageText(v, ChainageForm::Computed)), "computed chainage text");
    }
}

void CheckReply(const std::string& reply) {
    try {
        const double v = ReadDouble(reply);
        Check(std::isfinite(v), "a reply reads as a finite number");
        Check(!(v == 0 && std::signbit(v)), "a reply never reads as negative zero");
        CheckNumber(v);
    } catch (const Failure& f) {
        Check(f.kind() == ErrorKind::TypeMismatch || f.kind() == ErrorKind::Overflow, "reader failure kind");
    }
    try {
        const float s = ReadSingle(reply);
        Check(std::isfinite(s), "single reader gives a finite value");
        Check(test::IsNumberText(NumberText(s)), "single NumberText");
    } catch (const Failure& f) {
        Check(f.kind() == ErrorKind::TypeMismatch || f.kind() == ErrorKind::Overflow, "single reader failure kind");
    }
}

// A list of chainages either reads whole, every one finite, or names its bad
// item with a reader's failure kind.
void CheckList(const std::string& text) {
    try {
        for (const double K : ParseChainageList(text)) Check(std::isfinite(K), "a listed chainage is finite");
    } catch (const Failure& f) {
        Check(f.kind() == ErrorKind::TypeMismatch || f.kind() == ErrorKind::Overflow, "list failure kind");
    }
}

// A range is refused as out of range, or has at most kMaxBatch chainages
// from the start towards the end, the last within a millimetre past it.
void CheckRange(double start, double step, double end) {
    try {
        const std::vector<double> K = ChainageRange(start, step, end);
        Check(!K.empty() && K.size() <= kMaxBatch, "range size");
        // Each chainage is as typed: rounded to 15 significant digits.
        const double digits = 1e-14 * std::fabs(end);
        Check(K.front() == start || std::fabs(K.front() - start) <= 1e-14 * std::fabs(start), "range starts at the start");
        Check(step > 0 ? K.back() <= end + 0.001 + digits : K.back() >= end - 0.001 - digits, "range stops at the end");
    } catch (const Failure& f) {
        Check(f.kind() == ErrorKind::OutOfRange, "range failure kind");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    if (in.ConsumeBool()) {
        CheckNumber(in.ConsumeFloatingPoint<double>());
        CheckNumber(in.ConsumeFloatingPointInRange<double>(-1e7, 1e7));
        const double start = in.ConsumeFloatingPointInRange<double>(-1e6, 1e6);
        CheckRange(start, in.ConsumeFloatingPoint<double>(), in.ConsumeFloatingPointInRange<double>(-1e6, 1e6));
    }
    const std::string text = in.ConsumeRemainingBytesAsString();
    CheckReply(text);
    CheckList(text);
    return 0;
}

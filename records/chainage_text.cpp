#include "records/chainage_text.h"

#include <cmath>
#include <string>
#include <utility>

#include "core/failure.h"
#include "core/text_formats.h"

namespace capbeam {

namespace {

std::string_view Trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

[[noreturn]] void NotAChainage(std::string_view text) {
    throw Failure(ErrorKind::TypeMismatch,
                  "「" + std::string(text) +
                      "」不是一个桩号。请写成米数（1234.567）或 K 形式（K1+234.567）；断链重复的桩号可在后面注明段号，如 K1+205[1]。");
}

// Full-width K and plus signs, as a Chinese input method types them, read as
// their ASCII forms (the number reader takes full-width digits itself).
std::string Narrowed(std::string_view text) {
    std::string out(text);
    for (const auto& [wide, narrow] : {std::pair{"Ｋ", "K"}, std::pair{"ｋ", "k"}, std::pair{"＋", "+"}})
        for (auto at = out.find(wide); at != std::string::npos; at = out.find(wide, at))
            out.replace(at, std::string_view(wide).size(), narrow);
    return out;
}

}  // namespace

Chainage ReadChainage(std::string_view text) {
    const std::string narrowed = Narrowed(text);
    std::string_view body = Trimmed(narrowed);
    Chainage result;
    if (!body.empty() && body.back() == ']') {
        const auto open = body.rfind('[');
        if (open == std::string_view::npos) NotAChainage(text);
        const std::string_view digits = Trimmed(body.substr(open + 1, body.size() - open - 2));
        if (digits.empty() || digits.size() > 4 || digits.find_first_not_of("0123456789") != std::string_view::npos)
            NotAChainage(text);
        result.stretch = std::stoi(std::string(digits));
        body = Trimmed(body.substr(0, open));
    }
    if (body.empty()) NotAChainage(text);
    if (body.front() == 'K' || body.front() == 'k') {
        const auto plus = body.find('+');
        if (plus == std::string_view::npos) NotAChainage(text);
        const std::string_view kmText = body.substr(1, plus - 1), mText = body.substr(plus + 1);
        if (Trimmed(kmText).empty() || Trimmed(mText).empty()) NotAChainage(text);
        const double km = ReadDouble(kmText), m = ReadDouble(mText);
        if (km != std::trunc(km)) NotAChainage(text);
        result.value = km * 1000 + m;
    } else {
        result.value = ReadDouble(body);
    }
    if (!std::isfinite(result.value))
        throw Failure(ErrorKind::Overflow, "「" + std::string(text) + "」超出了可以计算的数值范围。请检查桩号。");
    return result;
}

}  // namespace capbeam

#include "tests/fuzz/field_grammar.h"

namespace capbeam::test {

namespace {

bool AllDigits(std::string_view t) {
    if (t.empty()) return false;
    for (const char c : t)
        if (c < '0' || c > '9') return false;
    return true;
}

bool StripSuffix(std::string_view& t, std::string_view suffix) {
    if (t.size() < suffix.size() || t.substr(t.size() - suffix.size()) != suffix) return false;
    t.remove_suffix(suffix.size());
    return true;
}

// digits, optionally "." and a fraction that does not end in 0; no leading zeros.
bool IsUnsignedDecimal(std::string_view t) {
    const auto point = t.find('.');
    const std::string_view whole = t.substr(0, point);
    if (!AllDigits(whole) || (whole.size() > 1 && whole[0] == '0')) return false;
    if (point == std::string_view::npos) return true;
    const std::string_view fraction = t.substr(point + 1);
    return AllDigits(fraction) && fraction.back() != '0';
}

bool IsUnsignedExponentForm(std::string_view t) {
    const auto e = t.find('E');
    if (e == std::string_view::npos || e + 2 >= t.size()) return false;
    const std::string_view mantissa = t.substr(0, e);
    const std::string_view exponent = t.substr(e + 2);
    return (t[e + 1] == '+' || t[e + 1] == '-') && exponent.size() >= 2 && AllDigits(exponent) &&
           IsUnsignedDecimal(mantissa) && mantissa[0] != '0';
}

}  // namespace

bool IsNumberText(std::string_view t) {
    const bool negative = !t.empty() && t[0] == '-';
    if (negative) t.remove_prefix(1);
    if (negative && t == "0") return false;
    return IsUnsignedDecimal(t) || IsUnsignedExponentForm(t);
}

bool IsSignedText(std::string_view t) {
    if (!t.empty() && t[0] == ' ') {
        t.remove_prefix(1);
        return !t.empty() && t[0] != '-' && IsNumberText(t);
    }
    return !t.empty() && t[0] == '-' && IsNumberText(t);
}

bool IsChainageText(std::string_view t) {
    if (t.empty() || t[0] != 'K') return false;
    t.remove_prefix(1);
    // The kilometres never hold a '+' (no exponent form for them in practice,
    // but an exponent's sign would come after 'E'): split at the '+' not after 'E'.
    for (std::size_t i = 1; i < t.size(); ++i) {
        if (t[i] == '+' && t[i - 1] != 'E' && IsSignedText(t.substr(0, i)) && IsSignedText(t.substr(i + 1)))
            return true;
    }
    return false;
}

bool IsFieldText(Box field, std::string_view t) {
    // A new curve empties the results of the previous one: the lower block's
    // boxes as the window opens (the centre's X keeps its one blank).
    const bool result = field == Box::BeamChainage || field == Box::BeamX || field == Box::BeamY ||
                        (BoxNumber(field) >= BoxNumber(Box::InnerChainage) &&
                         BoxNumber(field) <= BoxNumber(Box::OuterLength));
    if (result && t == (field == Box::BeamX ? " " : "")) return true;
    switch (field) {
        case Box::CurveCentreX: case Box::CurveCentreY: case Box::DesignX: case Box::DesignY:
            return !t.empty() && t[0] == ' ' && IsNumberText(t.substr(1));
        case Box::DesignChainage: case Box::BeamChainage: case Box::InnerChainage: case Box::OuterChainage:
            return IsChainageText(t);
        case Box::Skew:
            return StripSuffix(t, "( 度, 分，秒 )") && !t.empty() && t[0] == ' ' && IsNumberText(t.substr(1));
        case Box::HalfWidth: case Box::InnerLength: case Box::OuterLength: case Box::Radius:
            return StripSuffix(t, "(米)") && IsNumberText(t);
        case Box::Precision:
            return StripSuffix(t, "(度)") && IsNumberText(t);
        case Box::Direction:
            return t == "正偏" || t == "反偏";
        case Box::InnerX: case Box::InnerY: case Box::OuterX: case Box::OuterY:
        case Box::BeamX: case Box::BeamY:
            return IsNumberText(t);
    }
    return false;
}

}  // namespace capbeam::test

#include "core/text_formats.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <type_traits>
#include <vector>

#include "core/failure.h"

namespace capbeam {

namespace {

// Decodes one UTF-8 code point at `i`, advancing it; returns -1 for a malformed sequence.
long DecodeUtf8(std::string_view s, std::size_t& i) {
    const auto c = static_cast<unsigned char>(s[i]);
    int extra = 0;
    long cp = 0;
    if (c < 0x80) { cp = c; }
    else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; extra = 1; }
    else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; extra = 2; }
    else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; extra = 3; }
    else { ++i; return -1; }
    ++i;
    for (int k = 0; k < extra; ++k, ++i) {
        if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return -1;
        cp = (cp << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
    }
    return cp;
}

// The reply with full-width forms turned into ASCII and the blanks around it
// removed. Any other character that is not ASCII becomes '?', which no number contains.
std::string Normalise(std::string_view reply) {
    std::string ascii;
    for (std::size_t i = 0; i < reply.size();) {
        long cp = DecodeUtf8(reply, i);
        if (cp == 0x3000) cp = ' ';                              // ideographic space
        else if (cp >= 0xFF01 && cp <= 0xFF5E) cp -= 0xFEE0;     // full-width ASCII forms
        ascii += (cp >= 0 && cp < 0x80) ? static_cast<char>(cp) : '?';
    }
    const auto first = ascii.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = ascii.find_last_not_of(" \t");
    return ascii.substr(first, last - first + 1);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// [+-] (digits [. [digits]] | . digits) [(e|E) [+-] digits], nothing else.
bool IsDecimalNumber(const std::string& t) {
    std::size_t i = 0;
    const auto digits = [&] {
        const std::size_t from = i;
        while (i < t.size() && IsDigit(t[i])) ++i;
        return i - from;
    };
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t mantissa = digits();
    if (i < t.size() && t[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        if (digits() == 0) return false;
    }
    return i == t.size();
}

std::string Quoted(std::string_view reply) { return "「" + std::string(reply) + "」"; }

template <class T>
T ReadNumber(std::string_view reply) {
    const std::string t = Normalise(reply);
    if (t.empty())
        throw Failure(ErrorKind::TypeMismatch, "没有输入数值。请输入一个数，例如 3000 或 12.5。");
    if (!IsDecimalNumber(t))
        throw Failure(ErrorKind::TypeMismatch,
                      Quoted(reply) + " 不是一个数。请只输入数字，可带正负号和小数点，例如 3000 或 12.5。");
    // from_chars takes no leading '+'.
    const char* first = t.data() + (t[0] == '+' ? 1 : 0);
    T value{};
    const auto [end, ec] = std::from_chars(first, t.data() + t.size(), value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range)
        throw Failure(ErrorKind::Overflow,
                      Quoted(reply) + " 超出了可以计算的数值范围。请检查数值的位数和指数。");
    if (ec != std::errc() || end != t.data() + t.size())
        throw Failure(ErrorKind::TypeMismatch, Quoted(reply) + " 不是一个数。请重新输入。");
    return value == 0 ? T(0) : value;  // "-0" reads as 0
}

// Fixed notation with as many decimals as leave `digits` significant ones
// for a value whose first digit stands at `exponent`: the same rounding of
// the same binary value as the scientific form's, so the decimal point only
// moves. Then the fraction's trailing zeros go. (Should rounding carry into
// a new first digit, one decimal more than needed is written, and it is a
// trailing zero.)
std::string FixedDigits(double value, int digits, int exponent) {
    char out[400];
    const int decimals = std::max(0, digits - 1 - exponent);
    const auto res = std::to_chars(out, out + sizeof out, value, std::chars_format::fixed, decimals);
    std::string_view fixed(out, static_cast<std::size_t>(res.ptr - out));
    if (decimals > 0) {
        fixed.remove_suffix(fixed.size() - 1 - fixed.find_last_not_of('0'));
        if (fixed.back() == '.') fixed.remove_suffix(1);
    }
    return std::string(fixed);
}

// Writes `value`, already known finite and non-zero, rounded to `digits`
// significant digits; `fixedBelow` is the decimal exponent from which the
// exponent form is used.
template <class T>
std::string GeneralText(T value, int digits, int fixedBelow) {
    if constexpr (std::is_same_v<T, double>) {
        // Most values shown (typed replies, results after Round3) have a
        // shortest round-trip form of at most 15 significant digits. Every
        // decimal of 15 digits is a distinct double, so that form is the value
        // rounded to 15 digits, and one fast shortest conversion gives it.
        if (std::fabs(value) < 1e15 && std::fabs(value) >= 1e-15) {
            char out[48];
            const auto res = std::to_chars(out, out + sizeof out, value, std::chars_format::fixed);
            const std::string_view text(out, static_cast<std::size_t>(res.ptr - out));
            const std::string_view digitsFromFirst = text.substr(text.find_first_of("123456789"));
            const std::size_t significant = digitsFromFirst.size() - (digitsFromFirst.find('.') != std::string_view::npos);
            if (significant <= static_cast<std::size_t>(digits)) return std::string(text);
            // More digits than shown (a typed chainage's metres carry binary
            // residue): the exponent is where the first digit stands, and the
            // fixed form below rounds at the same place as the scientific one
            // would. Where rounding could carry the exponent up to the
            // exponent form, the scientific call decides.
            const std::size_t first = text.size() - digitsFromFirst.size();
            const std::size_t point = text.find('.');
            const std::size_t whole = (point == std::string_view::npos ? text.size() : point) - (text[0] == '-');
            const int exponent = std::fabs(value) >= 1 ? static_cast<int>(whole) - 1
                                                        : -static_cast<int>(first - point);
            if (exponent + 1 < fixedBelow && exponent >= -15) return FixedDigits(value, digits, exponent);
        }
    }
    char sci[48];
    const auto written = std::to_chars(sci, sci + sizeof sci - 1, static_cast<double>(value),
                                       std::chars_format::scientific, digits - 1);
    *written.ptr = '\0';
    const std::string_view text(sci, static_cast<std::size_t>(written.ptr - sci));
    const std::size_t e = text.find('e');
    const int exponent = std::atoi(sci + e + 1);
    if (exponent >= fixedBelow || exponent < -15) {
        std::string mantissa(text.substr(0, e));
        if (mantissa.find('.') != std::string::npos) {
            mantissa.erase(mantissa.find_last_not_of('0') + 1);
            if (mantissa.back() == '.') mantissa.pop_back();
        }
        char exp[16];
        std::snprintf(exp, sizeof exp, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        return mantissa + exp;
    }
    return FixedDigits(static_cast<double>(value), digits, exponent);
}

template <class T>
std::string NumberTextOf(T value, int digits, int fixedBelow) {
    if (!std::isfinite(value))
        throw Failure(ErrorKind::InvalidOperation,
                      "计算结果不是一个有限的数，无法显示。请检查输入的数值。");
    if (value == 0) return "0";  // negative zero too
    return GeneralText(value, digits, fixedBelow);
}

}  // namespace

double ReadDouble(std::string_view reply) { return ReadNumber<double>(reply); }

namespace {

// The marks that part degrees, minutes and seconds, as a keyboard or a
// Chinese input method types them (full-width ' and " become ASCII later).
constexpr std::string_view kDmsMarks[] = {
    "\xC2\xB0",      // °
    "\xE2\x80\xB2",  // ′
    "\xE2\x80\xB3",  // ″
    "\xE2\x80\x99",  // ’ (an input method's apostrophe)
    "\xE2\x80\x9D",  // ” (an input method's quote)
    "\xE5\xBA\xA6",  // 度
    "\xE5\x88\x86",  // 分
    "\xE7\xA7\x92",  // 秒
    "'", "\"",
};

bool AllDigits(std::string_view t) { return !t.empty() && std::all_of(t.begin(), t.end(), IsDigit); }

[[noreturn]] void NotDms(std::string_view reply) {
    throw Failure(ErrorKind::TypeMismatch,
                  "「" + std::string(reply) +
                      "」不是交角的写法。请按“度.分秒”输入，例如 30.153（即 30°15′30″），"
                      "也可以写成 30°15′30″ 或 30 15 30。");
}

}  // namespace

double ReadSkewReply(std::string_view reply) {
    // The marks become blanks; then the reply is normalised as any other.
    std::string spaced;
    bool marked = false;
    for (std::size_t i = 0; i < reply.size();) {
        bool matched = false;
        for (std::string_view mark : kDmsMarks) {
            if (reply.substr(i, mark.size()) == mark) {
                spaced += ' ';
                i += mark.size();
                marked = matched = true;
                break;
            }
        }
        if (!matched) spaced += reply[i++];
    }
    const std::string t = Normalise(spaced);
    std::vector<std::string> parts;
    for (std::size_t i = 0; i < t.size();) {
        if (t[i] == ' ' || t[i] == '\t') {
            ++i;
            continue;
        }
        const std::size_t end = std::min(t.find_first_of(" \t", i), t.size());
        parts.push_back(t.substr(i, end - i));
        i = end;
    }
    if (!marked && parts.size() <= 1) return ReadDouble(reply);
    if (parts.empty() || parts.size() > 3) NotDms(reply);

    std::string degrees = parts[0];
    std::string sign;
    if (degrees[0] == '+' || degrees[0] == '-') {
        sign = degrees.substr(0, 1);
        degrees.erase(0, 1);
    }
    if (!AllDigits(degrees)) NotDms(reply);
    std::string minutes = parts.size() > 1 ? parts[1] : "0";
    if (!AllDigits(minutes) || minutes.size() > 2) NotDms(reply);
    if (minutes.size() == 1) minutes = "0" + minutes;
    std::string seconds = parts.size() > 2 ? parts[2] : "0";
    const std::size_t point = seconds.find('.');
    const std::string whole = seconds.substr(0, point);
    const std::string fraction = point == std::string::npos ? "" : seconds.substr(point + 1);
    if (!AllDigits(whole) || whole.size() > 2 || (point != std::string::npos && !AllDigits(fraction))) NotDms(reply);
    // D.MMSS as the user would have typed it, so the value is the one that text reads as.
    return ReadDouble(sign + degrees + "." + minutes + (whole.size() == 1 ? "0" : "") + whole + fraction);
}
float ReadSingle(std::string_view reply) { return ReadNumber<float>(reply); }

std::string NumberText(float value) { return NumberTextOf(value, 7, 7); }

double Round3(double value) { return std::nearbyint(value * 1000) / 1000; }

namespace {

// A chainage as the K text splits it: whole kilometres, truncated towards
// zero, and the metres left over, rounded for a computed chainage (which may
// then read 1000: the rounding never carries into the kilometres).
struct ChainageParts {
    double km;
    double m;
};

ChainageParts SplitChainage(double chainage, ChainageForm form) {
    const double km = std::trunc(chainage / 1000);
    double m = chainage - 1000 * km;
    if (form == ChainageForm::Computed) m = Round3(m);
    return {km, m};
}

// Whole millimetres n as metres: the integer part, then the fraction's
// digits without its trailing zeros (none, and no point, for whole metres).
// Below 1e15 millimetres this is the shortest form of the double nearest
// n / 1000, which is what NumberText writes for it: every decimal of at
// most 15 significant digits is a distinct double.
void AppendTrimmedMillimetres(std::string& out, long long n) {
    unsigned long long digits = static_cast<unsigned long long>(n < 0 ? -n : n);
    char text[24];
    char* p = text + sizeof text;
    unsigned fraction = static_cast<unsigned>(digits % 1000);
    digits /= 1000;
    int decimals = 3;
    while (decimals > 0 && fraction % 10 == 0) {
        fraction /= 10;
        --decimals;
    }
    for (int i = 0; i < decimals; ++i, fraction /= 10) *--p = static_cast<char>('0' + fraction % 10);
    if (decimals > 0) *--p = '.';
    do {
        *--p = static_cast<char>('0' + digits % 10);
        digits /= 10;
    } while (digits);
    if (n < 0) *--p = '-';
    out.append(p, text + sizeof text);
}

}  // namespace

std::string NumberText(double value) {
    // Most values written are whole millimetres, as typed (a chainage, a
    // coordinate) or rounded. Let Q be N / 1000 for the whole number N
    // nearest value * 1000, with |N| < 1e15 so that Q has at most 15
    // significant digits and is written in fixed notation. Half a unit of
    // the 15th digit is more than 5e-16 |Q|; the double q nearest Q is
    // within 1.2e-16 |Q| of it. So when value lies within 3e-16 |q| of q,
    // rounding it to 15 significant digits gives Q exactly, whose text is
    // N's digits: written straight from N, several times quicker than the
    // general conversion (a batch writes three of these a row).
    const double N = std::nearbyint(value * 1000);
    if (N != 0 && std::fabs(N) < 1e15) {
        const double q = N / 1000;
        if (std::fabs(value - q) <= 3e-16 * std::fabs(q)) {
            std::string text;
            AppendTrimmedMillimetres(text, static_cast<long long>(N));
            return text;
        }
    }
    return NumberTextOf(value, 15, 15);
}

std::string SignedText(double value) { return (value < 0 ? "" : " ") + NumberText(value); }

std::string ChainageText(double chainage, ChainageForm form) {
    const ChainageParts k = SplitChainage(chainage, form);
    // A computed chainage's metres are whole millimetres: written from the
    // integers, as a batch writes two of these a row. The same texts as
    // SignedText gives for them ("-0" and 0 both " 0").
    const double mm = std::nearbyint(k.m * 1000);
    if (form == ChainageForm::Computed && std::fabs(k.km) < 1e15 && std::fabs(mm) < 1e15) {
        std::string text = "K";
        const long long km = static_cast<long long>(k.km);
        const long long m = static_cast<long long>(mm);
        if (km >= 0) text += ' ';
        text += std::to_string(km);
        text += '+';
        if (m >= 0) text += ' ';
        AppendTrimmedMillimetres(text, m);
        return text;
    }
    return "K" + SignedText(k.km) + "+" + SignedText(k.m);
}

std::string FixedText(double value) {
    // The millimetres as a whole number N, as Round3 takes them. Below 1e15
    // millimetres (a thousand million kilometres) the double nearest N / 1000
    // is less than a tenth of a millimetre from it, so the three decimals
    // to_chars would write are N's own digits: written straight from N,
    // several times quicker, for batches that write ten of these a row.
    const double N = std::nearbyint(value * 1000);
    if (std::fabs(N) < 1e15) {
        const long long n = static_cast<long long>(N);
        unsigned long long digits = static_cast<unsigned long long>(n < 0 ? -n : n);
        char out[24];
        char* p = out + sizeof out;
        for (int i = 0; i < 3; ++i, digits /= 10) *--p = static_cast<char>('0' + digits % 10);
        *--p = '.';
        do {
            *--p = static_cast<char>('0' + digits % 10);
            digits /= 10;
        } while (digits);
        if (n < 0) *--p = '-';  // n is 0 for -0.0004: written 0.000
        return std::string(p, out + sizeof out);
    }
    // Rounding multiplies by 1000: a value near the top of the range
    // overflows there, as it does in the boxes' CoordinateText.
    double rounded = Round3(value);
    if (!std::isfinite(rounded))
        throw Failure(ErrorKind::InvalidOperation, "计算结果不是一个有限的数，无法写出。请检查输入的数值。");
    if (rounded == 0) rounded = 0;  // -0.0004 rounds to -0, written as 0.000
    char out[400];
    const auto res = std::to_chars(out, out + sizeof out, rounded, std::chars_format::fixed, 3);
    return std::string(out, res.ptr);
}

std::string ChainageMetresText(double chainage, ChainageForm form) {
    if (form == ChainageForm::Entered) return NumberText(chainage);
    const ChainageParts k = SplitChainage(chainage, form);
    // Both parts are already on the millimetre; FixedText's own rounding of
    // their sum only takes off the binary residue of the addition.
    return FixedText(1000 * k.km + k.m);
}

}  // namespace capbeam

namespace capbeam {

std::string EnteredCoordinateText(double value) { return " " + NumberText(value); }
std::string SkewText(double Bdms) { return " " + NumberText(Bdms) + "( 度, 分，秒 )"; }
std::string EnteredLengthText(double value) { return NumberText(value) + "(米)"; }
std::string DirectionText(float P) { return P > 0 ? "正偏" : "反偏"; }
std::string PrecisionText(float mb) { return NumberText(mb) + "(度)"; }
std::string CoordinateText(double value) { return NumberText(Round3(value)); }
std::string LengthText(double value) { return CoordinateText(value) + "(米)"; }

}  // namespace capbeam

#pragma once

#include <string>
#include <string_view>

// How every value enters (as the text of a prompt reply) and leaves (as the
// text of a text box). One place for every number-to-text rule.

namespace capbeam {

// Reads a reply as a decimal number: blanks around it are ignored; an optional
// sign, digits with an optional "." and fraction, an optional exponent.
// Full-width digits, signs, point and blanks (as a Chinese input method types
// them) read like their ASCII forms. Throws Failure: TypeMismatch for an empty
// reply or one that is not a number, Overflow for a number beyond the type's
// range. A reply of "-0" reads as 0.
double ReadDouble(std::string_view reply);
float ReadSingle(std::string_view reply);

// Reads the skew B: a number in D.MMSS as ReadDouble reads it, or degrees,
// minutes and seconds written apart, with the marks ° ′ ″ (or ' and ", or
// 度 分 秒) or blanks between them: "30°15′30″", "30°15'30\"", "30 15 30" and
// "30度15分30秒" all read as 30.153, exactly the value typing "30.153" gives.
// Minutes are one or two digits; seconds two digits at most before an
// optional fraction. Throws Failure as ReadDouble does, and TypeMismatch for
// degrees, minutes and seconds that are not written that way.
double ReadSkewReply(std::string_view reply);

// The general number format: rounded to 15 significant digits (7 for a single),
// fixed notation with "." whatever the locale, no trailing zeros, no point
// without digits after it, "-" before a negative value, never "-0".
// Magnitudes from 1e15 (1e7 for a single) up, or below 1e-15, are written with
// an exponent ("1.23456789012346E+18"). Throws Failure(InvalidOperation) for a
// value that is not finite: no text box ever shows one.
std::string NumberText(double value);
std::string NumberText(float value);

// NumberText with one leading blank when the value is not negative (zero and
// negative zero included): the number format inside a chainage.
std::string SignedText(double value);

// The value rounded to three decimals, an exact half going to the even digit.
double Round3(double value);

// A chainage in metres as "K", kilometres, "+", metres: "K 12+ 345.678".
// Kilometres are truncated towards zero; the metres keep the residue of the
// subtraction, and a computed chainage has them rounded by Round3 (which may
// show 1000: the rounding never carries into the kilometres).
enum class ChainageForm { Entered, Computed };
std::string ChainageText(double chainage, ChainageForm form);

// ---- Numbers for other programs (spreadsheets, total stations) -------------

// The value rounded by Round3 and written with exactly three decimals, "."
// whatever the locale: 1499.6 is "1499.600", so that a column of metres lines
// up and keeps its millimetres. Never "-0.000": a value that rounds to zero
// is "0.000". Throws Failure(InvalidOperation) for a value that is not finite.
std::string FixedText(double value);

// The chainage that ChainageText shows, as metres: an entered chainage as
// typed (NumberText: "1020"), a computed one as its K text's kilometres and
// rounded metres taken together, with exactly three decimals: K 1+ 26.475 is
// "1026.475". The two texts always name the same chainage.
std::string ChainageMetresText(double chainage, ChainageForm form);

}  // namespace capbeam

// ---- The boxes' texts, one rule each ----------------------------------------

namespace capbeam {

// A typed coordinate (O, J): one blank, then the number as read.
std::string EnteredCoordinateText(double value);
// The skew as typed in D.MMSS: " 30.153( 度, 分，秒 )".
std::string SkewText(double Bdms);
// A length as typed (R, Dr): "500(米)".
std::string EnteredLengthText(double value);
// The curve direction: "正偏" for P > 0, "反偏" otherwise.
std::string DirectionText(float P);
// The precision mb: "0.001(度)".
std::string PrecisionText(float mb);
// A computed coordinate: rounded by Round3, in the general format.
std::string CoordinateText(double value);
// A computed length: CoordinateText and "(米)".
std::string LengthText(double value);

}  // namespace capbeam

#pragma once

#include <string_view>

// IEEE arithmetic goes on silently past a division by zero or an overflow and
// hands an infinity or a NaN to the next step; a reply of extreme magnitude
// can carry a sum or a square beyond the double range. The set-up and the
// routines therefore check each division and each result they keep or show,
// and turn what goes wrong into a Failure of the right kind. `what` names, in
// the user's words, the quantity being computed ("内侧端点的桩号").

namespace capbeam {

// `value` itself when finite; Failure(Overflow) for an infinity,
// Failure(InvalidOperation) for a NaN.
double Finite(double value, std::string_view what);

// a / b when b is not zero and the quotient is finite; Failure(DivisionByZero)
// when b is zero, otherwise as Finite.
double Quotient(double a, double b, std::string_view what);

}  // namespace capbeam

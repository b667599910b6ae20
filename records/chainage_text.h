#pragma once

#include <string_view>

#include "geometry/chainage_equations.h"

// Chainages as surveyors type them: in metres ("1234.567") or in K notation
// ("K1+234.567", also "k1+234.567" and with blanks, "K 1+ 234.567", as the
// program writes them; "K0+-250" for -250), optionally followed by the
// stretch in square brackets where chainage equations make a chainage occur
// twice: "K1+205[1]" is K1+205 on the stretch after the first equation,
// "[0]" before it.

namespace capbeam {

// Throws Failure (TypeMismatch, or Overflow from the number reader) for a
// text that is not a chainage; the message quotes the text.
Chainage ReadChainage(std::string_view text);

}  // namespace capbeam

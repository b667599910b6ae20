#pragma once

#include <string>
#include <string_view>

#include "flows/window_ops.h"

// What the text formats can produce, as a grammar: a checker for any text a
// box shows. Used where inputs are arbitrary (fuzzing), so that a box showing
// something no format writes ("-0", "nan", a stray blank) is caught.

namespace capbeam::test {

// NumberText: -?digits[.digits] with no trailing zero in the fraction, or
// the exponent form d[.ddd]E±XX; never "-0".
bool IsNumberText(std::string_view t);

// SignedText: a blank before a number that is not negative.
bool IsSignedText(std::string_view t);

// ChainageText: "K" SignedText "+" SignedText.
bool IsChainageText(std::string_view t);

// Any text the window's handlers can write into `field`.
bool IsFieldText(Box field, std::string_view t);

}  // namespace capbeam::test

#pragma once

#include <functional>
#include <optional>
#include <string>

#include "flows/window_ops.h"

namespace capbeam {

// A rule that a value read at a prompt must keep: nothing when the value is
// acceptable, otherwise the message that says which rule it breaks.
template <class T>
using Rule = std::function<std::optional<std::string>(T)>;

// Shows `prompt` until the reply reads as a number that keeps `rule`. A reply
// that is not a number, is out of range or breaks the rule is refused: the
// window says why and asks again with the rejected text in the entry.
// Cancel throws Cancelled. `help` is what the prompt offers besides its text.
double AskDouble(WindowOps& ops, const std::string& prompt, const Rule<double>& rule = {},
                 const PromptHelp& help = {});
float AskSingle(WindowOps& ops, const std::string& prompt, const Rule<float>& rule = {},
                const PromptHelp& help = {});
// The skew B in D.MMSS, also read from degrees, minutes and seconds written
// apart (ReadSkewReply).
double AskSkew(WindowOps& ops, const std::string& prompt, const Rule<double>& rule, const PromptHelp& help);

}  // namespace capbeam

#pragma once

#include <string_view>

#include "core/failure.h"

namespace capbeam {

// The title of the message box for each kind of message: one place for all.
std::string_view KindTitle(ErrorKind kind);

}  // namespace capbeam

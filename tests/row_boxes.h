#pragma once

#include <array>

#include "flows/window_ops.h"

namespace capbeam::test {

// The boxes that a pier table row copies, column by column (Kp, the centre,
// the inner end's chainage, X, Y and length, then the outer end's).
inline constexpr std::array<Box, 11> kRowBoxes{Box::BeamChainage,  Box::BeamX,  Box::BeamY,       Box::InnerChainage,
                                               Box::InnerX,        Box::InnerY, Box::InnerLength, Box::OuterChainage,
                                               Box::OuterX,        Box::OuterY, Box::OuterLength};

}  // namespace capbeam::test

#pragma once

#include <QString>

namespace capbeam {

// What was typed in the batch dialog, kept by its owner (the panel) from one
// opening to the next, so that a batch can be run again with one change.
struct BatchInputs {
    bool kept = false;  // false until a dialog has been closed or run
    bool list = true;
    QString chainages, start, step, end, Dr, mb;
};

}  // namespace capbeam

#pragma once

#include <optional>
#include <string>

#include "core/failure.h"

namespace capbeam {

// The window's 21 text boxes, by what each shows. The numbers are the boxes'
// form names (Text1 ... Text21), which the terminal front-end writes.
enum class Box {
    CurveCentreX = 1,  // Text1: the curve centre O, northing
    CurveCentreY,      // Text2: O, easting
    DesignChainage,    // Text3: the design beam centre's chainage Kj
    DesignX,           // Text4: J, northing
    DesignY,           // Text5: J, easting
    Skew,              // Text6: the skew B as typed, D.MMSS
    HalfWidth,         // Text7: the roadbed's half-width Dr
    InnerChainage,     // Text8: inner end's chainage
    InnerX,            // Text9
    InnerY,            // Text10
    InnerLength,       // Text11: beam centre to inner end
    OuterChainage,     // Text12: outer end's chainage
    OuterX,            // Text13
    OuterY,            // Text14
    OuterLength,       // Text15: beam centre to outer end
    BeamChainage,      // Text16: the requested beam centre's chainage Kp
    Direction,         // Text17: 正偏 / 反偏
    Radius,            // Text18: R
    BeamX,             // Text19: the beam centre K, northing
    BeamY,             // Text20: K, easting
    Precision,         // Text21: the precision mb
};
constexpr int kBoxCount = 21;
constexpr int BoxNumber(Box f) { return static_cast<int>(f); }
constexpr Box BoxAt(int number) { return static_cast<Box>(number); }

// Why the previous reply to a prompt was refused: the window shows `why` first,
// then the same prompt again with `rejected` in its entry for correction.
struct Refusal {
    std::string rejected;
    Message why;
};

// What a prompt offers besides its message. A front-end without room for it
// (the terminal, which answers line by line) may leave it out.
struct PromptHelp {
    std::string initial;  // the entry's text as the prompt opens: the last value, accepted by Return
    std::string note;     // a line beneath the message: the format expected, with an example
};

// All that the calculation logic uses of the window. The Qt window implements
// it with a modal dialog and its text boxes, the terminal front-end over
// standard input and output, tests with scripted replies.
class WindowOps {
public:
    virtual ~WindowOps() = default;

    // A modal one-line prompt titled with the application's name. Returns the
    // typed line unchanged after OK (possibly empty), nothing after Cancel.
    // The entry holds the refused reply after a refusal, else help.initial.
    virtual std::optional<std::string> PromptText(const std::string& message, const Refusal* refused,
                                                  const PromptHelp& help) = 0;

    // Replaces the whole text of one text box.
    virtual void SetText(Box field, const std::string& text) = 0;

    // Ends the program at once, with no question and nothing saved.
    virtual void EndProgram() = 0;
};

// Thrown when the user cancels a prompt; the click is undone without a message.
struct Cancelled {};

}  // namespace capbeam

#pragma once

#include <optional>
#include <string>

#include "core/failure.h"

namespace capbeam {

// The window's 21 text boxes, by their form names.
enum class Field {
    Text1 = 1, Text2, Text3, Text4, Text5, Text6, Text7, Text8, Text9, Text10, Text11,
    Text12, Text13, Text14, Text15, Text16, Text17, Text18, Text19, Text20, Text21
};
constexpr int kFieldCount = 21;
constexpr int FieldNumber(Field f) { return static_cast<int>(f); }
constexpr Field FieldAt(int number) { return static_cast<Field>(number); }

// Why the previous reply to a prompt was refused: the window shows `why` first,
// then the same prompt again with `rejected` in its entry for correction.
struct Refusal {
    std::string rejected;
    Message why;
};

// All that the calculation logic uses of the window. The Qt window implements
// it with a modal dialog and its text boxes, the terminal front-end over
// standard input and output, tests with scripted replies.
class WindowOps {
public:
    virtual ~WindowOps() = default;

    // A modal one-line prompt titled with the application's name. Returns the
    // typed line unchanged after OK (possibly empty), nothing after Cancel.
    virtual std::optional<std::string> PromptText(const std::string& message,
                                                  const Refusal* refused = nullptr) = 0;

    // Replaces the whole text of one text box.
    virtual void SetText(Field field, const std::string& text) = 0;

    // Ends the program at once, with no question and nothing saved.
    virtual void EndProgram() = 0;
};

}  // namespace capbeam

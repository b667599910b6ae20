#pragma once

#include <stdexcept>
#include <string>

namespace capbeam {

// Every way a click can fail or warn. The window layer gives each kind one
// Chinese title (messages.h); the text of a message says what went wrong and
// what to do about it.
enum class ErrorKind {
    TypeMismatch,      // a reply that is not a number
    Overflow,          // a number beyond the range of its type, or a result that overflows
    OutOfRange,        // a number that breaks a rule of its field (R > 0, P != 0, ...)
    DivisionByZero,    // a division by zero in a formula
    InvalidOperation,  // a result that is not a finite number for any other reason
    Geometry,          // the geometry has no valid answer (J at O, the beam misses an edge ...)
    NoCurve,           // a calculation request before any completed set-up
    Warning,           // not a failure: the click stands, the user is told something
};

struct Message {
    ErrorKind kind;
    std::string text;  // UTF-8
    bool operator==(const Message& o) const { return kind == o.kind && text == o.text; }
};

// Thrown inside a handler; the handler boundary undoes the click and shows it.
class Failure : public std::runtime_error {
public:
    Failure(ErrorKind kind, const std::string& text) : std::runtime_error(text), message_{kind, text} {}
    explicit Failure(const Message& message) : Failure(message.kind, message.text) {}
    const Message& message() const { return message_; }
    ErrorKind kind() const { return message_.kind; }

private:
    Message message_;
};

}  // namespace capbeam

#pragma once

#include <array>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "flows/calculator.h"
#include "tests/row_boxes.h"

namespace capbeam::test {

// A window whose prompts are answered from a script: each reply is the typed
// line, or nothing for Cancel. When the script runs out, every further prompt
// is cancelled, so a test never hangs on an unexpected prompt.
class ScriptedView : public View {
public:
    ScriptedView() = default;
    explicit ScriptedView(std::vector<std::optional<std::string>> replies)
        : replies_(replies.begin(), replies.end()) {}

    void Reply(std::optional<std::string> reply) { replies_.push_back(std::move(reply)); }
    void Replies(const std::vector<std::optional<std::string>>& replies) {
        replies_.insert(replies_.end(), replies.begin(), replies.end());
    }

    std::optional<std::string> PromptText(const std::string& message, const Refusal* refused,
                                          const PromptHelp& help) override;
    void SetText(Box field, const std::string& text) override;
    void EndProgram() override { ended = true; }
    void ShowMessage(const Message& message) override { messages.push_back(message); }

    // What the window has seen, in order.
    std::vector<std::string> prompts;
    std::vector<Refusal> refusals;           // one per re-asked prompt
    std::vector<PromptHelp> helps;           // what each prompt offered, in order
    std::vector<Message> messages;           // message boxes
    std::vector<Box> writes;               // every SetText, in order
    std::map<Box, std::string> texts;      // the last text of each box written
    std::vector<std::string> steps;          // prompts ("?" + text) and writes ("Text7") interleaved
    bool ended = false;

    std::size_t Unanswered() const { return replies_.size(); }

private:
    std::deque<std::optional<std::string>> replies_;
};

// Convenience for tables of expected boxes.
using FieldTexts = std::vector<std::pair<Box, std::string>>;

}  // namespace capbeam::test

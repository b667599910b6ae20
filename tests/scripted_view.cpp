#include "tests/scripted_view.h"

namespace capbeam::test {

std::optional<std::string> ScriptedView::PromptText(const std::string& message, const Refusal* refused,
                                                    const PromptHelp& help) {
    helps.push_back(help);
    prompts.push_back(message);
    steps.push_back("?" + message);
    if (refused) refusals.push_back(*refused);
    if (replies_.empty()) return std::nullopt;
    std::optional<std::string> reply = std::move(replies_.front());
    replies_.pop_front();
    return reply;
}

void ScriptedView::SetText(Box field, const std::string& text) {
    writes.push_back(field);
    steps.push_back("Text" + std::to_string(BoxNumber(field)));
    texts[field] = text;
}

}  // namespace capbeam::test

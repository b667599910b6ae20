#include "flows/ask.h"

#include "core/text_formats.h"

namespace capbeam {

namespace {

template <class T, class Reader>
T Ask(WindowOps& ops, const std::string& prompt, const Rule<T>& rule, const PromptHelp& help, Reader read) {
    std::optional<Refusal> refused;
    for (;;) {
        const std::optional<std::string> reply = ops.PromptText(prompt, refused ? &*refused : nullptr, help);
        if (!reply) throw Cancelled{};
        try {
            const T value = read(*reply);
            if (rule) {
                if (std::optional<std::string> broken = rule(value)) {
                    refused = Refusal{*reply, Message{ErrorKind::OutOfRange, *broken}};
                    continue;
                }
            }
            return value;
        } catch (const Failure& f) {
            refused = Refusal{*reply, f.message()};
        }
    }
}

}  // namespace

double AskDouble(WindowOps& ops, const std::string& prompt, const Rule<double>& rule, const PromptHelp& help) {
    return Ask<double>(ops, prompt, rule, help, [](const std::string& r) { return ReadDouble(r); });
}

float AskSingle(WindowOps& ops, const std::string& prompt, const Rule<float>& rule, const PromptHelp& help) {
    return Ask<float>(ops, prompt, rule, help, [](const std::string& r) { return ReadSingle(r); });
}

double AskSkew(WindowOps& ops, const std::string& prompt, const Rule<double>& rule, const PromptHelp& help) {
    return Ask<double>(ops, prompt, rule, help, [](const std::string& r) { return ReadSkewReply(r); });
}

}  // namespace capbeam

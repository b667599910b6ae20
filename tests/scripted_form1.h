#pragma once

// The window with its prompt and message box answered from a script; a
// prompt beyond the script is cancelled. Shared by the window tests.
#include <QLineEdit>
#include <QString>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

#include "app/form1.h"

namespace capbeam::test {

class ScriptedForm1 : public capbeam::Form1 {
public:
    // As the window opens on a 1366 x 768 screen, where the form and the panel
    // stand side by side (the offscreen platform's screen is 800 x 600).
    ScriptedForm1() { resize(capbeam::OpeningWindowSize(QSize(1366, 768 - 40))); }

    std::deque<std::optional<QString>> replies;
    struct Prompt {
        QString message, entry;
        QString text1;  // what Text1 showed while the prompt was open
        QString note;   // the line beneath the message
    };
    std::vector<Prompt> prompts;
    std::vector<std::pair<QString, QString>> messages;  // title, text
    std::vector<QString> events;                      // "prompt" and "message", in order

    // Queues replies; "<cancel>" cancels its prompt.
    void Reply(std::initializer_list<const char*> texts) {
        for (const char* text : texts)
            replies.push_back(QString::fromUtf8(text) == QLatin1String("<cancel>")
                                  ? std::nullopt
                                  : std::optional<QString>(QString::fromUtf8(text)));
    }

protected:
    std::optional<QString> RunPrompt(const QString& message, const QString& entry, const QString& note) override {
        prompts.push_back({message, entry, BoxWidget(capbeam::Box::CurveCentreX)->text(), note});
        events.push_back(QStringLiteral("prompt"));
        if (replies.empty()) return std::nullopt;
        const bool cancel = !replies.front().has_value();
        const QString reply = replies.front().value_or(QString());
        replies.pop_front();
        if (cancel) return std::nullopt;
        return reply;
    }
    void RunMessageBox(const QString& title, const QString& text) override {
        messages.emplace_back(title, text);
        events.push_back(QStringLiteral("message"));
    }
};

}  // namespace capbeam::test

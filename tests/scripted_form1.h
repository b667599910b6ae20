#pragma once

// The window with its prompt and message box answered from a script; a
// prompt beyond the script is cancelled. Shared by the window tests.
#include <QLineEdit>
#include <QStandardPaths>
#include <QString>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

#include "app/form1.h"
#include "app/job_menu.h"

namespace capbeam::test {

class ScriptedForm1 : public capbeam::Form1 {
public:
    // As the window opens on a 1366 x 768 screen, where the form and the panel
    // stand side by side (the offscreen platform's screen is 800 x 600).
    ScriptedForm1() {
        resize(capbeam::OpeningWindowSize(QSize(1366, 768 - 40)));
        // Recovery files and the recent list go to a test folder, not the user's.
        QStandardPaths::setTestModeEnabled(true);
        capbeam::JobFiles* jobs = Jobs();
        jobs->askSave = [this](const QString& text) {
            saveQuestions.push_back(text);
            events.push_back(QStringLiteral("save?"));
            return Next(saveAnswers, capbeam::JobFiles::Answer::Cancel);
        };
        jobs->askRestore = [this](const QString& text) {
            restoreQuestions.push_back(text);
            events.push_back(QStringLiteral("restore?"));
            return Next(restoreAnswers, false);
        };
        jobs->chooseOpenPath = [this](const QString&) { return Next(openPaths, QString()); };
        jobs->chooseSavePath = [this](const QString&) { return Next(savePaths, QString()); };
    }

    // The job's dialogs: answers in order, then Cancel (no path, 取消, 丢弃).
    std::deque<capbeam::JobFiles::Answer> saveAnswers;
    std::deque<bool> restoreAnswers;
    std::deque<QString> openPaths, savePaths;
    std::vector<QString> saveQuestions, restoreQuestions;

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
    template <class T>
    static T Next(std::deque<T>& queue, T otherwise) {
        if (queue.empty()) return otherwise;
        T next = queue.front();
        queue.pop_front();
        return next;
    }

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

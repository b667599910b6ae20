#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QLockFile;
class QMenu;
class QMenuBar;
class QWidget;

namespace capbeam {

class Calculator;
struct Job;

// The job's files for the window: 新建, 打开…, 保存, 另存为…, 最近打开的作业,
// the question before unsaved work is dropped, and the recovery file that
// keeps an unsaved job through a crash. The window's title names the job
// and marks unsaved changes ("[*]").
class JobFiles : public QObject {
    Q_OBJECT
public:
    enum class Answer { Save, Discard, Cancel };

    JobFiles(Calculator& logic, QWidget* window);
    ~JobFiles() override;

    // The menu bar with the menu "作业" (its actions also work from the form,
    // by their shortcuts).
    QMenuBar* Bar() const { return bar_; }
    // The menu "作业" itself, for the window to add its exports to.
    QMenu* Menu() const { return menu_; }

    // Replaceable for tests: the file choosers (empty on Cancel), the
    // question before unsaved work is dropped, the question whether to
    // restore a job left by a crash, and the message box.
    std::function<QString(const QString& folder)> chooseOpenPath;
    std::function<QString(const QString& suggested)> chooseSavePath;
    std::function<Answer(const QString& text)> askSave;
    std::function<bool(const QString& text)> askRestore;
    std::function<void(const QString& title, const QString& text)> showMessage;

    // The menu's commands; each returns whether it was done.
    bool New();
    bool Open();
    bool OpenPath(const QString& path);
    bool Save();
    bool SaveAs();
    bool SaveTo(const QString& path);
    // Before the window closes or another job replaces this one: true when
    // nothing would be lost (saved, dropped by the user, or nothing worth
    // keeping), false when the user cancels or the save failed.
    // `before` says what is about to happen, in the question ("关闭程序").
    bool MayDiscard(const QString& before = QStringLiteral("关闭程序"));
    // The window closes for good: the recovery file is no longer needed.
    void Finished();

    // After every change of the calculator's job: the title, the recovery file.
    void Changed();
    // At the start: a job left by a program that ended without saving is
    // offered for restoring. Returns whether one was restored.
    bool OfferRecovery();

    bool Modified() const;
    bool WorthKeeping() const;
    const QString& Path() const { return path_; }
    QString Name() const;
    QString RecoveryPath() const;
    QStringList Recent() const;

private:
    void BuildMenu();
    void FillRecent();
    void Remember(const QString& path);
    void Saved(const QString& path);
    void Refresh();
    void WriteRecovery();
    void DropRecovery();
    // After a job opened: says so when it was saved before beams followed
    // their road and its beams moved to follow it, or some are refused.
    void TellFollowedRoad(const Job& job);
    static QString DataFolder();

    Calculator& logic_;
    QWidget* window_;
    QMenuBar* bar_ = nullptr;
    QMenu* menu_ = nullptr;
    QMenu* recent_ = nullptr;
    QString path_;
    unsigned long long saved_ = 0;  // the calculator's change count at the last save or open
    std::unique_ptr<QLockFile> lock_;  // while this window's recovery file is its own
};

// The message for a job file that could not be opened: the file and why.
QString OpenFailureText(const QString& path, const QString& why);

}  // namespace capbeam

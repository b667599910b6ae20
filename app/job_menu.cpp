#include "app/job_menu.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QKeySequence>
#include <QLocale>
#include <QLockFile>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QStandardPaths>
#include <QWidget>

#include "app/app_setup.h"
#include "app/side_panel.h"
#include "flows/calculator.h"
#include "flows/form_layout.h"
#include "flows/job_replay.h"
#include "records/job.h"

namespace capbeam {

namespace {

constexpr int kRecentCount = 8;
// The recovery file's own field: the job file it is a newer state of.
constexpr char kRecoveryOf[] = "recoveryOf";
const QString kFilter = QStringLiteral("盖梁计算作业 (*.capbeam)");

Job ReadJobFile(const QString& path) { return capbeam::ReadJobFile(path.toStdString()); }

}  // namespace

QString OpenFailureText(const QString& path, const QString& why) {
    return Q(JobOpenFailureText(path.toStdString(), why.toStdString()));
}

JobFiles::JobFiles(Calculator& logic, QWidget* window) : QObject(window), logic_(logic), window_(window) {
    saved_ = logic_.Changes();
    chooseOpenPath = [this](const QString& folder) {
        QFileDialog dialog(window_, QStringLiteral("打开作业"), folder, kFilter);
        dialog.setObjectName(QStringLiteral("OpenJobDialog"));
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
        return dialog.selectedFiles().front();
    };
    chooseSavePath = [this](const QString& suggested) {
        QString path = ChooseSaveFile(window_, QStringLiteral("保存作业"), suggested, kFilter);
        if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".capbeam");
        return path;
    };
    askSave = [this](const QString& text) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("作业没有保存"), text, QMessageBox::NoButton, window_);
        box.setObjectName(QStringLiteral("SaveQuestion"));
        QPushButton* save = box.addButton(QStringLiteral("保存(&S)"), QMessageBox::AcceptRole);
        QPushButton* discard = box.addButton(QStringLiteral("不保存(&N)"), QMessageBox::DestructiveRole);
        QPushButton* cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
        box.setDefaultButton(save);
        box.setEscapeButton(cancel);
        box.exec();
        if (box.clickedButton() == save) return Answer::Save;
        if (box.clickedButton() == discard) return Answer::Discard;
        return Answer::Cancel;
    };
    askRestore = [this](const QString& text) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("恢复没有保存的作业"), text, QMessageBox::NoButton,
                        window_);
        box.setObjectName(QStringLiteral("RestoreQuestion"));
        QPushButton* restore = box.addButton(QStringLiteral("恢复"), QMessageBox::AcceptRole);
        QPushButton* drop = box.addButton(QStringLiteral("丢弃"), QMessageBox::DestructiveRole);
        box.setDefaultButton(restore);
        box.setEscapeButton(restore);
        box.exec();
        return box.clickedButton() != drop;
    };
    showMessage = [this](const QString& title, const QString& text) {
        QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, window_);
        box.setObjectName(QStringLiteral("JobMessage"));
        QPushButton* ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
        box.setDefaultButton(ok);
        box.setEscapeButton(ok);
        box.exec();
    };
    BuildMenu();
    Refresh();
}

JobFiles::~JobFiles() = default;

void JobFiles::BuildMenu() {
    bar_ = new QMenuBar;
    bar_->setObjectName(QStringLiteral("JobMenuBar"));
    bar_->setAccessibleName(QStringLiteral("作业菜单"));
    bar_->setNativeMenuBar(false);
    QMenu* menu = menu_ = bar_->addMenu(QStringLiteral("作业(&F)"));
    menu->setObjectName(QStringLiteral("JobMenu"));
    const auto add = [&](const char* name, const QString& text, const QKeySequence& keys, auto slot) {
        auto* action = new QAction(text, bar_);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(keys);
        // Also in the form's tab, where the menu bar is hidden.
        action->setShortcutContext(Qt::WindowShortcut);
        window_->addAction(action);
        menu->addAction(action);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    add("NewJobAction", QStringLiteral("新建(&N)"), QKeySequence::New, [this] { New(); });
    add("OpenJobAction", QStringLiteral("打开(&O)…"), QKeySequence::Open, [this] { Open(); });
    recent_ = menu->addMenu(QStringLiteral("最近打开的作业(&R)"));
    recent_->setObjectName(QStringLiteral("RecentJobsMenu"));
    connect(recent_, &QMenu::aboutToShow, this, [this] { FillRecent(); });
    menu->addSeparator();
    add("SaveJobAction", QStringLiteral("保存(&S)"), QKeySequence::Save, [this] { Save(); });
    add("SaveJobAsAction", QStringLiteral("另存为(&A)…"), QKeySequence::SaveAs, [this] { SaveAs(); });
    FillRecent();
}

void JobFiles::FillRecent() {
    recent_->clear();
    const QStringList paths = Recent();
    for (const QString& path : paths) {
        QAction* action = recent_->addAction(QDir::toNativeSeparators(path));
        connect(action, &QAction::triggered, this, [this, path] {
            if (MayDiscard(QStringLiteral("打开另一个作业"))) OpenPath(path);
        });
    }
    if (paths.isEmpty()) recent_->addAction(QStringLiteral("（还没有打开过作业）"))->setEnabled(false);
}

QString JobFiles::DataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QStringList JobFiles::Recent() const {
    QFile file(QDir(DataFolder()).filePath(QStringLiteral("recent-jobs.txt")));
    if (!file.open(QIODevice::ReadOnly)) return {};
    QStringList paths = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    while (paths.size() > kRecentCount) paths.removeLast();
    return paths;
}

void JobFiles::Remember(const QString& path) {
    QStringList paths = Recent();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    paths.removeAll(absolute);
    paths.prepend(absolute);
    while (paths.size() > kRecentCount) paths.removeLast();
    QDir().mkpath(DataFolder());
    QSaveFile file(QDir(DataFolder()).filePath(QStringLiteral("recent-jobs.txt")));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(paths.join(QLatin1Char('\n')).toUtf8() + '\n');
        file.commit();  // a list of recent files that cannot be written is no loss
    }
}

QString JobFiles::Name() const {
    return path_.isEmpty() ? QStringLiteral("未命名作业") : QFileInfo(path_).completeBaseName();
}

bool JobFiles::Modified() const { return logic_.Changes() != saved_; }

bool JobFiles::WorthKeeping() const { return !path_.isEmpty() || !logic_.CurrentJob().Blank(); }

void JobFiles::Refresh() {
    window_->setWindowTitle(QStringLiteral("%1[*] - %2").arg(Name(), Q(kTitle)));
    window_->setWindowModified(Modified() && WorthKeeping());
}

void JobFiles::Changed() {
    Refresh();
    if (Modified() && WorthKeeping())
        WriteRecovery();
    else
        DropRecovery();
}

QString JobFiles::RecoveryPath() const {
    return QDir(DataFolder()).filePath(QStringLiteral("recovery-%1.capbeam").arg(QCoreApplication::applicationPid()));
}

void JobFiles::WriteRecovery() {
    QDir().mkpath(DataFolder());
    if (!lock_) {
        // Held while this window runs: a recovery file whose lock is free
        // was left by a program that ended without closing.
        lock_ = std::make_unique<QLockFile>(RecoveryPath() + QStringLiteral(".lock"));
        lock_->setStaleLockTime(0);
        if (!lock_->tryLock(0)) lock_.reset();
    }
    Job job = logic_.CurrentJob();
    if (!path_.isEmpty())
        job.kept[kRecoveryOf] =
            QJsonDocument(QJsonArray{QFileInfo(path_).absoluteFilePath()}).toJson(QJsonDocument::Compact).mid(1).chopped(1).toStdString();
    QString ignored;  // a recovery file that cannot be written leaves the earlier one, not a cut-short one
    SaveWholeFile(RecoveryPath(), WriteJob(job), ignored);
}

void JobFiles::DropRecovery() {
    QFile::remove(RecoveryPath());
    lock_.reset();  // unlocks and removes the lock file
}

void JobFiles::Finished() { DropRecovery(); }

bool JobFiles::OfferRecovery() {
    const QDir folder(DataFolder());
    const QFileInfoList left =
        folder.entryInfoList({QStringLiteral("recovery-*.capbeam")}, QDir::Files, QDir::Time);
    for (const QFileInfo& found : left) {
        if (found.absoluteFilePath() == QFileInfo(RecoveryPath()).absoluteFilePath()) continue;
        QLockFile owner(found.absoluteFilePath() + QStringLiteral(".lock"));
        owner.setStaleLockTime(0);
        if (!owner.tryLock(0)) continue;  // another window's, still open
        const QString when = QLocale().toString(found.lastModified(), QStringLiteral("yyyy年M月d日 HH:mm"));
        const bool restore = askRestore(
            QStringLiteral("上次程序没有正常退出（可能是断电或死机），留下了一份没有保存的作业，最后修改于 %1。\n"
                           "要恢复它吗？选择“丢弃”将永久删除这份内容。")
                .arg(when));
        if (restore) {
            try {
                Job job = ReadJobFile(found.absoluteFilePath());
                QString original;
                if (auto it = job.kept.find(kRecoveryOf); it != job.kept.end()) {
                    const QJsonDocument wrapped = QJsonDocument::fromJson("[" + QByteArray::fromStdString(it->second) + "]");
                    original = wrapped.array().at(0).toString();
                    job.kept.erase(it);
                }
                ReplayJob(job, logic_);
                path_ = original;
                saved_ = logic_.Changes() - 1;  // restored, not saved: it is an unsaved change
                Changed();
                TellFollowedRoad(job);
            } catch (const Failure& failure) {
                showMessage(QStringLiteral("作业没有恢复"), OpenFailureText(found.absoluteFilePath(), Q(failure.message().text)));
                return false;  // the file stays for another try or for hand repair
            }
        }
        QFile::remove(found.absoluteFilePath());
        return restore;
    }
    return false;
}

void JobFiles::TellFollowedRoad(const Job& job) {
    // A job's beams stand on its page's road: one saved before they followed
    // it may open with beams elsewhere than its clicks put them.
    if (job.minor >= 2) return;
    const std::optional<RoadFollowed>& followed = logic_.LastFollowed();
    if (followed && (followed->moved > 0 || followed->refused > 0))
        showMessage(QStringLiteral("盖梁已重新计算"), Q(RoadFollowedText(*followed, true)));
}

bool JobFiles::MayDiscard(const QString& before) {
    if (!Modified() || !WorthKeeping()) return true;
    const QString text =
        QStringLiteral("作业“%1”有没有保存的修改。\n要在%2之前保存吗？选择“不保存”将丢失这些修改，“取消”则什么也不做。")
            .arg(Name(), before);
    switch (askSave(text)) {
        case Answer::Save: return Save();
        case Answer::Discard: return true;
        case Answer::Cancel: return false;
    }
    return false;
}

bool JobFiles::New() {
    if (!MayDiscard(QStringLiteral("新建作业"))) return false;
    ReplayJob(Job{}, logic_);
    path_.clear();
    saved_ = logic_.Changes();
    Changed();
    return true;
}

bool JobFiles::Open() {
    if (!MayDiscard(QStringLiteral("打开另一个作业"))) return false;
    const QString folder = path_.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                                           : QFileInfo(path_).absolutePath();
    const QString path = chooseOpenPath(folder);
    if (path.isEmpty()) return false;
    return OpenPath(path);
}

bool JobFiles::OpenPath(const QString& path) {
    Job job;
    try {
        job = ReadJobFile(path);
        ReplayJob(job, logic_);
    } catch (const Failure& failure) {
        showMessage(QStringLiteral("作业没有打开"), OpenFailureText(path, Q(failure.message().text)));
        return false;
    }
    path_ = QFileInfo(path).absoluteFilePath();
    saved_ = logic_.Changes();
    Remember(path_);
    Changed();
    TellFollowedRoad(job);
    return true;
}

bool JobFiles::Save() { return path_.isEmpty() ? SaveAs() : SaveTo(path_); }

bool JobFiles::SaveAs() {
    const QString folder = path_.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                                           : QFileInfo(path_).absolutePath();
    const QString path = chooseSavePath(QDir(folder).filePath(Name() + QStringLiteral(".capbeam")));
    if (path.isEmpty()) return false;
    return SaveTo(path);
}

bool JobFiles::SaveTo(const QString& path) {
    QString text;
    if (!SaveWholeFile(path, WriteJob(logic_.CurrentJob()), text)) {
        showMessage(QStringLiteral("作业没有保存"), text);
        return false;
    }
    path_ = QFileInfo(path).absoluteFilePath();
    saved_ = logic_.Changes();
    Remember(path_);
    Changed();
    return true;
}

}  // namespace capbeam

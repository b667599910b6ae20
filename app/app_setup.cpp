#include "app/app_setup.h"

#include <QMessageBox>
#include <QPushButton>

#include <QApplication>
#include <QDir>
#include <QFileDevice>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFontDatabase>
#include <QIdentityProxyModel>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QPushButton>
#include <QSaveFile>
#include <QStyleFactory>
#include <QTranslator>
#include <cmath>

#include "flows/form_layout.h"

namespace capbeam {

// The CJK families the window may write in, best first.
// On Windows: Microsoft YaHei (every Windows since Vista has it), then SimSun
// (on every Chinese Windows, and the face the form was first drawn in).
// WenQuanYi Micro Hei has the tightest line spacing (13 px at 11 px) of the
// CJK fonts in Debian's archive; Noto Sans CJK (16 px) is only the fallback
// and spills two-line captions out of their boxes. The Linux families stay
// on the Windows list for a Windows without the first two (Wine's, say).
constexpr const char* kWindowFamilies[] = {
#ifdef Q_OS_WIN
    "Microsoft YaHei",
    "SimSun",
#endif
    "WenQuanYi Micro Hei",
    "Noto Sans CJK SC",
};

QString WindowFontFamily() {
    static const QString chosen = [] {
        const QStringList installed = QFontDatabase::families();
        for (const char* family : kWindowFamilies)
            if (installed.contains(QLatin1String(family))) return QString::fromLatin1(family);
        return QString();  // the system picks whatever renders Chinese
    }();
    return chosen;
}

int PointsToPixels(double pointSize) { return static_cast<int>(std::lround(pointSize * 96.0 / 72.0)); }

QFont WindowFont(double pointSize) {
    QFont font(WindowFontFamily());
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(PointsToPixels(pointSize));
    font.setBold(true);
    return font;
}

namespace {

// Watches one button's keys: Return or Enter (keypad too) with no modifier
// clicks it. Held keys repeat nothing, as Space repeats nothing.
class ReturnPresses : public QObject {
public:
    explicit ReturnPresses(QPushButton* button) : QObject(button), button_(button) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != button_ || event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
        if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
        if (!key->isAutoRepeat() && button_->isEnabled()) button_->click();
        return true;
    }

private:
    QPushButton* button_;
};

// Qt 6 moved some texts of its file dialogs into contexts that Debian's
// Chinese catalogue (made for Qt 5) does not have yet; the user would see
// "Folder" in a Chinese dialog. This answers for those texts only, and
// corrects the catalogue's "体积" (volume) for a file's size.
class QtChineseGaps : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText, const char*, int) const override {
        static const struct {
            const char *context, *source, *chinese;
        } kGaps[] = {
            {"QAbstractFileIconProvider", "Folder", "文件夹"},
            {"QAbstractFileIconProvider", "File Folder", "文件夹"},
            {"QAbstractFileIconProvider", "Drive", "驱动器"},
            {"QAbstractFileIconProvider", "Alias", "别名"},
            {"QAbstractFileIconProvider", "Shortcut", "快捷方式"},
            {"QFileSystemModel", "Size", "大小"},
        };
        if (!context || !sourceText) return {};
        for (const auto& gap : kGaps)
            if (qstrcmp(context, gap.context) == 0 && qstrcmp(sourceText, gap.source) == 0)
                return QString::fromUtf8(gap.chinese);
        return {};
    }
};

// The file list's sizes ("字节") and dates in the default (Chinese) locale:
// the file system model writes them in the system's.
class ChineseSizesAndDates : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    static constexpr int kSizeColumn = 1;
    static constexpr int kDateColumn = 3;
    QVariant data(const QModelIndex& index, int role) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (files && role == Qt::DisplayRole) {
            const QModelIndex file = mapToSource(index);
            if (index.column() == kDateColumn) return QLocale().toString(files->lastModified(file), QLocale::ShortFormat);
            if (index.column() == kSizeColumn && !files->isDir(file))
                return QLocale().formattedDataSize(files->size(file));
        }
        return QIdentityProxyModel::data(index, role);
    }
};

}  // namespace

QString ChooseSaveFile(QWidget* parent, const QString& caption, const QString& suggested, const QString& filter) {
    QFileDialog dialog(parent, caption, QString(), filter);
    dialog.setObjectName(QStringLiteral("SaveFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setProxyModel(new ChineseSizesAndDates(&dialog));
    // The suggested folder when it exists (a fresh account may have no
    // 文档 folder yet), else the home folder; the name box holds the name only.
    const QFileInfo wanted(suggested);
    dialog.setDirectory(wanted.absoluteDir().exists() ? wanted.absolutePath() : QDir::homePath());
    dialog.selectFile(wanted.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

void SpeakChinese(QApplication& app) {
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China));
    auto* qtTranslations = new QTranslator(&app);
    if (qtTranslations->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qtTranslations);
    // Installed last, asked first.
    QApplication::installTranslator(new QtChineseGaps(&app));
}

void PressOnReturn(QPushButton* button) { button->installEventFilter(new ReturnPresses(button)); }

QPushButton* PageButton(const char* name, const QString& text, const QString& tip) {
    auto* button = new QPushButton(text);
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(text);
    button->setToolTip(tip);
    button->setAutoDefault(false);
    PressOnReturn(button);
    return button;
}

QIcon AppIcon() {
    QIcon icon;
    for (const char* file : {":/icons/capbeam-32-2.xpm", ":/icons/capbeam-32-16.xpm", ":/icons/capbeam-16-16.xpm"})
        icon.addFile(QString::fromLatin1(file));
    return icon;
}

void PrepareApplication(QApplication& app) {
    const QString name = Q(kAppName);
    QApplication::setApplicationName(name);
    QApplication::setApplicationDisplayName(name);
    // Fusion paints buttons in their palette colour on every platform.
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) QApplication::setStyle(fusion);

    SpeakChinese(app);

    QFont font = QApplication::font();
    if (!WindowFontFamily().isEmpty()) font.setFamily(WindowFontFamily());
    QApplication::setFont(font);
    QApplication::setWindowIcon(AppIcon());
}

void ShowMessageBox(QWidget* parent, const QString& objectName, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, parent);
    box.setObjectName(objectName);
    QPushButton* ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

QString SaveFailureText(const QString& path, int fileError, const QString& systemText) {
    QString why;
    switch (static_cast<QFileDevice::FileError>(fileError)) {
        case QFileDevice::OpenError:
            why = QStringLiteral("无法在这里创建文件：文件夹不存在、没有写入权限，或同名文件正被其他程序占用");
            break;
        case QFileDevice::PermissionsError: why = QStringLiteral("没有写入这个文件夹的权限"); break;
        case QFileDevice::WriteError:
        case QFileDevice::ResourceError: why = QStringLiteral("写入时出错：磁盘可能已满、已写保护或已被拔出"); break;
        case QFileDevice::RenameError:
            why = QStringLiteral("无法替换原有的同名文件：它可能是只读的，或正被其他程序（例如电子表格）打开");
            break;
        default: why = QStringLiteral("系统报告：") + systemText; break;
    }
    return QStringLiteral("文件“%1”没有保存。\n%2。\n计算记录仍然完整保留；请关闭占用该文件的程序，或换一个文件夹或文件名后再保存一次。")
        .arg(QDir::toNativeSeparators(path), why);
}

bool SaveWholeFile(const QString& path, std::string_view bytes, QString& why) {
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok) ok = file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
    // Qt 6.4's commit() does not see a failed flush of its buffer (a full
    // disk): it would put a cut-short file in place of the old one.
    if (ok) ok = file.flush() && file.error() == QFileDevice::NoError;
    if (ok) ok = file.commit();
    if (!ok) {
        why = SaveFailureText(path, file.error(), file.errorString());
        file.cancelWriting();
    }
    return ok;
}

}  // namespace capbeam

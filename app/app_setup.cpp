#include "app/app_setup.h"

#include <QApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QPushButton>
#include <QStyleFactory>
#include <QTranslator>
#include <cmath>

#include "app/form1_layout.h"

namespace capbeam {

QString WindowFontFamily() {
    // WenQuanYi Micro Hei has the tightest line spacing (13 px at 11 px) of
    // the CJK fonts in Debian's archive; Noto Sans CJK (16 px) is only the
    // fallback and spills two-line captions out of their boxes.
    static const QString chosen = [] {
        const QStringList installed = QFontDatabase::families();
        for (const char* family : {"WenQuanYi Micro Hei", "Noto Sans CJK SC"})
            if (installed.contains(QLatin1String(family))) return QString::fromLatin1(family);
        return QString();  // fontconfig picks whatever renders Chinese
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

}  // namespace

void PressOnReturn(QPushButton* button) { button->installEventFilter(new ReturnPresses(button)); }

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

    auto* qtTranslations = new QTranslator(&app);
    if (qtTranslations->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qtTranslations);

    QFont font = QApplication::font();
    if (!WindowFontFamily().isEmpty()) font.setFamily(WindowFontFamily());
    QApplication::setFont(font);
    QApplication::setWindowIcon(AppIcon());
}

}  // namespace capbeam

#pragma once

#include <QFont>
#include <QIcon>
#include <QString>
#include <string_view>

class QApplication;
class QPushButton;
class QWidget;

namespace capbeam {

// The core's UTF-8 texts as the toolkit's strings.
inline QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<int>(text.size())); }

// The CJK family that stands in for the form's "MS Sans Serif": the first of
// our candidates that is installed. Its metrics keep every caption inside its
// box (two lines in the 25-pixel boxes at 8.25 pt).
QString WindowFontFamily();

// The window's bold font at a size in points. The layout is fixed in pixels
// at 96 dpi, so the font is fixed in pixels too (8.25 pt = 11 px, 9.75 pt =
// 13 px, 13.5 pt = 18 px): a display with another logical dpi must not make
// the captions outgrow their boxes.
QFont WindowFont(double pointSize);
int PointsToPixels(double pointSize);

// Writes `bytes` to the file at `path` whole or not at all: QSaveFile writes
// beside the target and replaces it only when every byte is written, so a
// full disk or a crash mid-save leaves the earlier file as it was. On
// failure, `why` says so in a surveyor's words (SaveFailureText).
bool SaveWholeFile(const QString& path, std::string_view bytes, QString& why);
// Why a save failed: what went wrong with the file at `path` and what to
// do; the work is still there.
QString SaveFailureText(const QString& path, int fileError, const QString& systemText);

// The program's icon: 32x32 two-colour, 32x32 16-colour and 16x16 16-colour.
QIcon AppIcon();

// Return and Enter press `button` while it has the focus, as Space does,
// without making it a default button: outside a dialog Qt gives Return to a
// push button only when it is a default, and a default would take Return
// from every other control too.
void PressOnReturn(QPushButton* button);

// A push button of the panel's pages: named for the tests and for screen
// readers, never a default button, pressed by Return (PressOnReturn); the
// tip, when given, says what it does.
QPushButton* PageButton(const char* name, const QString& text, const QString& tip = {});

// The file chooser for saving, in Chinese whatever the system's language:
// Qt's own dialog (a desktop's native one speaks the desktop's language),
// dates in the Chinese locale. Returns the chosen path, or empty on Cancel.
QString ChooseSaveFile(QWidget* parent, const QString& caption, const QString& suggested, const QString& filter);

// The program's message box: a warning icon, the text, one button "确定" that
// Return and Esc both press. `objectName` lets tests and screen readers find it.
void ShowMessageBox(QWidget* parent, const QString& objectName, const QString& title, const QString& text);

// The program speaks Chinese whatever the system's locale: the locale for
// dates and numbers in Qt's dialogs, and the translations of Qt's own texts
// (buttons, file dialogs, context menus).
void SpeakChinese(QApplication& app);

// Application-wide settings: names, style, Chinese (SpeakChinese), default
// font and icon.
void PrepareApplication(QApplication& app);

}  // namespace capbeam

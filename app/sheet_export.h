#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QMenu;
class QWidget;

// The calculation sheet and the CAD drawing from the window: 导出计算书 (PDF)…,
// 打印计算书… and 导出 CAD 图 (DXF)…, in the 作业 menu. They take the pier
// table as it stands and, for beams on a whole alignment, the road and the
// half-widths the page 道路线形 holds.

namespace capbeam {

class AlignmentPage;
class Calculator;

class SheetExport : public QObject {
    Q_OBJECT
public:
    SheetExport(Calculator& logic, const AlignmentPage* alignment, QWidget* window);

    // Adds the three actions to `menu`; `title` gives the job's name for the sheet.
    void AddTo(QMenu* menu, std::function<QString()> title);

    // Replaceable for tests: the file chooser (empty on Cancel) and the message box.
    std::function<QString(const QString& caption, const QString& suggested, const QString& filter)> chooseSavePath;
    std::function<void(const QString& title, const QString& text)> showMessage;

    // The commands without their choosers; each returns whether it was done.
    bool SavePdf(const QString& path);
    bool SaveDxf(const QString& path);
    bool Print();

private:
    bool Ready();
    QString Suggested(const char* suffix) const;

    Calculator& logic_;
    const AlignmentPage* alignment_;
    QWidget* window_;
    std::function<QString()> title_;
    QString lastFolder_;
};

}  // namespace capbeam

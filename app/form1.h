#pragma once

#include <QWidget>
#include <array>
#include <optional>

#include "flows/form_layout.h"
#include "flows/calculator.h"

class QLineEdit;
class QPushButton;
class QScrollArea;
class QSplitter;
class QTabWidget;

namespace capbeam {

class JobFiles;
class SheetExport;
class SidePanel;

// The calculator window: the form's captions, 21 read-only text boxes and
// three buttons at their fixed places, built from the layout tables, and the
// window side of the three window operations. All calculation happens in
// Calculator; this class only shows and asks.
class Form1 : public QWidget, public View {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    std::optional<std::string> PromptText(const std::string& message, const Refusal* refused,
                                          const PromptHelp& help) override;
    void SetText(Box field, const std::string& text) override;
    void EndProgram() override;
    void ShowMessage(const Message& message) override;
    void RecordChanged() override;
    void JobReplaced() override;
    void RowsPlacedAgain() override;

    const Calculator& Logic() const { return logic_; }
    // The plan view, pier table, batch and export beside the form.
    SidePanel* Panel() const { return panel_; }
    // The job's files: the menu, the title, the unsaved-changes question.
    JobFiles* Jobs() const { return jobs_; }
    SheetExport* Sheets() const { return sheets_; }
    QLineEdit* BoxWidget(Box box) const;
    // The widget that holds the form's layout at its designed coordinates.
    QWidget* Layout() const { return layout_; }
    // Whether the form and the panel are two tabs (a window too narrow for
    // both side by side) rather than side by side.
    bool Tabbed() const { return tabbed_; }

protected:
    // The dialogs, one function each so that tests can answer them without a
    // real modal dialog. RunPrompt returns the typed line, or nothing on Cancel;
    // `note` is a line beneath the message (the format expected), or empty.
    virtual std::optional<QString> RunPrompt(const QString& message, const QString& entry, const QString& note);
    virtual void RunMessageBox(const QString& title, const QString& text);

    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildLayout();
    // Side by side when the window is wide enough for the form and a usable
    // panel, else two tabs; the focus stays where it was.
    void Arrange(bool tabbed);

    QWidget* layout_ = nullptr;
    SidePanel* panel_ = nullptr;
    JobFiles* jobs_ = nullptr;
    SheetExport* sheets_ = nullptr;
    QWidget* panelSide_ = nullptr;  // the job menu above the panel's scroll area
    bool leaving_ = false;          // the user has agreed to close
    QScrollArea* formScroll_ = nullptr;
    QScrollArea* panelScroll_ = nullptr;
    QSplitter* split_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QWidget* start_ = nullptr;  // has the focus as the window opens
    bool tabbed_ = false;
    std::array<QLineEdit*, kBoxCount> boxes_{};
    Calculator logic_{*this};
};

// A twip rectangle of the layout tables, in pixels at 96 dpi.
QRect PixelRect(const TwipRect& rect);

// The layout's extent in pixels plus the margin the window leaves around it.
QSize LayoutPixelSize();

// The window as it opens: the layout and the panel beside it, within a
// 1366 x 768 screen (title bar and task bar included).
QSize OpeningWindowSize();
// The same on a screen whose free area (without task bars) is `available`:
// no larger than it, with room for the window's title bar and frame.
QSize OpeningWindowSize(const QSize& available);

// The narrowest window that shows the form and the panel side by side: the
// whole layout and a panel wide enough for its buttons and a plan. A
// narrower window shows them as two tabs.
int SideBySideMinimumWidth();

}  // namespace capbeam

#include "app/form1.h"

#include "app/alignment_page.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>
#include <vector>

#include "app/alignment_page.h"
#include "app/app_setup.h"
#include "app/caption.h"
#include "app/job_menu.h"
#include "app/sheet_export.h"
#include "app/pier_table_model.h"
#include "app/messages.h"
#include "app/side_panel.h"

namespace capbeam {

namespace {

const QColor kWindowColour(192, 255, 255);
const QColor kButtonColour(255, 224, 192);
// Room right and below the controls, so the last row does not touch the frame.
constexpr int kMarginPixels = 12;
// The panel's share of the opening width, and the opening height: together
// with the layout they fit a 1366 x 768 screen with its title and task bars.
constexpr int kPanelPixels = 560;
constexpr int kOpeningHeightPixels = 680;
// Below this a panel beside the form is a sliver: its four buttons no longer
// fit in a row and the plan shrinks to a strip.
constexpr int kPanelMinimumPixels = 440;
// What a window manager adds around the window: its title bar and frame.
constexpr int kFrameWidthPixels = 8;
constexpr int kFrameHeightPixels = 32;

void Paint(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

}  // namespace

QRect PixelRect(const TwipRect& rect) {
    return {TwipsToPixels(rect.left), TwipsToPixels(rect.top), TwipsToPixels(rect.width),
            TwipsToPixels(rect.height)};
}

QSize LayoutPixelSize() {
    return {TwipsToPixels(kLayoutWidthTwips) + kMarginPixels, TwipsToPixels(kLayoutHeightTwips) + kMarginPixels};
}

QSize OpeningWindowSize() {
    return {LayoutPixelSize().width() + kPanelPixels, std::max(LayoutPixelSize().height(), kOpeningHeightPixels)};
}

QSize OpeningWindowSize(const QSize& available) {
    const QSize wanted = OpeningWindowSize();
    return {std::max(1, std::min(wanted.width(), available.width() - kFrameWidthPixels)),
            std::max(1, std::min(wanted.height(), available.height() - kFrameHeightPixels))};
}

int SideBySideMinimumWidth() { return LayoutPixelSize().width() + kPanelMinimumPixels; }

Form1::Form1(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(Q(kTitle));
    Paint(this, QPalette::Window, kWindowColour);
    setAutoFillBackground(true);

    // The designed layout sits in a scroll area at the left, so the whole form
    // stays reachable in a small window; the panel stands at its right, in a
    // scroll area of its own, and takes what the window gains or loses first.
    // A window too narrow for both shows them as two tabs instead.
    layout_ = new QWidget;
    layout_->setObjectName(QStringLiteral("Form1Layout"));
    layout_->setFixedSize(LayoutPixelSize());
    BuildLayout();

    formScroll_ = new QScrollArea;
    formScroll_->setObjectName(QStringLiteral("Form1Scroll"));
    formScroll_->setAccessibleName(Q(kTitle));
    formScroll_->setFrameShape(QFrame::NoFrame);
    formScroll_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    formScroll_->setWidget(layout_);
    formScroll_->setFocusPolicy(Qt::NoFocus);
    panel_ = new SidePanel(logic_);
    panel_->showMessage = [this](const QString& title, const QString& text) { RunMessageBox(title, text); };
    panelScroll_ = new QScrollArea;
    panelScroll_->setObjectName(QStringLiteral("PanelScroll"));
    panelScroll_->setAccessibleName(QStringLiteral("平面图和计算记录"));
    panelScroll_->setFrameShape(QFrame::NoFrame);
    panelScroll_->setWidgetResizable(true);
    panelScroll_->setWidget(panel_);
    panelScroll_->setFocusPolicy(Qt::NoFocus);
    // The job menu stands above the panel, so the form keeps its layout.
    jobs_ = new JobFiles(logic_, this);
    jobs_->showMessage = [this](const QString& title, const QString& text) { RunMessageBox(title, text); };
    sheets_ = new SheetExport(logic_, panel_->Alignment(), this);
    sheets_->showMessage = [this](const QString& title, const QString& text) { RunMessageBox(title, text); };
    sheets_->AddTo(jobs_->Menu(), [this] { return jobs_->Name(); });
    panelSide_ = new QWidget;
    panelSide_->setObjectName(QStringLiteral("PanelSide"));
    auto* sideColumn = new QVBoxLayout(panelSide_);
    sideColumn->setContentsMargins(0, 0, 0, 0);
    sideColumn->setSpacing(0);
    sideColumn->addWidget(jobs_->Bar());
    sideColumn->addWidget(panelScroll_, 1);
    // A new orientation is a change of the job too.
    for (auto* choice : panel_->findChildren<QRadioButton*>())
        connect(choice, &QRadioButton::toggled, this, [this] { jobs_->Changed(); });
    // So is the alignment page's table and design beam.
    connect(panel_->Alignment(), &AlignmentPage::JobChanged, this, [this] { jobs_->Changed(); });

    split_ = new QSplitter(Qt::Horizontal);
    split_->setObjectName(QStringLiteral("WindowSplitter"));
    split_->setAccessibleName(QStringLiteral("计算窗体与右侧面板的分隔"));
    split_->setChildrenCollapsible(false);
    tabs_ = new QTabWidget;
    tabs_->setObjectName(QStringLiteral("WindowTabs"));
    tabs_->setAccessibleName(QStringLiteral("计算窗体与平面图、计算记录"));
    tabs_->setDocumentMode(true);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(split_, 1);
    row->addWidget(tabs_, 1);
    tabbed_ = true;  // so that Arrange builds the side-by-side arrangement
    Arrange(false);
    // The first in the tab order starts with the focus, also when the window
    // opens as tabs, whose bar would otherwise come first.
    start_->setFocus();
    const QScreen* screen = QGuiApplication::primaryScreen();
    resize(screen ? OpeningWindowSize(screen->availableGeometry().size()) : OpeningWindowSize());
}

void Form1::Arrange(bool tabbed) {
    if (tabbed == tabbed_) return;
    tabbed_ = tabbed;
    // The window's focus child, also while the window is not active (at the
    // start it is Text1): moving a widget to another parent drops its focus.
    QWidget* focus = focusWidget();
    if (tabbed) {
        tabs_->addTab(formScroll_, QStringLiteral("计算"));
        tabs_->addTab(panelSide_, QStringLiteral("平面图和计算记录"));
        if (focus && panelSide_->isAncestorOf(focus)) tabs_->setCurrentWidget(panelSide_);
        split_->hide();
        tabs_->show();
    } else {
        split_->addWidget(formScroll_);
        split_->addWidget(panelSide_);
        split_->setStretchFactor(0, 0);
        split_->setStretchFactor(1, 1);
        tabs_->hide();
        split_->show();
        formScroll_->show();
        panelSide_->show();
        // The splitter shares out its own width: give it the window's first.
        split_->setGeometry(rect());
        split_->setSizes({LayoutPixelSize().width(), std::max(width() - LayoutPixelSize().width(), kPanelPixels)});
    }
    if (focus) focus->setFocus();
}

void Form1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Arrange(event->size().width() < SideBySideMinimumWidth());
}

// The panel reads the logic's pier table: it goes before the logic does
// (child widgets would otherwise outlive the members).
Form1::~Form1() { delete panel_; }

void Form1::BuildLayout() {
    for (const CaptionRow& row : kCaptions) {
        auto* caption = new Caption(Q(row.text), layout_);
        caption->setObjectName(Q(row.name));
        caption->setGeometry(PixelRect(row.rect));
        caption->setFont(WindowFont(row.pointSize));
        caption->setAccessibleName(Q(SpokenCaption(row.text)));
    }

    std::vector<std::pair<int, QWidget*>> tabOrder;
    for (const FieldRow& row : kFields) {
        auto* box = new QLineEdit(Q(row.initialText), layout_);
        box->setObjectName(Q(row.name));
        box->setGeometry(PixelRect(row.rect));
        box->setFont(WindowFont(kFieldPointSize));
        box->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        // Only the program writes the boxes; the user may still select and copy.
        box->setReadOnly(true);
        box->setFocusPolicy(Qt::StrongFocus);
        box->setCursorPosition(0);
        box->setAccessibleName(Q(FieldCaption(row.field)));
        if (auto* caption = layout_->findChild<QLabel*>(Q(row.caption))) caption->setBuddy(box);
        boxes_[static_cast<std::size_t>(BoxNumber(row.field) - 1)] = box;
        tabOrder.emplace_back(row.tabIndex, box);
    }

    for (const ButtonRow& row : kButtons) {
        auto* button = new QPushButton(Q(row.text), layout_);
        button->setObjectName(Q(row.name));
        button->setGeometry(PixelRect(row.rect));
        button->setFont(WindowFont(kButtonPointSize));
        Paint(button, QPalette::Button, kButtonColour);
        // No default button: Return presses the focused button only, Esc none.
        button->setAutoDefault(false);
        button->setDefault(false);
        PressOnReturn(button);
        button->setAccessibleName(Q(row.text));
        tabOrder.emplace_back(row.tabIndex, button);
        if (row.name == "Command1")
            connect(button, &QPushButton::clicked, this, [this] { logic_.SetUpCurveClicked(); });
        else if (row.name == "Command2")
            connect(button, &QPushButton::clicked, this, [this] { logic_.ComputeBeamClicked(); });
        else
            connect(button, &QPushButton::clicked, this, [this] { logic_.ExitClicked(); });
    }

    std::sort(tabOrder.begin(), tabOrder.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < tabOrder.size(); ++i) setTabOrder(tabOrder[i - 1].second, tabOrder[i].second);
    start_ = tabOrder.front().second;
}

QLineEdit* Form1::BoxWidget(Box box) const { return boxes_[static_cast<std::size_t>(BoxNumber(box) - 1)]; }

std::optional<std::string> Form1::PromptText(const std::string& message, const Refusal* refused,
                                             const PromptHelp& help) {
    QString entry = Q(help.initial);
    if (refused) {
        ShowMessage(refused->why);
        entry = Q(refused->rejected);
    }
    const std::optional<QString> reply = RunPrompt(Q(message), entry, Q(help.note));
    if (!reply) return std::nullopt;
    return reply->toStdString();
}

void Form1::SetText(Box field, const std::string& text) {
    QLineEdit* box = BoxWidget(field);
    box->setText(Q(text));
    box->setCursorPosition(0);  // a long text shows its beginning
}

void Form1::RecordChanged() {
    panel_->RecordChanged();
    jobs_->Changed();
}

void Form1::JobReplaced() {
    panel_->TableView()->clearSpans();
    panel_->Model()->Reset();
    const bool tangent = logic_.GetOrientation() == Orientation::Tangent;
    if (auto* choice = panel_->findChild<QRadioButton*>(tangent ? QStringLiteral("OrientationTangent")
                                                                : QStringLiteral("OrientationParallel")))
        choice->setChecked(true);
    panel_->Alignment()->ShowJob();
    RecordChanged();
}

void Form1::RowsPlacedAgain() {
    panel_->TableView()->clearSpans();
    panel_->Model()->Reset();
    RecordChanged();
}

void Form1::EndProgram() {
    // 退出计算 asks as closing the window does; Cancel keeps everything.
    if (!jobs_->MayDiscard()) return;
    leaving_ = true;
    jobs_->Finished();
    close();
    QCoreApplication::exit(0);
}

void Form1::ShowMessage(const Message& message) { RunMessageBox(Q(KindTitle(message.kind)), Q(message.text)); }

void Form1::closeEvent(QCloseEvent* event) {
    if (!leaving_ && !jobs_->MayDiscard()) {
        event->ignore();
        return;
    }
    leaving_ = true;
    jobs_->Finished();
    event->accept();
    QCoreApplication::exit(0);
}

std::optional<QString> Form1::RunPrompt(const QString& message, const QString& entry, const QString& note) {
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("Prompt"));
    dialog.setWindowTitle(Q(kAppName));
    auto* label = new QLabel(message);
    label->setWordWrap(true);
    auto* line = new QLineEdit(entry);
    line->setObjectName(QStringLiteral("PromptEntry"));
    line->setAccessibleName(message);
    line->setMinimumWidth(320);
    label->setBuddy(line);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* column = new QVBoxLayout(&dialog);
    column->addWidget(label);
    if (!note.isEmpty()) {
        auto* hint = new QLabel(note);
        hint->setObjectName(QStringLiteral("PromptNote"));
        hint->setWordWrap(true);
        hint->setStyleSheet(QStringLiteral("color: #404040;"));
        column->addWidget(hint);
        line->setAccessibleDescription(note);
    }
    column->addWidget(line);
    column->addWidget(buttons);
    line->selectAll();
    line->setFocus();
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return line->text();
}

void Form1::RunMessageBox(const QString& title, const QString& text) {
    ShowMessageBox(this, QStringLiteral("Message"), title, text);
}

}  // namespace capbeam

#include "app/batch_dialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "app/app_setup.h"
#include "app/batch_runner.h"
#include "flows/calculator.h"
#include "core/text_formats.h"

namespace capbeam {

namespace {

QLineEdit* NamedLine(const char* name, const QString& spoken, const QString& text = {}) {
    auto* line = new QLineEdit(text);
    line->setObjectName(QString::fromLatin1(name));
    line->setAccessibleName(spoken);
    return line;
}

// A reply read as a prompt reads it; a refusal names the box it came from.
double ReadBox(const QLineEdit* box, const QString& what) {
    try {
        return ReadDouble(box->text().toStdString());
    } catch (const Failure& failure) {
        throw Failure(failure.kind(), (what + QStringLiteral("：")).toStdString() + failure.message().text);
    }
}

QLabel* NamedLabel(const char* name, const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text);
    label->setObjectName(QString::fromLatin1(name));
    label->setAccessibleName(text);
    label->setBuddy(buddy);
    return label;
}

}  // namespace

BatchDialog::BatchDialog(Calculator& logic, QWidget* parent, BatchInputs* kept)
    : QDialog(parent), logic_(logic), kept_(kept) {
    setObjectName(QStringLiteral("BatchDialog"));
    setAccessibleName(QStringLiteral("批量计算"));
    setWindowTitle(QStringLiteral("批量计算"));

    listMode_ = new QRadioButton(QStringLiteral("按桩号列表"));
    listMode_->setObjectName(QStringLiteral("BatchListMode"));
    listMode_->setAccessibleName(listMode_->text());
    rangeMode_ = new QRadioButton(QStringLiteral("按起点、间距、终点"));
    rangeMode_->setObjectName(QStringLiteral("BatchRangeMode"));
    rangeMode_->setAccessibleName(rangeMode_->text());

    list_ = new QPlainTextEdit;
    list_->setObjectName(QStringLiteral("BatchList"));
    list_->setAccessibleName(QStringLiteral("中桩桩号列表 Kp（以米为单位）"));
    list_->setPlaceholderText(QStringLiteral("中桩桩号 Kp，以米为单位，用空格、逗号或换行分隔，例如：\n12300, 12320, 12345.678"));
    list_->setTabChangesFocus(true);

    start_ = NamedLine("BatchStart", QStringLiteral("起点桩号（米）"));
    step_ = NamedLine("BatchStep", QStringLiteral("桩号间距（米）"));
    end_ = NamedLine("BatchEnd", QStringLiteral("终点桩号（米）"));
    const RequestValues& last = logic_.Record().request;
    Dr_ = NamedLine("BatchDr", QStringLiteral("路基半幅宽度 Dr（米）"), last.Dr != 0 ? Q(NumberText(last.Dr)) : QString());
    mb_ = NamedLine("BatchMb", QStringLiteral("计算精度 mb（度）"), Q(NumberText(last.mb)));

    auto* range = new QGridLayout;
    range->addWidget(NamedLabel("BatchStartLabel", QStringLiteral("起点桩号"), start_), 0, 0);
    range->addWidget(start_, 0, 1);
    range->addWidget(NamedLabel("BatchStepLabel", QStringLiteral("间距"), step_), 0, 2);
    range->addWidget(step_, 0, 3);
    range->addWidget(NamedLabel("BatchEndLabel", QStringLiteral("终点桩号"), end_), 0, 4);
    range->addWidget(end_, 0, 5);

    // The range's end rule, stated where the range is typed.
    endRule_ = new QLabel(QStringLiteral("终点不在间距上时，终点本身也算作最后一个桩号"
                                         "（例如 0 到 2050、间距 100：…、1900、2000、2050）。"));
    endRule_->setObjectName(QStringLiteral("BatchEndRule"));
    endRule_->setAccessibleName(endRule_->text());
    endRule_->setWordWrap(true);

    // A batch turns its beams as the window's choice does; say which, so that
    // a tangent batch is never run unnoticed.
    orientation_ = new QLabel(QStringLiteral("盖梁方向：%1（要改变，请关闭本窗口，在主窗口的“盖梁方向”中选择）")
                                  .arg(Q(std::string(OrientationText(logic_.GetOrientation())))));
    orientation_->setObjectName(QStringLiteral("BatchOrientation"));
    orientation_->setAccessibleName(orientation_->text());
    orientation_->setWordWrap(true);

    auto* common = new QFormLayout;
    common->addRow(NamedLabel("BatchDrLabel", QStringLiteral("路基半幅宽度 Dr（米）"), Dr_), Dr_);
    common->addRow(NamedLabel("BatchMbLabel", QStringLiteral("计算精度 mb（度）"), mb_), mb_);

    error_ = new QLabel;
    error_->setObjectName(QStringLiteral("BatchError"));
    error_->setAccessibleName(QStringLiteral("输入错误"));
    error_->setWordWrap(true);
    error_->setStyleSheet(QStringLiteral("color: #b00000;"));
    error_->hide();

    result_ = new QPlainTextEdit;
    result_->setObjectName(QStringLiteral("BatchResult"));
    result_->setAccessibleName(QStringLiteral("批量计算结果"));
    result_->setReadOnly(true);
    result_->setPlaceholderText(QStringLiteral("计算结果加入主窗口的“计算记录”；未能计算的桩号及原因列在这里。"));

    progress_ = new QProgressBar;
    progress_->setObjectName(QStringLiteral("BatchProgress"));
    progress_->setAccessibleName(QStringLiteral("批量计算进度"));
    progress_->setFormat(QStringLiteral("已算 %v / %m 个桩号"));
    progress_->hide();

    runner_ = new BatchRunner(logic_, this);
    connect(runner_, &BatchRunner::Progress, this, [this](qsizetype done, qsizetype total) {
        progress_->setMaximum(static_cast<int>(total));
        progress_->setValue(static_cast<int>(done));
    });
    connect(runner_, &BatchRunner::Finished, this, [this](bool cancelled) {
        outcome_ = runner_->Outcome();
        SetRunning(false);
        ShowOutcome(cancelled);
    });

    auto* buttons = new QDialogButtonBox;
    auto* run = buttons->addButton(QStringLiteral("计算"), QDialogButtonBox::ActionRole);
    run->setObjectName(QStringLiteral("BatchRun"));
    run->setAccessibleName(run->text());
    run->setDefault(true);
    run_ = run;
    cancel_ = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::ActionRole);
    cancel_->setObjectName(QStringLiteral("BatchCancel"));
    cancel_->setAccessibleName(QStringLiteral("取消批量计算"));
    cancel_->setToolTip(QStringLiteral("停止计算；已算出的结果留在“计算记录”中，该组标题注明已取消"));
    cancel_->setEnabled(false);
    connect(cancel_, &QPushButton::clicked, this, [this] { CancelBatch(); });
    auto* close = buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("BatchClose"));
    close->setAccessibleName(close->text());
    run->setToolTip(QStringLiteral("Ctrl+Enter"));
    connect(run, &QPushButton::clicked, this, [this] { Run(); });
    // Enter belongs to the list (a new line); Ctrl+Enter runs from anywhere.
    for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [this] { Run(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* column = new QVBoxLayout(this);
    column->addWidget(listMode_);
    column->addWidget(list_, 1);
    column->addWidget(rangeMode_);
    column->addLayout(range);
    column->addWidget(endRule_);
    column->addLayout(common);
    column->addWidget(orientation_);
    column->addWidget(error_);
    column->addWidget(NamedLabel("BatchResultLabel", QStringLiteral("结果："), result_));
    column->addWidget(result_, 1);
    column->addWidget(progress_);
    column->addWidget(buttons);

    connect(listMode_, &QRadioButton::toggled, this, [this](bool list) {
        list_->setEnabled(list);
        for (QLineEdit* box : {start_, step_, end_}) box->setEnabled(!list);
    });
    listMode_->setChecked(true);
    for (QLineEdit* box : {start_, step_, end_}) box->setEnabled(false);
    if (kept_ && kept_->kept) {
        list_->setPlainText(kept_->chainages);
        start_->setText(kept_->start);
        step_->setText(kept_->step);
        end_->setText(kept_->end);
        Dr_->setText(kept_->Dr);
        mb_->setText(kept_->mb);
        UseList(kept_->list);
    }
    resize(560, 560);
}

BatchDialog::~BatchDialog() { CancelBatch(); }

void BatchDialog::Keep() const {
    if (!kept_) return;
    *kept_ = {true,          listMode_->isChecked(), list_->toPlainText(), start_->text(), step_->text(),
              end_->text(), Dr_->text(),            mb_->text()};
}

void BatchDialog::done(int result) {
    CancelBatch();
    Keep();
    QDialog::done(result);
}

bool BatchDialog::Running() const { return runner_->Running(); }

void BatchDialog::CancelBatch() {
    if (runner_->Running()) runner_->Cancel();
}

void BatchDialog::SetRunning(bool running) {
    run_->setEnabled(!running);
    cancel_->setEnabled(running);
    progress_->setVisible(running || progress_->value() > 0);
    if (running) {
        progress_->setRange(0, 0);  // busy until the first chunk says how many
        progress_->setValue(0);
        result_->setPlainText(QStringLiteral("正在计算……结果陆续加入主窗口的“计算记录”；按“取消”可以停止。"));
    }
}

void BatchDialog::UseList(bool list) { (list ? listMode_ : rangeMode_)->setChecked(true); }

QString BatchDialog::ErrorText() const { return error_->isHidden() ? QString() : error_->text(); }

QString BatchDialog::ResultText() const { return result_->toPlainText(); }

void BatchDialog::ShowError(const QString& text) {
    error_->setText(text);
    error_->show();
}

std::vector<double> BatchDialog::Chainages() const {
    if (listMode_->isChecked()) return ParseChainageList(list_->toPlainText().toStdString());
    const double start = ReadBox(start_, QStringLiteral("起点桩号"));
    const double step = ReadBox(step_, QStringLiteral("桩号间距"));
    const double end = ReadBox(end_, QStringLiteral("终点桩号"));
    return ChainageRange(start, step, end);
}

bool BatchDialog::Run() {
    if (runner_->Running()) return false;
    error_->hide();
    Keep();
    try {
        std::vector<double> chainages = Chainages();
        if (chainages.empty()) {
            ShowError(QStringLiteral("没有需要计算的桩号。请在列表中输入中桩桩号，或填写起点、间距和终点。"));
            return false;
        }
        const double Dr = ReadBox(Dr_, QStringLiteral("路基半幅宽度 Dr"));
        // mb is shown with every request but enters no computation; it is
        // still read, so that a mistyped value is told as the prompt tells it.
        try {
            ReadSingle(mb_->text().toStdString());
        } catch (const Failure& failure) {
            throw Failure(failure.kind(), "计算精度 mb：" + failure.message().text);
        }
        if (chainages.size() > kOnWindowThreadAtMost) {
            runner_->Start(std::move(chainages), Dr);
            SetRunning(true);
            return true;
        }
        outcome_ = logic_.RunBatch(chainages, Dr);
    } catch (const Failure& failure) {
        ShowError(Q(failure.message().text));
        return false;
    } catch (const std::bad_alloc&) {
        ShowError(QStringLiteral("内存不足，批量计算没有进行。请减少桩号的个数后重试。"));
        return false;
    }
    ShowOutcome(false);
    return true;
}

void BatchDialog::ShowOutcome(bool cancelled) {
    QStringList lines;
    if (cancelled)
        lines << QStringLiteral("已取消：%1 个桩号中算了前 %2 个，%3 行结果已加入“计算记录”，该组标题注明“批量计算已取消”。")
                     .arg(runner_->Total())
                     .arg(runner_->Done())
                     .arg(outcome_.rows.size());
    else
        lines << QStringLiteral("已计算 %1 个桩号，结果已加入“计算记录”。").arg(outcome_.rows.size());
    if (!outcome_.refused.empty()) {
        lines << QStringLiteral("以下 %1 个桩号未能计算：").arg(outcome_.refused.size());
        // A few thousand lines are read; beyond that the list only slows the window.
        constexpr std::size_t kListedAtMost = 2000;
        for (std::size_t i = 0; i < outcome_.refused.size() && i < kListedAtMost; ++i)
            lines << Q(outcome_.refused[i].KpText) + QStringLiteral("：") + Q(outcome_.refused[i].why.text);
        if (outcome_.refused.size() > kListedAtMost)
            lines << QStringLiteral("……另有 %1 个未能计算的桩号没有列出。").arg(outcome_.refused.size() - kListedAtMost);
    }
    result_->setPlainText(lines.join(QLatin1Char('\n')));
}

}  // namespace capbeam

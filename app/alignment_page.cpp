#include "app/alignment_page.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QShortcut>
#include <QStandardPaths>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>
#include <memory>
#include <utility>

#include "app/alignment_table_model.h"
#include "app/app_setup.h"
#include "records/plan_alignment.h"
#include "core/dms.h"
#include "core/failure.h"
#include "core/rules.h"
#include "core/text_formats.h"
#include "flows/calculator.h"
#include "records/batch.h"
#include "records/chainage_text.h"

namespace capbeam {

namespace {

// A box with its caption before it in a grid: the caption names the box to
// a screen reader and its & key moves there.
void AddLabelled(QGridLayout* grid, int row, int col, const QString& caption, QLineEdit* edit) {
    auto* label = new QLabel(caption);
    label->setObjectName(edit->objectName() + QStringLiteral("Label"));
    label->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    label->setBuddy(edit);
    grid->addWidget(label, row, col);
    grid->addWidget(edit, row, col + 1);
}

// Files larger than the readers take are refused by them; reading stops
// just beyond.
constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;

QLineEdit* Edit(const char* name, const QString& accessible, const QString& placeholder, const QString& text = {}) {
    auto* edit = new QLineEdit(text);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setAccessibleName(accessible);
    edit->setPlaceholderText(placeholder);
    return edit;
}

QTableWidget* ReadOnlyTable(const char* name, const QString& accessible, const QStringList& titles) {
    auto* table = new QTableWidget(0, static_cast<int>(titles.size()));
    table->setObjectName(QString::fromLatin1(name));
    table->setAccessibleName(accessible);
    table->setHorizontalHeaderLabels(titles);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setAlternatingRowColors(true);
    table->verticalHeader()->setVisible(false);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->setMinimumHeight(130);
    return table;
}

QString Text(const std::string& s) { return Q(s); }

// The beams of the table's alignment groups, placed or refused.
std::size_t AlignmentBeamCount(const PierTable& table) {
    std::size_t beams = 0;
    for (const PierGroup& g : table.Groups())
        if (g.kind == GroupKind::Alignment) beams += g.rows.size() + g.refused.size();
    return beams;
}

// A degree value written as D.MMSS with the seconds to 0.0001″, for an
// element table imported from LandXML: finer than DmsText's 0.1″, so that a
// kilometre of road keeps its position to far below a millimetre.
std::string FineDms(double degrees) {
    const double total = std::round(std::fabs(degrees) * 3600.0 * 1e4) / 1e4;  // seconds
    const long long whole = static_cast<long long>(std::floor(total));
    const long long tenThousandths = std::llround((total - static_cast<double>(whole)) * 1e4) % 10000;
    const auto padded = [](long long value, std::size_t width) {
        std::string text = std::to_string(value);
        return std::string(width > text.size() ? width - text.size() : 0, '0') + text;
    };
    return (degrees < 0 ? "-" : "") + std::to_string(whole / 3600) + "." + padded((whole / 60) % 60, 2) +
           padded(whole % 60, 2) + padded(tenThousandths, 4);
}

std::string Number(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.12g", value);
    return text;
}

// A LandXML alignment as element-table rows, so that it can be looked at,
// changed and saved like a typed table.
std::vector<QStringList> ElementRowsOf(const LandXmlAlignment& a) {
    std::vector<QStringList> rows;
    rows.push_back({Q(a.name.empty() ? std::string("QD") : a.name), Q(ChainageText(a.start.distance, ChainageForm::Computed)),
                    Q(Number(a.start.X)), Q(Number(a.start.Y)), Q(FineDms(a.start.azimuth))});
    const auto radius = [](double k) { return k == 0 ? QStringLiteral("∞") : Q(Number(1.0 / std::fabs(k))); };
    for (const Element& e : a.elements) {
        const double k = e.k0 != 0 ? e.k0 : e.k1;
        const QString name = e.k0 == 0 && e.k1 == 0 ? QStringLiteral("直线")
                             : e.k0 == e.k1         ? QStringLiteral("圆曲线")
                                                    : QStringLiteral("缓和曲线");
        rows.push_back({name, Q(Number(e.length)), radius(e.k0), radius(e.k1),
                        k == 0 ? QString() : k > 0 ? QStringLiteral("右") : QStringLiteral("左")});
    }
    for (const ChainageEquation& eq : a.equations)
        rows.push_back({QStringLiteral("断链"), Q(ChainageText(eq.back, ChainageForm::Computed)),
                        Q(ChainageText(eq.ahead, ChainageForm::Computed))});
    return rows;
}

}  // namespace

AlignmentPage::AlignmentPage(Calculator& logic, QWidget* parent) : QWidget(parent), logic_(logic) {
    setObjectName(QStringLiteral("AlignmentPage"));
    setAccessibleName(QStringLiteral("道路线形"));
    lastFolder_ = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    chooseOpenPath = [this](const QString& caption, const QString& filter) {
        // The last folder when it exists (a fresh account may have no 文档 folder yet), else the home folder.
        QFileDialog dialog(this, caption, QDir(lastFolder_).exists() ? lastFolder_ : QDir::homePath(), filter);
        dialog.setObjectName(QStringLiteral("OpenFileDialog"));
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
        return dialog.selectedFiles().front();
    };
    chooseSavePath = [this](const QString& caption, const QString& suggested, const QString& filter) {
        return ChooseSaveFile(this, caption, suggested, filter);
    };
    confirmOtherRoad = [this](const QString& question) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("打开另一条线形"), question, QMessageBox::NoButton, this);
        box.setObjectName(QStringLiteral("OtherRoadQuestion"));
        QPushButton* open = box.addButton(QStringLiteral("打开并重新计算(&O)"), QMessageBox::AcceptRole);
        QPushButton* cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
        box.setDefaultButton(cancel);
        box.setEscapeButton(cancel);
        box.exec();
        return box.clickedButton() == open;
    };

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    column->addWidget(BuildInput());
    column->addWidget(BuildDerived());
    column->addWidget(BuildBeams());
    column->addWidget(BuildLookUps());
    column->addStretch(1);
    // The plan draws the edges at the half-widths as they are typed.
    for (const char* name : {"DLEdit", "DREdit"})
        connect(Field(name), &QLineEdit::editingFinished, this, [this] { emit AlignmentChanged(); });
    // The design beam's fields belong to the job as typed.
    for (const char* name : {"KjEdit", "BEdit", "DLEdit", "DREdit"})
        connect(Field(name), &QLineEdit::textChanged, this, [this] { KeepInJob(); });
    Derive();
}

std::vector<std::string> AlignmentPage::BeamFields() const {
    std::vector<std::string> fields;
    for (const char* name : {"KjEdit", "BEdit", "DLEdit", "DREdit"}) fields.push_back(Field(name)->text().toStdString());
    return fields;
}

std::optional<RoadFollowed> AlignmentPage::KeepInJob() {
    if (showingJob_) return std::nullopt;
    const std::string table = model_->CsvText();
    std::optional<JobAlignment> kept;
    if (!model_->Rows().empty())
        kept = JobAlignment{model_->Kind() == AlignmentTableKind::Jd ? JobAlignment::Kind::JdTable
                                                                      : JobAlignment::Kind::ElementTable,
                            name_.toStdString(), table};
    const auto before = logic_.Changes();
    std::optional<RoadFollowed> followed = logic_.SetAlignmentPage(kept, BeamFields());
    if (logic_.Changes() != before) emit JobChanged();
    return followed;
}

void AlignmentPage::ShowJob() {
    const Job job = logic_.CurrentJob();
    {
        const QScopedValueRollback<bool> quiet(showingJob_, true);
        const bool elements = job.page && job.page->kind == JobAlignment::Kind::ElementTable;
        name_ = job.page ? Text(job.page->name) : QStringLiteral("手工输入");
        {
            const QSignalBlocker block(elementKind_);
            (elements ? elementKind_ : jdKind_)->setChecked(true);
        }
        model_->SetKind(elements ? AlignmentTableKind::Element : AlignmentTableKind::Jd);
        model_->SetRows(job.page ? AlignmentTableModel::RowsOfCsv(job.page->table) : std::vector<QStringList>{});
        const char* names[] = {"KjEdit", "BEdit", "DLEdit", "DREdit"};
        for (std::size_t i = 0; i < 4; ++i) {
            const QString text = i < job.pageFields.size() ? Text(job.pageFields[i]) : QString();
            Field(names[i])->setText(i == 1 && text.isEmpty() && job.pageFields.empty() ? QStringLiteral("90") : text);
        }
        input_->resizeColumnsToContents();
        beamStatus_->clear();
        lookUpStatus_->clear();
    }
    emit AlignmentChanged();
}

QLineEdit* AlignmentPage::Field(const char* objectName) const {
    return findChild<QLineEdit*>(QString::fromLatin1(objectName));
}

void AlignmentPage::Show(QLabel* label, const QString& text, bool refused) {
    label->setText(text);
    label->setStyleSheet(refused ? QStringLiteral("color: #b00000;") : QString());
}

QWidget* AlignmentPage::BuildInput() {
    auto* box = new QGroupBox(QStringLiteral("线形数据"));
    box->setObjectName(QStringLiteral("AlignmentInputBox"));
    box->setAccessibleName(box->title());
    auto* column = new QVBoxLayout(box);

    jdKind_ = new QRadioButton(QStringLiteral("交点表"));
    jdKind_->setObjectName(QStringLiteral("JdKind"));
    jdKind_->setAccessibleName(jdKind_->text());
    jdKind_->setToolTip(QStringLiteral("每行：名称、桩号（只填首行）、X、Y、R、Ls1、Ls2；首行是起点，末行是终点"));
    elementKind_ = new QRadioButton(QStringLiteral("线元表"));
    elementKind_->setObjectName(QStringLiteral("ElementKind"));
    elementKind_->setAccessibleName(elementKind_->text());
    elementKind_->setToolTip(QStringLiteral("首行：起点名称、桩号、X、Y、方位角；其余每行一个线元：名称、长度、起点半径、终点半径、左或右"));
    jdKind_->setChecked(true);
    auto* open = PageButton("OpenAlignmentButton", QStringLiteral("打开…"), QStringLiteral("打开交点表、线元表 CSV 或 LandXML 文件"));
    auto* save = PageButton("SaveAlignmentButton", QStringLiteral("保存…"), QStringLiteral("把表格保存为 CSV 文件"));
    auto* paste = PageButton("PasteAlignmentButton", QStringLiteral("粘贴"),
                         QStringLiteral("把从电子表格复制的行粘贴到当前单元格起（也可按 Ctrl+V）"));
    auto* addRow = PageButton("InsertRowButton", QStringLiteral("插入行"));
    auto* removeRow = PageButton("RemoveRowButton", QStringLiteral("删除行"));
    auto* row = new QHBoxLayout;
    row->addWidget(jdKind_);
    row->addWidget(elementKind_);
    row->addStretch(1);
    column->addLayout(row);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {open, save, paste, addRow, removeRow}) buttons->addWidget(b);
    buttons->addStretch(1);
    column->addLayout(buttons);
    // Above the table, in sight while a cell is typed: what the last change
    // of the table did to the beams standing on it.
    followStatus_ = new QLabel;
    followStatus_->setObjectName(QStringLiteral("AlignmentFollowStatus"));
    followStatus_->setAccessibleName(QStringLiteral("线形修改后盖梁的重新计算"));
    followStatus_->setWordWrap(true);
    followStatus_->setVisible(false);
    column->addWidget(followStatus_);

    model_ = new AlignmentTableModel(this);
    input_ = new QTableView;
    input_->setObjectName(QStringLiteral("AlignmentInputView"));
    input_->setAccessibleName(QStringLiteral("线形数据表"));
    input_->setModel(model_);
    input_->setMinimumHeight(150);
    input_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // Seven columns side by side in a panel of about 540 pixels.
    input_->horizontalHeader()->setDefaultSectionSize(input_->fontMetrics().horizontalAdvance(QStringLiteral("3476.313568")) + 12);
    input_->verticalHeader()->setDefaultSectionSize(input_->fontMetrics().height() + 6);
    for (const int c : {0, 4, 5, 6}) input_->setColumnWidth(c, input_->fontMetrics().horizontalAdvance(QStringLiteral("152.45")) + 16);
    // Ctrl+V pastes spreadsheet rows into the grid, however many.
    auto* shortcut = new QShortcut(QKeySequence::Paste, input_, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    connect(shortcut, &QShortcut::activated, this, [this] { PasteText(QApplication::clipboard()->text()); });
    column->addWidget(input_);

    tableStatus_ = new QLabel;
    tableStatus_->setObjectName(QStringLiteral("AlignmentTableStatus"));
    tableStatus_->setAccessibleName(QStringLiteral("线形数据检查结果"));
    tableStatus_->setWordWrap(true);
    column->addWidget(tableStatus_);

    connect(model_, &QAbstractItemModel::dataChanged, this, [this] { Derive(); });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { Derive(); });
    connect(model_, &QAbstractItemModel::rowsRemoved, this, [this] { Derive(); });
    connect(elementKind_, &QRadioButton::toggled, this, [this](bool elements) { SetKind(elements); });
    connect(open, &QPushButton::clicked, this, [this] {
        const QString path = chooseOpenPath(QStringLiteral("打开线形文件"),
                                            QStringLiteral("线形文件 (*.csv *.txt *.xml);;所有文件 (*)"));
        if (!path.isEmpty()) OpenFile(path);
    });
    connect(save, &QPushButton::clicked, this, [this] {
        const QString suggested = QDir(lastFolder_).filePath(
            name_ == QStringLiteral("手工输入") ? QStringLiteral("线形.csv") : QFileInfo(name_).completeBaseName() + ".csv");
        const QString path = chooseSavePath(QStringLiteral("保存线形表为 CSV"), suggested, QStringLiteral("CSV 表格 (*.csv)"));
        if (!path.isEmpty()) SaveFile(path);
    });
    connect(paste, &QPushButton::clicked, this, [this] { PasteText(QApplication::clipboard()->text()); });
    connect(addRow, &QPushButton::clicked, this, [this] {
        model_->InsertBlankRow(input_->currentIndex().isValid() ? input_->currentIndex().row() : 0);
    });
    connect(removeRow, &QPushButton::clicked, this, [this] {
        if (input_->currentIndex().isValid()) model_->RemoveRowAt(input_->currentIndex().row());
    });
    return box;
}

QWidget* AlignmentPage::BuildDerived() {
    auto* box = new QGroupBox(QStringLiteral("曲线要素与主点"));
    box->setObjectName(QStringLiteral("DerivedBox"));
    box->setAccessibleName(box->title());
    auto* column = new QVBoxLayout(box);
    curves_ = ReadOnlyTable("CurveTable", QStringLiteral("曲线要素表"),
                            {QStringLiteral("交点"), QStringLiteral("转角 α"), QStringLiteral("转向"), QStringLiteral("R"),
                             QStringLiteral("Ls1"), QStringLiteral("Ls2"), QStringLiteral("T1"), QStringLiteral("T2"),
                             QStringLiteral("L"), QStringLiteral("E"), QStringLiteral("J")});
    points_ = ReadOnlyTable("MainPointTable", QStringLiteral("主点表"),
                            {QStringLiteral("交点"), QStringLiteral("主点"), QStringLiteral("桩号"), QStringLiteral("X"),
                             QStringLiteral("Y"), QStringLiteral("方位角")});
    column->addWidget(curves_);
    column->addWidget(points_);
    return box;
}

QWidget* AlignmentPage::BuildBeams() {
    auto* box = new QGroupBox(QStringLiteral("斜交盖梁"));
    box->setObjectName(QStringLiteral("AlignmentBeamBox"));
    box->setAccessibleName(box->title());
    auto* grid = new QGridLayout(box);
    const auto add = [grid](int row, int col, const QString& caption, QLineEdit* edit) {
        AddLabelled(grid, row, col, caption, edit);
    };
    add(0, 0, QStringLiteral("设计中桩 &Kj"), Edit("KjEdit", QStringLiteral("设计中桩桩号 Kj"), QStringLiteral("K0+250")));
    add(0, 2, QStringLiteral("交角 &B"), Edit("BEdit", QStringLiteral("交角 B（度.分秒）"), QStringLiteral("度.分秒"), QStringLiteral("90")));
    add(1, 0, QStringLiteral("左半幅 D&L"), Edit("DLEdit", QStringLiteral("左侧路基半幅宽度"), QStringLiteral("米，空则同右半幅")));
    add(1, 2, QStringLiteral("右半幅 &DR"), Edit("DREdit", QStringLiteral("右侧路基半幅宽度"), QStringLiteral("米")));
    add(2, 0, QStringLiteral("中桩 K&p"), Edit("KpEdit", QStringLiteral("中桩桩号 Kp"), QStringLiteral("K0+300")));
    auto* compute = PageButton("AlignmentBeamButton", QStringLiteral("计算盖梁"), QStringLiteral("在中桩 Kp 处算出盖梁两端，记入计算记录"));
    grid->addWidget(compute, 2, 2, 1, 2);
    add(3, 0, QStringLiteral("桩号列表"), Edit("ListEdit", QStringLiteral("批量计算的桩号列表"), QStringLiteral("米，用空格或逗号隔开")));
    auto* range = new QHBoxLayout;
    range->addWidget(Edit("FromEdit", QStringLiteral("起始桩号"), QStringLiteral("起（米）")));
    range->addWidget(Edit("ToEdit", QStringLiteral("终止桩号"), QStringLiteral("止（米）")));
    range->addWidget(Edit("StepEdit", QStringLiteral("间距"), QStringLiteral("间距（米）")));
    auto* rangeLabel = new QLabel(QStringLiteral("或 起止间距"));
    rangeLabel->setObjectName(QStringLiteral("RangeLabel"));
    rangeLabel->setAccessibleName(QStringLiteral("或按起始桩号、终止桩号和间距"));
    grid->addWidget(rangeLabel, 4, 0);
    grid->addLayout(range, 4, 1, 1, 3);
    auto* batch = PageButton("AlignmentBatchButton", QStringLiteral("批量计算"),
                         QStringLiteral("按桩号列表（列表为空时按起止间距）计算多根盖梁，记入计算记录"));
    grid->addWidget(batch, 3, 2, 1, 2);
    beamStatus_ = new QLabel;
    beamStatus_->setObjectName(QStringLiteral("AlignmentBeamStatus"));
    beamStatus_->setAccessibleName(QStringLiteral("盖梁计算结果"));
    beamStatus_->setWordWrap(true);
    grid->addWidget(beamStatus_, 5, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    connect(compute, &QPushButton::clicked, this, [this] { ComputeBeam(); });
    connect(batch, &QPushButton::clicked, this, [this] { RunBatch(); });
    return box;
}

QWidget* AlignmentPage::BuildLookUps() {
    auto* box = new QGroupBox(QStringLiteral("中边桩坐标与坐标反算"));
    box->setObjectName(QStringLiteral("LookUpBox"));
    box->setAccessibleName(box->title());
    auto* grid = new QGridLayout(box);
    const auto add = [grid](int row, int col, const QString& caption, QLineEdit* edit) {
        AddLabelled(grid, row, col, caption, edit);
    };
    add(0, 0, QStringLiteral("桩号"), Edit("LookUpKEdit", QStringLiteral("查询的桩号"), QStringLiteral("K0+300")));
    add(0, 2, QStringLiteral("偏距"), Edit("OffsetEdit", QStringLiteral("偏距（米，右正左负）"), QStringLiteral("米，右正左负"), QStringLiteral("0")));
    add(0, 4, QStringLiteral("夹角"), Edit("AngleEdit", QStringLiteral("边桩方向与切线的夹角（度.分秒）"), QStringLiteral("度.分秒"), QStringLiteral("90")));
    auto* coordinates = PageButton("CoordinatesButton", QStringLiteral("求座标"), QStringLiteral("由桩号、偏距和夹角算出 X、Y"));
    grid->addWidget(coordinates, 0, 6);
    add(1, 0, QStringLiteral("X"), Edit("LookUpXEdit", QStringLiteral("查询的纵座标 X"), QStringLiteral("米")));
    add(1, 2, QStringLiteral("Y"), Edit("LookUpYEdit", QStringLiteral("查询的横座标 Y"), QStringLiteral("米")));
    auto* chainage = PageButton("ChainageButton", QStringLiteral("反算桩号"), QStringLiteral("由 X、Y 算出桩号和偏距"));
    grid->addWidget(chainage, 1, 6);
    lookUpStatus_ = new QLabel;
    lookUpStatus_->setObjectName(QStringLiteral("LookUpStatus"));
    lookUpStatus_->setAccessibleName(QStringLiteral("查询结果"));
    lookUpStatus_->setWordWrap(true);
    lookUpStatus_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    grid->addWidget(lookUpStatus_, 2, 0, 1, 7);
    for (int c : {1, 3, 5}) grid->setColumnStretch(c, 1);
    connect(coordinates, &QPushButton::clicked, this, [this] { LookUpCoordinates(); });
    connect(chainage, &QPushButton::clicked, this, [this] { LookUpChainage(); });
    return box;
}

void AlignmentPage::SetKind(bool elements) {
    model_->SetKind(elements ? AlignmentTableKind::Element : AlignmentTableKind::Jd);
    input_->resizeColumnsToContents();
    Derive();
}

void AlignmentPage::Derive() {
    const std::string text = model_->CsvText();
    road_.reset();
    const std::optional<RoadFollowed> followed = KeepInJob();
    QString status;
    bool refused = false;
    if (model_->Rows().empty()) {
        status = QStringLiteral("请输入或粘贴交点表（或线元表），也可以打开 CSV 文件或导入 LandXML 文件。");
    } else {
        try {
            road_ = model_->Kind() == AlignmentTableKind::Jd ? RoadFromJdTable(ReadJdTableCsv(text))
                                                               : RoadFromElementTable(ReadElementTableCsv(text));
            const Road& r = road_->road;
            status = QStringLiteral("线形可用：起点 %1，终点 %2，全长 %3 米。")
                         .arg(Text(ChainageCell(r, r.Line().StartDistance())), Text(ChainageCell(r, r.Line().EndDistance())),
                              Text(FixedText(r.Line().EndDistance() - r.Line().StartDistance())));
        } catch (const Failure& failure) {
            status = QStringLiteral("线形不能使用：") + Text(failure.message().text);
            refused = true;
        }
    }
    Show(tableStatus_, status, refused);
    // The beams already placed follow the table: the page says what that did
    // to them, in red when some stand nowhere, in brown when some moved.
    if (followed) {
        followStatus_->setText(Text(RoadFollowedText(*followed)));
        followStatus_->setStyleSheet(!followed->readable || followed->refused > 0 ? QStringLiteral("color: #b00000;")
                                     : followed->moved > 0                        ? QStringLiteral("color: #8a4b00;")
                                                                                  : QString());
        followStatus_->setVisible(true);
    } else if (showingJob_ || !HasAlignmentRows(logic_.Table())) {
        followStatus_->clear();
        followStatus_->setVisible(false);
    }
    ShowDerived();
    emit AlignmentChanged();
}

void AlignmentPage::ShowDerived() {
    curves_->setRowCount(0);
    points_->setRowCount(0);
    if (!road_) return;
    const auto cell = [](QTableWidget* t, int r, int c, const QString& s) {
        auto* item = new QTableWidgetItem(s);
        if (c > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        t->setItem(r, c, item);
    };
    for (const JdCurve& c : road_->curves) {
        const int r = curves_->rowCount();
        curves_->insertRow(r);
        const QStringList texts{Text(c.name),           Text(DmsText(c.alpha)), c.turn > 0 ? QStringLiteral("右") : QStringLiteral("左"),
                                Text(FixedText(c.R)),   Text(FixedText(c.Ls1)), Text(FixedText(c.Ls2)),
                                Text(FixedText(c.T1)),  Text(FixedText(c.T2)),  Text(FixedText(c.L)),
                                Text(FixedText(c.E)),   Text(FixedText(c.J))};
        for (int i = 0; i < texts.size(); ++i) cell(curves_, r, i, texts[i]);
    }
    curves_->setVisible(!road_->curves.empty());
    for (const MainPointRow& p : road_->mainPoints) {
        const int r = points_->rowCount();
        points_->insertRow(r);
        const Station s = road_->road.Line().At(p.distance);
        const QStringList texts{Text(p.jd), Text(p.point), Text(ChainageCell(road_->road, p.distance)),
                                Text(CoordinateText(s.X)), Text(CoordinateText(s.Y)), Text(DmsText(s.azimuth))};
        for (int i = 0; i < texts.size(); ++i) cell(points_, r, i, texts[i]);
    }
}

bool AlignmentPage::OpenFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Show(tableStatus_, QStringLiteral("打不开文件“%1”：%2。请检查文件名和路径。").arg(QDir::toNativeSeparators(path), file.errorString()), true);
        return false;
    }
    const QByteArray bytes = file.read(kMaxFileBytes + 1);
    const std::string_view text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    try {
        std::vector<QStringList> rows;
        bool elements = false;
        if (LooksLikeXml(text)) {
            const std::vector<LandXmlAlignment> all = ReadLandXml(text);
            rows = ElementRowsOf(all.front());
            elements = true;
        } else {
            elements = DetectAlignmentCsv(text) == AlignmentCsvKind::ElementTable;
            // The readers check the file first, so a refusal names its own line.
            if (elements)
                ReadElementTableCsv(text);
            else
                ReadJdTableCsv(text);
            rows = AlignmentTableModel::RowsOfCsv(text);
        }
        // One road a job: beams placed on the page's road follow the file
        // opened, which may be another road altogether.
        const QString name = QFileInfo(path).fileName();
        const std::size_t beams = AlignmentBeamCount(logic_.Table());
        if (beams > 0 && name != name_ &&
            !confirmOtherRoad(QStringLiteral("计算记录中有 %1 根盖梁放在线形“%2”上。打开“%3”后，这些盖梁都将按新的线形重新计算"
                                             "（放不上的标为作废）。\n\n"
                                             "如果“%3”是这条路线修改后的线形，请打开；如果是另一条路线，请取消，"
                                             "用“作业 → 新建”为它另建一个作业。")
                                  .arg(beams)
                                  .arg(name_, name))) {
            Show(tableStatus_, QStringLiteral("没有打开“%1”，线形和盖梁都没有改变。").arg(name), false);
            return false;
        }
        name_ = name;
        lastFolder_ = QFileInfo(path).absolutePath();
        const QSignalBlocker block(elementKind_);
        (elements ? elementKind_ : jdKind_)->setChecked(true);
        model_->SetKind(elements ? AlignmentTableKind::Element : AlignmentTableKind::Jd);
        model_->SetRows(rows);  // reads the table again (Derive)
        input_->resizeColumnsToContents();
        return road_.has_value();
    } catch (const Failure& failure) {
        Show(tableStatus_,
             QStringLiteral("文件“%1”不能使用：%2").arg(QDir::toNativeSeparators(path), Text(failure.message().text)), true);
        return false;
    }
}

bool AlignmentPage::SaveFile(const QString& path) {
    QString why;
    if (!SaveWholeFile(path, model_->CsvText(true), why)) {
        Show(tableStatus_, QStringLiteral("线形表没有保存。") + why, true);
        return false;
    }
    name_ = QFileInfo(path).fileName();
    lastFolder_ = QFileInfo(path).absolutePath();
    KeepInJob();
    Show(tableStatus_, QStringLiteral("线形表已保存到 %1").arg(QDir::toNativeSeparators(path)), false);
    return true;
}

bool AlignmentPage::PasteText(const QString& text) {
    const QModelIndex at = input_->currentIndex();
    const int rows = model_->Paste(text, at.isValid() ? at.row() : 0, at.isValid() ? at.column() : 0);
    if (rows == 0) {
        Show(tableStatus_, QStringLiteral("剪贴板里没有可粘贴的行。请在电子表格中选中若干行，复制后再粘贴。"), true);
        return false;
    }
    input_->resizeColumnsToContents();
    return true;
}

bool AlignmentPage::BeamFieldsReadable() {
    if (!road_) {
        Show(beamStatus_, QStringLiteral("还没有可用的线形。请先在上面的表格中输入线形，并按提示改正。"), true);
        return false;
    }
    try {
        ReadAlignmentBeamDesign(BeamFields());
    } catch (const Failure& failure) {
        Show(beamStatus_, Text(failure.message().text), true);
        return false;
    }
    return true;
}

bool AlignmentPage::Place(const std::vector<Chainage>& chainages) {
    AlignmentBeamsOutcome outcome;
    try {
        outcome = logic_.PlaceOnAlignment(*road_, BeamFields(), chainages);
    } catch (const Failure& failure) {
        Show(beamStatus_, Text(failure.message().text), true);
        return false;
    }
    QStringList refused;
    for (const auto& [Kp, why] : outcome.refused) refused << Text(TypedChainageCell(Kp)) + QStringLiteral("：") + Text(why);
    if (chainages.size() == 1 && outcome.placed == 0) {
        Show(beamStatus_, QStringLiteral("中桩 ") + refused.front() + QStringLiteral("\n请改正中桩桩号 Kp 后再计算。"), true);
        return false;
    }
    if (outcome.placed > 0) emit TableChanged();
    QString text = QStringLiteral("已算出 %1 根盖梁，记入计算记录（左侧在前）。").arg(outcome.placed);
    if (!refused.isEmpty()) {
        text += QStringLiteral("\n%1 个桩号不能计算：\n").arg(refused.size());
        text += QStringList(refused.mid(0, 5)).join(QLatin1Char('\n'));
        if (refused.size() > 5) text += QStringLiteral("\n……（另有 %1 个）").arg(refused.size() - 5);
    }
    Show(beamStatus_, text, outcome.placed == 0);
    return refused.isEmpty();
}

bool AlignmentPage::ComputeBeam() {
    if (!BeamFieldsReadable()) return false;
    const std::string KpText = Field("KpEdit")->text().trimmed().toStdString();
    if (KpText.empty()) {
        Show(beamStatus_, QStringLiteral("请输入中桩桩号 Kp，例如 K0+300 或 300。"), true);
        return false;
    }
    Chainage Kp;
    try {
        Kp = ReadChainage(KpText);
    } catch (const Failure& failure) {
        Show(beamStatus_, QStringLiteral("中桩 Kp：") + Text(failure.message().text), true);
        return false;
    }
    return Place({Kp});
}

bool AlignmentPage::RunBatch() {
    if (!BeamFieldsReadable()) return false;
    std::vector<double> metres;
    try {
        const std::string list = Field("ListEdit")->text().trimmed().toStdString();
        if (!list.empty()) {
            metres = ParseChainageList(list);
        } else {
            const auto number = [this](const char* name) { return ReadDouble(Field(name)->text().trimmed().toStdString()); };
            if (Field("FromEdit")->text().trimmed().isEmpty() || Field("ToEdit")->text().trimmed().isEmpty() ||
                Field("StepEdit")->text().trimmed().isEmpty()) {
                Show(beamStatus_, QStringLiteral("请输入桩号列表，或者起始桩号、终止桩号和间距（米）。"), true);
                return false;
            }
            metres = ChainageRange(number("FromEdit"), number("StepEdit"), number("ToEdit"));
        }
    } catch (const Failure& failure) {
        Show(beamStatus_, QStringLiteral("批量桩号：") + Text(failure.message().text), true);
        return false;
    }
    std::vector<Chainage> chainages;
    for (const double K : metres) chainages.push_back({K, kAnyStretch});
    return Place(chainages);
}

bool AlignmentPage::LookUpCoordinates() {
    if (!road_) {
        Show(lookUpStatus_, QStringLiteral("还没有可用的线形。请先在上面的表格中输入线形。"), true);
        return false;
    }
    const auto text = [this](const char* name) { return Field(name)->text().trimmed().toStdString(); };
    try {
        if (text("LookUpKEdit").empty()) {
            Show(lookUpStatus_, QStringLiteral("请输入要查询的桩号，例如 K0+300。"), true);
            return false;
        }
        const Chainage K = ReadChainage(text("LookUpKEdit"));
        const double offset = text("OffsetEdit").empty() ? 0 : ReadDouble(text("OffsetEdit"));
        const double angle = text("AngleEdit").empty() ? 90 : ReadSkewReply(text("AngleEdit"));
        if (!std::isfinite(offset) || std::fabs(offset) > 1e6) {
            Show(lookUpStatus_, QStringLiteral("偏距太大。请输入以米为单位的偏距，右侧为正、左侧为负。"), true);
            return false;
        }
        const Station centre = road_->road.At(K);
        const PlanePoint p = road_->road.OffsetPoint(K, offset, angle);
        Show(lookUpStatus_,
             QStringLiteral("桩号 %1  偏距 %2 米：X %3  Y %4（中线切线方位角 %5）")
                 .arg(Text(TypedChainageCell(K)), Text(CoordinateText(offset)), Text(CoordinateText(p.X)),
                      Text(CoordinateText(p.Y)), Text(DmsText(centre.azimuth))),
             false);
        return true;
    } catch (const Failure& failure) {
        Show(lookUpStatus_, QStringLiteral("不能求座标：") + Text(failure.message().text), true);
        return false;
    }
}

bool AlignmentPage::LookUpChainage() {
    if (!road_) {
        Show(lookUpStatus_, QStringLiteral("还没有可用的线形。请先在上面的表格中输入线形。"), true);
        return false;
    }
    try {
        const double X = ReadDouble(Field("LookUpXEdit")->text().trimmed().toStdString());
        const double Y = ReadDouble(Field("LookUpYEdit")->text().trimmed().toStdString());
        const Foot foot = road_->road.Line().Locate(X, Y);
        const double offset = foot.offset;
        const QString side = Round3(offset) > 0   ? QStringLiteral("右侧 %1 米").arg(Text(CoordinateText(offset)))
                             : Round3(offset) < 0 ? QStringLiteral("左侧 %1 米").arg(Text(CoordinateText(-offset)))
                                                  : QStringLiteral("在中线上");
        Show(lookUpStatus_,
             QStringLiteral("X %1  Y %2：桩号 %3，偏距 %4（%5）")
                 .arg(Text(CoordinateText(X)), Text(CoordinateText(Y)), Text(ChainageCell(road_->road, foot.distance)),
                      Text(CoordinateText(offset)), side),
             false);
        return true;
    } catch (const Failure& failure) {
        Show(lookUpStatus_, QStringLiteral("不能反算桩号：") + Text(failure.message().text), true);
        return false;
    }
}

PlanScene AlignmentPage::Scene() const {
    if (!road_) {
        // An empty drawing: the plan says where the alignment comes from.
        PlanScene empty;
        empty.alignment = std::make_shared<PlanAlignment>();
        return empty;
    }
    const auto [DL, DR] = HalfWidths();
    // Every alignment beam stands on the page's road (the refused ones have no place).
    std::vector<const PierRow*> rows;
    for (const PierGroup& g : logic_.Table().Groups())
        if (g.kind == GroupKind::Alignment)
            for (const PierRow& r : g.rows) rows.push_back(&r);
    return AlignmentPlanScene(*road_, DL, DR, rows);
}

std::pair<std::optional<double>, std::optional<double>> AlignmentPage::HalfWidths() const {
    return DrawnHalfWidths(BeamFields());
}

}  // namespace capbeam

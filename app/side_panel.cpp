#include "app/side_panel.h"

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <memory>

#include "app/alignment_page.h"
#include "app/app_setup.h"
#include "app/batch_dialog.h"
#include "flows/calculator.h"
#include "app/pier_table_model.h"
#include "records/plan_geometry.h"
#include "app/plan_view.h"
#include "app/site_page.h"
#include "records/beam_points.h"
#include "core/failure.h"
#include "records/export.h"

namespace capbeam {

SidePanel::SidePanel(Calculator& logic, QWidget* parent) : QWidget(parent), logic_(logic) {
    setObjectName(QStringLiteral("SidePanel"));
    setAccessibleName(QStringLiteral("平面图和计算记录"));
    lastFolder_ = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);

    showMessage = [this](const QString& title, const QString& text) {
        ShowMessageBox(this, QStringLiteral("PanelMessage"), title, text);
    };
    chooseSavePath = [this](const QString& caption, const QString& suggested, const QString& filter) {
        return ChooseSaveFile(this, caption, suggested, filter);
    };

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 6, 6, 6);
    BuildOrientation(column);

    plan_ = new PlanView;

    auto* tableArea = new QWidget;
    tableArea->setObjectName(QStringLiteral("PierTableArea"));
    tableArea->setAccessibleName(QStringLiteral("计算记录"));
    auto* tableColumn = new QVBoxLayout(tableArea);
    tableColumn->setContentsMargins(0, 4, 0, 0);
    auto* title = new QLabel(QStringLiteral("计算记录"));
    title->setObjectName(QStringLiteral("PierTableTitle"));
    title->setAccessibleName(title->text());
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);

    model_ = new PierTableModel(logic_.Table(), this);
    table_ = new QTableView;
    table_->setObjectName(QStringLiteral("PierTableView"));
    table_->setAccessibleName(QStringLiteral("计算记录"));
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(false);
    table_->setAlternatingRowColors(true);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    const QFontMetrics metrics(table_->horizontalHeader()->font());
    for (int c = 0; c < PierTableModel::kColumnCount; ++c) {
        const QString heading = model_->headerData(c, Qt::Horizontal).toString();
        table_->setColumnWidth(c, std::max(metrics.horizontalAdvance(heading) + 16, 96));
    }
    title->setBuddy(table_);
    tableColumn->addWidget(title);
    tableColumn->addWidget(table_, 1);
    // The set-out's own handling of a row, where the row is: rename its pier,
    // leave it out of the points and files or take it back.
    table_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(table_, &QTableView::customContextMenuRequested, this, [this](const QPoint& at) {
        const PierRow* row = model_->RowAt(table_->indexAt(at).row());
        if (!row) return;
        const int number = row->number;
        const bool included = !IsDeleted(logic_.Site(), number);
        QMenu menu(this);
        menu.setObjectName(QStringLiteral("PierRowMenu"));
        menu.addAction(QStringLiteral("重命名墩…"), this, [this, number] {
            bool ok = false;
            const QString name = QInputDialog::getText(
                this, QStringLiteral("重命名墩"),
                QStringLiteral("第 %1 行的墩名（点名为“墩名-点名”；留空恢复为 %2）：").arg(number).arg(Q(DefaultPierName(number))),
                QLineEdit::Normal, Q(PierName(logic_.Site(), number)), &ok);
            if (ok && !site_->RenamePier(number, name)) showMessage(QStringLiteral("墩名没有改"), site_->Status()->text());
        });
        menu.addAction(included ? QStringLiteral("不放样这一行") : QStringLiteral("恢复放样这一行"), this,
                       [this, number, included] { site_->IncludePier(number, !included); });
        menu.exec(table_->viewport()->mapToGlobal(at));
    });
    connect(model_, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { MarkHeaders(first, last); });

    auto* split = new QSplitter(Qt::Vertical);
    split->setObjectName(QStringLiteral("PanelSplitter"));
    split->setAccessibleName(QStringLiteral("平面图与计算记录的分隔"));
    split->setChildrenCollapsible(false);
    split->addWidget(plan_);
    split->addWidget(BuildPages(tableArea));
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);
    split->setSizes({300, 260});
    column->addWidget(split, 1);

    batch_ = PageButton("BatchButton", QStringLiteral("批量计算…"));
    copy_ = PageButton("CopyTableButton", QStringLiteral("复制表格"));
    saveCsv_ = PageButton("SaveCsvButton", QStringLiteral("保存 CSV…"));
    saveCass_ = PageButton("SaveCassButton", QStringLiteral("保存全站仪坐标文件…"));
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {batch_, copy_, saveCsv_, saveCass_}) buttons->addWidget(button);
    buttons->addStretch(1);
    column->addLayout(buttons);

    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("PanelStatus"));
    status_->setAccessibleName(QStringLiteral("操作结果"));
    status_->setWordWrap(true);
    column->addWidget(status_);

    connect(batch_, &QPushButton::clicked, this, [this] {
        std::unique_ptr<BatchDialog> dialog(MakeBatchDialog());
        dialog->exec();
    });
    connect(copy_, &QPushButton::clicked, this, [this] { CopyTable(); });
    connect(saveCsv_, &QPushButton::clicked, this, [this] {
        SaveWithChooser(QStringLiteral("保存计算记录为 CSV"), QStringLiteral("计算记录.csv"),
                        QStringLiteral("CSV 表格 (*.csv)"), true);
    });
    connect(saveCass_, &QPushButton::clicked, this, [this] {
        SaveWithChooser(QStringLiteral("保存全站仪坐标文件"), QStringLiteral("盖梁坐标.dat"),
                        QStringLiteral("全站仪坐标文件 (*.dat)"), false);
    });
    UpdateButtons();
}

QWidget* SidePanel::BuildPages(QWidget* tableArea) {
    alignment_ = new AlignmentPage(logic_);
    auto* scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("AlignmentScroll"));
    scroll->setWidget(alignment_);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    pages_ = new QTabWidget;
    pages_->setObjectName(QStringLiteral("PanelPages"));
    pages_->setAccessibleName(QStringLiteral("计算记录和道路线形"));
    pages_->addTab(tableArea, QStringLiteral("计算记录(&R)"));  // Alt+R and Alt+A switch from the keyboard
    pages_->addTab(scroll, QStringLiteral("道路线形(&A)"));
    site_ = new SitePage(logic_);
    auto* siteScroll = new QScrollArea;
    siteScroll->setObjectName(QStringLiteral("SiteScroll"));
    siteScroll->setWidget(site_);
    siteScroll->setWidgetResizable(true);
    siteScroll->setFrameShape(QFrame::NoFrame);
    pages_->addTab(siteScroll, QStringLiteral("放样(&S)"));
    connect(site_, &SitePage::PointsChanged, this, [this] { ShowPlan(); });
    connect(alignment_, &AlignmentPage::TableChanged, this, [this] { RecordChanged(); });
    connect(alignment_, &AlignmentPage::AlignmentChanged, this, [this] { ShowPlan(); });
    connect(pages_, &QTabWidget::currentChanged, this, [this](int page) {
        // The alignment page holds tables and boxes: it gets two thirds of
        // the height beside the plan when it opens in less than half.
        auto* split = qobject_cast<QSplitter*>(pages_->parentWidget());
        if (page >= 1 && split && split->sizes().size() == 2 && split->sizes()[1] < split->sizes()[0]) {
            const int total = split->sizes()[0] + split->sizes()[1];
            split->setSizes({total / 3, total - total / 3});
        }
        ShowPlan();
    });
    return pages_;
}

void SidePanel::ShowPlan() {
    const auto& groups = logic_.Table().Groups();
    const bool alignment = pages_->currentIndex() == 1 || (!groups.empty() && groups.back().kind == GroupKind::Alignment);
    PlanScene scene = alignment ? alignment_->Scene() : BuildPlanScene(logic_.Table());
    scene.sitePoints = ListedPoints();
    plan_->SetScene(scene);
}

std::vector<SitePoint> SidePanel::ListedPoints() const {
    // The centre and the ends are drawn with the beams: only the list's points.
    std::vector<SitePoint> points;
    const SiteWork& site = logic_.Site();
    if (site.beamPoints.empty()) return points;
    for (const PierGroup& group : logic_.Table().Groups())
        for (const PierRow& row : group.rows) {
            if (IsDeleted(site, row.number)) continue;
            try {
                const std::vector<SitePoint> pier = PierPoints(group, row, PierName(site, row.number), site.beamPoints);
                points.insert(points.end(), pier.begin() + 3, pier.end());
            } catch (const Failure&) {
                // a beam without length has no points along it; the page says so
            }
        }
    return points;
}

void SidePanel::BuildOrientation(QBoxLayout* column) {
    auto* box = new QGroupBox(QStringLiteral("盖梁方向"));
    box->setObjectName(QStringLiteral("OrientationBox"));
    box->setAccessibleName(box->title());
    parallel_ = new QRadioButton(QStringLiteral("平行于设计盖梁"));
    parallel_->setObjectName(QStringLiteral("OrientationParallel"));
    parallel_->setAccessibleName(parallel_->text());
    parallel_->setToolTip(QStringLiteral("每根盖梁都与设计位置的盖梁平行"));
    tangent_ = new QRadioButton(QStringLiteral("与切线保持交角 B"));
    tangent_->setObjectName(QStringLiteral("OrientationTangent"));
    tangent_->setAccessibleName(tangent_->text());
    tangent_->setToolTip(QStringLiteral("每根盖梁与它所在中桩处的切线保持交角 B（B = 90 度时沿半径方向）"));
    (logic_.GetOrientation() == Orientation::Tangent ? tangent_ : parallel_)->setChecked(true);
    auto* row = new QHBoxLayout(box);
    row->addWidget(parallel_);
    row->addWidget(tangent_);
    row->addStretch(1);
    connect(tangent_, &QRadioButton::toggled, this, [this](bool tangent) {
        logic_.SetOrientation(tangent ? Orientation::Tangent : Orientation::Parallel);
    });
    column->addWidget(box);
}

BatchDialog* SidePanel::MakeBatchDialog() { return new BatchDialog(logic_, this, &batchInputs_); }

void SidePanel::RecordChanged() {
    model_->Sync();
    site_->Sync();
    ShowPlan();
    UpdateButtons();
    if (model_->rowCount() > 0) table_->scrollToBottom();
}

void SidePanel::MarkHeaders(int first, int last) {
    for (int line = first; line <= last; ++line)
        if (model_->IsHeader(line))
            table_->setSpan(line, 0, 1, PierTableModel::kColumnCount);
        else if (model_->IsRefused(line))
            table_->setSpan(line, 1, 1, PierTableModel::kColumnCount - 1);
}

void SidePanel::UpdateButtons() {
    // A batch needs a curve, as "座标计算" does.
    batch_->setEnabled(logic_.Record().hasCurve);
    batch_->setToolTip(batch_->isEnabled() ? QString() : QStringLiteral("请先按“进行计算”输入平曲线"));
    const bool rows = !logic_.Table().Empty();
    for (QPushButton* button : {copy_, saveCsv_, saveCass_}) button->setEnabled(rows);
}

void SidePanel::CopyTable() {
    const std::string tsv = TableTsv(logic_.Table());
    QApplication::clipboard()->setText(Q(tsv));
    status_->setText(QStringLiteral("已把 %1 行计算记录复制到剪贴板，可以粘贴到电子表格中。").arg(logic_.Table().RowCount()));
}

bool SidePanel::SaveCsvTo(const QString& path) { return Save(path, TableCsv(logic_.Table(), true)); }

bool SidePanel::SaveCassTo(const QString& path) {
    // Every pier's points under its name; without names and points these
    // are the table's own three points a row.
    try {
        return Save(path, SitePointsCass(SitePointsOf(logic_.Table(), logic_.Site())));
    } catch (const Failure& failure) {
        status_->setText(QStringLiteral("没有保存：") + Q(failure.message().text));
        showMessage(QStringLiteral("文件没有保存"), Q(failure.message().text));
        return false;
    }
}

void SidePanel::SaveWithChooser(const QString& caption, const QString& name, const QString& filter, bool csv) {
    const QString path = chooseSavePath(caption, QDir(lastFolder_).filePath(name), filter);
    if (path.isEmpty()) return;
    lastFolder_ = QFileInfo(path).absolutePath();
    if (csv)
        SaveCsvTo(path);
    else
        SaveCassTo(path);
}

bool SidePanel::Save(const QString& path, const std::string& content) {
    QString text;
    if (!SaveWholeFile(path, content, text)) {
        status_->setText(QStringLiteral("没有保存：") + QDir::toNativeSeparators(path));
        showMessage(QStringLiteral("文件没有保存"), text);
        return false;
    }
    status_->setText(QStringLiteral("已保存 %1 行到 %2").arg(logic_.Table().RowCount()).arg(QDir::toNativeSeparators(path)));
    return true;
}

}  // namespace capbeam

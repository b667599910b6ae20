#include "app/site_page.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

#include "app/app_setup.h"
#include "app/side_panel.h"
#include "core/dms.h"
#include "core/failure.h"
#include "core/text_formats.h"
#include "flows/calculator.h"

namespace capbeam {

namespace {

enum PierColumnOf { kNumber, kChainage, kName, kIncluded, kNote, kPierColumns };
enum PointColumn { kPointName, kAlong, kAcross, kPointColumns };

QTableWidget* Table(const char* name, const QString& accessible, const QStringList& titles) {
    auto* table = new QTableWidget(0, static_cast<int>(titles.size()));
    table->setObjectName(QString::fromLatin1(name));
    table->setAccessibleName(accessible);
    table->setHorizontalHeaderLabels(titles);
    table->verticalHeader()->setVisible(false);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setMinimumHeight(120);
    return table;
}

QLineEdit* LineBox(const char* name, const QString& accessible, const QString& placeholder = {}) {
    auto* box = new QLineEdit;
    box->setObjectName(QString::fromLatin1(name));
    box->setAccessibleName(accessible);
    box->setPlaceholderText(placeholder);
    return box;
}

QGroupBox* Group(const char* name, const QString& title) {
    auto* box = new QGroupBox(title);
    box->setObjectName(QString::fromLatin1(name));
    box->setAccessibleName(title);
    return box;
}

QLabel* Label(const char* name, const QString& text, QWidget* buddy = nullptr) {
    auto* label = new QLabel(text);
    label->setObjectName(QString::fromLatin1(name));
    label->setAccessibleName(text);
    if (buddy) label->setBuddy(buddy);
    return label;
}

QTableWidgetItem* Cell(const QString& text, bool editable) {
    auto* item = new QTableWidgetItem(text);
    if (!editable) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

// A number typed in a box or a cell, as the prompts read one; `what` names it.
double ReadNumber(const QString& text, const QString& what) {
    try {
        return ReadDouble(text.toStdString());
    } catch (const Failure&) {
        throw Failure(ErrorKind::TypeMismatch,
                      (what + QStringLiteral("应当是一个数（米），不能是“%1”。").arg(text)).toStdString());
    }
}

std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }

}  // namespace

SitePage::SitePage(Calculator& logic, QWidget* parent) : QWidget(parent), logic_(logic) {
    setObjectName(QStringLiteral("SitePage"));
    setAccessibleName(QStringLiteral("放样"));
    lastFolder_ = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    chooseSavePath = [this](const QString& caption, const QString& suggested, const QString& filter) {
        return ChooseSaveFile(this, caption, suggested, filter);
    };
    showMessage = [this](const QString& title, const QString& text) {
        ShowMessageBox(this, QStringLiteral("SiteMessage"), title, text);
    };
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    BuildPiers(column);
    BuildPoints(column);
    BuildStation(column);
    BuildStakeout(column);
    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("SiteStatus"));
    status_->setAccessibleName(QStringLiteral("放样操作结果"));
    status_->setWordWrap(true);
    column->addWidget(status_);
    Sync();
}

void SitePage::BuildPiers(QVBoxLayout* column) {
    auto* box = Group("SitePiersBox", QStringLiteral("墩（计算记录中的每一行）"));
    auto* inner = new QVBoxLayout(box);
    piers_ = Table("SitePiers", QStringLiteral("墩名"),
                   {QStringLiteral("行号"), QStringLiteral("中桩桩号"), QStringLiteral("墩名"), QStringLiteral("放样"),
                    QStringLiteral("说明")});
    piers_->setToolTip(QStringLiteral("双击墩名可以改名（点名为“墩名-点名”）；不要放样的行取消“放样”的勾"));
    inner->addWidget(piers_);
    column->addWidget(box);
    connect(piers_, &QTableWidget::cellChanged, this, [this](int line, int c) { PierEdited(line, c); });
}

void SitePage::BuildPoints(QVBoxLayout* column) {
    auto* box = Group("SitePointsBox", QStringLiteral("盖梁上的点（每个墩都计算）"));
    auto* inner = new QVBoxLayout(box);
    auto* note = Label("SitePointsNote", QStringLiteral("沿轴线：从盖梁中心量，向道路前进方向右侧的一端为正；"
                                                        "横向：垂直于盖梁轴线，向道路前进方向为正。中心和两端总是包括在内。"));
    note->setWordWrap(true);
    points_ = Table("SitePoints", QStringLiteral("盖梁上的点"),
                    {QStringLiteral("点名"), QStringLiteral("沿轴线 (米)"), QStringLiteral("横向 (米)")});
    auto* add = PageButton("AddSitePoint", QStringLiteral("添加点"));
    auto* remove = PageButton("RemoveSitePoint", QStringLiteral("删除点"), QStringLiteral("删除选中的点"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addStretch(1);
    inner->addWidget(note);
    inner->addWidget(points_);
    inner->addLayout(buttons);
    column->addWidget(box);
    connect(points_, &QTableWidget::cellChanged, this, [this](int line, int c) { PointEdited(line, c); });
    connect(add, &QPushButton::clicked, this, [this] { AddPoint(); });
    connect(remove, &QPushButton::clicked, this, [this] { RemovePoint(); });
}

void SitePage::BuildStation(QVBoxLayout* column) {
    auto* box = Group("StationBox", QStringLiteral("设站"));
    auto* form = new QFormLayout(box);
    stationName_ = LineBox("StationName", QStringLiteral("测站点名"), QStringLiteral("例如 T1"));
    stationX_ = LineBox("StationX", QStringLiteral("测站 X"));
    stationY_ = LineBox("StationY", QStringLiteral("测站 Y"));
    byPoint_ = new QRadioButton(QStringLiteral("后视点"));
    byPoint_->setObjectName(QStringLiteral("BacksightByPoint"));
    byPoint_->setAccessibleName(byPoint_->text());
    byAzimuth_ = new QRadioButton(QStringLiteral("后视方位角"));
    byAzimuth_->setObjectName(QStringLiteral("BacksightByAzimuth"));
    byAzimuth_->setAccessibleName(byAzimuth_->text());
    byPoint_->setChecked(true);
    backName_ = LineBox("BacksightName", QStringLiteral("后视点名"), QStringLiteral("例如 T2"));
    backX_ = LineBox("BacksightX", QStringLiteral("后视点 X"));
    backY_ = LineBox("BacksightY", QStringLiteral("后视点 Y"));
    backAzimuth_ = LineBox("BacksightAzimuth", QStringLiteral("后视方位角"), QStringLiteral("度.分秒，例如 45.3015"));
    const auto pair = [](QWidget* a, QWidget* b) {
        auto* row = new QHBoxLayout;
        row->addWidget(a);
        row->addWidget(b);
        return row;
    };
    auto* choice = new QHBoxLayout;
    choice->addWidget(byPoint_);
    choice->addWidget(byAzimuth_);
    choice->addStretch(1);
    form->addRow(Label("StationNameLabel", QStringLiteral("测站点名"), stationName_), stationName_);
    form->addRow(Label("StationXYLabel", QStringLiteral("测站 X / Y"), stationX_), pair(stationX_, stationY_));
    form->addRow(Label("BacksightLabel", QStringLiteral("后视"), byPoint_), choice);
    form->addRow(Label("BacksightNameLabel", QStringLiteral("后视点名"), backName_), backName_);
    form->addRow(Label("BacksightXYLabel", QStringLiteral("后视点 X / Y"), backX_), pair(backX_, backY_));
    form->addRow(Label("BacksightAzimuthLabel", QStringLiteral("后视方位角"), backAzimuth_), backAzimuth_);
    const auto showChoice = [this] {
        for (QLineEdit* b : {backName_, backX_, backY_}) b->setEnabled(byPoint_->isChecked());
        backAzimuth_->setEnabled(byAzimuth_->isChecked());
    };
    connect(byPoint_, &QRadioButton::toggled, this, showChoice);
    showChoice();
    column->addWidget(box);
}

void SitePage::BuildStakeout(QVBoxLayout* column) {
    auto* compute = PageButton("ComputeStakeout", QStringLiteral("计算放样"),
                           QStringLiteral("按测站和后视计算每个点的方位角、水平角和平距"));
    stakeout_ = Table("StakeoutTable", QStringLiteral("放样数据"),
                      {QStringLiteral("点名"), QStringLiteral("方位角 (度.分秒)"), QStringLiteral("水平角 (度.分秒)"),
                       QStringLiteral("平距 (米)")});
    stakeout_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* savePoints = PageButton("SaveSitePointsCsv", QStringLiteral("保存放样点 CSV…"));
    auto* saveGsi = PageButton("SaveSitePointsGsi", QStringLiteral("保存 GSI 坐标文件…"),
                           QStringLiteral("GSI-16 格式，可直接导入全站仪"));
    auto* saveTable = PageButton("SaveStakeoutCsv", QStringLiteral("保存放样表 CSV…"));
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {compute, savePoints, saveGsi, saveTable}) buttons->addWidget(b);
    buttons->addStretch(1);
    column->addLayout(buttons);
    column->addWidget(stakeout_, 1);
    connect(compute, &QPushButton::clicked, this, [this] { ComputeStakeout(); });
    connect(savePoints, &QPushButton::clicked, this, [this] {
        SaveWithChooser(QStringLiteral("保存放样点"), QStringLiteral("放样点.csv"), QStringLiteral("CSV 表格 (*.csv)"),
                        &SitePage::SavePointsCsv);
    });
    connect(saveGsi, &QPushButton::clicked, this, [this] {
        SaveWithChooser(QStringLiteral("保存 GSI 坐标文件"), QStringLiteral("放样点.gsi"),
                        QStringLiteral("GSI 坐标文件 (*.gsi)"), &SitePage::SaveGsi);
    });
    connect(saveTable, &QPushButton::clicked, this, [this] {
        SaveWithChooser(QStringLiteral("保存放样表"), QStringLiteral("放样表.csv"), QStringLiteral("CSV 表格 (*.csv)"),
                        &SitePage::SaveStakeoutCsv);
    });
}

void SitePage::Sync() {
    syncing_ = true;
    SyncPiers();
    SyncPoints();
    SyncStation();
    FillStakeout();
    syncing_ = false;
}

void SitePage::SyncPiers() {
    const SiteWork& site = logic_.Site();
    const std::map<int, int> repeated = RepeatedChainages(logic_.Table());
    piers_->setRowCount(static_cast<int>(logic_.Table().RowCount() + logic_.Table().RefusedCount()));
    int line = 0;
    for (const PierGroup& group : logic_.Table().Groups())
        for (const PierLine& pier : LinesOf(group)) {
            if (pier.refused) {
                // A beam off its road has no points to set out; its name waits for it.
                const RefusedPier& refused = *pier.refused;
                piers_->setItem(line, kNumber, Cell(QString::number(refused.number), false));
                piers_->setItem(line, kChainage, Cell(Q(refused.KpText), false));
                piers_->setItem(line, kName, Cell(Q(PierName(site, refused.number)), true));
                piers_->setItem(line, kIncluded, Cell(QString(), false));
                auto* note = Cell(QStringLiteral("作废，不能放样：") + Q(refused.why), false);
                note->setForeground(QColor(176, 0, 0));
                note->setToolTip(note->text());
                piers_->setItem(line, kNote, note);
                ++line;
                continue;
            }
            const PierRow& row = *pier.row;
            piers_->setItem(line, kNumber, Cell(QString::number(row.number), false));
            auto* chainage = Cell(Q(row.Text(PierColumn::Kp)), false);
            QString note;
            if (const auto it = repeated.find(row.number); it != repeated.end()) {
                note = QStringLiteral("桩号与第 %1 行相同，同一个墩算了两次？").arg(it->second);
                chainage->setBackground(QColor(255, 224, 178));
            }
            piers_->setItem(line, kChainage, chainage);
            piers_->setItem(line, kName, Cell(Q(PierName(site, row.number)), true));
            auto* included = Cell(QString(), false);
            included->setFlags(included->flags() | Qt::ItemIsUserCheckable);
            included->setCheckState(IsDeleted(site, row.number) ? Qt::Unchecked : Qt::Checked);
            piers_->setItem(line, kIncluded, included);
            piers_->setItem(line, kNote, Cell(note, false));
            ++line;
        }
}

void SitePage::SyncPoints() {
    const std::vector<BeamPointDef>& defs = logic_.Site().beamPoints;
    points_->setRowCount(static_cast<int>(defs.size()));
    for (int line = 0; line < static_cast<int>(defs.size()); ++line) {
        const BeamPointDef& def = defs[static_cast<std::size_t>(line)];
        points_->setItem(line, kPointName, Cell(Q(def.name), true));
        points_->setItem(line, kAlong, Cell(Q(NumberText(def.along)), true));
        points_->setItem(line, kAcross, Cell(Q(NumberText(def.across)), true));
    }
}

void SitePage::SyncStation() {
    const std::optional<SiteStation>& station = logic_.Site().station;
    if (!station) {
        // What is being typed stays; a station of a job no longer open goes.
        if (stationShown_)
            for (QLineEdit* box : {stationName_, stationX_, stationY_, backName_, backX_, backY_, backAzimuth_})
                box->clear();
        stationShown_ = false;
        return;
    }
    stationShown_ = true;
    stationName_->setText(Q(station->name));
    stationX_->setText(Q(NumberText(station->X)));
    stationY_->setText(Q(NumberText(station->Y)));
    (station->backsightIsAzimuth ? byAzimuth_ : byPoint_)->setChecked(true);
    if (station->backsightIsAzimuth) {
        backAzimuth_->setText(Q(NumberText(station->backsightAzimuthDms)));
    } else {
        backName_->setText(Q(station->backsightName));
        backX_->setText(Q(NumberText(station->backsightX)));
        backY_->setText(Q(NumberText(station->backsightY)));
    }
}

void SitePage::FillStakeout() {
    stakeout_->setRowCount(0);
    const SiteWork& site = logic_.Site();
    if (!site.station) return;
    try {
        const StakeoutRow back = BacksightRow(*site.station);
        const std::vector<StakeoutRow> rows = StakeoutOf(*site.station, SitePointsOf(logic_.Table(), site));
        stakeout_->setRowCount(static_cast<int>(rows.size()) + 1);
        const auto put = [this, &site](int line, const StakeoutRow& r, const QString& name) {
            stakeout_->setItem(line, 0, Cell(name, false));
            stakeout_->setItem(line, 1, Cell(Q(AzimuthDmsText(r.azimuth)), false));
            stakeout_->setItem(line, 2, Cell(Q(AzimuthDmsText(r.angle)), false));
            stakeout_->setItem(line, 3, Cell(r.distance > 0 || !site.station->backsightIsAzimuth || line > 0
                                                 ? Q(FixedText(r.distance))
                                                 : QString(),
                                             false));
        };
        put(0, back, Q(back.name) + QStringLiteral("（后视，检核）"));
        for (int line = 0; line < static_cast<int>(rows.size()); ++line)
            put(line + 1, rows[static_cast<std::size_t>(line)], Q(rows[static_cast<std::size_t>(line)].name));
    } catch (const Failure& failure) {
        status_->setText(Q(failure.message().text));
    }
}

void SitePage::PierEdited(int line, int column) {
    if (syncing_) return;
    const int number = piers_->item(line, kNumber)->text().toInt();
    if (column == kIncluded) return IncludePier(number, piers_->item(line, kIncluded)->checkState() == Qt::Checked);
    if (column == kName) RenamePier(number, piers_->item(line, kName)->text());
}

void SitePage::IncludePier(int number, bool included) {
    SiteWork site = logic_.Site();
    auto& deleted = site.deletedPiers;
    deleted.erase(std::remove(deleted.begin(), deleted.end(), number), deleted.end());
    if (!included) deleted.insert(std::upper_bound(deleted.begin(), deleted.end(), number), number);
    Apply(site);
}

bool SitePage::RenamePier(int number, const QString& typed) {
    SiteWork site = logic_.Site();
    const std::string name = typed.trimmed().isEmpty() ? DefaultPierName(number) : Utf8(typed.trimmed());
    if (const auto problem = NameProblem(name)) {
        Refuse(QStringLiteral("墩名“%1”不能用：%2").arg(Q(name), Q(*problem)));
        return false;
    }
    for (const PierGroup& group : logic_.Table().Groups())
        for (const PierRow& row : group.rows)
            if (row.number != number && PierName(site, row.number) == name) {
                Refuse(QStringLiteral("第 %1 行已经叫“%2”；每个墩要有自己的名称，点名才不会重复。请换一个名称。")
                           .arg(row.number)
                           .arg(Q(name)));
                return false;
            }
    if (name == DefaultPierName(number))
        site.pierNames.erase(number);
    else
        site.pierNames[number] = name;
    Apply(site);
    return true;
}

void SitePage::PointEdited(int line, int column) {
    if (syncing_) return;
    SiteWork site = logic_.Site();
    if (line >= static_cast<int>(site.beamPoints.size())) return;
    BeamPointDef& def = site.beamPoints[static_cast<std::size_t>(line)];
    const QString text = points_->item(line, column)->text().trimmed();
    try {
        if (column == kPointName) def.name = Utf8(text);
        if (column == kAlong) def.along = ReadNumber(text, QStringLiteral("沿轴线的距离"));
        if (column == kAcross) def.across = text.isEmpty() ? 0 : ReadNumber(text, QStringLiteral("横向距离"));
    } catch (const Failure& failure) {
        return Refuse(Q(failure.message().text));
    }
    Apply(site);
}

bool SitePage::AddPoint() {
    SiteWork site = logic_.Site();
    std::set<std::string> taken;
    for (const BeamPointDef& def : site.beamPoints) taken.insert(def.name);
    int n = 1;
    while (taken.count("Z" + std::to_string(n))) ++n;
    site.beamPoints.push_back({"Z" + std::to_string(n), 0, 0});
    Apply(site);
    return true;
}

bool SitePage::RemovePoint() {
    const int line = points_->currentRow();
    SiteWork site = logic_.Site();
    if (line < 0 || line >= static_cast<int>(site.beamPoints.size())) {
        Refuse(QStringLiteral("请先在“盖梁上的点”中选中要删除的点。"));
        return false;
    }
    site.beamPoints.erase(site.beamPoints.begin() + line);
    Apply(site);
    return true;
}

std::optional<SiteStation> SitePage::ReadStation() {
    SiteStation s;
    try {
        s.name = Utf8(stationName_->text().trimmed());
        if (!s.name.empty())
            if (const auto problem = NameProblem(s.name))
                throw Failure(ErrorKind::OutOfRange, "测站点名不能用：" + *problem);
        s.X = ReadNumber(stationX_->text(), QStringLiteral("测站的 X "));
        s.Y = ReadNumber(stationY_->text(), QStringLiteral("测站的 Y "));
        s.backsightIsAzimuth = byAzimuth_->isChecked();
        if (s.backsightIsAzimuth) {
            try {
                s.backsightAzimuthDms = ReadDouble(Utf8(backAzimuth_->text()));
            } catch (const Failure&) {
                throw Failure(ErrorKind::TypeMismatch, "后视方位角应当是度.分秒（例如 45.3015 即 45°30′15″），不能是“" +
                                                           Utf8(backAzimuth_->text()) + "”。");
            }
        } else {
            s.backsightName = Utf8(backName_->text().trimmed());
            if (!s.backsightName.empty())
                if (const auto problem = NameProblem(s.backsightName))
                    throw Failure(ErrorKind::OutOfRange, "后视点名不能用：" + *problem);
            s.backsightX = ReadNumber(backX_->text(), QStringLiteral("后视点的 X "));
            s.backsightY = ReadNumber(backY_->text(), QStringLiteral("后视点的 Y "));
        }
        SiteWork check;
        check.station = s;
        CheckSiteWork(check);
        BacksightRow(s);  // a backsight on the station is refused here
    } catch (const Failure& failure) {
        Refuse(Q(failure.message().text));
        return std::nullopt;
    }
    return s;
}

bool SitePage::ComputeStakeout() {
    const std::optional<SiteStation> station = ReadStation();
    if (!station) return false;
    SiteWork site = logic_.Site();
    site.station = *station;
    logic_.SetSite(site);
    Sync();
    if (logic_.Table().Empty())
        status_->setText(QStringLiteral("测站已保存。计算记录中还没有墩：请先计算盖梁，再计算放样。"));
    else if (stakeout_->rowCount() > 0)
        status_->setText(QStringLiteral("已计算 %1 个点的放样数据。").arg(stakeout_->rowCount() - 1));
    return stakeout_->rowCount() > 0;
}

void SitePage::Apply(const SiteWork& site) {
    try {
        CheckSiteWork(site);
    } catch (const Failure& failure) {
        return Refuse(Q(failure.message().text));
    }
    // The table being edited is filled afresh by the job's change: not inside its own signal.
    QTimer::singleShot(0, this, [this, site] {
        logic_.SetSite(site);
        Sync();
        status_->clear();
        emit PointsChanged();
    });
}

void SitePage::Refuse(const QString& why) {
    status_->setText(why);
    QTimer::singleShot(0, this, [this] { Sync(); });  // the cell shows what is kept again
}

bool SitePage::Save(const QString& path, const std::string& content, const QString& what) {
    QString text;
    if (!SaveWholeFile(path, content, text)) {
        status_->setText(QStringLiteral("没有保存：") + QDir::toNativeSeparators(path));
        showMessage(QStringLiteral("文件没有保存"), text);
        return false;
    }
    status_->setText(QStringLiteral("已把%1保存到 %2").arg(what, QDir::toNativeSeparators(path)));
    return true;
}

bool SitePage::SavePointsCsv(const QString& path) {
    try {
        const std::vector<SitePoint> points = SitePointsOf(logic_.Table(), logic_.Site());
        return Save(path, PointsCsv(points, true), QStringLiteral(" %1 个放样点").arg(points.size()));
    } catch (const Failure& failure) {
        Refuse(Q(failure.message().text));
        return false;
    }
}

bool SitePage::SaveStakeoutCsv(const QString& path) {
    const SiteWork& site = logic_.Site();
    if (!site.station) {
        Refuse(QStringLiteral("还没有设站：请输入测站和后视，按“计算放样”后再保存放样表。"));
        return false;
    }
    try {
        const std::vector<StakeoutRow> rows = StakeoutOf(*site.station, SitePointsOf(logic_.Table(), site));
        return Save(path, StakeoutCsv(BacksightRow(*site.station), rows, true),
                    QStringLiteral(" %1 个点的放样数据").arg(rows.size()));
    } catch (const Failure& failure) {
        Refuse(Q(failure.message().text));
        return false;
    }
}

bool SitePage::SaveGsi(const QString& path) {
    std::vector<RenamedPoint> renamed;
    std::string text;
    std::size_t count = 0;
    try {
        const std::vector<SitePoint> points = SitePointsOf(logic_.Table(), logic_.Site());
        count = points.size();
        text = SitePointsGsi(points, &renamed);
    } catch (const Failure& failure) {
        Refuse(Q(failure.message().text));
        return false;
    }
    if (!Save(path, text, QStringLiteral(" %1 个放样点（GSI-16）").arg(count))) return false;
    if (const auto message = RenamedMessage(renamed)) showMessage(QStringLiteral("点名已改写"), Q(*message));
    return true;
}

void SitePage::SaveWithChooser(const QString& caption, const QString& name, const QString& filter,
                               bool (SitePage::*save)(const QString&)) {
    const QString path = chooseSavePath(caption, QDir(lastFolder_).filePath(name), filter);
    if (path.isEmpty()) return;
    lastFolder_ = QFileInfo(path).absolutePath();
    (this->*save)(path);
}

}  // namespace capbeam

#include "app/pier_table_model.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <algorithm>

#include "app/app_setup.h"

namespace capbeam {

PierTableModel::PierTableModel(const PierTable& table, QObject* parent) : QAbstractTableModel(parent), table_(table) {
    Sync();
}

void PierTableModel::Sync() {
    const auto& groups = table_.Groups();
    std::vector<Line> added;
    if (groupsShown_ > 0) {
        const std::size_t g = groupsShown_ - 1;
        for (std::size_t r = rowsShownInLast_; r < groups[g].rows.size(); ++r)
            added.push_back({g, static_cast<std::ptrdiff_t>(r)});
    }
    for (std::size_t g = groupsShown_; g < groups.size(); ++g) {
        added.push_back({g, -1});
        std::ptrdiff_t placed = 0, refused = 0;
        for (const PierLine& line : LinesOf(groups[g]))
            added.push_back(line.row ? Line{g, placed++, false} : Line{g, refused++, true});
    }
    // The column titles name the ends as the groups shown do (内侧 on a
    // curve, 左侧 on an alignment); a group of the other kind changes them.
    const bool newGroups = groups.size() != groupsShown_;
    // The latest group's header can change (a cancelled batch notes it there).
    if (groupsShown_ > 0 && groupsShown_ == groups.size()) {
        const auto header = std::find_if(lines_.rbegin(), lines_.rend(), [](const Line& l) { return l.row < 0; });
        if (header != lines_.rend()) {
            const int line = static_cast<int>(lines_.rend() - header) - 1;
            emit dataChanged(index(line, 0), index(line, kColumnCount - 1));
        }
    }
    groupsShown_ = groups.size();
    rowsShownInLast_ = groups.empty() ? 0 : groups.back().rows.size();
    if (newGroups) emit headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
    if (added.empty()) return;
    const int first = static_cast<int>(lines_.size());
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(added.size()) - 1);
    lines_.insert(lines_.end(), added.begin(), added.end());
    endInsertRows();
}

void PierTableModel::Reset() {
    beginResetModel();
    lines_.clear();
    groupsShown_ = 0;
    rowsShownInLast_ = 0;
    endResetModel();
    Sync();
}

bool PierTableModel::IsHeader(int line) const {
    return line >= 0 && line < static_cast<int>(lines_.size()) && lines_[static_cast<std::size_t>(line)].row < 0;
}

const PierRow* PierTableModel::RowAt(int line) const {
    if (line < 0 || line >= static_cast<int>(lines_.size())) return nullptr;
    const Line& l = lines_[static_cast<std::size_t>(line)];
    if (l.row < 0 || l.refused) return nullptr;
    return &table_.Groups()[l.group].rows[static_cast<std::size_t>(l.row)];
}

bool PierTableModel::IsRefused(int line) const {
    return line >= 0 && line < static_cast<int>(lines_.size()) && lines_[static_cast<std::size_t>(line)].refused;
}

int PierTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

int PierTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant PierTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(lines_.size())) return {};
    const Line& line = lines_[static_cast<std::size_t>(index.row())];
    if (line.row < 0) {
        const PierGroup& group = table_.Groups()[line.group];
        switch (role) {
            case Qt::DisplayRole:
            case Qt::ToolTipRole:
            case Qt::AccessibleTextRole:
                if (index.column() != 0) return {};
                return group.header.empty() ? QStringLiteral("第 %1 组").arg(group.number) : Q(group.header);
            case Qt::BackgroundRole: return QBrush(QColor(225, 238, 250));
            case Qt::FontRole: {
                QFont bold;
                bold.setBold(true);
                return bold;
            }
            default: return {};
        }
    }
    if (line.refused) {
        const RefusedPier& refused = table_.Groups()[line.group].refused[static_cast<std::size_t>(line.row)];
        if (role == Qt::ForegroundRole) return QBrush(QColor(176, 0, 0));
        if (role == Qt::ToolTipRole && index.column() == 1)
            return QStringLiteral("作废（没有座标，不画图、不导出、不放样）：") + Q(refused.why);
        if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
        if (index.column() == 0) return Q(refused.KpText);
        if (index.column() == 1) return QStringLiteral("作废：") + Q(refused.why);
        return {};
    }
    const PierRow& row = table_.Groups()[line.group].rows[static_cast<std::size_t>(line.row)];
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole && role != Qt::EditRole) return {};
    if (index.column() == kOrientationColumn) return Q(OrientationText(row.orientation));
    return Q(row.texts[static_cast<std::size_t>(index.column())]);
}

QVariant PierTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
    if (orientation == Qt::Horizontal) {
        if (section == kOrientationColumn) return QStringLiteral("盖梁方向");
        if (section >= 0 && section < kPierColumnCount)
            return Q(WithSideWords(kPierColumnTitles[static_cast<std::size_t>(section)], SideWordsOf(table_)));
        return {};
    }
    if (const PierRow* row = RowAt(section)) return QString::number(row->number);
    if (IsRefused(section)) {
        const Line& l = lines_[static_cast<std::size_t>(section)];
        return QString::number(table_.Groups()[l.group].refused[static_cast<std::size_t>(l.row)].number);
    }
    return IsHeader(section) ? QStringLiteral("组") : QVariant();
}

}  // namespace capbeam

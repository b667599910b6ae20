#include "app/alignment_table_model.h"

#include <algorithm>
#include <array>

#include "app/app_setup.h"

namespace capbeam {

namespace {

// Titles as the drawings' tables say them. An element table's first row is
// its start point (name, chainage, X, Y, azimuth); every later row an
// element (name, length, radius at its start and at its end, side).
constexpr std::array<const char*, AlignmentTableModel::kColumnCount> kJdTitles{
    "名称", "桩号", "X", "Y", "R", "Ls1", "Ls2"};
constexpr std::array<const char*, AlignmentTableModel::kColumnCount> kElementTitles{
    "名称", "桩号 / 长度", "X / 起点半径", "Y / 终点半径", "方位角 / 偏向", "", ""};
constexpr std::array<const char*, AlignmentTableModel::kColumnCount> kElementTips{
    "起点、线元或断链的名称",
    "首行：起点桩号；其余各行：线元长度（米）",
    "首行：起点纵座标 X；其余各行：线元起点的半径（米），直线或无穷大写 ∞ 或留空",
    "首行：起点横座标 Y；其余各行：线元终点的半径（米），直线或无穷大写 ∞ 或留空",
    "首行：起点切线方位角（度.分秒）；其余各行：向左或向右偏（左 / 右），直线留空",
    "线元表不用这一列",
    "线元表不用这一列"};

QStringList BlankRow() { return QStringList(AlignmentTableModel::kColumnCount, QString()); }

QStringList Padded(QStringList fields) {
    while (fields.size() < AlignmentTableModel::kColumnCount) fields.append(QString());
    while (fields.size() > AlignmentTableModel::kColumnCount) fields.removeLast();
    return fields;
}

// A field of a pasted or read line: blanks and double quotes around it go,
// as the readers drop them.
QString Cleaned(QString field) {
    field = field.trimmed();
    if (field.size() >= 2 && field.startsWith(QLatin1Char('"')) && field.endsWith(QLatin1Char('"')))
        field = field.mid(1, field.size() - 2).trimmed();
    return field;
}

QStringList FieldsOf(const QString& line) {
    const QChar separator = line.contains(QLatin1Char('\t')) ? QLatin1Char('\t') : QLatin1Char(',');
    QStringList fields = line.split(separator);
    for (QString& f : fields) f = Cleaned(f);
    return fields;
}

bool HasDigit(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

}  // namespace

AlignmentTableModel::AlignmentTableModel(QObject* parent) : QAbstractTableModel(parent) { KeepBlankLastRow(); }

void AlignmentTableModel::SetKind(AlignmentTableKind kind) {
    if (kind == kind_) return;
    kind_ = kind;
    emit headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
}

std::vector<QStringList> AlignmentTableModel::Rows() const { return {rows_.begin(), rows_.end() - 1}; }

void AlignmentTableModel::SetRows(const std::vector<QStringList>& rows) {
    beginResetModel();
    rows_.clear();
    for (const QStringList& r : rows) rows_.push_back(Padded(r));
    rows_.push_back(BlankRow());
    endResetModel();
}

void AlignmentTableModel::KeepBlankLastRow() {
    if (!rows_.empty() && std::all_of(rows_.back().begin(), rows_.back().end(), [](const QString& f) { return f.isEmpty(); }))
        return;
    const int at = static_cast<int>(rows_.size());
    beginInsertRows({}, at, at);
    rows_.push_back(BlankRow());
    endInsertRows();
}

int AlignmentTableModel::Paste(const QString& text, int row, int column) {
    QStringList lines = QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).split(QLatin1Char('\n'));
    while (!lines.isEmpty() && lines.back().trimmed().isEmpty()) lines.removeLast();
    if (lines.isEmpty()) return 0;
    row = std::clamp(row, 0, static_cast<int>(rows_.size()) - 1);
    column = std::clamp(column, 0, kColumnCount - 1);
    const int needed = row + static_cast<int>(lines.size()) - static_cast<int>(rows_.size()) + 1;
    if (needed > 0) {
        beginInsertRows({}, static_cast<int>(rows_.size()), static_cast<int>(rows_.size()) + needed - 1);
        for (int i = 0; i < needed; ++i) rows_.push_back(BlankRow());
        endInsertRows();
    }
    for (int i = 0; i < lines.size(); ++i) {
        const QStringList fields = FieldsOf(lines[i]);
        QStringList& target = rows_[static_cast<std::size_t>(row + i)];
        for (int c = 0; c < fields.size() && column + c < kColumnCount; ++c) target[column + c] = fields[c];
    }
    emit dataChanged(index(row, 0), index(row + static_cast<int>(lines.size()) - 1, kColumnCount - 1));
    KeepBlankLastRow();
    return static_cast<int>(lines.size());
}

void AlignmentTableModel::InsertBlankRow(int row) {
    row = std::clamp(row, 0, static_cast<int>(rows_.size()) - 1);
    beginInsertRows({}, row, row);
    rows_.insert(rows_.begin() + row, BlankRow());
    endInsertRows();
}

void AlignmentTableModel::RemoveRowAt(int row) {
    // The empty last row stays for typing.
    if (row < 0 || row >= static_cast<int>(rows_.size()) - 1) return;
    beginRemoveRows({}, row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
}

std::string AlignmentTableModel::CsvText(bool titleComment) const {
    std::string text;
    if (titleComment) {
        text += "# ";
        const auto& titles = kind_ == AlignmentTableKind::Jd ? kJdTitles : kElementTitles;
        const int used = kind_ == AlignmentTableKind::Jd ? kColumnCount : 5;
        for (int c = 0; c < used; ++c) text += std::string(c ? "," : "") + titles[static_cast<std::size_t>(c)];
        text += '\n';
    }
    for (std::size_t r = 0; r + 1 < rows_.size(); ++r) {
        const QStringList& row = rows_[r];
        int last = kColumnCount - 1;
        while (last >= 0 && row[last].trimmed().isEmpty()) --last;
        QString line;
        for (int c = 0; c <= last; ++c) {
            if (c) line += QLatin1Char(',');
            QString field = row[c].trimmed();
            // The readers split at commas and drop quotes, so a comma in a
            // name cannot be kept; a full-width one reads the same to a person.
            field.replace(QLatin1Char(','), QChar(0xFF0C));
            line += field;
        }
        text += line.toStdString();
        text += '\n';
    }
    return text;
}

std::vector<QStringList> AlignmentTableModel::RowsOfCsv(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::vector<QStringList> rows;
    bool first = true;
    for (QString line : Q(text).split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (const auto hash = line.indexOf(QLatin1Char('#')); hash >= 0) line.truncate(hash);
        if (line.trimmed().isEmpty()) continue;
        QStringList fields = FieldsOf(line);
        // A title row: no digit where the start point has its chainage, X and Y.
        if (first && !std::any_of(fields.begin() + 1, fields.begin() + std::min<qsizetype>(4, fields.size()), HasDigit)) {
            first = false;
            continue;
        }
        first = false;
        rows.push_back(Padded(fields));
    }
    return rows;
}

int AlignmentTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int AlignmentTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant AlignmentTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::AccessibleTextRole)
        return rows_[static_cast<std::size_t>(index.row())][index.column()];
    return {};
}

bool AlignmentTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    QString& cell = rows_[static_cast<std::size_t>(index.row())][index.column()];
    const QString text = value.toString().trimmed();
    if (cell == text) return false;
    cell = text;
    emit dataChanged(index, index);
    KeepBlankLastRow();
    return true;
}

Qt::ItemFlags AlignmentTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

QVariant AlignmentTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole) return section + 1;
        return {};
    }
    if (section < 0 || section >= kColumnCount) return {};
    const auto s = static_cast<std::size_t>(section);
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return QString::fromUtf8(kind_ == AlignmentTableKind::Jd ? kJdTitles[s] : kElementTitles[s]);
    if (role == Qt::ToolTipRole && kind_ == AlignmentTableKind::Element) return QString::fromUtf8(kElementTips[s]);
    return {};
}

}  // namespace capbeam

#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <string>
#include <string_view>
#include <vector>

// The alignment's input table as the page shows it: a grid of texts, typed
// in, pasted from spreadsheet rows or read from a CSV file, in one of the two
// documented formats (records/alignment_csv.h). The model never reads the
// numbers itself: CsvText() hands the grid to the same readers that read the
// files, so that a table typed in and the same table saved and opened again
// are one alignment. Row n of the grid is line n of CsvText(), so the
// readers' "第 n 行" names the row as the table numbers it.

namespace capbeam {

enum class AlignmentTableKind { Jd, Element };

class AlignmentTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kColumnCount = 7;

    explicit AlignmentTableModel(QObject* parent = nullptr);

    AlignmentTableKind Kind() const { return kind_; }
    // The column titles follow the kind; the texts stay.
    void SetKind(AlignmentTableKind kind);

    // The grid's rows (without the empty row kept last for typing), each
    // kColumnCount texts.
    std::vector<QStringList> Rows() const;
    void SetRows(const std::vector<QStringList>& rows);

    // Tab-separated lines as a spreadsheet copies them (commas on a line
    // without a tab), written over the grid from (row, column) on, adding
    // rows as needed. Returns how many rows were pasted.
    int Paste(const QString& text, int row, int column);
    void InsertBlankRow(int row);
    void RemoveRowAt(int row);

    // The grid as CSV, one line a row (empty rows as empty lines), for the
    // readers; with `titleComment`, a first line "# 名称,..." naming the
    // columns, as a saved file carries it.
    std::string CsvText(bool titleComment = false) const;

    // The rows of a CSV file as the grid shows them: comments and a title
    // row dropped, fields split as the readers split them.
    static std::vector<QStringList> RowsOfCsv(std::string_view text);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void KeepBlankLastRow();

    AlignmentTableKind kind_ = AlignmentTableKind::Jd;
    std::vector<QStringList> rows_;  // the last one always empty
};

}  // namespace capbeam

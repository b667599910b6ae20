#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "records/pier_table.h"

namespace capbeam {

// The pier table for a QTableView: one line per group header (the set-up it
// names, meant to span the columns) and one per row, the row's texts exactly
// as the boxes showed them, then the orientation; a refused row (a beam that
// no longer stands on its road) shows its chainage and why, in red, in place
// of numbers. Lines are only ever appended: Sync() inserts what the table
// gained since the last call; rows placed again need Reset().
class PierTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kOrientationColumn = kPierColumnCount;
    static constexpr int kColumnCount = kPierColumnCount + 1;

    explicit PierTableModel(const PierTable& table, QObject* parent = nullptr);

    // Appends the groups and rows added to the table since the last call.
    void Sync();
    // The table was replaced whole (a job opened or a new one): shows it afresh.
    void Reset();

    // Whether line `line` is a group's header (it spans all columns).
    bool IsHeader(int line) const;
    // The table row shown on line `line`, or nothing for a header or a refused row.
    const PierRow* RowAt(int line) const;
    // Whether line `line` is a refused row (its reason spans the columns after Kp).
    bool IsRefused(int line) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    struct Line {
        std::size_t group;
        std::ptrdiff_t row;  // -1: the group's header
        bool refused = false;  // row indexes the group's refused rows
    };

    const PierTable& table_;
    std::vector<Line> lines_;
    std::size_t groupsShown_ = 0;    // groups whose header is in lines_
    std::size_t rowsShownInLast_ = 0;  // rows of the last shown group in lines_
};

}  // namespace capbeam

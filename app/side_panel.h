#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "app/batch_inputs.h"
#include "records/site_points.h"

class QBoxLayout;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableView;

namespace capbeam {

class AlignmentPage;
class BatchDialog;
class Calculator;
class PierTableModel;
class PlanView;
class SitePage;

// The panel right of the calculator's form: the plan view, the orientation
// of the beams, the pier table ("计算记录"), the batch and the export. It reads
// the pier table and the curve from Calculator and never writes the form's
// boxes.
class SidePanel : public QWidget {
    Q_OBJECT
public:
    explicit SidePanel(Calculator& logic, QWidget* parent = nullptr);

    // After every completed set-up, request or batch.
    void RecordChanged();

    // Replaceable for tests: the message box, and the file chooser (returns
    // the chosen path, or empty when the user cancels).
    std::function<void(const QString& title, const QString& text)> showMessage;
    std::function<QString(const QString& caption, const QString& suggested, const QString& filter)> chooseSavePath;

    // The batch dialog over this window's logic (the "批量计算…" button runs it modally).
    BatchDialog* MakeBatchDialog();

    // "复制表格", "保存 CSV…" and "保存全站仪坐标文件…" without the file chooser.
    void CopyTable();
    bool SaveCsvTo(const QString& path);
    bool SaveCassTo(const QString& path);

    PlanView* Plan() const { return plan_; }
    QTableView* TableView() const { return table_; }
    PierTableModel* Model() const { return model_; }
    QLabel* Status() const { return status_; }
    // The page "道路线形" below the plan, a tab beside the pier table.
    AlignmentPage* Alignment() const { return alignment_; }
    QTabWidget* Pages() const { return pages_; }
    // The page "放样": pier names, points along the beams, the stake-out.
    SitePage* Site() const { return site_; }

private:
    void BuildOrientation(QBoxLayout* column);
    QWidget* BuildPages(QWidget* tableArea);
    void SaveWithChooser(const QString& caption, const QString& name, const QString& filter, bool csv);
    bool Save(const QString& path, const std::string& content);
    void MarkHeaders(int first, int last);
    void UpdateButtons();
    // The plan shows the whole alignment while its page is open or when the
    // pier table's latest group was placed on it; else the single curve.
    void ShowPlan();
    std::vector<SitePoint> ListedPoints() const;

    Calculator& logic_;
    PlanView* plan_ = nullptr;
    QTableView* table_ = nullptr;
    PierTableModel* model_ = nullptr;
    QRadioButton* parallel_ = nullptr;
    QRadioButton* tangent_ = nullptr;
    QPushButton* batch_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* saveCsv_ = nullptr;
    QPushButton* saveCass_ = nullptr;
    QLabel* status_ = nullptr;
    QString lastFolder_;
    AlignmentPage* alignment_ = nullptr;
    SitePage* site_ = nullptr;
    QTabWidget* pages_ = nullptr;
    BatchInputs batchInputs_;  // the batch dialog's last inputs, for its next opening
};

}  // namespace capbeam

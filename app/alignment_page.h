#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "flows/alignment_beams.h"
#include "records/plan_geometry.h"
#include "records/alignment_road.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;
class QTableWidget;

namespace capbeam {

class AlignmentTableModel;
class Calculator;

// The panel's page "道路线形": a whole road alignment as a JD table or an
// element table (typed in, pasted from spreadsheet rows, opened and saved as
// CSV, imported from LandXML), the curve table and main points derived from
// it, beams placed on it (one at Kp, or a batch) into the pier table, and
// look-ups of coordinates by chainage and of chainage by coordinates.
// The table is read again after every change; a table the readers refuse
// shows why in the page's status line, naming the row.
class AlignmentPage : public QWidget {
    Q_OBJECT
public:
    explicit AlignmentPage(Calculator& logic, QWidget* parent = nullptr);

    // Replaceable for tests: the file choosers (return the path, or empty on Cancel).
    std::function<QString(const QString& caption, const QString& filter)> chooseOpenPath;
    std::function<QString(const QString& caption, const QString& suggested, const QString& filter)> chooseSavePath;
    // Replaceable for tests: asks whether beams already placed may follow a
    // road opened from a file of another name (true: open it).
    std::function<bool(const QString& question)> confirmOtherRoad;

    // The actions behind the buttons, without the file choosers. Each returns
    // whether it completed; a refusal is shown in Chinese in the page.
    bool OpenFile(const QString& path);  // a CSV table or a LandXML file, told apart by content
    bool SaveFile(const QString& path);
    bool PasteText(const QString& text);  // at the current cell, or the first row
    bool ComputeBeam();                  // at Kp
    bool RunBatch();                     // the list, or the range when the list is empty
    bool LookUpCoordinates();
    bool LookUpChainage();

    // Shows the job's alignment table and design beam fields (after a job
    // was opened or a new one begun).
    void ShowJob();

    // The alignment as last read from the table, if the readers took it.
    const std::optional<LoadedRoad>& Loaded() const { return road_; }
    // The plan of the alignment and of its beams in the pier table.
    PlanScene Scene() const;
    // The half-widths DL and DR as the page's boxes hold them, where they read.
    std::pair<std::optional<double>, std::optional<double>> HalfWidths() const;

    AlignmentTableModel* InputModel() const { return model_; }
    QTableView* InputView() const { return input_; }
    QTableWidget* CurveTable() const { return curves_; }
    QTableWidget* PointTable() const { return points_; }
    QLabel* TableStatus() const { return tableStatus_; }
    // What the latest change of the table did to the beams placed on it.
    QLabel* FollowStatus() const { return followStatus_; }
    QLabel* BeamStatus() const { return beamStatus_; }
    QLabel* LookUpStatus() const { return lookUpStatus_; }
    QLineEdit* Field(const char* objectName) const;

signals:
    // Rows were added to the pier table.
    void TableChanged();
    // The alignment or its half-widths changed: the plan should be drawn again.
    void AlignmentChanged();
    // The table or the design beam's fields changed: the job has changed.
    void JobChanged();

private:
    QWidget* BuildInput();
    QWidget* BuildDerived();
    QWidget* BuildBeams();
    QWidget* BuildLookUps();
    void Derive();
    void ShowDerived();
    void SetKind(bool elements);
    // Refusals, in red; results in the usual colour.
    static void Show(QLabel* label, const QString& text, bool refused);
    // The design beam's fields Kj B DL DR as typed.
    std::vector<std::string> BeamFields() const;
    // Whether there is an alignment and the design beam's fields read; shows why not.
    bool BeamFieldsReadable();
    bool Place(const std::vector<Chainage>& chainages);
    // The table and the fields into the job; when the table changed, what
    // placing the beams on it again gave.
    std::optional<RoadFollowed> KeepInJob();

    Calculator& logic_;
    AlignmentTableModel* model_ = nullptr;
    QTableView* input_ = nullptr;
    QRadioButton* jdKind_ = nullptr;
    QRadioButton* elementKind_ = nullptr;
    QTableWidget* curves_ = nullptr;
    QTableWidget* points_ = nullptr;
    QLabel* tableStatus_ = nullptr;
    QLabel* followStatus_ = nullptr;
    QLabel* beamStatus_ = nullptr;
    QLabel* lookUpStatus_ = nullptr;
    std::optional<LoadedRoad> road_;
    QString name_ = QStringLiteral("手工输入");  // the file's name, for the pier table's group header
    bool showingJob_ = false;                  // while a job's table is shown: it is the job's already
    QString lastFolder_;
};

}  // namespace capbeam

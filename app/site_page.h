#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "records/beam_points.h"

class QLabel;
class QLineEdit;
class QRadioButton;
class QTableWidget;
class QVBoxLayout;

namespace capbeam {

class Calculator;

// The panel's page "放样": the piers of the pier table with their names (a
// name can be changed, a row taken out of the set-out, a chainage computed
// twice is pointed out), the list of points along every beam in the beam's
// own frame, the instrument's station and backsight, and the stake-out
// table; the points and the table saved for the total station and for a
// spreadsheet. Everything typed here belongs to the job (Calculator::Site).
class SitePage : public QWidget {
    Q_OBJECT
public:
    explicit SitePage(Calculator& logic, QWidget* parent = nullptr);

    // After every change of the pier table or of the job: shows them afresh.
    void Sync();

    // Replaceable for tests: the file chooser (returns the path, or empty on Cancel).
    std::function<QString(const QString& caption, const QString& suggested, const QString& filter)> chooseSavePath;
    std::function<void(const QString& title, const QString& text)> showMessage;

    // The actions behind the buttons, without the file chooser; each returns
    // whether it completed, a refusal shown in Chinese in the page.
    // The pier of row `number` renamed (an empty name or its default name
    // gives it back its default), or left out of / taken back into the set-out.
    bool RenamePier(int number, const QString& name);
    void IncludePier(int number, bool included);
    bool AddPoint();
    bool RemovePoint();
    bool ComputeStakeout();  // reads the station's boxes, keeps them in the job, fills the table
    bool SavePointsCsv(const QString& path);
    bool SaveStakeoutCsv(const QString& path);
    bool SaveGsi(const QString& path);

    QTableWidget* Piers() const { return piers_; }
    QTableWidget* Points() const { return points_; }
    QTableWidget* Stakeout() const { return stakeout_; }
    QLabel* Status() const { return status_; }

signals:
    // The points changed: the plan shows them.
    void PointsChanged();

private:
    void BuildPiers(QVBoxLayout* column);
    void BuildPoints(QVBoxLayout* column);
    void BuildStation(QVBoxLayout* column);
    void BuildStakeout(QVBoxLayout* column);
    void SyncPiers();
    void SyncPoints();
    void SyncStation();
    void FillStakeout();
    void PierEdited(int line, int column);
    void PointEdited(int line, int column);
    std::optional<SiteStation> ReadStation();
    // Keeps `site` in the job after the edit that made it has returned (the
    // job's change redraws these tables), or refuses it with `why`.
    void Apply(const SiteWork& site);
    void Refuse(const QString& why);
    bool Save(const QString& path, const std::string& content, const QString& what);
    void SaveWithChooser(const QString& caption, const QString& name, const QString& filter,
                         bool (SitePage::*save)(const QString&));

    Calculator& logic_;
    QTableWidget* piers_ = nullptr;
    QTableWidget* points_ = nullptr;
    QTableWidget* stakeout_ = nullptr;
    QLineEdit* stationName_ = nullptr;
    QLineEdit* stationX_ = nullptr;
    QLineEdit* stationY_ = nullptr;
    QRadioButton* byPoint_ = nullptr;
    QRadioButton* byAzimuth_ = nullptr;
    QLineEdit* backName_ = nullptr;
    QLineEdit* backX_ = nullptr;
    QLineEdit* backY_ = nullptr;
    QLineEdit* backAzimuth_ = nullptr;
    QLabel* status_ = nullptr;
    bool syncing_ = false;
    bool stationShown_ = false;  // the boxes show the job's station
    QString lastFolder_;
};

}  // namespace capbeam

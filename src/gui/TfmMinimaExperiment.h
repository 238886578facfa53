// The experimenter's corner: a map trained again and again from fresh starts, and the
// distinct minima of its energy listed.
#pragma once

#include "map/MinimaExperiment.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace orbelin::gui {

/// "Уголок экспериментатора". Open shows it modally for a map; "Run" starts the runs and,
/// while they go on, stops them.
class TfmMinimaExperiment : public QDialog {
    Q_OBJECT
public:
    explicit TfmMinimaExperiment(QWidget* parent = nullptr);

    /// The accuracy field takes the map's tolerance; then the dialog is shown modally.
    void Open(map::TMap& map);
    /// Sets the map the runs work on without showing the dialog.
    void SetMap(map::TMap* map);
    /// "Run": starts the runs with the fields' values, or stops runs going on.
    void RunClick();
    void Stop() { Experiment_.Stop(); }
    bool Running() const { return Experiment_.Running(); }

    QLineEdit* LambdaField() const { return Lambda_; }
    QLineEdit* MuField() const { return Mu_; }
    QLineEdit* StartsField() const { return Starts_; }
    QLineEdit* AccuracyField() const { return Accuracy_; }
    QPushButton* RunButton() const { return Run_; }
    QListWidget* MinimaList() const { return Minima_; }
    QLabel* CountLabel() const { return Count_; }

    /// The map's nodes changed and its view geometry was rebuilt: redraw it.
    std::function<void(map::TMap& map)> OnRedraw;

protected:
    void reject() override;

private:
    void Redraw(map::TMap& map);

    map::TMinimaExperiment Experiment_;
    map::TMap* Map_ = nullptr;
    QLineEdit* Lambda_;
    QLineEdit* Mu_;
    QLineEdit* Starts_;
    QLineEdit* Accuracy_;
    QCheckBox* ShowStart_;
    QCheckBox* ShowMinima_;
    QPushButton* Run_;
    QListWidget* Minima_;
    QListWidget* Distances_;
    QListWidget* Edges_;
    QLabel* Count_;
};

} // namespace orbelin::gui

// The "Auto-create map" dialog: a construction recipe edited on three pages and run with
// the energy curves and the stage shown live.
#pragma once

#include "map/MapConstruction.h"

#include <QDialog>

#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace orbelin::data {
class TData;
}

namespace orbelin::gui {

class TEnergyChart;

/// Created once by the main window and shown modally. The construction runs on training
/// threads while the dialog stays open; when it ends the dialog closes. Recipes stored
/// with "Save..." are kept for the session.
class TfmAutoMap : public QDialog {
    Q_OBJECT
public:
    explicit TfmAutoMap(QWidget* parent = nullptr);

    /// "Autosetting" (true) adds a new map; "Autosetting..." (false) re-uses the current one.
    void SetAddNewMap(bool addNewMap) { AddNewMap_ = addNewMap; }
    bool AddNewMap() const { return AddNewMap_; }

    /// The recipe the controls describe.
    map::TMapCreationAlg Recipe() const;
    void ShowRecipe(const map::TMapCreationAlg& recipe);

    /// "Start": runs the recipe on the dataset CurrentDataset gives.
    void StartClick();
    /// "Stop": the construction ends after the training run in progress.
    void StopClick();
    bool Running() const { return Construction_.Running(); }

    void AddEpochClick();
    void DeleteEpochClick();
    /// "Save...": asks for a name and stores the recipe for the session.
    void SaveClick();
    const std::vector<map::TMapCreationAlg>& StoredRecipes() const { return Stored_; }
    /// Chooses a stored recipe: its settings fill the controls.
    void ChooseRecipe(int index);

    TEnergyChart* Chart() const { return Chart_; }
    QPushButton* StartButton() const { return Start_; }
    QPushButton* StopButton() const { return Stop_; }
    QListWidget* Epochs() const { return Epochs_; }
    QDoubleSpinBox* EpochLambda() const { return EpochLambda_; }
    QDoubleSpinBox* EpochMu() const { return EpochMu_; }
    QSpinBox* Columns() const { return Columns_; }
    QSpinBox* Rows() const { return Rows_; }
    QComboBox* GridType() const { return Grid_; }
    QSpinBox* ExtrapolationSteps() const { return Extrapolation_; }

    /// The dataset to construct the map in (the current one).
    std::function<data::TData*()> CurrentDataset;
    /// The name a new map gets.
    std::function<std::string()> NewMapName;
    /// The construction has started on this map (a new one already sits in the dataset).
    std::function<void(map::TMap& map)> OnStarted;
    /// After every step, with the map's view geometry rebuilt: redraw it.
    std::function<void(map::TMap& map)> OnStep;
    /// The construction ended; the map's view has been recreated and rebuilt.
    std::function<void(map::TMap& map)> OnFinished;
    /// The stored recipes changed.
    std::function<void()> OnRecipesChanged;

protected:
    void reject() override;

private:
    QWidget* CreateInitializationPage();
    QWidget* CreateEpochsPage();
    QWidget* CreateGrowthPage();
    void FillEpochs(int select);
    void EpochChosen(int row);
    void Finished(map::TMap& map);

    map::TMapConstruction Construction_;
    map::TMapCreationAlg Recipe_; ///< holds the epochs while they are edited
    std::vector<map::TMapCreationAlg> Stored_;
    bool AddNewMap_ = true;
    bool Showing_ = false;

    QListWidget* Recipes_;
    QPushButton* Save_;
    QTabWidget* Pages_;
    QComboBox* Grid_;
    QComboBox* Placement_;
    QSpinBox* Columns_;
    QSpinBox* Rows_;
    QSpinBox* Depth_;
    QDoubleSpinBox* Size_;
    QCheckBox* NoiseOn_;
    QSpinBox* Noise_;
    QSpinBox* Components_;
    QDoubleSpinBox* BaseAccuracy_;
    QListWidget* Epochs_;
    QDoubleSpinBox* EpochLambda_;
    QDoubleSpinBox* EpochMu_;
    QSpinBox* Extrapolation_;
    QSpinBox* Interpolation_;
    QComboBox* Adaptation_;
    QRadioButton* ByCount_;
    QRadioButton* ByAccuracy_;
    QDoubleSpinBox* AccuracyLevel_;
    QSpinBox* GrowthSteps_;
    TEnergyChart* Chart_;
    QPushButton* Start_;
    QPushButton* Stop_;
};

} // namespace orbelin::gui

// The map panel: creating and initialising the current map, training it on the training
// thread with the energy curves drawn live, and growing it.
#pragma once

#include "app/MapPanelCommands.h"
#include "gui/TObjectPanels.h"

class QButtonGroup;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QRadioButton;
class QSlider;
class QSpinBox;
class QTabWidget;

namespace orbelin::map {
class TMap;
}

namespace orbelin::gui {

class TEnergyChart;

/// Panel 6 with the pages "Creation", "EM", "Interpolation/Extrapolation" and the disabled
/// "SOM". Refresh shows the current map's own settings. One map at a time is trained from
/// here; "Adjust map" stays disabled until its run has ended.
class TMapPanel : public TPanel {
    Q_OBJECT
public:
    TMapPanel(TPanelHost& host, QWidget* parent = nullptr);
    void Refresh() override;

    /// The map's geometry changed (initialised, tuned, grown, or a training step): redraw it.
    std::function<void(map::TMap& map)> OnMapChanged;
    /// "Autosetting...": the auto-create dialog re-using the current map.
    std::function<void()> OnAutosetting;

    /// "Adjust map" (also F9): trains the current map until it settles or is interrupted.
    void AdjustClick();
    /// "Interrupt": the run ends after the step in progress.
    void InterruptClick();
    void InitializeClick();
    void FlatTuningClick();
    /// "+" (negate false) and "--" of the growth group.
    void GrowClick(bool negate);
    /// "+" of the adaptation group.
    void AdaptationClick();

    /// The map "Adjust map" trains, or null.
    map::TMap* TrainingMap() const { return TrainingMap_; }
    /// The Creation page and the l and m fields as they stand.
    app::TMapPanelSettings Settings() const;
    void ShowSettings(const app::TMapPanelSettings& settings);

    QTabWidget* Pages() const { return Pages_; }
    QPushButton* AdjustButton() const { return Adjust_; }
    QPushButton* InterruptButton() const { return Interrupt_; }
    QDoubleSpinBox* LambdaField() const { return Lambda_; }
    QDoubleSpinBox* MuField() const { return Mu_; }
    QSlider* LambdaSlider() const { return LambdaSlider_; }
    QSlider* MuSlider() const { return MuSlider_; }
    QLabel* Approximation() const { return Approximation_; }
    TEnergyChart* Chart() const { return Chart_; }
    QSpinBox* GrowthAmount(int side) const { return Amounts_[side]; }
    QComboBox* Adaptation() const { return Adaptation_; }
    QRadioButton* InterpolationChoice() const { return Interpolation_; }

private:
    QWidget* CreateCreationPage();
    QWidget* CreateTrainingPage();
    QWidget* CreateGrowthPage();
    map::TMap* CurrentMap();
    /// After every training step, on the user-interface thread while the worker waits.
    void ProgressStep(map::TMap& map);
    void TrainingEnded();
    /// The "Approximation :" label and one more point of the three curves.
    void ShowEnergy(const map::TMap& map);
    void LambdaEdited(double value);
    void MuEdited(double value);
    void SliderMoved(QSlider* slider, QDoubleSpinBox* field);
    void ChangedMap(map::TMap& map);

    QTabWidget* Pages_;
    // Creation.
    QComboBox* Placement_;
    QComboBox* GridType_;
    QSpinBox* Rows_;
    QSpinBox* Columns_;
    QSpinBox* Depth_;
    QDoubleSpinBox* Size_;
    QCheckBox* NoiseOn_;
    QDoubleSpinBox* Noise_;
    // EM.
    QDoubleSpinBox* Lambda_;
    QDoubleSpinBox* Mu_;
    QSlider* LambdaSlider_;
    QSlider* MuSlider_;
    QPushButton* Adjust_;
    QPushButton* Interrupt_;
    QLabel* Approximation_;
    TEnergyChart* Chart_;
    // Interpolation/Extrapolation.
    QRadioButton* Extrapolation_;
    QRadioButton* Interpolation_;
    QSpinBox* Amounts_[4]; ///< right, up, left, down
    QComboBox* Adaptation_;

    map::TMap* TrainingMap_ = nullptr;
    bool Showing_ = false; ///< fields are being filled from the map
};

} // namespace orbelin::gui

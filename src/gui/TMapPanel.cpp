// The map panel's pages and commands.
#include "gui/TMapPanel.h"

#include "gui/TEnergyChart.h"
#include "map/MapGrowth.h"
#include "map/TMap.h"
#include "map/Training.h"
#include "map/TrainingPanel.h"
#include "numeric/TUserInterface.h"
#include "view/ViewGeometry.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>

namespace orbelin::gui {

namespace {

QSpinBox* SizeBox(QWidget* parent, const char* name, int value)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(1, 100);
    box->setValue(value);
    return box;
}

QDoubleSpinBox* CoefficientBox(QWidget* parent, const char* name)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(name);
    box->setDecimals(6);
    box->setRange(map::CoefficientMin, map::CoefficientMax);
    box->setSingleStep(0.1);
    box->setValue(1);
    box->setKeyboardTracking(false);
    return box;
}

QSlider* CoefficientSlider(QWidget* parent, const char* name)
{
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(name);
    slider->setRange(map::SliderMin, map::SliderMax);
    slider->setValue(map::SliderDefault);
    return slider;
}

} // namespace

TMapPanel::TMapPanel(TPanelHost& host, QWidget* parent)
    : TPanel(app::MapPanel, "Map", host, parent), Pages_(new QTabWidget(this))
{
    Pages_->setObjectName("MapPages");
    Pages_->setUsesScrollButtons(true);
    // The object manipulation window is narrow: each page scrolls rather than widening it.
    const auto scrolled = [this](QWidget* page) {
        auto* area = new QScrollArea(Pages_);
        area->setWidget(page);
        area->setWidgetResizable(true);
        area->setFrameShape(QFrame::NoFrame);
        area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        return area;
    };
    Pages_->addTab(scrolled(CreateCreationPage()), "Creation");
    Pages_->addTab(scrolled(CreateTrainingPage()), "EM");
    Pages_->addTab(scrolled(CreateGrowthPage()), "Interpolation/Extrapolation");
    Pages_->addTab(new QWidget(Pages_), "SOM");
    Pages_->setTabEnabled(3, false);
    Body_->addWidget(Pages_, 1);
}

QWidget* TMapPanel::CreateCreationPage()
{
    auto* page = new QWidget(Pages_);
    auto* form = new QFormLayout(page);
    form->setRowWrapPolicy(QFormLayout::WrapLongRows);
    Placement_ = new QComboBox(page);
    Placement_->setObjectName("MapPosition");
    Placement_->addItems({"random", "along coord.axes", "along princ.comps."});
    Placement_->setCurrentIndex(map::InitMainComps);
    form->addRow("Map position :", Placement_);
    GridType_ = new QComboBox(page);
    GridType_->setObjectName("GridType");
    GridType_->addItems({"Rectangular", "Spherical", "Hexagonal", "Toroidal", "Circle"});
    form->addRow("Grid:", GridType_);
    Rows_ = SizeBox(page, "Rows", 10);
    Columns_ = SizeBox(page, "Columns", 10);
    Depth_ = SizeBox(page, "Depth", 1);
    form->addRow("vertical:", Rows_);
    form->addRow("horizontal:", Columns_);
    form->addRow("in depth", Depth_);
    Size_ = new QDoubleSpinBox(page);
    Size_->setObjectName("InitSize");
    Size_->setRange(0, 100);
    Size_->setSingleStep(0.1);
    Size_->setDecimals(3);
    Size_->setValue(0.25);
    form->addRow("size:", Size_);
    NoiseOn_ = new QCheckBox("noise:", page);
    NoiseOn_->setObjectName("NoiseOn");
    Noise_ = new QDoubleSpinBox(page);
    Noise_->setObjectName("Noise");
    Noise_->setRange(0, 100);
    Noise_->setSingleStep(0.1);
    Noise_->setValue(30);
    form->addRow(NoiseOn_, Noise_);
    auto* buttons = new QVBoxLayout;
    AddButton(buttons, "Initialize map", "InitializeMap", [this] { InitializeClick(); });
    AddButton(buttons, "FlatTuning", "FlatTuning", [this] { FlatTuningClick(); });
    AddButton(buttons, "Autosetting...", "AutosettingPanel", [this] {
        if (OnAutosetting)
            OnAutosetting();
    });
    form->addRow(buttons);
    return page;
}

QWidget* TMapPanel::CreateTrainingPage()
{
    auto* page = new QWidget(Pages_);
    auto* layout = new QVBoxLayout(page);
    auto* grid = new QGridLayout;
    Lambda_ = CoefficientBox(page, "Lambda");
    Mu_ = CoefficientBox(page, "Mu");
    Mu_->setSingleStep(map::MuSpinIncrement(1));
    LambdaSlider_ = CoefficientSlider(page, "LambdaSlider");
    MuSlider_ = CoefficientSlider(page, "MuSlider");
    grid->addWidget(new QLabel("l", page), 0, 0);
    grid->addWidget(Lambda_, 0, 1);
    grid->addWidget(LambdaSlider_, 1, 0, 1, 2);
    grid->addWidget(new QLabel("m", page), 2, 0);
    grid->addWidget(Mu_, 2, 1);
    grid->addWidget(MuSlider_, 3, 0, 1, 2);
    layout->addLayout(grid);
    connect(Lambda_, &QDoubleSpinBox::valueChanged, this, [this](double value) { LambdaEdited(value); });
    connect(Mu_, &QDoubleSpinBox::valueChanged, this, [this](double value) { MuEdited(value); });
    connect(LambdaSlider_, &QSlider::valueChanged, this, [this] { SliderMoved(LambdaSlider_, Lambda_); });
    connect(MuSlider_, &QSlider::valueChanged, this, [this] { SliderMoved(MuSlider_, Mu_); });

    auto* presets = new QGridLayout;
    int i = 0;
    for (const map::TTrainingPreset& preset : map::TrainingPresets()) {
        auto* button = new QPushButton(preset.Caption, page);
        button->setObjectName(preset.Caption);
        presets->addWidget(button, i / 2, i % 2);
        ++i;
        connect(button, &QPushButton::clicked, this, [this, preset] {
            // The fields store the values; the sliders then stand where the preset puts them.
            Lambda_->setValue(preset.Value);
            Mu_->setValue(preset.Value);
            const QSignalBlocker lambda(LambdaSlider_), mu(MuSlider_);
            LambdaSlider_->setValue(preset.Slider);
            MuSlider_->setValue(preset.Slider);
        });
    }
    layout->addLayout(presets);

    auto* run = new QHBoxLayout;
    Adjust_ = AddButton(run, "Adjust map", "AdjustMap", [this] { AdjustClick(); });
    Interrupt_ = AddButton(run, "Interrupt", "InterruptMap", [this] { InterruptClick(); });
    layout->addLayout(run);
    auto* approximation = new QHBoxLayout;
    approximation->addWidget(new QLabel("Approximation :", page));
    Approximation_ = new QLabel(page);
    Approximation_->setObjectName("Approximation");
    approximation->addWidget(Approximation_, 1);
    layout->addLayout(approximation);
    Chart_ = new TEnergyChart(page);
    layout->addWidget(Chart_, 1);
    return page;
}

QWidget* TMapPanel::CreateGrowthPage()
{
    auto* page = new QWidget(Pages_);
    auto* layout = new QVBoxLayout(page);
    auto* growth = new QGroupBox(page);
    auto* form = new QFormLayout(growth);
    Extrapolation_ = new QRadioButton("Extrapolation", growth);
    Extrapolation_->setObjectName("Extrapolation");
    Extrapolation_->setChecked(true);
    Interpolation_ = new QRadioButton("Interpolation", growth);
    Interpolation_->setObjectName("Interpolation");
    form->addRow(Extrapolation_);
    form->addRow(Interpolation_);
    auto* formula = new QComboBox(growth);
    formula->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    formula->setMinimumContentsLength(4);
    formula->setObjectName("Formula");
    formula->addItem("Linear");
    form->addRow("Formula", formula);
    const char* sides[4][2] = {{"right", "AddRight"}, {"up", "AddUp"}, {"left", "AddLeft"}, {"down", "AddDown"}};
    for (int side = 0; side < 4; ++side) {
        Amounts_[side] = new QSpinBox(growth);
        Amounts_[side]->setObjectName(sides[side][1]);
        Amounts_[side]->setRange(0, 100);
        Amounts_[side]->setValue(1);
        form->addRow(sides[side][0], Amounts_[side]);
    }
    // Narrow buttons: the panel is narrow.
    const auto narrow = [](QPushButton* button) {
        button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        button->setMinimumWidth(32);
    };
    auto* buttons = new QHBoxLayout;
    narrow(AddButton(buttons, "+", "Grow", [this] { GrowClick(false); }));
    narrow(AddButton(buttons, "--", "Shrink", [this] { GrowClick(true); }));
    form->addRow(buttons);
    layout->addWidget(growth);

    auto* adaptation = new QGroupBox("Adaptation", page);
    auto* column = new QVBoxLayout(adaptation);
    Adaptation_ = new QComboBox(adaptation);
    Adaptation_->setObjectName("Adaptation");
    Adaptation_->addItems({"No", "Linear fractal growth"});
    Adaptation_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    Adaptation_->setMinimumContentsLength(6);
    column->addWidget(Adaptation_);
    narrow(AddButton(column, "+", "AdaptationStep", [this] { AdaptationClick(); }));
    layout->addWidget(adaptation);
    layout->addStretch(1);
    return page;
}

map::TMap* TMapPanel::CurrentMap()
{
    return Chain().Map;
}

app::TMapPanelSettings TMapPanel::Settings() const
{
    app::TMapPanelSettings settings;
    settings.GridItem = GridType_->currentIndex();
    settings.Rows = Rows_->value();
    settings.Columns = Columns_->value();
    settings.Layers = Depth_->value();
    settings.Placement = Placement_->currentIndex();
    settings.Size = Size_->value();
    settings.NoiseOn = NoiseOn_->isChecked();
    settings.Noise = Noise_->value();
    settings.Lambda = Lambda_->value();
    settings.Mu = Mu_->value();
    return settings;
}

void TMapPanel::ShowSettings(const app::TMapPanelSettings& settings)
{
    Showing_ = true;
    GridType_->setCurrentIndex(settings.GridItem);
    Rows_->setValue(settings.Rows);
    Columns_->setValue(settings.Columns);
    Depth_->setValue(settings.Layers);
    Placement_->setCurrentIndex(std::clamp(settings.Placement, 0, 2));
    Size_->setValue(settings.Size);
    NoiseOn_->setChecked(settings.NoiseOn);
    Noise_->setValue(settings.Noise);
    Lambda_->setValue(settings.Lambda);
    Mu_->setValue(settings.Mu);
    Showing_ = false;
}

void TMapPanel::Refresh()
{
    map::TMap* map = CurrentMap();
    if (map)
        ShowSettings(app::MapPanelSettings(*map));
    Adjust_->setEnabled(TrainingMap_ == nullptr);
}

void TMapPanel::ChangedMap(map::TMap& map)
{
    if (OnMapChanged)
        OnMapChanged(map);
}

void TMapPanel::InitializeClick()
{
    map::TMap* map = CurrentMap();
    if (!map)
        return;
    app::InitializeMapFromPanel(*map, Settings());
    ChangedMap(*map);
}

void TMapPanel::FlatTuningClick()
{
    map::TMap* map = CurrentMap();
    if (!map)
        return;
    app::FlatTuneMap(*map);
    ChangedMap(*map);
}

void TMapPanel::GrowClick(bool negate)
{
    map::TMap* map = CurrentMap();
    if (!map)
        return;
    const map::TGrowthResult result =
        map::GrowMap(*map, Interpolation_->isChecked(), Amounts_[0]->value(), Amounts_[1]->value(),
                     Amounts_[2]->value(), Amounts_[3]->value(), negate);
    if (!result.Changed) {
        if (!result.Problem.empty())
            UserInterface().ShowMessage(result.Problem);
        return;
    }
    Showing_ = true;
    Rows_->setValue(result.Rows);
    Columns_->setValue(result.Columns);
    Showing_ = false;
    app::RefreshMapGeometry(*map);
    ChangedMap(*map);
}

void TMapPanel::AdaptationClick()
{
    map::TMap* map = CurrentMap();
    if (map && app::AdaptationStep(*map, Adaptation_->currentIndex()))
        ChangedMap(*map);
}

void TMapPanel::AdjustClick()
{
    map::TMap* map = CurrentMap();
    if (!map || TrainingMap_)
        return;
    // The fields may still hold a value being typed.
    Lambda_->interpretText();
    Mu_->interpretText();
    Chart_->Clear();
    // Each step shows the energy evaluated after the step before; without this the first
    // point would show the zeros of a map never evaluated.
    if (!map->Training && map::TrainingProblem(*map).empty())
        map::EvaluateEnergy(*map);
    map::AdjustMap(
        *map, Lambda_->value(), Mu_->value(), [this, map] { ProgressStep(*map); }, [this] { TrainingEnded(); });
    TrainingMap_ = map;
    Adjust_->setEnabled(false);
}

void TMapPanel::ShowEnergy(const map::TMap& map)
{
    Approximation_->setText(QString::fromStdString(map::ApproximationText(map.ApproximationError)));
    Chart_->Append(map.ApproximationError, map.StretchingEnergy, map.BendingEnergy);
}

void TMapPanel::ProgressStep(map::TMap& map)
{
    ShowEnergy(map);
    // The worker waits meanwhile, so the nodes hold still.
    view::RebuildViews(map);
    ChangedMap(map);
}

void TMapPanel::TrainingEnded()
{
    map::TMap* map = TrainingMap_;
    TrainingMap_ = nullptr;
    Adjust_->setEnabled(true);
    if (map) {
        // The energy of the last step, evaluated after the last callback.
        ShowEnergy(*map);
        // The last step's nodes, and anything asked for while the map was being trained.
        app::RefreshMapGeometry(*map);
        ChangedMap(*map);
    }
}

void TMapPanel::InterruptClick()
{
    if (map::TMap* map = TrainingMap_ ? TrainingMap_ : CurrentMap())
        map::InterruptTraining(*map);
}

void TMapPanel::LambdaEdited(double value)
{
    {
        const QSignalBlocker block(LambdaSlider_);
        LambdaSlider_->setValue(map::CoefficientSlider(value));
    }
    if (map::TMap* map = CurrentMap(); map && !Showing_)
        map::SetTrainingLambda(*map, value);
}

void TMapPanel::MuEdited(double value)
{
    {
        const QSignalBlocker block(MuSlider_);
        MuSlider_->setValue(map::CoefficientSlider(value));
    }
    Mu_->setSingleStep(map::MuSpinIncrement(value));
    if (map::TMap* map = CurrentMap(); map && !Showing_)
        map::SetTrainingMu(*map, value);
}

void TMapPanel::SliderMoved(QSlider* slider, QDoubleSpinBox* field)
{
    field->setValue(map::SliderCoefficient(slider->value()));
}

} // namespace orbelin::gui

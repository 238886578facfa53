// The auto-create map dialog's pages, its recipe and its run.
#include "gui/TfmAutoMap.h"

#include "app/MapPanelCommands.h"
#include "data/TData.h"
#include "gui/TEnergyChart.h"
#include "map/TMap.h"
#include "map/TrainingPanel.h"
#include "numeric/TUserInterface.h"
#include "view/ViewGeometry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace orbelin::gui {

namespace {

QSpinBox* CountBox(QWidget* parent, const char* name, int low, int high, int value)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(low, high);
    box->setValue(value);
    return box;
}

QDoubleSpinBox* RealBox(QWidget* parent, const char* name, double low, double high, double step, int decimals,
                        double value)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(name);
    box->setDecimals(decimals);
    box->setRange(low, high);
    box->setSingleStep(step);
    box->setValue(value);
    return box;
}

} // namespace

TfmAutoMap::TfmAutoMap(QWidget* parent)
    : QDialog(parent), Recipes_(new QListWidget(this)), Save_(new QPushButton("Save...", this)),
      Pages_(new QTabWidget(this)), Chart_(new TEnergyChart(this)), Start_(new QPushButton("Start", this)),
      Stop_(new QPushButton("Stop", this))
{
    setObjectName("AutoMapDialog");
    setWindowTitle("Auto-create map");
    auto* layout = new QVBoxLayout(this);
    auto* stored = new QHBoxLayout;
    Recipes_->setObjectName("StoredRecipes");
    Recipes_->setMaximumHeight(70);
    stored->addWidget(Recipes_, 1);
    Save_->setObjectName("SaveRecipe");
    stored->addWidget(Save_, 0, Qt::AlignTop);
    layout->addLayout(stored);
    Pages_->addTab(CreateInitializationPage(), "Initialization");
    Pages_->addTab(CreateEpochsPage(), "Epochs");
    Pages_->addTab(CreateGrowthPage(), "Growth");
    layout->addWidget(Pages_);
    Chart_->setMinimumHeight(200);
    Chart_->hide();
    layout->addWidget(Chart_, 1);
    auto* buttons = new QHBoxLayout;
    Start_->setObjectName("Start");
    Stop_->setObjectName("Stop");
    auto* close = new QPushButton("Close", this);
    close->setObjectName("Close");
    buttons->addStretch(1);
    buttons->addWidget(Start_);
    buttons->addWidget(Stop_);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    Start_->setDefault(true);

    connect(Start_, &QPushButton::clicked, this, [this] { StartClick(); });
    connect(Stop_, &QPushButton::clicked, this, [this] { StopClick(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(Save_, &QPushButton::clicked, this, [this] { SaveClick(); });
    connect(Recipes_, &QListWidget::currentRowChanged, this, [this](int row) { ChooseRecipe(row); });

    auto& n = Construction_.Notifications;
    n.EpochStart = [this](int epoch) { Chart_->SetTitle(QString::fromStdString(map::EpochTitle(epoch))); };
    n.StepEnd = [this] {
        map::TMap* map = Construction_.Map();
        if (!map)
            return;
        Chart_->Append(map->ApproximationError, map->StretchingEnergy, map->BendingEnergy);
        // On the user-interface thread between steps: the nodes hold still.
        view::RebuildViews(*map);
        if (OnStep)
            OnStep(*map);
    };
    n.ExtrapolationStep = [this] { Chart_->SetTitle(map::ExtrapolationTitle); };
    n.InterpolationStep = [this] { Chart_->SetTitle(map::InterpolationTitle); };
    n.Finished = [this](map::TMap& map) { Finished(map); };
    ShowRecipe(map::TMapCreationAlg());
}

QWidget* TfmAutoMap::CreateInitializationPage()
{
    auto* page = new QWidget(Pages_);
    auto* form = new QFormLayout(page);
    Grid_ = new QComboBox(page);
    Grid_->setObjectName("GridType");
    Grid_->addItems({"Rectangular", "Spherical", "Hexagonal", "Toroidal", "Circle"});
    form->addRow("Grid:", Grid_);
    Placement_ = new QComboBox(page);
    Placement_->setObjectName("Placement");
    Placement_->addItems({"random", "coordinate", "principal comps"});
    form->addRow("Placement:", Placement_);
    Columns_ = CountBox(page, "Columns", 1, 100, 10);
    Rows_ = CountBox(page, "Rows", 1, 100, 10);
    Depth_ = CountBox(page, "Depth", 1, 100, 1);
    form->addRow("horizontal:", Columns_);
    form->addRow("vertical:", Rows_);
    form->addRow("depth", Depth_);
    Size_ = RealBox(page, "Size", 0, 100, 0.1, 3, 0.5);
    form->addRow("Size:", Size_);
    NoiseOn_ = new QCheckBox("noise:", page);
    NoiseOn_->setObjectName("NoiseOn");
    // The recipe keeps a whole amount of noise.
    Noise_ = CountBox(page, "Noise", 0, 100, 30);
    form->addRow(NoiseOn_, Noise_);
    Components_ = CountBox(page, "Components", 1, 1000, 3);
    form->addRow("Components:", Components_);
    BaseAccuracy_ = RealBox(page, "BaseAccuracy", 0, 100, 0.0001, 4, 0);
    form->addRow("Base accuracy", BaseAccuracy_);
    return page;
}

QWidget* TfmAutoMap::CreateEpochsPage()
{
    auto* page = new QWidget(Pages_);
    auto* layout = new QHBoxLayout(page);
    Epochs_ = new QListWidget(page);
    Epochs_->setObjectName("EpochList");
    layout->addWidget(Epochs_, 1);
    auto* side = new QFormLayout;
    EpochLambda_ = RealBox(page, "EpochLambda", map::CoefficientMin, map::CoefficientMax, 0.1, 6, 1);
    EpochMu_ = RealBox(page, "EpochMu", map::CoefficientMin, map::CoefficientMax, 0.1, 6, 1);
    side->addRow("l", EpochLambda_);
    side->addRow("m", EpochMu_);
    auto* add = new QPushButton("Add epoch", page);
    add->setObjectName("AddEpoch");
    auto* remove = new QPushButton("Delete epoch", page);
    remove->setObjectName("DeleteEpoch");
    side->addRow(add);
    side->addRow(remove);
    layout->addLayout(side);
    connect(add, &QPushButton::clicked, this, [this] { AddEpochClick(); });
    connect(remove, &QPushButton::clicked, this, [this] { DeleteEpochClick(); });
    connect(Epochs_, &QListWidget::currentRowChanged, this, [this](int row) { EpochChosen(row); });
    const auto edited = [this](TArray1D& values, double value) {
        const int row = Epochs_->currentRow();
        if (!Showing_ && row >= 0 && row < static_cast<int>(values.size()))
            values[static_cast<std::size_t>(row)] = value;
    };
    connect(EpochLambda_, &QDoubleSpinBox::valueChanged, this,
            [this, edited](double value) { edited(Recipe_.EpochLambdas, value); });
    connect(EpochMu_, &QDoubleSpinBox::valueChanged, this,
            [this, edited](double value) { edited(Recipe_.EpochMus, value); });
    return page;
}

QWidget* TfmAutoMap::CreateGrowthPage()
{
    auto* page = new QWidget(Pages_);
    auto* form = new QFormLayout(page);
    Extrapolation_ = CountBox(page, "ExtrapolationSteps", 0, 100, 0);
    Interpolation_ = CountBox(page, "InterpolationSteps", 0, 100, 0);
    form->addRow("Extrapolation steps", Extrapolation_);
    form->addRow("Interpolation steps", Interpolation_);
    Adaptation_ = new QComboBox(page);
    Adaptation_->setObjectName("AdaptationType");
    Adaptation_->addItems({"no", "Linear fractal growth"});
    form->addRow("Adaptation type", Adaptation_);
    ByCount_ = new QRadioButton("iterations number", page);
    ByCount_->setObjectName("StopByCount");
    ByAccuracy_ = new QRadioButton(" reaching accuracy level", page);
    ByAccuracy_->setObjectName("StopByAccuracy");
    GrowthSteps_ = CountBox(page, "GrowthSteps", 1, 100000, 10);
    AccuracyLevel_ = RealBox(page, "AccuracyLevel", 0, 1e6, 0.01, 6, 0.1);
    form->addRow(ByCount_, GrowthSteps_);
    form->addRow(ByAccuracy_, AccuracyLevel_);
    return page;
}

map::TMapCreationAlg TfmAutoMap::Recipe() const
{
    map::TMapCreationAlg recipe = Recipe_;
    recipe.GridType = app::GridTypeOfListItem(Grid_->currentIndex());
    recipe.InitType = Placement_->currentIndex();
    recipe.Columns = Columns_->value();
    recipe.Rows = Rows_->value();
    recipe.Layers = Depth_->value();
    recipe.InitSize = Size_->value();
    recipe.InitNoiseOn = NoiseOn_->isChecked();
    recipe.InitNoise = Noise_->value();
    recipe.ComponentCount = Components_->value();
    recipe.BaseAccuracy = BaseAccuracy_->value();
    recipe.ExtrapolationSteps = Extrapolation_->value();
    recipe.InterpolationSteps = Interpolation_->value();
    recipe.Adaptation = Adaptation_->currentIndex();
    recipe.StopByCount = ByCount_->isChecked();
    recipe.AccuracyLevel = AccuracyLevel_->value();
    recipe.GrowthSteps = GrowthSteps_->value();
    return recipe;
}

void TfmAutoMap::ShowRecipe(const map::TMapCreationAlg& recipe)
{
    Recipe_ = recipe;
    Grid_->setCurrentIndex(app::GridListItemOf(recipe.GridType));
    Placement_->setCurrentIndex(std::clamp(recipe.InitType, 0, 2));
    Columns_->setValue(recipe.Columns);
    Rows_->setValue(recipe.Rows);
    Depth_->setValue(recipe.Layers);
    Size_->setValue(recipe.InitSize);
    NoiseOn_->setChecked(recipe.InitNoiseOn);
    Noise_->setValue(static_cast<int>(std::lround(recipe.InitNoise)));
    Components_->setValue(recipe.ComponentCount);
    BaseAccuracy_->setValue(recipe.BaseAccuracy);
    Extrapolation_->setValue(recipe.ExtrapolationSteps);
    Interpolation_->setValue(recipe.InterpolationSteps);
    Adaptation_->setCurrentIndex(std::clamp(recipe.Adaptation, 0, 1));
    (recipe.StopByCount ? ByCount_ : ByAccuracy_)->setChecked(true);
    AccuracyLevel_->setValue(recipe.AccuracyLevel);
    GrowthSteps_->setValue(recipe.GrowthSteps);
    FillEpochs(Recipe_.EpochLambdas.empty() ? -1 : 0);
}

void TfmAutoMap::FillEpochs(int select)
{
    Showing_ = true;
    Epochs_->clear();
    for (std::size_t e = 0; e < Recipe_.EpochLambdas.size(); ++e)
        Epochs_->addItem(QString::fromStdString(map::EpochCaption(static_cast<int>(e))));
    Showing_ = false;
    Epochs_->setCurrentRow(select);
    EpochChosen(select);
}

void TfmAutoMap::EpochChosen(int row)
{
    const bool has = row >= 0 && row < static_cast<int>(Recipe_.EpochLambdas.size());
    Showing_ = true;
    if (has) {
        EpochLambda_->setValue(Recipe_.EpochLambdas[static_cast<std::size_t>(row)]);
        EpochMu_->setValue(Recipe_.EpochMus[static_cast<std::size_t>(row)]);
    }
    EpochLambda_->setEnabled(has);
    EpochMu_->setEnabled(has);
    Showing_ = false;
}

void TfmAutoMap::AddEpochClick()
{
    map::AddEpoch(Recipe_);
    FillEpochs(static_cast<int>(Recipe_.EpochLambdas.size()) - 1);
}

void TfmAutoMap::DeleteEpochClick()
{
    map::DeleteEpoch(Recipe_);
    FillEpochs(static_cast<int>(Recipe_.EpochLambdas.size()) - 1);
}

void TfmAutoMap::SaveClick()
{
    std::string name = "Recipe " + std::to_string(Stored_.size() + 1);
    if (!UserInterface().AskText("Save...", "Name of the recipe: ", name) || name.empty())
        return;
    map::TMapCreationAlg recipe = Recipe();
    recipe.Name = name;
    // A name used before is replaced, so the list never shows it twice.
    auto same = std::find_if(Stored_.begin(), Stored_.end(), [&](const auto& r) { return r.Name == name; });
    if (same != Stored_.end())
        *same = recipe;
    else
        Stored_.push_back(recipe);
    Recipes_->clear();
    for (const auto& stored : Stored_)
        Recipes_->addItem(QString::fromStdString(stored.Name));
    if (OnRecipesChanged)
        OnRecipesChanged();
}

void TfmAutoMap::ChooseRecipe(int index)
{
    if (index < 0 || index >= static_cast<int>(Stored_.size()) || Running())
        return;
    ShowRecipe(Stored_[static_cast<std::size_t>(index)]);
    if (Recipes_->currentRow() != index)
        Recipes_->setCurrentRow(index);
}

void TfmAutoMap::StartClick()
{
    data::TData* dataset = CurrentDataset ? CurrentDataset() : nullptr;
    if (!dataset || Running())
        return;
    const map::TMapCreationAlg recipe = Recipe();
    Start_->setEnabled(false);
    Save_->setEnabled(false);
    Chart_->show();
    Chart_->Clear();
    Chart_->SetTitle(map::ProcessingTitle);
    Construction_.AddNewMap = AddNewMap_;
    Construction_.NewMapName = NewMapName ? NewMapName() : std::string("Map");
    try {
        map::StartConstruction(Construction_, *dataset, recipe);
    } catch (const std::exception& e) {
        Start_->setEnabled(true);
        Save_->setEnabled(true);
        Chart_->SetTitle(QString());
        UserInterface().ShowMessage(e.what());
        return;
    }
    // A recipe without training runs has finished already.
    if (map::TMap* map = Construction_.Map(); map && OnStarted)
        OnStarted(*map);
}

void TfmAutoMap::StopClick()
{
    Construction_.Stop();
}

void TfmAutoMap::Finished(map::TMap& map)
{
    Chart_->SetTitle(map::FinishedTitle);
    map::RecreateView(map);
    view::RebuildViews(map);
    Start_->setEnabled(true);
    Save_->setEnabled(true);
    if (OnFinished)
        OnFinished(map);
    if (isVisible())
        accept();
}

void TfmAutoMap::reject()
{
    // Closing the dialog does not leave a construction running unseen.
    Construction_.Stop();
    QDialog::reject();
}

} // namespace orbelin::gui

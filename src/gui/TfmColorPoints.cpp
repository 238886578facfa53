// The object analysis window: its pages, the clustering and the class selection.
#include "gui/TfmColorPoints.h"

#include "analysis/Histograms.h"
#include "analysis/Marking.h"
#include "app/TDispatcher.h"
#include "data/TData.h"
#include "data/TError.h"
#include "gui/AnalysisSupport.h"
#include "gui/TSelectionsPanel.h"
#include "gui/TfrmMainWnd.h"
#include "gui/TfrmTableGrid.h"
#include "map/TMap.h"
#include "numeric/TUserInterface.h"
#include "view/ViewGeometry.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace orbelin::gui {

namespace {

int ToPacked(const QColor& color)
{
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

QWidget* Row(QWidget* parent, const QString& caption, QWidget* control)
{
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(caption, row));
    layout->addWidget(control, 1);
    return row;
}

} // namespace

TfmColorPoints::TfmColorPoints(TfrmMainWnd& host) : QDialog(&host, Qt::Window), Host_(host)
{
    setObjectName("ColorPoints");
    setWindowTitle("Object analysis");
    setModal(false);
    ChooseColor = [](const QColor& initial, QWidget* owner) { return QColorDialog::getColor(initial, owner); };
    OpenDocument = OpenWithDesktop;

    Pages_ = new QTabWidget(this);
    Pages_->setObjectName("AnalysisPages");
    Pages_->addTab(MakeClusteringPage(), "Clustering");
    Pages_->addTab(MakeSelectPage(), "Select");
    Pages_->addTab(MakeValuesPage(), "Values analysis");
    Pages_->addTab(MakeLdaPage(), "LDA");
    Pages_->addTab(MakeLrPage(), "LR");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Pages_);
    Tool_.SetK(K_->value());
    resize(620, 520);
}

QPushButton* TfmColorPoints::AddButton(QWidget* parent, const char* text, const char* name,
                                       void (TfmColorPoints::*command)())
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    connect(button, &QPushButton::clicked, this,
            [this, command] { Host_.Run([this, command] { (this->*command)(); }); });
    return button;
}

QWidget* TfmColorPoints::MakeResultButtons(QWidget* parent)
{
    auto* box = new QWidget(parent);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(AddButton(box, "Numbers in table", "NumbersInTable", &TfmColorPoints::btnNumbersClick));
    layout->addWidget(AddButton(box, "Distances in table", "DistancesInTable", &TfmColorPoints::btnDistancesClick));
    layout->addWidget(AddButton(box, "Remember colors", "RememberColors", &TfmColorPoints::btnRememberColorsClick));
    layout->addWidget(AddButton(box, "Centroids as objects", "CentroidsAsObjects", &TfmColorPoints::btnCentroidsClick));
    return box;
}

QWidget* TfmColorPoints::MakeClusteringPage()
{
    auto* page = new QWidget(this);
    Method_ = new QComboBox(page);
    Method_->setObjectName("Method");
    for (const std::string& name : analysis::ClusterMethodNames())
        Method_->addItem(QString::fromStdString(name));
    K_ = new QSpinBox(page);
    K_->setObjectName("ClusterCount");
    K_->setRange(1, analysis::MaxClusterCount);
    K_->setValue(3);
    Kind_ = new QComboBox(page);
    Kind_->setObjectName("DistType");
    Kind_->addItems({"Euclidean", "L1"});
    Slider_ = new QSlider(Qt::Horizontal, page);
    Slider_->setObjectName("Sensitivity");
    Slider_->setRange(0, 100);
    Slider_->setValue(30);
    Show_ = new QCheckBox("Show", page);
    Show_->setObjectName("Show");
    KindRow_ = Row(page, "Dist.type", Kind_);
    SliderRow_ = new QWidget(page);
    auto* sliderLayout = new QHBoxLayout(SliderRow_);
    sliderLayout->setContentsMargins(0, 0, 0, 0);
    sliderLayout->addWidget(Slider_, 1);
    sliderLayout->addWidget(Show_);

    ColorTable_ = new QTableWidget(page);
    ColorTable_->setObjectName("ClusterColors");
    ColorTable_->setColumnCount(3);
    ColorTable_->setHorizontalHeaderLabels({"N", "Color", "Size/Dev."});
    ColorTable_->verticalHeader()->hide();
    ColorTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ColorTable_->horizontalHeader()->setStretchLastSection(true);
    Deviation_ = new QLabel(page);
    Deviation_->setObjectName("ClassDeviation");

    auto* settings = new QVBoxLayout;
    settings->addWidget(Row(page, "Method", Method_));
    settings->addWidget(Row(page, "Number of clusters", K_));
    settings->addWidget(KindRow_);
    settings->addWidget(SliderRow_);
    auto* commands = new QHBoxLayout;
    commands->addWidget(AddButton(page, "Analyze", "Analyze", &TfmColorPoints::btnAnalyzeClick));
    commands->addWidget(AddButton(page, "Cancel", "Cancel", &TfmColorPoints::btnCancelClick));
    settings->addLayout(commands);
    settings->addWidget(MakeResultButtons(page));
    settings->addStretch();
    auto* table = new QVBoxLayout;
    table->addWidget(ColorTable_);
    table->addWidget(Deviation_);
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(settings);
    layout->addLayout(table, 1);

    connect(Method_, &QComboBox::currentIndexChanged, this, [this] { Host_.Run([this] { MethodChosen(); }); });
    connect(K_, &QSpinBox::valueChanged, this, [this](int k) {
        if (Filling_)
            return;
        Tool_.SetK(k);
        FillColorTable();
    });
    connect(ColorTable_, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (column == 1)
            ColorCellClicked(row);
    });
    MethodChosen();
    return page;
}

QWidget* TfmColorPoints::MakeSelectPage()
{
    auto* page = new QWidget(this);
    SelectClass_ = new QComboBox(page);
    SelectClass_->setObjectName("SelectClass");
    Classes_ = new QListWidget(page);
    Classes_->setObjectName("ShowClasses");
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel("Select objects of class", page));
    top->addWidget(SelectClass_, 1);
    top->addWidget(AddButton(page, "Select", "SelectClassPoints", &TfmColorPoints::btnSelectClick));
    top->addWidget(AddButton(page, "Deselect", "DeselectClassPoints", &TfmColorPoints::btnDeselectClick));
    auto* buttons = new QVBoxLayout;
    auto* all = new QPushButton("Select all", page);
    all->setObjectName("CheckAllClasses");
    auto* none = new QPushButton("Unselect all", page);
    none->setObjectName("UncheckAllClasses");
    auto* check = new QPushButton("Check", page);
    check->setObjectName("CheckClass");
    for (QPushButton* b : {all, none, check})
        buttons->addWidget(b);
    buttons->addWidget(AddButton(page, "Apply", "ApplyClasses", &TfmColorPoints::btnApplyClick));
    buttons->addStretch();
    const auto checkAll = [this](Qt::CheckState state) {
        for (int i = 0; i < Classes_->count(); ++i)
            Classes_->item(i)->setCheckState(state);
    };
    connect(all, &QPushButton::clicked, this, [checkAll] { checkAll(Qt::Checked); });
    connect(none, &QPushButton::clicked, this, [checkAll] { checkAll(Qt::Unchecked); });
    connect(check, &QPushButton::clicked, this, [this] {
        const int k = SelectClass_->currentIndex();
        if (QListWidgetItem* item = k >= 0 ? Classes_->item(k) : nullptr)
            item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    });
    auto* lower = new QHBoxLayout;
    lower->addWidget(Classes_, 1);
    lower->addLayout(buttons);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addWidget(new QLabel("Show only some classes", page));
    layout->addLayout(lower);
    return page;
}

QListWidget* TfmColorPoints::MakeCheckList(const char* name, QWidget* parent)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this, [this, list](const QPoint& at) {
        QMenu menu(list);
        menu.addAction("Sort"); // offered, without an action of its own
        QAction* excel = menu.addAction("In Excel");
        if (menu.exec(list->viewport()->mapToGlobal(at)) == excel)
            Host_.Run([this, list] { CheckListInExcel(list); });
    });
    return list;
}

data::TData* TfmColorPoints::Dataset() const
{
    return app::CurrentChain(Host_.Dispatcher().Project()).Dataset;
}

const map::TNetGrid* TfmColorPoints::Grid(const std::string& action) const
{
    const map::TMap* map = app::CurrentChain(Host_.Dispatcher().Project()).Map;
    if (!map || !map->Grid)
        return nullptr;
    map::CheckNotTraining(*map, action);
    return map->Grid.get();
}

void TfmColorPoints::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Refresh();
}

void TfmColorPoints::closeEvent(QCloseEvent* event)
{
    QDialog::closeEvent(event);
    if (OnClosed)
        OnClosed();
}

void TfmColorPoints::Refresh()
{
    const data::TData* dataset = Dataset();
    if (dataset != Shown_) {
        Shown_ = dataset;
        // Clusters, values and functions belong to the dataset they were computed on.
        Tool_ = {};
        Tool_.SetK(K_->value());
        Values_ = {};
        LdaCoefficients_.clear();
        LrCoefficients_.clear();
        LrTargets_.clear();
        Deviation_->clear();
        for (QLabel* label : LdaLines_)
            label->clear();
        LrAmplitude_->clear();
        LrErrors_->clear();
    }
    FillClassLists();
    const data::TDataTable* table = dataset ? dataset->Table : nullptr;
    const auto fillFields = [table](QComboBox* box) {
        const int kept = box->currentData().isValid() ? box->currentData().toInt() : -1;
        box->clear();
        if (table)
            for (int f : analysis::NumericFields(*table))
                box->addItem(QString::fromStdString(table->FieldNames[static_cast<std::size_t>(f)]), f);
        box->setCurrentIndex(std::max(0, box->findData(kept)));
    };
    Filling_ = true;
    fillFields(ValueField_);
    fillFields(LrField_);
    const TArray1S names = dataset ? dataset->CoordNames : TArray1S();
    FillFunctionList(LdaFields_, names);
    FillFunctionList(LrFields_, names);
    Filling_ = false;
    MethodChosen();
}

void TfmColorPoints::FillClassLists()
{
    const data::TData* dataset = Dataset();
    ClassColors_ = dataset && dataset->Table ? analysis::ClassColorList(*dataset->Table) : TArray1I();
    FillClassBox(SelectClass_, ClassColors_);
    FillClassBox(LdaClass_, ClassColors_);
    std::vector<bool> checked;
    for (int i = 0; i < Classes_->count(); ++i)
        checked.push_back(Classes_->item(i)->checkState() == Qt::Checked);
    Classes_->clear();
    for (std::size_t k = 0; k < ClassColors_.size(); ++k) {
        auto* item = new QListWidgetItem(QString("Class %1").arg(k + 1), Classes_);
        item->setForeground(PackedColor(ClassColors_[k]));
        item->setIcon(ColorSwatch(ClassColors_[k]));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(k < checked.size() && !checked[k] ? Qt::Unchecked : Qt::Checked);
    }
}

analysis::TClusterSettings TfmColorPoints::ClusterSettings() const
{
    analysis::TClusterSettings s;
    s.Method = static_cast<analysis::TClusterMethod>(std::max(0, Method_->currentIndex()));
    s.K = K_->value();
    s.Kind = Kind_->currentIndex();
    s.Sensitivity = Slider_->value();
    return s;
}

void TfmColorPoints::MethodChosen()
{
    const analysis::TClusterSettings s = ClusterSettings();
    const bool hierarchical =
        s.Method == analysis::TClusterMethod::Hierarchical || s.Method == analysis::TClusterMethod::HierarchicalCount;
    KindRow_->setVisible(s.Method == analysis::TClusterMethod::KMeans || hierarchical);
    SliderRow_->setVisible(hierarchical);
    const bool fixedK = s.Method == analysis::TClusterMethod::ByColors || s.Method == analysis::TClusterMethod::ByNodes;
    K_->setEnabled(!fixedK);
    if (const data::TData* dataset = Dataset()) {
        const map::TMap* map = app::CurrentChain(Host_.Dispatcher().Project()).Map;
        // The map's nodes are only read here; a map under training keeps its colours until it ends.
        const map::TNetGrid* grid = map && map->Grid && !map->Training ? map->Grid.get() : nullptr;
        const int k = Tool_.ChooseMethod(s, *dataset, grid);
        if (fixedK && k > 0) {
            Filling_ = true;
            K_->setValue(k);
            Filling_ = false;
        }
    }
    FillColorTable();
}

void TfmColorPoints::FillColorTable()
{
    const int k = Tool_.K();
    ColorTable_->setRowCount(k);
    for (int i = 0; i < k; ++i) {
        auto* number = new QTableWidgetItem(QString::number(i + 1));
        auto* colour = new QTableWidgetItem;
        colour->setBackground(PackedColor(Tool_.Colors[static_cast<std::size_t>(i)]));
        auto* size = new QTableWidgetItem(QString::fromStdString(Tool_.DeviationText(i)));
        ColorTable_->setItem(i, 0, number);
        ColorTable_->setItem(i, 1, colour);
        ColorTable_->setItem(i, 2, size);
    }
    Deviation_->setText(QString::fromStdString(Tool_.ClassDeviationText()));
    ColorTable_->resizeColumnToContents(0);
    ColorTable_->setColumnWidth(1, 60);
}

void TfmColorPoints::ColorCellClicked(int cluster)
{
    if (cluster < 0 || cluster >= Tool_.K() || !ChooseColor)
        return;
    const QColor chosen = ChooseColor(PackedColor(Tool_.Colors[static_cast<std::size_t>(cluster)]), this);
    if (!chosen.isValid())
        return;
    Tool_.Colors[static_cast<std::size_t>(cluster)] = ToPacked(chosen);
    FillColorTable();
}

void TfmColorPoints::PointsChanged()
{
    Host_.DataPointsChanged();
}

void TfmColorPoints::btnAnalyzeClick()
{
    data::TData* dataset = Dataset();
    if (!dataset)
        return;
    analysis::TClusterSettings s = ClusterSettings();
    const map::TNetGrid* grid =
        s.Method == analysis::TClusterMethod::ByNodes ? Grid("cluster the points by its nodes") : nullptr;
    numeric::TMergeObserver redraw;
    if (Show_->isChecked() &&
        (s.Method == analysis::TClusterMethod::Hierarchical || s.Method == analysis::TClusterMethod::HierarchicalCount))
        redraw = [this, dataset](const TArray2I&, const TArray2I& links) {
            dataset->ClusterLinks = links;
            PointsChanged();
            UserInterface().ProcessEvents();
        };
    const std::string message = Tool_.Analyze(s, *dataset, grid, redraw);
    if (!message.empty()) {
        UserInterface().ShowMessage(message);
        return;
    }
    Filling_ = true;
    K_->setValue(s.K);
    Slider_->setValue(s.Sensitivity);
    Filling_ = false;
    FillColorTable();
    PointsChanged();
}

void TfmColorPoints::btnCancelClick()
{
    if (data::TData* dataset = Dataset()) {
        Tool_.Cancel(*dataset);
        FillColorTable();
        PointsChanged();
    }
}

void TfmColorPoints::btnNumbersClick()
{
    if (data::TData* dataset = Dataset()) {
        Tool_.NumbersInTable(*dataset);
        Host_.RefreshDatasetWindows();
    }
}

void TfmColorPoints::btnDistancesClick()
{
    if (data::TData* dataset = Dataset()) {
        Tool_.DistancesInTable(*dataset);
        Host_.RefreshDatasetWindows();
    }
}

void TfmColorPoints::btnRememberColorsClick()
{
    if (data::TData* dataset = Dataset()) {
        analysis::RememberMarks(*dataset, FILLCOLOR);
        FillClassLists();
        PointsChanged();
    }
}

void TfmColorPoints::btnCentroidsClick()
{
    data::TData* dataset = Dataset();
    if (!dataset)
        return;
    Tool_.CentroidsAsObjects(*dataset);
    if (map::TMap* map = app::CurrentChain(Host_.Dispatcher().Project()).Map; map && !map->Layers.empty()) {
        map::CheckNotTraining(*map, "place the new objects in its view");
        view::RebuildAdditionalObjects(*map);
    }
    Host_.SelectionsPanel()->Refresh();
    Host_.MapViewChanged();
}

void TfmColorPoints::btnSelectClick()
{
    data::TData* dataset = Dataset();
    const int color = ChosenClass(SelectClass_);
    if (!dataset || color == -1)
        return;
    const view::TSelectionProperties& marks = Host_.SelectionProperties();
    analysis::AddMarks(*dataset, analysis::PointsOfClass(*dataset, color), marks.Color, marks.Size);
    PointsChanged();
}

void TfmColorPoints::btnDeselectClick()
{
    data::TData* dataset = Dataset();
    const int color = ChosenClass(SelectClass_);
    if (!dataset || color == -1)
        return;
    analysis::RemoveMarks(*dataset, analysis::PointsOfClass(*dataset, color));
    PointsChanged();
}

void TfmColorPoints::btnApplyClick()
{
    data::TData* dataset = Dataset();
    if (!dataset)
        return;
    std::vector<bool> checked;
    for (int i = 0; i < Classes_->count(); ++i)
        checked.push_back(Classes_->item(i)->checkState() == Qt::Checked);
    analysis::ShowClasses(*dataset, ClassColors_, checked);
    PointsChanged();
}

void TfmColorPoints::CheckListInExcel(QListWidget* list)
{
    const TArray2S cells = CheckListCells(list);
    if (!cells.empty())
        OpenGridInSpreadsheet(cells, list->objectName().toStdString(), OpenDocument);
}

} // namespace orbelin::gui

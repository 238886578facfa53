// The statistics window's "Histograms" and "Objects" pages: the charts, the record list
// and what their bars and records select.
#include "gui/TfmDataStat.h"

#include "analysis/Marking.h"
#include "app/TDispatcher.h"
#include "coloring/Projection.h"
#include "data/NumberText.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "data/TError.h"
#include "gui/AnalysisSupport.h"
#include "gui/TAnalysisGrid.h"
#include "gui/TBarChart.h"
#include "gui/TfrmMainWnd.h"
#include "gui/TfrmTableGrid.h"
#include "map/TMap.h"
#include "numeric/TUserInterface.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace orbelin::gui {

namespace {

QSpinBox* BarsBox(const char* name, QWidget* parent)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(1, 100);
    box->setValue(10);
    return box;
}

// One series per class colour, or the unified counts in blue.
std::vector<TBarSeriesData> HistogramSeries(const analysis::TFieldHistograms& h, int field, bool unified)
{
    std::vector<TBarSeriesData> series;
    const auto f = static_cast<std::size_t>(field);
    if (unified) {
        series.push_back({"All", 0xFF0000, f < h.Unified.size() ? h.Unified[f] : std::vector<double>()});
        return series;
    }
    for (std::size_t k = 0; k < h.ClassColors.size(); ++k) {
        TBarSeriesData s{QString("Class %1").arg(k + 1), h.ClassColors[k], {}};
        if (f < h.Classes.size())
            for (const TArray1D& bar : h.Classes[f])
                s.Values.push_back(k < bar.size() ? bar[k] : 0.0);
        series.push_back(std::move(s));
    }
    return series;
}

} // namespace

QWidget* TfmDataStat::MakeHistogramsPage()
{
    auto* page = new QWidget(this);
    HistogramFields_ = new QListWidget(page);
    HistogramFields_->setObjectName("HistogramFields");
    HistogramFields_->setMaximumWidth(180);
    Bars_ = BarsBox("Bars", page);
    Unified_ = new QCheckBox("Unified", page);
    Unified_->setObjectName("Unified");
    ShowValues_ = new QCheckBox("Show Y values", page);
    ShowValues_->setObjectName("ShowValues");
    HistogramChart_ = new TBarChart(page);
    HistogramChart_->setObjectName("HistogramChart");
    HistogramChart_->OnSelectOnMap = [this](int series, int bar) {
        Host_.Run([this, series, bar] { SelectOnHistogram(series, bar); });
    };
    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel("Bars", page));
    controls->addWidget(Bars_);
    controls->addWidget(Unified_);
    controls->addWidget(ShowValues_);
    controls->addStretch();
    auto* right = new QVBoxLayout;
    right->addLayout(controls);
    right->addWidget(HistogramChart_);
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(HistogramFields_);
    layout->addLayout(right);
    connect(HistogramFields_, &QListWidget::currentRowChanged, this,
            [this] { Host_.Run([this] { DrawHistogram(); }); });
    const auto rebuild = [this] {
        Host_.Run([this] {
            if (BuildHistograms())
                DrawHistogram();
        });
    };
    connect(Bars_, &QSpinBox::valueChanged, this, rebuild);
    connect(Unified_, &QCheckBox::toggled, this, rebuild);
    connect(ShowValues_, &QCheckBox::toggled, this, rebuild);
    return page;
}

QWidget* TfmDataStat::MakeObjectsPage()
{
    auto* page = new QWidget(this);
    ObjectList_ = new TAnalysisGrid(page);
    ObjectList_->setObjectName("ObjectList");
    ObjectList_->setSelectionBehavior(QAbstractItemView::SelectRows);
    ObjectList_->setSelectionMode(QAbstractItemView::SingleSelection);
    MarkField_ = new QComboBox(page);
    MarkField_->setObjectName("MarkField");
    DiagramBars_ = BarsBox("DiagramBars", page);
    Probable_ = new TAnalysisGrid(page);
    Probable_->setObjectName("Probable");
    ProbableInClass_ = new TAnalysisGrid(page);
    ProbableInClass_->setObjectName("ProbableInClass");
    DiagramChart_ = new TBarChart(page);
    DiagramChart_->setObjectName("DiagramChart");
    DiagramChart_->OnSelectOnMap = [this](int series, int bar) {
        Host_.Run([this, series, bar] { SelectOnDiagram(series, bar); });
    };
    NearestList_ = new QListWidget(page);
    NearestList_->setObjectName("NearestList");
    QPushButton* center = NamedButton("Center data on this point", "CenterData", page);

    auto* left = new QVBoxLayout;
    auto* field = new QHBoxLayout;
    field->addWidget(new QLabel("Field", page));
    field->addWidget(MarkField_, 1);
    left->addLayout(field);
    left->addWidget(ObjectList_);
    left->addWidget(center);
    auto* rankings = new QHBoxLayout;
    rankings->addWidget(Probable_);
    rankings->addWidget(ProbableInClass_);
    auto* bars = new QHBoxLayout;
    bars->addWidget(new QLabel("Bars number", page));
    bars->addWidget(DiagramBars_);
    bars->addStretch();
    auto* right = new QVBoxLayout;
    right->addLayout(rankings, 1);
    right->addLayout(bars);
    right->addWidget(DiagramChart_, 2);
    right->addWidget(NearestList_, 1);
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(left, 1);
    layout->addLayout(right, 2);

    connect(ObjectList_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.row() > 0)
                    Host_.Run([this, row = current.row()] { ShowObject(row - 1); });
            });
    connect(MarkField_, &QComboBox::currentIndexChanged, this, [this] { Host_.Run([this] { FillObjectList(); }); });
    connect(DiagramBars_, &QSpinBox::valueChanged, this, [this] {
        Host_.Run([this] {
            if (ObjectRecord_ >= 0)
                ShowObject(ObjectRecord_);
        });
    });
    connect(center, &QPushButton::clicked, this, [this] { Host_.Run([this] { btnCenterClick(); }); });
    return page;
}

TArray2S TfmDataStat::HistogramCells() const
{
    TArray2S cells;
    const int field = HistogramFields_->currentRow();
    const TArray1D centres = analysis::HistogramCentres(Histograms_, field);
    if (field < 0 || static_cast<std::size_t>(field) >= Histograms_.Classes.size())
        return cells;
    const TArray2D& counts = Histograms_.Classes[static_cast<std::size_t>(field)];
    for (std::size_t b = 0; b < counts.size() && b < centres.size(); ++b) {
        TArray1S row = {data::GeneralText(centres[b])};
        for (double count : counts[b])
            row.push_back(data::GeneralText(count));
        cells.push_back(std::move(row));
    }
    return cells;
}

bool TfmDataStat::BuildHistograms()
{
    const data::TDataTable* table = Table();
    if (!table) {
        Histograms_ = {};
        return false;
    }
    try {
        analysis::BuildUnifiedHistograms(*table, Bars_->value(), Histograms_);
        analysis::BuildClassHistograms(*table, Bars_->value(), Histograms_);
    } catch (const TError& e) {
        UserInterface().ShowMessage(e.what());
        return false;
    }
    return true;
}

void TfmDataStat::DrawHistogram()
{
    const data::TDataTable* table = Table();
    const int field = HistogramFields_->currentRow();
    if (!table || field < 0 || static_cast<std::size_t>(field) >= table->FieldTypes.size() ||
        !data::IsNumericFieldType(table->FieldTypes[static_cast<std::size_t>(field)])) {
        HistogramChart_->Clear();
        return;
    }
    HistogramChart_->ShowBars(HistogramFields_->currentItem()->text(), analysis::HistogramCentres(Histograms_, field),
                              HistogramSeries(Histograms_, field, Unified_->isChecked()), ShowValues_->isChecked());
}

void TfmDataStat::FillObjectList()
{
    const data::TDataTable* table = Table();
    if (!table) {
        ObjectList_->Clear();
        return;
    }
    const int field = MarkField_->currentIndex();
    TGridSource source;
    source.Rows = table->RecordCount + 1;
    source.Columns = 2;
    source.Text = [table, field](int r, int c) -> std::string {
        if (r == 0)
            return c == 0 ? "№" : "Mark";
        if (c == 0)
            return std::to_string(r);
        const TArray1S& row = table->Values[static_cast<std::size_t>(r - 1)];
        return field >= 0 && static_cast<std::size_t>(field) < row.size() ? row[static_cast<std::size_t>(field)]
                                                                          : std::string();
    };
    source.Background = [table](int r, int c) {
        return r > 0 && c == 0 && static_cast<std::size_t>(r - 1) < table->PointStyles.size()
                   ? PackedColor(table->PointStyles[static_cast<std::size_t>(r - 1)][FILLCOLOR])
                   : QColor();
    };
    ObjectList_->ShowSource(std::move(source));
}

void TfmDataStat::ShowObject(int record)
{
    data::TData* dataset = Dataset();
    const data::TDataTable* table = Table();
    if (!dataset || !table || record < 0 || record >= table->RecordCount)
        return;
    ObjectRecord_ = record;
    NearestList_->clear();
    Diagram_ = {};
    DiagramChart_->Clear();
    const analysis::TObjectRanking ranking = analysis::RankObject(*dataset, *table, Histograms_, record);
    const auto show = [](TAnalysisGrid* grid, const std::vector<analysis::TRankEntry>& entries, const char* name,
                         const char* value) {
        analysis::TStatGrid g;
        g.Resize(static_cast<int>(entries.size()) + 1, 2);
        g.At(0, 0) = name;
        g.At(0, 1) = value;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            g.At(static_cast<int>(i) + 1, 0) = entries[i].Field;
            g.At(static_cast<int>(i) + 1, 1) = entries[i].CountText;
        }
        grid->ShowGrid(g);
    };
    show(Probable_, ranking.Probable, "Probabl.", "Prob.val.");
    show(ProbableInClass_, ranking.ProbableInClass, "Prob.class.", "Prob.class.val.");

    const int point = analysis::PointOfRecord(*dataset, record);
    if (point < 0)
        return;
    Diagram_ = analysis::BuildDistanceDiagram(*table, *dataset, point, DiagramBars_->value());
    DrawDiagram();
    for (const analysis::TNearObject& near :
         analysis::NearestObjects(Diagram_, *table, *dataset, MarkField_->currentIndex(), DiagramBars_->value()))
        NearestList_->addItem(QString::fromStdString(near.Line));
}

void TfmDataStat::DrawDiagram()
{
    std::vector<TBarSeriesData> series;
    for (std::size_t k = 0; k < Diagram_.ClassColors.size(); ++k) {
        TBarSeriesData s{QString("Class %1").arg(k + 1), Diagram_.ClassColors[k], {}};
        for (const TArray1D& bar : Diagram_.Counts)
            s.Values.push_back(bar[k]);
        series.push_back(std::move(s));
    }
    DiagramChart_->ShowBars("Distance diagramm", Diagram_.Centres, series, false);
}

void TfmDataStat::SelectPoints(const TArray1I& points)
{
    data::TData* dataset = Dataset();
    if (!dataset)
        return;
    const view::TSelectionProperties& marks = Host_.SelectionProperties();
    analysis::AddMarks(*dataset, points, marks.Color, marks.Size);
    Host_.DataPointsChanged();
}

void TfmDataStat::SelectOnHistogram(int series, int bar)
{
    const data::TData* dataset = Dataset();
    const data::TDataTable* table = Table();
    if (!dataset || !table)
        return;
    SelectPoints(analysis::HistogramBarPoints(*table, *dataset, Histograms_, HistogramFields_->currentRow(),
                                              Unified_->isChecked(), series, bar));
}

void TfmDataStat::SelectOnDiagram(int series, int bar)
{
    (void)series; // the points of the bar, whatever their class
    SelectPoints(analysis::DistanceBarPoints(Diagram_, bar));
}

void TfmDataStat::btnCenterClick()
{
    data::TData* dataset = Dataset();
    if (!dataset || ObjectRecord_ < 0)
        return;
    const int point = analysis::PointOfRecord(*dataset, ObjectRecord_);
    if (point < 0) {
        UserInterface().ShowMessage("Record " + std::to_string(ObjectRecord_ + 1) + " is not a point of the dataset " +
                                    dataset->Name + ".");
        return;
    }
    for (const auto& map : dataset->Maps)
        map::CheckNotTraining(*map, "move the points of its dataset");
    analysis::CenterDataOnPoint(*dataset, point);
    for (const auto& map : dataset->Maps)
        coloring::InvalidateProjections(*map);
    Host_.RefreshMapViews();
    Host_.RefreshDatasetWindows();
}

} // namespace orbelin::gui

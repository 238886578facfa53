// The map/value analysis window's pages, sliders and commands.
#include "gui/TfmMapAnalyze.h"

#include "app/TDispatcher.h"
#include "data/NumberText.h"
#include "data/PointStyle.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "gui/TVisMap.h"
#include "gui/TfrmMainWnd.h"
#include "gui/TfrmTableGrid.h"
#include "map/TMap.h"
#include "numeric/Missing.h"
#include "numeric/TUserInterface.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStackedLayout>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>

namespace orbelin::gui {

namespace {

constexpr int DefaultColumnWidth = 64, DefaultRowHeight = 22, SmallestCell = 6;

// Columns and rows keep their default sizes while the grid fits its window, and shrink
// alike to fit it when it does not.
void FitGrid(QTableWidget* grid)
{
    const int columns = grid->columnCount(), rows = grid->rowCount();
    if (columns == 0 || rows == 0)
        return;
    const QSize room = grid->viewport()->size();
    const int width = std::max(SmallestCell, std::min(DefaultColumnWidth, room.width() / columns));
    const int height = std::max(SmallestCell, std::min(DefaultRowHeight, room.height() / rows));
    for (int c = 0; c < columns; ++c)
        grid->setColumnWidth(c, width);
    for (int r = 0; r < rows; ++r)
        grid->setRowHeight(r, height);
}

QTableWidget* MakeGrid(QWidget* parent, const char* name)
{
    auto* grid = new QTableWidget(parent);
    grid->setObjectName(name);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setMinimumSectionSize(SmallestCell);
    grid->verticalHeader()->setMinimumSectionSize(SmallestCell);
    return grid;
}

QLabel* MakeMessage(QWidget* parent, const char* name, const char* const lines[2])
{
    auto* label = new QLabel(QString("%1\n%2").arg(lines[0], lines[1]), parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QTableWidgetItem* Cell(const QString& text)
{
    return new QTableWidgetItem(text);
}

// The colour a point is drawn in: its mark colour, else its record's fill colour.
int PointColor(const data::TData& data, int point)
{
    for (std::size_t i = 0; i < data.MarkedPoints.size() && i < data.MarkColors.size(); ++i)
        if (data.MarkedPoints[i] == point)
            return data.MarkColors[i];
    if (data.Table && static_cast<std::size_t>(point) < data.NUMXI.size()) {
        const std::int32_t record = data.NUMXI[static_cast<std::size_t>(point)];
        if (record >= 0 && static_cast<std::size_t>(record) < data.Table->PointStyles.size())
            return data.Table->PointStyles[static_cast<std::size_t>(record)][FILLCOLOR];
    }
    return DefaultPointStyle[FILLCOLOR];
}

} // namespace

TfmMapAnalyze::TfmMapAnalyze(TfrmMainWnd& host)
    : QDialog(&host, Qt::Tool), Host_(host), RefreshTimer_(new QTimer(this)), MoveTimer_(new QTimer(this))
{
    setObjectName("MapAnalyze");
    setWindowTitle("Map/value analyze");
    setModal(false);

    Pages_ = new QTabWidget(this);
    Pages_->setObjectName("Pages");
    Pages_->addTab(CreateObjectsPage(), "Objects");
    Pages_->addTab(CreateGraphPage(), "Graph");
    Pages_->addTab(CreateMapValuesPage(), "Map values");
    Pages_->addTab(CreateMovePage(), "Move");

    auto* buttons = new QHBoxLayout;
    for (const auto& [caption, name] : {std::pair{"Subtract", "Subtract"},
                                        {"Data point projections to table", "ProjectionsToTable"},
                                        {"Recalc PC view to map nodes", "RecalcPC"}}) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(name);
        buttons->addWidget(button);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Pages_, 1);
    layout->addLayout(buttons);
    resize(560, 420);

    RefreshTimer_->setSingleShot(true);
    RefreshTimer_->setInterval(RefreshInterval);
    connect(RefreshTimer_, &QTimer::timeout, this, [this] { RefreshPage(); });
    MoveTimer_->setSingleShot(true);
    MoveTimer_->setInterval(0);
    connect(MoveTimer_, &QTimer::timeout, this, [this] {
        // A move changes no menu: its error is shown without the main window's refresh.
        try {
            MoveNow();
        } catch (const std::exception& e) {
            UserInterface().ShowMessage(e.what());
        }
    });
    connect(Pages_, &QTabWidget::currentChanged, this, [this] { RefreshPage(); });

    const auto run = [this](void (TfmMapAnalyze::*command)()) {
        return [this, command] { Host_.Run([this, command] { (this->*command)(); }); };
    };
    connect(findChild<QPushButton*>("Subtract"), &QPushButton::clicked, this, run(&TfmMapAnalyze::btnSubtractClick));
    connect(findChild<QPushButton*>("ProjectionsToTable"), &QPushButton::clicked, this,
            run(&TfmMapAnalyze::btnProjectionsToTableClick));
    connect(findChild<QPushButton*>("RecalcPC"), &QPushButton::clicked, this, run(&TfmMapAnalyze::btnRecalcPCClick));
}

QWidget* TfmMapAnalyze::CreateObjectsPage()
{
    auto* page = new QWidget(this);
    ObjectsGrid_ = MakeGrid(page, "ObjectsGrid");
    ObjectsMessage_ = MakeMessage(page, "ObjectsMessage", analysis::NoPointsLines);
    ObjectsStack_ = new QStackedLayout;
    ObjectsStack_->addWidget(ObjectsMessage_);
    ObjectsStack_->addWidget(ObjectsGrid_);
    MaximalInterval_ = new QCheckBox("Use maxumal interval", page);
    MaximalInterval_->setObjectName("UseMaximalInterval");
    Scale_ = new QButtonGroup(page);
    auto* options = new QHBoxLayout;
    options->addWidget(MaximalInterval_);
    for (const auto& [caption, scale] : {std::pair{"GreenRed", coloring::TGradingScheme::GreenRed},
                                         {"Spektrum", coloring::TGradingScheme::Spektrum},
                                         {"BlackWhite", coloring::TGradingScheme::BlackWhite}}) {
        auto* button = new QRadioButton(caption, page);
        button->setObjectName(caption);
        Scale_->addButton(button, int(scale));
        options->addWidget(button);
    }
    Scale_->button(int(coloring::TGradingScheme::Spektrum))->setChecked(true);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(ObjectsStack_, 1);
    layout->addLayout(options);
    connect(MaximalInterval_, &QCheckBox::toggled, this, [this] { RefreshPage(); });
    connect(Scale_, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on)
            RefreshPage();
    });
    return page;
}

QWidget* TfmMapAnalyze::CreateGraphPage()
{
    auto* page = new QWidget(this);
    Graph_ = new QChartView(page);
    Graph_->setObjectName("GraphChart");
    Graph_->chart()->legend()->hide();
    Normalize_ = new QCheckBox("Normalize", page);
    Normalize_->setObjectName("Normalize");
    Normalize_->setChecked(true);
    XCoordinates_ = new QLineEdit(page);
    XCoordinates_->setObjectName("XCoordinates");
    GraphMessage_ = new QLabel(page);
    GraphMessage_->setObjectName("GraphMessage");
    auto* options = new QHBoxLayout;
    options->addWidget(Normalize_);
    options->addWidget(new QLabel("X-coordinates", page));
    options->addWidget(XCoordinates_, 1);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Graph_, 1);
    layout->addLayout(options);
    layout->addWidget(GraphMessage_);
    connect(Normalize_, &QCheckBox::toggled, this, [this] { RefreshPage(); });
    connect(XCoordinates_, &QLineEdit::editingFinished, this, [this] { RefreshPage(); });
    return page;
}

QWidget* TfmMapAnalyze::CreateMapValuesPage()
{
    auto* page = new QWidget(this);
    MapValuesGrid_ = MakeGrid(page, "MapValuesGrid");
    MapValuesMessage_ = MakeMessage(page, "MapValuesMessage", analysis::NoProjectionLines);
    MapValuesStack_ = new QStackedLayout(page);
    MapValuesStack_->addWidget(MapValuesMessage_);
    MapValuesStack_->addWidget(MapValuesGrid_);
    return page;
}

QWidget* TfmMapAnalyze::CreateMovePage()
{
    auto* page = new QWidget(this);
    auto* layout = new QGridLayout(page);
    const char* names[] = {"RotationX", "RotationY", "RotationZ", "ShiftX", "ShiftY", "ShiftZ"};
    layout->addWidget(new QLabel("Rotation", page), 0, 1);
    layout->addWidget(new QLabel("Shift", page), 0, 2);
    for (int i = 0; i < 6; ++i) {
        auto* slider = new QSlider(Qt::Horizontal, page);
        slider->setObjectName(names[i]);
        slider->setRange(i < 3 ? 0 : -100, 100);
        slider->setValue(0);
        Sliders_[static_cast<std::size_t>(i)] = slider;
        layout->addWidget(slider, 1 + i % 3, 1 + i / 3);
        connect(slider, &QSlider::valueChanged, this, [this] { SlidersMoved(); });
        // While the slider is dragged only the net follows; on release every layer does.
        connect(slider, &QSlider::sliderReleased, this, [this] {
            if (MapUsable())
                Host_.RefreshMapViews();
        });
    }
    for (int axis = 0; axis < 3; ++axis)
        layout->addWidget(new QLabel(QString("XYZ").mid(axis, 1), page), 1 + axis, 0);
    layout->setRowStretch(4, 1);
    return page;
}

bool TfmMapAnalyze::MapUsable() const
{
    return Map_ && Map_ == app::CurrentChain(Host_.Dispatcher().Project()).Map && Map_->Grid;
}

void TfmMapAnalyze::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Reset();
}

void TfmMapAnalyze::closeEvent(QCloseEvent* event)
{
    QDialog::closeEvent(event);
    RefreshTimer_->stop();
    MoveTimer_->stop();
    Snapshot_.clear();
    Placed_.clear();
    Map_ = nullptr;
    if (OnClosed)
        OnClosed();
}

void TfmMapAnalyze::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    FitGrid(ObjectsGrid_);
    FitGrid(MapValuesGrid_);
}

void TfmMapAnalyze::Reset()
{
    Resetting_ = true;
    MoveTimer_->stop();
    for (QSlider* slider : Sliders_)
        slider->setValue(0);
    Resetting_ = false;
    const app::TCurrentChain chain = app::CurrentChain(Host_.Dispatcher().Project());
    Map_ = chain.Map && chain.Map->Grid ? chain.Map : nullptr;
    Snapshot_ = Map_ ? Map_->Grid->Nodes : TArray2D();
    Placed_ = Snapshot_;
    Fields_ = Map_ && Map_->Data ? analysis::ReadFloatFields(*Map_->Data) : analysis::TFloatFields();
    if (XCoordinates_->text().trimmed().isEmpty())
        XCoordinates_->setText(QString::fromStdString(analysis::DefaultXCoordinates(int(Fields_.Fields.size()))));
    Hovered_.clear();
    HasCursor_ = false;
    RefreshPage();
}

void TfmMapAnalyze::Hover(const std::vector<int>& points, QPoint position, const TVisMap& view)
{
    Hovered_ = points;
    Position_ = position;
    ViewWidth_ = view.width();
    ViewHeight_ = view.height();
    Camera_ = view.Camera();
    HasCursor_ = true;
    if (!RefreshTimer_->isActive())
        RefreshTimer_->start();
}

void TfmMapAnalyze::RefreshPage()
{
    RefreshTimer_->stop();
    ++RefreshCount_;
    switch (Pages_->currentIndex()) {
    case ObjectsPage:
        ShowObjects();
        break;
    case GraphPage:
        ShowGraph();
        break;
    case MapValuesPage:
        ShowMapValues();
        break;
    default:
        break;
    }
}

void TfmMapAnalyze::ShowObjects()
{
    const data::TData* data = MapUsable() ? Map_->Data : nullptr;
    const TArray1I points = data ? analysis::AnalysisPoints(*data, Hovered_) : TArray1I();
    if (points.empty()) {
        ObjectsGrid_->clear();
        ObjectsGrid_->setRowCount(0);
        ObjectsGrid_->setColumnCount(0);
        ObjectsStack_->setCurrentWidget(ObjectsMessage_);
        return;
    }
    const analysis::TObjectsPage page = analysis::BuildObjectsPage(
        Fields_, points, MaximalInterval_->isChecked(), static_cast<coloring::TGradingScheme>(Scale_->checkedId()));
    ObjectsGrid_->clear();
    ObjectsGrid_->setRowCount(int(Fields_.Fields.size()));
    ObjectsGrid_->setColumnCount(int(points.size()) + 1);
    QStringList header{""};
    for (const std::int32_t p : points)
        header << QString::number(p + 1);
    ObjectsGrid_->setHorizontalHeaderLabels(header);
    for (std::size_t f = 0; f < page.Cells.size(); ++f) {
        ObjectsGrid_->setItem(int(f), 0, Cell(QString::fromStdString(Fields_.Names[f])));
        for (std::size_t p = 0; p < page.Cells[f].size(); ++p) {
            const analysis::TObjectsCell& cell = page.Cells[f][p];
            QTableWidgetItem* item = Cell(QString::fromStdString(cell.Text));
            if (!cell.Text.empty())
                item->setBackground(PackedColor(cell.Color));
            ObjectsGrid_->setItem(int(f), int(p) + 1, item);
        }
    }
    ObjectsStack_->setCurrentWidget(ObjectsGrid_);
    FitGrid(ObjectsGrid_);
}

void TfmMapAnalyze::ShowGraph()
{
    QChart* chart = Graph_->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes())
        chart->removeAxis(axis);
    const data::TData* data = MapUsable() ? Map_->Data : nullptr;
    const analysis::TXCoordinates x =
        analysis::ParseXCoordinates(XCoordinates_->text().toStdString(), int(Fields_.Fields.size()));
    GraphMessage_->setText(QString::fromStdString(!Fields_.Problem.empty() ? Fields_.Problem : x.Problem));
    if (!data)
        return;
    auto* xAxis = new QValueAxis(chart);
    auto* yAxis = new QValueAxis(chart);
    chart->addAxis(xAxis, Qt::AlignBottom);
    chart->addAxis(yAxis, Qt::AlignLeft);
    double xLo = 1e100, xHi = -1e100, yLo = 1e100, yHi = -1e100;
    for (const analysis::TGraphLine& line :
         analysis::BuildGraphLines(Fields_, x.X, analysis::AnalysisPoints(*data, Hovered_))) {
        auto* series = new QLineSeries(chart);
        series->setName(QString::number(line.Point + 1));
        for (std::size_t i = 0; i < line.X.size(); ++i) {
            series->append(line.X[i], line.Y[i]);
            xLo = std::min(xLo, line.X[i]);
            xHi = std::max(xHi, line.X[i]);
            yLo = std::min(yLo, line.Y[i]);
            yHi = std::max(yHi, line.Y[i]);
        }
        series->setColor(PackedColor(PointColor(*data, line.Point)));
        chart->addSeries(series);
        series->attachAxis(xAxis);
        series->attachAxis(yAxis);
    }
    const auto range = [](QValueAxis* axis, double lo, double hi) {
        if (lo > hi)
            axis->setRange(0, 1);
        else if (lo == hi)
            axis->setRange(lo - 0.5, hi + 0.5);
        else
            axis->setRange(lo, hi);
    };
    range(xAxis, xLo, xHi);
    if (Normalize_->isChecked())
        range(yAxis, Fields_.OverallLo, Fields_.OverallHi);
    else
        range(yAxis, yLo, yHi);
}

void TfmMapAnalyze::ShowMapValues()
{
    TArray2D values;
    if (MapUsable() && HasCursor_ && Map_->Data) {
        const std::vector<analysis::TScreenTriangle> triangles =
            analysis::ScreenTriangles(*Map_, Camera_, ViewWidth_, ViewHeight_);
        values = analysis::MapValuesAt(*Map_, triangles, Position_.x(), Position_.y(), ViewHeight_);
    }
    const int found = values.empty() ? 0 : int(values[0].size());
    if (found == 0) {
        MapValuesGrid_->clear();
        MapValuesGrid_->setRowCount(0);
        MapValuesGrid_->setColumnCount(0);
        MapValuesStack_->setCurrentWidget(MapValuesMessage_);
        return;
    }
    const data::TData& data = *Map_->Data;
    MapValuesGrid_->clear();
    MapValuesGrid_->setRowCount(int(values.size()));
    MapValuesGrid_->setColumnCount(found + 1);
    QStringList header{""};
    for (int c = 0; c < found; ++c)
        header << QString::number(c + 1);
    MapValuesGrid_->setHorizontalHeaderLabels(header);
    for (std::size_t k = 0; k < values.size(); ++k) {
        const std::string name = k < data.CoordNames.size() ? data.CoordNames[k] : std::string();
        MapValuesGrid_->setItem(int(k), 0, Cell(QString::fromStdString(name)));
        for (int c = 0; c < found; ++c)
            MapValuesGrid_->setItem(int(k), c + 1,
                                    Cell(QString::fromStdString(data::ShortestText(values[k][std::size_t(c)]))));
    }
    MapValuesStack_->setCurrentWidget(MapValuesGrid_);
    FitGrid(MapValuesGrid_);
}

void TfmMapAnalyze::SlidersMoved()
{
    // Showing the window puts the sliders back without moving the map. Moves are
    // coalesced: a drag reaches the map once per pass of the event loop.
    if (Resetting_)
        return;
    if (!MoveTimer_->isActive())
        MoveTimer_->start();
}

void TfmMapAnalyze::MoveNow()
{
    if (!MapUsable())
        return;
    analysis::TMoveSliders sliders;
    sliders.RotX = Sliders_[0]->value();
    sliders.RotY = Sliders_[1]->value();
    sliders.RotZ = Sliders_[2]->value();
    sliders.ShiftX = Sliders_[3]->value();
    sliders.ShiftY = Sliders_[4]->value();
    sliders.ShiftZ = Sliders_[5]->value();
    map::CheckNotTraining(*Map_, "move it");
    // Nodes moved by anything but this window (a training run, growth) are the map's now:
    // moving from the old snapshot would throw them away, so they become the snapshot.
    if (Map_->Grid->Nodes != Placed_) {
        Reset();
        return;
    }
    analysis::MoveMap(*Map_, Snapshot_, sliders);
    Placed_ = Map_->Grid->Nodes;
    const bool dragged = std::any_of(Sliders_.begin(), Sliders_.end(), [](QSlider* s) { return s->isSliderDown(); });
    if (dragged)
        Host_.MapViewChanged();
    else
        Host_.RefreshMapViews();
}

void TfmMapAnalyze::btnSubtractClick()
{
    if (!MapUsable())
        return;
    analysis::SubtractMap(*Map_);
    Host_.MapViewChanged();
    RefreshPage();
}

void TfmMapAnalyze::btnProjectionsToTableClick()
{
    if (!MapUsable())
        return;
    analysis::ProjectionsToTable(*Map_);
    Host_.RefreshDatasetWindows();
}

void TfmMapAnalyze::btnRecalcPCClick()
{
    if (!MapUsable())
        return;
    analysis::RecalcComponentsFromNodes(*Map_);
    Host_.MapViewChanged();
}

} // namespace orbelin::gui

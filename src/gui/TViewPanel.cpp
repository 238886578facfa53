// The Datapoints/Net panel's controls and what they do to the current map.
#include "gui/TViewPanel.h"

#include "data/TData.h"
#include "gui/TfrmMainWnd.h"
#include "gui/TfrmTableGrid.h"
#include "map/TMap.h"
#include "view/ViewChoices.h"
#include "view/ViewPlacement.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace orbelin::gui {

namespace {

using view::TDrawingSwitch;

struct TSwitchInfo {
    const char* Caption;
    const char* Name;
    int Kind; ///< 0 a layer switch, 1 an axis, 2 the connections
    TDrawingSwitch Which;
};

const TSwitchInfo SwitchInfos[] = {
    {"Not draw all", "NotDrawAll", 0, TDrawingSwitch::NotDrawAll},
    {"Colorings", "Colorings", 0, TDrawingSwitch::Colorings},
    {"Net lines", "NetLines", 0, TDrawingSwitch::NetLines},
    {"Net nodes", "NetNodes", 0, TDrawingSwitch::NetNodes},
    {"Datas", "Datas", 0, TDrawingSwitch::Datas},
    {"Axis X", "AxisX", 1, TDrawingSwitch::NotDrawAll},
    {"Axis Y", "AxisY", 1, TDrawingSwitch::NotDrawAll},
    {"Axis Z", "AxisZ", 1, TDrawingSwitch::NotDrawAll},
    {"Selections", "Selections", 0, TDrawingSwitch::Selections},
    {"Objects", "Objects", 0, TDrawingSwitch::Objects},
    {"Rays", "Rays", 0, TDrawingSwitch::Rays},
    {"Connections", "Connections", 2, TDrawingSwitch::NotDrawAll},
};

const TSwitchInfo* InfoOf(const QString& caption)
{
    for (const TSwitchInfo& info : SwitchInfos)
        if (caption == info.Caption)
            return &info;
    return nullptr;
}

void Fill(QComboBox* box, const TArray1S& items, int current)
{
    const QSignalBlocker block(box);
    box->clear();
    for (const std::string& item : items)
        box->addItem(QString::fromStdString(item));
    box->setCurrentIndex(current < box->count() ? current : -1);
}

} // namespace

TViewPanel::TViewPanel(TfrmMainWnd& host, QWidget* parent)
    : TPanel(app::ViewPanel, "     Datapoints ", host, parent), Main_(host)
{
    QWidget* content = AddScrollingContent();
    auto* layout = static_cast<QVBoxLayout*>(content->layout());

    DataPoints_ = new QCheckBox("Datapoints visible", content);
    DataPoints_->setObjectName("DataPointSwitch");
    Net_ = new QCheckBox("Net visible", content);
    Net_->setObjectName("NetSwitch");
    layout->addWidget(DataPoints_);
    layout->addWidget(Net_);

    Views_ = new QListWidget(content);
    Views_->setObjectName("ViewList");
    Views_->setMinimumHeight(Views_->fontMetrics().height() * 5);
    layout->addWidget(Views_);

    auto* grid = new QGridLayout;
    for (int i = 0; i < 3; ++i) {
        AxisLabels_[i] = new QLabel(QString("Axis %1:").arg(i + 1), content);
        Axes_[i] = new QComboBox(content);
        Axes_[i]->setObjectName(QString("Axis%1").arg(i + 1));
        Axes_[i]->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        Axes_[i]->setMinimumContentsLength(6);
        grid->addWidget(AxisLabels_[i], i, 0);
        grid->addWidget(Axes_[i], i, 1);
    }
    Projecting_ = new QComboBox(content);
    Projecting_->setObjectName("ProjectingType");
    Projecting_->addItems({"In closest point", "In closest node"});
    grid->addWidget(new QLabel("Projecting type:", content), 3, 0, 1, 2);
    grid->addWidget(Projecting_, 4, 0, 1, 2);
    Mode_ = new QComboBox(content);
    Mode_->setObjectName("ViewMode");
    grid->addWidget(new QLabel("View:", content), 5, 0);
    grid->addWidget(Mode_, 5, 1);
    layout->addLayout(grid);

    TimeSeries_ = new QCheckBox("Datapoints as timeseries", content);
    TimeSeries_->setObjectName("TimeSeries");
    NodeSize_ = new QCheckBox("Node size", content);
    NodeSize_->setObjectName("NodeSize");
    layout->addWidget(TimeSeries_);
    layout->addWidget(NodeSize_);

    auto* switches = new QGroupBox(content);
    switches->setObjectName("DrawingSwitches");
    auto* switchLayout = new QVBoxLayout(switches);
    const view::TDrawingSwitches defaults;
    for (const TSwitchInfo& info : SwitchInfos) {
        auto* box = new QCheckBox(info.Caption, switches);
        box->setObjectName(info.Name);
        box->setChecked(info.Kind == 0 ? defaults[info.Which] : info.Kind == 1);
        switchLayout->addWidget(box);
        Switches_.insert(info.Caption, box);
        const QString caption = info.Caption;
        connect(box, &QCheckBox::toggled, this, [this, caption](bool on) {
            if (!Filling_)
                SwitchChanged(caption, on);
        });
        if (info.Kind == 1) {
            box->setToolTip("Right click: the axis colour");
            box->installEventFilter(this);
        }
    }
    layout->addWidget(switches);
    layout->addStretch(1);
    ShowAxisColors();

    connect(DataPoints_, &QCheckBox::toggled, this, [this](bool on) {
        if (!Filling_)
            SwitchChanged("Datas", on);
    });
    connect(Net_, &QCheckBox::toggled, this, [this](bool on) {
        if (!Filling_)
            Host_.Run([this, on] { Main_.SetDrawingSwitch(TDrawingSwitch::Net, on); });
    });
    connect(Views_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (Filling_ || row < 0)
            return;
        const std::string item = Views_->item(row)->text().toStdString();
        OnMap([item](map::TMap& map) { view::ChooseViewItem(map, item); });
        // The axis and "View:" lists follow the view; the list is not refilled inside its
        // own signal.
        QMetaObject::invokeMethod(
            this, [this] { Refresh(); }, Qt::QueuedConnection);
    });
    for (QComboBox* axis : Axes_)
        connect(axis, &QComboBox::activated, this, [this] {
            OnMap([this](map::TMap& map) {
                view::ChooseAxes(map, Axes_[0]->currentIndex(), Axes_[1]->currentIndex(), Axes_[2]->currentIndex());
            });
        });
    connect(Projecting_, &QComboBox::activated, this,
            [this](int type) { OnMap([type](map::TMap& map) { view::ChooseProjectorType(map, type); }); });
    connect(Mode_, &QComboBox::activated, this,
            [this](int row) { OnMap([row](map::TMap& map) { view::ChooseViewMode(map, row); }); });
    connect(TimeSeries_, &QCheckBox::toggled, this, [this](bool on) {
        if (!Filling_)
            OnMap([on](map::TMap& map) { view::SetDataAsTimeSeries(map, on); });
    });
    connect(NodeSize_, &QCheckBox::toggled, this, [this](bool on) {
        if (!Filling_)
            OnMap([on](map::TMap& map) { view::SetNodeSizeByTaxon(map, on); });
    });
    Refresh();
}

void TViewPanel::SetViewMode(const QString& title, bool dataPointSwitch, bool netSwitch)
{
    SetTitle(title);
    DataPoints_->setVisible(dataPointSwitch);
    Net_->setVisible(netSwitch);
}

void TViewPanel::OnMap(const std::function<void(map::TMap&)>& change)
{
    if (Filling_)
        return;
    Host_.Run([this, &change] {
        map::TMap* map = Chain().Map;
        if (!map)
            return;
        change(*map);
        Main_.MapViewChanged();
    });
}

void TViewPanel::SwitchChanged(const QString& caption, bool on)
{
    const TSwitchInfo* info = InfoOf(caption);
    if (!info)
        return;
    Host_.Run([this, info, on] {
        if (info->Kind == 2) {
            Main_.SetConnections(on);
            return;
        }
        if (info->Kind == 1) {
            const int axis = static_cast<int>(info - SwitchInfos) - 5;
            Main_.SetAxisSwitch(axis, on, Main_.AxisColor(axis));
            return;
        }
        Main_.SetDrawingSwitch(info->Which, on);
    });
    // "Datas" and the data-point switch keep each other in step.
    if (info->Which == TDrawingSwitch::Datas && info->Kind == 0) {
        Filling_ = true;
        DataPoints_->setChecked(on);
        Switches_.value("Datas")->setChecked(on);
        Filling_ = false;
    }
}

bool TViewPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
        for (int axis = 0; axis < 3; ++axis)
            if (watched == Switches_.value(SwitchInfos[5 + axis].Caption)) {
                const QColor chosen = QColorDialog::getColor(PackedColor(Main_.AxisColor(axis)), this);
                if (chosen.isValid())
                    Host_.Run([this, axis, chosen] {
                        Main_.SetAxisSwitch(axis, Switches_.value(SwitchInfos[5 + axis].Caption)->isChecked(),
                                            chosen.red() | chosen.green() << 8 | chosen.blue() << 16);
                        ShowAxisColors();
                    });
                return true;
            }
    return TPanel::eventFilter(watched, event);
}

void TViewPanel::ShowAxisColors()
{
    for (int axis = 0; axis < 3; ++axis) {
        QCheckBox* box = Switches_.value(SwitchInfos[5 + axis].Caption);
        QPalette palette = box->palette();
        palette.setColor(QPalette::WindowText, PackedColor(Main_.AxisColor(axis)));
        box->setPalette(palette);
    }
}

void TViewPanel::Refresh()
{
    const app::TCurrentChain chain = Chain();
    const map::TMap* map = chain.Map;
    Filling_ = true;
    Views_->clear();
    for (const std::string& item : view::ViewListItems(chain.Dataset))
        Views_->addItem(QString::fromStdString(item));
    Views_->setCurrentRow(map ? view::ViewListRow(*map) : -1);
    const bool internal = map && map->ViewType == view::ViewInternal;
    const TArray1S axes = map ? view::AxisItems(*map) : TArray1S();
    const int axisRows[3] = {map ? map->Axis1 : 0, map ? map->Axis2 : 1, map ? map->Axis3 : 2};
    for (int i = 0; i < 3; ++i) {
        Fill(Axes_[i], axes, axisRows[i]);
        Axes_[i]->setVisible(!internal);
        AxisLabels_[i]->setVisible(!internal);
    }
    Projecting_->setCurrentIndex(map ? map->ProjectorType : 0);
    Fill(Mode_, map ? view::ViewModeItems(*map) : TArray1S{"Perspective", "Orthogonal"},
         map ? view::ViewModeRow(*map) : -1);
    TimeSeries_->setChecked(map && map->DataAsTimeSeries);
    NodeSize_->setChecked(map && map->NodeSizeByTaxon);

    if (map)
        Main_.AdoptSwitchesOf(*map);
    const view::TDrawingSwitches& s = Main_.Switches();
    for (const TSwitchInfo& info : SwitchInfos) {
        QCheckBox* box = Switches_.value(info.Caption);
        if (info.Kind == 0)
            box->setChecked(s[info.Which]);
        else if (info.Kind == 1)
            box->setChecked(Main_.AxisShown(static_cast<int>(&info - SwitchInfos) - 5));
        else
            box->setChecked(Main_.ConnectionsOn());
    }
    DataPoints_->setChecked(s.Datas);
    Net_->setChecked(s.Net);
    ShowAxisColors();
    // Switches that need a net wait for a grid.
    const bool grid = map && map->Grid;
    for (const char* caption : {"Net nodes", "Net lines", "Colorings", "Selections"})
        Switches_.value(caption)->setEnabled(grid);
    for (QWidget* widget : std::initializer_list<QWidget*>{Views_, Axes_[0], Axes_[1], Axes_[2], Projecting_, Mode_,
                                                           TimeSeries_, NodeSize_})
        widget->setEnabled(map != nullptr);
    Filling_ = false;
}

} // namespace orbelin::gui

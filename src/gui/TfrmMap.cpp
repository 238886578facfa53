// The map window's view, tabs, track bars, tools and menu.
#include "gui/TfrmMap.h"

#include "app/MapPanelCommands.h"
#include "data/TData.h"
#include "map/TMap.h"
#include "numeric/TUserInterface.h"
#include "view/ViewGeometry.h"

#include <QActionGroup>
#include <QColorDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QResizeEvent>
#include <QSlider>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace orbelin::gui {

namespace {

constexpr const char* ToolCaptions[] = {"Object select", "Map rotate", "Map shift", "Map scale"};

QColor QColorFromPacked(int packed)
{
    return QColor(packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF);
}

} // namespace

/// The map window's 3D view. The map's layers may move whenever a layer is added, so the
/// view looks them up again before it draws or picks.
class TMapVisMap : public TVisMap {
public:
    explicit TMapVisMap(QWidget* parent) : TVisMap(parent) {}

    map::TMap* Map = nullptr;
    std::function<void()> OnPressed;
    std::function<void()> OnResized;

    void FollowLayers()
    {
        const std::span<view::TLayer> layers = Map ? std::span<view::TLayer>(Map->Layers) : std::span<view::TLayer>();
        if (layers.data() != Layers().data() || layers.size() != Layers().size())
            SetLayers(layers);
    }

protected:
    void paintGL() override
    {
        FollowLayers();
        TVisMap::paintGL();
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        FollowLayers();
        if (OnPressed)
            OnPressed();
        TVisMap::mousePressEvent(event);
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        FollowLayers();
        TVisMap::mouseMoveEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        FollowLayers();
        TVisMap::mouseReleaseEvent(event);
    }
    void resizeEvent(QResizeEvent* event) override
    {
        TVisMap::resizeEvent(event);
        if (OnResized)
            OnResized();
    }
};

TfrmMap::TfrmMap(QWidget* parent)
    : QWidget(parent), View_(new TMapVisMap(this)), Tabs_(new QTabBar(this)), RotZ_(new QSlider(Qt::Horizontal, this)),
      RotX_(new QSlider(Qt::Vertical, this)), Zoom_(new QSlider(Qt::Horizontal, this)), Tool_(new QToolButton(this)),
      ToolMenu_(new QMenu(this)), Reset_(new QToolButton(this)), Size_(new QLabel(this))
{
    setObjectName("MapWindow");
    setWindowTitle("Map - Noname:[Path]");
    View_->setObjectName("MapView");
    Tabs_->setObjectName("MapTabs");
    RotZ_->setObjectName("RotationZ");
    RotX_->setObjectName("RotationX");
    Zoom_->setObjectName("ZoomTrackBar");
    Tool_->setObjectName("ToolButton");
    Reset_->setObjectName("ResetButton");
    Size_->setObjectName("SizeLabel");

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    auto* bar = new QMenuBar(this);
    CreateMenu(bar);
    layout->setMenuBar(bar);
    layout->addWidget(Tabs_);

    auto* controls = new QHBoxLayout;
    for (int tool = 0; tool < 4; ++tool) {
        QAction* action = ToolMenu_->addAction(ToolCaptions[tool]);
        action->setCheckable(true);
        action->setData(tool);
    }
    auto* tools = new QActionGroup(ToolMenu_);
    for (QAction* action : ToolMenu_->actions())
        tools->addAction(action);
    connect(ToolMenu_, &QMenu::triggered, this, [this](QAction* action) {
        ChooseTool(action->data().toInt());
        if (OnToolChosen)
            OnToolChosen(ToolMode_);
    });
    Tool_->setMenu(ToolMenu_);
    Tool_->setPopupMode(QToolButton::InstantPopup);
    Tool_->setToolTip("Mouse tool");
    controls->addWidget(Tool_);
    Reset_->setText("Reset");
    Reset_->setToolTip("Rotate: angles to 0; shift: centre; scale: zoom 470");
    connect(Reset_, &QToolButton::clicked, this, [this] { ResetClick(); });
    controls->addWidget(Reset_);
    controls->addWidget(new QLabel("Zoom:", this));
    Zoom_->setRange(20, 1000);
    Zoom_->setSingleStep(10);
    Zoom_->setPageStep(50);
    Zoom_->setToolTip("Zoom");
    controls->addWidget(Zoom_, 1);
    controls->addWidget(Size_);
    layout->addLayout(controls);

    auto* scene = new QGridLayout;
    scene->setSpacing(2);
    scene->addWidget(View_, 0, 0);
    scene->addWidget(RotX_, 0, 1);
    scene->addWidget(RotZ_, 1, 0);
    for (QSlider* slider : {RotZ_, RotX_}) {
        slider->setRange(-180, 180);
        slider->setSingleStep(10);
        slider->setPageStep(10);
        slider->setTickInterval(30);
        slider->setTickPosition(QSlider::TicksBelow);
        connect(slider, &QSlider::valueChanged, this, [this] { RotationSliderMoved(); });
    }
    RotZ_->setToolTip("Rotation about Z");
    RotX_->setToolTip("Rotation about X");
    layout->addLayout(scene, 1);

    connect(Zoom_, &QSlider::valueChanged, this, [this](int value) { ZoomSliderMoved(value); });
    connect(Tabs_, &QTabBar::tabBarClicked, this, [this](int index) {
        if (OnMapTab && index >= 0)
            OnMapTab(index);
    });

    View_->OnPressed = [this] {
        if (OnViewPressed)
            OnViewPressed();
    };
    View_->OnResized = [this] { ShowSize(); };
    View_->OnAfterRotate = [this] { FollowCamera(); };
    View_->OnZoomChanged = [this](int) {
        if (Map_)
            view::ScaleMarkers(*Map_);
        FollowCamera();
    };
    View_->OnAfterMouseUp = [this] {};
    View_->OnSelect = [this](const std::vector<int>& points) {
        if (OnSelectPoints && !points.empty())
            OnSelectPoints(points);
    };
    ChooseTool(ToolMode_);
    FollowCamera();
}

TfrmMap::~TfrmMap() = default;

TVisMap* TfrmMap::View() const
{
    return View_;
}

void TfrmMap::CreateMenu(QMenuBar* bar)
{
    QMenu* file = bar->addMenu("&File");
    file->setObjectName("MapFileMenu");
    const auto add = [this](QMenu* menu, const char* name, const QString& text, void (TfrmMap::*command)()) {
        QAction* action = menu->addAction(text);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, [this, command] { (this->*command)(); });
    };
    add(file, "SaveBmp", "Save as BMP ...", &TfrmMap::miSaveBitmapClick);
    add(file, "SaveVrml", "Save as VRML...", &TfrmMap::miSaveVrmlClick);
    add(file, "RotationFrames", "Make rotation frames...", &TfrmMap::miRotationFramesClick);
    add(file, "HtmlView", "Make HTML View", &TfrmMap::miHtmlViewClick);
    add(file, "PostScriptPlot", "MakePSPlot...", &TfrmMap::miPostScriptClick);
    QMenu* view = bar->addMenu("&View");
    view->setObjectName("MapViewMenu");
    add(view, "BackgroundColor", "Background color", &TfrmMap::miBackgroundColorClick);
}

void TfrmMap::SetDataset(data::TData* dataset)
{
    Dataset_ = dataset;
    SwitchMap(dataset ? dataset->CurrentMap() : nullptr);
}

void TfrmMap::SwitchMap(map::TMap* map)
{
    // Only a map of the dataset shown can be shown.
    bool found = false;
    if (Dataset_)
        for (const auto& m : Dataset_->Maps)
            found = found || m.get() == map;
    Map_ = found ? map : nullptr;
    View_->Map = Map_;
    View_->SetCamera(Map_ ? &Map_->View.Camera : nullptr);
    View_->SetVisibility(Dataset_ && Map_ ? &Dataset_->Visibility : nullptr);
    View_->SetStyle(Map_ ? Map_->View.Style : view::TSceneStyle());
    View_->FollowLayers();
    ChooseTool(ToolMode_);
    FillTabs();
    ShowCaption();
    RebuildAndRedraw();
}

void TfrmMap::FillTabs()
{
    const QSignalBlocker block(Tabs_);
    while (Tabs_->count() > 0)
        Tabs_->removeTab(0);
    int current = -1;
    if (Dataset_)
        for (std::size_t m = 0; m < Dataset_->Maps.size(); ++m) {
            Tabs_->addTab(QString::fromStdString(Dataset_->Maps[m]->Name));
            if (Dataset_->Maps[m].get() == Map_)
                current = static_cast<int>(m);
        }
    Tabs_->setCurrentIndex(current);
}

void TfrmMap::ShowCaption()
{
    setWindowTitle(Map_ ? "Map - " + QString::fromStdString(Map_->Name) : QString("Map - Noname:[Path]"));
}

void TfrmMap::Redraw()
{
    if (Map_)
        View_->SetStyle(Map_->View.Style);
    View_->FollowLayers();
    FollowCamera();
    // Names may have changed since the tabs were filled.
    if (Dataset_ && Tabs_->count() == static_cast<int>(Dataset_->Maps.size())) {
        for (int m = 0; m < Tabs_->count(); ++m)
            Tabs_->setTabText(m, QString::fromStdString(Dataset_->Maps[static_cast<std::size_t>(m)]->Name));
        ShowCaption();
    } else {
        FillTabs();
    }
    View_->update();
}

void TfrmMap::RebuildAndRedraw()
{
    if (Map_)
        app::RefreshMapGeometry(*Map_);
    Redraw();
}

void TfrmMap::FollowCamera()
{
    const view::TCamera& camera = View_->Camera();
    Following_ = true;
    RotZ_->setValue(camera.RotZ);
    RotX_->setValue(camera.RotX);
    Zoom_->setValue(std::clamp(view::ZoomForCameraDistance(camera.CameraDistance), 20, 1000));
    Following_ = false;
}

void TfrmMap::ShowSize()
{
    Size_->setText(QString("%1x%2").arg(View_->width()).arg(View_->height()));
}

void TfrmMap::RotationSliderMoved()
{
    if (Following_)
        return;
    view::TCamera& camera = View_->Camera();
    camera.RotZ = RotZ_->value();
    camera.RotX = RotX_->value();
    View_->UpdateFacing();
    View_->update();
}

void TfrmMap::SetZoomSlider(int value)
{
    Zoom_->setValue(std::clamp(value, 20, 1000));
}

int TfrmMap::ZoomSlider() const
{
    return Zoom_->value();
}

void TfrmMap::ZoomSliderMoved(int value)
{
    if (Following_)
        return;
    View_->SetZoom(value);
    // Markers keep their size on screen whatever the zoom.
    if (Map_)
        view::ScaleMarkers(*Map_);
}

void TfrmMap::SetToolMode(int tool)
{
    ChooseTool(tool);
}

void TfrmMap::ChooseTool(int tool)
{
    ToolMode_ = std::clamp(tool, 0, 3);
    View_->SetToolMode(static_cast<view::TToolMode>(ToolMode_));
    if (Map_)
        Map_->View.ToolMode = static_cast<view::TToolMode>(ToolMode_);
    Tool_->setText(ToolCaptions[ToolMode_]);
    for (QAction* action : ToolMenu_->actions())
        action->setChecked(action->data().toInt() == ToolMode_);
}

void TfrmMap::SetTextures(const TTextureImages* textures)
{
    View_->SetTextures(textures);
}

void TfrmMap::ResetClick()
{
    view::TCamera& camera = View_->Camera();
    switch (static_cast<view::TToolMode>(ToolMode_)) {
    case view::TToolMode::Rotate:
        camera.RotX = 0;
        camera.RotZ = 0;
        View_->UpdateFacing();
        break;
    case view::TToolMode::Shift:
        camera.PanX = 0;
        camera.PanY = 0;
        break;
    case view::TToolMode::Scale:
        if (OnZoomBoxText)
            OnZoomBoxText("470");
        break;
    case view::TToolMode::Select:
        break;
    }
    FollowCamera();
    View_->update();
}

void TfrmMap::miBackgroundColorClick()
{
    if (!CheckMapShown())
        return;
    const QColor chosen =
        QColorDialog::getColor(QColorFromPacked(Map_->View.Style.BackgroundColor), this, "Background color");
    if (!chosen.isValid())
        return;
    Map_->View.Style.BackgroundColor = chosen.red() + 256 * chosen.green() + 65536 * chosen.blue();
    View_->SetBackground(Map_->View.Style.BackgroundColor);
}

bool TfrmMap::CheckMapShown() const
{
    if (Map_)
        return true;
    UserInterface().ShowMessage("The map window shows no map.");
    return false;
}

} // namespace orbelin::gui

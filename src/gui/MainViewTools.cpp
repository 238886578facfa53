// The main window's side of the view panels and of the selection, annotation and
// colour-grading windows: the drawing switches, redrawing the map views, and the labels and
// hints laid over them.
#include "app/TDispatcher.h"
#include "data/TData.h"
#include "gui/TColoringPanel.h"
#include "gui/TMapViewOverlay.h"
#include "gui/TSelectionsPanel.h"
#include "gui/TViewPanel.h"
#include "gui/TVisMap.h"
#include "gui/TfmAnnot.h"
#include "gui/TfmColorScale.h"
#include "gui/TfmSelectData.h"
#include "gui/TfrmMainWnd.h"
#include "gui/TfrmMap.h"
#include "gui/TfrmTable.h"
#include "map/TMap.h"
#include "view/ConnectionSet.h"
#include "view/ViewGeometry.h"

#include <QAction>
#include <QDialog>
#include <QMdiArea>
#include <QScreen>

namespace orbelin::gui {

namespace {

const view::TSceneStyle DefaultStyle;

} // namespace

void ShowToolWindow(QDialog* dialog)
{
    if (!dialog->property("placed").toBool()) {
        dialog->adjustSize();
        if (const QScreen* screen = dialog->screen())
            dialog->move(screen->availableGeometry().center() - dialog->rect().center());
        dialog->setProperty("placed", true);
    }
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

TViewPanel* TfrmMainWnd::ViewPanel() const
{
    return static_cast<TViewPanel*>(Panels_->Panel(app::ViewPanel));
}

TColoringPanel* TfrmMainWnd::ColoringPanel() const
{
    return static_cast<TColoringPanel*>(Panels_->Panel(app::ColoringPanel));
}

void TfrmMainWnd::CreateViewTools()
{
    ColorScale_ = new TfmColorScale(this);
    ColorScale_->hide();
    SelectData_ = new TfmSelectData(*this);
    SelectData_->hide();
    Annot_ = new TfmAnnot(*this);
    Annot_->hide();

    const auto toggle = [this](QDialog* dialog, std::initializer_list<const char*> names) {
        for (const char* name : names) {
            QAction* action = Actions_.value(name);
            action->setProperty("pending", false);
            action->setCheckable(true);
            connect(action, &QAction::triggered, this, [this, dialog](bool on) {
                Run([this, dialog, on] {
                    if (on)
                        ShowToolWindow(dialog);
                    else
                        dialog->hide();
                    if (TfrmTable* window = TableWindow(); window && window->Script())
                        window->RefreshGrid();
                });
            });
        }
    };
    toggle(SelectData_, {"SelectingObjects", "ObjectSelectionButton"});
    toggle(Annot_, {"Annotation"});
    SelectData_->OnClosed = [this] {
        Actions_.value("SelectingObjects")->setChecked(false);
        Actions_.value("ObjectSelectionButton")->setChecked(false);
    };
    Annot_->OnClosed = [this] { Actions_.value("Annotation")->setChecked(false); };
}

void TfrmMainWnd::RefreshViewTools()
{
    if (!SelectData_ || Destroying_)
        return;
    const app::TCurrentChain chain = app::CurrentChain(Dispatcher_.Project());
    // The windows work on the current table and map; without them they go.
    if (!chain.Table)
        SelectData_->hide();
    if (!chain.Map)
        Annot_->hide();
    if (chain.Table != ViewToolsTable_ || chain.Map != ViewToolsMap_) {
        ViewToolsTable_ = chain.Table;
        ViewToolsMap_ = chain.Map;
        if (SelectData_->isVisible())
            SelectData_->Refresh();
        if (Annot_->isVisible())
            Annot_->Refresh();
    }
    for (const char* name : {"SelectingObjects", "ObjectSelectionButton"}) {
        Actions_.value(name)->setEnabled(chain.Table != nullptr);
        Actions_.value(name)->setChecked(SelectData_->isVisible());
    }
    Actions_.value("Annotation")->setEnabled(chain.Map != nullptr);
    Actions_.value("Annotation")->setChecked(Annot_->isVisible());
    AttachViewOverlays();
}

std::vector<TVisMap*> TfrmMainWnd::MapViews() const
{
    const QList<TVisMap*> views = Workspace_->findChildren<TVisMap*>();
    return {views.begin(), views.end()};
}

map::TMap* TfrmMainWnd::MapOfView(const TVisMap& view) const
{
    // Only the addresses are compared: a view may still point at the layers of a map that
    // has just been freed.
    const view::TLayer* layers = view.Layers().data();
    const app::TProject* project = Dispatcher_.Project();
    if (Destroying_ || !layers || !project)
        return nullptr;
    for (const auto& script : project->Scripts)
        for (const auto& dataset : script->Datasets)
            for (const auto& map : dataset->Maps)
                if (map->Layers.data() == layers && map->Layers.size() == view.Layers().size())
                    return map.get();
    return nullptr;
}

void TfrmMainWnd::AttachViewOverlays()
{
    for (TVisMap* view : MapViews()) {
        TMapViewOverlay* overlay = TMapViewOverlay::Attach(view);
        if (overlay->Resolve)
            continue;
        overlay->Resolve = [this](const TVisMap& v) { return MapOfView(v); };
        overlay->HintFields = [this] { return Selections_->MarkedFields(); };
    }
}

void TfrmMainWnd::MapViewChanged()
{
    AttachViewOverlays();
    for (TVisMap* view : MapViews()) {
        view->update();
        if (auto* overlay = TMapViewOverlay::Attach(view))
            overlay->update();
    }
}

void TfrmMainWnd::DataPointsChanged()
{
    // A map under training gets its points redrawn with its next step.
    const auto rebuild = [](map::TMap& map) {
        if (!map.Layers.empty() && !map.Training) {
            view::RebuildDataPoints(map);
            view::ScaleMarkers(map);
        }
    };
    const app::TCurrentChain chain = app::CurrentChain(Dispatcher_.Project());
    TfrmMap* window = MapWindow();
    map::TMap* shown = window ? window->Map() : nullptr;
    if (chain.Script && chain.Table)
        for (const auto& dataset : chain.Script->Datasets)
            if (dataset->Table == chain.Table)
                for (const auto& map : dataset->Maps) {
                    rebuild(*map);
                    if (map.get() == shown)
                        shown = nullptr;
                }
    if (shown)
        rebuild(*shown);
    // Only the points changed: the rest of the views, the coloring above all, stays.
    RefreshDatasetWindows();
    MapViewChanged();
}

void TfrmMainWnd::SetDrawingSwitch(view::TDrawingSwitch which, bool on)
{
    Switches_[which] = on;
    if (map::TMap* map = app::CurrentChain(Dispatcher_.Project()).Map)
        view::ApplyDrawingSwitch(map->Layers, Switches_, which);
    MapViewChanged();
}

void TfrmMainWnd::SetConnections(bool on)
{
    Connections_ = on;
    if (map::TMap* map = app::CurrentChain(Dispatcher_.Project()).Map)
        view::ApplyConnectionsSwitch(*map, on);
    MapViewChanged();
}

void TfrmMainWnd::SetAxisSwitch(int axis, bool shown, int color)
{
    if (axis < 0 || axis > 2)
        return;
    map::TMap* map = app::CurrentChain(Dispatcher_.Project()).Map;
    if (!map)
        return;
    const auto a = static_cast<std::size_t>(axis);
    map->View.Style.AxisVisible[a] = shown ? 1 : 0;
    map->View.Style.AxisColor[a] = color;
    for (TVisMap* view : MapViews())
        if (MapOfView(*view) == map) {
            view::TSceneStyle style = view->Style();
            style.AxisVisible[a] = shown ? 1 : 0;
            style.AxisColor[a] = color;
            view->SetStyle(style);
        }
    MapViewChanged();
}

bool TfrmMainWnd::AxisShown(int axis) const
{
    const map::TMap* map = app::CurrentChain(Dispatcher_.Project()).Map;
    const view::TSceneStyle& style = map ? map->View.Style : DefaultStyle;
    return axis >= 0 && axis < 3 && style.AxisVisible[static_cast<std::size_t>(axis)] != 0;
}

int TfrmMainWnd::AxisColor(int axis) const
{
    const map::TMap* map = app::CurrentChain(Dispatcher_.Project()).Map;
    const view::TSceneStyle& style = map ? map->View.Style : DefaultStyle;
    return axis >= 0 && axis < 3 ? style.AxisColor[static_cast<std::size_t>(axis)] : 0;
}

void TfrmMainWnd::AdoptSwitchesOf(const map::TMap& map)
{
    // While "Not draw all" hides every layer, the switches keep what turning it off
    // restores.
    if (Switches_.NotDrawAll)
        return;
    const std::vector<view::TLayer>& layers = map.Layers;
    if (layers.size() > 0)
        Switches_.Datas = layers[0].Visible;
    if (layers.size() > 1) {
        Switches_.Net = layers[1].Visible;
        Switches_.NetNodes = layers[1].Visible && layers[1].PointObject.Visible;
        Switches_.NetLines = layers[1].Visible && layers[1].LineObject.Visible;
    }
    if (layers.size() > 2)
        Switches_.Colorings = layers[2].Visible;
    if (layers.size() > 3) {
        Switches_.Selections = layers[3].Visible;
        Switches_.Objects = layers[3].GeometryObject.Visible != 0;
    }
}

} // namespace orbelin::gui

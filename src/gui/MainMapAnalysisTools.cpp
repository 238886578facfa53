// The main window's side of the map/value analysis and weights windows: their toggles,
// keeping them with the current objects, and the 3D view's hover reports.
#include "app/TDispatcher.h"
#include "gui/TVisMap.h"
#include "gui/TfmMapAnalyze.h"
#include "gui/TfmWeights.h"
#include "gui/TfrmMainWnd.h"
#include "gui/TfrmMap.h"
#include "map/TMap.h"

#include <QAction>

namespace orbelin::gui {

namespace {

bool HasGrid(const map::TMap* map)
{
    return map && map->Grid;
}

} // namespace

void TfrmMainWnd::CreateMapAnalysisTools()
{
    MapAnalyze_ = new TfmMapAnalyze(*this);
    MapAnalyze_->hide();
    Weights_ = new TfmWeights(*this);
    Weights_->hide();
    const auto toggle = [this](QDialog* window, std::initializer_list<const char*> names, auto opens) {
        for (const char* name : names) {
            QAction* action = Actions_.value(name);
            action->setProperty("pending", false);
            action->setCheckable(true);
            connect(action, &QAction::triggered, this, [this, window, opens](bool on) {
                Run([this, window, opens, on] {
                    if (on && opens(app::CurrentChain(Dispatcher_.Project())))
                        ShowToolWindow(window);
                    else
                        window->close();
                    RefreshMapAnalysisTools();
                });
            });
        }
    };
    toggle(MapAnalyze_, {"MapAnalysis", "ValueMapAnalysis"},
           [](const app::TCurrentChain& chain) { return HasGrid(chain.Map); });
    toggle(Weights_, {"Weights"}, [](const app::TCurrentChain& chain) { return chain.Table && chain.Dataset; });
    MapAnalyze_->OnClosed = [this] {
        for (const char* name : {"MapAnalysis", "ValueMapAnalysis"})
            Actions_.value(name)->setChecked(false);
        ConnectMapAnalysis(MapWindow());
    };
    Weights_->OnClosed = [this] { Actions_.value("Weights")->setChecked(false); };
}

void TfrmMainWnd::RefreshMapAnalysisTools()
{
    if (!MapAnalyze_ || Destroying_)
        return;
    const app::TCurrentChain chain = app::CurrentChain(Dispatcher_.Project());
    const bool grid = HasGrid(chain.Map);
    if (!grid)
        MapAnalyze_->close();
    else if (chain.Map != MapAnalysisMap_ && MapAnalyze_->isVisible())
        MapAnalyze_->Reset();
    MapAnalysisMap_ = grid ? chain.Map : nullptr;
    if (!chain.Table || !chain.Dataset)
        Weights_->close();
    else if (Weights_->isVisible())
        Weights_->Refresh();
    for (const char* name : {"MapAnalysis", "ValueMapAnalysis"}) {
        Actions_.value(name)->setEnabled(grid);
        Actions_.value(name)->setChecked(MapAnalyze_->isVisible());
    }
    ConnectMapAnalysis(MapWindow());
    Actions_.value("Weights")->setEnabled(chain.Table && chain.Dataset);
    Actions_.value("Weights")->setChecked(Weights_->isVisible());
}

void TfrmMainWnd::ConnectMapAnalysis(TfrmMap* window)
{
    // The view picks the points under the mouse only for a listener: without the window
    // shown, a mouse move over many points costs nothing here.
    if (!window)
        return;
    if (!MapAnalyze_ || !MapAnalyze_->isVisible()) {
        window->View()->OnHoverPoints = nullptr;
        return;
    }
    window->View()->OnHoverPoints = [this, window](const std::vector<int>& points, QPoint position) {
        if (MapAnalyze_ && MapAnalyze_->isVisible() && MapAnalyze_->Map() && window->Map() == MapAnalyze_->Map())
            MapAnalyze_->Hover(points, position, *window->View());
    };
}

} // namespace orbelin::gui

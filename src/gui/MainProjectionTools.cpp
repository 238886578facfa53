// The main window's side of the linear separation machine, the projection pursuit and
// biplot windows and the principal components dialog: their commands, and keeping them
// with the current dataset and map.
#include "app/TDispatcher.h"
#include "gui/TQtUserInterface.h"
#include "gui/TViewPanel.h"
#include "gui/TfmBiplot.h"
#include "gui/TfmLinearMachine.h"
#include "gui/TfmMainCompCalc.h"
#include "gui/TfmProjectionPursuit.h"
#include "gui/TfrmMainWnd.h"
#include "map/TMap.h"

#include <QAction>

namespace orbelin::gui {

void TfrmMainWnd::CreateProjectionTools()
{
    CompCalc_ = new TfmMainCompCalc(this);
    CompCalc_->hide();
    // Computations that let the user choose the number of components ask through the
    // user-interface service; the desktop's service shows this dialog.
    if (auto* qt = dynamic_cast<TQtUserInterface*>(&UserInterface()))
        qt->SetComponentsDialog(CompCalc_);

    LinearMachine_ = new TfmLinearMachine(*this);
    LinearMachine_->hide();
    Pursuit_ = new TfmProjectionPursuit(*this);
    Pursuit_->hide();
    // The view list offers the new result at once.
    Pursuit_->OnAdded = [this] { ViewPanel()->Refresh(); };
    Biplot_ = new TfmBiplot(*this);
    Biplot_->hide();
    Biplot_->OnRaysChanged = [this](map::TMap& map) {
        AdoptSwitchesOf(map);
        ViewPanel()->Refresh();
        MapViewChanged();
    };

    const auto connectAction = [this](const char* name, std::function<void()> command) {
        QAction* action = Action(name);
        action->setProperty("pending", false);
        connect(action, &QAction::triggered, this, [this, command] { Run(command); });
    };
    const auto show = [](QDialog* window) {
        window->show();
        window->raise();
        window->activateWindow();
    };
    connectAction("LinearMachine", [this] {
        if (app::CurrentChain(Dispatcher_.Project()).Dataset)
            LinearMachine_->exec();
    });
    connectAction("ProjectionPursuit", [this, show] {
        if (app::CurrentChain(Dispatcher_.Project()).Dataset)
            show(Pursuit_);
    });
    connectAction("CreateBiplot", [this, show] {
        if (app::CurrentChain(Dispatcher_.Project()).Map)
            show(Biplot_);
    });
}

void TfrmMainWnd::RefreshProjectionTools()
{
    if (!Pursuit_ || Destroying_)
        return;
    const app::TCurrentChain chain = app::CurrentChain(Dispatcher_.Project());
    if (chain.Dataset != ProjectionDataset_) {
        // A projector of another dataset goes, even while the window is hidden.
        ProjectionDataset_ = chain.Dataset;
        Pursuit_->Refresh();
        if (!chain.Dataset)
            Pursuit_->close();
    }
    if (chain.Map != ProjectionMap_) {
        ProjectionMap_ = chain.Map;
        if (!chain.Map)
            Biplot_->close();
        else if (Biplot_->isVisible())
            Biplot_->Refresh();
    }
    Actions_.value("LinearMachine")->setEnabled(chain.Dataset != nullptr);
    Actions_.value("ProjectionPursuit")->setEnabled(chain.Dataset != nullptr);
    Actions_.value("CreateBiplot")->setEnabled(chain.Map != nullptr);
}

} // namespace orbelin::gui

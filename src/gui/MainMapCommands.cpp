// The main window's map commands: the map panel's hooks, training and its end when the
// program closes, the auto-create dialog, the experimenter's corner, the mouse tools, the
// rotation buttons and the map window's notifications.
#include "app/MapMembers.h"
#include "app/MapPanelCommands.h"
#include "data/TData.h"
#include "gui/TMapPanel.h"
#include "gui/TRotationAnimation.h"
#include "gui/TSelectionsPanel.h"
#include "gui/TfmAutoMap.h"
#include "gui/TfmMinimaExperiment.h"
#include "gui/TfrmMainWnd.h"
#include "gui/TfrmMap.h"
#include "map/TMap.h"
#include "numeric/TUserInterface.h"
#include "view/ViewChoices.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QThread>
#include <QToolBar>
#include <QToolButton>

namespace orbelin::gui {

void TfrmMainWnd::CreateMapTools()
{
    MapPanel_->OnMapChanged = [this](map::TMap& map) {
        RedrawMap(map);
        RefreshMapCommands();
    };
    MapPanel_->OnAutosetting = [this] { miAutosettingClick(false); };

    AutoMap_ = new TfmAutoMap(this);
    AutoMap_->hide();
    AutoMap_->CurrentDataset = [this] { return app::CurrentChain(Dispatcher_.Project()).Dataset; };
    AutoMap_->NewMapName = [this]() -> std::string {
        const app::TProject* project = Dispatcher_.Project();
        const app::TCurrentChain chain = app::CurrentChain(project);
        return chain.Script ? app::NextMapName(*project, project->CurrentScript, chain.Script->CurrentDataset)
                            : std::string("Map");
    };
    // The map being built is shown and listed from its first step.
    AutoMap_->OnStarted = [this](map::TMap& map) { Run([this, &map] { Apply(Dispatcher_.AdoptMap(map)); }); };
    AutoMap_->OnStep = [this](map::TMap& map) { RedrawMap(map); };
    AutoMap_->OnFinished = [this](map::TMap& map) {
        Run([this, &map] { Apply(Dispatcher_.AdoptMap(map)); });
        RedrawMap(map);
    };
    AutoMap_->OnRecipesChanged = [this] { RefreshRecipeList(); };

    Experiments_ = new TfmMinimaExperiment(this);
    Experiments_->hide();
    Experiments_->OnRedraw = [this](map::TMap& map) { RedrawMap(map); };

    Animation_ = new TRotationAnimation(this);
    // The labels over the view follow its repaints; the track bars follow here.
    Animation_->OnFrame = [this] {
        if (TfrmMap* window = MapWindow())
            window->FollowCamera();
    };

    const auto connectAction = [this](const char* name, std::function<void()> command) {
        QAction* action = Action(name);
        action->setProperty("pending", false);
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, [this, command] { Run(command); });
    };
    connectAction("Adjust", [this] { MapPanel_->AdjustClick(); });
    connectAction("Autosetting", [this] { miAutosettingClick(true); });
    connectAction("AutosettingButton", [this] { miAutosettingClick(true); });
    connectAction("SeeIt", [this] { miSeeItClick(); });
    connectAction("Experiments", [this] { miExperimentsClick(); });
    // The Map menu's entries do what the panel's buttons of the same name do.
    connectAction("Initialize", [this] { MapPanel_->InitializeClick(); });
    connectAction("Interrupt", [this] { MapPanel_->InterruptClick(); });

    // The rotation buttons turn the view while they are held down; "Last" turns it 11 degrees.
    QToolBar* instruments = Toolbar("Instruments");
    const auto button = [&](const char* name) {
        return qobject_cast<QToolButton*>(instruments->widgetForAction(Action(name)));
    };
    for (auto [name, axis] : {std::pair{"RotateX", view::TRotationAxis::X}, {"RotateZ", view::TRotationAxis::Z}}) {
        QToolButton* held = button(name);
        connect(held, &QToolButton::pressed, this, [this, axis] { StartRotation(axis, -1); });
        connect(held, &QToolButton::released, Animation_, &TRotationAnimation::Stop);
    }
    connect(Action("RotateZ11"), &QAction::triggered, this, [this] { StartRotation(view::TRotationAxis::Z, 11); });
    RefreshMapCommands();
}

void TfrmMainWnd::ConnectMapWindow(TfrmMap* window)
{
    window->SetTextures(&Textures_);
    window->OnMapTab = [this](int map) {
        Run([this, map] { Apply(Dispatcher_.ListClick(app::TObjectList::Maps, map)); });
    };
    window->OnToolChosen = [this](int tool) { SetMouseTool(tool); };
    window->OnZoomBoxText = [this](const QString& text) { ZoomEdit_->setText(text); };
    window->OnSelectPoints = [this](const std::vector<int>& points) {
        Run([this, &points] { MarkPickedPoints(points); });
    };
    window->OnViewPressed = [this] { Animation_->Stop(); };
    ConnectMapAnalysis(window);
}

void TfrmMainWnd::RefreshMapViews()
{
    TfrmMap* window = MapWindow();
    map::TMap* map = window ? window->Map() : app::CurrentChain(Dispatcher_.Project()).Map;
    if (map)
        app::RefreshMapGeometry(*map);
    RedrawMapView();
}

void TfrmMainWnd::RedrawMapView()
{
    if (TfrmMap* window = MapWindow())
        window->Redraw();
}

void TfrmMainWnd::RedrawMap(const map::TMap& map)
{
    if (TfrmMap* window = MapWindow(); window && window->Map() == &map)
        window->Redraw();
}

void TfrmMainWnd::SetMouseTool(int tool)
{
    MouseTool_ = std::clamp(tool, 0, 3);
    const char* names[] = {"ToolSelect", "ToolRotate", "ToolShift", "ToolScale"};
    Action(names[MouseTool_])->setChecked(true);
    if (TfrmMap* window = MapWindow())
        window->SetToolMode(MouseTool_);
}

void TfrmMainWnd::RefreshMapCommands()
{
    if (!MapPanel_ || !AutoMap_)
        return;
    const app::TCurrentChain chain = app::CurrentChain(Dispatcher_.Project());
    Action("Adjust")->setEnabled(chain.Map && chain.Map->Grid && !MapPanel_->TrainingMap());
    Action("Initialize")->setEnabled(chain.Map);
    Action("Interrupt")->setEnabled(chain.Map);
    Action("Autosetting")->setEnabled(chain.Dataset);
    Action("AutosettingButton")->setEnabled(chain.Dataset);
    // "See It!" runs a stored recipe, so it waits for one.
    Action("SeeIt")->setEnabled(chain.Dataset && AlgorithmBox_->count() > 0);
    Action("Experiments")->setEnabled(chain.Map);
}

void TfrmMainWnd::RefreshRecipeList()
{
    const int current = AlgorithmBox_->currentIndex();
    AlgorithmBox_->clear();
    for (const map::TMapCreationAlg& recipe : AutoMap_->StoredRecipes())
        AlgorithmBox_->addItem(QString::fromStdString(recipe.Name));
    AlgorithmBox_->setCurrentIndex(std::clamp(current, 0, AlgorithmBox_->count() - 1));
    RefreshMapCommands();
}

void TfrmMainWnd::miAutosettingClick(bool newMap)
{
    const app::TCurrentChain chain = app::CurrentChain(Dispatcher_.Project());
    if (!chain.Dataset || AutoMap_->Running())
        return;
    AutoMap_->SetAddNewMap(newMap);
    AutoMap_->exec();
    // The construction may still be finishing after a "Close"; its end selects the map again.
    if (map::TMap* map = app::CurrentChain(Dispatcher_.Project()).Map)
        Apply(Dispatcher_.AdoptMap(*map));
}

void TfrmMainWnd::miSeeItClick()
{
    const app::TCurrentChain chain = app::CurrentChain(Dispatcher_.Project());
    const int recipe = AlgorithmBox_->currentIndex();
    if (!chain.Dataset || recipe < 0 || AutoMap_->Running())
        return;
    AutoMap_->SetAddNewMap(true);
    AutoMap_->ChooseRecipe(recipe);
    AutoMap_->StartClick();
    if (AutoMap_->Running())
        AutoMap_->exec();
    // The result is shown in the map's internal coordinates.
    if (map::TMap* map = app::CurrentChain(Dispatcher_.Project()).Map; map && !map->Training) {
        view::ChooseViewItem(*map, view::ViewListItems(map->Data)[2]);
        Apply(Dispatcher_.AdoptMap(*map));
        RedrawMap(*map);
    }
}

void TfrmMainWnd::miExperimentsClick()
{
    if (map::TMap* map = app::CurrentChain(Dispatcher_.Project()).Map) {
        Experiments_->Open(*map);
        RedrawMap(*map);
    }
}

void TfrmMainWnd::StartRotation(view::TRotationAxis axis, int frames)
{
    TfrmMap* window = MapWindow();
    if (!window || !window->Map())
        return;
    const std::optional<int> pause = view::RotationPause(PauseEdit_->text().toStdString());
    if (!pause) {
        UserInterface().ShowMessage("The rotation pause is a whole number of milliseconds from 0 to 600000, not \"" +
                                    PauseEdit_->text().toStdString() + "\".");
        return;
    }
    Animation_->SetView(window->View());
    Animation_->Start(axis, *pause, frames);
}

void TfrmMainWnd::StartDemoRotation()
{
    TfrmMap* window = MapWindow();
    if (!window || !window->Map())
        return;
    window->View()->Camera().RotZ += 20;
    window->View()->UpdateFacing();
    window->FollowCamera();
    StartRotation(view::TRotationAxis::X, -1);
}

void TfrmMainWnd::MarkPickedPoints(const std::vector<int>& points)
{
    TfrmMap* window = MapWindow();
    data::TData* dataset = window ? window->Dataset() : nullptr;
    if (!dataset)
        return;
    data::MarkPoints(*dataset, TArray1I(points.begin(), points.end()), SelectionProperties_.Color,
                     SelectionProperties_.Size, data::MarkToggle);
    Selections_->Refresh();
    DataPointsChanged();
}

void TfrmMainWnd::StopTrainingAndWait()
{
    if (AutoMap_)
        AutoMap_->StopClick();
    if (Experiments_)
        Experiments_->Stop();
    const auto stopAll = [this] {
        bool training = false;
        if (const app::TProject* project = Dispatcher_.Project())
            for (const auto& script : project->Scripts)
                for (const auto& dataset : script->Datasets)
                    for (const auto& map : dataset->Maps)
                        if (map->Training) {
                            map->StopRequested = true;
                            training = true;
                        }
        return training;
    };
    if (!stopAll())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The worker hands each step's progress to this thread and waits for it, and its end is
    // queued here too: serve both until every run has ended. User input waits meanwhile.
    while (stopAll()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
        QThread::msleep(2);
    }
    QApplication::restoreOverrideCursor();
}

void TfrmMainWnd::closeEvent(QCloseEvent* event)
{
    StopTrainingAndWait();
    QMainWindow::closeEvent(event);
}

} // namespace orbelin::gui

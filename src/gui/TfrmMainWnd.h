// The main window: menus, toolbars, the object dispatcher tree and the object manipulation
// window around a workspace that holds the table and map windows.
#pragma once

#include "app/DemoProject.h"
#include "app/TDispatcher.h"
#include "gui/TObjectPanels.h"
#include "gui/TextureImages.h"
#include "view/DrawingSwitches.h"
#include "view/SelectionStyle.h"
#include "view/TCamera.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

class QAction;
class QComboBox;
class QDialog;
class QDockWidget;
class QLineEdit;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace orbelin::gui {

class TColoringPanel;
class TMapPanel;
class TObjectTreeView;
class TRotationAnimation;
class TSelectionsPanel;
class TViewPanel;
class TVisMap;
class TfmAnnot;
class TfmAutoMap;
class TfmBiplot;
class TfmLinearMachine;
class TfmMainCompCalc;
class TfmProjectionPursuit;
class TfmColorPoints;
class TfmDataStat;
class TfmColorScale;
class TfmMapAnalyze;
class TfmMinimaExperiment;
class TfmSelectData;
class TfmSelectionProperties;
class TfmWeights;
class TfrmMap;
class TfrmTable;

/// Shows a tool window in front; the first time, sized to its contents and in the centre
/// of the screen.
void ShowToolWindow(QDialog* dialog);

/// Holds the dispatcher (the open project and its tree) and carries out the TUpdate of
/// every dispatcher call: the tree view, the panels, the child windows, the menus. Every
/// command runs through Run, which shows an error that escapes it in a message box.
///
/// Actions, menus, toolbars and panels carry object names (the command's name without
/// blanks: "LoadTable", "SaveData") so that they can be found.
class TfrmMainWnd : public QMainWindow, public TPanelHost {
    Q_OBJECT
public:
    /// Sets up the window in start-up order; loadDemo starts the one-second timer that
    /// loads the demonstration project.
    explicit TfrmMainWnd(bool loadDemo = true, QWidget* parent = nullptr);
    ~TfrmMainWnd() override;

    app::TDispatcher& Dispatcher() override { return Dispatcher_; }
    void Apply(const app::TUpdate& update) override;
    void Run(const std::function<void()>& command) override;
    void DatasetViewChanged() override;
    void TablesRefreshed() override;

    /// Loads the demonstration project into the open one.
    void LoadDemo();
    bool DemoLoaded() const { return DemoLoaded_; }
    const app::TDemoReport& DemoReport() const { return DemoReport_; }

    /// Load table for a file chosen beforehand: reads it off the user-interface thread
    /// with a progress dialog that can cancel it, then adds it.
    void LoadTableFile(const std::string& path);
    /// What dropping files on the window does: tables are loaded, a project file is
    /// opened, a map or dataset file is loaded.
    void OpenFiles(const QStringList& paths);
    /// Whether a dropped file would be taken.
    static bool CanOpenFile(const QString& path);

    TObjectTreeView* Tree() const { return Tree_; }
    TObjectPanels* Panels() const { return Panels_; }
    TSelectionsPanel* SelectionsPanel() const { return Selections_; }
    QDockWidget* DispatcherDock() const { return DispatcherDock_; }
    QDockWidget* ObjectsDock() const { return ObjectsDock_; }
    QMdiArea* Workspace() const { return Workspace_; }
    /// The map window, or null while there is none.
    TfrmMap* MapWindow() const;
    /// The table window, or null while there is none.
    TfrmTable* TableWindow() const;
    TfmSelectionProperties* SelectionPropertiesDialog() const { return SelectProp_; }
    TMapPanel* MapPanel() const { return MapPanel_; }
    TfmAutoMap* AutoMapDialog() const { return AutoMap_; }
    TfmMinimaExperiment* ExperimentsDialog() const { return Experiments_; }
    TRotationAnimation* Rotation() const { return Animation_; }

    /// What the panels call after they changed what the map window shows (view type, axes,
    /// switches, colorings, sets): the shown map's view geometry is rebuilt and the view
    /// redrawn. While the map trains, its next step rebuilds it instead.
    void RefreshMapViews();
    /// Redraws the map window's view without rebuilding anything (visibility, colours).
    void RedrawMapView();
    /// The mouse tool of the toolbar and the map window (0 select .. 3 scale).
    void SetMouseTool(int tool);
    /// Stops every training run of the project (and the construction or experiment that
    /// chains them) and lets the runs end, serving them meanwhile; nothing trains afterwards.
    void StopTrainingAndWait();
    const view::TSelectionProperties& SelectionProperties() const { return SelectionProperties_; }
    QAction* Action(const QString& name) const { return Actions_.value(name); }
    QMenu* Menu(const QString& name) const;
    QToolBar* Toolbar(const QString& name) const;

    const view::TDrawingSwitches& Switches() const { return Switches_; }
    bool ConnectionsOn() const { return Connections_; }

    // The view panels, the selection, annotation and colour-grading windows, and what the
    // main window shows over the map views (MainViewTools.cpp).
    TViewPanel* ViewPanel() const;
    TColoringPanel* ColoringPanel() const;
    TfmSelectData* SelectDataDialog() const { return SelectData_; }
    TfmAnnot* AnnotationWindow() const { return Annot_; }
    TfmColorScale* ColorScaleDialog() const { return ColorScale_; }
    /// The statistics and object analysis windows (MainAnalysisTools.cpp).
    TfmDataStat* StatisticsWindow() const { return DataStat_; }
    TfmColorPoints* ObjectAnalysisWindow() const { return ColorPoints_; }
    /// The separation machine, projection pursuit, biplot and components windows
    /// (MainProjectionTools.cpp).
    TfmLinearMachine* LinearMachineWindow() const { return LinearMachine_; }
    TfmProjectionPursuit* ProjectionPursuitWindow() const { return Pursuit_; }
    TfmBiplot* BiplotWindow() const { return Biplot_; }
    TfmMainCompCalc* ComponentsDialog() const { return CompCalc_; }
    /// The map/value analysis and weights windows (MainMapAnalysisTools.cpp).
    TfmMapAnalyze* MapAnalysisWindow() const { return MapAnalyze_; }
    TfmWeights* WeightsWindow() const { return Weights_; }
    /// The style the selection dialog gives records, which the table window uses too.
    view::TSelectionStyle& SelectionStyle() { return SelectionStyle_; }
    /// A drawing switch changed: its state is kept and applied to the current map's layers;
    /// the views are redrawn.
    void SetDrawingSwitch(view::TDrawingSwitch which, bool on);
    /// "Connections": the current map's dataset gains or loses its connection set.
    void SetConnections(bool on);
    /// "Axis X", "Axis Y", "Axis Z" (0, 1, 2): whether the current map's view draws the axis
    /// and in which packed colour.
    void SetAxisSwitch(int axis, bool shown, int color);
    bool AxisShown(int axis) const;
    int AxisColor(int axis) const;
    /// The layer switches take the states of the map's layers (unless "Not draw all" hides
    /// them all), so that the switches show what the view shows.
    void AdoptSwitchesOf(const map::TMap& map);
    /// The current map's layers changed: the 3D views showing it repaint and the annotation
    /// labels are placed again.
    void MapViewChanged();
    /// The styles or the selection of the current dataset's points changed: the data points
    /// of its maps are rebuilt, the table window repaints and the views redraw.
    void DataPointsChanged();
    /// The table window's grid and the set toolbar follow the current dataset's points.
    void RefreshDatasetWindows();
    /// The 3D views in the workspace, and the map each one shows (null when none of the
    /// project's maps).
    std::vector<TVisMap*> MapViews() const;
    map::TMap* MapOfView(const TVisMap& view) const;
    int MouseTool() const { return MouseTool_; }
    const TTextureImages& Textures() const { return Textures_; }
    bool SettingsFileFound() const { return SettingsFound_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Start-up.
    void CreateActions();
    void CreateMenus();
    void CreateToolbars();
    void CreateDocks();
    void CreateToolWindows();
    /// The selection, annotation and colour-grading windows and their commands.
    void CreateViewTools();
    /// Enables their commands for the current objects and refreshes them when those change.
    void RefreshViewTools();
    /// The statistics and object analysis windows and their toggles.
    void CreateAnalysisTools();
    /// Enables the toggles for the current dataset; the windows follow it or go without one.
    void RefreshAnalysisTools();
    /// The separation machine, projection pursuit, biplot and components windows and
    /// their commands.
    void CreateProjectionTools();
    /// Enables their commands for the current dataset and map; the windows follow them.
    void RefreshProjectionTools();
    /// The map/value analysis and weights windows and their toggles.
    void CreateMapAnalysisTools();
    /// Enables the toggles for the current objects; the windows follow them or go.
    void RefreshMapAnalysisTools();
    /// While the map/value analysis window is shown, the map window's hover reports reach it.
    void ConnectMapAnalysis(TfrmMap* window);
    /// Lays the annotation and hint overlay over every 3D view in the workspace.
    void AttachViewOverlays();
    void PlaceOnScreen();
    QAction* AddAction(const char* name, const QString& text, std::function<void()> command = {},
                       const QKeySequence& shortcut = {});
    /// An entry whose command comes with a later window: shown by the menu rules, never enabled.
    QAction* AddPendingAction(const char* name, const QString& text, const QKeySequence& shortcut = {});

    // Refreshes.
    void RefreshMenus();
    void RefreshSetToolbar();
    void SelectInTree(const app::TTreeNode* node);

    // The table window.
    void CreateTableWindow();
    void CloseTableWindow();
    /// After every update: the table window shows the current script's tables, or closes
    /// when there is no current table, and redraws when the current dataset changed.
    void SyncTableWindow();
    /// Runs a command that may free scripts or tables: the table window lets go of them
    /// first and shows what is left afterwards.
    void RunFreeing(const std::function<app::TUpdate()>& command);
    void TablePageTurned(int table);

    // The map window.
    void ShowMapWindow(bool maximise);
    void CloseMapWindow();
    void MapWindowClosedByUser();
    /// Drops the map window's dataset and map when they are no longer in the project.
    void CheckMapWindowObjects();
    /// The map panel's hooks, the auto-create dialog, the experimenter's corner, the
    /// rotation animation and the map commands of the menus and toolbars.
    void CreateMapTools();
    void ConnectMapWindow(TfrmMap* window);
    /// Redraws the map window when it shows that map.
    void RedrawMap(const map::TMap& map);
    /// Enables the map commands for the current objects.
    void RefreshMapCommands();
    void StartRotation(view::TRotationAxis axis, int frames);
    /// After the demonstration project: turned 20 degrees about Z, rotating about X.
    void StartDemoRotation();
    void MarkPickedPoints(const std::vector<int>& points);
    void miAutosettingClick(bool newMap);
    void miSeeItClick();
    void miExperimentsClick();
    void RefreshRecipeList();

    // Commands of the menus and toolbars.
    void miLoadTableClick();
    void miExportProjectionsClick();
    void tbbDeleteTableClick();
    void tbbDeleteDatasetClick();
    void tbbDatasetPropertiesClick();
    void miScaleDatasetClick(bool scale);
    void ArrangeWindows(Qt::Orientation orientation);
    void ZoomEntered();
    void miAboutClick();
    void miHelpPresentationsClick();
    /// Runs a command on the current dataset, if there is one.
    void OnDataset(const std::function<void(data::TData&)>& command);

    app::TDispatcher Dispatcher_;
    QHash<QString, QAction*> Actions_;
    QMdiArea* Workspace_ = nullptr;
    QPointer<QMdiSubWindow> MapSubWindow_;
    QPointer<QMdiSubWindow> TableSubWindow_;
    const data::TData* TableWindowDataset_ = nullptr;
    TfmSelectionProperties* SelectProp_ = nullptr;
    TMapPanel* MapPanel_ = nullptr;
    TfmAutoMap* AutoMap_ = nullptr;
    TfmMinimaExperiment* Experiments_ = nullptr;
    TRotationAnimation* Animation_ = nullptr;
    TfmSelectData* SelectData_ = nullptr;
    TfmAnnot* Annot_ = nullptr;
    TfmColorScale* ColorScale_ = nullptr;
    TfmDataStat* DataStat_ = nullptr;
    TfmColorPoints* ColorPoints_ = nullptr;
    const data::TData* AnalysisDataset_ = nullptr;
    TfmLinearMachine* LinearMachine_ = nullptr;
    TfmProjectionPursuit* Pursuit_ = nullptr;
    TfmBiplot* Biplot_ = nullptr;
    TfmMainCompCalc* CompCalc_ = nullptr;
    const data::TData* ProjectionDataset_ = nullptr;
    const map::TMap* ProjectionMap_ = nullptr;
    TfmMapAnalyze* MapAnalyze_ = nullptr;
    TfmWeights* Weights_ = nullptr;
    const map::TMap* MapAnalysisMap_ = nullptr;
    const data::TDataTable* ViewToolsTable_ = nullptr;
    const map::TMap* ViewToolsMap_ = nullptr;
    view::TSelectionStyle SelectionStyle_;
    view::TSelectionProperties SelectionProperties_;
    TObjectTreeView* Tree_ = nullptr;
    TObjectPanels* Panels_ = nullptr;
    TSelectionsPanel* Selections_ = nullptr;
    QDockWidget* DispatcherDock_ = nullptr;
    QDockWidget* ObjectsDock_ = nullptr;
    QComboBox* StyleSetBox_ = nullptr;
    QComboBox* VisibilitySetBox_ = nullptr;
    QComboBox* MapBox_ = nullptr;
    QComboBox* AlgorithmBox_ = nullptr;
    QLineEdit* ZoomEdit_ = nullptr;
    QLineEdit* PauseEdit_ = nullptr;

    view::TDrawingSwitches Switches_;
    bool Connections_ = false;
    int MouseTool_ = 1;
    int Zoom_ = 300;
    TTextureImages Textures_;
    bool SettingsFound_ = false;
    bool FirstShown_ = false;
    bool Destroying_ = false; ///< child windows going with the main window report nothing
    bool DemoLoaded_ = false;
    app::TDemoReport DemoReport_;
    bool FillingSetToolbar_ = false;
};

} // namespace orbelin::gui

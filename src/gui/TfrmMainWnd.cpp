// The main window's start-up, its docks and workspace, and how it carries out the
// dispatcher's updates.
#include "gui/TfrmMainWnd.h"

#include "app/FileDialogs.h"
#include "app/StartUp.h"
#include "app/TableImport.h"
#include "data/TData.h"
#include "gui/TColoringPanel.h"
#include "gui/TMapPanel.h"
#include "gui/TObjectTreeView.h"
#include "gui/TQtUserInterface.h"
#include "gui/TRotationAnimation.h"
#include "gui/TSelectionsPanel.h"
#include "gui/TTablePanel.h"
#include "gui/TViewPanel.h"
#include "gui/TfmSelectionProperties.h"
#include "gui/TfrmMap.h"
#include "gui/TfrmTable.h"
#include "map/TMap.h"
#include "numeric/TUserInterface.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

namespace orbelin::gui {

namespace {

/// The object manipulation window's width.
constexpr int ObjectsWindowWidth = 188;

} // namespace

TfrmMainWnd::TfrmMainWnd(bool loadDemo, QWidget* parent) : QMainWindow(parent)
{
    setObjectName("MainWindow");
    setWindowTitle("Orbelin");
    setAcceptDrops(true);
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowNestedDocks);

    Workspace_ = new QMdiArea(this);
    Workspace_->setObjectName("Workspace");
    setCentralWidget(Workspace_);

    CreateDocks();
    CreateActions();
    CreateMenus();
    CreateToolbars();
    // The menus as they are without a project.
    RefreshMenus();
    app::SetNumberConventions();
    SettingsFound_ = app::SettingsFileFound(QCoreApplication::applicationDirPath().toStdString());
    Textures_ = LoadTextureImages(QDir::currentPath());
    Dispatcher_.ConnectMap = [](map::TMap&) {
        // The map window's one 3D view shows every map, so its hover and click handlers
        // are attached to the window (ConnectMapWindow), not to each map.
    };
    CreateToolWindows();
    PlaceOnScreen();
    statusBar()->showMessage("Drop a table file (.obt, .csv, .tsv, .dat, .db, .dbf) here to load it.");

    if (loadDemo)
        QTimer::singleShot(1000, this, [this] { Run([this] { LoadDemo(); }); });
}

TfrmMainWnd::~TfrmMainWnd()
{
    // A training run's last notifications reach the panels; they go only after it.
    StopTrainingAndWait();
    Destroying_ = true;
    // Imports cancelled by the user may still be reading; they own what they touch.
    WaitForBackgroundWork();
    // The windows that point into the project go before it.
    if (TfrmTable* window = TableWindow())
        window->ShowTables(nullptr);
    delete TableSubWindow_;
    delete MapSubWindow_;
}

void TfrmMainWnd::CreateDocks()
{
    Tree_ = new TObjectTreeView(Dispatcher_, this);
    Tree_->OnSelectNode = [this](const app::TTreeNode& node) { Run([&] { Apply(Dispatcher_.SelectNode(node)); }); };
    Tree_->OnRenamed = [this](const app::TTreeNode&) {
        for (int panel = 1; panel <= 9; ++panel)
            Panels_->RefreshPanel(panel);
        if (TfrmMap* window = MapWindow())
            window->SwitchMap(window->Map());
        // Page titles are table names.
        if (TfrmTable* window = TableWindow(); window && window->Script())
            window->ShowTables(window->Script());
    };
    DispatcherDock_ = new QDockWidget("Object dispatcher", this);
    DispatcherDock_->setObjectName("DispatcherDock");
    DispatcherDock_->setWidget(Tree_);

    Panels_ = new TObjectPanels(this);
    const auto run = [this](auto command) { return [this, command] { Apply(command()); }; };
    using TButton = TListPanel::TButton;
    auto& d = Dispatcher_;
    Panels_->AddPanel(
        new TListPanel(app::ScriptsPanel, "Scripts", app::TObjectList::Scripts,
                       {TButton{"Add script", "AddScript", run([&d] { return d.AddScript(); })},
                        TButton{"Delete script", "DeleteScript",
                                [this] {
                                    auto* list = static_cast<TListPanel*>(Panels_->Panel(1))->List();
                                    Apply(Dispatcher_.DeleteScript(list->currentRow()));
                                }},
                        TButton{"Run script", "RunScript", {}}, TButton{"Interrupt", "InterruptScript", {}},
                        TButton{"Edit script", "EditScript", {}}},
                       *this, Panels_));
    Panels_->AddPanel(new TListPanel(app::TablesPanel, "Tables", app::TObjectList::Tables,
                                     {TButton{"Add table", "AddTable", [this] { miLoadTableClick(); }},
                                      TButton{"Delete table", "DeleteTable", [this] { tbbDeleteTableClick(); }}},
                                     *this, Panels_));
    Panels_->AddPanel(new TTablePanel(*this, Panels_));
    Panels_->AddPanel(
        new TListPanel(app::DatasetsPanel, "Datasets", app::TObjectList::Datasets,
                       {TButton{"Load dataset", "LoadDataset", run([&d] { return d.LoadDataset(); })},
                        TButton{"Delete dataset", "DeleteDataset", [this] { tbbDeleteDatasetClick(); }},
                        TButton{"Dataset properties", "DatasetProperties", [this] { tbbDatasetPropertiesClick(); }}},
                       *this, Panels_));
    Panels_->AddPanel(new TListPanel(app::MapsPanel, "Maps", app::TObjectList::Maps,
                                     {TButton{"Add map", "AddMap", run([&d] { return d.AddMap(); })},
                                      TButton{"Delete map", "DeleteMap",
                                              [this] {
                                                  auto* list = static_cast<TListPanel*>(Panels_->Panel(5))->List();
                                                  Apply(Dispatcher_.DeleteMap(list->currentRow()));
                                              }},
                                      TButton{"Load map", "LoadMap", run([&d] { return d.LoadMap(); })}},
                                     *this, Panels_));
    MapPanel_ = new TMapPanel(*this, Panels_);
    Panels_->AddPanel(MapPanel_);
    Panels_->AddPanel(new TViewPanel(*this, Panels_));
    Panels_->AddPanel(new TColoringPanel(*this, Panels_));
    Selections_ = new TSelectionsPanel(*this, Panels_);
    Panels_->AddPanel(Selections_);

    ObjectsDock_ = new QDockWidget("Work with objects", this);
    ObjectsDock_->setObjectName("ObjectsDock");
    ObjectsDock_->setWidget(Panels_);

    addDockWidget(Qt::RightDockWidgetArea, DispatcherDock_);
    splitDockWidget(DispatcherDock_, ObjectsDock_, Qt::Horizontal);
    DispatcherDock_->hide();
    ObjectsDock_->hide();
}

void TfrmMainWnd::CreateToolWindows()
{
    // Tool windows are created here once and stay hidden until their command shows them:
    // the selection, statistics, object analysis, components, auto-create, annotation,
    // time-series, separation machine, map analysis, weights, projection pursuit, colour
    // scale and biplot windows join as they are built.
    SelectProp_ = new TfmSelectionProperties(this);
    SelectProp_->setObjectName("SelectionProperties");
    SelectProp_->hide();
    connect(Selections_->SelectPropButton(), &QPushButton::clicked, this,
            [this] { Run([this] { SelectProp_->Edit(SelectionProperties_); }); });
    CreateViewTools();
    CreateAnalysisTools();
    CreateProjectionTools();
    CreateMapAnalysisTools();
    CreateMapTools();
}

void TfrmMainWnd::PlaceOnScreen()
{
    // Most of a laptop screen, and no more than a comfortable size on a large one; sizes
    // are in device-independent pixels, so high-DPI screens scale them.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    const int width = std::min(1400, available.width() * 9 / 10);
    const int height = std::min(900, available.height() * 9 / 10);
    resize(width, height);
    move(available.center() - QPoint(width / 2, height / 2));
}

void TfrmMainWnd::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (FirstShown_)
        return;
    FirstShown_ = true;
    Run([this] { Apply(Dispatcher_.NewProject()); });
}

void TfrmMainWnd::Run(const std::function<void()>& command)
{
    try {
        command();
    } catch (const std::exception& e) {
        UserInterface().ShowMessage(e.what());
    }
    RefreshMenus();
}

void TfrmMainWnd::SelectInTree(const app::TTreeNode* node)
{
    app::TDispatcher::TSyncScope scope(Dispatcher_);
    Tree_->SelectNode(node);
}

void TfrmMainWnd::Apply(const app::TUpdate& update)
{
    if (update.Ignored)
        return;
    if (update.TreeChanged)
        Tree_->Rebuild();
    if (update.Select)
        SelectInTree(update.Select);
    for (int panel : update.RefreshPanels)
        Panels_->RefreshPanel(panel);
    if (update.ShowPanel == app::ViewPanel)
        ViewPanel()->SetViewMode(QString::fromStdString(update.PanelTitle), update.DataPointSwitch, update.NetSwitch);
    if (update.ShowPanel != app::NoPanel)
        Panels_->ShowPanel(update.ShowPanel);

    if (update.TablePage >= 0)
        if (TfrmTable* window = TableWindow(); window && window->Script())
            window->SetCurrentPage(update.TablePage);
    SyncTableWindow();

    if (update.MapWindow.Close)
        CloseMapWindow();
    if (update.MapWindow.Show)
        ShowMapWindow(update.MapWindow.Maximise);
    if (update.MapWindow.SwitchMap)
        if (TfrmMap* window = MapWindow()) {
            if (Animation_)
                Animation_->Stop();
            window->SwitchMap(app::CurrentChain(Dispatcher_.Project()).Map);
        }
    if (update.MapWindow.Maximise && MapSubWindow_)
        MapSubWindow_->showMaximized();
    CheckMapWindowObjects();

    if (update.ShowObjectWindows) {
        DispatcherDock_->show();
        ObjectsDock_->show();
        resizeDocks({ObjectsDock_}, {ObjectsWindowWidth}, Qt::Horizontal);
    }
    if (update.ToggleObjectWindows) {
        DispatcherDock_->setVisible(!DispatcherDock_->isVisible());
        ObjectsDock_->setVisible(!ObjectsDock_->isVisible());
    }
    if (update.HideDispatcher)
        DispatcherDock_->hide();
    RefreshSetToolbar();
    RefreshMenus();
    if (update.CloseMainWindow)
        close();
}

void TfrmMainWnd::DatasetViewChanged()
{
    RefreshDatasetWindows();
    RefreshMapViews();
}

void TfrmMainWnd::RefreshDatasetWindows()
{
    if (TfrmTable* window = TableWindow(); window && window->Script())
        window->RefreshGrid();
    RefreshSetToolbar();
}

void TfrmMainWnd::LoadDemo()
{
    const app::TUpdate update = Dispatcher_.LoadDemo(app::TDemoFiles(), DemoReport_);
    // Before the update shows the Datapoints panel, so its switch shows the connections on.
    Connections_ = DemoReport_.Connections;
    Apply(update);
    DemoLoaded_ = true;
    if (DemoReport_.SelectFirstSets) {
        Selections_->Refresh();
        Selections_->SelectFirstSets();
        RefreshSetToolbar();
    }
    StartDemoRotation();
    if (!DemoReport_.Errors.empty())
        UserInterface().ShowMessage(DemoReport_.Message());
    else if (!DemoReport_.Complete())
        statusBar()->showMessage(QString::fromStdString(DemoReport_.Message()));
}

TfrmMap* TfrmMainWnd::MapWindow() const
{
    return MapSubWindow_ ? qobject_cast<TfrmMap*>(MapSubWindow_->widget()) : nullptr;
}

void TfrmMainWnd::ShowMapWindow(bool maximise)
{
    const app::TCurrentChain chain = app::CurrentChain(Dispatcher_.Project());
    if (Animation_)
        Animation_->Stop();
    bool created = false;
    if (!MapSubWindow_) {
        auto* window = new TfrmMap;
        ConnectMapWindow(window);
        created = true;
        MapSubWindow_ = Workspace_->addSubWindow(window);
        MapSubWindow_->setAttribute(Qt::WA_DeleteOnClose);
        MapSubWindow_->resize(Workspace_->viewport()->size() * 9 / 10);
        // Down and to the right of the table window's corner, so both title bars show.
        MapSubWindow_->move(MapSubWindow_->fontMetrics().height() * 2, MapSubWindow_->fontMetrics().height() * 2);
        connect(MapSubWindow_, &QObject::destroyed, this, [this] { MapWindowClosedByUser(); });
    }
    if (MapWindow()->Dataset() != chain.Dataset)
        MapWindow()->SetDataset(chain.Dataset);
    MapWindow()->SwitchMap(chain.Map);
    MapWindow()->SetToolMode(MouseTool_);
    // A new map window starts at zoom 320; later the track bar follows each map's camera.
    if (created)
        MapWindow()->SetZoomSlider(320);
    if (maximise)
        MapSubWindow_->showMaximized();
    else
        MapSubWindow_->show();
}

void TfrmMainWnd::CloseMapWindow()
{
    if (!MapSubWindow_)
        return;
    QMdiSubWindow* window = MapSubWindow_;
    MapSubWindow_ = nullptr;
    disconnect(window, &QObject::destroyed, this, nullptr);
    delete window;
}

void TfrmMainWnd::MapWindowClosedByUser()
{
    if (Destroying_)
        return;
    Dispatcher_.MapWindowClosed();
    RefreshMenus();
}

void TfrmMainWnd::CheckMapWindowObjects()
{
    TfrmMap* window = MapWindow();
    if (!window || !window->Dataset())
        return;
    bool datasetFound = false, mapFound = false;
    if (const app::TProject* project = Dispatcher_.Project())
        for (const auto& script : project->Scripts)
            for (const auto& dataset : script->Datasets)
                if (dataset.get() == window->Dataset()) {
                    datasetFound = true;
                    for (const auto& map : dataset->Maps)
                        mapFound = mapFound || map.get() == window->Map();
                }
    if (!datasetFound)
        window->SetDataset(nullptr);
    else if (!mapFound)
        window->SwitchMap(window->Dataset()->CurrentMap());
}

bool TfrmMainWnd::CanOpenFile(const QString& path)
{
    static const QStringList known = {"obt", "dat", "csv", "tsv", "db", "dbf", "obp", "obm", "obd"};
    const QFileInfo info(path);
    return info.isFile() && known.contains(info.suffix().toLower());
}

void TfrmMainWnd::OpenFiles(const QStringList& paths)
{
    for (const QString& path : paths) {
        if (!CanOpenFile(path))
            continue;
        Run([this, &path] {
            const std::string file = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()).toStdString();
            // A dropped file counts as one chosen in a dialog.
            app::SetWorkingDirectoryOf(file);
            const QString suffix = QFileInfo(path).suffix().toLower();
            if (suffix == "obp")
                RunFreeing([this, &file] { return Dispatcher_.OpenProjectFile(file); });
            else if (suffix == "obm")
                Apply(Dispatcher_.LoadMapFile(file));
            else if (suffix == "obd")
                Apply(Dispatcher_.LoadDatasetFile(file));
            else
                LoadTableFile(file);
        });
    }
}

void TfrmMainWnd::LoadTableFile(const std::string& path)
{
    auto table = std::make_shared<data::TDataTable>();
    const QString caption = "Loading " + QFileInfo(QString::fromStdString(path)).fileName() + " ...";
    if (!RunInBackground(this, caption, [table, path] { *table = app::ImportTable(path); }))
        return;
    Apply(Dispatcher_.AddLoadedTable(std::move(*table)));
}

void TfrmMainWnd::dragEnterEvent(QDragEnterEvent* event)
{
    if (!event->mimeData()->hasUrls())
        return;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile() && CanOpenFile(url.toLocalFile())) {
            event->acceptProposedAction();
            return;
        }
}

void TfrmMainWnd::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    event->acceptProposedAction();
    // After the drop has finished: the import may show a dialog.
    QTimer::singleShot(0, this, [this, paths] { OpenFiles(paths); });
}

} // namespace orbelin::gui

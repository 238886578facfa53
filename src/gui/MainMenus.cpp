// The main window's actions, menus and toolbars, and the rules that show and hide them.
#include "app/MenuState.h"
#include "app/SelectionCommands.h"
#include "data/TData.h"
#include "gui/TSelectionsPanel.h"
#include "gui/TfrmMainWnd.h"
#include "map/TMap.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QDockWidget>
#include <QIntValidator>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace orbelin::gui {

namespace {

/// The set toolbar's lists are this wide.
constexpr int SetListWidth = 172;

} // namespace

QAction* TfrmMainWnd::AddAction(const char* name, const QString& text, std::function<void()> command,
                                const QKeySequence& shortcut)
{
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    if (command)
        connect(action, &QAction::triggered, this, [this, command] { Run(command); });
    Actions_.insert(name, action);
    return action;
}

QAction* TfrmMainWnd::AddPendingAction(const char* name, const QString& text, const QKeySequence& shortcut)
{
    QAction* action = AddAction(name, text, {}, shortcut);
    action->setEnabled(false);
    action->setProperty("pending", true);
    return action;
}

void TfrmMainWnd::CreateActions()
{
    auto& d = Dispatcher_;
    const auto apply = [this](auto command) { return [this, command] { Apply(command()); }; };
    const QStyle* style = this->style();

    // Project.
    AddAction("New", "New", [this, &d] {
        RunFreeing([&d] { return d.NewProject(); });
    })->setIcon(style->standardIcon(QStyle::SP_FileIcon));
    AddAction(
        "Open", "Open", [this, &d] { RunFreeing([&d] { return d.OpenProject(); }); }, QKeySequence("Ctrl+O"))
        ->setIcon(style->standardIcon(QStyle::SP_DialogOpenButton));
    AddAction("Save", "Save", [&d] { d.SaveProject(); });
    AddAction("SaveProjectButton", "Save project", [&d] {
        d.SaveProject();
    })->setIcon(style->standardIcon(QStyle::SP_DialogSaveButton));
    AddAction("SaveAs", "Save as ...", [&d] { d.SaveProjectAs(); });
    AddAction("Close", "Close", [this, &d] { RunFreeing([&d] { return d.CloseProject(); }); });
    AddAction("Exit", "Exit", apply([&d] { return d.Exit(); }));
    AddAction("ExportProjections", "Export of projections", [this] { miExportProjectionsClick(); });
    for (const auto& [name, text] : {std::pair{"ExportMap", "Export of the map"},
                                     {"ExportData", "Export of data"},
                                     {"ExportProjectionsOfSelection", "Export projections of selection"},
                                     {"Import", "Import"}})
        AddAction(name, text)->setVisible(false);

    // Loading.
    AddAction("LoadTable", "Load table", [this] { miLoadTableClick(); });
    AddAction("LoadDatatable", "Load datatable", [this] { miLoadTableClick(); });
    AddAction("AddTable", "Add table", [this] { miLoadTableClick(); });
    AddAction("LoadDataset", "Load dataset", apply([&d] { return d.LoadDataset(); }), QKeySequence("Alt+D"));
    // Both entries are named with Alt+D; one shortcut serves them, as two would be ambiguous.
    AddAction("LoadData", "Load data\tAlt+D", apply([&d] { return d.LoadDataset(); }));
    AddAction("LoadMap", "Load map", apply([&d] { return d.LoadMap(); }), QKeySequence("Alt+M"));
    AddAction("LoadScript", "Load script");

    // Scripts and tables.
    AddAction("ScriptAdd", "Add", apply([&d] { return d.AddScript(); }));
    AddAction("AddScript", "Add script", apply([&d] { return d.AddScript(); }));
    const auto deleteScript = [this] {
        if (const app::TProject* project = Dispatcher_.Project()) {
            const int script = project->CurrentScript;
            RunFreeing([this, script] { return Dispatcher_.DeleteScript(script); });
        }
    };
    AddAction("ScriptDelete", "Delete", deleteScript);
    AddAction("DeleteScript", "Delete script", deleteScript);
    AddAction("ScriptDeleteTable", "Delete table");
    AddAction("DeleteTable", "Delete table", [this] { tbbDeleteTableClick(); });
    for (const char* name : {"ScriptRun", "ScriptInterrupt", "ScriptEdit", "ScriptCopy", "ScriptLoad", "ScriptSave"})
        AddAction(name, QString(name).mid(6))->setVisible(false);

    // Datasets.
    AddAction("CreateDataset", "Create dataset", apply([&d] { return d.CreateDataset(); }));
    AddAction("DataDeleteDataset", "Delete dataset");
    AddAction("DeleteDataset", "Delete dataset", [this] { tbbDeleteDatasetClick(); });
    AddAction("DatasetPropertiesButton", "Dataset properties", [this] { tbbDatasetPropertiesClick(); });
    AddAction(
        "SaveData", "Save data", [&d] { d.SaveData(); }, QKeySequence("Ctrl+D"));
    AddAction("LoadObjects", "Load objects",
              [this] { OnDataset([](data::TData& ds) { app::LoadObjectsFromFile(ds); }); });
    AddAction("LoadLines", "Load lines", [this] { OnDataset([](data::TData& ds) { app::LoadLinesFromFile(ds); }); });
    AddAction("RememberStyles", "Remember Colors and Sizes",
              [this] { OnDataset([](data::TData& ds) { app::RememberStyles(ds); }); });
    AddAction("RememberVisibility", "Remember Visibility");
    AddAction(
        "ScaleDataset", "Scale dataset", [this] { miScaleDatasetClick(true); }, QKeySequence("Ctrl+Z"));
    AddAction(
        "UnscaleDataset", "Unscale dataset", [this] { miScaleDatasetClick(false); }, QKeySequence("Ctrl+Alt+Z"));
    AddPendingAction("Statistics", "Statistics");
    AddPendingAction("SelectingObjects", "Selecting objects");
    AddPendingAction("ObjectSelectionButton", "Object selection");
    AddPendingAction("AnalysisOfObjects", "Analysis of objects");
    AddPendingAction("ObjectAnalysis", "Object analysis");
    AddPendingAction("LinearMachine", "Linear desicison machine");
    AddPendingAction("Weights", "Weights");
    AddPendingAction("ProjectionPursuit", "Projection pursuit");
    for (const auto& [name, text] :
         {std::pair{"DatasetProperties", "Dataset properties"}, {"InformationModels", "Information models"}})
        AddAction(name, text)->setVisible(false);

    // Maps.
    AddAction("MapAdd", "Add ");
    AddAction("MapDelete", "Delete");
    AddAction("MapProperties", "Properties");
    AddAction("Initialize", "Initialize");
    AddPendingAction("Adjust", "Adjust", QKeySequence("F9"));
    AddAction("Interrupt", "Interrupt");
    AddAction(
        "SaveMap", "Save map", [&d] { d.SaveMap(); }, QKeySequence("Ctrl+M"));
    AddPendingAction("Autosetting", "Autosetting", QKeySequence("Ctrl+Alt+M"));
    AddPendingAction("AutosettingButton", "Autosetting");
    AddPendingAction("SeeIt", "See It!");
    AddPendingAction("Experiments", "Experiments");
    AddPendingAction("CreateBiplot", "Create biplot", QKeySequence("Ctrl+Alt+B"));
    AddPendingAction("Annotation", "Annotation");
    AddPendingAction("MapAnalysis", "Map analysis");
    AddPendingAction("ValueMapAnalysis", "Value/Map analysis");
    AddAction("FitToScreen", "Fit to Screen");
    for (const auto& [name, text] : {std::pair{"CalculateErrors", "Calculate errors"},
                                     {"RefreshMap", "Refresh "},
                                     {"AnalysisOfImportance", "Analysis of importance"},
                                     {"TestingModel", "Testing model"}})
        AddAction(name, text)->setVisible(false);

    // Windows and toolbars: checkable entries kept in step with what they show.
    QAction* dispatcher = AddAction("ObjectDispatcher", "Object dispatcher");
    dispatcher->setCheckable(true);
    connect(dispatcher, &QAction::triggered, DispatcherDock_, &QWidget::setVisible);
    connect(DispatcherDock_, &QDockWidget::visibilityChanged, dispatcher,
            [this, dispatcher] { dispatcher->setChecked(DispatcherDock_->isVisible()); });
    QAction* objects = AddAction("WorkWithObjects", "Work with objects");
    objects->setCheckable(true);
    connect(objects, &QAction::triggered, ObjectsDock_, &QWidget::setVisible);
    connect(ObjectsDock_, &QDockWidget::visibilityChanged, objects,
            [this, objects] { objects->setChecked(ObjectsDock_->isVisible()); });

    AddAction("Cascade", "&Cascade", [this] { Workspace_->cascadeSubWindows(); });
    AddAction("TileHorizontal", "&Horizontal", [this] { ArrangeWindows(Qt::Horizontal); });
    AddAction("TileVertical", "&Vertical", [this] { ArrangeWindows(Qt::Vertical); });
    AddAction("MinimizeAll", "&Minimize all", [this] {
        for (QMdiSubWindow* window : Workspace_->subWindowList())
            window->showMinimized();
    });
    AddAction("CloseAll", "&Close all", [this] { Workspace_->closeAllSubWindows(); });
    AddAction("NextWindow", "Table/Map", [this] { Workspace_->activateNextSubWindow(); });

    AddAction("About", "About ...", [this] { miAboutClick(); });
    AddAction("HelpPresentations", "Help presentations", [this] { miHelpPresentationsClick(); });

    // Mouse tools of the 3D view, one at a time.
    auto* tools = new QActionGroup(this);
    const char* toolNames[] = {"ToolSelect", "ToolRotate", "ToolShift", "ToolScale"};
    const char* toolTexts[] = {"Object selection", "Map rotating", "Map shift", "Map scale"};
    for (int tool = 0; tool < 4; ++tool) {
        QAction* action = AddAction(toolNames[tool], toolTexts[tool], [this, tool] { SetMouseTool(tool); });
        action->setCheckable(true);
        action->setChecked(tool == MouseTool_);
        tools->addAction(action);
    }
    // The rotation buttons turn the 3D view while they are held down.
    AddAction("RotateX", "Edit")->setToolTip("Edit");
    AddAction("RotateZ", "Next")->setToolTip("Next");
    AddAction("RotateZ11", "Last")->setToolTip("Last");
}

QMenu* TfrmMainWnd::Menu(const QString& name) const
{
    return menuBar()->findChild<QMenu*>(name);
}

QToolBar* TfrmMainWnd::Toolbar(const QString& name) const
{
    return findChild<QToolBar*>(name);
}

void TfrmMainWnd::CreateMenus()
{
    const auto menu = [this](QMenu* parent, const char* name, const QString& title) {
        QMenu* m = parent ? parent->addMenu(title) : menuBar()->addMenu(title);
        m->setObjectName(name);
        return m;
    };
    const auto add = [this](QMenu* m, std::initializer_list<const char*> names) {
        for (const char* name : names) {
            if (*name == 0)
                m->addSeparator();
            else
                m->addAction(Actions_.value(name));
        }
    };

    add(menu(nullptr, "FileMenu", "&File"),
        {"New", "Open", "Save", "SaveAs", "Close", "", "LoadTable", "LoadDataset", "LoadMap", "LoadScript", "",
         "ExportProjections", "ExportMap", "ExportData", "ExportProjectionsOfSelection", "Import", "", "Exit"});
    add(menu(nullptr, "ScriptMenu", "&Script"),
        {"ScriptAdd", "ScriptDelete", "", "AddTable", "ScriptDeleteTable", "LoadData", "", "ScriptRun",
         "ScriptInterrupt", "ScriptEdit", "ScriptCopy", "ScriptLoad", "ScriptSave"});
    add(menu(nullptr, "DataMenu", "&Data"),
        {"CreateDataset", "DataDeleteDataset", "SaveData", "DatasetProperties", "", "LoadObjects", "LoadLines",
         "RememberStyles", "RememberVisibility", "", "ScaleDataset", "UnscaleDataset", "", "Statistics",
         "SelectingObjects", "AnalysisOfObjects", "LinearMachine", "InformationModels"});
    QMenu* mapMenu = menu(nullptr, "MapMenu", "&Map");
    add(mapMenu, {"MapAdd",
                  "MapDelete",
                  "MapProperties",
                  "",
                  "LoadMap",
                  "SaveMap",
                  "",
                  "Initialize",
                  "Adjust",
                  "Interrupt",
                  "Autosetting",
                  "Experiments",
                  "",
                  "CreateBiplot",
                  "Annotation",
                  "MapAnalysis",
                  "CalculateErrors",
                  "RefreshMap",
                  "AnalysisOfImportance",
                  "TestingModel",
                  "",
                  "FitToScreen"});
    // The radio entries of the tools submenu name the mouse tools but leave them to the
    // toolbar.
    QMenu* tools = menu(mapMenu, "ToolsMenu", "Tools");
    auto* toolGroup = new QActionGroup(tools);
    for (const char* text : {"Object selection", "Map rotating", "Map shift", "Map scale"}) {
        QAction* entry = tools->addAction(text);
        entry->setCheckable(true);
        toolGroup->addAction(entry);
    }
    for (const char* text : {"User", "Expert"})
        tools->addAction(text)->setVisible(false);

    QMenu* view = menu(nullptr, "ViewMenu", "&View");
    add(view, {"ObjectDispatcher", "WorkWithObjects", ""});
    // The toolbar entries are filled in when the toolbars exist.
    add(menu(nullptr, "WindowMenu", "&Window"),
        {"Cascade", "TileHorizontal", "TileVertical", "MinimizeAll", "CloseAll", "", "NextWindow"});
    add(menu(nullptr, "HelpMenu", "&Help"), {"About", "HelpPresentations"});
}

void TfrmMainWnd::CreateToolbars()
{
    const auto toolbar = [this](const char* name, const QString& title, std::initializer_list<const char*> names) {
        QToolBar* bar = addToolBar(title);
        bar->setObjectName(name);
        for (const char* action : names) {
            if (*action == 0)
                bar->addSeparator();
            else
                bar->addAction(Actions_.value(action));
        }
        return bar;
    };
    Actions_.value("New")->setToolTip("New project");
    Actions_.value("Open")->setToolTip("Open project");
    toolbar("StandartPanel", "Standart panel", {"New", "Open", "SaveProjectButton", "LoadScript"});
    toolbar("FileOpening", "File opening",
            {"LoadDatatable", "AddTable", "LoadDataset", "LoadMap", "", "AddScript", "DeleteScript"});
    toolbar("WorkWithTable", "Work with table",
            {"ObjectSelectionButton", "CreateDataset", "DeleteTable", "DatasetPropertiesButton", "DeleteDataset", "",
             "Statistics", "ObjectAnalysis", "Weights", "ProjectionPursuit", "ValueMapAnalysis", "Annotation"});

    QToolBar* instruments =
        toolbar("Instruments", "Instruments",
                {"ToolSelect", "ToolRotate", "ToolShift", "ToolScale", "", "RotateX", "RotateZ", "RotateZ11", ""});
    ZoomEdit_ = new QLineEdit("300", instruments);
    ZoomEdit_->setObjectName("ZoomValue");
    ZoomEdit_->setValidator(new QIntValidator(0, 1000000, ZoomEdit_));
    ZoomEdit_->setMaximumWidth(ZoomEdit_->fontMetrics().horizontalAdvance("00000") + 12);
    connect(ZoomEdit_, &QLineEdit::returnPressed, this, [this] { ZoomEntered(); });
    instruments->addWidget(ZoomEdit_);
    auto* zoomButton = new QToolButton(instruments);
    zoomButton->setObjectName("ZoomMenu");
    zoomButton->setText("Zoom");
    zoomButton->setPopupMode(QToolButton::InstantPopup);
    auto* zoomMenu = new QMenu(zoomButton);
    for (const char* entry :
         {"20 (min)", "70", "100", "150", "200", "250", "300", "350", "400", "450", "500", "1000 (max)"}) {
        const int value = QString(entry).section(' ', 0, 0).toInt();
        connect(zoomMenu->addAction(entry), &QAction::triggered, this, [this, value] {
            ZoomEdit_->setText(QString::number(value));
            ZoomEntered();
        });
    }
    zoomButton->setMenu(zoomMenu);
    instruments->addWidget(zoomButton);
    PauseEdit_ = new QLineEdit("60", instruments);
    PauseEdit_->setObjectName("RotationPause");
    PauseEdit_->setToolTip("Rotation pause, milliseconds");
    PauseEdit_->setValidator(new QIntValidator(0, 100000, PauseEdit_));
    PauseEdit_->setMaximumWidth(ZoomEdit_->maximumWidth());
    instruments->addWidget(PauseEdit_);

    QToolBar* autosetting = toolbar("MapAutosetting", "Map autosetting", {});
    AlgorithmBox_ = new QComboBox(autosetting);
    AlgorithmBox_->setObjectName("AlgorithmList");
    AlgorithmBox_->setMinimumContentsLength(12);
    autosetting->addWidget(AlgorithmBox_);
    autosetting->addAction(Actions_.value("SeeIt"));
    autosetting->addAction(Actions_.value("AutosettingButton"));

    QToolBar* sets = addToolBar("Sets");
    sets->setObjectName("SetToolbar");
    const auto setBox = [&](const char* name, const QString& tip) {
        auto* box = new QComboBox(sets);
        box->setObjectName(name);
        box->setToolTip(tip);
        box->setFixedWidth(SetListWidth);
        sets->addWidget(box);
        return box;
    };
    StyleSetBox_ = setBox("StyleSetBox", "Colors and sizes");
    VisibilitySetBox_ = setBox("VisibilitySetBox", "Visibility");
    MapBox_ = setBox("MapBox", "Maps of the dataset");
    connect(StyleSetBox_, &QComboBox::activated, this, [this](int index) {
        OnDataset([index](data::TData& ds) { app::ChooseStyleSet(ds, index); });
        DatasetViewChanged();
    });
    connect(VisibilitySetBox_, &QComboBox::activated, this, [this](int index) {
        OnDataset([index](data::TData& ds) { app::ChooseVisibilitySet(ds, index); });
        DatasetViewChanged();
    });
    connect(MapBox_, &QComboBox::activated, this, [this](int index) {
        Run([this, index] {
            const app::TUpdate update = Dispatcher_.ListClick(app::TObjectList::Maps, index);
            Apply(update);
        });
    });
    insertToolBarBreak(instruments);

    // The View menu's toolbar entries: "Tools" stands for the instruments.
    QMenu* view = Menu("ViewMenu");
    const std::pair<const char*, const char*> entries[] = {{"StandartPanel", "Standart panel"},
                                                           {"FileOpening", "File opening"},
                                                           {"WorkWithTable", "Work with table"},
                                                           {"Instruments", "Tools"},
                                                           {"MapAutosetting", "Map autosetting"}};
    for (const auto& [name, text] : entries) {
        QToolBar* bar = Toolbar(name);
        const QByteArray actionName = QByteArray("Show") + name;
        QAction* entry = AddAction(actionName.constData(), text);
        entry->setCheckable(true);
        connect(entry, &QAction::triggered, bar, &QWidget::setVisible);
        connect(bar, &QToolBar::visibilityChanged, entry, &QAction::setChecked);
        view->addAction(entry);
    }
}

void TfrmMainWnd::RefreshMenus()
{
    const app::TProject* project = Dispatcher_.Project();
    const app::TCurrentChain chain = app::CurrentChain(project);
    const app::TMenuState s =
        app::ComputeMenuState(project != nullptr, chain, MapSubWindow_ != nullptr, TableSubWindow_ != nullptr);
    const auto show = [this](const char* name, bool visible) {
        if (QAction* action = Actions_.value(name))
            action->setVisible(visible);
    };
    show("Close", s.Close);
    show("ScriptAdd", s.ScriptAdd);
    show("LoadData", s.LoadData);
    show("LoadObjects", s.LoadObjects);
    show("AddTable", s.AddTable);
    show("ScriptDelete", s.ScriptDelete);
    show("CreateDataset", s.CreateDataset);
    show("ScriptDeleteTable", s.DeleteTable);
    show("SaveData", s.SaveData);
    show("DataDeleteDataset", s.DeleteDataset);
    show("Statistics", s.Statistics);
    show("AnalysisOfObjects", s.AnalysisOfObjects);
    show("Initialize", s.Initialize);
    show("SaveMap", s.SaveMap);
    show("MapDelete", s.MapDelete);
    show("MapProperties", s.MapProperties);
    show("Adjust", s.Adjust);
    show("Interrupt", s.Interrupt);
    Actions_.value("SaveProjectButton")->setEnabled(s.SaveProjectButton);

    Menu("ScriptMenu")->menuAction()->setVisible(s.ScriptMenu);
    Menu("WindowMenu")->menuAction()->setVisible(s.WindowMenu);
    Menu("DataMenu")->menuAction()->setVisible(s.DataMenu);
    Menu("MapMenu")->menuAction()->setVisible(s.MapMenu);
    for (QAction* entry : Menu("WindowMenu")->actions())
        entry->setEnabled(s.WindowEntries);

    const auto toolbar = [this](const char* name, bool visible, bool toggle) {
        Toolbar(name)->setVisible(visible);
        QAction* entry = Actions_.value(QString("Show") + name);
        entry->setEnabled(toggle);
        entry->setChecked(visible);
    };
    toolbar("WorkWithTable", s.WorkWithTableToolbar, s.WorkWithTableToggle);
    toolbar("MapAutosetting", s.MapAutosettingToolbar, s.MapAutosettingToggle);
    toolbar("Instruments", s.InstrumentsToolbar, s.ToolsToggle);
    Toolbar("SetToolbar")->setVisible(s.SetToolbar);

    // Commands that need an object do nothing without it; their entries say so.
    const auto enable = [this](const char* name, bool enabled) {
        if (QAction* action = Actions_.value(name))
            action->setEnabled(enabled);
    };
    enable("DeleteScript", chain.Script);
    enable("DeleteTable", chain.Table);
    enable("DatasetPropertiesButton", chain.Table);
    enable("DeleteDataset", chain.Dataset);
    enable("CreateDataset", chain.Table);
    enable("ScaleDataset", chain.Dataset);
    enable("UnscaleDataset", chain.Dataset);
    enable("ExportProjections", chain.Map && chain.Map->Grid);
    enable("RememberStyles", chain.Dataset);
    enable("LoadLines", chain.Dataset);
    enable("LoadObjects", chain.Dataset);
    RefreshViewTools();
    RefreshAnalysisTools();
    RefreshProjectionTools();
    RefreshMapAnalysisTools();
    RefreshMapCommands();
}

void TfrmMainWnd::RefreshSetToolbar()
{
    const app::TCurrentChain chain = app::CurrentChain(Dispatcher_.Project());
    const auto fill = [](QComboBox* box, const TArray1S& names, int current) {
        box->clear();
        for (const std::string& name : names)
            box->addItem(QString::fromStdString(name));
        box->setCurrentIndex(std::min(current, box->count() - 1));
    };
    TArray1S maps;
    if (chain.Dataset)
        for (const auto& map : chain.Dataset->Maps)
            maps.push_back(map->Name);
    const int style = StyleSetBox_->currentIndex(), visibility = VisibilitySetBox_->currentIndex();
    fill(StyleSetBox_, chain.Dataset ? chain.Dataset->StyleSetNames : TArray1S(), std::max(style, 0));
    fill(VisibilitySetBox_, chain.Dataset ? chain.Dataset->VisibilitySetNames : TArray1S(), std::max(visibility, 0));
    fill(MapBox_, maps, chain.Map ? chain.Dataset->ActiveMap : -1);
}

} // namespace orbelin::gui

// The main window's side of the table window: when it is shown, which script it shows, and
// what its signals do to the tree and the views.
#include "gui/TObjectTreeView.h"
#include "gui/TfmSelectionProperties.h"
#include "gui/TfrmMainWnd.h"
#include "gui/TfrmTable.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

namespace orbelin::gui {

TfrmTable* TfrmMainWnd::TableWindow() const
{
    return TableSubWindow_ ? qobject_cast<TfrmTable*>(TableSubWindow_->widget()) : nullptr;
}

void TfrmMainWnd::CreateTableWindow()
{
    auto* window = new TfrmTable;
    window->setObjectName("TableWindow");
    window->SetSelectionStyle(&SelectionStyle_);
    window->SetSelectionProperties(&SelectionProperties_);
    connect(window, &TfrmTable::CurrentTableChanged, this, [this](int table) { TablePageTurned(table); });
    connect(window, &TfrmTable::TableAdded, this,
            [this](int table) { Run([this, table] { Apply(Dispatcher_.TableAppended(table)); }); });
    connect(window, &TfrmTable::TableReread, this,
            [this](int table) { Run([this, table] { Apply(Dispatcher_.TableReread(table)); }); });
    connect(window, &TfrmTable::StylesChanged, this, [this] { DataPointsChanged(); });
    connect(window, &TfrmTable::MarksChanged, this, [this] { DataPointsChanged(); });
    connect(window, &TfrmTable::DatasetPointsChanged, this, [this] { DatasetViewChanged(); });
    TableSubWindow_ = Workspace_->addSubWindow(window);
    TableSubWindow_->setAttribute(Qt::WA_DeleteOnClose);
    TableSubWindow_->setObjectName("TableSubWindow");
    // Most of the workspace, so that a table shows several columns and rows at once.
    TableSubWindow_->resize(Workspace_->viewport()->size() * 9 / 10);
    TableSubWindow_->move(0, 0);
    // The window closes itself (its close box, or Close all): its frame goes with it and the
    // menus follow once it is gone.
    QPointer<QMdiSubWindow> subWindow = TableSubWindow_;
    connect(window, &QObject::destroyed, this, [this, subWindow] {
        if (Destroying_)
            return;
        if (subWindow && subWindow == TableSubWindow_) {
            TableSubWindow_ = nullptr;
            subWindow->deleteLater();
        }
        QMetaObject::invokeMethod(
            this, [this] { RefreshMenus(); }, Qt::QueuedConnection);
    });
}

void TfrmMainWnd::CloseTableWindow()
{
    TableWindowDataset_ = nullptr;
    if (!TableSubWindow_)
        return;
    // Gone at once for everyone asking; Qt frees the widgets once their events are done.
    QMdiSubWindow* subWindow = TableSubWindow_;
    TableSubWindow_ = nullptr;
    if (auto* window = qobject_cast<TfrmTable*>(subWindow->widget()))
        window->ShowTables(nullptr);
    subWindow->close();
}

void TfrmMainWnd::TablesRefreshed()
{
    const app::TCurrentChain chain = app::CurrentChain(Dispatcher_.Project());
    if (!chain.Table) {
        CloseTableWindow();
        return;
    }
    if (!TableWindow())
        CreateTableWindow();
    TableWindow()->ShowTables(chain.Script);
    TableWindowDataset_ = chain.Dataset;
    if (TableSubWindow_->isHidden())
        TableSubWindow_->show();
}

void TfrmMainWnd::SyncTableWindow()
{
    TfrmTable* window = TableWindow();
    if (!window)
        return;
    const app::TCurrentChain chain = app::CurrentChain(Dispatcher_.Project());
    if (!chain.Table) {
        CloseTableWindow();
        return;
    }
    if (window->Script() != chain.Script) {
        window->ShowTables(chain.Script);
        TableWindowDataset_ = chain.Dataset;
    } else if (TableWindowDataset_ != chain.Dataset) {
        window->RefreshGrid();
        TableWindowDataset_ = chain.Dataset;
    }
}

void TfrmMainWnd::RunFreeing(const std::function<app::TUpdate()>& command)
{
    // The table window keeps pointers into the script; a message box shown while the
    // command runs would let it repaint from freed tables.
    if (TfrmTable* window = TableWindow())
        window->ShowTables(nullptr);
    Run([this, &command] { Apply(command()); });
    SyncTableWindow();
    if (TfrmTable* window = TableWindow(); window && !window->Script())
        TablesRefreshed();
}

void TfrmMainWnd::TablePageTurned(int table)
{
    Run([this, table] {
        const app::TProject* project = Dispatcher_.Project();
        if (!project)
            return;
        const app::TTreeNode* node = Dispatcher_.Tree().TableNode(project->CurrentScript, table);
        if (!node)
            return;
        Apply(Dispatcher_.SelectNode(*node));
        SelectInTree(node);
    });
}

} // namespace orbelin::gui

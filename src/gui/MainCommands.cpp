// The main window's own command handlers: those that do more than call the dispatcher.
#include "app/FileDialogs.h"
#include "coloring/Projection.h"
#include "data/DatasetBuild.h"
#include "data/TData.h"
#include "gui/TObjectTreeView.h"
#include "gui/TSelectionsPanel.h"
#include "gui/TfrmMainWnd.h"
#include "gui/TfrmMap.h"
#include "map/TMap.h"
#include "numeric/TUserInterface.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <filesystem>

namespace orbelin::gui {

void TfrmMainWnd::OnDataset(const std::function<void(data::TData&)>& command)
{
    Run([this, &command] {
        data::TData* dataset = app::CurrentChain(Dispatcher_.Project()).Dataset;
        if (!dataset)
            return;
        command(*dataset);
        Selections_->Refresh();
        DatasetViewChanged();
    });
}

void TfrmMainWnd::miLoadTableClick()
{
    std::string path;
    if (app::ChooseFileToOpen(app::OpenTableFilter, path))
        LoadTableFile(path);
}

void TfrmMainWnd::miExportProjectionsClick()
{
    map::TMap* map = app::CurrentChain(Dispatcher_.Project()).Map;
    if (!map || !map->Grid)
        return;
    std::string path = map->Name;
    if (!UserInterface().ChooseSaveFile("Text files (*.txt)|*.txt|All Files|*.*", ".txt", path) || path.empty())
        return;
    if (!std::filesystem::path(path).has_extension())
        path += ".txt";
    app::SetWorkingDirectoryOf(path);
    coloring::WriteProjections(*map, path);
}

namespace {

/// The row the list of that panel has selected, or the current index when none is.
int ListRow(TObjectPanels* panels, int panel, int current)
{
    const auto* list = static_cast<TListPanel*>(panels->Panel(panel))->List();
    return list->currentRow() >= 0 ? list->currentRow() : current;
}

} // namespace

void TfrmMainWnd::tbbDeleteTableClick()
{
    const app::TCurrentChain chain = app::CurrentChain(Dispatcher_.Project());
    if (!chain.Table)
        return;
    const int row = ListRow(Panels_, app::TablesPanel, chain.Script->CurrentTable);
    RunFreeing([this, row] { return Dispatcher_.DeleteTable(row); });
}

void TfrmMainWnd::tbbDeleteDatasetClick()
{
    const app::TCurrentChain chain = app::CurrentChain(Dispatcher_.Project());
    if (chain.Dataset)
        Apply(Dispatcher_.DeleteDataset(ListRow(Panels_, app::DatasetsPanel, chain.Script->CurrentDataset)));
}

void TfrmMainWnd::tbbDatasetPropertiesClick()
{
    const app::TProject* project = Dispatcher_.Project();
    const app::TCurrentChain chain = app::CurrentChain(project);
    if (!chain.Table)
        return;
    const app::TTreeNode* node = Dispatcher_.Tree().TableNode(project->CurrentScript, chain.Script->CurrentTable);
    if (!node)
        return;
    Apply(Dispatcher_.SelectNode(*node));
    SelectInTree(node);
}

void TfrmMainWnd::miScaleDatasetClick(bool scale)
{
    OnDataset([scale](data::TData& dataset) {
        if (scale)
            data::ScaleDataset(dataset);
        else
            data::UnscaleDataset(dataset);
    });
}

void TfrmMainWnd::ArrangeWindows(Qt::Orientation orientation)
{
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : Workspace_->subWindowList())
        if (!window->isMinimized())
            windows << window;
    if (windows.isEmpty())
        return;
    const QSize area = Workspace_->viewport()->size();
    const int n = static_cast<int>(windows.size());
    for (int i = 0; i < n; ++i) {
        windows[i]->showNormal();
        // Horizontal stacks the windows one above the other, vertical puts them side by side.
        if (orientation == Qt::Horizontal)
            windows[i]->setGeometry(0, i * area.height() / n, area.width(), area.height() / n);
        else
            windows[i]->setGeometry(i * area.width() / n, 0, area.width() / n, area.height());
    }
}

void TfrmMainWnd::ZoomEntered()
{
    bool ok = false;
    const int value = ZoomEdit_->text().toInt(&ok);
    Zoom_ = std::clamp(ok ? value : Zoom_, 20, 1000);
    ZoomEdit_->setText(QString::number(Zoom_));
    if (TfrmMap* window = MapWindow())
        window->SetZoomSlider(Zoom_);
}

void TfrmMainWnd::miAboutClick()
{
    QMessageBox::about(this, "About Orbelin",
                       "<h3>Orbelin</h3><p>Exploring multidimensional data with elastic maps: load a table, "
                       "choose its coordinate fields, create a dataset, build maps on it and look at the data "
                       "through them.</p>");
}

void TfrmMainWnd::miHelpPresentationsClick()
{
    QDialog dialog(this);
    dialog.setWindowTitle("Help presentations");
    auto* layout = new QVBoxLayout(&dialog);
    auto* text = new QTextBrowser(&dialog);
    text->setOpenExternalLinks(true);
    text->setHtml("<h3>Getting started</h3><ol>"
                  "<li>Load a table with <b>File, Load table</b>, or drop a table file (.obt, .csv, .tsv, .dat, "
                  ".db, .dbf) on the window.</li>"
                  "<li>In the <b>Table</b> panel tick the numeric fields that span the data space and choose "
                  "their normalisations; then press <b>Create dataset</b>.</li>"
                  "<li>Select the dataset in the object tree and press <b>Add map</b>.</li>"
                  "<li>Save everything with <b>File, Save as ...</b>; the project file lists the table, dataset "
                  "and map files written beside it.</li></ol>");
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.resize(520, 360);
    dialog.exec();
}

} // namespace orbelin::gui

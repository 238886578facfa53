// The table window and its pop-up menu.
#include "gui/TfrmTable.h"

#include "app/TableWindowCommands.h"
#include "data/TData.h"
#include "data/TextRoutines.h"
#include "gui/TfrmTableGrid.h"
#include "numeric/TUserInterface.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QMenu>
#include <QTabWidget>
#include <QTemporaryFile>
#include <QVBoxLayout>

namespace orbelin::gui {

namespace {

const view::TSelectionStyle DefaultSelectionStyle;
const view::TSelectionProperties DefaultSelectionProperties;

// The window state as the script keeps it: 0 normal, 1 minimised, 2 maximised.
int WindowStateCode(Qt::WindowStates state)
{
    if (state & Qt::WindowMinimized)
        return 1;
    if (state & Qt::WindowMaximized)
        return 2;
    return 0;
}

} // namespace

TfrmTable::TfrmTable(QWidget* parent) : QWidget(parent), Pages_(new QTabWidget(this)), Popup_(new QMenu(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Table - Noname:[Path]"));
    resize(640, 400);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Pages_->setDocumentMode(true);
    layout->addWidget(Pages_);
    connect(Pages_, &QTabWidget::currentChanged, this, &TfrmTable::pcTablesChange);
    OpenDocument = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    CreateActions();
}

TfrmTable::~TfrmTable() = default;

void TfrmTable::CreateActions()
{
    struct TEntry {
        TTableAction Action;
        const char* Caption;
        void (TfrmTable::*Handler)();
    };
    const TEntry entries[] = {
        {TTableAction::Select, "Select", &TfrmTable::miSelectClick},
        {TTableAction::Deselect, "Deselect", &TfrmTable::miDeselectClick},
        {TTableAction::ReverseSelection, "Reverse selection", &TfrmTable::miReverseSelectionClick},
        {TTableAction::Mark, "Mark", &TfrmTable::miMarkClick},
        {TTableAction::Unmark, "Unmark", &TfrmTable::miUnmarkClick},
        {TTableAction::SortAscending, "Sort ascending", &TfrmTable::miSortAscClick},
        {TTableAction::SortDescending, "Sort descending", &TfrmTable::miSortDescClick},
        {TTableAction::SortByColors, "Sort by colors", &TfrmTable::miSortColorsClick},
        {TTableAction::Syncronize, "Syncronize", &TfrmTable::miSyncronizeClick},
        {TTableAction::ChangeTable, "Change table", &TfrmTable::miChangeTableClick},
        {TTableAction::AddColumns, "Add columns", nullptr},
        {TTableAction::Transpose, "Transpose", &TfrmTable::miTransposeClick},
        {TTableAction::SubtractFirstPC, "Subtract first PC", &TfrmTable::miSubtractPCClick},
        {TTableAction::InExcel, "In Excel", &TfrmTable::miExcelClick},
        {TTableAction::InCsv, "In CSV", &TfrmTable::miCsvClick},
    };
    for (const TEntry& entry : entries) {
        QAction* action = Popup_->addAction(QString::fromLatin1(entry.Caption));
        Actions_[static_cast<std::size_t>(entry.Action)] = action;
        if (entry.Handler)
            connect(action, &QAction::triggered, this, entry.Handler);
        if (entry.Action == TTableAction::Unmark || entry.Action == TTableAction::SortByColors ||
            entry.Action == TTableAction::ChangeTable || entry.Action == TTableAction::SubtractFirstPC)
            Popup_->addSeparator();
    }
    // Reading a second table's fields into this one has no defined meaning yet.
    Action(TTableAction::AddColumns)->setEnabled(false);
}

void TfrmTable::ShowTables(app::TScript* script)
{
    Rebuilding_ = true;
    if (script)
        script->TableWindowState = WindowStateCode(windowState());
    while (Pages_->count() > 0) {
        QWidget* page = Pages_->widget(0);
        Pages_->removeTab(0);
        delete page;
    }
    Script_ = script;
    if (script) {
        data::TData* dataset = script->Dataset();
        for (const auto& table : script->Tables) {
            auto* grid = new TTableGrid(*table, dataset, Pages_);
            connect(grid->RecordHeader(), &TRecordHeader::RowRightClicked, this, &TfrmTable::grdRecordRightClick);
            connect(grid, &TTableGrid::PopupRequested, this, &TfrmTable::ShowPopup);
            Pages_->addTab(grid, QString::fromStdString(table->Name));
        }
        if (script->CurrentTable >= 0 && script->CurrentTable < Pages_->count())
            Pages_->setCurrentIndex(script->CurrentTable);
    }
    Rebuilding_ = false;
    UpdateTitle();
}

void TfrmTable::SetCurrentPage(int table)
{
    if (table < 0 || table >= Pages_->count())
        return;
    Rebuilding_ = true;
    Pages_->setCurrentIndex(table);
    Rebuilding_ = false;
    UpdateTitle();
}

int TfrmTable::CurrentPage() const
{
    return Pages_->currentIndex();
}

TTableGrid* TfrmTable::Grid(int table) const
{
    return qobject_cast<TTableGrid*>(Pages_->widget(table));
}

void TfrmTable::RefreshGrid()
{
    data::TData* dataset = Script_ ? Script_->Dataset() : nullptr;
    for (int k = 0; k < Pages_->count(); ++k)
        if (TTableGrid* grid = Grid(k)) {
            if (grid->Model()->Refresh(dataset))
                grid->ApplyLayout();
            grid->viewport()->update();
            grid->RecordHeader()->viewport()->update();
        }
}

void TfrmTable::ShowPopup(const QPoint& globalPos)
{
    const bool pageData = PageDataset() != nullptr;
    for (const TTableAction action :
         {TTableAction::Select, TTableAction::Deselect, TTableAction::ReverseSelection, TTableAction::Syncronize})
        Action(action)->setVisible(pageData);
    const data::TData* dataset = Script_ ? Script_->Dataset() : nullptr;
    Action(TTableAction::Transpose)->setEnabled(dataset != nullptr);
    Action(TTableAction::SubtractFirstPC)->setEnabled(dataset && dataset->CurrentMap());
    Popup_->popup(globalPos);
}

void TfrmTable::closeEvent(QCloseEvent* event)
{
    emit Closed();
    QWidget::closeEvent(event);
}

void TfrmTable::UpdateTitle()
{
    if (Pages_->count() > 0 && Pages_->currentIndex() >= 0)
        setWindowTitle(QStringLiteral("Table - ") + Pages_->tabText(Pages_->currentIndex()));
    else
        setWindowTitle(QStringLiteral("Table - Noname:[Path]"));
}

TTableGrid* TfrmTable::CurrentGrid() const
{
    return Grid(Pages_->currentIndex());
}

data::TDataTable* TfrmTable::CurrentTable() const
{
    const int k = Pages_->currentIndex();
    if (!Script_ || k < 0 || static_cast<std::size_t>(k) >= Script_->Tables.size())
        return nullptr;
    return Script_->Tables[static_cast<std::size_t>(k)].get();
}

data::TData* TfrmTable::PageDataset() const
{
    data::TData* dataset = Script_ ? Script_->Dataset() : nullptr;
    const data::TDataTable* table = CurrentTable();
    return dataset && table && dataset->Table == table ? dataset : nullptr;
}

void TfrmTable::pcTablesChange(int index)
{
    if (Rebuilding_)
        return;
    UpdateTitle();
    if (!Script_ || index < 0 || static_cast<std::size_t>(index) >= Script_->Tables.size())
        return;
    Script_->CurrentTable = index;
    emit CurrentTableChanged(index);
}

void TfrmTable::grdRecordRightClick(int row)
{
    TTableGrid* grid = CurrentGrid();
    data::TDataTable* table = CurrentTable();
    if (!grid || !table)
        return;
    const view::TSelectionStyle& style = SelectionStyle_ ? *SelectionStyle_ : DefaultSelectionStyle;
    app::ToggleRecordSelection(*table, grid->Model()->Page().RecordOfRow(row), style);
    RefreshGrid();
    emit StylesChanged();
}

void TfrmTable::MarkSelectedPoints(int mode)
{
    TTableGrid* grid = CurrentGrid();
    data::TData* dataset = PageDataset();
    if (!grid || !dataset)
        return;
    const view::TSelectionProperties& marks = SelectionProperties_ ? *SelectionProperties_ : DefaultSelectionProperties;
    if (app::MarkRecordPoints(*dataset, grid->SelectedRecords(), marks, mode)) {
        RefreshGrid();
        emit MarksChanged();
    }
}

void TfrmTable::miSelectClick()
{
    MarkSelectedPoints(data::MarkAdd);
}

void TfrmTable::miDeselectClick()
{
    MarkSelectedPoints(data::MarkRemove);
}

void TfrmTable::miReverseSelectionClick()
{
    MarkSelectedPoints(data::MarkToggle);
}

void TfrmTable::miMarkClick()
{
    TTableGrid* grid = CurrentGrid();
    data::TDataTable* table = CurrentTable();
    if (!grid || !table)
        return;
    app::MarkRecords(*table, grid->SelectedRecords(), SelectionStyle_ ? *SelectionStyle_ : DefaultSelectionStyle);
    RefreshGrid();
    emit StylesChanged();
}

void TfrmTable::miUnmarkClick()
{
    TTableGrid* grid = CurrentGrid();
    data::TDataTable* table = CurrentTable();
    if (!grid || !table)
        return;
    app::UnmarkRecords(*table, grid->SelectedRecords());
    RefreshGrid();
    emit StylesChanged();
}

void TfrmTable::SortCurrentPage(int direction)
{
    TTableGrid* grid = CurrentGrid();
    if (!grid)
        return;
    const int column = grid->SelectedLeftColumn();
    if (column < -1)
        return;
    grid->Model()->Page().SortByColumn(column, static_cast<data::TSortDirection>(direction));
    grid->Model()->OrderChanged();
}

void TfrmTable::miSortAscClick()
{
    SortCurrentPage(static_cast<int>(data::TSortDirection::Ascending));
}

void TfrmTable::miSortDescClick()
{
    SortCurrentPage(static_cast<int>(data::TSortDirection::Descending));
}

void TfrmTable::miSortColorsClick()
{
    if (TTableGrid* grid = CurrentGrid()) {
        grid->Model()->Page().SortByColor();
        grid->Model()->OrderChanged();
    }
}

void TfrmTable::miSyncronizeClick()
{
    if (data::TData* dataset = PageDataset(); dataset && app::SyncronizeWithTable(*dataset)) {
        RefreshGrid();
        emit DatasetPointsChanged();
    }
}

void TfrmTable::miChangeTableClick()
{
    const int k = CurrentPage();
    if (!Script_ || k < 0 || !app::ChangeTableCommand(*Script_, k))
        return;
    ShowTables(Script_);
    SetCurrentPage(k);
    emit TableReread(k);
}

void TfrmTable::ShowAddedTable(int table)
{
    if (table < 0)
        return;
    ShowTables(Script_);
    emit TableAdded(table);
}

void TfrmTable::miTransposeClick()
{
    if (Script_)
        ShowAddedTable(app::AddTransposedTable(*Script_));
}

void TfrmTable::miSubtractPCClick()
{
    if (Script_)
        ShowAddedTable(app::AddTableWithoutFirstComponent(*Script_));
}

void TfrmTable::miExcelClick()
{
    TTableGrid* grid = CurrentGrid();
    if (!grid)
        return;
    const data::TTablePage& page = grid->Model()->Page();
    // The workbook is handed to another program, so it must outlive this window.
    QTemporaryFile file(QDir::temp().filePath(QString::fromStdString(data::BaseName(page.Table().Name)) +
                                              QStringLiteral("-XXXXXX.xlsx")));
    file.setAutoRemove(false);
    if (!file.open()) {
        UserInterface().ShowMessage("cannot create a workbook in " + QDir::tempPath().toStdString() + ": " +
                                    file.errorString().toStdString());
        return;
    }
    const QString path = file.fileName();
    file.close();
    if (!app::ExportPageXlsx(page, path.toStdString())) {
        QFile::remove(path);
        return;
    }
    if (!OpenDocument || !OpenDocument(QUrl::fromLocalFile(path)))
        UserInterface().ShowMessage("The workbook was written to " + path.toStdString() +
                                    ", but no program to open it was found.");
}

void TfrmTable::miCsvClick()
{
    if (TTableGrid* grid = CurrentGrid())
        app::ExportPageCsv(grid->Model()->Page());
}

} // namespace orbelin::gui

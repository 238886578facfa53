// The table window: the tables of a script as grids, one page per table, with the record
// and point selection, the row sorts, the derived tables and the exports of its pop-up
// menu.
#pragma once

#include "app/TProject.h"
#include "view/SelectionStyle.h"

#include <QUrl>
#include <QWidget>

#include <array>
#include <functional>

class QAction;
class QMenu;
class QTabWidget;

namespace orbelin::gui {

class TTableGrid;

/// The entries of the pop-up menu, in menu order.
enum class TTableAction : int {
    Select,
    Deselect,
    ReverseSelection,
    Mark,
    Unmark,
    SortAscending,
    SortDescending,
    SortByColors,
    Syncronize,
    ChangeTable,
    AddColumns,
    Transpose,
    SubtractFirstPC,
    InExcel,
    InCsv,
};
constexpr int TableActionCount = 15;

/// How the main window drives the table window:
/// - ShowTables(script) after the current script changes and after any command that adds,
///   removes, renames or re-reads tables or deletes datasets; ShowTables(nullptr) before the
///   shown script is freed. The window keeps pointers into the script.
/// - SetCurrentPage(k) to follow the current table (TUpdate::TablePage); it emits nothing.
/// - RefreshGrid() after the current dataset changes or its points, marks or result columns
///   change, and after the table's point styles change (selection dialog, sets).
/// - SetSelectionStyle and SetSelectionProperties once, with the settings the selection
///   dialog and "Select prop..." edit; the window reads them whenever it uses them.
/// And what the window asks of it through its signals, below.
///
/// The window's messages and file dialogs go through orbelin::UserInterface(). Closing it
/// destroys it (Closed is emitted first).
class TfrmTable : public QWidget {
    Q_OBJECT
public:
    explicit TfrmTable(QWidget* parent = nullptr);
    ~TfrmTable() override;

    /// Clears every page, remembering the window state in the script's TableWindowState,
    /// and shows one page per table of the script, titled with the table's Name; the
    /// current table's page becomes active and the title "Table - " and its page title.
    void ShowTables(app::TScript* script);
    app::TScript* Script() const { return Script_; }
    /// Makes table k's page the active one without reporting it back.
    void SetCurrentPage(int table);
    /// The active page, which is the index of its table; -1 without pages.
    int CurrentPage() const;
    /// Redraws every page from its table and the script's current dataset.
    void RefreshGrid();

    /// The style a record takes when it becomes selected here (right click, "Mark").
    void SetSelectionStyle(const view::TSelectionStyle* style) { SelectionStyle_ = style; }
    /// The colour and size with which "Select" and "Reverse selection" mark points.
    void SetSelectionProperties(const view::TSelectionProperties* marks) { SelectionProperties_ = marks; }

    /// Opens the workbook "In Excel" wrote; the default asks the desktop to open it with
    /// the program it uses for such files.
    std::function<bool(const QUrl&)> OpenDocument;

    QTabWidget* Pages() const { return Pages_; }
    /// The grid of table k's page, null when there is none.
    TTableGrid* Grid(int table) const;
    QMenu* PopupMenu() const { return Popup_; }
    QAction* Action(TTableAction action) const { return Actions_[static_cast<std::size_t>(action)]; }
    /// Shows the entries that apply to the active page and opens the menu there.
    void ShowPopup(const QPoint& globalPos);

signals:
    /// The user turned to table k's page, which is now the script's current table: select
    /// its tree node.
    void CurrentTableChanged(int table);
    /// A derived table was written and appended to the script as table k, now current; the
    /// window already shows it. Add its tree node and select it; refresh the lists.
    void TableAdded(int table);
    /// Table k was re-read from another file: its Name, fields and field choices are new.
    /// Refresh its tree label and the Table panel.
    void TableReread(int table);
    /// Records' selection or point styles changed: rebuild the current map's data points.
    void StylesChanged();
    /// The current dataset's point selection changed: rebuild its map's data points.
    void MarksChanged();
    /// Syncronize rebuilt the current dataset's points: recompute the current map's view
    /// geometry and redraw its view.
    void DatasetPointsChanged();
    /// The window is closing and will be destroyed: refresh the menus.
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void pcTablesChange(int index);
    void grdRecordRightClick(int row);
    void miSelectClick();
    void miDeselectClick();
    void miReverseSelectionClick();
    void miMarkClick();
    void miUnmarkClick();
    void miSortAscClick();
    void miSortDescClick();
    void miSortColorsClick();
    void miSyncronizeClick();
    void miChangeTableClick();
    void miTransposeClick();
    void miSubtractPCClick();
    void miExcelClick();
    void miCsvClick();

    void CreateActions();
    void UpdateTitle();
    TTableGrid* CurrentGrid() const;
    data::TDataTable* CurrentTable() const;
    /// The script's current dataset when it is built on the active page's table.
    data::TData* PageDataset() const;
    void MarkSelectedPoints(int mode);
    void SortCurrentPage(int direction);
    /// After a derived table was appended as table k (or -1 when none was).
    void ShowAddedTable(int table);

    app::TScript* Script_ = nullptr;
    QTabWidget* Pages_;
    QMenu* Popup_;
    std::array<QAction*, TableActionCount> Actions_{};
    const view::TSelectionStyle* SelectionStyle_ = nullptr;
    const view::TSelectionProperties* SelectionProperties_ = nullptr;
    bool Rebuilding_ = false;
};

} // namespace orbelin::gui

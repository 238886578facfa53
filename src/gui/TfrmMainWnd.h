// The main window of the desktop program.
#pragma once

#include "data/TDataTable.h"

#include <QMainWindow>

class QTableWidget;

namespace orbelin::gui {

/// For now the main window shows one table: at start-up the embedded demonstration
/// table.
class TfrmMainWnd : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmMainWnd(QWidget* parent = nullptr);

    /// Shows the table's records in the grid.
    void ShowTable(const data::TDataTable& table);
    /// Loads the embedded demonstration table; a failure is shown in a message box.
    void LoadDemo();

    QTableWidget* Grid() const { return Grid_; }

private:
    QTableWidget* Grid_;
};

} // namespace orbelin::gui

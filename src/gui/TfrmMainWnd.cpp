// Main window: a grid of the current table.
#include "gui/TfrmMainWnd.h"

#include "data/TError.h"

#include <QHeaderView>
#include <QMessageBox>
#include <QStatusBar>
#include <QTableWidget>

namespace orbelin::gui {

TfrmMainWnd::TfrmMainWnd(QWidget* parent)
    : QMainWindow(parent), Grid_(new QTableWidget(this))
{
    setWindowTitle("Orbelin");
    Grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    setCentralWidget(Grid_);
    resize(900, 600);
}

void TfrmMainWnd::ShowTable(const data::TDataTable& table)
{
    Grid_->clear();
    Grid_->setRowCount(table.RecordCount);
    Grid_->setColumnCount(table.FieldCount);
    QStringList headers;
    for (const std::string& name : table.FieldNames)
        headers << QString::fromStdString(name);
    Grid_->setHorizontalHeaderLabels(headers);
    for (int i = 0; i < table.RecordCount; ++i)
        for (int j = 0; j < table.FieldCount; ++j)
            Grid_->setItem(i, j, new QTableWidgetItem(QString::fromStdString(
                                     table.Values[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)])));
    // The table's widths are in characters; 7 pixels each.
    for (int j = 0; j < table.FieldCount; ++j)
        Grid_->setColumnWidth(j, 7 * table.FieldWidths[static_cast<std::size_t>(j)]);
    statusBar()->showMessage(QString("%1: %2 records, %3 fields")
                                 .arg(QString::fromStdString(table.Name))
                                 .arg(table.RecordCount)
                                 .arg(table.FieldCount));
}

void TfrmMainWnd::LoadDemo()
{
    try {
        data::TDataTable table;
        data::LoadTable(table, "IRIS.OBT", data::TTableKind::Resource);
        ShowTable(table);
    } catch (const std::exception& e) {
        QMessageBox::critical(this, "Orbelin", QString::fromStdString(e.what()));
    }
}

} // namespace orbelin::gui

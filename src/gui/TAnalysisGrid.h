// The grid the analysis windows show their pages in: texts made on demand, coloured
// cells, and copying of the selected cells.
#pragma once

#include "analysis/StatGrid.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QTableView>

#include <functional>
#include <string>

namespace orbelin::gui {

/// The texts and colours of a grid, asked for cell by cell.
struct TGridSource {
    int Rows = 0;
    int Columns = 0;
    std::function<std::string(int row, int column)> Text;
    std::function<QColor(int row, int column)> Foreground; ///< invalid for the default colour
    std::function<QColor(int row, int column)> Background; ///< invalid for the default colour
};

class TGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    void SetSource(TGridSource source);
    const TGridSource& Source() const { return Source_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    TGridSource Source_;
};

/// The colour a statistics page gives a cell's text.
QColor CellColor(analysis::TCellColor color);

/// Row 0 holds the page's headers and is drawn bold. Ctrl+C (and the pop-up menu's
/// "Copy") puts the selected cells on the clipboard as tab-separated lines, "Copy all"
/// the whole grid.
class TAnalysisGrid : public QTableView {
    Q_OBJECT
public:
    explicit TAnalysisGrid(QWidget* parent = nullptr);

    /// Shows a copy of the grid, with its text colours.
    void ShowGrid(const analysis::TStatGrid& grid);
    void ShowSource(TGridSource source);
    void Clear();

    int RowCount() const;
    int ColumnCount() const;
    std::string Text(int row, int column) const;
    /// Every cell as text, for the spreadsheet.
    TArray2S Cells() const;
    /// The selected cells as tab-separated lines (the rectangle around the selection).
    QString SelectionText() const;
    void CopySelection() const;
    void CopyAll() const;

private:
    QString RangeText(int top, int bottom, int left, int right) const;

    TGridModel* Model_;
    analysis::TStatGrid Shown_;
};

} // namespace orbelin::gui

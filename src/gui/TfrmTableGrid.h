// The grid of one table window page: a model over the core's page, the record number
// column that shows each record's colour, and the view that reports right clicks.
#pragma once

#include "data/TTablePage.h"

#include <QAbstractTableModel>
#include <QFont>
#include <QHeaderView>
#include <QTableView>

#include <vector>

namespace orbelin::gui {

/// A packed colour (red in the low byte) as a QColor.
QColor PackedColor(int packed);

/// Serves the page's texts and looks to the view; it copies no cell. Row 0 and column 0 of
/// the grid are the horizontal and vertical headers.
class TTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    TTableModel(const data::TDataTable& table, const data::TData* data, QObject* parent = nullptr);

    data::TTablePage& Page() { return Page_; }
    const data::TTablePage& Page() const { return Page_; }
    /// The font of the field names of coordinates.
    void SetBoldFont(const QFont& font) { BoldFont_ = font; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    /// Takes in changed styles, marks, points or result columns, and another dataset (null
    /// for none). Returns true when the grid's shape changed, so the layout must be redone.
    bool Refresh(const data::TData* data);
    /// The page's display order changed: rows now show other records.
    void OrderChanged();

private:
    data::TTablePage Page_;
    QFont BoldFont_;
};

/// The record number column: every cell in its record's colour, which the desktop's header
/// style would otherwise paint over. A right click reports the row.
class TRecordHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit TRecordHeader(QWidget* parent = nullptr);

signals:
    void RowRightClicked(int row);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void mousePressEvent(QMouseEvent* event) override;
};

/// The view of one page, laid out as the table window draws it.
class TTableGrid : public QTableView {
    Q_OBJECT
public:
    TTableGrid(const data::TDataTable& table, const data::TData* data, QWidget* parent = nullptr);

    TTableModel* Model() const { return Model_; }
    TRecordHeader* RecordHeader() const { return RecordHeader_; }
    /// Column widths, row heights, fonts and the record number column's width.
    void ApplyLayout();
    /// The records of the rows in the selected block, in row order; the current cell's
    /// record when nothing is selected.
    std::vector<int> SelectedRecords() const;
    /// The page column at the selected block's left edge (the current cell's when nothing is
    /// selected), or -2 when there is neither.
    int SelectedLeftColumn() const;

signals:
    /// A right click on a value or a field name, or the keyboard's menu key.
    void PopupRequested(const QPoint& globalPos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TTableModel* Model_;
    TRecordHeader* RecordHeader_;
};

} // namespace orbelin::gui

// One page of the table window: what its grid shows for a table and the dataset built on
// it, in which order the rows stand, and how each cell is drawn.
#pragma once

#include "data/TableSort.h"
#include "numeric/TArray.h"

#include <string>
#include <vector>

namespace orbelin::data {

class TData;
class TDataTable;

/// Cell colours are packed (red in the low byte); these two stand for the desktop's own.
constexpr int DefaultCellColor = -1; ///< the grid's normal colour
constexpr int ButtonFaceColor = -2;  ///< the desktop's grey button face
constexpr int PackedWhite = 0xFFFFFF;

/// How one cell is drawn.
struct TCellLook {
    int Background = DefaultCellColor;
    int Text = DefaultCellColor;
    bool Bold = false;

    bool operator==(const TCellLook&) const = default;
};

/// The grid's layout in pixels and points.
constexpr int RecordColumnWidth = 30;    ///< the record number column, at least
constexpr int PixelsPerWidthUnit = 7;    ///< a field column is FieldWidths x 7 wide...
constexpr int MaxFieldColumnWidth = 480; ///< ...but no wider than this, so long texts leave room
constexpr int ResultColumnWidth = 60;
constexpr int GridRowHeight = 17;
constexpr int GridFontSize = 7;

/// A page shows the table's records in grid rows 1..R, one record per row, and in grid
/// columns 1.. the table's fields followed by the result columns of the dataset. Here row
/// i is grid row i + 1 and column c grid column c + 1: row 0 and column 0 of the grid, the
/// field names and record numbers, are the headers. The dataset is taken into account only
/// when it is built on this table, since its points name records of its own table.
///
/// The page refers to the table and the dataset without owning them; call Refresh after
/// the table's styles, the dataset's points, marks or result columns change, and build a
/// new page when either object is freed.
class TTablePage {
public:
    TTablePage(const TDataTable& table, const TData* data);

    const TDataTable& Table() const { return *Table_; }
    /// The dataset the page shows, null when there is none on this table.
    const TData* Data() const { return Data_; }
    /// Switches to another dataset (null for none); the display order stays.
    void SetData(const TData* data);
    /// Recomputes what the page takes from the table and the dataset. The display order is
    /// kept while the record count stays; otherwise the rows go back to record order.
    void Refresh();

    int RowCount() const;
    /// The table's fields and then the dataset's result columns.
    int ColumnCount() const;
    int FieldColumnCount() const;
    /// The record shown in row i.
    int RecordOfRow(int row) const;
    /// The display order: Order()[i] is the record shown in row i.
    const TArray1I& Order() const { return Order_; }

    /// Row 0 of the grid: the field's or the result column's name.
    std::string ColumnName(int column) const;
    /// Column 0 of the grid: the 1-based record number of row i.
    std::string RecordNumberText(int row) const;
    /// The value in row i, column c without leading and trailing blanks; the result column
    /// texts are empty for records that are not points.
    std::string CellText(int row, int column) const;

    /// Pixel widths: FieldWidths x 7 for fields (at most MaxFieldColumnWidth), 60 for
    /// result columns.
    int ColumnWidth(int column) const;
    /// The record number column: 30 pixels, or what the longest record number needs at
    /// the grid's font, given the width of one digit.
    int RecordColumnWidthFor(int digitWidth) const;

    /// A field that is a coordinate of the dataset has its name in bold.
    TCellLook HeaderLook(int column) const;
    /// The record number cell: the record's fill colour when it is selected, white
    /// otherwise; the text in black or white, whichever reads on that colour.
    TCellLook RecordLook(int row) const;
    /// A value cell outside the grid's selected block: the mark colour with the inverted
    /// text colour (every bit of the 24 flipped) when the record's point is marked, else
    /// the button face when the record is not selected, else the normal colours.
    TCellLook CellLook(int row, int column) const;

    /// The dataset's point of a record, -1 when the record is not a point.
    int PointOfRecord(int record) const;
    /// The mark colour of a record's point, -1 when it is not marked.
    int MarkColorOfRecord(int record) const;
    /// The points of those records that are points, in the order given.
    TArray1I PointsOfRecords(const std::vector<int>& records) const;

    /// "Sort ascending" and "Sort descending" by a column; column -1, the record numbers,
    /// sorts by the numbers. Equal keys behave as SortRowsByField says.
    void SortByColumn(int column, TSortDirection direction);
    /// "Sort by colors".
    void SortByColor();

    /// Every text of the grid, headers included, as the exports write it.
    TArray2S Grid() const;

private:
    const TDataTable* Table_;
    const TData* Data_ = nullptr;
    TArray1I Order_;
    std::vector<int> RecordPoint_;      ///< [R] point of each record, -1 if none
    std::vector<int> RecordMark_;       ///< [R] mark colour of each record's point, -1 if none
    std::vector<bool> CoordinateField_; ///< [F] the field is a coordinate of the dataset
};

} // namespace orbelin::data

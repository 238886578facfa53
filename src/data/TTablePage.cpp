// What a page of the table window shows and how it draws it.
#include "data/TTablePage.h"

#include "data/TData.h"
#include "data/TDataTable.h"
#include "data/TableGrid.h"
#include "data/TextRoutines.h"

#include <algorithm>
#include <numeric>

namespace orbelin::data {

namespace {

// Perceived brightness of a packed colour, 0..255.
int Brightness(int color)
{
    const int red = color & 0xFF;
    const int green = (color >> 8) & 0xFF;
    const int blue = (color >> 16) & 0xFF;
    return (299 * red + 587 * green + 114 * blue) / 1000;
}

} // namespace

TTablePage::TTablePage(const TDataTable& table, const TData* data) : Table_(&table)
{
    Data_ = data && data->Table == &table ? data : nullptr;
    Refresh();
}

void TTablePage::SetData(const TData* data)
{
    Data_ = data && data->Table == Table_ ? data : nullptr;
    Refresh();
}

void TTablePage::Refresh()
{
    const int recordCount = std::max(0, Table_->RecordCount);
    const auto r = static_cast<std::size_t>(recordCount);
    if (Order_.size() != r) {
        Order_.resize(r);
        std::iota(Order_.begin(), Order_.end(), 0);
    }
    RecordPoint_.assign(r, -1);
    RecordMark_.assign(r, -1);
    CoordinateField_.assign(static_cast<std::size_t>(std::max(0, Table_->FieldCount)), false);
    if (!Data_)
        return;
    for (std::size_t p = 0; p < Data_->NUMXI.size(); ++p) {
        const int record = Data_->NUMXI[p];
        if (record >= 0 && record < recordCount)
            RecordPoint_[static_cast<std::size_t>(record)] = static_cast<int>(p);
    }
    const std::size_t marks = std::min(Data_->MarkedPoints.size(), Data_->MarkColors.size());
    for (std::size_t m = 0; m < marks; ++m) {
        const int p = Data_->MarkedPoints[m];
        if (p < 0 || static_cast<std::size_t>(p) >= Data_->NUMXI.size())
            continue;
        const int record = Data_->NUMXI[static_cast<std::size_t>(p)];
        if (record >= 0 && record < recordCount)
            RecordMark_[static_cast<std::size_t>(record)] = Data_->MarkColors[m] & 0xFFFFFF;
    }
    for (const std::string& name : Data_->CoordNames) {
        const int field = FieldIndex(*Table_, name);
        if (field >= 0 && static_cast<std::size_t>(field) < CoordinateField_.size())
            CoordinateField_[static_cast<std::size_t>(field)] = true;
    }
}

int TTablePage::RowCount() const
{
    return static_cast<int>(Order_.size());
}

int TTablePage::FieldColumnCount() const
{
    return std::max(0, Table_->FieldCount);
}

int TTablePage::ColumnCount() const
{
    return FieldColumnCount() + (Data_ ? static_cast<int>(Data_->ResultColumnNames.size()) : 0);
}

int TTablePage::RecordOfRow(int row) const
{
    return row >= 0 && row < RowCount() ? Order_[static_cast<std::size_t>(row)] : -1;
}

std::string TTablePage::ColumnName(int column) const
{
    if (column < 0)
        return {};
    const auto c = static_cast<std::size_t>(column);
    if (column < FieldColumnCount())
        return c < Table_->FieldNames.size() ? Table_->FieldNames[c] : std::string();
    const std::size_t k = c - static_cast<std::size_t>(FieldColumnCount());
    return Data_ && k < Data_->ResultColumnNames.size() ? Data_->ResultColumnNames[k] : std::string();
}

std::string TTablePage::RecordNumberText(int row) const
{
    const int record = RecordOfRow(row);
    return record < 0 ? std::string() : std::to_string(record + 1);
}

std::string TTablePage::CellText(int row, int column) const
{
    const int record = RecordOfRow(row);
    if (record < 0 || column < 0)
        return {};
    const auto r = static_cast<std::size_t>(record);
    const auto c = static_cast<std::size_t>(column);
    if (column < FieldColumnCount()) {
        if (r >= Table_->Values.size() || c >= Table_->Values[r].size())
            return {};
        return TrimBlanks(Table_->Values[r][c]);
    }
    const std::size_t k = c - static_cast<std::size_t>(FieldColumnCount());
    const int point = RecordPoint_[r];
    if (!Data_ || point < 0 || k >= Data_->ResultColumns.size())
        return {};
    const TArray1S& cells = Data_->ResultColumns[k];
    return static_cast<std::size_t>(point) < cells.size() ? cells[static_cast<std::size_t>(point)] : std::string();
}

int TTablePage::ColumnWidth(int column) const
{
    if (column >= 0 && column < FieldColumnCount()) {
        const auto c = static_cast<std::size_t>(column);
        const int units = c < Table_->FieldWidths.size() ? Table_->FieldWidths[c] : 0;
        return std::clamp(units, 1, MaxFieldColumnWidth / PixelsPerWidthUnit) * PixelsPerWidthUnit;
    }
    return ResultColumnWidth;
}

int TTablePage::RecordColumnWidthFor(int digitWidth) const
{
    const int digits = static_cast<int>(std::to_string(std::max(1, RowCount())).size());
    return std::max(RecordColumnWidth, digits * digitWidth + 8);
}

TCellLook TTablePage::HeaderLook(int column) const
{
    TCellLook look;
    look.Bold = column >= 0 && static_cast<std::size_t>(column) < CoordinateField_.size() &&
                CoordinateField_[static_cast<std::size_t>(column)];
    return look;
}

TCellLook TTablePage::RecordLook(int row) const
{
    TCellLook look;
    look.Background = PackedWhite;
    const int record = RecordOfRow(row);
    if (record >= 0 && static_cast<std::size_t>(record) < Table_->PointStyles.size()) {
        const PointStyle& style = Table_->PointStyles[static_cast<std::size_t>(record)];
        if (style[SELECTED] != 0)
            look.Background = style[FILLCOLOR] & 0xFFFFFF;
    }
    look.Text = Brightness(look.Background) < 128 ? PackedWhite : 0;
    return look;
}

TCellLook TTablePage::CellLook(int row, int column) const
{
    TCellLook look;
    const int record = RecordOfRow(row);
    if (record < 0 || column < 0 || column >= ColumnCount())
        return look;
    const auto r = static_cast<std::size_t>(record);
    if (RecordMark_[r] >= 0) {
        look.Background = RecordMark_[r];
        look.Text = RecordMark_[r] ^ 0xFFFFFF;
    } else if (r < Table_->PointStyles.size() && Table_->PointStyles[r][SELECTED] == 0) {
        look.Background = ButtonFaceColor;
    }
    return look;
}

int TTablePage::PointOfRecord(int record) const
{
    return record >= 0 && record < RowCount() ? RecordPoint_[static_cast<std::size_t>(record)] : -1;
}

int TTablePage::MarkColorOfRecord(int record) const
{
    return record >= 0 && record < RowCount() ? RecordMark_[static_cast<std::size_t>(record)] : -1;
}

TArray1I TTablePage::PointsOfRecords(const std::vector<int>& records) const
{
    TArray1I points;
    for (const int record : records)
        if (const int point = PointOfRecord(record); point >= 0)
            points.push_back(point);
    return points;
}

void TTablePage::SortByColumn(int column, TSortDirection direction)
{
    if (column < 0) {
        // Record numbers are distinct, so the bubble sort leaves them in plain number order.
        std::sort(Order_.begin(), Order_.end());
        if (direction == TSortDirection::Ascending)
            std::reverse(Order_.begin(), Order_.end());
        return;
    }
    if (column < FieldColumnCount()) {
        SortRowsByField(*Table_, column, direction, Order_);
        return;
    }
    if (column >= ColumnCount())
        return;
    TArray1S cells(Order_.size());
    for (std::size_t row = 0; row < Order_.size(); ++row)
        cells[static_cast<std::size_t>(Order_[row])] = CellText(static_cast<int>(row), column);
    SortRowsByTexts(cells, direction, Order_);
}

void TTablePage::SortByColor()
{
    SortRowsByColor(*Table_, Order_);
}

TArray2S TTablePage::Grid() const
{
    return TableGrid(*Table_, Data_, Order_);
}

} // namespace orbelin::data

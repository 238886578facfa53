// The selection dialog's point style and how a record takes it.
#include "view/SelectionStyle.h"

#include "data/TDataTable.h"

#include <algorithm>

namespace orbelin::view {

void TSelectionStyle::SetFillColor(int color)
{
    FillColor = color;
    if (NoBorder)
        BorderColor = color;
}

void TSelectionStyle::SetBorderColor(int color)
{
    BorderColor = color;
    if (NoFill)
        FillColor = color;
}

void TSelectionStyle::SetNoFill(bool noFill)
{
    NoFill = noFill;
    if (noFill)
        FillColor = BorderColor;
}

void TSelectionStyle::SetNoBorder(bool noBorder)
{
    NoBorder = noBorder;
    if (noBorder)
        BorderColor = FillColor;
}

void ApplySelectionStyle(PointStyle& record, const TSelectionStyle& style)
{
    record[SELECTED] = 1;
    record[FILLCOLOR] = style.FillColor;
    if (style.Shape != NoChangeShape) {
        record[POINTTYPE] = style.Shape >= 0 && style.Shape < NoChangeShape ? style.Shape : 0;
        record[RADIUS] = std::clamp(style.Size, MinSelectionSize, MaxSelectionSize);
    }
    record[BRDCOLOR] = style.BorderColor;
    record[FLFILL] = style.NoFill ? 0 : 1;
    record[FLBRD] = style.NoBorder ? 0 : 1;
    record[FLTIMESER] = 0;
}

void ApplySelectionStyle(data::TDataTable& table, int record, const TSelectionStyle& style)
{
    if (record < 0 || static_cast<std::size_t>(record) >= table.PointStyles.size())
        return;
    ApplySelectionStyle(table.PointStyles[static_cast<std::size_t>(record)], style);
}

} // namespace orbelin::view

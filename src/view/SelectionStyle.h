// The point style the selection dialog gives records, and the colour and size the point
// selection ("Select prop...") marks points with.
#pragma once

#include "data/PointStyle.h"

namespace orbelin::data {
class TDataTable;
}

namespace orbelin::view {

/// Packed colours (red in the low byte) of the selection defaults.
constexpr int PackedRed = 0x0000FF;
constexpr int PackedBlack = 0x000000;
constexpr int PackedYellow = 0x00FFFF;

/// The "Shape" item that leaves a record's shape and size as they are.
constexpr int NoChangeShape = 7;

/// The style of the selection dialog's controls. Change the colours and the two "not"
/// boxes through the setters, which keep an unfilled point's fill equal to its border and a
/// borderless point's border equal to its fill, so that the colour a point is drawn with
/// is always the one chosen.
struct TSelectionStyle {
    int FillColor = PackedRed;
    int BorderColor = PackedBlack;
    bool NoFill = false;   ///< "not" beside the fill colour: points are not filled
    bool NoBorder = false; ///< "not" beside the border colour: points have no border
    int Shape = 0;         ///< marker shape 0..6, or NoChangeShape
    int Size = 8;          ///< point size 1..50

    /// A new fill colour; without a border it becomes the border colour as well.
    void SetFillColor(int color);
    /// A new border colour; without a fill it becomes the fill colour as well.
    void SetBorderColor(int color);
    /// Ticking "not" beside the fill makes the fill colour the border colour.
    void SetNoFill(bool noFill);
    /// Ticking "not" beside the border makes the border colour the fill colour.
    void SetNoBorder(bool noBorder);
};

/// Gives one record the style: SELECTED 1, FILLCOLOR, BRDCOLOR, FLFILL (0 with NoFill),
/// FLBRD (0 with NoBorder), FLTIMESER 0, and POINTTYPE and RADIUS unless the shape is
/// NoChangeShape. A shape outside 0..6 other than NoChangeShape is taken as 0 and a size
/// outside 1..50 is brought into that range, so a record never gets a style the views
/// cannot draw.
void ApplySelectionStyle(PointStyle& record, const TSelectionStyle& style);
/// The same for record r of the table; a record outside the table is left alone.
void ApplySelectionStyle(data::TDataTable& table, int record, const TSelectionStyle& style);

/// The selection properties ("Select prop..."): the colour and size with which the table
/// window and the statistics tool add points to a dataset's point selection.
struct TSelectionProperties {
    int Color = PackedYellow; ///< "Color:", packed
    int Size = 5;             ///< "Size: "
};

/// Smallest and largest point size of the selection settings.
constexpr int MinSelectionSize = 1;
constexpr int MaxSelectionSize = 50;

} // namespace orbelin::view

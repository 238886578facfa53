// The selection dialog's rules: records chosen by conditions on field values, at random or
// by their colour, styled or deselected, and whole fields coloured value by value or
// interval by interval.
#pragma once

#include "coloring/ColorSchemes.h"
#include "numeric/TArray.h"
#include "view/SelectionStyle.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace orbelin::data {
class TDataTable;
}

namespace orbelin::view {

/// The operators of a condition row, in the order of its list.
enum class TCompareOp { None, Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual, Contains };

/// The operator list's items: "", "=", "<>", "<", ">", "<=", ">=", "cont".
const std::array<std::string, 8>& CompareOpItems();
/// The operator of a list item; None for anything else.
TCompareOp CompareOpFromItem(const std::string& item);

/// Whether a cell (trimmed) satisfies "cell op value" for a field of that type. Strings,
/// booleans and memos compare byte-wise with letter case significant, and "cont" asks
/// whether the value occurs in the cell; SmallInt, Integer and Word cells must be whole
/// numbers and compare with the value as numbers; Float and Currency compare as reals
/// ("." separates decimals); Date, DateTime and Time as instants (a date is YYYY-MM-DD or
/// DD.MM.YYYY, optionally followed by HH:MM or HH:MM:SS). "cont" holds only for text, the
/// empty operator never, and a cell or value that cannot be read never matches.
bool CompareCell(TFieldType type, const std::string& cell, TCompareOp op, const std::string& value);

/// The two condition rows of the dialog. Fields are positions in the table's field list;
/// -1 stands for none chosen.
struct TConditions {
    int FirstField = -1;
    TCompareOp FirstOp = TCompareOp::None;
    std::string FirstValue;
    int SecondField = -1;
    TCompareOp SecondOp = TCompareOp::None;
    std::string SecondValue;
    bool UseAnd = true; ///< "AND", else "OR"
};

/// The records, in record order, that satisfy the conditions. A record whose first cell is
/// empty never matches; condition 1 needs a non-empty value; without a second field
/// condition 1 decides; otherwise condition 2 is false for an empty cell, true for an
/// empty value, else the comparison, and the two are joined by AND or OR. No first field
/// (or one outside the table) matches nothing.
TArray1I MatchRecords(const data::TDataTable& table, const TConditions& conditions);

/// The value list of a condition row: the field's values trimmed, sorted as text ignoring
/// letter case, each distinct value once. Empty cells, which no condition can match, are
/// left out.
TArray1S DistinctFieldValues(const data::TDataTable& table, int field);

/// A percentage preset of a condition row: for an operator beginning with "<" or ">" and a
/// non-empty box, the value below (or above) which about that percentage of the records
/// lie. The field's values are ordered (numeric fields: empty cells first, then by number;
/// others as text ignoring letter case); with k = nearest(p / 100 x R) the k-th value for
/// "<", the (R - k)-th for ">", trimmed, numbers written with five decimals. nullopt when
/// the operator or box asks for no preset. Raises TError "'TEXT' is not a valid integer
/// value" for a box that is not a whole number, "'TEXT' is not a valid floating point
/// value" for a numeric cell that is not a number, and "List index out of bounds (K)"
/// when the index falls outside the values.
std::optional<std::string> PercentagePreset(const data::TDataTable& table, int field, TCompareOp op,
                                            const std::string& percentage);

/// One entry of the "Selection by color" list.
struct TColorEntry {
    int Fill = 0;
    int Border = 0;
    bool operator==(const TColorEntry&) const = default;
};

/// For each record in order that is filled or bordered, an entry (fill, border) when its
/// fill colour is not yet an entry's fill colour.
std::vector<TColorEntry> ColorEntries(const data::TDataTable& table);

/// The dialog's three ways of choosing records.
enum class TSelectChoice { Conditional, Random, ByColor };

/// Which records "Select" and "Deselect" work on.
struct TRecordChoice {
    TSelectChoice Choice = TSelectChoice::Conditional;
    TConditions Conditions;
    int Percentage = 100;           ///< "% of all", 0..100
    bool IncludingSelected = false; ///< "Including selected"
    TColorEntry Color;              ///< the chosen colour entry
    bool ColorChosen = false;
};

/// "Select": gives the style to the chosen records and returns them, in the order styled.
/// Conditional: the records of MatchRecords. Random: nearest(candidates x percentage / 100)
/// records drawn with equal chance among the candidates (every record with "Including
/// selected", otherwise the records not selected), each at most once. By colour: every
/// record whose fill colour is the entry's. Raises TError when a condition row has no
/// first field or no colour entry is chosen, so nothing happens as if one were.
TArray1I SelectRecords(data::TDataTable& table, const TRecordChoice& choice, const TSelectionStyle& style);

/// "Deselect": SELECTED := 0 (the styles stay) for the records of MatchRecords; at random
/// for nearest(selected x percentage / 100) of the selected records; by colour for the
/// records whose fill and border colours are both the entry's. Returns them. Raises TError
/// as SelectRecords.
TArray1I DeselectRecords(data::TDataTable& table, const TRecordChoice& choice);

/// The fill colour "Auto" gives value i of n: the packed FourStep(i / (n - 1)); a single
/// value takes the start of the ramp.
int AutoColor(int i, int n);

/// "Auto": for each value of the list in order, the first condition becomes "field = value"
/// (the second row stays) and the records it matches are styled in AutoColor. Returns the
/// number of records styled. Raises TError without a first field.
int AutoSelect(data::TDataTable& table, const TConditions& conditions, const TArray1S& values, TSelectionStyle style);

/// The smallest and largest of the value list read as reals; TError "'TEXT' is not a valid
/// floating point value" for an item that is not a number. An empty list gives (1e10,
/// -1e10).
std::pair<double, double> ValueRange(const TArray1S& values);

/// "AutoInt": with the colour grading's rows, each interval [bound r, bound r + 1) of the
/// first field is styled in row r's colour (condition "field >= bound r AND field < bound
/// r + 1"), and the last row takes every value from its bound upwards. Returns the number
/// of records styled. Raises TError without a first field.
int AutoIntSelect(data::TDataTable& table, int field, const std::vector<coloring::TGradingRow>& rows,
                  TSelectionStyle style);

} // namespace orbelin::view

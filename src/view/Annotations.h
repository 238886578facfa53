// Annotations of a map's data points: the rows the map keeps, their bulk creation from
// the table records, their copy into a result column, and where their labels go.
#pragma once

#include "data/TData.h"
#include "data/TDataTable.h"
#include "numeric/TArray.h"
#include "view/SceneObjects.h"
#include "view/TCamera.h"

#include <string>
#include <vector>

namespace orbelin::view {

/// The four texts of an annotation row of a map: the decimal index of the data point,
/// the decimal font size, the border flag ("N") and the label text.
enum TAnnotationColumn : int { AnnotPoint = 0, AnnotFontSize = 1, AnnotBorder = 2, AnnotText = 3 };

/// The data point a row annotates, or -1 when its index is not a decimal integer or not a
/// point of a dataset of pointCount points (for instance after the dataset was rebuilt).
int AnnotationPoint(const TArray1S& row, int pointCount);

/// For every point, the text of the last row that annotates it ("" when none).
TArray1S LastAnnotationTexts(const TArray2S& annotations, int pointCount);

/// Which points "Apply" annotates.
enum class TAnnotPoints { Random, ByColor, Selected };
/// What the new labels say.
enum class TAnnotText { AllFields, MaxValues, MinValues, Unexpected, UnexpectedInClass };

/// The annotation window's controls, with their defaults.
struct TAnnotationSettings {
    TAnnotPoints Points = TAnnotPoints::Selected;
    int Percentage = 50;   ///< "Randomly selected": 0..100
    int ColorItem = -1;    ///< "By color": the chosen entry of ClassColors, -1 when none
    TArray1I TickedFields; ///< table field positions ticked in the field list, in list order
    TAnnotText Text = TAnnotText::AllFields;
    int Depth = 1; ///< field names the ranking modes write
    int FontSize = 7;
    int MaxLength = 50; ///< the longest label in characters; 0 for no limit
};

/// The annotation window's state between showings.
struct TAnnotationState {
    TArray1I ClassColors; ///< the table's distinct fill colours, one per colour list entry
    TArray2S NewRows;     ///< the rows made by the last MakeAnnotations
};

/// "By color" chosen: rebuilds the colour list from the table's records.
void RefreshClassColors(TAnnotationState& state, const data::TDataTable& table);

/// Builds state.NewRows for the points chosen by the settings, from their table records.
/// Returns false, with NewRows empty, when no field is ticked. Random choice draws points
/// that have no row yet, (N - rows) x percentage / 100 of them (halves to even). Raises
/// TError when "By color" has no colour chosen, and "'TEXT' is not a valid floating point
/// value" for a ticked numeric cell (or, in the "unexpected" modes, any numeric cell) that
/// is not a number; annotations is never changed.
bool MakeAnnotations(const TArray2S& annotations, const data::TData& data, const data::TDataTable& table,
                     const TAnnotationSettings& settings, TAnnotationState& state);

/// "Apply": MakeAnnotations, then the new rows are appended to the map's annotations and
/// the point selection is cleared. False when nothing was made (no field ticked); the
/// caller then repaints nothing.
bool ApplyAnnotations(TArray2S& annotations, data::TData& data, const data::TDataTable& table,
                      const TAnnotationSettings& settings, TAnnotationState& state);

/// "To table": appends a result column "Annot" with one empty text per point and writes
/// each row's text at its point, in row order, so the last row of a point wins. Rows that
/// annotate no point of the dataset are skipped.
void AnnotationsToTable(const TArray2S& annotations, data::TData& data);

/// A label to draw over the view: its box's top-left corner in window pixels (y counted
/// from the top), its font and its text.
struct TAnnotationLabel {
    int X = 0;
    int Y = 0;
    int FontSize = 0;
    std::string FontName; ///< "MS Sans Serif" above size 7, else "Small Fonts"
    std::string Text;
};

/// The labels DrawAnnotations paints, in row order: one per row with a non-empty text
/// whose point has a marker in the data-point object and is not hidden by the visibility
/// flags (when there are any); rows of points the dataset does not have are skipped. A
/// row whose point index or font size is not a decimal integer stops the labels there:
/// error (when given) receives "'TEXT' is not a valid integer value", and the labels of
/// the rows before it are returned.
std::vector<TAnnotationLabel> AnnotationLabels(const TArray2S& annotations, const TVisPoint& dataPoints,
                                               const TArray1I& visibility, const TCamera& camera, int width,
                                               int height, std::string* error = nullptr);

} // namespace orbelin::view

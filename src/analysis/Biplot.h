// The biplot: the dataset's fields drawn as rays along their coordinate axes, styled by a
// colours-and-sizes set of the dual space (one record per field), and the labels and hints
// of those rays.
#pragma once

#include "data/PointStyle.h"
#include "numeric/TArray.h"
#include "view/TAddObject.h"

#include <string>
#include <vector>

namespace orbelin::data {
class TData;
class TDataTable;
} // namespace orbelin::data
namespace orbelin::map {
class TMap;
}

namespace orbelin::analysis {

/// The dual-space style list: one record per field of the dataset, in field order.
struct TBiplotStyles {
    bool Loaded = false; ///< a file has been read
    std::vector<PointStyle> Records;
};

/// "Load Colors and Sizes table": the first set of a colours-and-sizes file becomes the
/// style list (a file without sets gives an empty one). Raises TError naming the file and
/// the place for a file that cannot be read; the list is then left as it was.
void LoadBiplotStyles(const std::string& fileName, TBiplotStyles& styles);

/// The status text: k + " selected points from " + n, with k the records whose selected
/// flag is 1 and n the records; "(not loaded)" before any load.
std::string BiplotStatus(const TBiplotStyles& styles);

/// The rays of the selected records below the dataset's dimension: record i gives a ray
/// from -3 to 3 along coordinate i with the record's size, shape, colours and flags.
std::vector<view::TAddRay> BiplotRays(const TBiplotStyles& styles, int dimension);

/// "Create biplot": the dataset's rays are replaced by BiplotRays, the map's rays are
/// placed again and the "Objects" layer with its markers and lines is made visible.
/// Before any style file is loaded nothing changes and the returned text says what to do;
/// otherwise it is empty.
std::string CreateBiplot(map::TMap& map, const TBiplotStyles& styles);

/// The scale slider at s (-100 to 100): every non-zero start coordinate of every ray
/// becomes -3 - s + 0.01 and every non-zero end coordinate 3 + s + 0.01, so that at -3
/// both ends meet and below it the ray turns round.
void ScaleRays(std::vector<view::TAddRay>& rays, int s);

/// ScaleRays on the map's dataset, then the rays are placed again (a map under training
/// is drawn by its next step).
void ScaleBiplot(map::TMap& map, int s);

/// The items of the field-annotation list: "Field Name", then for each annotation position
/// p = 1, 2, ... of the table's field declarations "D" + p + "(" followed by the distinct
/// values other than "" and "@" at that position over the fields, each with a ",", until
/// the text passes 25 characters, then "...)".
TArray1S AnnotationItems(const data::TDataTable& table);

/// The map's annotation list as the biplot window shows it: [0] ("Field Name") when it is
/// empty, which the map then keeps.
const TArray1I& ShownAnnotationColumns(map::TMap& map);

/// The hint of the rays under the mouse: one line per ray, the texts of the columns joined
/// by "/", column 0 being the field's name and column c the field annotation "Dc" of the
/// ray's table field ("" when it has none or it is "@"). Rays outside the list are passed over.
TArray1S RayHintLines(const data::TData& data, const std::vector<int>& rays, const TArray1I& columns);

} // namespace orbelin::analysis

// A dataset: the normalised numeric view of a table on which maps are built.
#pragma once

#include "numeric/TArray.h"
#include "view/PointSets.h"
#include "view/TProjectorAxes.h"

#include <memory>
#include <string>
#include <vector>

namespace orbelin::app {
class TScript;
}
namespace orbelin::map {
class TMap;
}

namespace orbelin::data {

class TDataTable;

/// Normalisation statistics of one coordinate, in the order of the dataset file. Minima
/// and maxima skip missing values and start from +1e100 and -1e100.
struct TNormStat {
    double RawMin = 1e100;       ///< minimum of the raw values
    double RawMax = -1e100;      ///< maximum of the raw values
    double Std = 0;              ///< standard deviation after the logarithm step
    double Mean = 0;             ///< mean after the logarithm step
    double PreRangeMin = 1e100;  ///< minimum after the logarithm, deviation and tangent steps
    double PreRangeMax = -1e100; ///< maximum after those steps
    double FinalMin = 1e100;     ///< minimum of the normalised coordinate
    double FinalMax = -1e100;    ///< maximum of the normalised coordinate

    static constexpr int Count = 8;
    /// Entry i in file order (0 RawMin ... 7 FinalMax).
    double& At(int i);
    double At(int i) const;
};

/// The choices a user makes for one table field before a dataset is built from it.
struct TFieldChoice {
    bool Use = false;   ///< the field is a coordinate
    bool Log = false;   ///< "On logarithm"
    bool Tanh = false;  ///< "On hyperbolic tangent"
    bool Range = false; ///< "On (-1;1) diapason"
    bool Std = false;   ///< "On standart deviation"
};

/// A dataset owns its maps and the per-point data the views and tools attach to it; it
/// refers to its script and its table without owning them. Points keep the table's record
/// order: NUMXI is strictly increasing. The style and visibility sets, additional objects,
/// line sets and rays come from the base.
class TData : public view::TPointSetsAndObjects {
public:
    TData();
    ~TData();
    TData(const TData&) = delete;
    TData& operator=(const TData&) = delete;
    TData(TData&&) noexcept;
    TData& operator=(TData&&) noexcept;

    std::string Name;                ///< dataset name; also the base name of its file
    app::TScript* Script = nullptr;  ///< owning script, not owned here
    TDataTable* Table = nullptr;     ///< the table it was built from, not owned here
    TArray1B UsedFields;             ///< [table FieldCount]: which fields are coordinates
    int CoordCount = 0;              ///< d
    TArray1S CoordNames;             ///< [d], in table field order
    TArray1B LogFlags;               ///< [d]
    TArray1B TanhFlags;              ///< [d]
    TArray1B RangeFlags;             ///< [d]
    TArray1B StdFlags;               ///< [d]
    bool ExcludeGaps = false;        ///< records with an empty used value were left out
    int PointCount = 0;              ///< N
    TArray2D Points;                 ///< [N][d] normalised coordinates, possibly missing
    TArray1I NUMXI;                  ///< [N] table record of each point
    double Scale = 1;                ///< product of the scale commands' factors
    std::vector<TNormStat> NormStat; ///< [d]

    /// The point selection: indices of marked points (no duplicates), each with its own
    /// colour and size. The three vectors have equal length.
    TArray1I MarkedPoints;
    TArray1I MarkColors;
    TArray1I MarkSizes;

    TArray1S ResultColumnNames; ///< names of text columns attached by the analysis tools
    TArray2S ResultColumns;     ///< [column][N]
    TArray1D PointWeights;      ///< [N], or empty when the points carry no weights
    double TotalWeight = 0;     ///< sum of PointWeights, refreshed by training

    TArray2I ClusterLinks; ///< pairs of point indices joined by hierarchical clustering
    /// The discriminant and the regression function of the analysis tools: the constant,
    /// then one coefficient per coordinate; empty until the first analysis.
    TArray1D SeparatingFunction;
    TArray1D RegressionFunction;
    /// Projection-pursuit results, offered as views; owned by the dataset.
    std::vector<std::unique_ptr<view::TProjectorAxes>> Projectors;

    std::vector<std::unique_ptr<map::TMap>> Maps; ///< maps trained on this dataset, owned
    int ActiveMap = 0;                            ///< index of the current map in Maps

    /// The map at ActiveMap, or null when ActiveMap is outside Maps.
    map::TMap* CurrentMap() const;
};

/// Modes of MarkPoints; any other value toggles.
enum TMarkMode : int {
    MarkAdd = 1,
    MarkRemove = 2,
    MarkToggle = 3,
};

/// Edits the point selection. colour -1 stands for each point's own table fill colour,
/// size -1 for its own table radius. A single point already marked in that colour is
/// unmarked whatever the mode; otherwise unmarked points are added (not in MarkRemove),
/// marked ones removed (not in MarkAdd), and every listed point that is now marked takes
/// the colour and size. Indices outside the points are ignored.
void MarkPoints(TData& data, const TArray1I& points, int colour, int size, int mode);
/// Empties the point selection.
void ClearMarks(TData& data);

/// Frees map k and closes the gap; ActiveMap moves to the new last index if it pointed
/// past the end. An index outside Maps does nothing.
void RemoveMap(TData& data, int k);

} // namespace orbelin::data

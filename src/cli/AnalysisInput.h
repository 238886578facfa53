// What the analysis commands share: their dataset, field and class arguments turned into
// core inputs.
#pragma once

#include "cli/Options.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "numeric/TArray.h"

#include <optional>
#include <string>
#include <vector>

namespace orbelin::map {
class TMap;
class TNetGrid;
} // namespace orbelin::map

namespace orbelin::cli {

/// Loads DATASET.obd with its table; raises TError when the files cannot be read or a
/// point refers to a record the table lacks.
void LoadAnalysisDataset(const std::string& path, data::TData& data, data::TDataTable& table);

/// The dataset file with its table, and the map read against it when one is given.
struct TAnalysisInput {
    data::TData Data;
    data::TDataTable Table;
    map::TMap* Map = nullptr;

    /// LoadAnalysisDataset, or the map with the dataset at path when mapPath is given.
    void Load(const std::string& path, const std::optional<std::string>& mapPath = std::nullopt);
    /// The map's grid, null without a map.
    const map::TNetGrid* Grid() const;
};

/// --class-field NAME and --class VALUE, which go together and are both needed.
struct TClassOptions {
    std::string Field;
    std::string Value;
};
TClassOptions ClassOptions(const TOptions& line);

/// The index of the table field of that name (letter case ignored); raises TError naming
/// the option, the table and its fields when there is none.
int TableFieldOption(const data::TDataTable& table, const std::string& option, const std::string& name);

/// The dataset coordinates a comma-separated list names (all of them without a list), as
/// one flag per coordinate; raises TError naming an unknown coordinate.
std::vector<bool> CoordinateFlags(const data::TData& data, const std::string& option,
                                  const std::optional<std::string>& list);

/// The classes of a table field: its distinct trimmed texts in order of first appearance.
/// Every record takes its class's colour as fill colour (blue for the first class through
/// red for the last), so that the core's class-colour tools see the field's classes.
struct TFieldClasses {
    std::string Field;
    TArray1S Values;
    TArray1I Colors;
};
TFieldClasses ColourRecordsByField(data::TDataTable& table, int field);
/// The colour of the class whose text is value (trimmed); raises TError naming the option,
/// the field and its classes when there is none.
int ClassColorOption(const TFieldClasses& classes, const std::string& option, const std::string& value);

/// "#rrggbb" of a packed colour (red in the low byte).
std::string HexColor(int packed);

} // namespace orbelin::cli

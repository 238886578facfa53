// Small datasets for the analysis tests: a table of float fields, every field a
// coordinate, and the dataset built on it with the chosen normalisations.
#pragma once

#include "data/DatasetBuild.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "data/TableMaker.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace orbelin::test {

/// A table and its dataset, kept together so that the dataset's table pointer stays valid.
struct TAnalysisFixture {
    data::TDataTable Table;
    data::TData Data;
};

/// Fields named by names, all Float and all coordinates, rows of cell texts ("" empty),
/// the record colours when given, and the range normalisation for the fields flagged in
/// range. Records with SELECTED 0 (unselected) are left out of the dataset.
inline std::unique_ptr<TAnalysisFixture> MakeAnalysisFixture(const TArray1S& names, const TArray2S& rows,
                                                             const TArray1I& colours = {},
                                                             const std::vector<bool>& range = {},
                                                             const TArray1I& unselected = {})
{
    auto f = std::make_unique<TAnalysisFixture>();
    std::vector<std::pair<std::string, TFieldType>> fields;
    for (const std::string& name : names)
        fields.push_back({name, TFieldType::Float});
    f->Table = MakeTable(fields, rows);
    for (std::size_t r = 0; r < colours.size() && r < f->Table.PointStyles.size(); ++r)
        f->Table.PointStyles[r][FILLCOLOR] = colours[r];
    for (int r : unselected)
        f->Table.PointStyles[static_cast<std::size_t>(r)][SELECTED] = 0;
    std::vector<data::TFieldChoice> choices(names.size(), data::TFieldChoice{true});
    for (std::size_t k = 0; k < range.size() && k < choices.size(); ++k)
        choices[k].Range = range[k];
    f->Data.Name = "d";
    f->Data.Table = &f->Table;
    EXPECT_TRUE(data::BuildFromTable(f->Data, choices).Built);
    data::Normalise(f->Data);
    return f;
}

} // namespace orbelin::test

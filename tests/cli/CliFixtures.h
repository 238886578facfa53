// Running orbelin-cli from the tests, and the dataset files its map commands start from.
#pragma once

#include "TestUtil.h"
#include "data/DatasetBuild.h"
#include "data/DatasetFile.h"
#include "data/NumberText.h"
#include "data/TDataTable.h"
#include "data/TableMaker.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/wait.h>

namespace orbelin {

struct TRun {
    int Status;
    std::string Out, Err;
};

inline TRun RunCli(const test::TTempDir& dir, const std::string& arguments)
{
    const std::string out = dir.File("stdout"), err = dir.File("stderr");
    const std::string command = std::string("'") + ORBELIN_CLI + "' " + arguments + " >'" + out + "' 2>'" + err + "'";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::ReadBytes(out), test::ReadBytes(err)};
}

// A table of three float fields with one gap, and its dataset (every field a coordinate),
// written as name.obt and name.obd in the folder.
inline void WriteDataset(const std::string& folder, const std::string& name, int fields = 3)
{
    std::vector<std::pair<std::string, TFieldType>> columns;
    for (int j = 0; j < fields; ++j)
        columns.push_back({"F" + std::to_string(j), TFieldType::Float});
    TArray2S rows;
    for (int r = 0; r < 40; ++r) {
        TArray1S row;
        for (int j = 0; j < fields; ++j)
            row.push_back(r == 7 && j == 1 ? "" : data::GeneralText((r * (j + 3) % 17) * (j == 0 ? 1.0 : 0.3) + j));
        rows.push_back(row);
    }
    data::TDataTable table = test::MakeTable(columns, rows, name);
    data::SaveTable(table, folder + "/" + name + ".obt");
    data::TData dataset;
    dataset.Name = name;
    dataset.Table = &table;
    EXPECT_TRUE(
        data::BuildFromTable(dataset, std::vector<data::TFieldChoice>(static_cast<std::size_t>(fields), {true})).Built);
    data::Normalise(dataset);
    data::WriteDatasetFile(dataset, folder + "/" + name + ".obd");
}

inline std::string Quoted(const std::string& path)
{
    return "'" + path + "'";
}

} // namespace orbelin

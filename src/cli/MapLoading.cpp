// Maps read with their datasets.
#include "cli/MapLoading.h"

#include "cli/CommandLine.h"
#include "data/Cp1251.h"
#include "data/DatasetFile.h"
#include "data/TData.h"
#include "data/TDataTable.h"
#include "data/TError.h"
#include "data/TextRoutines.h"
#include "map/MapFile.h"
#include "map/TMap.h"

#include <filesystem>

namespace orbelin::cli {

std::string DatasetBeside(const std::string& mapPath, const std::string& dataFileName)
{
    namespace fs = std::filesystem;
    if (dataFileName.empty())
        throw TError("map file " + mapPath + " names no dataset in \"# DATAFILENAME\": give one with --dataset");
    if (dataFileName.find_first_of("/\\") != std::string::npos || dataFileName == "." || dataFileName == "..")
        throw TError("map file " + mapPath + ": the dataset name " + dataFileName + " is not a plain file name");
    const fs::path folder = fs::path(mapPath).parent_path();
    const std::string wanted = dataFileName + ".obd";
    fs::path path = folder / wanted;
    std::error_code ec;
    if (fs::exists(path, ec))
        return path.string();
    const std::string folded = data::FoldCase(wanted);
    for (const fs::directory_entry& entry : fs::directory_iterator(folder.empty() ? fs::path(".") : folder, ec))
        if (data::FoldCase(entry.path().filename().string()) == folded)
            return (folder / entry.path().filename()).string();
    throw TError("map file " + mapPath + ": its dataset " + wanted + " is not in the folder " +
                 (folder.empty() ? std::string(".") : folder.string()) + " (give one with --dataset)");
}

CLI::Option* AddDatasetOption(CLI::App& command)
{
    return AddValue(command, "--dataset", "DATASET.obd",
                    "the map's dataset (without it: the one the map names, beside it)");
}

map::TMap& LoadMapWithDataset(const std::string& mapPath, const std::optional<std::string>& datasetPath,
                              data::TData& dataset, data::TDataTable& table)
{
    std::string path;
    if (datasetPath) {
        path = *datasetPath;
    } else {
        map::TMap alone;
        map::ReadMapAlone(alone, mapPath);
        path = DatasetBeside(mapPath, alone.DataFileName);
    }
    data::LoadDatasetWithTable(path, dataset, table);
    map::TMap& map = map::AddMap(dataset, data::BaseName(mapPath));
    std::string error;
    if (!map::ReadMapFileFrom(dataset, mapPath, &error))
        throw TError(error);
    return map;
}

} // namespace orbelin::cli

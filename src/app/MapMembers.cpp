// Layers, components and names of a dataset's maps.
#include "app/MapMembers.h"

#include "data/Cp1251.h"
#include "data/TextRoutines.h"
#include "map/MapInit.h"
#include "numeric/TUserInterface.h"

namespace orbelin::app {

void AddStandardLayers(map::TMap& map)
{
    if (!map.Layers.empty())
        return;
    for (const char* name : {"Datasets", "Net", "Colorings", "Objects"})
        map::AddLayer(map, name);
}

void ComputeComponentsInto(map::TMap& map)
{
    if (!map.Data || map.Data->PointCount <= 0 || map.Data->CoordCount <= 0)
        return;
    map.Centre = map::ComputeMapComponents(map, 3);
}

bool MapNameTaken(const TProject& project, const std::string& name, const map::TMap* self)
{
    const std::string file = data::FoldCase(data::BaseName(name));
    for (const auto& script : project.Scripts)
        for (const auto& dataset : script->Datasets)
            for (const auto& map : dataset->Maps)
                if (map.get() != self && data::FoldCase(data::BaseName(map->Name)) == file)
                    return true;
    return false;
}

std::string NextMapName(const TProject& project, int s, int k)
{
    const TScript& script = *project.Scripts.at(static_cast<std::size_t>(s));
    const data::TData& dataset = *script.Datasets.at(static_cast<std::size_t>(k));
    const std::string prefix = "Map" + std::to_string(s) + std::to_string(k);
    for (std::size_t n = dataset.Maps.size() + 1;; ++n) {
        std::string name = prefix + std::to_string(n);
        if (!MapNameTaken(project, name, nullptr))
            return name;
    }
}

bool RefusedWhileTraining(const map::TMap* map, const std::string& action)
{
    if (!map)
        return false;
    UserInterface().ShowMessage(map::TrainingRefusal(*map, action));
    return true;
}

} // namespace orbelin::app

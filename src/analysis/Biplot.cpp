// Biplot rays, their scale, and the field annotations that label them.
#include "analysis/Biplot.h"

#include "data/TData.h"
#include "data/TDataTable.h"
#include "data/TRWFile.h"
#include "data/TextRoutines.h"
#include "map/TMap.h"
#include "view/PointSetFiles.h"
#include "view/ViewGeometry.h"

#include <algorithm>

namespace orbelin::analysis {

namespace {

constexpr std::size_t ObjectLayer = 3;

// The table field of dataset coordinate k: the k-th used field, -1 when there is none.
int TableFieldOf(const data::TData& data, int k)
{
    int seen = -1;
    for (std::size_t f = 0; f < data.UsedFields.size(); ++f)
        if (data.UsedFields[f] && ++seen == k)
            return static_cast<int>(f);
    return -1;
}

} // namespace

void LoadBiplotStyles(const std::string& fileName, TBiplotStyles& styles)
{
    std::vector<view::TStyleSet> sets;
    TArray1S names;
    view::ReadStyleSets(fileName, sets, names);
    styles.Records = sets.empty() ? std::vector<PointStyle>() : sets.front();
    styles.Loaded = true;
}

std::string BiplotStatus(const TBiplotStyles& styles)
{
    if (!styles.Loaded)
        return "(not loaded)";
    const auto selected = std::count_if(styles.Records.begin(), styles.Records.end(),
                                        [](const PointStyle& s) { return s[SELECTED] == 1; });
    return std::to_string(selected) + " selected points from " + std::to_string(styles.Records.size());
}

std::vector<view::TAddRay> BiplotRays(const TBiplotStyles& styles, int dimension)
{
    std::vector<view::TAddRay> rays;
    for (int i = 0; i < dimension && static_cast<std::size_t>(i) < styles.Records.size(); ++i) {
        const PointStyle& s = styles.Records[static_cast<std::size_t>(i)];
        if (s[SELECTED] != 1)
            continue;
        view::TAddRay ray;
        ray.RayStart.assign(static_cast<std::size_t>(dimension), 0.0);
        ray.RayEnd.assign(static_cast<std::size_t>(dimension), 0.0);
        ray.RayStart[static_cast<std::size_t>(i)] = -3;
        ray.RayEnd[static_cast<std::size_t>(i)] = 3;
        ray.RayRadius = s[RADIUS];
        ray.RayShape = s[POINTTYPE];
        ray.RayFillColor = s[FILLCOLOR];
        ray.RayBorderColor = s[BRDCOLOR];
        ray.RayFillFlag = s[FLFILL];
        ray.RayBorderFlag = s[FLBRD];
        ray.RayField = i;
        rays.push_back(std::move(ray));
    }
    return rays;
}

std::string CreateBiplot(map::TMap& map, const TBiplotStyles& styles)
{
    if (!map.Data)
        return "The map has no dataset to draw the fields of.";
    if (!styles.Loaded)
        return "Load a Colors and Sizes table for the fields first (\"Load Colors and Sizes table\"): it decides "
               "which fields become rays and how they are drawn.";
    map.Data->Rays = BiplotRays(styles, map.Data->CoordCount);
    if (map.Layers.size() > ObjectLayer) {
        view::TLayer& layer = map.Layers[ObjectLayer];
        layer.SetVisible(true);
    }
    // Only the rays changed: the coloring and the rest of the view stay as they are.
    if (!map.Training)
        view::RebuildRays(map);
    return {};
}

void ScaleRays(std::vector<view::TAddRay>& rays, int s)
{
    for (view::TAddRay& ray : rays) {
        for (double& x : ray.RayStart)
            if (x != 0)
                x = -3 - s + 0.01;
        for (double& x : ray.RayEnd)
            if (x != 0)
                x = 3 + s + 0.01;
    }
}

void ScaleBiplot(map::TMap& map, int s)
{
    if (!map.Data)
        return;
    ScaleRays(map.Data->Rays, s);
    if (!map.Training)
        view::RebuildRays(map);
}

TArray1S AnnotationItems(const data::TDataTable& table)
{
    TArray1S items = {"Field Name"};
    std::size_t longest = 0;
    for (const TArray1S& declaration : table.FieldDescriptors)
        longest = std::max(longest, declaration.size());
    // Tokens 0 to 2 are the name, the type and "TRUE"; the annotations follow.
    for (std::size_t position = 3; position < longest; ++position) {
        std::string text = "D" + std::to_string(position - 2) + "(";
        TArray1S seen;
        for (const TArray1S& declaration : table.FieldDescriptors) {
            if (text.size() > 25)
                break;
            const std::string value = position < declaration.size() ? declaration[position] : std::string();
            if (value.empty() || value == "@" || std::find(seen.begin(), seen.end(), value) != seen.end())
                continue;
            seen.push_back(value);
            text += value + ",";
        }
        items.push_back(text + "...)");
    }
    return items;
}

const TArray1I& ShownAnnotationColumns(map::TMap& map)
{
    if (map.AnnotationColumns.empty())
        map.AnnotationColumns = {0};
    return map.AnnotationColumns;
}

TArray1S RayHintLines(const data::TData& data, const std::vector<int>& rays, const TArray1I& columns)
{
    TArray1S lines;
    for (int r : rays) {
        if (r < 0 || static_cast<std::size_t>(r) >= data.Rays.size())
            continue;
        const int k = data.Rays[static_cast<std::size_t>(r)].RayField;
        const int field = TableFieldOf(data, k);
        std::string line;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            std::string text;
            if (columns[c] == 0) {
                if (k >= 0 && static_cast<std::size_t>(k) < data.CoordNames.size())
                    text = data.CoordNames[static_cast<std::size_t>(k)];
            } else if (data.Table && field >= 0 && static_cast<std::size_t>(field) < data.Table->FieldDescriptors.size()) {
                const TArray1S& declaration = data.Table->FieldDescriptors[static_cast<std::size_t>(field)];
                const auto position = static_cast<std::size_t>(columns[c]) + 2;
                if (columns[c] > 0 && position < declaration.size() && declaration[position] != "@")
                    text = data::TrimBlanks(declaration[position]);
            }
            if (c > 0)
                line += "/";
            line += text;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace orbelin::analysis

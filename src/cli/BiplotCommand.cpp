// biplot: the rays a dual-space colours-and-sizes set makes of a dataset's fields, and the
// rays shared with export.
#include "analysis/Biplot.h"
#include "cli/BiplotOptions.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "data/DatasetFile.h"
#include "data/TData.h"
#include "data/TDataTable.h"

namespace orbelin::cli {

void RunBiplot(const TOptions& line)
{
    data::TData data;
    data::TDataTable table;
    data::LoadDatasetWithTable(line.Path, data, table);
    analysis::TBiplotStyles styles;
    const std::vector<view::TAddRay> rays = RaysOfOptions(line, "--styles", "--scale", data, styles);

    TJson json;
    json["kind"] = "biplot";
    TJson& list = json["rays"] = TJson::array();
    for (const view::TAddRay& ray : rays)
        list.push_back({{"field", data.CoordNames[static_cast<std::size_t>(ray.RayField)]},
                        {"start", ray.RayStart},
                        {"end", ray.RayEnd}});
    json["status"] = analysis::BiplotStatus(styles);
    PrintJson(json);
}

void AddBiplotCommand(TCommandLine& cli)
{
    CLI::App& command =
        cli.AddCommand("biplot", "draw a dataset's fields as rays along their axes, styled by a dual-space set",
                       RunBiplot);
    AddPath(command, "DATASET.obd", "the dataset");
    AddValue(command, "--styles", "DUAL.obc",
             "a colours-and-sizes set with one record per field: its selected records become rays")
        ->required();
    AddValue(command, "--scale", "S", "the scale slider, from -100 to 100: the ends at -3 - S and 3 + S");
}

} // namespace orbelin::cli

// The biplot rays of a command line.
#include "cli/BiplotOptions.h"

#include "data/TData.h"

namespace orbelin::cli {

std::vector<view::TAddRay> RaysOfOptions(const TOptions& line, const std::string& stylesOption,
                                         const std::string& scaleOption, const data::TData& data,
                                         analysis::TBiplotStyles& styles)
{
    const std::string path = *line.Value(stylesOption);
    const auto scale = line.Value(scaleOption);
    const int s = static_cast<int>(WholeOption(line, scaleOption, 0, -100, 100));
    analysis::LoadBiplotStyles(path, styles);
    std::vector<view::TAddRay> rays = analysis::BiplotRays(styles, data.CoordCount);
    // Without a scale the rays stand as "Create biplot" makes them, from -3 to 3; a scale
    // places them as the slider does.
    if (scale)
        analysis::ScaleRays(rays, s);
    return rays;
}

} // namespace orbelin::cli

// orbelin-cli export: the VRML scene, PostScript plot and HTML image map of a map seen with
// a camera, checked against the camera's own formulas, against each other and, where the
// machine has them, with an independent VRML reader and with Ghostscript.
#include "TestUtil.h"
#include "cli/CliFixtures.h"
#include "cli/JsonReader.h"
#include "cli/RunInFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <sstream>

namespace orbelin {
namespace {

using test::TJson;

// A 4 x 5 rectangular map (20 nodes) on 40 points of the fields F0, F1, F2, labelled at
// the typical point of each F0 value.
struct TExportFiles {
    test::TTempDir Dir;
    int Labels = 0;

    TExportFiles()
    {
        WriteDataset(Dir.Path().string(), "pts");
        EXPECT_EQ(RunIn(Dir, "init pts.obd -o pts.obm --rows 4 --cols 5").Status, 0);
        const TRun annotate = RunIn(Dir, "annotate pts.obm --class F0 -o pts.obm");
        EXPECT_EQ(annotate.Status, 0) << annotate.Err;
        Labels = static_cast<int>(test::ReadJson(annotate.Out)["added"].Size());
    }
    TRun Export(const std::string& options) const { return RunIn(Dir, "export pts.obm " + options); }
    std::string Read(const std::string& name) const { return test::ReadBytes(Dir.File(name)); }
};

struct TCentre {
    double X, Y; ///< window position, y counted from the bottom edge
};

// The circle centres of the image map, turned back into window positions.
std::vector<TCentre> AreaCentres(const std::string& page, int height)
{
    std::vector<TCentre> centres;
    const std::regex area(R"re(coords="(-?\d+),(-?\d+),5")re");
    for (auto it = std::sregex_iterator(page.begin(), page.end(), area); it != std::sregex_iterator(); ++it)
        centres.push_back({std::stod((*it)[1]), height - std::stod((*it)[2])});
    return centres;
}

// The marker translations of the VRML scene, in file order.
std::vector<std::array<double, 3>> SphereCentres(const std::string& scene)
{
    std::vector<std::array<double, 3>> centres;
    const std::regex sphere(R"re(translation (\S+) (\S+) (\S+)  children)re");
    for (auto it = std::sregex_iterator(scene.begin(), scene.end(), sphere); it != std::sregex_iterator(); ++it)
        centres.push_back({std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3])});
    return centres;
}

int Occurrences(const std::string& text, const std::string& piece)
{
    int count = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + piece.size()))
        ++count;
    return count;
}

TEST(ExportCommandTest, WindowPositionsFollowTheCamera)
{
    const TExportFiles files;
    const TRun run = files.Export("--vrml base.wrl --ps base.ps --html base");
    ASSERT_EQ(run.Status, 0) << run.Err;
    const TJson out = test::ReadJson(run.Out);
    EXPECT_EQ(out["width"].Number, 800);
    EXPECT_EQ(out["height"].Number, 600);
    EXPECT_EQ(out["zoom"].Number, 320);
    EXPECT_EQ(out["points"].Number, 40);
    EXPECT_EQ(out["files"]["html"].Text, "base/htmlview.html");

    // The map window's camera: zoom 320 puts the camera at 19 - 10000 / 320 = -12.25, and
    // the orthographic view shows 0.0875 * 12.25 scene units above and below the centre.
    const std::vector<TCentre> base = AreaCentres(files.Read("base/htmlview.html"), 600);
    const auto scene = SphereCentres(files.Read("base.wrl"));
    ASSERT_EQ(base.size(), 40u);
    ASSERT_EQ(scene.size(), 60u); // 40 points, then 20 nodes
    const double pixelsPerUnit = 300 / (0.0875 * 12.25);
    for (std::size_t p = 0; p < 40; ++p) {
        SCOPED_TRACE(p);
        EXPECT_NEAR(base[p].X, 400 + scene[p][0] * pixelsPerUnit, 1);
        EXPECT_NEAR(base[p].Y, 300 + scene[p][1] * pixelsPerUnit, 1);
    }

    // Each camera change moves the centred positions as the matrices say.
    struct TCase {
        const char* Name;
        std::string Options;
        int Width, Height;
        TCentre (*Move)(TCentre);
    };
    const TCase cases[] = {
        {"turned 90 degrees about Z", "--rotz 90", 800, 600,
         [](TCentre c) {
             return TCentre{-c.Y, c.X};
         }},
        {"turned 180 degrees about X", "--rotx 180", 800, 600,
         [](TCentre c) {
             return TCentre{c.X, -c.Y};
         }},
        {"zoomed out to 160 (camera at -43.5)", "--zoom 160", 800, 600,
         [](TCentre c) {
             return TCentre{c.X * 12.25 / 43.5, c.Y * 12.25 / 43.5};
         }},
        {"a window half as large", "--width 400 --height 300", 400, 300,
         [](TCentre c) {
             return TCentre{c.X / 2, c.Y / 2};
         }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TRun moved = files.Export(c.Options + " --html moved");
        ASSERT_EQ(moved.Status, 0) << moved.Err;
        const std::vector<TCentre> after = AreaCentres(files.Read("moved/htmlview.html"), c.Height);
        ASSERT_EQ(after.size(), 40u);
        for (std::size_t p = 0; p < 40; ++p) {
            const TCentre expected = c.Move({base[p].X - 400, base[p].Y - 300});
            EXPECT_NEAR(after[p].X - c.Width / 2.0, expected.X, 1.5) << p;
            EXPECT_NEAR(after[p].Y - c.Height / 2.0, expected.Y, 1.5) << p;
        }
    }
}

TEST(ExportCommandTest, PlotAndPageAgreeOnEveryPointAndLabel)
{
    const TExportFiles files;
    ASSERT_GT(files.Labels, 2);
    const TRun run = files.Export("--rotx 30 --rotz -40 --width 640 --height 480 --ps plot.ps --html page");
    ASSERT_EQ(run.Status, 0) << run.Err;
    const std::string plot = files.Read("plot.ps");
    EXPECT_NE(plot.find("%%BoundingBox:    1    1   640   480\r\n"), std::string::npos);
    EXPECT_NE(plot.find("\r\n%% 39\r\n"), std::string::npos);
    EXPECT_EQ(Occurrences(plot, "fill  \r\n"), 40);
    EXPECT_EQ(Occurrences(plot, ") show\r\n"), files.Labels);

    // Each label stands 8 pixels left of and 7 below its point's centre on the page.
    const std::vector<TCentre> centres = AreaCentres(files.Read("page/htmlview.html"), 480);
    ASSERT_EQ(centres.size(), 40u);
    std::istringstream blocks(plot.substr(plot.find("\r\n%% 39\r\n") + 2));
    std::string line;
    int point = -1, labels = 0;
    std::vector<std::string> lines;
    while (std::getline(blocks, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty()) {
            ++point;
            lines.clear();
            continue;
        }
        lines.push_back(line);
        if (line.size() > 7 && line.compare(line.size() - 6, 6, ") show") == 0) {
            ASSERT_GE(lines.size(), 3u);
            ASSERT_EQ(lines[lines.size() - 3], "0 0 0 setrgbcolor");
            int x = 0, y = 0;
            ASSERT_EQ(std::sscanf(lines[lines.size() - 2].c_str(), "%d %d moveto", &x, &y), 2);
            ASSERT_LT(point, 40);
            EXPECT_EQ(x + 8, centres[static_cast<std::size_t>(point)].X) << point;
            EXPECT_EQ(y + 7, centres[static_cast<std::size_t>(point)].Y) << point;
            ++labels;
        }
    }
    EXPECT_EQ(labels, files.Labels);
}

TEST(ExportCommandTest, VrmlSceneReadsBackWithOrWithoutCompression)
{
    const TExportFiles files;
    const TRun plain = files.Export("--coloring field:F2 --zoom 20 --vrml scene.wrl");
    ASSERT_EQ(plain.Status, 0) << plain.Err;
    const std::string scene = files.Read("scene.wrl");
    ASSERT_EQ(scene.rfind("#VRML V2.0 utf8 \r\nViewpoint {position 0 0 6}\r\n", 0), 0u);
    EXPECT_EQ(Occurrences(scene, "Transform {"), 60);
    // Zoom 20 puts the camera at -481: points of radius 4 are drawn 9.62 * 4 / 100 units
    // large, the nodes of radius 1 a quarter of that.
    EXPECT_EQ(Occurrences(scene, "Transform {scale 0.38 0.38 0.38 "), 40);
    EXPECT_EQ(Occurrences(scene, "Transform {scale 0.10 0.10 0.10 "), 20);
    EXPECT_EQ(Occurrences(scene, "DEF PTS5 Coordinate"), 1);   // the net
    EXPECT_EQ(Occurrences(scene, "DEF PTSP10 Coordinate"), 1); // the coloring
    EXPECT_EQ(Occurrences(scene, "{"), Occurrences(scene, "}"));
    EXPECT_EQ(Occurrences(scene, "["), Occurrences(scene, "]"));

    const TRun packed = files.Export("--coloring field:F2 --zoom 20 --vrml packed.wrl --gzip");
    ASSERT_EQ(packed.Status, 0) << packed.Err;
    EXPECT_EQ(test::ReadJson(packed.Out)["files"]["vrml"].Text, "packed.wrl.wrz");
    EXPECT_FALSE(std::filesystem::exists(files.Dir.File("packed.wrl")));
    const TRun unpacked = RunShellIn(files.Dir, "gzip -t packed.wrl.wrz && gzip -dc packed.wrl.wrz");
    ASSERT_EQ(unpacked.Status, 0) << unpacked.Err;
    EXPECT_EQ(unpacked.Out, scene);

#ifdef ORBELIN_VRML_READER
    // Without a coloring the scene has no face set.
    ASSERT_EQ(files.Export("--vrml bare.wrl").Status, 0);
    const struct {
        const char* File;
        int FaceSets;
    } scenes[] = {{"scene.wrl", 1}, {"bare.wrl", 0}};
    for (const auto& s : scenes) {
        SCOPED_TRACE(s.File);
        const TRun read = RunShellIn(files.Dir, std::string("'" ORBELIN_VRML_READER "' ") + s.File);
        ASSERT_EQ(read.Status, 0) << read.Err;
        const TJson counts = test::ReadJson(read.Out);
        EXPECT_EQ(counts["viewpoints"].Number, 2);
        EXPECT_EQ(counts["backgrounds"].Number, 1);
        EXPECT_EQ(counts["spheres"].Number, 60);
        EXPECT_EQ(counts["line_sets"].Number, 4); // three axes and the net
        EXPECT_EQ(counts["face_sets"].Number, s.FaceSets);
    }
#else
    GTEST_SKIP() << "no VRML reader was built (install libcoin-dev to read the scenes back)";
#endif
}

TEST(ExportCommandTest, PostScriptPlotRunsInGhostscript)
{
    if (std::system("command -v gs >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "Ghostscript (gs) is not installed";
    const TExportFiles files;
    ASSERT_EQ(files.Export("--zoom 20 --ps plot.ps").Status, 0);
    // The bbox device reports the extent of everything the plot marks.
    const TRun run = RunShellIn(files.Dir, "gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=bbox plot.ps 2>&1");
    ASSERT_EQ(run.Status, 0) << run.Out;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    const std::size_t at = run.Out.find("%%HiResBoundingBox:");
    ASSERT_NE(at, std::string::npos) << run.Out;
    ASSERT_EQ(std::sscanf(run.Out.c_str() + at, "%%%%HiResBoundingBox: %lf %lf %lf %lf", &x0, &y0, &x1, &y1), 4);
    // At zoom 20 every point lies well inside the 800 x 600 window and spreads over it.
    EXPECT_GT(x0, 0);
    EXPECT_GT(y0, 0);
    EXPECT_LT(x1, 800);
    EXPECT_LT(y1, 600);
    EXPECT_GT(x1 - x0, 50);
    EXPECT_GT(y1 - y0, 50);
}

TEST(ExportCommandTest, BadOptionsAndFilesAreReported)
{
    const TExportFiles files;
    test::WriteBytes(files.Dir.File("plain"), "x");
    struct TCase {
        const char* Name;
        std::string Options;
        int Status;
        const char* Message;
    };
    const TCase cases[] = {
        {"nothing to write", "--zoom 100", 2, "needs at least one of --vrml, --ps and --html"},
        {"gzip alone", "--ps a.ps --gzip", 2, "--gzip compresses the --vrml scene"},
        {"zoom below 20", "--zoom 10 --ps a.ps", 2, "--zoom expects a number from 20 to 1000"},
        {"angle past 180", "--rotx 190 --ps a.ps", 2, "--rotx expects a whole number from -180 to 180"},
        {"empty window", "--width 0 --ps a.ps", 2, "--width expects a whole number from 1"},
        {"unknown coloring", "--coloring height --ps a.ps", 2, "--coloring expects field:NAME"},
        {"unknown field", "--coloring field:F7 --ps a.ps", 2, "no field \"F7\" (its fields: F0, F1, F2)"},
        {"unknown option", "--angle 3 --ps a.ps", 2, "unknown option \"--angle\""},
        {"missing dataset", "--dataset none.obd --ps a.ps", 1, "none.obd"},
        {"unwritable scene", "--vrml no/such/scene.wrl", 1, "scene.wrl"},
        {"page folder is a file", "--html plain", 1, "plain"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TRun run = files.Export(c.Options);
        EXPECT_EQ(run.Status, c.Status);
        EXPECT_EQ(run.Err.rfind("orbelin-cli: ", 0), 0u) << run.Err;
        EXPECT_NE(run.Err.find(c.Message), std::string::npos) << run.Err;
    }
    EXPECT_FALSE(std::filesystem::exists(files.Dir.File("a.ps")));
    const TRun noMap = RunIn(files.Dir, "export none.obm --ps a.ps");
    EXPECT_EQ(noMap.Status, 1);
    EXPECT_NE(noMap.Err.find("none.obm"), std::string::npos) << noMap.Err;
}

} // namespace
} // namespace orbelin

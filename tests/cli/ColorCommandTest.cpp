// orbelin-cli color: a map coloured and laid out for a view, as a user runs it.
#include "TestUtil.h"
#include "cli/CliFixtures.h"
#include "cli/JsonReader.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orbelin {
namespace {

using test::TJson;

// A 4 x 5 rectangular map (24 triangles, 31 edges) on a dataset of 40 points with fields
// F0, F1, F2, written beside it.
struct TMapFiles {
    test::TTempDir Dir;
    std::string Map;

    TMapFiles()
    {
        WriteDataset(Dir.Path().string(), "pts");
        Map = Quoted(Dir.File("pts.obm"));
        const TRun init = RunCli(Dir, "init " + Quoted(Dir.File("pts.obd")) + " -o " + Map + " --rows 4 --cols 5");
        EXPECT_EQ(init.Status, 0) << init.Err;
    }
    TRun Color(const std::string& options) const
    {
        return RunCli(Dir, "color " + Map + " " + options + " -o " + Quoted(Dir.File("out.json")));
    }
    TJson Output() const { return test::ReadJson(test::ReadBytes(Dir.File("out.json"))); }
};

TEST(ColorCommandTest, WritesTheFourLayersOfTheView)
{
    const TMapFiles files;
    const TRun run = files.Color("--coloring field:F2 --scheme Gray --smoothness 2 --view internal --relief 0.5");
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_NE(run.Out.find(R"("coloring":1003,"vertices":288,"polygons":96)"), std::string::npos) << run.Out;

    const TJson out = files.Output();
    EXPECT_EQ(out["coloring"].Number, 1003);
    EXPECT_EQ(out["view"].Number, 2);
    const TJson& layers = out["layers"];
    ASSERT_EQ(layers.Size(), 4u);
    const char* names[] = {"Datasets", "Net", "Colorings", "Objects"};
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(layers[i]["name"].Text, names[i]);

    const TJson& points = layers[0]["points"];
    ASSERT_EQ(points["positions"].Size(), 40u);
    for (const char* key : {"shapes", "radii", "fillColors", "borderColors"})
        EXPECT_EQ(points[key].Size(), 40u) << key;
    EXPECT_EQ(points["fillColors"][0].Size(), 3u);

    const TJson& net = layers[1];
    EXPECT_EQ(net["points"]["positions"].Size(), 20u);
    EXPECT_EQ(net["lines"]["polylines"].Size(), 31u);
    EXPECT_EQ(net["lines"]["colors"][0][0].Number, 255);

    // The surface: grey colours, the largest third-field values black and lifted highest.
    const TJson& surface = layers[2]["polygons"];
    ASSERT_EQ(surface["polygons"].Size(), 96u);
    ASSERT_EQ(surface["vertices"].Size(), 288u);
    double top = -1e100, topGrey = -1, bottom = 1e100, bottomGrey = -1;
    for (std::size_t v = 0; v < 288; ++v) {
        const TJson& colour = surface["colors"][v];
        EXPECT_EQ(colour[0].Number, colour[1].Number);
        EXPECT_EQ(colour[0].Number, colour[2].Number);
        const double z = surface["vertices"][v][2].Number;
        if (z > top)
            top = z, topGrey = colour[0].Number;
        if (z < bottom)
            bottom = z, bottomGrey = colour[0].Number;
    }
    EXPECT_EQ(topGrey, 0);
    EXPECT_EQ(bottomGrey, 1);
    EXPECT_EQ(layers[3]["lines"]["vertices"].Size(), 0u);
}

TEST(ColorCommandTest, EveryColoringAndViewCanBeAsked)
{
    const TMapFiles files;
    struct TCase {
        const char* Name;
        std::string Options;
        int Code;
        std::size_t Polygons; // 0: more than the 24 triangles
    };
    const TCase cases[] = {
        {"field on chosen axes", "--coloring field:F0 --view coords --axes F2,1,F1", 1001, 24},
        {"component", "--coloring pc:2 --view pca --axes 3,2,1 --scheme Green-Red", 2002, 24},
        {"2D density", "--coloring density2d --radius 0.5 --smoothness 3", 111, 384},
        {"ND density", "--coloring densitynd --view internal", 121, 24},
        {"discriminant", "--coloring lda", 211, 24},
        {"regression", "--coloring lra --scheme Cyan", 212, 24},
        {"spectrum in bands", "--coloring spectrum --view internal --palette discrete --tints 4", 213, 0},
        {"radial spectrum", "--coloring radial --view internal --palette continuous", 214, 24},
        {"dataset named", "--coloring field:F1 --dataset " + Quoted(files.Dir.File("pts.obd")), 1002, 24},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TRun run = files.Color(c.Options);
        ASSERT_EQ(run.Status, 0) << run.Err;
        const TJson out = files.Output();
        EXPECT_EQ(out["coloring"].Number, c.Code);
        const std::size_t polygons = out["layers"][2]["polygons"]["polygons"].Size();
        if (c.Polygons)
            EXPECT_EQ(polygons, c.Polygons);
        else
            EXPECT_GT(polygons, 24u);
    }
    // One coordinate on all three axes: every node sits on the diagonal.
    ASSERT_EQ(files.Color("--coloring field:F0 --view coords --axes 1,1,1").Status, 0);
    const TJson diagonal = files.Output();
    for (const TJson& node : diagonal["layers"][1]["points"]["positions"].Items) {
        EXPECT_EQ(node[0].Number, node[1].Number);
        EXPECT_EQ(node[0].Number, node[2].Number);
    }
}

TEST(ColorCommandTest, BadOptionsAndFilesAreReported)
{
    const TMapFiles files;
    struct TCase {
        const char* Name;
        std::string Options;
        int Status;
        const char* Message;
    };
    const TCase cases[] = {
        {"no coloring", "", 2, "color needs --coloring"},
        {"unknown option", "--coloring lda --colour red", 2, "unknown option \"--colour\""},
        {"unknown field", "--coloring field:F9", 2, "no field \"F9\" (its fields: F0, F1, F2)"},
        {"component out of range", "--coloring pc:4", 2, "the component number runs from 1 to 3"},
        {"unknown coloring", "--coloring height", 2, "--coloring expects field:NAME"},
        {"scheme in other letters", "--coloring lda --scheme gray", 2, "\"Color\", \"Gray\", \"Red\""},
        {"smoothness 0", "--coloring lda --smoothness 0", 2, "--smoothness expects a whole number from 1 to 100"},
        {"radius 0", "--coloring density2d --radius 0", 2, "--radius expects a number from 1e-05 to 100"},
        {"one tint", "--coloring lda --tints 1", 2, "--tints expects a whole number from 2 to 256"},
        {"relief above 1", "--coloring lda --relief 2", 2, "--relief expects a number from 0 to 1"},
        {"two axes", "--coloring lda --axes 1,2", 2, "--axes expects three entries"},
        {"names on components", "--coloring lda --view pca --axes F0,1,2", 2, "\"F0\" is not a number from 1 to 3"},
        {"unknown view", "--coloring lda --view side", 2, "--view expects coords|pca|internal"},
        {"unknown palette", "--coloring lda --palette banded", 2, "--palette expects continuous|discrete"},
        {"missing dataset", "--coloring lda --dataset " + Quoted(files.Dir.File("none.obd")), 1, "none.obd"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TRun run = files.Color(c.Options);
        EXPECT_EQ(run.Status, c.Status);
        EXPECT_EQ(run.Err.rfind("orbelin-cli: ", 0), 0u) << run.Err;
        EXPECT_NE(run.Err.find(c.Message), std::string::npos) << run.Err;
    }
    const TRun noMap =
        RunCli(files.Dir, "color " + Quoted(files.Dir.File("nothing.obm")) + " --coloring lda -o x.json");
    EXPECT_EQ(noMap.Status, 1);
    const TRun unwritable = RunCli(files.Dir, "color " + files.Map + " --coloring lda -o " +
                                                  Quoted(files.Dir.File("no/such/folder/out.json")));
    EXPECT_EQ(unwritable.Status, 1);
    EXPECT_NE(unwritable.Err.find("out.json"), std::string::npos) << unwritable.Err;
}

} // namespace
} // namespace orbelin

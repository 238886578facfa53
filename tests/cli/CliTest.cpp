// orbelin-cli as a user runs it: JSON on stdout, one-line errors and exit statuses.
#include "CliRun.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace orbelin {
namespace {

using test::RunCli;
using test::TRun;

TEST(CliTest, InfoDescribesATableFileWithCyrillicNames)
{
    const TRun run = RunCli(std::string("info '") + ORBELIN_FIXTURES + "/cyrillic.obt'");
    ASSERT_EQ(0, run.Status) << run.Err;
    EXPECT_EQ("{\"kind\":\"table\",\"name\":\"cyrillic.OBT\",\"records\":3,\"fields\":["
              "{\"name\":\"Город\",\"type\":\"STRING\",\"width\":16},"
              "{\"name\":\"Население\",\"type\":\"FLOAT\",\"width\":11},"
              "{\"name\":\"Код\",\"type\":\"INTEGER\",\"width\":5},"
              "{\"name\":\"Note\",\"type\":\"STRING\",\"width\":8}]}\n",
              run.Out);
    EXPECT_EQ("", run.Err);
}

TEST(CliTest, ErrorsAreOneLineWithTheirExitStatus)
{
    struct TCase { const char* Name; std::string Arguments; int Status; const char* Fragment; };
    const TCase cases[] = {
        {"no command", "", 2, "usage"},
        {"unknown command", "frobnicate", 2, "orbelin-cli: unknown command \"frobnicate\""},
        {"missing path", "info", 2, "orbelin-cli: info needs a PATH"},
        {"absent file", "info /nonexistent/x.obt", 1, "orbelin-cli: cannot open file /nonexistent/x.obt"},
        {"unknown kind", "info notes.txt", 1, "orbelin-cli: cannot describe notes.txt"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TRun run = RunCli(c.Arguments);
        EXPECT_EQ(c.Status, run.Status);
        const std::string text = run.Status == 2 && c.Arguments.empty() ? run.Out : run.Err;
        EXPECT_NE(std::string::npos, text.find(c.Fragment)) << text;
        if (!c.Arguments.empty()) {
            EXPECT_EQ("", run.Out);
            EXPECT_EQ(1, std::count(run.Err.begin(), run.Err.end(), '\n'));
        }
    }
}

TEST(CliTest, HelpListsTheSubcommands)
{
    const TRun run = RunCli("--help");
    EXPECT_EQ(0, run.Status);
    EXPECT_NE(std::string::npos, run.Out.find("info PATH"));
    EXPECT_NE(std::string::npos, run.Out.find("demo"));
}

TEST(CliTest, DemoDescribesTheEmbeddedTable)
{
    const TRun run = RunCli("demo");
    ASSERT_EQ(0, run.Status) << run.Err;
    EXPECT_EQ(0u, run.Out.find("{\"kind\":\"table\",\"name\":\"IRIS.OBT\",\"records\":150,"));
}

} // namespace
} // namespace orbelin

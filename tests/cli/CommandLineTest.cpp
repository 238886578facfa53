// Command lines read against a command's CLI11 declaration, and the checks that keep a
// command's code to what it declares.
#include "cli/CommandLine.h"
#include "CliRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <sstream>

namespace orbelin {
namespace {

using cli::TOptions;
using cli::TUsageError;
using test::RunCli;
using test::TRun;

// A command declared as the real ones are; parse takes the arguments in their order.
struct TDeclared {
    CLI::App App{"an example", "example"};
    TDeclared()
    {
        cli::AddPath(App, "DATASET.obd", "the dataset");
        cli::AddValue(App, "-o,--output", "OUT.obm", "the output")->required();
        cli::AddValue(App, "--rows", "P", "rows")->default_str("10");
        cli::AddValue(App, "--size", "S", "size")->default_str("0.25");
        cli::AddChoice(App, "--grid", {"rectangular", "circle"}, "grid")->default_str("rectangular");
        cli::AddFlag(App, "--quiet", "quiet");
        App.allow_extras();
    }
    TOptions Parse(std::vector<std::string> args)
    {
        std::reverse(args.begin(), args.end());
        App.parse(args);
        return cli::ReadOptions(App);
    }
};

TEST(CommandLineTest, UsageLineComesFromTheDeclaration)
{
    TDeclared declared;
    EXPECT_EQ("example DATASET.obd -o OUT.obm [--rows P] [--size S] [--grid rectangular|circle] [--quiet]",
              cli::UsageOf(declared.App));
}

TEST(CommandLineTest, ReadsValuesFlagsAndPositionals)
{
    struct TCase {
        const char* Name;
        std::vector<std::string> Args;
        const char* Output;
        long long Rows;
        const char* Grid;
        bool Quiet;
    };
    const TCase cases[] = {
        {"defaults", {"d.obd", "-o", "m.obm"}, "m.obm", 10, "rectangular", false},
        {"long name and inline values",
         {"--output=m.obm", "d.obd", "--rows=3", "--grid", "circle"},
         "m.obm",
         3,
         "circle",
         false},
        {"value that looks like an option",
         {"d.obd", "-o", "m.obm", "--rows", "-4", "--quiet"},
         "m.obm",
         -4,
         "rectangular",
         true},
        {"short name glued to its value", {"d.obd", "-om.obm"}, "m.obm", 10, "rectangular", false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TDeclared declared;
        const TOptions line = declared.Parse(c.Args);
        EXPECT_EQ("d.obd", line.Path);
        EXPECT_EQ(c.Output, line.Value("-o").value_or(""));
        EXPECT_EQ(c.Output, line.Value("--output").value_or(""));
        EXPECT_EQ(c.Rows, cli::WholeOption(line, "--rows", 10, -100, 100));
        EXPECT_EQ(c.Grid, cli::ChoiceOption(line, "--grid", "rectangular"));
        EXPECT_EQ(c.Quiet, line.Flag("--quiet"));
    }
}

TEST(CommandLineTest, ArgumentsThatFitNoDeclarationAreUsageErrors)
{
    struct TCase {
        const char* Name;
        std::vector<std::string> Args;
        const char* Message;
    };
    const TCase cases[] = {
        {"unknown option", {"d.obd", "-o", "m", "--colour", "red"}, "example: unknown option \"--colour\""},
        {"second positional", {"d.obd", "e.obd", "-o", "m"}, "example takes one DATASET.obd, found also \"e.obd\""},
        {"after the separator", {"d.obd", "-o", "m", "--", "-x"}, "found also \"-x\""},
        {"given twice", {"d.obd", "-o", "m", "--rows", "1", "--rows", "2"}, "example: --rows is given twice"},
        {"flag with a value", {"d.obd", "-o", "m", "--quiet=yes"}, "example: --quiet takes no value"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TDeclared declared;
        try {
            declared.Parse(c.Args);
            ADD_FAILURE() << "no error";
        } catch (const TUsageError& e) {
            const std::string message = e.what();
            EXPECT_NE(std::string::npos, message.find(c.Message)) << message;
            EXPECT_NE(std::string::npos, message.find("(usage: orbelin-cli example DATASET.obd -o OUT.obm")) << message;
        }
    }
    TDeclared declared;
    const TOptions line = declared.Parse({"d.obd", "-o", "m", "--grid", "square"});
    EXPECT_THROW(
        {
            try {
                cli::ChoiceOption(line, "--grid", "rectangular");
            } catch (const TUsageError& e) {
                EXPECT_STREQ("example: --grid expects rectangular|circle, found \"square\"", e.what());
                throw;
            }
        },
        TUsageError);
}

TEST(CommandLineTest, CodeThatStraysFromItsDeclarationIsCaught)
{
    TDeclared declared;
    const TOptions line = declared.Parse({"d.obd", "-o", "m"});
    // An option the command never declared: its value would silently never arrive.
    EXPECT_THROW(line.Value("--cols"), std::logic_error);
    EXPECT_THROW(line.Flag("--loud"), std::logic_error);
    // A fallback other than the default the help shows.
    EXPECT_THROW(cli::WholeOption(line, "--rows", 12, 1, 100), std::logic_error);
    EXPECT_THROW(cli::NumberOption(line, "--size", 0.5, 0, 1), std::logic_error);
    EXPECT_THROW(cli::ChoiceOption(line, "--grid", "circle"), std::logic_error);
    EXPECT_EQ(0.25, cli::NumberOption(line, "--size", 0.25, 0, 1));
}

std::string Collapsed(const std::string& text)
{
    std::string out;
    for (const char c : text)
        if (!std::isspace(static_cast<unsigned char>(c)))
            out += c;
        else if (!out.empty() && out.back() != ' ')
            out += ' ';
    return out;
}

// The option names a usage line or an option list gives ("-o", "--rows").
std::vector<std::string> OptionNames(const std::string& text)
{
    std::vector<std::string> names;
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        word.erase(0, word.find_first_not_of('['));
        word = word.substr(0, word.find_first_of("],"));
        if (word.size() > 1 && word[0] == '-' && word != "-h")
            names.push_back(word);
    }
    return names;
}

TEST(CommandLineTest, EveryCommandTakesWhatItsHelpLists)
{
    const TRun main = RunCli("--help");
    ASSERT_EQ(0, main.Status);
    std::vector<std::string> commands;
    std::istringstream lines(main.Out.substr(main.Out.find("Commands:\n")));
    for (std::string line; std::getline(lines, line);)
        if (line.size() > 2 && line.rfind("  ", 0) == 0 && line[2] != ' ')
            commands.push_back(line.substr(2, line.find(' ', 2) - 2));
    ASSERT_EQ(27u, commands.size());
    for (const std::string& command : commands) {
        SCOPED_TRACE(command);
        const TRun help = RunCli(command + " --help");
        EXPECT_EQ(0, help.Status);
        EXPECT_EQ("", help.Err);
        const std::size_t usageAt = help.Out.find("usage: orbelin-cli " + command);
        const std::size_t optionsAt = help.Out.find("\nOptions:\n");
        ASSERT_NE(std::string::npos, usageAt) << help.Out;
        ASSERT_NE(std::string::npos, optionsAt) << help.Out;
        const std::string usage = Collapsed(help.Out.substr(usageAt, help.Out.find("\n\n", usageAt) - usageAt));
        EXPECT_NE(std::string::npos, Collapsed(main.Out).find(usage.substr(19) + " ")) << usage;

        // The option lists below name the options of the usage line, and each of them is
        // one the command takes: given alone it may lack a value or other arguments, but
        // it is never unknown.
        std::vector<std::string> listed;
        std::istringstream optionLines(help.Out.substr(optionsAt + 10));
        // Every group of options counts ("Options:", and the steps of machine).
        for (std::string line; std::getline(optionLines, line);)
            if (line.rfind("  -", 0) == 0)
                for (const std::string& name : OptionNames(line.substr(0, line.find(' ', 2))))
                    if (name != "--help")
                        listed.push_back(name);
        std::vector<std::string> inUsage = OptionNames(usage);
        for (const std::string& option : inUsage) {
            EXPECT_NE(listed.end(), std::find(listed.begin(), listed.end(), option)) << option;
            const TRun run = RunCli(command + " " + option);
            EXPECT_EQ(std::string::npos, run.Err.find("unknown option")) << option << ": " << run.Err;
        }
        for (const std::string& option : listed) {
            if (option != "--output") { // the long name of -o
                EXPECT_NE(inUsage.end(), std::find(inUsage.begin(), inUsage.end(), option)) << option;
            }
        }
    }
    const TRun grow = RunCli("help grow");
    EXPECT_EQ(0, grow.Status);
    EXPECT_NE(std::string::npos, Collapsed(grow.Out).find("[--ring] [--dataset DATASET.obd]")) << grow.Out;
}

} // namespace
} // namespace orbelin

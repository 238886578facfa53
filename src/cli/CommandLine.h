// orbelin-cli's command line: the subcommands, declared with CLI11, their usage lines and
// help, and the run of one command line with its exit status.
#pragma once

#include "cli/Options.h"

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

namespace orbelin::cli {

/// Runs a command on its checked command line; prints its result, raises TUsageError or
/// TError.
using TRun = void (*)(const TOptions& line);

/// The subcommands of orbelin-cli, in the order the help lists them.
class TCommandLine {
public:
    TCommandLine();
    TCommandLine(const TCommandLine&) = delete;
    TCommandLine& operator=(const TCommandLine&) = delete;

    /// Adds a subcommand with its one-line summary; declare its arguments on the result.
    CLI::App& AddCommand(const std::string& name, const std::string& summary, TRun run);

    /// Parses args (the command name first) and runs the command. Prints the help (exit
    /// status 0), a usage error (2) or an error (1) as one line on stderr.
    int Run(const TArgs& args);

    /// The list of commands with their usage lines and summaries.
    std::string Help() const;

private:
    struct TEntry {
        CLI::App* Command;
        TRun Run;
    };
    const TEntry* Find(const std::string& name) const;

    CLI::App App_;
    std::vector<TEntry> Entries_;
};

/// The usage line of a subcommand, made from its declaration: its name, its positional
/// arguments, its required options and then the others in brackets
/// ("init DATASET.obd -o MAP.obm [--rows P] ...").
std::string UsageOf(const CLI::App& command);

/// A positional argument; required unless optional is set. With many set it takes every
/// further positional argument (TOptions::Paths).
CLI::Option* AddPath(CLI::App& command, const std::string& name, const std::string& help, bool optional = false,
                     bool many = false);
/// An option with one value, written as placeholder in the usage line ("-o", "OUT.obd").
CLI::Option* AddValue(CLI::App& command, const std::string& name, const std::string& placeholder,
                      const std::string& help);
/// An option whose value is one of choices; the usage line lists them ("a|b|c") and
/// ChoiceOption checks the value against them.
CLI::Option* AddChoice(CLI::App& command, const std::string& name, const std::vector<std::string>& choices,
                       const std::string& help);
/// An option whose value may be left out: given alone it reads as a flag, with a value
/// (which must pass check, so that a positional argument after it is not taken for its
/// value) as a valued option.
CLI::Option* AddOptionalValue(CLI::App& command, const std::string& name, const std::string& placeholder,
                              const std::string& help, const CLI::Validator& check);
/// An option without a value.
CLI::Option* AddFlag(CLI::App& command, const std::string& name, const std::string& help);
/// An option that may be given again and again, each time for one more step of the
/// command: TOptions::Steps keeps the values of all such options in the order of the
/// command line. With valueOptional it may also be given without a value, which reads as
/// "" (a value after it is taken for it, so positional arguments go first).
CLI::Option* AddStep(CLI::App& command, const std::string& name, const std::string& placeholder,
                     const std::string& help, bool valueOptional = false);

/// The parsed command line as the command reads it; raises TUsageError for arguments
/// the command does not take, an option given twice or a flag given a value.
TOptions ReadOptions(const CLI::App& command);

} // namespace orbelin::cli

// One command line once CLI11 has parsed it (its positional arguments, valued options and
// flags) and the checked conversions of the option values.
#pragma once

#include "cli/Commands.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace orbelin::cli {

/// The positional arguments and the options of one command line.
struct TOptions {
    std::string Command;                       ///< the subcommand, for messages
    std::string Usage;                         ///< its usage line, for messages
    std::string Path;                          ///< the first positional argument ("" when none was given)
    std::vector<std::string> Paths;            ///< every positional argument, in order
    std::map<std::string, std::string> Values; ///< under each of the option's names
    std::set<std::string> Flags;
    /// The options declared with AddStep, in the order of the command line: the option's
    /// name and its value ("" when it came without one).
    std::vector<std::pair<std::string, std::string>> Steps;
    /// The values of the options declared with AddChoice, under each of their names.
    std::map<std::string, std::vector<std::string>> Choices;
    /// The defaults the help shows, under each of the options' names; the conversions
    /// check that the command falls back to the same value.
    std::map<std::string, std::string> Defaults;
    /// Every option name the command declares; asking for another one is a slip of the code.
    std::set<std::string> Declared;

    std::optional<std::string> Value(const std::string& name) const;
    bool Flag(const std::string& name) const;
    /// A TUsageError with the message, followed by the usage line.
    [[noreturn]] void Fail(const std::string& message) const;
};

/// Raises std::logic_error when the help shows another default for the option than
/// fallback, the value the command takes without it.
void CheckDefault(const TOptions& options, const std::string& name, double fallback);

/// The option's whole number, fallback when it is absent; TUsageError outside lo..hi.
long long WholeOption(const TOptions& options, const std::string& name, long long fallback, long long lo, long long hi);
/// The option's decimal number, fallback when it is absent; TUsageError outside lo..hi.
double NumberOption(const TOptions& options, const std::string& name, double fallback, double lo, double hi);
/// The value of an option declared with AddChoice, which must be one of its choices;
/// fallback when it is absent.
std::string ChoiceOption(const TOptions& options, const std::string& name, const std::string& fallback);
/// A comma-separated list of exactly count whole numbers within lo..hi ("1,1,0,2").
std::vector<int> WholeListOption(const TOptions& options, const std::string& name, std::size_t count, int lo, int hi);

} // namespace orbelin::cli

// The command-line options shared by the subcommands: one positional argument, valued
// options and flags, and their checked conversions.
#pragma once

#include "cli/Commands.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace orbelin::cli {

/// The positional argument and the options of one command line.
struct TOptions {
    std::string Command; ///< the subcommand, for messages
    std::string Usage;   ///< its usage line, for messages
    std::string Path;
    std::map<std::string, std::string> Values;
    std::set<std::string> Flags;

    std::optional<std::string> Value(const std::string& name) const;
    bool Flag(const std::string& name) const { return Flags.count(name) != 0; }
    /// A TUsageError with the message, followed by the usage line.
    [[noreturn]] void Fail(const std::string& message) const;
};

/// Splits args into one positional argument (described as positional in messages), the
/// valued options (each followed by its value, at most once) and the flags. Anything else
/// that begins with "-" is an unknown option. Raises TUsageError.
TOptions ParseOptions(const TArgs& args, const std::string& command, const std::string& usage, const char* positional,
                      const std::set<std::string>& valued, const std::set<std::string>& flags);

/// The option's whole number, fallback when it is absent; TUsageError outside lo..hi.
long long WholeOption(const TOptions& options, const std::string& name, long long fallback, long long lo, long long hi);
/// The option's decimal number, fallback when it is absent; TUsageError outside lo..hi.
double NumberOption(const TOptions& options, const std::string& name, double fallback, double lo, double hi);
/// The option's value, which must be one of allowed; fallback when it is absent.
std::string ChoiceOption(const TOptions& options, const std::string& name, const std::string& fallback,
                         const std::vector<std::string>& allowed);
/// A comma-separated list of exactly count whole numbers within lo..hi ("1,1,0,2").
std::vector<int> WholeListOption(const TOptions& options, const std::string& name, std::size_t count, int lo, int hi);

} // namespace orbelin::cli

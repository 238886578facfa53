// Command-line options shared by the subcommands.
#include "cli/Options.h"

#include "data/Cp1251.h"
#include "data/NumberText.h"
#include "data/TError.h"
#include "data/TRWFile.h"
#include "data/TextRoutines.h"

#include <charconv>
#include <filesystem>

namespace orbelin::cli {

std::optional<std::string> TOptions::Value(const std::string& name) const
{
    const auto it = Values.find(name);
    return it == Values.end() ? std::nullopt : std::optional<std::string>(it->second);
}

void TOptions::Fail(const std::string& message) const
{
    throw TUsageError(message + " (usage: orbelin-cli " + Usage + ")");
}

TOptions ParseOptions(const TArgs& args, const std::string& command, const std::string& usage, const char* positional,
                      const std::set<std::string>& valued, const std::set<std::string>& flags)
{
    TOptions options;
    options.Command = command;
    options.Usage = usage;
    bool havePath = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() > 1 && arg[0] == '-') {
            if (flags.count(arg)) {
                options.Flags.insert(arg);
            } else if (valued.count(arg)) {
                if (i + 1 >= args.size())
                    options.Fail(command + ": " + arg + " needs a value");
                if (options.Values.count(arg))
                    options.Fail(command + ": " + arg + " is given twice");
                options.Values[arg] = args[++i];
            } else {
                options.Fail(command + ": unknown option \"" + arg + "\"");
            }
        } else if (!havePath) {
            options.Path = arg;
            havePath = true;
        } else {
            options.Fail(command + " takes one " + positional + ", found also \"" + arg + "\"");
        }
    }
    if (!havePath)
        options.Fail(command + " needs a " + positional);
    return options;
}

long long WholeOption(const TOptions& options, const std::string& name, long long fallback, long long lo, long long hi)
{
    const auto text = options.Value(name);
    if (!text)
        return fallback;
    long long value = 0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (error != std::errc() || end != text->data() + text->size() || value < lo || value > hi)
        throw TUsageError(options.Command + ": " + name + " expects a whole number from " + std::to_string(lo) +
                          " to " + std::to_string(hi) + ", found \"" + *text + "\"");
    return value;
}

double NumberOption(const TOptions& options, const std::string& name, double fallback, double lo, double hi)
{
    const auto text = options.Value(name);
    if (!text)
        return fallback;
    double value = 0;
    if (!data::ParseDecimal(*text, value) || !(value >= lo && value <= hi))
        throw TUsageError(options.Command + ": " + name + " expects a number from " + data::GeneralText(lo) + " to " +
                          data::GeneralText(hi) + ", found \"" + *text + "\"");
    return value;
}

std::string ChoiceOption(const TOptions& options, const std::string& name, const std::string& fallback,
                         const std::vector<std::string>& allowed)
{
    const std::string value = options.Value(name).value_or(fallback);
    for (const std::string& a : allowed)
        if (value == a)
            return value;
    std::string list;
    for (const std::string& a : allowed)
        list += (list.empty() ? "" : "|") + a;
    throw TUsageError(options.Command + ": " + name + " expects " + list + ", found \"" + value + "\"");
}

std::vector<int> WholeListOption(const TOptions& options, const std::string& name, std::size_t count, int lo, int hi)
{
    const std::string text = options.Value(name).value_or("");
    std::vector<int> values;
    std::size_t start = 0;
    bool valid = true;
    while (valid && start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        long long value = 0;
        const char* first = text.data() + start;
        const char* last = text.data() + comma;
        const auto [end, error] = std::from_chars(first, last, value);
        valid = first != last && error == std::errc() && end == last && value >= lo && value <= hi;
        values.push_back(static_cast<int>(value));
        start = comma + 1;
    }
    if (!valid || values.size() != count)
        throw TUsageError(options.Command + ": " + name + " expects " + std::to_string(count) + " whole numbers from " +
                          std::to_string(lo) + " to " + std::to_string(hi) + " separated by commas, found \"" + text +
                          "\"");
    return values;
}

} // namespace orbelin::cli

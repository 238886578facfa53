// The checked conversions of command-line option values.
#include "cli/Options.h"

#include "data/NumberText.h"
#include "data/TError.h"
#include "data/TRWFile.h"

#include <charconv>
#include <stdexcept>

namespace orbelin::cli {

std::optional<std::string> TOptions::Value(const std::string& name) const
{
    if (!Declared.count(name))
        throw std::logic_error(Command + " asks for the option " + name + ", which it does not declare");
    const auto it = Values.find(name);
    return it == Values.end() ? std::nullopt : std::optional<std::string>(it->second);
}

bool TOptions::Flag(const std::string& name) const
{
    if (!Declared.count(name))
        throw std::logic_error(Command + " asks for the flag " + name + ", which it does not declare");
    return Flags.count(name) != 0;
}

void TOptions::Fail(const std::string& message) const
{
    throw TUsageError(message + " (usage: orbelin-cli " + Usage + ")");
}

namespace {

// A default the help shows and the command does not use is a slip of the code.
void CheckDefaultText(const TOptions& options, const std::string& name, bool same)
{
    if (!same)
        throw std::logic_error(options.Command + ": the help gives " + name + " the default " +
                               options.Defaults.at(name) + ", which the command does not use");
}

} // namespace

void CheckDefault(const TOptions& options, const std::string& name, double fallback)
{
    double declared = 0;
    if (options.Defaults.count(name))
        CheckDefaultText(options, name,
                         data::ParseDecimal(options.Defaults.at(name), declared) && declared == fallback);
}

long long WholeOption(const TOptions& options, const std::string& name, long long fallback, long long lo, long long hi)
{
    const auto text = options.Value(name);
    if (options.Defaults.count(name))
        CheckDefaultText(options, name, options.Defaults.at(name) == std::to_string(fallback));
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
    CheckDefault(options, name, fallback);
    if (!text)
        return fallback;
    double value = 0;
    if (!data::ParseDecimal(*text, value) || !(value >= lo && value <= hi))
        throw TUsageError(options.Command + ": " + name + " expects a number from " + data::GeneralText(lo) + " to " +
                          data::GeneralText(hi) + ", found \"" + *text + "\"");
    return value;
}

std::string ChoiceOption(const TOptions& options, const std::string& name, const std::string& fallback)
{
    const std::string value = options.Value(name).value_or(fallback);
    if (options.Defaults.count(name))
        CheckDefaultText(options, name, options.Defaults.at(name) == fallback);
    const std::vector<std::string>& allowed = options.Choices.at(name);
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

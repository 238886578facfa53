// The subcommands' declarations, their usage lines and help, and the reports of command
// lines that do not fit a declaration.
#include "cli/CommandLine.h"

#include <algorithm>
#include <exception>
#include <map>

namespace orbelin::cli {
namespace {

constexpr std::size_t HelpWidth = 100;

/// The name an option is shown and reported under: its short name where it has one ("-o").
std::string OptionWord(const CLI::Option& option)
{
    if (!option.get_snames().empty())
        return "-" + option.get_snames().front();
    if (!option.get_lnames().empty())
        return "--" + option.get_lnames().front();
    return option.get_name();
}

bool TakesValue(const CLI::Option& option)
{
    return option.get_expected_max() > 0;
}

/// The options declared with AddStep belong to this group, which the help lists apart.
const std::string StepGroup = "Steps, taken in the order given";

bool IsStep(const CLI::Option& option)
{
    return option.get_group() == StepGroup;
}

std::vector<const CLI::Option*> Declared(const CLI::App& command)
{
    std::vector<const CLI::Option*> options;
    for (const CLI::Option* option : command.get_options())
        if (option != command.get_help_ptr())
            options.push_back(option);
    return options;
}

std::string WithArticle(const std::string& name)
{
    const bool vowel = !name.empty() && std::string("AEIOUaeiou").find(name[0]) != std::string::npos;
    return (vowel ? "an " : "a ") + name;
}

/// What a command line lacks or holds too much of, in the commands' own words.
std::string ParseProblem(const CLI::App& command, const CLI::ParseError& error, const TArgs& args)
{
    const std::string name = command.get_name();
    if (dynamic_cast<const CLI::RequiredError*>(&error)) {
        for (const bool positional : {true, false})
            for (const CLI::Option* option : Declared(command))
                if (option->get_positional() == positional && option->get_required() && option->count() == 0)
                    return name + " needs " +
                           (positional ? WithArticle(option->get_name())
                                       : OptionWord(*option) + " " + option->get_type_name());
    }
    // CLI11 takes an option's value unseen, so a value is missing only after the last argument.
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) && !args.empty()) {
        std::string last = args.back();
        if (!last.empty() && last.back() == '=')
            last.pop_back();
        for (const CLI::Option* option : Declared(command))
            if (!option->get_positional() && TakesValue(*option) && option->check_name(last))
                return name + ": " + OptionWord(*option) + " needs a value";
    }
    return name + ": " + error.what();
}

/// The items broken into lines of at most HelpWidth characters, the first indented by
/// first, the others by next; an item longer than a line stays whole.
std::string Wrapped(const std::vector<std::string>& items, std::size_t first, std::size_t next)
{
    std::string out(first, ' ');
    std::size_t column = first;
    bool lineStart = true;
    for (const std::string& item : items) {
        if (!lineStart && column + 1 + item.size() > HelpWidth) {
            out += "\n" + std::string(next, ' ');
            column = next;
            lineStart = true;
        }
        if (!lineStart) {
            out += ' ';
            ++column;
        }
        out += item;
        column += item.size();
        lineStart = false;
    }
    return out + "\n";
}

std::vector<std::string> Words(const std::string& text)
{
    std::vector<std::string> words;
    for (const std::string& word : CLI::detail::split(text, ' '))
        if (!word.empty())
            words.push_back(word);
    return words;
}

/// The items of a usage line: the command's name, its positional arguments, then its
/// options, the ones it can do without in brackets.
std::vector<std::string> UsageItems(const CLI::App& command)
{
    std::vector<std::string> items = {command.get_name()};
    for (const bool positional : {true, false})
        for (const CLI::Option* option : Declared(command)) {
            if (option->get_positional() != positional)
                continue;
            std::string item = positional ? option->get_name() : OptionWord(*option);
            if (positional && option->get_items_expected_max() > 1)
                item += "...";
            if (!positional && TakesValue(*option))
                item += option->get_expected_min() == 0 ? " [" + option->get_type_name() + "]"
                                                        : " " + option->get_type_name();
            item = option->get_required() ? item : "[" + item + "]";
            items.push_back(IsStep(*option) ? item + "..." : item);
        }
    return items;
}

/// CLI11's help of one command, under the command's own usage line, with the defaults
/// after the descriptions.
class THelpFormatter : public CLI::Formatter {
public:
    std::string make_usage(const CLI::App* app, std::string) const override
    {
        std::vector<std::string> items = UsageItems(*app);
        items.insert(items.begin(), "usage: orbelin-cli");
        return Wrapped(items, 0, 7);
    }
    std::string make_option_opts(const CLI::Option* option) const override
    {
        std::string opts;
        if (TakesValue(*option) && !option->get_type_name().empty())
            opts += " " + option->get_type_name();
        if (option->get_positional() && option->get_items_expected_max() > 1)
            opts += " ...";
        if (option->get_required())
            opts += " REQUIRED";
        return opts;
    }
    std::string make_option_desc(const CLI::Option* option) const override
    {
        const std::string& fallback = option->get_default_str();
        return option->get_description() + (fallback.empty() ? "" : " (default " + fallback + ")");
    }
};

} // namespace

std::string UsageOf(const CLI::App& command)
{
    return CLI::detail::join(UsageItems(command), " ");
}

CLI::Option* AddPath(CLI::App& command, const std::string& name, const std::string& help, bool optional, bool many)
{
    CLI::Option* option = command.add_option(name)->description(help)->type_name("");
    if (many)
        option->expected(0, CLI::detail::expected_max_vector_size)->allow_extra_args();
    if (!optional)
        option->required();
    return option;
}

CLI::Option* AddValue(CLI::App& command, const std::string& name, const std::string& placeholder,
                      const std::string& help)
{
    // Every value is kept, so that ReadOptions reports an option given twice.
    return command.add_option(name)
        ->description(help)
        ->type_name(placeholder)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

CLI::Option* AddChoice(CLI::App& command, const std::string& name, const std::vector<std::string>& choices,
                       const std::string& help)
{
    // The placeholder is the list of choices, which ReadOptions hands on to ChoiceOption.
    return AddValue(command, name, CLI::detail::join(choices, "|"), help);
}

CLI::Option* AddOptionalValue(CLI::App& command, const std::string& name, const std::string& placeholder,
                              const std::string& help, const CLI::Validator& check)
{
    return AddValue(command, name, placeholder, help)->expected(0, 1)->check(check);
}

CLI::Option* AddFlag(CLI::App& command, const std::string& name, const std::string& help)
{
    return command.add_flag(name)->description(help);
}

CLI::Option* AddStep(CLI::App& command, const std::string& name, const std::string& placeholder,
                     const std::string& help, bool valueOptional)
{
    CLI::Option* option = AddValue(command, name, placeholder, help)->group(StepGroup);
    if (valueOptional)
        option->expected(0, 1);
    return option;
}

TOptions ReadOptions(const CLI::App& command)
{
    TOptions line;
    line.Command = command.get_name();
    line.Usage = UsageOf(command);
    for (const CLI::Option* option : Declared(command)) {
        std::vector<std::string> names;
        for (const std::string& s : option->get_snames())
            names.push_back("-" + s);
        for (const std::string& l : option->get_lnames())
            names.push_back("--" + l);
        line.Declared.insert(names.begin(), names.end());
        std::vector<std::string> results = option->results();
        // CLI11 gives an option whose value may be left out one empty result for each time
        // it is given alone.
        const bool alone = option->get_expected_min() == 0 && !results.empty() &&
                           std::all_of(results.begin(), results.end(), [](const std::string& r) { return r.empty(); });
        if (alone)
            results.assign(1, std::string());
        if (option->get_positional()) {
            line.Paths.insert(line.Paths.end(), results.begin(), results.end());
        } else if (!TakesValue(*option)) {
            for (const std::string& result : results)
                if (result != "true")
                    line.Fail(line.Command + ": " + OptionWord(*option) + " takes no value");
            if (!results.empty())
                line.Flags.insert(names.begin(), names.end());
        } else if (IsStep(*option)) {
            // Read below, in the order of the command line.
        } else {
            if (results.size() > 1 || option->count() > 1)
                line.Fail(line.Command + ": " + OptionWord(*option) + " is given twice");
            // Given without its value, it reads as a flag.
            if (alone) {
                line.Flags.insert(names.begin(), names.end());
                results.clear();
            }
            const bool choice = option->get_type_name().find('|') != std::string::npos;
            for (const std::string& n : names) {
                if (!results.empty())
                    line.Values[n] = results.front();
                if (!option->get_default_str().empty())
                    line.Defaults[n] = option->get_default_str();
                if (choice)
                    line.Choices[n] = CLI::detail::split(option->get_type_name(), '|');
            }
        }
    }
    if (!line.Paths.empty())
        line.Path = line.Paths.front();

    // Every occurrence of a step option took the next of its results.
    std::map<const CLI::Option*, std::size_t> taken;
    for (const CLI::Option* option : command.parse_order())
        if (IsStep(*option)) {
            std::size_t& next = taken[option];
            if (next < option->results().size())
                line.Steps.push_back({OptionWord(*option), option->results()[next]});
            ++next;
        }

    // Arguments that fit no declaration: an option the command does not know, or one
    // positional argument too many.
    bool afterSeparator = false;
    for (const std::string& extra : command.remaining()) {
        if (extra == "--") {
            afterSeparator = true;
            continue;
        }
        if (!afterSeparator && extra.size() > 1 && extra[0] == '-')
            line.Fail(line.Command + ": unknown option \"" + extra + "\"");
        const CLI::Option* last = nullptr;
        for (const CLI::Option* option : Declared(command))
            if (option->get_positional())
                last = option;
        if (!last)
            line.Fail(line.Command + " takes no positional argument, found \"" + extra + "\"");
        line.Fail(line.Command + (last->get_required() ? " takes one " : " takes at most one ") + last->get_name() +
                  ", found also \"" + extra + "\"");
    }
    return line;
}

TCommandLine::TCommandLine() : App_("", "orbelin-cli")
{
    App_.set_help_flag("-h,--help", "print this help and exit");
    App_.formatter(std::make_shared<THelpFormatter>());
}

CLI::App& TCommandLine::AddCommand(const std::string& name, const std::string& summary, TRun run)
{
    CLI::App* command = App_.add_subcommand(name, summary);
    // Arguments that fit no declaration are reported by ReadOptions in the commands' words.
    command->allow_extras();
    Entries_.push_back({command, run});
    return *command;
}

const TCommandLine::TEntry* TCommandLine::Find(const std::string& name) const
{
    for (const TEntry& entry : Entries_)
        if (entry.Command->get_name() == name)
            return &entry;
    return nullptr;
}

std::string TCommandLine::Help() const
{
    std::string help = "usage: orbelin-cli COMMAND [ARGS...]\n"
                       "       orbelin-cli COMMAND --help   (the command's arguments and options)\n\nCommands:\n";
    for (const TEntry& entry : Entries_)
        help += Wrapped(UsageItems(*entry.Command), 2, 6) + Wrapped(Words(entry.Command->get_description()), 6, 6);
    return help + "\nResults are printed as JSON on standard output.\n";
}

int TCommandLine::Run(const TArgs& args)
{
    const auto print = [](const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); };
    if (args.empty()) {
        print(Help());
        return 2;
    }
    try {
        if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
            const TEntry* entry = args.size() == 2 && args[0] == "help" ? Find(args[1]) : nullptr;
            print(entry ? entry->Command->help() : Help());
            return 0;
        }
        const TEntry* entry = Find(args[0]);
        if (!entry)
            throw TUsageError("unknown command \"" + args[0] + "\" (see orbelin-cli --help)");
        CLI::App& command = *entry->Command;
        // CLI11 takes the arguments last first; the command is parsed on its own, so that an
        // argument that happens to name another command is no command here.
        std::vector<std::string> reversed(args.rbegin(), args.rend() - 1);
        try {
            command.parse(reversed);
        } catch (const CLI::CallForHelp&) {
            print(command.help());
            return 0;
        } catch (const CLI::ParseError& error) {
            throw TUsageError(ParseProblem(command, error, TArgs(args.begin() + 1, args.end())) +
                              " (usage: orbelin-cli " + UsageOf(command) + ")");
        }
        entry->Run(ReadOptions(command));
        return 0;
    } catch (const TUsageError& e) {
        std::fprintf(stderr, "orbelin-cli: %s\n", e.what());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orbelin-cli: %s\n", e.what());
        return 1;
    }
}

} // namespace orbelin::cli

// JSON text for the command-line tool's output.
#include "cli/JsonOutput.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace orbelin::cli {
namespace {

void AppendString(std::string& out, const std::string& text)
{
    out += TJson(text).dump(-1, ' ', false, TJson::error_handler_t::replace);
}

void AppendNumber(std::string& out, double value)
{
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void Append(std::string& out, const TJson& value)
{
    switch (value.type()) {
    case TJson::value_t::object: {
        out += '{';
        bool first = true;
        for (auto member = value.begin(); member != value.end(); ++member) {
            if (!first)
                out += ',';
            first = false;
            AppendString(out, member.key());
            out += ':';
            Append(out, member.value());
        }
        out += '}';
        break;
    }
    case TJson::value_t::array: {
        out += '[';
        for (std::size_t i = 0; i < value.size(); ++i) {
            if (i > 0)
                out += ',';
            Append(out, value[i]);
        }
        out += ']';
        break;
    }
    case TJson::value_t::string:
        AppendString(out, value.get_ref<const std::string&>());
        break;
    case TJson::value_t::number_float:
        AppendNumber(out, value.get<double>());
        break;
    default: // null, booleans, whole numbers and binary data, as nlohmann writes them
        out += value.dump(-1, ' ', false, TJson::error_handler_t::replace);
        break;
    }
}

} // namespace

std::string JsonText(const TJson& value)
{
    std::string out;
    Append(out, value);
    return out;
}

void PrintJson(const TJson& value)
{
    const std::string text = JsonText(value) + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
}

} // namespace orbelin::cli

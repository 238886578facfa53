// JSON output. Numbers are written with the shortest text that reads back to the same
// double.
#include "cli/TJsonWriter.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace orbelin::cli {

std::string JsonQuoted(std::string_view text)
{
    std::string out = "\"";
    for (char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += ch;
            }
        }
    }
    return out + "\"";
}

void TJsonWriter::BeforeValue()
{
    if (AfterKey_) {
        AfterKey_ = false;
        return;
    }
    if (!First_.empty()) {
        if (!First_.back())
            Text_ += ',';
        First_.back() = false;
    }
}

void TJsonWriter::Append(std::string_view raw)
{
    BeforeValue();
    Text_ += raw;
}

TJsonWriter& TJsonWriter::BeginObject()
{
    Append("{");
    First_.push_back(true);
    return *this;
}

TJsonWriter& TJsonWriter::EndObject()
{
    First_.pop_back();
    Text_ += '}';
    return *this;
}

TJsonWriter& TJsonWriter::BeginArray()
{
    Append("[");
    First_.push_back(true);
    return *this;
}

TJsonWriter& TJsonWriter::EndArray()
{
    First_.pop_back();
    Text_ += ']';
    return *this;
}

TJsonWriter& TJsonWriter::Key(std::string_view key)
{
    BeforeValue();
    Text_ += JsonQuoted(key);
    Text_ += ':';
    AfterKey_ = true;
    return *this;
}

TJsonWriter& TJsonWriter::String(std::string_view value)
{
    Append(JsonQuoted(value));
    return *this;
}

TJsonWriter& TJsonWriter::Int(long long value)
{
    Append(std::to_string(value));
    return *this;
}

TJsonWriter& TJsonWriter::Number(double value)
{
    if (!std::isfinite(value))
        return Null();
    char buf[32];
    const auto result = std::to_chars(buf, buf + sizeof buf, value);
    Append(std::string_view(buf, static_cast<std::size_t>(result.ptr - buf)));
    return *this;
}

TJsonWriter& TJsonWriter::Bool(bool value)
{
    Append(value ? "true" : "false");
    return *this;
}

TJsonWriter& TJsonWriter::Null()
{
    Append("null");
    return *this;
}

} // namespace orbelin::cli

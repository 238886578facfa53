// A small JSON writer for the command-line tool's output.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orbelin::cli {

/// Builds one JSON text. Commas are placed automatically between the values of an
/// object or array; Key() must precede every value inside an object.
class TJsonWriter {
public:
    TJsonWriter& BeginObject();
    TJsonWriter& EndObject();
    TJsonWriter& BeginArray();
    TJsonWriter& EndArray();
    TJsonWriter& Key(std::string_view key);
    TJsonWriter& String(std::string_view value);
    TJsonWriter& Int(long long value);
    /// Non-finite numbers (missing values among them) are written as null.
    TJsonWriter& Number(double value);
    TJsonWriter& Bool(bool value);
    TJsonWriter& Null();

    const std::string& Text() const { return Text_; }

private:
    void BeforeValue();
    void Append(std::string_view raw);

    std::string Text_;
    std::vector<bool> First_;
    bool AfterKey_ = false;
};

std::string JsonQuoted(std::string_view text);

} // namespace orbelin::cli

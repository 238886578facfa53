// A small JSON reader for checking what orbelin-cli writes.
#pragma once

#include <cctype>
#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace orbelin::test {

/// One JSON value: null, a number, a string, an array or an object.
struct TJson {
    enum class TKind { Null, Number, String, Bool, Array, Object } Kind = TKind::Null;
    double Number = 0;
    std::string Text;
    std::vector<TJson> Items;
    std::map<std::string, TJson> Members;

    const TJson& operator[](const std::string& key) const
    {
        const auto it = Members.find(key);
        if (it == Members.end())
            throw std::runtime_error("no member " + key);
        return it->second;
    }
    const TJson& operator[](std::size_t i) const { return Items.at(i); }
    std::size_t Size() const { return Kind == TKind::Array ? Items.size() : Members.size(); }
};

class TJsonReader {
public:
    explicit TJsonReader(const std::string& text) : Text_(text) {}

    TJson Read()
    {
        TJson value = Value();
        Blanks();
        if (At_ != Text_.size())
            Fail("text after the value");
        return value;
    }

private:
    [[noreturn]] void Fail(const std::string& what) const
    {
        throw std::runtime_error("JSON at " + std::to_string(At_) + ": " + what);
    }
    void Blanks()
    {
        while (At_ < Text_.size() && std::isspace(static_cast<unsigned char>(Text_[At_])))
            ++At_;
    }
    bool Take(char c)
    {
        Blanks();
        if (At_ < Text_.size() && Text_[At_] == c) {
            ++At_;
            return true;
        }
        return false;
    }
    std::string String()
    {
        if (!Take('"'))
            Fail("expected a string");
        std::string out;
        while (At_ < Text_.size() && Text_[At_] != '"') {
            if (Text_[At_] == '\\')
                ++At_;
            out += Text_[At_++];
        }
        ++At_;
        return out;
    }
    TJson Value()
    {
        TJson v;
        Blanks();
        if (At_ >= Text_.size())
            Fail("unexpected end");
        const char c = Text_[At_];
        if (c == '{') {
            ++At_;
            v.Kind = TJson::TKind::Object;
            if (Take('}'))
                return v;
            do {
                const std::string key = String();
                if (!Take(':'))
                    Fail("expected ':'");
                v.Members[key] = Value();
            } while (Take(','));
            if (!Take('}'))
                Fail("expected '}'");
        } else if (c == '[') {
            ++At_;
            v.Kind = TJson::TKind::Array;
            if (Take(']'))
                return v;
            do
                v.Items.push_back(Value());
            while (Take(','));
            if (!Take(']'))
                Fail("expected ']'");
        } else if (c == '"') {
            v.Kind = TJson::TKind::String;
            v.Text = String();
        } else if (Text_.compare(At_, 4, "null") == 0) {
            At_ += 4;
        } else if (Text_.compare(At_, 4, "true") == 0 || Text_.compare(At_, 5, "false") == 0) {
            v.Kind = TJson::TKind::Bool;
            v.Number = c == 't';
            At_ += c == 't' ? 4 : 5;
        } else {
            char* end = nullptr;
            v.Kind = TJson::TKind::Number;
            v.Number = std::strtod(Text_.c_str() + At_, &end);
            if (end == Text_.c_str() + At_)
                Fail("expected a value");
            At_ = static_cast<std::size_t>(end - Text_.c_str());
        }
        return v;
    }

    const std::string& Text_;
    std::size_t At_ = 0;
};

inline TJson ReadJson(const std::string& text)
{
    return TJsonReader(text).Read();
}

} // namespace orbelin::test

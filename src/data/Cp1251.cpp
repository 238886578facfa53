// Conversion between the Windows-1251 bytes of the system's files and UTF-8 in memory.
#include "data/Cp1251.h"

#include <array>

namespace orbelin::data {
namespace {

// Unicode code points of the bytes 0x80..0xFF. The one byte that Windows-1251 leaves
// undefined (0x98) maps to the C1 control of the same number, so any byte string
// survives a read and a write unchanged.
constexpr std::array<char32_t, 128> HighHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

// Decodes one code point at text[pos], advancing pos; returns false for malformed input.
bool NextCodePoint(std::string_view text, std::size_t& pos, char32_t& c)
{
    const unsigned char b0 = static_cast<unsigned char>(text[pos]);
    int extra;
    if (b0 < 0x80) {
        c = b0;
        ++pos;
        return true;
    } else if (b0 >= 0xC2 && b0 <= 0xDF) {
        c = b0 & 0x1F;
        extra = 1;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        c = b0 & 0x0F;
        extra = 2;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        c = b0 & 0x07;
        extra = 3;
    } else {
        return false;
    }
    if (pos + extra >= text.size())
        return false;
    for (int k = 1; k <= extra; ++k) {
        const unsigned char b = static_cast<unsigned char>(text[pos + k]);
        if ((b & 0xC0) != 0x80)
            return false;
        c = (c << 6) | (b & 0x3F);
    }
    // Reject overlong forms, surrogates and values beyond U+10FFFF.
    if ((extra == 2 && c < 0x800) || (extra == 3 && (c < 0x10000 || c > 0x10FFFF)) ||
        (c >= 0xD800 && c <= 0xDFFF))
        return false;
    pos += extra + 1;
    return true;
}

int EncodeCodePoint(char32_t c)
{
    if (c < 0x80)
        return static_cast<int>(c);
    if (c >= 0x410 && c <= 0x44F)
        return static_cast<int>(c - 0x410 + 0xC0);
    for (int i = 0; i < 128; ++i)
        if (HighHalf[i] == c)
            return 0x80 + i;
    return -1;
}

} // namespace

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string Cp1251ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const unsigned char b = static_cast<unsigned char>(ch);
        if (b < 0x80)
            out += ch;
        else
            AppendUtf8(out, HighHalf[b - 0x80]);
    }
    return out;
}

bool Utf8ToCp1251(std::string_view text, std::string& bytes)
{
    bytes.clear();
    bytes.reserve(text.size());
    bool exact = true;
    std::size_t pos = 0;
    while (pos < text.size()) {
        char32_t c;
        if (!NextCodePoint(text, pos, c)) {
            ++pos;
            bytes += '?';
            exact = false;
            continue;
        }
        const int b = EncodeCodePoint(c);
        if (b < 0) {
            bytes += '?';
            exact = false;
        } else {
            bytes += static_cast<char>(b);
        }
    }
    return exact;
}

bool IsValidUtf8(std::string_view text)
{
    std::size_t pos = 0;
    char32_t c;
    while (pos < text.size())
        if (!NextCodePoint(text, pos, c))
            return false;
    return true;
}

std::size_t Utf8Length(std::string_view text)
{
    std::size_t n = 0;
    for (char ch : text)
        if ((static_cast<unsigned char>(ch) & 0xC0) != 0x80)
            ++n;
    return n;
}

std::string FoldCase(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        char32_t c;
        const std::size_t start = pos;
        if (!NextCodePoint(text, pos, c)) {
            pos = start + 1;
            out += text[start];
            continue;
        }
        if (c >= 'A' && c <= 'Z')
            c += 'a' - 'A';
        else if (c >= 0x410 && c <= 0x42F)
            c += 0x20;
        else if (c >= 0x400 && c <= 0x40F)
            c += 0x50;
        AppendUtf8(out, c);
    }
    return out;
}

} // namespace orbelin::data

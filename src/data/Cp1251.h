// Windows-1251 codec of the file boundary, and the small UTF-8 helpers that go with it.
#pragma once

#include <string>
#include <string_view>

namespace orbelin::data {

/// Every byte has a code point, so this never fails.
std::string Cp1251ToUtf8(std::string_view bytes);

/// Encodes UTF-8 text as Windows-1251 bytes. Returns false when some character has no
/// Windows-1251 byte (or the text is not valid UTF-8); such characters become "?".
bool Utf8ToCp1251(std::string_view text, std::string& bytes);

bool IsValidUtf8(std::string_view text);

/// Appends the UTF-8 form of one code point.
void AppendUtf8(std::string& out, char32_t c);

/// Number of code points, the "length in characters" of field widths.
std::size_t Utf8Length(std::string_view text);

/// Lower-cases Latin and Cyrillic letters, for comparisons that ignore letter case.
std::string FoldCase(std::string_view text);

} // namespace orbelin::data

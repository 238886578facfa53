// The single-byte code pages that database tables are written in, decoded to UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace orbelin::data {

/// Decodes text stored in a Windows or DOS code page: 1251 (Cyrillic), 866 (DOS
/// Cyrillic), 1252 (Western) or 65001 (UTF-8). Text that claims UTF-8 but is not valid
/// UTF-8, and every other code page, read as Windows-1251, the system's own code page.
std::string CodePageToUtf8(std::string_view bytes, int codePage);

} // namespace orbelin::data

#pragma once
// Internal text is Windows-1252 bytes in std::string. These convert at the Qt
// boundary only. The five codes that Windows-1252 leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to U+FFFD; characters without a code map to '?'.
#include <cstdint>
#include <string>
#include <string_view>

namespace cp1252 {

// Separator and marker characters of layouts and server replies.
inline constexpr char kBarcodeMark = '\xE6';     // 230: barcode line, image/static-list/code fields
inline constexpr char kImagePartSep = '\xC5';    // 197: parts of one image entry
inline constexpr char kTableRecordSep = '\xE7';  // 231: records of the table list
inline constexpr char kTableFieldSep = '\xE8';   // 232: fields of one table record
inline constexpr char kFromThruSep = '\xBA';     // 186: from/thru default values
inline constexpr char kGridCellMark = '\xF4';    // 244: data-grid cell caption

// Unicode code point of one byte.
char32_t ToCodePoint(unsigned char byte);
// Byte of one code point, or '?' when Windows-1252 has no such character.
char FromCodePoint(char32_t cp);

// Windows-1252 bytes -> UTF-8 and back (the QString boundary uses these through
// QString::fromUtf8/toUtf8, so no Qt type is needed here).
std::string ToUtf8(std::string_view bytes);
std::string FromUtf8(std::string_view utf8);

}  // namespace cp1252

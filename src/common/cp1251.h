#pragma once

#include <string>
#include <string_view>

namespace tavrelo {

// Text inside the program is Windows-1251 bytes; these convert at the edges.
// The byte 0x98, unassigned in Windows-1251, maps to U+0098 both ways, so every byte round-trips.

std::string Cp1251ToUtf8(std::string_view cp1251);
// The same, appended to `out`.
void AppendUtf8FromCp1251(std::string& out, std::string_view cp1251);

// A character with no Windows-1251 form, and every malformed UTF-8 sequence, becomes "?".
std::string Utf8ToCp1251(std::string_view utf8);

// Appends the Windows-1251 form of one code point; "?" when it has none.
void AppendCp1251(std::string& out, char32_t code_point);

}  // namespace tavrelo

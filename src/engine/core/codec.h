// Code page 1251 <-> UTF-8, used at the file boundary only.
//
// Inside the program every string is UTF-8. The conversion is a bijection on
// all 256 cp1251 bytes (the one unassigned byte 0x98 maps to U+0098), so a
// text read from a file and written back reproduces every byte. Characters
// that cp1251 cannot hold are written as "?".
#pragma once

#include <string>
#include <string_view>

namespace vexa {

std::string Cp1251ToUtf8(std::string_view cp1251);
std::string Utf8ToCp1251(std::string_view utf8);

}  // namespace vexa

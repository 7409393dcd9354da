// Interface languages: the locale ids the program knows, their three-letter
// abbreviations (as language module names carry them) and language tags.
//
// A language module is the file "<program path without extension>_<ABBR>.lng"
// beside the program; the built-in language (Russian, 1049) needs none.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vexa {

inline constexpr int32_t BuiltInLanguage = 1049;

struct TLanguage {
  int32_t Lcid = 0;
  const char* Abbr = "";  // "ENU"
  const char* Tag = "";   // "en-US", for the name the desktop gives the language
};

// Every known locale, ascending by id.
const std::vector<TLanguage>& KnownLanguages();
// nullptr for an id that names no known locale.
const TLanguage* LanguageOf(int32_t lcid);
// The primary language of a locale id (its low ten bits).
inline int32_t PrimaryLanguage(int32_t lcid) { return lcid & 0x3FF; }
// The module file of a language; empty for an unknown id.
std::filesystem::path LanguageModule(const std::filesystem::path& program, int32_t lcid);
// The built-in language and every known one whose module exists, ascending by id.
std::vector<int32_t> AvailableLanguages(const std::filesystem::path& program);

}  // namespace vexa

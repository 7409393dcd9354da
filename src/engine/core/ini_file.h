// Classic INI files: the settings, window settings, favourites and export
// parameter files all use this one engine.
//
// File form: "[Section]" lines and "Key=Value" lines in code page 1251 with
// CR LF line ends. Section and key names match without regard to case (Latin
// and Cyrillic letters). Names and values are read with surrounding blanks
// removed; a value is the rest of the line after the first "=", quotes
// included. A line that is neither a section nor a key (a ";" comment, a
// line without "=", anything before the first section) is kept as it stands
// and means nothing. When a key or a section appears twice, the first one
// wins for reading and writing.
//
// The object holds the whole file in memory: the constructor loads it, the
// Write/Erase calls change only memory, and UpdateFile stores the whole file
// at once through a temporary file, so a failed store leaves the previous
// file as it was. Every line the program does not touch, known or not, is
// written back as it was read.
//
// Every name and value crossing this interface is UTF-8; the conversion to
// and from code page 1251 happens here. Not thread-safe.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

class TIniFile {
 public:
  // A missing file reads as an empty one. A file that exists but cannot be
  // read throws EVexaError with the system's error text. createMode: the
  // permission bits UpdateFile gives a file it creates.
  explicit TIniFile(std::filesystem::path path, unsigned createMode = 0644);

  const std::filesystem::path& FileName() const { return Path_; }

  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  // Section names in file order, each name once.
  std::vector<std::string> ReadSections() const;
  // Key names of a section in file order, each name once.
  std::vector<std::string> ReadSection(std::string_view section) const;

  // Missing key: the default. The stored text is returned as it stands.
  std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
  // Decimal text; missing or unreadable: the default.
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
  // True for any integer other than 0; missing or unreadable: the default.
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;
  // Decimal fraction with the locale's decimal separator ("." and "," are
  // accepted as well); missing or unreadable: the default.
  long double ReadFloat(std::string_view section, std::string_view key, long double def) const;

  // Replaces the value of an existing key (its name keeps its spelling) or
  // adds the key at the end of its section, adding the section at the end of
  // the file when needed. A line break in a value is stored as a blank, so a
  // value can never split the line. Throws EVexaError for a name that the
  // file form cannot hold (empty, "=" in a key, "]" in a section, a line
  // break, a leading ";" or "[").
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int32_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);  // "1" / "0"
  // Shortest text of 15 significant digits with the locale's decimal separator.
  void WriteFloat(std::string_view section, std::string_view key, long double value);

  // Removes every section of that name with all its lines.
  void EraseSection(std::string_view section);
  // Removes every line of that key in every section of that name.
  void DeleteKey(std::string_view section, std::string_view key);

  // The bytes UpdateFile would store.
  std::string Text() const;
  // Stores the whole file at once. Throws EVexaError with the system's error
  // text; the previous file is then untouched.
  void UpdateFile() const;
  // The same, and the file gets exactly these permission bits (it holds a secret).
  void UpdateFile(unsigned forcedMode) const;

 private:
  struct TLine {
    std::string Text;  // cp1251, without the line end
    std::string Key;   // folded key name; empty when the line is no key
  };
  struct TSection {
    std::string Header;  // the "[...]" line as read or written
    std::string Name;    // folded
    std::vector<TLine> Lines;
  };

  void Parse(std::string_view bytes);
  const TLine* FindKey(std::string_view section, std::string_view key) const;

  std::filesystem::path Path_;
  unsigned CreateMode_;
  std::vector<TLine> Preamble_;  // lines before the first section
  std::vector<TSection> Sections_;
};

// Text of a decimal value as the file holds it (WriteFloat's form).
std::string FloatToIniText(long double value);
// Reads such a text; false when it is not one.
bool TryIniTextToFloat(std::string_view text, long double& value);

}  // namespace vexa

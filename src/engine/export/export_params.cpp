#include "export/export_params.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "core/codec.h"
#include "core/error.h"
#include "core/format.h"

namespace vexa {

const char* const ExportAlignmentNames[3] = {"по левому краю", "по правому краю", "по центру"};
const char* const ExportOrientationNames[3] = {"Не устанавливать", "Книжная", "Альбомная"};
const char* const ExportSendModeNames[2] = {"Экспортировать все отображенные записи",
                                            "Экспортировать выделенные записи"};

namespace {

std::string Trim(std::string_view s) {
  size_t b = 0;
  size_t e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return std::string(s.substr(b, e - b));
}

// Upper case of Latin and Cyrillic letters, through code page 1251.
std::string Fold(std::string_view utf8) {
  std::string s = Utf8ToCp1251(utf8);
  for (char& ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 'a' && c <= 'z') ch = static_cast<char>(c - 32);
    else if (c >= 0xE0) ch = static_cast<char>(c - 32);
    else if (c == 0xB8) ch = static_cast<char>(0xA8);
  }
  return s;
}

std::string Upper(std::string_view utf8) { return Cp1251ToUtf8(Fold(utf8)); }

// Parts of a text split at ";", runs of ";" counting as one separator.
std::vector<std::string> SplitRuns(std::string_view text) {
  std::vector<std::string> parts;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ';') ++i;
    if (i >= text.size()) break;
    const size_t j = text.find(';', i);
    const size_t end = j == std::string_view::npos ? text.size() : j;
    parts.emplace_back(text.substr(i, end - i));
    i = end;
  }
  return parts;
}

bool ReadInt(std::string_view text, int& value) {
  const std::string t = Trim(text);
  if (t.empty()) return false;
  char* end = nullptr;
  const long v = std::strtol(t.c_str(), &end, 10);
  if (*end != '\0') return false;
  value = static_cast<int>(v);
  return true;
}

}  // namespace

std::string ExportSectionName(std::string_view formName, std::string_view controlName) {
  return "EXPORT_EXCEL_" + Upper(formName) + "." + Upper(controlName);
}

std::string ExportWidthText(double width) { return FloatToStrF(width, 2); }

std::string ExportWidthFromPixels(int pixels) { return ExportWidthText(pixels / 8.0); }

double ReadExportWidth(std::string_view text) {
  const std::string& sep = FormatSettings().DecimalSeparator;
  std::string clean;
  for (size_t i = 0; i < text.size();) {
    const char c = text[i];
    if ((c >= '0' && c <= '9') || c == '-') {
      clean += c;
      ++i;
    } else if (c == ',' || c == '.') {
      clean += '.';
      ++i;
    } else if (!sep.empty() && text.substr(i, sep.size()) == sep) {
      clean += '.';
      i += sep.size();
    } else {
      ++i;
    }
  }
  if (clean.empty()) return 10;
  char* end = nullptr;
  const double v = std::strtod(clean.c_str(), &end);
  if (end == clean.c_str() || *end != '\0') return 10;
  return v;
}

int RestoreCheckedFirst(std::vector<TExportField>& fields, int follow) {
  std::vector<int> order;
  order.reserve(fields.size());
  for (int pass = 0; pass < 2; ++pass)
    for (size_t i = 0; i < fields.size(); ++i)
      if (fields[i].Checked == (pass == 0)) order.push_back(static_cast<int>(i));
  std::vector<TExportField> sorted;
  sorted.reserve(fields.size());
  int moved = -1;
  for (size_t k = 0; k < order.size(); ++k) {
    if (order[k] == follow) moved = static_cast<int>(k);
    sorted.push_back(std::move(fields[static_cast<size_t>(order[k])]));
  }
  fields = std::move(sorted);
  return moved;
}

int ToggleExportField(std::vector<TExportField>& fields, int index) {
  if (index < 0 || index >= static_cast<int>(fields.size())) return index;
  fields[static_cast<size_t>(index)].Checked = !fields[static_cast<size_t>(index)].Checked;
  return RestoreCheckedFirst(fields, index);
}

int MoveExportField(std::vector<TExportField>& fields, int index, int delta) {
  const int target = index + delta;
  const int n = static_cast<int>(fields.size());
  if (index < 0 || index >= n || target < 0 || target >= n) return index;
  std::swap(fields[static_cast<size_t>(index)], fields[static_cast<size_t>(target)]);
  return RestoreCheckedFirst(fields, target);
}

std::string ExportItemText(const TExportField& f) {
  return std::to_string(f.SourceIndex) + ";" + Trim(f.PhysicalField) + ";" + f.Caption + ";" +
         (f.Checked ? "-1" : "0") + ";" + std::to_string(f.Alignment) + ";" + f.Width;
}

void WriteExportParams(TIniFile& ini, std::string_view section, const TExportParams& p, bool withRestore) {
  ini.EraseSection(section);
  if (withRestore) ini.WriteBool(section, "RestoreParameters", p.SaveParameters);
  ini.WriteString(section, "Title", p.Title);
  ini.WriteString(section, "Notes", p.Notes);
  ini.WriteBool(section, "ShowCreateTime", p.ShowCreateTime);
  ini.WriteString(section, "SheetName", p.SheetName);
  ini.WriteInteger(section, "PageOrientation", p.PageOrientation);
  ini.WriteInteger(section, "BaseFontSize", p.BaseFontSize);
  for (size_t i = 0; i < p.Fields.size(); ++i)
    ini.WriteString(section, "Item_" + std::to_string(i), ExportItemText(p.Fields[i]));
}

void SaveExportParams(const std::filesystem::path& file, std::string_view section, const TExportParams& params,
                      bool withRestore) {
  try {
    TIniFile ini(file);
    WriteExportParams(ini, section, params, withRestore);
    ini.UpdateFile();
  } catch (const std::exception& e) {
    const auto* v = dynamic_cast<const EVexaError*>(&e);
    throw EVexaError(Format(ExportSaveErrorFormat, {file.string()}), v ? v->Message() : e.what());
  }
}

void ReadExportParams(const TIniFile& ini, std::string_view section, TExportParams& p, TExportLoadMode mode,
                      TUserInterface& ui) {
  if (!ini.SectionExists(section)) return;
  if (mode == TExportLoadMode::Restore) {
    p.SaveParameters = ini.ReadBool(section, "RestoreParameters", p.SaveParameters);
    if (!p.SaveParameters) return;
  }
  if (ini.ValueExists(section, "Title") && (mode == TExportLoadMode::File || Trim(p.Title).empty()))
    p.Title = ini.ReadString(section, "Title", p.Title);
  if (ini.ValueExists(section, "Notes") && Trim(p.Notes).empty()) p.Notes = ini.ReadString(section, "Notes", p.Notes);
  p.ShowCreateTime = ini.ReadBool(section, "ShowCreateTime", p.ShowCreateTime);
  p.SheetName = ini.ReadString(section, "SheetName", p.SheetName);
  p.PageOrientation = ini.ReadInteger(section, "PageOrientation", p.PageOrientation);
  p.BaseFontSize = ini.ReadInteger(section, "BaseFontSize", p.BaseFontSize);
  for (size_t i = 0; i < p.Fields.size(); ++i) {
    try {
      const std::string value = ini.ReadString(section, "Item_" + std::to_string(i), "");
      if (value.empty()) continue;
      const std::vector<std::string> parts = SplitRuns(value);
      if (parts.size() != 6) continue;
      int source = -1;
      if (!ReadInt(parts[0], source)) source = -1;
      auto it = std::find_if(p.Fields.begin(), p.Fields.end(),
                             [&](const TExportField& f) { return f.SourceIndex == source; });
      if (it == p.Fields.end() || Fold(Trim(it->PhysicalField)) != Fold(parts[1])) continue;
      TExportField field = std::move(*it);
      p.Fields.erase(it);
      field.Caption = parts[2];
      int number = 0;
      if (ReadInt(parts[3], number)) field.Checked = number != 0;
      if (ReadInt(parts[4], number)) field.Alignment = number;
      field.Width = Trim(parts[5]);
      p.Fields.insert(p.Fields.begin() + static_cast<std::ptrdiff_t>(i), std::move(field));
    } catch (const std::exception& e) {
      ui.Message(TMessageKind::Error, Format(ExportFieldLoadErrorFormat, {static_cast<int>(i)}), e.what());
    }
  }
  RestoreCheckedFirst(p.Fields);
}

void LoadExportParams(const std::filesystem::path& file, std::string_view section, TExportParams& params,
                      TUserInterface& ui) {
  try {
    const TIniFile ini(file);
    ReadExportParams(ini, section, params, TExportLoadMode::File, ui);
  } catch (const std::exception& e) {
    const auto* v = dynamic_cast<const EVexaError*>(&e);
    throw EVexaError(Format(ExportLoadErrorFormat, {file.string()}), v ? v->Message() : e.what());
  }
}

std::string CleanSheetName(std::string_view name) {
  std::string out;
  for (char c : name) {
    switch (c) {
      case '"': case '\'': case '*': case '?': case ':': break;
      case '/': case '\\': out += '-'; break;
      case '[': out += '('; break;
      case ']': out += ')'; break;
      default: out += c;
    }
  }
  // 31 characters, counting UTF-8 sequences as one.
  size_t chars = 0;
  size_t cut = out.size();
  for (size_t i = 0; i < out.size(); ++i) {
    if ((static_cast<unsigned char>(out[i]) & 0xC0) == 0x80) continue;
    if (chars == 31) {
      cut = i;
      break;
    }
    ++chars;
  }
  return Trim(std::string_view(out).substr(0, cut));
}

}  // namespace vexa

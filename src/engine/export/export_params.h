// Export parameters of one table: the report's texts, the sheet settings
// and the ordered list of fields (columns) with their captions, alignments
// and widths.
//
// Stored form (settings file and ".exp" files alike), section
// "EXPORT_EXCEL_<FORM>.<CONTROL>" upper-cased, keys in this order:
//   RestoreParameters  "1"/"0" (settings file only)
//   Title, Notes, ShowCreateTime "1"/"0", SheetName, PageOrientation,
//   BaseFontSize, Item_0 .. Item_<F-1>
// Item_i = "source;physical;caption;checked;alignment;width" with checked
// "-1" or "0"; the fields in list order.
//
// Invariant of the field list: checked fields stand before unchecked ones,
// each group keeping its relative order (RestoreCheckedFirst).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/ini_file.h"
#include "core/user_interface.h"

namespace vexa {

inline constexpr int ExportAlignLeft = 0;
inline constexpr int ExportAlignRight = 1;
inline constexpr int ExportAlignCenter = 2;
inline constexpr int ExportSendAll = 0;
inline constexpr int ExportSendSelected = 1;
inline constexpr int ExportSheetNameMax = 128;
inline constexpr int ExportMinFontSize = 1;
inline constexpr int ExportMaxFontSize = 100;
inline constexpr const char* ExportFileExt = ".exp";
inline constexpr const char* ExportFileFilter = "Файлы параметров экспорта (*.exp)|*.exp|Все файлы (*.*)|*.*";
inline constexpr const char* ExportSaveErrorFormat = "Ошибка сохранения параметров экспорта в файле \"%s\"!";
inline constexpr const char* ExportFieldLoadErrorFormat = "Ошибка загрузки параметров экспортируемого поля ID=\"%d\"!";
inline constexpr const char* ExportLoadErrorFormat = "Ошибка загрузки параметров экспорта из файла \"%s\"!";
// "по левому краю", "по правому краю", "по центру"
extern const char* const ExportAlignmentNames[3];
// "Не устанавливать", "Книжная", "Альбомная"
extern const char* const ExportOrientationNames[3];
// "Экспортировать все отображенные записи", "Экспортировать выделенные записи"
extern const char* const ExportSendModeNames[2];

struct TExportField {
  std::string Caption;        // written into the sheet
  int Alignment = ExportAlignLeft;
  std::string Width;          // width units, fixed with two decimals
  std::string PhysicalField;  // the source column's own caption
  int SourceIndex = 0;        // list: 0 caption, k sub-item k; grid: column
  bool Checked = true;
  bool operator==(const TExportField&) const = default;
};

struct TExportParams {
  std::string Title;
  std::string Notes;
  bool ShowCreateTime = true;
  std::string SheetName;
  int PageOrientation = 0;  // 0 none, 1 portrait, 2 landscape
  int BaseFontSize = 8;
  int SendMode = ExportSendAll;
  bool SaveParameters = true;  // SaveCheckBox
  std::vector<TExportField> Fields;
};

// "EXPORT_EXCEL_FORMMAIN.LVDRAWS" from ("FormMain", "lvDraws").
std::string ExportSectionName(std::string_view formName, std::string_view controlName);

// A width in pixels as a field's width text: pixels / 8, two decimals.
std::string ExportWidthFromPixels(int pixels);
// Fixed notation, two decimals, the locale's decimal separator.
std::string ExportWidthText(double width);
// Lenient reading: digits and "-" kept; ",", "." and the locale's separator
// are the decimal separator; other characters dropped; unreadable gives 10.
double ReadExportWidth(std::string_view text);

// Moves each checked field to just behind the leading run of checked ones.
// Returns the new position of the field that stood at `follow` (-1: none).
int RestoreCheckedFirst(std::vector<TExportField>& fields, int follow = -1);
// The check box of field `index` toggled; returns its new position.
int ToggleExportField(std::vector<TExportField>& fields, int index);
// MoveUp (delta -1) / MoveDown (+1): exchanges with the neighbour, then the
// order is restored; returns the moved field's position. Out of range: no move.
int MoveExportField(std::vector<TExportField>& fields, int index, int delta);

// The item value "source;physical;caption;checked;alignment;width".
std::string ExportItemText(const TExportField& field);

// Erases the section and writes the keys (RestoreParameters only with
// withRestore) into the in-memory file.
void WriteExportParams(TIniFile& ini, std::string_view section, const TExportParams& params, bool withRestore);
// Open, write, store the file; other sections stay. Throws EVexaError with
// ExportSaveErrorFormat; the previous file is then untouched.
void SaveExportParams(const std::filesystem::path& file, std::string_view section, const TExportParams& params,
                      bool withRestore);

enum class TExportLoadMode { Restore, File };
// Nothing happens when the section is missing. A bad Item key is shown
// (ExportFieldLoadErrorFormat) and skipped. Ends with RestoreCheckedFirst.
void ReadExportParams(const TIniFile& ini, std::string_view section, TExportParams& params, TExportLoadMode mode,
                      TUserInterface& ui);
// File mode from an ".exp" file; a file that cannot be read throws
// EVexaError with ExportLoadErrorFormat (values loaded so far stay).
void LoadExportParams(const std::filesystem::path& file, std::string_view section, TExportParams& params,
                      TUserInterface& ui);

// Sheet-name cleaning: no quotes, apostrophes, "*", "?", ":"; "/" and "\"
// become "-", "[" "(", "]" ")"; at most 31 characters; trimmed.
std::string CleanSheetName(std::string_view name);

}  // namespace vexa

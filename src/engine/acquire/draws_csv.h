// Draws in semicolon-separated text, and the commands that change the
// archive by hand: add, edit, delete, import, export.
//
// CSV file: cp1251, CR LF, no header, one draw a line:
//   number;"date";n1;n2;n3;n4;n5;n6;s1;s2
// Import also takes the 9-field form without the number (the draw is then
// numbered archive length + 1).
//
// Each command that changes the archive ends by saving it. When the save
// fails the archive in memory is put back as it was, so memory and file
// never disagree, and the error is thrown on.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/draws_archive.h"
#include "core/user_interface.h"

namespace vexa {

// An import stops at this size (a real file of every draw is well under
// 1 MB); a larger input is refused with FileTooLargeFormat.
inline constexpr uint64_t DrawsCsvMaxSize = 64ull << 20;

// The field splitter of the import (quotes, blanks and ";" as the file form
// has them). Works on bytes, so cp1251 text passes through unchanged.
std::vector<std::string> SplitCsvFields(std::string_view line);

// One line of the export, in cp1251 without the line end.
std::string DrawToCsvLine(const TDraw& draw);

// Returns the number of draws written.
int DrawsExport(const TDrawsArchive& archive, const std::filesystem::path& file, TUserInterface& ui);
// Returns the number of draws added; nothing is added when the file cannot be read.
int DrawsImport(TDrawsArchive& archive, const std::filesystem::path& file, TUserInterface& ui);

// The numbers field of the draw dialog: 8 words separated by "," or ";",
// six different main numbers 1..45, then two supplementary numbers 1..45.
// Returns "" and fills draw.Nums/Supp, or returns "Введена некорректная комбинация!".
std::string ValidateDrawNumbers(std::string_view text, TDraw& draw);

inline constexpr int MaxEnteredDrawNumber = 2147483645;

// The dialog's whole result: number 1..MaxEnteredDrawNumber, numbers as above, date text
// (stored as DateToDrawText of the date). Returns the message or "".
std::string MakeEnteredDraw(int number, std::string_view numbers, double date, TDraw& draw);

void DrawsAdd(TDrawsArchive& archive, const TDraw& draw, TUserInterface& ui);
// row: row of the draws list (0 is the newest draw).
void DrawsEdit(TDrawsArchive& archive, int row, const TDraw& draw, TUserInterface& ui);
// Deletes the draws with these numbers, in the given order (the list walks
// its selected rows from the last to the first). A number not found fails
// the whole command and deletes nothing.
void DrawsDel(TDrawsArchive& archive, const std::vector<int>& numbers, TUserInterface& ui);

// The delete question for `count` selected rows.
std::string DrawsDelQuestion(int count);

}  // namespace vexa

// Regular table stakes: standing rules that make one six-number stake per
// draw by shifting a combination across the field, every number by the same
// step, wrapping round within 1..45.
//
// File "Korvane_6x45.ltb": a flat run of 280-byte TTableRec records, kept in
// memory as one array in file order and rewritten whole (through a temporary
// file) after every change. The rules exist only while the "Регуляры" tab is
// shown: while it is hidden they are neither loaded nor saved.
//     0 256 B   Comment      short string: length byte + up to 255 cp1251 characters
//   256 u8      UseLastDraw  1: start each step from the newest visible draw
//   257 6×u8    StartComb    ascending
//   263 6×u8    CurComb      the combination of the last stake made
//   269 3 B     (zero)
//   272 int32   Step         -45..45
//   276 int32   StakeCount   stakes made from the rule
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/draws_archive.h"
#include "core/settings.h"
#include "core/user_interface.h"
#include "stakes/stake_record.h"

namespace vexa {

inline constexpr const char* TablesFileExt = ".ltb";
inline constexpr size_t TableRecordSize = 280;
inline constexpr size_t TableCommentMaxLen = 64;  // what the dialog lets through
inline constexpr const char* TableDefaultComment = "Регулярная ставка";
inline constexpr const char* SelectedCombsText = "{...Выделенные комбинации...}";

struct TTableRec {
  std::string Comment;  // UTF-8
  uint8_t UseLastDraw = 0;
  TComb StartComb{};
  TComb CurComb{};
  int32_t Step = 1;
  int32_t StakeCount = 0;

  bool operator==(const TTableRec&) const = default;
};
using TTablesArray = std::vector<TTableRec>;

void EncodeTable(const TTableRec& table, unsigned char* out);  // 280 bytes
TTableRec DecodeTable(const unsigned char* in);                // 280 bytes

// Only while `visible` and the file exists; replaces the array. Throws
// "Ошибка чтения файла регулярных ставок!\r\r%s" and then leaves the array.
void LoadTables(const std::filesystem::path& file, bool visible, TTablesArray& tables, TUserInterface& ui);
// Only while `visible`. Throws "Ошибка записи в файл регулярных ставок!\r\r%s";
// the old file then stays.
void SaveTables(const std::filesystem::path& file, bool visible, const TTablesArray& tables, TUserInterface& ui);

// Values as the dialog makes them: Step -45..45, StakeCount not negative,
// both combinations numbers 1..45 (CurComb of a rule that starts from the
// newest draw may also be zeros, the numbers of an empty archive). A rule
// that fails is damaged: it is reported at loading and never advanced.
bool TableRecordValid(const TTableRec& table);
inline constexpr const char* TablesDamagedFormat =
    "В файле регулярных ставок повреждённые записи (%d): по ним ставки не делаются.";

// Moves the rule one stake on: from the newest visible draw at `offset`
// (UseLastDraw) or from CurComb, every number shifted by Step, sorted.
// Throws "Регулярная ставка \"%s\" повреждена!" for a damaged rule.
void AdvanceTable(TTableRec& table, const TDrawsArchive& archive, int offset);
// Throws "Запись со индексом %d в файле данных не найдена!" for a bad index.
void DeleteTable(TTablesArray& tables, int index);

// The view's columns: comment, start, step, current combination, stakes.
inline constexpr int TableColumns = 5;
extern const std::array<const char*, TableColumns> TableColumnCaptions;
std::array<std::string, TableColumns> TableRow(const TTableRec& table);

// ---- Adding rules --------------------------------------------------------------
struct TTableInput {
  bool UseLastDraw = false;
  std::string Start;  // the start field; read only with a fixed start and one selected combination
  int32_t Step = 1;
  std::string Comment = TableDefaultComment;
};

struct TTableInputCheck {
  std::string Message;  // "" when accepted
  bool FocusStart = false;
};

// The dialog's OK: the start combination (fixed start, exactly one selected
// combination), a comment that is not empty, not longer than 64 characters
// and not the comment of an existing rule ignoring case, and a step -45..45.
TTableInputCheck CheckTableInput(const TTableInput& input, int selectedCount, const TTablesArray& tables);

// One rule (last draw, or one selected combination with the start field),
// or one rule per selected combination named "<comment> (<position>)" with
// its 1-based position in the list. REQUIRES: CheckTableInput accepted it.
// positions[i] is the list position of selected[i]. Returns the count added.
int AddTables(TTablesArray& tables, const TTableInput& input, const TCombsArray& selected,
              const std::vector<int>& positions);

// The stake of a regular rule (kind 2) for `drawNumber`: its CurComb, its
// comment as origin, overlap -1 and profit -cost.
TStakeRec TableStake(const TTableRec& table, int32_t drawNumber, int32_t combsCount, const TConfigData& config);

}  // namespace vexa

// One stake: the 312-byte record of the stakes file, its money and its
// text forms, and the checks of the two stake dialogs.
//
// Record TStakeRec (little-endian, 312 bytes):
//     0 u8      Version      always 2
//     1 u8      Kind         1 manual, 2 regular table, 3 script, 4 system; 0 separator
//     2 2 B     (zero)
//     4 int32   DrawNumber   the draw the stake is for; -1 in a separator
//     8 u8      Checked      1 once checked against its draw
//     9 3 B     (zero)
//    12 int32   CombsCount   size of the combinations list when made (informative)
//    16 12 B    Numbers      TNumList: int32 count, 8 number bytes, ascending
//    28 6×u8    DrawNums     the draw's main numbers in archive order, once checked
//    34 2 B     (zero)
//    36 12 B    Matched      TNumList of the staked numbers drawn; count -1 while unchecked
//    48 int64   Profit       1/10000 units: -cost while unchecked, prize - cost after
//    56 256 B   Origin       short string: length byte + up to 255 cp1251 characters
// Reserved bytes, number bytes past a list's count and origin bytes past its
// length are kept as read, so a record copied or rewritten stays byte-identical.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/game.h"
#include "core/settings.h"

namespace vexa {

inline constexpr size_t StakeRecordSize = 312;
inline constexpr uint8_t StakeVersion = 2;

enum TStakeKind : uint8_t { StakeSeparator = 0, StakeManual = 1, StakeTable = 2, StakeScript = 3, StakeSystem = 4 };

inline constexpr const char* ManualStakeOrigin = "Ставка \"вручную\"";
inline constexpr size_t StakeOriginMaxLen = 255;

struct TStakeRec {
  uint8_t Version = StakeVersion;
  uint8_t Kind = StakeSeparator;
  std::array<uint8_t, 2> Reserved1{};
  int32_t DrawNumber = -1;
  uint8_t Checked = 0;
  std::array<uint8_t, 3> Reserved2{};
  int32_t CombsCount = 0;
  TNumList Numbers;
  std::array<uint8_t, MainCount> DrawNums{};
  std::array<uint8_t, 2> Reserved3{};
  TNumList Matched{-1, {}};
  int64_t Profit = 0;
  std::array<uint8_t, 256> Origin{};  // short string, cp1251

  bool operator==(const TStakeRec&) const = default;
};

void EncodeStake(const TStakeRec& stake, unsigned char* out);  // 312 bytes
TStakeRec DecodeStake(const unsigned char* in);                // 312 bytes

// The default record is a separator.
inline TStakeRec MakeSeparator() { return TStakeRec{}; }
bool IsSeparator(const TStakeRec& stake);
// A stake holds at most this many numbers (the command line's limit).
inline constexpr int StakeMaxNumbers = 8;
// Not yet checked, for a real draw, with six to eight numbers.
bool IsCheckable(const TStakeRec& stake);
// Counts within what the program writes: 0..8 numbers, an overlap of -1
// (unchecked) or 0..6, and a checked record has one. A record
// that fails is damaged: it is reported and skipped, never computed.
bool StakeRecordValid(const TStakeRec& stake);
inline constexpr const char* StakesDamagedFormat =
    "В файле ставок повреждённые записи (%d) пропущены при проверке; первая: № %d.";
inline int Overlap(const TStakeRec& stake) { return stake.Matched.Count; }

// The origin in UTF-8; the stored text is cut to 255 cp1251 characters.
std::string StakeOrigin(const TStakeRec& stake);
void SetStakeOrigin(TStakeRec& stake, std::string_view text);

// ---- Money -----------------------------------------------------------------
// Price of a stake of `count` numbers: Cost × C(count, 6).
int64_t StakeCost(const TConfigData& config, int count);
// Prize of the first prize row paying for `overlap`, else 0.
int64_t StakePrize(const TConfigData& config, int overlap);
// Profit stored when a stake of `count` numbers is checked with `overlap`.
int64_t CheckedProfit(const TConfigData& config, int count, int overlap);
// "%.2f" of the amount as currency, with the locale's decimal separator.
std::string MoneyText(int64_t money);

// A fresh unchecked stake: overlap -1 and profit -cost of its numbers.
TStakeRec NewStake(uint8_t kind, int32_t drawNumber, int32_t combsCount, const TNumList& numbers,
                   std::string_view origin, const TConfigData& config);

// ---- The stakes grid ---------------------------------------------------------
inline constexpr int StakeGridColumns = 9;
extern const std::array<const char*, StakeGridColumns> StakeGridCaptions;
extern const std::array<int, StakeGridColumns> StakeGridWidths;
// The nine cells of a record's row; all empty for a separator.
std::array<std::string, StakeGridColumns> StakeGridCells(const TStakeRec& stake);
// BGR fill of an unselected row by kind; -1 means the window colour.
int32_t StakeRowColor(const TStakeRec& stake);

// ---- Dialog input ------------------------------------------------------------
inline constexpr const char* BadCombinationMessage = "Введена некорректная комбинация!";
inline constexpr const char* NoCommentMessage = "Необходимо ввести комментарий!";
inline constexpr int32_t MaxStakeDraws = 65535;

// Words separated by "," or ";" (each separator starts a new word), each a
// whole number 1..45, all different, between minCount and maxCount (≤ 8) of
// them. Returns "" and the numbers ascending, or BadCombinationMessage.
std::string ParseStakeNumbers(std::string_view text, int minCount, int maxCount, TNumList& numbers);
// The read-only sum field: unreadable words count 0.
int64_t StakeNumbersSum(std::string_view text);

enum class TStakeField { None, DrawNumber, Numbers, Comment, DrawsCount };

struct TManualStakeInput {
  int64_t DrawNumber = 0;  // 1 .. 2147483647
  std::string Numbers;
  std::string Comment;
  int64_t DrawsCount = 1;  // 1 .. 65535
};

struct TStakeInputCheck {
  std::string Message;  // "" when accepted
  TStakeField Focus = TStakeField::None;
};

// The manual stake dialog's OK: six numbers, a comment, and draw numbers
// that stay within int32 for every draw of a multi-draw stake. On success
// `stake` is the prefilled record with the dialog's draw number, comment
// (cut to 255 characters) and sorted numbers, and the profit -cost of its
// numbers. maxNumbers above 6 lets the command line stake up to 8 numbers;
// the dialog passes 6.
TStakeInputCheck MakeManualStake(const TStakeRec& prefilled, const TManualStakeInput& input, const TConfigData& config,
                                 TStakeRec& stake, int maxNumbers = MainCount);

struct TMultiStakeInput {
  int64_t DrawNumber = 0;
  int64_t DrawsCount = 1;
  std::string Comment = ManualStakeOrigin;
};
TStakeInputCheck CheckMultiStake(const TMultiStakeInput& input);

}  // namespace vexa

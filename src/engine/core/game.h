// The game: numbers 1..45, combinations of 6, draws of 6 main and 2
// supplementary numbers, with their arithmetic, sets, sorts and text forms.
//
// Everything here is plain functions over plain records. The only state is
// the pair of date hooks (see dates.h).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

// Every data file is named after the program: this name plus an extension.
inline constexpr const char* ProgramBaseName = "Korvane_6x45";

constexpr int MaxNumber = 45;
constexpr int MainCount = 6;
constexpr int SuppCount = 2;
constexpr int AllCombsCount = 8145060;

using TByteArray = std::vector<uint8_t>;
using TIntArray = std::vector<int32_t>;

// Six numbers; ascending and distinct when the program made them.
using TComb = std::array<uint8_t, MainCount>;
using TCombsArray = std::vector<TComb>;

// One draw; also the 24-byte record of the draws archive file.
//   0 int32  Number   as published
//   4 6×u8   Nums     main numbers in the source's order
//  10 2×u8   Supp     supplementary numbers
//  12 12 B   Date     short string: length byte (0..11) + up to 11 cp1251 chars;
//                     bytes past the length are kept as read
struct TDraw {
  int32_t Number = 0;
  std::array<uint8_t, MainCount> Nums{};
  std::array<uint8_t, SuppCount> Supp{};
  std::array<uint8_t, 12> Date{};

  bool operator==(const TDraw&) const = default;
};
static_assert(sizeof(TDraw) == 24, "TDraw is the 24-byte archive record");

using TDrawsArray = std::vector<TDraw>;

constexpr size_t DrawRecordSize = 24;
constexpr int DrawDateMaxLen = 11;

void EncodeDraw(const TDraw& draw, unsigned char* out);  // 24 bytes
TDraw DecodeDraw(const unsigned char* in);               // 24 bytes

// The stored date text in UTF-8 (the length byte is clamped to 11).
std::string DrawDateText(const TDraw& draw);
// Stores the text cut to 11 cp1251 characters; the bytes past it become 0.
void SetDrawDateText(TDraw& draw, std::string_view text);

// Count (0..8) and numbers; 12 bytes.
struct TNumList {
  int32_t Count = 0;
  std::array<uint8_t, 8> Nums{};

  bool operator==(const TNumList&) const = default;
};
static_assert(sizeof(TNumList) == 12, "TNumList is 12 bytes");

// ---- Counting ----------------------------------------------------------

long double Factorial(int n);                 // n in 0..255
int64_t Binomial(int n, int k);               // 1 when k >= n
int64_t CountWithMatches(int k);              // C(6,k)*C(39,6-k); 0 outside 0..6
int GroupOf(int n, int size);                 // ceil(n / size)
int GroupCount(int lo, int hi, int size);
int MatrixCol(int n, int cols);
int MatrixRow(int n, int cols);
int MatrixNumber(int lo, int row0, int cols, int col0);
int ShiftNumber(int n, int d);
TComb ShiftComb(const TComb& comb, int d);

// ---- Membership and sets ------------------------------------------------

bool NumInDraw(int n, const TDraw& draw);
bool NumInComb(int n, const TComb& comb);
bool NumInList(int n, const TByteArray& bytes);
bool GroupInDraw(int g, const TDraw& draw, int size);
bool MapInDraw(int v, const TDraw& draw, const std::array<uint8_t, MaxNumber>& map);
void AddUniqueNum(int n, TByteArray& bytes);
void AddNum(int n, TByteArray& bytes);
TComb DrawToComb(const TDraw& draw);
TNumList CombToNumList(const TComb& comb);
int CountDistinctNums(const TCombsArray& combs, int m);
TByteArray DistinctNums(const TCombsArray& combs, int m);
int CommonCount(const TDraw& draw, const TComb& comb);
int CommonCount(const TDraw& a, const TDraw& b);
TNumList IntersectList(const TDraw& draw, const TNumList& list);
bool SameNumList(const TNumList& a, const TNumList& b);

// ---- Sorting (stable) ---------------------------------------------------

void SortComb(TComb& comb);
void SortDrawNums(TDraw& draw);
void SortNumList(TNumList& list);
void SortIntArrayDesc(TIntArray& ints);

// ---- Text ---------------------------------------------------------------

std::string CombToText(const TComb& comb);       // "01 05 12 23 34 45"
std::string CombToListText(const TComb& comb);   // "1;5;12;23;34;45"
std::string NumListToText(const TNumList& list, std::string_view separator);
std::string IntsToText(const TIntArray& ints, std::string_view separator);
// Throws EVexaError "Некорректная комбинация: "%s"!" unless there are 6 words.
TComb TextToComb(std::string_view text);
std::string DrawToText(const TDraw& draw);
std::string DiffText(std::string_view text, int base);
std::string StakeKindName(int kind);
// Never throws; an empty list means the text is not a list or a range.
TIntArray ParseValueList(std::string_view text);

// Decimal integer as the program reads user text: surrounding blanks allowed,
// optional sign, nothing else. False on anything else or on overflow.
bool TryStrToInt(std::string_view text, int32_t& value);
int32_t StrToIntDef(std::string_view text, int32_t def);
// Number in a byte: the decimal value when it is 0..255, else 0.
uint8_t StrToNumber(std::string_view text);
// Removes characters <= ' ' at both ends.
std::string_view Trim(std::string_view text);

// ---- Scores -------------------------------------------------------------

uint32_t NumColor(int n, int size);  // BGR colour of a number coloured by groups

struct TCdl {
  long double Count = 0;
  long double Deviation = -1;
  long double Level = 1;
  bool UsePercents = false;
  bool UseAbsValues = false;
};

double CdlScore(const TCdl& cdl, bool withDeviation, int hits, int64_t total, int expected, int level,
                int draws);

}  // namespace vexa

// Ratings: one summary per stake origin of all its checked stakes.
//
// File "Korvane_6x45.lrt": a flat run of 304-byte records, no header; it is
// always a copy of the array in display order and is rewritten whole
// (through a temporary file) after every sort.
//     0 256 B   Name         short string: length byte + up to 255 cp1251 characters
//   256 int32   Checks       checked stakes merged
//   260 int32   MatchSum     sum of their overlaps
//   264 7×int32 OverlapHits  entry k = stakes with overlap k
//   292 4 B     (zero)
//   296 int64   Money        sum of their profits, 1/10000 units
// A trailing partial record is ignored.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/list_compare.h"
#include "core/user_interface.h"
#include "stakes/stake_record.h"

namespace vexa {

inline constexpr const char* RatingsFileExt = ".lrt";
inline constexpr size_t RatingRecordSize = 304;

struct TRating {
  std::string Name;  // UTF-8
  int32_t Checks = 0;
  int32_t MatchSum = 0;
  std::array<int32_t, MainCount + 1> OverlapHits{};
  int64_t Money = 0;

  bool operator==(const TRating&) const = default;
};
using TRatingsArray = std::vector<TRating>;

void EncodeRating(const TRating& rating, unsigned char* out);  // 304 bytes
TRating DecodeRating(const unsigned char* in);                 // 304 bytes
std::string EncodeRatings(const TRatingsArray& ratings);
TRatingsArray DecodeRatings(std::string_view bytes);

// The array with a side index by name, so that merging the stakes of a long
// test stays fast. The index finds exactly what the linear search in array
// order would: the first rating whose name equals the origin ignoring case.
class TRatings {
 public:
  const TRatingsArray& Items() const { return Items_; }
  int Count() const { return static_cast<int>(Items_.size()); }
  bool Empty() const { return Items_.empty(); }
  const TRating& operator[](size_t i) const { return Items_[i]; }

  void Clear();
  void Assign(TRatingsArray items);

  // Adds a checked stake to the rating of its origin, or appends a rating
  // for it; a stake with a negative overlap is ignored.
  void MergeRating(const TStakeRec& stake);

  // Quicksort (not stable) by the view's comparison; negated for descending.
  // Columns past "6" (the "E" columns) compare equal and leave the order.
  void SortRatings(int column, bool descending);

 private:
  TRatingsArray Items_;
  std::unordered_map<std::string, size_t> Index_;  // folded name -> first index
  bool Indexed_ = false;
};

// Counts within what the program writes: Checks 0..RatingMaxChecks, every
// overlap count 0..Checks, MatchSum 0..6 × Checks. (Older files may hold
// overlaps above 6 in the sums only, so the counts need not add up.) A
// rating that fails is damaged: its row shows RatingBadData and nothing is
// computed from it.
inline constexpr int32_t RatingMaxChecks = 10000000;
bool RatingValid(const TRating& rating);
inline constexpr const char* RatingsDamagedFormat =
    "В файле рейтинга повреждённые записи (%d): они показаны как \"# bad data #\".";

// <0 when a goes before b in ascending order by `column` of the view.
int CompareRatings(const TRating& a, const TRating& b, int column);

inline constexpr const char* RatingsReadErrorFormat = "Ошибка чтения файла рейтинга!\r\r%s";
inline constexpr const char* RatingsWriteErrorFormat = "Ошибка записи в файл рейтинга!\r\r%s";

// A missing file leaves the ratings as they are. Throws RatingsReadErrorFormat.
void LoadRatings(const std::filesystem::path& file, TRatings& ratings, TUserInterface& ui);
// Throws RatingsWriteErrorFormat; the old file then stays as it was.
void SaveRatings(const std::filesystem::path& file, const TRatings& ratings, TUserInterface& ui);

// ---- The view --------------------------------------------------------------------
inline constexpr int RatingColumns = 20;
inline constexpr int RatingModes = 3;
inline constexpr int RatingDefaultSortColumn = 3;  // "Среднее", descending
inline constexpr const char* RatingBadData = "# bad data #";
extern const std::array<const char*, RatingColumns> RatingColumnCaptions;
extern const std::array<const char*, RatingModes> RatingModeCaptions;
// The extra column: how likely chance alone gives this many matches.
inline constexpr const char* RatingPValueCaption = "p";

// The 20 texts of a rating's row; the "E" columns by mode 0, 1 or 2. A row
// that cannot be formatted is just RatingBadData.
TListRow RatingRow(const TRating& rating, int mode);
// OverlapPValue of the rating as text ("" without checks).
std::string RatingPValueText(const TRating& rating);

// ---- CSV export ---------------------------------------------------------------------
// Header of the 20 captions, then 13 values a rating; cp1251, CR LF.
std::string RatingsCsv(const TRatingsArray& ratings);
// Throws "Ошибка записи в файл \"%s\"!\r\r%s"; the old file then stays.
void RatingsExport(const std::filesystem::path& file, const TRatingsArray& ratings, TUserInterface& ui);

// ---- Back to a script line ------------------------------------------------------------
// The script line for a row captioned `name` ("comment @ options + filter + ..."),
// or false when it holds no filter.
bool RatingToScriptLine(std::string_view name, std::string& line);
// The message for a row that cannot become a script line.
std::string RatingToScriptError(std::string_view name);

// ---- The overlap graph ----------------------------------------------------------------
struct TGraphPoint {
  double X = 0;
  double Y = 0;
};

struct TGraphSeries {
  std::string Title;
  int32_t Color = -1;  // BGR; -1: the chart's automatic colour
  bool Markers = true;
  bool Labels = false;
  std::vector<TGraphPoint> Points;
};

inline constexpr const char* NormalSeriesTitle = "Нормальные значения";

// "Нормальные значения" for the largest "Ставок" of the rows, then one series per row.
std::vector<TGraphSeries> RatingsGraphOverlap(const TRatingsArray& ratings, const std::vector<int>& rows);

}  // namespace vexa

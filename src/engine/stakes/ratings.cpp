#include "stakes/ratings.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "core/codec.h"
#include "core/error.h"
#include "core/file_io.h"
#include "core/format.h"
#include "core/game.h"
#include "stakes/overlap_odds.h"
#include "stakes/ratings_journal.h"
#include "stakes/record_bytes.h"

namespace vexa {
namespace {

constexpr size_t RatingNameMaxLen = 255;

// The name as CompareTextNoCase sees it: Latin and Cyrillic letters lower
// case, "Ё" as "ё", every other code point as it is.
std::string FoldName(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
      out += static_cast<char>(b0 >= 'A' && b0 <= 'Z' ? b0 + 32 : b0);
      ++i;
      continue;
    }
    // Two-byte forms cover all of Cyrillic; the rest passes through byte by byte.
    if ((b0 & 0xE0) == 0xC0 && i + 1 < s.size()) {
      char32_t cp = (static_cast<char32_t>(b0 & 0x1F) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3F);
      if (cp >= 0x0410 && cp <= 0x042F) cp += 32;
      if (cp == 0x0401) cp = 0x0451;
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
      i += 2;
      continue;
    }
    out += static_cast<char>(b0);
    ++i;
  }
  return out;
}

int Sign(long double v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

// Case-insensitive order first; equal letters put lower case first, as the
// locale's collation does.
int CompareNames(const std::string& a, const std::string& b) {
  const int r = CompareTextNoCase(a, b);
  if (r != 0) return r;
  return -Sign(static_cast<long double>(a.compare(b)));
}

long double Average(int64_t sum, int32_t count) { return static_cast<long double>(sum) / count; }

}  // namespace

// ---- Records -----------------------------------------------------------------

void EncodeRating(const TRating& r, unsigned char* out) {
  std::memset(out, 0, RatingRecordSize);
  PutShortString(out, RatingNameMaxLen, r.Name);
  PutInt32(out + 256, r.Checks);
  PutInt32(out + 260, r.MatchSum);
  for (size_t k = 0; k < r.OverlapHits.size(); ++k) PutInt32(out + 264 + 4 * k, r.OverlapHits[k]);
  PutInt64(out + 296, r.Money);
}

TRating DecodeRating(const unsigned char* in) {
  TRating r;
  r.Name = GetShortString(in, RatingNameMaxLen);
  r.Checks = GetInt32(in + 256);
  r.MatchSum = GetInt32(in + 260);
  for (size_t k = 0; k < r.OverlapHits.size(); ++k) r.OverlapHits[k] = GetInt32(in + 264 + 4 * k);
  r.Money = GetInt64(in + 296);
  return r;
}

std::string EncodeRatings(const TRatingsArray& ratings) {
  std::string bytes(ratings.size() * RatingRecordSize, '\0');
  for (size_t i = 0; i < ratings.size(); ++i)
    EncodeRating(ratings[i], reinterpret_cast<unsigned char*>(bytes.data()) + i * RatingRecordSize);
  return bytes;
}

TRatingsArray DecodeRatings(std::string_view bytes) {
  TRatingsArray ratings;
  const size_t count = bytes.size() / RatingRecordSize;
  ratings.reserve(count);
  for (size_t i = 0; i < count; ++i)
    ratings.push_back(DecodeRating(reinterpret_cast<const unsigned char*>(bytes.data()) + i * RatingRecordSize));
  return ratings;
}

// ---- The array -------------------------------------------------------------------

void TRatings::Clear() {
  Items_.clear();
  Index_.clear();
  Indexed_ = false;
}

void TRatings::Assign(TRatingsArray items) {
  Items_ = std::move(items);
  Index_.clear();
  Indexed_ = false;
}

void TRatings::MergeRating(const TStakeRec& stake) {
  const int overlap = Overlap(stake);
  if (overlap < 0 || !StakeRecordValid(stake)) return;
  if (!Indexed_) {
    Index_.clear();
    for (size_t i = 0; i < Items_.size(); ++i) Index_.emplace(FoldName(Items_[i].Name), i);
    Indexed_ = true;
  }
  const std::string origin = StakeOrigin(stake);
  const auto [it, added] = Index_.emplace(FoldName(origin), Items_.size());
  if (added) {
    TRating r;
    r.Name = origin;
    Items_.push_back(std::move(r));
  }
  TRating& r = Items_[it->second];
  // Counters stop at their limits; nothing wraps round.
  auto add = [](int32_t& v, int32_t d) { v = static_cast<int32_t>(std::min<int64_t>(int64_t{v} + d, INT32_MAX)); };
  add(r.Checks, 1);
  add(r.MatchSum, overlap);
  r.Money = MoneyAdd(r.Money, stake.Profit);
  add(r.OverlapHits[static_cast<size_t>(overlap)], 1);
}

bool RatingValid(const TRating& r) {
  if (r.Checks < 0 || r.Checks > RatingMaxChecks) return false;
  if (r.MatchSum < 0 || r.MatchSum > int64_t{MainCount} * r.Checks) return false;
  for (int32_t hits : r.OverlapHits)
    if (hits < 0 || hits > r.Checks) return false;
  return true;
}

int CompareRatings(const TRating& a, const TRating& b, int column) {
  if (a.Checks == 0 || b.Checks == 0) return 0;
  // Differences are compared by sign, so no overflow can turn an order round.
  switch (column) {
    case 0:
      return CompareNames(a.Name, b.Name);
    case 1:
      return Sign(static_cast<long double>(a.Checks) - b.Checks);
    case 2:
      return Sign(static_cast<long double>(a.MatchSum) - b.MatchSum);
    case 3:
      return Sign(std::round((Average(a.MatchSum, a.Checks) - Average(b.MatchSum, b.Checks)) * 100));
    case 4:
      return Sign(std::round((static_cast<long double>(a.Money) - b.Money) * 100 / 10000));
    case 5:
      return Sign(std::round((Average(a.Money, a.Checks) - Average(b.Money, b.Checks)) * 100 / 10000));
    default:
      if (column >= 6 && column <= 12) {
        const auto k = static_cast<size_t>(column - 6);
        return Sign(static_cast<long double>(a.OverlapHits[k]) - b.OverlapHits[k]);
      }
      return 0;
  }
}

void TRatings::SortRatings(int column, bool descending) {
  if (column < 0 || column > 12 || Items_.size() < 2) return;
  Indexed_ = false;
  auto cmp = [&](const TRating& x, const TRating& y) {
    const int r = CompareRatings(x, y, column);
    return descending ? -r : r;
  };
  // Hoare's partition around a copy of the middle element. It stays within
  // bounds even though rows without checks equal everything (no strict weak
  // order, which std::sort would need): each scan stops at the pivot's copy
  // or at an element a previous swap placed.
  auto sort = [&](auto& self, int lo, int hi) -> void {
    while (lo < hi) {
      int i = lo;
      int j = hi;
      const TRating pivot = Items_[static_cast<size_t>(lo + (hi - lo) / 2)];
      do {
        while (i < hi && cmp(Items_[static_cast<size_t>(i)], pivot) < 0) ++i;
        while (j > lo && cmp(Items_[static_cast<size_t>(j)], pivot) > 0) --j;
        if (i <= j) {
          std::swap(Items_[static_cast<size_t>(i)], Items_[static_cast<size_t>(j)]);
          ++i;
          --j;
        }
      } while (i <= j);
      // Recurse into the smaller part so the stack stays shallow.
      if (j - lo < hi - i) {
        if (lo < j) self(self, lo, j);
        lo = i;
      } else {
        if (i < hi) self(self, i, hi);
        hi = j;
      }
    }
  };
  sort(sort, 0, static_cast<int>(Items_.size()) - 1);
}

// ---- Files -----------------------------------------------------------------------

void LoadRatings(const std::filesystem::path& file, TRatings& ratings, TUserInterface& ui) {
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) return;
  ui.SetStatus("Загрузка файла рейтинга...");
  try {
    ratings.Assign(DecodeRatings(ReadWholeFile(file)));
  } catch (const EVexaError& e) {
    throw EVexaError(Format(RatingsReadErrorFormat, {e.what()}));
  }
  int bad = 0;
  for (const TRating& r : ratings.Items()) bad += RatingValid(r) ? 0 : 1;
  if (bad > 0) ui.Message(TMessageKind::Warning, Format(RatingsDamagedFormat, {bad}));
}

void SaveRatings(const std::filesystem::path& file, const TRatings& ratings, TUserInterface& ui) {
  ui.SetStatus("Сохранение файла рейтинга...");
  try {
    WriteFileAtomic(file, EncodeRatings(ratings.Items()));
    // The file now holds every merged stake, journaled or not.
    RemoveRatingsJournal(file);
  } catch (const EVexaError& e) {
    throw EVexaError(Format(RatingsWriteErrorFormat, {e.what()}));
  }
}

// ---- View ------------------------------------------------------------------------

const std::array<const char*, RatingColumns> RatingColumnCaptions = {
    "Комментарий", "Ставок", "Угадано", "Среднее", "Профит", "Ср. профит", "0",  "1",  "2",  "3",
    "4",           "5",      "6",       "E0",      "E1",     "E2",         "E3", "E4", "E5", "E6"};

const std::array<const char*, RatingModes> RatingModeCaptions = {
    "Ожидаемые значения совпадений", "Абсолютные значения эффективности", "Относительные значения эффективности"};

TListRow RatingRow(const TRating& r, int mode) {
  if (!RatingValid(r)) return TListRow{RatingBadData};
  try {
    TListRow row(RatingColumns);
    row[0] = r.Name;
    row[1] = std::to_string(r.Checks);
    row[2] = std::to_string(r.MatchSum);
    if (r.Checks != 0) {
      row[3] = Format("%.3f", {Average(r.MatchSum, r.Checks)});
      row[5] = MoneyText(std::llround(Average(r.Money, r.Checks)));
    }
    row[4] = MoneyText(r.Money);
    for (size_t k = 0; k <= MainCount; ++k) row[6 + k] = std::to_string(r.OverlapHits[k]);
    if (r.Checks != 0) {
      const TMatchProbabilities& p = MatchProbabilities();
      for (size_t k = 0; k <= MainCount; ++k) {
        const long double hits = r.OverlapHits[k];
        std::string& cell = row[13 + k];
        switch (mode) {
          case 0:
            cell = Format("%.d", {static_cast<int64_t>(std::llround(r.Checks * p[k]))});
            break;
          case 1: {
            // Chance itself shows as 0.000%, never as -0.000%.
            long double points = hits * 100 / r.Checks - p[k] * 100;
            if (std::fabs(points) < 0.0005L) points = 0;
            cell = Format("%.3f%%", {points});
            break;
          }
          case 2:
            cell = Format("%.3f%%", {hits * 100 / (r.Checks * p[k])});
            break;
          default:
            break;
        }
      }
    }
    return row;
  } catch (const std::exception&) {
    return TListRow{RatingBadData};
  }
}

std::string RatingPValueText(const TRating& rating) {
  if (!RatingValid(rating)) return "";
  return PValueText(OverlapPValue(rating.Checks, rating.MatchSum));
}

// ---- CSV -------------------------------------------------------------------------

namespace {

std::string Quoted(std::string_view text) {
  std::string q = "\"";
  for (char c : text) {
    if (c == '"') q += '"';
    q += c;
  }
  return q + "\"";
}

}  // namespace

std::string RatingsCsv(const TRatingsArray& ratings) {
  std::string text;
  for (size_t c = 0; c < RatingColumnCaptions.size(); ++c) {
    if (c > 0) text += ';';
    text += Quoted(RatingColumnCaptions[c]);
  }
  text += "\r\n";
  for (const TRating& r : ratings) {
    std::vector<std::string> f;
    f.push_back(Quoted(r.Name));
    f.push_back(std::to_string(r.Checks));
    f.push_back(std::to_string(r.MatchSum));
    f.push_back(r.Checks != 0 ? Format("%.3f", {Average(r.MatchSum, r.Checks)}) : "");
    f.push_back(MoneyText(r.Money));
    f.push_back(r.Checks != 0 ? MoneyText(std::llround(Average(r.Money, r.Checks))) : "");
    for (int32_t hits : r.OverlapHits) f.push_back(std::to_string(hits));
    for (size_t i = 0; i < f.size(); ++i) {
      if (i > 0) text += ';';
      text += f[i];
    }
    text += "\r\n";
  }
  return Utf8ToCp1251(text);
}

void RatingsExport(const std::filesystem::path& file, const TRatingsArray& ratings, TUserInterface& ui) {
  ui.SetStatus("Экспорт в CSV-файл...");
  try {
    WriteFileAtomic(file, RatingsCsv(ratings));
  } catch (const EVexaError& e) {
    throw EVexaError(Format("Ошибка записи в файл \"%s\"!\r\r%s", {file.string(), e.what()}));
  }
}

// ---- Script line -------------------------------------------------------------------

namespace {

// Words between runs of "|".
int FieldWords(std::string_view text) {
  int words = 0;
  bool inWord = false;
  for (char c : text) {
    if (c == '|') {
      inWord = false;
    } else if (!inWord) {
      inWord = true;
      ++words;
    }
  }
  return words;
}

}  // namespace

bool RatingToScriptLine(std::string_view name, std::string& line) {
  std::string text(name);
  std::string comment;
  const size_t at = text.find('@');
  if (at != std::string::npos) {
    comment = std::string(Trim(std::string_view(text).substr(0, at)));
    text = std::string(Trim(std::string_view(text).substr(at + 1)));
  }
  for (size_t pos = 0; (pos = text.find(" + ", pos)) != std::string::npos;) {
    text.replace(pos, 3, "|");
    pos += 1;
  }
  while (FieldWords(text) <= 7) text += "| ";
  text += "|" + comment;

  // Fields: 0 options, 1..7 filters, 8 comment.
  std::vector<std::string_view> fields;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == '|') {
      fields.push_back(std::string_view(text).substr(start, i - start));
      start = i + 1;
    }
  }
  bool anyFilter = false;
  for (size_t f = 1; f <= 7 && f < fields.size(); ++f)
    if (!Trim(fields[f]).empty()) anyFilter = true;
  if (!anyFilter) return false;
  line = text;
  return true;
}

std::string RatingToScriptError(std::string_view name) {
  return Format("Строку\r\r%s\r\rневозможно добавить в сценарий!", {name});
}

// ---- Graph ---------------------------------------------------------------------------

std::vector<TGraphSeries> RatingsGraphOverlap(const TRatingsArray& ratings, const std::vector<int>& rows) {
  std::vector<TGraphSeries> series;
  int32_t most = 0;
  for (int row : rows)
    if (row >= 0 && static_cast<size_t>(row) < ratings.size())
      most = std::max(most, ratings[static_cast<size_t>(row)].Checks);
  TGraphSeries normal;
  normal.Title = NormalSeriesTitle;
  normal.Color = 0x808080;
  for (int k = 0; k <= MainCount; ++k)
    normal.Points.push_back({static_cast<double>(k), static_cast<double>(static_cast<long double>(CountWithMatches(k)) *
                                                                         most / AllCombsCount)});
  series.push_back(std::move(normal));
  for (int row : rows) {
    if (row < 0 || static_cast<size_t>(row) >= ratings.size()) continue;
    const TRating& r = ratings[static_cast<size_t>(row)];
    TGraphSeries s;
    s.Title = r.Name;
    for (int k = 0; k <= MainCount; ++k)
      s.Points.push_back({static_cast<double>(k), static_cast<double>(r.OverlapHits[static_cast<size_t>(k)])});
    series.push_back(std::move(s));
  }
  return series;
}

}  // namespace vexa

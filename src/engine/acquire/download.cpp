#include "acquire/download.h"

#include <ctime>

#include "acquire/page_extract.h"
#include "core/dates.h"
#include "core/error.h"
#include "core/format.h"
#include "core/game.h"

namespace vexa {
namespace {

constexpr const char* MonthNames[] = {"january", "february", "march",     "april",   "may",      "june",
                                      "july",    "august",   "september", "october", "november", "december"};

// The next "number": value of a numbers block, consuming it. A block with
// too few numbers is a broken page, not a draw with a zero in it.
uint8_t NextNumber(std::string& block) {
  constexpr std::string_view start = "\"number\":";
  if (FindNoCase(block, start) == std::string::npos) throw EVexaError(PairNotFoundMessage(block, start, ","));
  return StrToNumber(ExtractBetweenCut(block, start, ",", TExtractMode::Strict));
}

// Restores the archive to its first `count` draws.
void TruncateDraws(TDrawsArchive& archive, int count) {
  if (archive.Count() <= count) return;
  TDrawsArray draws = archive.Draws();
  draws.resize(static_cast<size_t>(count));
  archive.SetDraws(std::move(draws));
}

}  // namespace

std::string MonthPageName(int cursor) {
  const int month = cursor % 100;
  if (month < 1 || month > 12) throw EVexaError(Format("Некорректный месяц: %d!", {cursor}));
  return Format("%s-%.4d", {MonthNames[month - 1], cursor / 100});
}

int NextMonthCursor(int cursor) { return cursor % 100 == 12 ? cursor / 100 * 100 + 101 : cursor + 1; }

std::string MonthPageUrl(std::string_view baseUrl, int cursor) {
  while (!baseUrl.empty() && baseUrl.back() == '/') baseUrl.remove_suffix(1);
  return std::string(baseUrl) + Format(ResultsPathFormat, {MonthPageName(cursor)});
}

TDrawsArray ReadMonthPage(std::string_view page, int minYmd) {
  TDrawsArray list;
  std::string block = ExtractBetween(page, "\"drawsPast\"", "}},", TExtractMode::Strict);
  int previous = 0;
  for (;;) {
    const std::string s = ExtractSection(block, "\"drawNo\"");
    if (s.empty()) break;
    const int number = StrToIntDef(ExtractBetween(s, ":", ",", TExtractMode::Strict), 0);
    const std::string dateText = ExtractBetween(s, "\"drawDate\":\"", "T", TExtractMode::Strict);
    std::string digits;
    for (const char c : dateText)
      if (c != '-') digits += c;
    int32_t ymd = 0;
    if (!TryStrToInt(digits, ymd))
      throw EConvertError(Format("Некорректная дата тиража № %d: \"%s\"!", {number, dateText}));

    if (number != previous && ymd >= minYmd) {
      TDraw draw;
      draw.Number = number;
      SetDrawDateText(draw, DateToDrawText(YmdToDate(ymd)));
      const std::string sets =
          ExtractBetween(s, "\"numberSets\":[", ",\"divisions\":", TExtractMode::ToEnd) + ",\"divisions\":";
      std::string main = ExtractBetween(sets, "\"name\":\"Main numbers\"", "\"name\":\"Supplementary\"", TExtractMode::Strict);
      for (uint8_t& n : draw.Nums) n = NextNumber(main);
      std::string supp = ExtractBetween(sets, "\"name\":\"Supplementary\"", "\"divisions\"", TExtractMode::Strict);
      for (uint8_t& n : draw.Supp) n = NextNumber(supp);
      list.push_back(draw);
    }
    previous = number;
  }
  return list;
}

int TodayYmd() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return (local.tm_year + 1900) * 10000 + (local.tm_mon + 1) * 100 + local.tm_mday;
}

int TDrawsDownloader::DownloadMonth(int cursor, int minYmd) {
  const std::string name = MonthPageName(cursor);
  Ui_.SetStatus(Format("Загрузка тиражей за %s...", {name}));
  const TDrawsArray list = ReadMonthPage(Connection_.MainGet(MonthPageUrl(Options_.BaseUrl, cursor)), minYmd);
  Ui_.SetStatus("Сохранение файла тиражей...");
  int count = 0;
  // Pages list the newest draw first; the archive keeps the oldest first.
  for (auto it = list.rbegin(); it != list.rend(); ++it) {
    Archive_.Append(*it);
    ++count;
  }
  return 1 + count;
}

int TDrawsDownloader::DownloadDraws() {
  struct TDiscard {
    TMainConnection& Connection;
    ~TDiscard() { Connection.DiscardCandidates(); }
  } discard{Connection_};

  Result_ = {};
  const int startCount = Archive_.Count();
  int result = 0;
  int cursor = Archive_.DrawYmdPlusDays(0, 1) / 100;
  Connection_.Attempt = 1;
  do {
    // The months read so far stay saved.
    if (Ui_.StopRequested()) {
      Result_.Added = Archive_.Count() - startCount;
      Result_.Stopped = true;
      return result;
    }
    const int before = Archive_.Count();
    try {
      const int minYmd = Archive_.DrawYmdPlusDays(0, 1);
      const int n = DownloadMonth(cursor, minYmd);
      Connection_.SaveProxyIfChanged();
      if (n > 0) {
        result += n;
        // A month without new draws would rewrite the same bytes (and wait for the disk).
        if (Archive_.Count() != before) Archive_.SaveDraws(Ui_);
      }
    } catch (const std::exception& e) {
      // Memory keeps what the file holds: a month whose save failed is read again.
      TruncateDraws(Archive_, before);
      ++Connection_.Attempt;
      if (Connection_.DropCurrentProxy()) continue;
      if (Ui_.Ask(Format(DownloadErrorQuestion, {std::string(e.what())}), "Ошибка", false)) continue;
      Result_.Added = Archive_.Count() - startCount;
      return result;
    }
    ++Result_.Pages;
    if (Options_.OnMonth) Options_.OnMonth(cursor, Archive_.Count() - before);
    cursor = NextMonthCursor(cursor);
  } while (CurrentMonth() >= cursor);
  Result_.Added = Archive_.Count() - startCount;
  Result_.Completed = true;
  return result;
}

}  // namespace vexa

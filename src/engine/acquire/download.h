// New draws from the lottery operator's results pages, one page a month.
//
// Month page: <base>/korvane/results/<month>-<year>, e.g. ".../march-2025".
// The page embeds the draws as JSON-like text; only these markers count:
//   "drawsPast" ... }},                  the block of past draws
//   "drawNo":<number>,                   one section per draw, newest first
//   "drawDate":"yyyy-mm-ddT...           its date
//   "numberSets":[ ... ,"divisions":     its numbers:
//     "name":"Main numbers" ... six "number":<n>,
//     "name":"Supplementary" ... two "number":<n>,
//
// The loop runs from the month of the day after the newest draw (January
// 2002 for an empty archive) up to the current month, saves the archive
// after every page that added draws, and asks whether to repeat a month
// whose page failed.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/draws_archive.h"
#include "core/user_interface.h"
#include "online/proxy.h"

namespace vexa {

inline constexpr const char* ResultsPathFormat = "/korvane/results/%s";
inline constexpr const char* DownloadErrorQuestion =
    "Ошибка загрузки архива тиражей с сайта: \"%s\"\r\rПовторить попытку?";

// "march-2025" for the cursor 202503 (year*100 + month).
std::string MonthPageName(int cursor);
// The month after; December goes to January of the next year.
int NextMonthCursor(int cursor);
// The base address (a trailing "/" dropped) and the page path.
std::string MonthPageUrl(std::string_view baseUrl, int cursor);

// The draws of one page in page order: a draw is taken when its date is on
// or after minYmd (yyyymmdd) and its number differs from the section before.
// No "drawsPast" block: no draws. A missing closing marker, date, numbers
// block or number throws the pair-not-found message; an unreadable date
// throws too.
TDrawsArray ReadMonthPage(std::string_view page, int minYmd);

// Today's local date as yyyymmdd.
int TodayYmd();

struct TDownloadOptions {
  std::string BaseUrl;          // the results site
  std::function<int()> Today;   // yyyymmdd; unset: the local date
  // After each month page is saved: its cursor and the draws it added.
  std::function<void(int cursor, int added)> OnMonth;
};

struct TDownloadResult {
  int Pages = 0;           // month pages read and saved
  int Added = 0;           // draws added to the archive
  bool Completed = false;  // false when the user chose not to retry a failing month
  bool Stopped = false;    // the user stopped it before a month; the months before stay saved
};

class TDrawsDownloader {
 public:
  TDrawsDownloader(TDrawsArchive& archive, TMainConnection& connection, TUserInterface& ui, TDownloadOptions options)
      : Archive_(archive), Connection_(connection), Ui_(ui), Options_(std::move(options)) {}
  virtual ~TDrawsDownloader() = default;
  TDrawsDownloader(const TDrawsDownloader&) = delete;
  TDrawsDownloader& operator=(const TDrawsDownloader&) = delete;

  // The month loop; returns the sum of the DownloadMonth results.
  int DownloadDraws();
  // Reads one month page and appends its new draws, oldest first; returns
  // 1 + the number appended.
  virtual int DownloadMonth(int cursor, int minYmd);

  const TDownloadResult& Result() const { return Result_; }

 protected:
  TDrawsArchive& Archive_;
  TMainConnection& Connection_;
  TUserInterface& Ui_;
  TDownloadOptions Options_;

 private:
  int CurrentMonth() const { return (Options_.Today ? Options_.Today() : TodayYmd()) / 100; }

  TDownloadResult Result_;
};

}  // namespace vexa

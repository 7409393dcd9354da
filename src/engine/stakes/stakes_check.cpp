#include "stakes/stakes_check.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "core/codec.h"
#include "core/error.h"
#include "core/format.h"

namespace vexa {
namespace {

constexpr int CheckChunk = 4096;

std::string NowText() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  char buf[80];
  std::snprintf(buf, sizeof buf, "%04d.%02d.%02d %02d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                tm.tm_hour, tm.tm_min, tm.tm_sec);
  return buf;
}

}  // namespace

std::filesystem::path StakeLogFile(const TStakeLogOptions& options, int overlap) {
  return options.Folder / Format("%s-%d.log", {options.BaseName, overlap});
}

std::string StakeLogPattern(const TStakeLogOptions& options) {
  return (options.Folder / (options.BaseName + "-*.log")).string();
}

std::string StakeLogText(const TStakeRec& s) {
  TNumList draw;
  draw.Count = MainCount;
  std::copy(s.DrawNums.begin(), s.DrawNums.end(), draw.Nums.begin());
  return Format("Тираж № %s. Ставка: \"%s\" [%s] {%d}. Результаты тиража: [%s]. Совпадений: %d. Профит: %.2f.",
                {std::to_string(s.DrawNumber), StakeOrigin(s), NumListToText(s.Numbers, ";"), s.CombsCount,
                 NumListToText(draw, ";"), s.Matched.Count, MoneyToFloat(s.Profit)});
}

void AppendStakeLog(const TStakeLogOptions& options, const TStakeRec& stake) {
  const std::filesystem::path file = StakeLogFile(options, stake.Matched.Count);
  struct stat st {};
  if (::stat(file.c_str(), &st) == 0 && st.st_size > StakeLogMaxSize && ::unlink(file.c_str()) != 0)
    throw EVexaError(Format("Ошибка удаления файла \"%s\"!\r\r%s", {file.string(), std::strerror(errno)}));
  const std::string line = Utf8ToCp1251(NowText() + ": " + StakeLogText(stake) + "\r\n");
  auto fail = [&](int err) {
    throw EVexaError(Format("Ошибка записи в файл \"%s\"!\r\r%s", {file.string(), std::strerror(err)}));
  };
  const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) fail(errno);
  size_t done = 0;
  while (done < line.size()) {
    const ssize_t n = ::write(fd, line.data() + done, line.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      fail(err);
    }
    done += static_cast<size_t>(n);
  }
  if (::close(fd) != 0) fail(errno);
}

TStakeCheckResult CheckStakes(TStakesFile& file, const TDrawsArchive& archive, const TConfigData& config,
                              TRatings& ratings, const TStakeLogOptions& log, TUserInterface& ui) {
  TStakeCheckResult result;
  ui.SetStatus("Проверка результатов ставок...");
  try {
    const int count = file.Count();
    int from = -1;  // the first checkable record: progress counts from there
    int step = 1;
    for (int first = 0; first < count; first += CheckChunk) {
      // Between chunks every stake checked so far is in the ratings too.
      if (ui.StopRequested()) {
        result.Stopped = true;
        break;
      }
      const std::vector<TStakeRec> chunk = file.ReadStakes(first, CheckChunk);
      for (size_t i = 0; i < chunk.size(); ++i) {
        const int index = first + static_cast<int>(i);
        TStakeRec stake = chunk[i];
        if (from < 0) {
          if (!IsCheckable(stake)) continue;
          from = index;
          step = std::max(1, (count - from) / 100);
        }
        if ((index - from) % step == 0)
          ui.SetStatus(Format("Проверка результатов ставок ( завершено %.0f %% )...",
                              {100.0 * (index - from) / (count - from)}));
        if (!IsCheckable(stake)) continue;
        const int at = archive.IndexOfDrawNumber(stake.DrawNumber);
        if (at < 0) continue;
        const TDraw& draw = archive.Draws()[static_cast<size_t>(at)];
        stake.Checked = 1;
        stake.DrawNums = draw.Nums;
        stake.Matched = IntersectList(draw, stake.Numbers);
        stake.Profit = CheckedProfit(config, stake.Numbers.Count, stake.Matched.Count);
        file.WriteStake(index, stake);
        ++result.Checked;
        ratings.MergeRating(stake);
        if (log.Enabled) AppendStakeLog(log, stake);
      }
    }
  } catch (const std::exception& e) {
    result.Error = Format("Ошибка проверки ставок!\r\r%s", {e.what()});
  }
  return result;
}

}  // namespace vexa

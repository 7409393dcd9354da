// Checking stakes against the draws archive, and the per-overlap logs.
//
// A stake is checked once its draw is in the archive: the overlap with the
// draw's main numbers, the draw's numbers and the profit are written into
// the record in place, its rating is merged, and, when logging is on, a line
// goes to "Korvane_6x45-<overlap>.log" in the data folder.
#pragma once

#include <filesystem>
#include <string>

#include "core/draws_archive.h"
#include "core/settings.h"
#include "core/user_interface.h"
#include "stakes/ratings.h"
#include "stakes/stakes_file.h"

namespace vexa {

// A log is deleted before an entry would be added to a file already larger.
inline constexpr int64_t StakeLogMaxSize = 268435456;

struct TStakeLogOptions {
  bool Enabled = false;
  std::filesystem::path Folder;           // the data folder
  std::string BaseName = ProgramBaseName;  // files BaseName-%d.log
};

std::filesystem::path StakeLogFile(const TStakeLogOptions& options, int overlap);
// The wildcard of all logs, for deleting them.
std::string StakeLogPattern(const TStakeLogOptions& options);

// "Тираж № ... Профит: %.2f." without the time stamp.
std::string StakeLogText(const TStakeRec& stake);
// Appends "yyyy.mm.dd hh:nn:ss: " + text + CR LF (cp1251) to the log of the
// stake's overlap. Throws "Ошибка удаления файла \"%s\"!\r\r%s" or
// "Ошибка записи в файл \"%s\"!\r\r%s".
void AppendStakeLog(const TStakeLogOptions& options, const TStakeRec& stake);

struct TStakeCheckResult {
  int Checked = 0;    // stakes checked (and written) before the end or the error
  std::string Error;  // "Ошибка проверки ставок!\r\r%s", or "" when all went well
  bool Stopped = false;  // the user stopped it between two chunks of records
};

// Checks every checkable record, first to last; a stake whose draw is not in
// the archive stays as it is. Ratings are merged in memory only: when
// Checked > 0 the caller reopens the file and sorts and saves the ratings,
// also after an error, since the records checked so far stay checked.
TStakeCheckResult CheckStakes(TStakesFile& file, const TDrawsArchive& archive, const TConfigData& config,
                              TRatings& ratings, const TStakeLogOptions& log, TUserInterface& ui);

}  // namespace vexa

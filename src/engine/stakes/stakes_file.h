// The stakes file "Korvane_6x45.lsk": a flat run of 312-byte TStakeRec
// records, no header, held open with an exclusive lock for as long as the
// object lives, so a second copy of the program in the same folder cannot
// use it (flock: the lock belongs to this open file description, so even two
// objects in one process exclude each other).
//
// Records are appended, rewritten in place by checking, or dropped by a
// deletion, which writes the kept records to "Korvane_6x45.~tmp" and renames
// it over the stakes file: the old file stays whole until the new one is
// complete, and the new file is locked before it takes the name.
//
// Every operation throws EVexaError with the message to show. An append
// that fails leaves the file as it was (no partial record behind). Not
// thread-safe.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/user_interface.h"
#include "stakes/stake_record.h"

namespace vexa {

inline constexpr const char* StakesFileExt = ".lsk";
inline constexpr const char* StakesTempExt = ".~tmp";

inline constexpr const char* StakesNotOpenMessage = "Файл ставок не открыт!";
inline constexpr const char* StakesReadErrorFormat = "Ошибка чтения файла ставок!\r\r%s";
inline constexpr const char* StakesWriteErrorFormat = "Ошибка записи в файл ставок!\r\r%s";
inline constexpr const char* StakesExclusiveMessage =
    "Невозможно получить монопольный доступ к файлам данных!\r\rВозможные причины данной ошибки: \r\r"
    "1) Вы пытаетесь запустить вторую копию программы из одного и того же каталога. Корректная работа "
    "нескольких копий программы возможна только из разных каталогов.\r\r2) Для программы нет прав на запись "
    "в том каталоге, где она расположена. Например: в Windows 7 и выше по умолчанию запрещена запись в "
    "c:\\Program Files.\r\rПрограмма будет закрыта!";
inline constexpr const char* StakesOldVersionMessage =
    "Обнаружен файл ставок устаревшей версии - имеющиеся в файле ставки будут удалены!";
// The file ends in part of a record (an append was cut short): the part is cut off.
inline constexpr const char* StakesTornTailFormat =
    "Последняя запись файла ставок была записана не полностью и удалена (%d байт). Сохранено ставок: %d.";

class TStakesFile {
 public:
  explicit TStakesFile(std::filesystem::path file) : File_(std::move(file)) {}
  ~TStakesFile();
  TStakesFile(const TStakesFile&) = delete;
  TStakesFile& operator=(const TStakesFile&) = delete;

  const std::filesystem::path& File() const { return File_; }
  std::filesystem::path TempFile() const;
  bool IsOpen() const { return Fd_ >= 0; }

  // Opens for reading and writing, creating it when missing, and takes the
  // exclusive lock. Throws the bare system error text (the caller knows
  // which message frames it); a file that is already open stays open.
  void OpenStakesFile();
  // Throws StakesWriteErrorFormat when the flush fails; the file is closed anyway.
  void CloseStakesFile(TUserInterface& ui);
  // Everything written reaches the disk and the read cache is emptied. The
  // descriptor and its lock are kept: closing would let another copy in.
  void ReopenStakesFile();

  // Start-up: OpenStakesFile (its failure is rethrown as is), then the
  // old-version rule: a non-empty file whose first record is not version 2
  // is emptied after the warning. A version-2 file that ends in part of a
  // record keeps every whole record; the part is cut off with a warning.
  void LoadStakes(TUserInterface& ui);

  // Number of whole records; 0 when not open.
  int Count() const;
  bool Empty() const { return Count() == 0; }

  // Record `index` from the start, or from the end when fromEnd (-1 is the
  // last). Served from the one-record cache when the same record was read last.
  TStakeRec ReadStake(int index, bool fromEnd = false) const;
  // Up to `count` records from `first`, read in one go.
  std::vector<TStakeRec> ReadStakes(int first, int count) const;
  // REQUIRES: 0 <= index < Count(). Rewrites the record in place.
  void WriteStake(int index, const TStakeRec& stake);

  // Refuses a checked record. draws = 1 appends the record; draws n >= 2
  // appends, for i = 1..n, a run separator and the record for DrawNumber+i-1.
  // bulk only changes the status text. All or nothing.
  void AppendStake(const TStakeRec& stake, int draws, bool bulk, TUserInterface& ui);
  // A separator when the file is not empty and its last record is for a draw.
  void AppendRunSeparator();
  // Some record for this draw with the same numbers (same count, every number present).
  bool StakeExists(int32_t drawNumber, const TNumList& numbers);
  void ClearStakesFile();

  // The safe rewrite: copies every record for which `remove` is false to the
  // temporary file, then puts it in place of the stakes file. Returns how
  // many records were dropped; with none the file is left untouched. On a
  // failure the stakes file is as before and the temporary file is gone.
  using TRemovePredicate = std::function<bool(int index, const TStakeRec& stake)>;
  int RewriteWithout(const TRemovePredicate& remove);

 private:
  void RequireOpen() const;
  int64_t Size() const;
  void AppendBytes(const std::string& bytes);

  std::filesystem::path File_;
  int Fd_ = -1;
  // One record read last: the grid asks for the same row several times.
  mutable int CacheIndex_ = -1;
  mutable TStakeRec Cache_;
};

// ---- Deleting -------------------------------------------------------------------

enum class TStakeCondition { Equal, Greater, NotLess, Less, NotGreater };
inline constexpr int StakeConditionCount = 5;
extern const std::array<const char*, StakeConditionCount> StakeConditionCaptions;   // "Равно [ = ]" ...
extern const std::array<const char*, StakeConditionCount> StakeConditionOperators;  // "=", ">", ">=", "<", "<="

bool StakeConditionHolds(TStakeCondition condition, int overlap, int value);
// Checked stakes whose overlap meets the condition; never separators or unchecked stakes.
bool StakeMatchesCondition(const TStakeRec& stake, TStakeCondition condition, int value);

// The delete question for `count` selected rows or records.
std::string StakesDeleteQuestion(int count);

// Drops the records at these 1-based grid rows, or the checked stakes that
// meet the condition, through the safe rewrite. Status "Удаление ставок...".
// Throws "Ошибка удаления записи из файла ставок!\r\r%s"; returns the count dropped.
int DeleteStakeRows(TStakesFile& file, const std::vector<int>& rows, TUserInterface& ui);
int DeleteStakesWhere(TStakesFile& file, TStakeCondition condition, int value, TUserInterface& ui);

}  // namespace vexa

// Full-set comparison: for a method of kind N, how many of all C(45,6)
// combinations have each of its values. Counted once per method into a
// file, then only read; the files do not depend on the archive, so new
// draws never make them stale.
//
// File "Prefetchs/Korvane_6x45_<CODE>.dfc" in the data folder: flat
// little-endian 12-byte records, no header.
//   value records, ascending by Key[0], Key[1], Key[2], Key[3] as uint16:
//     0  4 x u16  Key
//     8  i32      Count   how many combinations have the value
//   trailer:
//     0  i32      lowest Count of the records
//     4  i32      highest Count
//     8  i32      0
// A file of size 0 counts as missing; one whose highest Count is 0 is
// ignored by the comparison.
//
// Counting runs on several threads; the file is the one a single thread
// would write, since it holds only sums sorted by key.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/records.h"
#include "core/user_interface.h"
#include "stats/stat.h"

namespace vexa {

class TStatList;

inline constexpr const char* FullSetFolderName = "Prefetchs";
inline constexpr const char* FullSetFileExt = ".dfc";
inline constexpr size_t FullSetRecordSize = 12;

inline constexpr const char* FullSetOpenErrorFormat =
    "Ошибка открытия файла данных для полного набора вариантов!\r\rИмя файла: %s\r\r%s";
inline constexpr const char* FullSetCreateErrorFormat =
    "Ошибка создания файла данных для полного набора вариантов!\r\rИмя файла: %s\r\r%s";
inline constexpr const char* FullSetCreatingStatus = "Создание файла предварительной выборки %s...";
inline constexpr const char* FullSetRefreshStatus = "Создание файлов для полного набора комбинаций...";

// Bit g stands for group g in the groups argument of RefreshFullSetFiles.
inline constexpr unsigned AllStatGroups = (1u << StatGroupCount) - 1;

struct TFullSetRecord {
  TStatKey4 Key{};
  int32_t Count = 0;
  bool operator==(const TFullSetRecord&) const = default;
};

struct TFullSet {
  std::vector<TFullSetRecord> Records;  // file order: ascending by key
  int32_t MinCount = 0;                 // the trailer
  int32_t MaxCount = 0;
  bool operator==(const TFullSet&) const = default;
};

std::string EncodeFullSet(const TFullSet& set);
// Throws EVexaError when the size is not a whole number of records plus the trailer.
TFullSet DecodeFullSet(std::string_view bytes);

// The values of every combination 1 2 3 4 5 6 .. 40 41 42 43 44 45, summed
// by key and sorted; the trailer from the sums (0 and 0 when there are none).
// threads: 0 = one per core. Throws EVexaError when a count passes int32.
// REQUIRES: CalcCombination of `stat` is thread-safe (it is const).
// `stopped`, when given, is asked on the calling thread between blocks of
// work; true ends the count with EStopped.
TFullSet ComputeFullSet(const TCustomStat& stat, int threads = 0, const std::function<bool()>& stopped = {});

// Where the files of one data folder live.
struct TFullSetPlace {
  std::filesystem::path DataDir;
  std::string BaseName = ProgramBaseName;

  std::filesystem::path Folder() const { return DataDir / FullSetFolderName; }
  std::filesystem::path FileOf(std::string_view code) const;
};

// Exists and is not empty.
bool FullSetFileExists(const std::filesystem::path& file);
// Throws EVexaError with the system's or the format's error text.
TFullSet ReadFullSetFile(const std::filesystem::path& file);

// Counts method i over all combinations and writes its file (through a
// temporary file: a failure leaves an old file as it was). Failures are
// shown with the create message; the result is then empty.
std::optional<TFullSet> CreateFullSetFile(const TStatList& list, int methodIndex, const TFullSetPlace& place,
                                          TUserInterface& ui, int threads = 0);

// The file of method i for the comparison: none unless prefetchsEnabled and
// the method is of kind N; a missing or empty file is created first.
// Failures are shown with the open or create message; the result is then empty.
std::optional<TFullSet> OpenFullSetFile(const TStatList& list, int methodIndex, const TFullSetPlace& place,
                                        bool prefetchsEnabled, TUserInterface& ui);

struct TFullSetCreated {
  int MethodIndex = 0;
  std::filesystem::path File;
  bool Failed = false;  // the create message was shown
  int Records = 0;      // value records written
};

// Creates the missing files of all kind-N methods, and recreates those of
// the groups set in `groups` (bit g for group g). Does nothing unless force
// or prefetchsEnabled. Returns the files it made or failed to make.
std::vector<TFullSetCreated> RefreshFullSetFiles(const TStatList& list, const TFullSetPlace& place, bool force,
                                                 unsigned groups, bool prefetchsEnabled, TUserInterface& ui);

}  // namespace vexa

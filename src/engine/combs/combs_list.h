// The working list of combinations, its one-level undo copy, the log of the
// operations applied since the list was rebuilt, and the exclusion buffer
// that caches a script line's start list.
//
// The list and the undo copy are arrays with a separate count: elements
// 0 .. count-1 are meaningful, the rest is capacity. Capacity is reserved
// once (Reserve) and only grows, so regenerating the full set or filtering
// never reallocates. Every narrowing operation saves the undo copy first and
// rebuilds the list from it (RebuildFromUndo); undo count 0 means there is
// nothing to undo.
//
// Combination file (".lcv"): one combination per line, its six numbers in
// plain decimal joined by ";" (1;5;12;23;34;45), CR LF, no header. Reading
// skips empty lines and lines that are not exactly six words separated by
// "," or ";" (a word is a run of other characters, trimmed, read as a
// decimal number, 0 when unreadable); numbers are kept as written: no
// sorting, range or duplicate check.
//
// The exclusion buffer lives in memory, keyed by (offset, N); (-1, -1)
// means it holds nothing.
//
// Operations report progress and errors through the user interface given
// at construction, with the program's texts. Not thread-safe; only the walk
// inside an operation uses several threads.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "combs/combs_buffer.h"
#include "combs/combs_walk.h"
#include "core/game.h"
#include "core/settings.h"
#include "core/user_interface.h"

namespace vexa {

inline constexpr const char* CombsFileExt = ".lcv";
// A combinations file is read up to this size: all 8 145 060 combinations
// take about 160 MB as text. Past it the read fails with FileTooLargeFormat.
inline constexpr uint64_t CombsFileMaxSize = 512ull << 20;
inline constexpr const char* CombsFileFilter = "Файлы комбинаций (*.lcv)|*.lcv";

// Generation modes.
inline constexpr int GenerateAll = 0;       // every combination
inline constexpr int GenerateAnyOf = 1;     // at least one of my numbers
inline constexpr int GenerateOnlyOf = 2;    // all six among my numbers
inline constexpr int GenerateNoneOf = 3;    // none of my numbers
inline constexpr int GenerateFromFile = 4;  // read from the ".lcv" file named by the parameter
inline constexpr int GenerateModeCount = 5;
// The generation dialog's text of a mode; empty for an unknown one.
std::string GenerateModeText(int mode);

// My numbers: the text split at "," or ";", each word trimmed and read as a
// decimal number (0 when unreadable); numbers 0..255 are in the set.
std::bitset<256> ParseMyNumbers(std::string_view text);

inline constexpr const char* UndoSavingStatus = "Создание файла отката...";
inline constexpr const char* UndoRestoringStatus = "Отмена изменений...";
inline constexpr const char* GeneratingStatus = "Генерация возможных комбинаций...";
inline constexpr const char* PasteStatus = "Подождите пожалуйста...";
inline constexpr const char* GenerateErrorFormat = "Ошибка генерации файла комбинаций!\r\r%s";
inline constexpr const char* CombsReadErrorFormat = "Ошибка чтения файла \"%s\"!\r\r%s";
inline constexpr const char* CombsWriteErrorFormat = "Ошибка записи в файл \"%s\"!\r\r%s";
inline constexpr const char* CombsOpenStatus = "Загрузка файла \"%s\"...";
inline constexpr const char* CombsSaveStatus = "Сохранение файла \"%s\"...";
inline constexpr const char* RemoveDrawnLogName = "Последние тиражи";
inline constexpr const char* DelSelectedLogName = "Выделенные комбинации";

// "Комбинаций: %d", the list's panel of the status bar.
std::string CombsCountText(int count);

enum class TLogIcon { Keep, Delete, Undo };

// One row of the operations log: "Примененные фильтры", "Значения", "Комбинаций".
struct TLogRow {
  TLogIcon Icon = TLogIcon::Keep;
  std::string Name;
  std::string Values;
  int Count = 0;
  bool operator==(const TLogRow&) const = default;
};

class TCombsList {
 public:
  explicit TCombsList(TUserInterface& ui) : Ui_(ui) {}
  TCombsList(const TCombsList&) = delete;
  TCombsList& operator=(const TCombsList&) = delete;

  // ---- The list -------------------------------------------------------------
  // Capacity of the list and of the undo copy (and the walk's scratch),
  // with every page touched now. Never shrinks.
  void Reserve(size_t capacity);
  size_t Capacity() const { return List_.Capacity(); }
  int Count() const { return static_cast<int>(Count_); }
  std::span<const TComb> Combs() const { return {List_.Data(), Count_}; }
  // REQUIRES: 0 <= i < Count()
  const TComb& operator[](int i) const { return List_.Data()[i]; }
  // Replaces the list with these combinations (log and undo copy untouched).
  // REQUIRES: combs is not a part of this list.
  void SetCombs(std::span<const TComb> combs);
  // Some element equal byte for byte.
  bool ContainsComb(const TComb& comb) const;

  // ---- Undo -----------------------------------------------------------------
  int UndoCount() const { return static_cast<int>(UndoCount_); }
  size_t UndoCapacity() const { return Undo_.Capacity(); }
  std::span<const TComb> UndoCombs() const { return {Undo_.Data(), UndoCount_}; }
  // Copies the list into the undo copy; with `show`, the status text. Out
  // of memory leaves no undo copy and passes the error on.
  void SaveUndo(bool show);
  // Copies the undo copy back and discards it; with `show`, the status text.
  // Out of memory empties the list and passes the error on.
  void RestoreUndo(bool show);
  void DiscardUndo() { UndoCount_ = 0; }

  // Rebuilds the list from the undo copy keeping, in order, the combinations
  // `keep` accepts. `keep` runs on several threads (const, thread-safe) and
  // gets references into the undo copy, so &comb - UndoCombs().data() is the
  // row. On an error the list holds the survivors found before it, in order.
  template <typename Keep>
  void RebuildFromUndo(const Keep& keep, const TWalkProgress& progress = {}) {
    RunWalk(MakeWalkFns(keep), progress);
  }
  void SetWalkOptions(const TWalkOptions& options) { Walk_ = options; }
  const TWalkOptions& WalkOptions() const { return Walk_; }

  // ---- Making a list --------------------------------------------------------
  // The list from the parameters (mode 4 reads the file). With `show`: the
  // status text, then the log cleared and the undo copy discarded. Errors
  // are shown; the list keeps what was produced. False on an error.
  bool Generate(bool show, const TGenerateParams& params);
  // Replaces the list with the combinations of a ".lcv" file. A read error
  // is shown with the file name; false then, and what was read stays.
  bool ReadCombsFile(const std::filesystem::path& file);
  // Writes the whole list (through a temporary file). A write error is shown
  // with the file name; false then, and an old file stays as it was.
  bool WriteCombsFile(const std::filesystem::path& file) const;
  // The ".lcv" text of the list.
  std::string CombsFileText() const;
  // Appends the combinations of a ".lcv" text.
  void AppendCombsText(std::string_view text);

  // ---- Clipboard ------------------------------------------------------------
  // The rows (in the order given; out-of-range rows skipped) as CombToText,
  // each followed by CR LF.
  std::string CopyText(const std::vector<int>& rows) const;
  // Replaces the list with the text's lines, all or nothing: a bad line is
  // shown with its message and the previous list comes back. Clears the
  // log on success; discards the undo copy in every case. True when pasted.
  bool Paste(std::string_view text);

  // ---- Narrowing ------------------------------------------------------------
  // From the undo copy (just saved by the caller): drops the combinations
  // with CommonCount 6 against one of the n newest draws of the analysis
  // window (draws[L-n+1 .. L], L = newest index - drawsOffset; none when L
  // is below 0), whatever the order of the numbers; logs the row.
  void RemoveDrawn(int n, const TDrawsArray& draws, int drawsOffset);
  // From the undo copy (just saved by the caller): drops the given rows;
  // logs the row with the number of distinct rows dropped, which it returns.
  int DelSelected(const std::vector<int>& rows);
  // Distinct numbers in the whole list (counting stops at 45).
  int DistinctNumbers() const;

  // ---- Operations log -------------------------------------------------------
  const std::vector<TLogRow>& Log() const { return Log_; }
  void LogOperation(bool deleted, const std::string& name, const std::string& params);
  // The same row with the count given, for a caller that keeps the list elsewhere for a while.
  void LogOperation(bool deleted, const std::string& name, const std::string& params, int count);
  void ClearLog() { Log_.clear(); }
  void RemoveLastLog() {
    if (!Log_.empty()) Log_.pop_back();
  }

  // ---- Exclusion buffer -----------------------------------------------------
  // Stores the list under (offset, n) unless that pair is stored already.
  // An error is shown; false then, and the buffer holds nothing.
  bool WriteExclBuffer(int offset, int n);
  // Loads the list stored under (offset, n); false when another pair is
  // stored (nothing shown) or on an error (shown).
  bool ReadExclBuffer(int offset, int n);
  // Forgets the stored list. Also the form used at exit.
  void DropExclBuffer();
  int ExclOffset() const { return ExclOffset_; }
  int ExclN() const { return ExclN_; }

 private:
  void SetStatus(bool show, const std::string& text) {
    if (show) Ui_.SetStatus(text);
  }
  void GrowList(size_t capacity);
  void RunWalk(const TWalkFns& fns, const TWalkProgress& progress);
  void GenerateNumbers(int mode, const std::bitset<256>& mine);

  TUserInterface& Ui_;
  TCombsBuffer List_;
  size_t Count_ = 0;
  TCombsBuffer Undo_;
  size_t UndoCount_ = 0;
  TWalkScratch Scratch_;
  TWalkOptions Walk_;
  std::vector<TLogRow> Log_;
  TCombsBuffer Excl_;
  size_t ExclCount_ = 0;
  int ExclOffset_ = -1;
  int ExclN_ = -1;
};

// While it lives the list is the full set, the user's list waiting in the
// undo copy; at its end the list comes back and no undo copy is left.
// Full-set files are counted inside one.
class TFullListScope {
 public:
  explicit TFullListScope(TCombsList& combs) : Combs_(combs) {
    Combs_.SaveUndo(false);
    Combs_.Generate(false, TGenerateParams{GenerateAll, ""});
  }
  // The list never shrinks, so giving it back cannot fail.
  ~TFullListScope() { Combs_.RestoreUndo(false); }
  TFullListScope(const TFullListScope&) = delete;
  TFullListScope& operator=(const TFullListScope&) = delete;

 private:
  TCombsList& Combs_;
};

// The lines DrawToText of the draws whose six main numbers equal the
// combination's as a set, newest draw first, at most 26.
std::vector<std::string> FindCombInDraws(const TDrawsArray& draws, const TComb& comb);
inline constexpr int FindInDrawsLimit = 26;
inline constexpr const char* FindInDrawsStatus = "Поиск по архиву тиражей...";
// The information text for those lines (found or not found).
std::string FindInDrawsMessage(const std::vector<std::string>& lines);
// "В текущем списке комбинаций содержится %d уникальных номеров"
std::string CheckNumsMessage(int count);

}  // namespace vexa

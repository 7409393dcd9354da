// The execution log of a script run.
//
// File "ScriptLog_<start>.txt" in the data folder, <start> being the local
// start time of the run as yyyy-mm-dd-hh-nn-ss. Text in code page 1251, one
// entry per line ended by CR LF:
//   [yyyy-mm-dd hh:nn:ss]: <entry>
// The file is opened for appending (created when missing) and closed again
// for every entry, so an entry is on disk as soon as it is written; two runs
// started within the same second share one file. The first failed write of
// a run is shown ("Ошибка записи журнала: %s!"), later ones are not; the run
// goes on either way.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "core/user_interface.h"

namespace vexa {

inline constexpr const char* ScriptLogPrefix = "ScriptLog_";
inline constexpr const char* ScriptLogExt = ".txt";
// Separator and banner lines are this many characters long.
inline constexpr size_t ScriptLogWidth = 94;

inline constexpr const char* ScriptLogStartText = "### ЗАПУСК СЦЕНАРИЯ ";
inline constexpr const char* ScriptLogEndText = "### ЗАВЕРШЕНИЕ СЦЕНАРИЯ ";
inline constexpr const char* ScriptLogStoppedText = "### ВЫПОЛНЕНИЕ СЦЕНАРИЯ ПРЕРВАНО ";
inline constexpr const char* ScriptLogWriteErrorFormat = "Ошибка записи журнала: %s!";

using TScriptClock = std::chrono::system_clock;

// "ScriptLog_2026-12-02-18-05-59.txt" for that local time.
std::string ScriptLogFileName(TScriptClock::time_point start);
// The wildcard of every execution log of the folder, for deleting them.
std::string ScriptLogPattern(const std::filesystem::path& folder);
// text followed by `fill` up to ScriptLogWidth characters (UTF-8 characters
// are counted, not bytes); a longer text stays as it is.
std::string PadLogText(std::string_view text, char fill);
// "[2026-12-02 18:05:59]: " + entry.
std::string ScriptLogLine(TScriptClock::time_point when, std::string_view entry);

class TScriptLog {
 public:
  explicit TScriptLog(TUserInterface& ui) : Ui_(ui) {}

  // A new file name for a run starting now; nothing is written yet.
  void Begin(const std::filesystem::path& folder, TScriptClock::time_point start);
  // Forgets the file: later entries go nowhere.
  void End() { File_.clear(); }
  bool Active() const { return !File_.empty(); }
  const std::filesystem::path& File() const { return File_; }
  // The first failed write of the run, shown already; "" while all went well.
  const std::string& Error() const { return Error_; }

  // Appends one entry; nothing while no file is set.
  void Write(std::string_view entry);
  // Padded forms of the banners and separators.
  void WritePadded(std::string_view text, char fill) { Write(PadLogText(text, fill)); }
  void WriteRule(char fill) { Write(std::string(ScriptLogWidth, fill)); }

  // Tests fix the time stamps through this.
  std::function<TScriptClock::time_point()> Now = [] { return TScriptClock::now(); };

 private:
  TUserInterface& Ui_;
  std::filesystem::path File_;
  bool Failed_ = false;
  std::string Error_;
};

}  // namespace vexa

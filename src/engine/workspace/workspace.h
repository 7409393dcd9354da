// TWorkspace owns the working data of one data folder: the draws archive
// and its analysis offset, the settings, the statistics registry, the busy
// counter and the status text. Every command of the main window is an
// operation here with the same name; the window, the `vexa` command and the
// tests all call these.
//
// Files live in the data folder and are named after the program:
// "Korvane_6x45" plus an extension.
//
// Operations throw EVexaError with the message to show; Open instead
// reports each failure through the user interface and goes on, as the
// program's start-up does. Not thread-safe.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "core/draws_archive.h"
#include "core/settings.h"
#include "core/user_interface.h"
#include "stats/stat_list.h"
#include "workspace/start_switches.h"

namespace vexa {

inline constexpr const char* ProgramBaseName = "Korvane_6x45";

// The data folder: the --data-dir value, else VEXA_DATA_DIR, else the program's folder.
std::filesystem::path ResolveDataDir(const std::string& option, const char* environment,
                                     const std::filesystem::path& programFolder);

// For k = 0..6: how many combinations share exactly k numbers with a stake
// of six, and that count as a share of all combinations.
struct TMatchRow {
  int64_t Count = 0;
  long double Probability = 0;
};
using TMatchTable = std::array<TMatchRow, MainCount + 1>;
TMatchTable ComputeMatchTable();

class TWorkspace {
 public:
  TWorkspace(std::filesystem::path dataDir, TUserInterface& ui);
  TWorkspace(const TWorkspace&) = delete;
  TWorkspace& operator=(const TWorkspace&) = delete;

  const std::filesystem::path& DataDir() const { return DataDir_; }
  // DataDir/Korvane_6x45<ext>
  std::filesystem::path DataFile(const std::string& ext) const;

  TUserInterface& Ui() { return Ui_; }
  TDrawsArchive& Archive() { return Archive_; }
  const TDrawsArchive& Archive() const { return Archive_; }
  TStatList& Stats() { return Stats_; }
  const TStatList& Stats() const { return Stats_; }
  TMainWindowSettings& Window() { return Window_; }
  const TProxy& Proxy() const { return Proxy_; }
  const TStartSwitches& Switches() const { return Switches_; }
  const TMatchTable& MatchTable() const { return MatchTable_; }

  // Start-up: window settings, configuration, proxy, the statistics
  // registry with the favourites, then the initial run (match table, offset
  // 0, the draws archive). Returns how many failures were reported.
  int Open(const TStartSwitches& switches = {});

  // ---- Busy counter and status --------------------------------------------
  // While an operation runs the counter is above 0 and every command is disabled.
  class TBusy {
   public:
    explicit TBusy(TWorkspace& ws) : Ws_(ws) { ++Ws_.Busy_; }
    ~TBusy() {
      if (--Ws_.Busy_ == 0) Ws_.SetStatus("");
    }
    TBusy(const TBusy&) = delete;
    TBusy& operator=(const TBusy&) = delete;

   private:
    TWorkspace& Ws_;
  };
  bool IsBusy() const { return Busy_ > 0; }
  int BusyCount() const { return Busy_; }
  void SetStatus(const std::string& text);
  const std::string& StatusText() const { return Status_; }

  // ---- Draws ------------------------------------------------------------------
  void SetDrawsOffset(int offset) { Archive_.SetDrawsOffset(offset); }
  int DrawsOffset() const { return Archive_.DrawsOffset(); }
  bool SortedDraws() const { return Window_.SortedDraws; }
  // Toggles the sorted display of the draws and stores the setting at once.
  void DrawsSorted();
  void DrawsAdd(const TDraw& draw);
  void DrawsEdit(int row, const TDraw& draw);
  void DrawsDel(const std::vector<int>& numbers);
  int DrawsImport(const std::filesystem::path& file);
  int DrawsExport(const std::filesystem::path& file);

 private:
  // Runs one start-up step; a failure is reported with `format` and counted.
  template <typename Step>
  void Try(const char* format, Step step);

  // Passes everything to the front end and keeps the status text.
  class TRelay : public TUserInterface {
   public:
    explicit TRelay(TWorkspace& ws) : Ws_(ws) {}
    void SetStatus(std::string_view text) override;
    void Message(TMessageKind kind, std::string_view text) override { Ws_.Ui_.Message(kind, text); }
    bool Ask(std::string_view text, std::string_view title, bool noIsDefault) override {
      return Ws_.Ui_.Ask(text, title, noIsDefault);
    }
    bool StopRequested() override { return Ws_.Ui_.StopRequested(); }

   private:
    TWorkspace& Ws_;
  };

  std::filesystem::path DataDir_;
  TUserInterface& Ui_;
  TRelay Relay_{*this};
  TDrawsArchive Archive_;
  TStatList Stats_;
  TMainWindowSettings Window_;
  TProxy Proxy_;
  TStartSwitches Switches_;
  TMatchTable MatchTable_{};
  int Busy_ = 0;
  int Failures_ = 0;
  std::string Status_;
};

}  // namespace vexa

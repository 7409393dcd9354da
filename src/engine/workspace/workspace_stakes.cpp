// The workspace's stakes, ratings and regular tables: start-up steps and the
// main window's commands of the three tabs.
#include <algorithm>
#include <functional>

#include "core/error.h"
#include "core/file_report.h"
#include "core/format.h"
#include "stakes/ratings_journal.h"
#include "workspace/workspace.h"

namespace vexa {
namespace {

// Runs `step`; an engine error is rethrown framed with `format`.
template <typename Step>
auto Framed(const char* format, Step step) {
  try {
    return step();
  } catch (const EVexaError& e) {
    throw EVexaError(Format(format, {e.what()}));
  }
}

constexpr const char* ConfirmTitle = "Подтверждение";
constexpr const char* WarningTitle = "Предупреждение";

}  // namespace

// ---- Start-up ------------------------------------------------------------------

bool TWorkspace::OpenStakes() {
  SetStatus("Загрузка файла ставок...");
  try {
    Stakes_.OpenStakesFile();
  } catch (const EVexaError& e) {
    ++Failures_;
    MustQuit_ = true;
    Ui_.Message(TMessageKind::Error, Format(StakesReadErrorFormat, {e.what()}));
    Ui_.Message(TMessageKind::Error, StakesExclusiveMessage);
    return false;
  }
  try {
    Stakes_.LoadStakes(Relay_);
  } catch (const EVexaError& e) {
    ++Failures_;
    Ui_.Message(TMessageKind::Error, e.what());
  }
  return true;
}

void TWorkspace::LoadStakesData() {
  try {
    const std::filesystem::path file = DataFile(RatingsFileExt);
    if (std::filesystem::exists(file) || std::filesystem::exists(RatingsJournalFile(file))) {
      LoadRatings(file, Ratings_, Relay_);
      MendRatings(file, Stakes_, Ratings_, Relay_);
      SortAndSaveRatings();
    }
  } catch (const EVexaError& e) {
    ++Failures_;
    Ui_.Message(TMessageKind::Error, e.what());
  }
  try {
    LoadTables(DataFile(TablesFileExt), Window_.TabTables, Tables_, Relay_);
  } catch (const EVexaError& e) {
    ++Failures_;
    Ui_.Message(TMessageKind::Error, e.what());
  }
}

// ---- Checking -------------------------------------------------------------------

TStakeLogOptions TWorkspace::StakeLog() const { return {Window_.StakesLogEnabled, DataDir_, ProgramBaseName}; }

int TWorkspace::CheckStakesNow() {
  if (!Stakes_.IsOpen() || Stakes_.Empty()) return 0;
  const TStakeCheckResult result = CheckStakes(Stakes_, Archive_, Stats_.Config, Ratings_, StakeLog(), Relay_);
  // Stakes checked before an error stay checked, so their ratings are kept too.
  if (result.Checked > 0) {
    Stakes_.ReopenStakesFile();
    SortAndSaveRatings();
  }
  if (!result.Error.empty()) throw EVexaError(result.Error);
  return result.Checked;
}

void TWorkspace::CheckStakesAfterDownload() {
  try {
    CheckStakesNow();
  } catch (const std::exception& e) {
    Ui_.Message(TMessageKind::Error, e.what());
  }
}

int TWorkspace::StakesCheckManual() {
  TOperation op(*this, ChangeStakes | ChangeRatings);
  return CheckStakesNow();
}

// ---- Adding stakes ----------------------------------------------------------------

TStakeRec TWorkspace::StakePrefill(const TComb* focused) const {
  const TNumList numbers = focused != nullptr ? CombToNumList(*focused) : TNumList{};
  TStakeRec stake = NewStake(StakeManual, Archive_.NextDrawNumber(Archive_.DrawsOffset()), Combs_.Count(), numbers,
                             ManualStakeOrigin, Stats_.Config);
  return stake;
}

TStakeInputCheck TWorkspace::StakeAdd(const TStakeRec& prefilled, const TManualStakeInput& input, int maxNumbers) {
  TStakeRec stake;
  const TStakeInputCheck check = MakeManualStake(prefilled, input, Stats_.Config, stake, maxNumbers);
  if (!check.Message.empty()) return check;
  TOperation op(*this, ChangeStakes | ChangeRatings);
  Stakes_.AppendStake(stake, static_cast<int>(input.DrawsCount), false, Relay_);
  CheckStakesNow();
  return {};
}

TStakeInputCheck TWorkspace::StakeAddMulti(const TCombsArray& combs, const TMultiStakeInput& input) {
  const TStakeInputCheck check = CheckMultiStake(input);
  if (!check.Message.empty()) return check;
  TOperation op(*this, ChangeStakes | ChangeRatings);
  SetStatus("Создание ставок...");
  for (const TComb& comb : combs) {
    const TStakeRec stake = NewStake(StakeManual, static_cast<int32_t>(input.DrawNumber), Combs_.Count(),
                                     CombToNumList(comb), input.Comment, Stats_.Config);
    Stakes_.AppendStake(stake, static_cast<int>(input.DrawsCount), true, Relay_);
  }
  CheckStakesNow();
  return {};
}

// ---- Deleting stakes ---------------------------------------------------------------

int TWorkspace::StakeDel(const std::vector<int>& rows) {
  RequireIdle();
  if (rows.empty() || Stakes_.Empty()) return 0;
  if (!Ui_.Ask(StakesDeleteQuestion(static_cast<int>(rows.size())), WarningTitle, true)) return 0;
  TOperation op(*this, ChangeStakes | ChangeRatings);
  // The file's records are numbered from 1.
  std::vector<int> positions;
  positions.reserve(rows.size());
  for (int row : rows) positions.push_back(row < 0 ? row : row + 1);
  const int removed = DeleteStakeRows(Stakes_, positions, Relay_);
  CheckStakesNow();
  return removed;
}

int TWorkspace::StakeFilter(TStakeCondition condition, int value) {
  if (Stakes_.Empty()) return 0;
  TOperation op(*this, ChangeStakes | ChangeRatings);
  const int removed = DeleteStakesWhere(Stakes_, condition, value, Relay_);
  CheckStakesNow();
  return removed;
}

bool TWorkspace::StakeClear() {
  RequireIdle();
  if (Stakes_.Empty()) return false;
  if (!Ui_.Ask(StakesDeleteQuestion(Stakes_.Count()), WarningTitle, true)) return false;
  {
    TOperation op(*this, ChangeStakes | ChangeRatings);
    SetStatus("Удаление ставок...");
    Stakes_.ClearStakesFile();
    Stakes_.ReopenStakesFile();
  }
  RatingsRefresh();
  return true;
}

void TWorkspace::LogStakes() {
  TOperation op(*this, ChangeSettings);
  WriteWindowFlag("StakesLogEnabled", !Window_.StakesLogEnabled, Window_.StakesLogEnabled);
}

void TWorkspace::StakesScroll() {
  TOperation op(*this, ChangeSettings);
  WriteWindowFlag("StakesScrollEnabled", !Window_.StakesScrollEnabled, Window_.StakesScrollEnabled);
}

void TWorkspace::LogStakesDelete() {
  const std::string pattern = StakeLogPattern(StakeLog());
  if (!AnyFileMatches(pattern)) {
    Ui_.Message(TMessageKind::Information, "Файлы журналов не найдены!");
    return;
  }
  TOperation op(*this, 0);
  SetStatus("Поиск файлов журналов...");
  ReportFileOperation(Relay_, DeleteFilesWithReport(pattern));
}

// ---- Ratings ---------------------------------------------------------------------

void TWorkspace::SortAndSaveRatings() {
  SetStatus("Сортировка рейтинга...");
  Ratings_.SortRatings(RatingsSortColumn_, RatingsSortDescending_);
  SaveRatings(DataFile(RatingsFileExt), Ratings_, Relay_);
}

void TWorkspace::RatingsSort(int column, bool descending) {
  TOperation op(*this, ChangeRatings);
  RatingsSortColumn_ = column;
  RatingsSortDescending_ = descending;
  SortAndSaveRatings();
}

bool TWorkspace::RatingsRefresh() {
  RequireIdle();
  if (!Ratings_.Empty() &&
      !Ui_.Ask("Пересчитать рейтинг только по текущим ставкам?\r\rНакопленные ранее данные по удаленным ставкам будут "
               "потеряны.",
               ConfirmTitle, false))
    return false;
  TOperation op(*this, ChangeRatings);
  SetStatus("Обновление рейтинга...");
  Framed("Ошибка обновления рейтинга!\r\r%s", [&] {
    if (!Stakes_.IsOpen()) throw EVexaError(StakesNotOpenMessage);
    TRatings rebuilt;
    const int count = Stakes_.Count();
    constexpr int Chunk = 4096;
    for (int first = 0; first < count; first += Chunk)
      for (const TStakeRec& stake : Stakes_.ReadStakes(first, Chunk))
        if (stake.DrawNumber >= 0 && stake.Checked != 0) rebuilt.MergeRating(stake);
    Ratings_ = std::move(rebuilt);
    SortAndSaveRatings();
  });
  return true;
}

void TWorkspace::RatingsEffMode(int mode) {
  if (mode < 0 || mode >= RatingModes) return;
  TOperation op(*this, ChangeRatings | ChangeSettings);
  WriteWindowInt(DataFile(WindowSettingsFileExt), MainWindowSection, "RatingsEffMode", mode);
  Window_.RatingsEffMode = mode;
}

void TWorkspace::RatingsExport(const std::filesystem::path& file) {
  TOperation op(*this, 0);
  vexa::RatingsExport(file, Ratings_.Items(), Relay_);
}

// ---- Regular tables ----------------------------------------------------------------

void TWorkspace::TabTables() {
  TOperation op(*this, ChangeTables | ChangeSettings);
  const bool value = !Window_.TabTables;
  WriteWindowFlag("TabTables", value, Window_.TabTables);
  Tables_.clear();
  if (value) {
    LoadTables(DataFile(TablesFileExt), true, Tables_, Relay_);
  }
}

void TWorkspace::SaveTablesOrRestore(TTablesArray previous) {
  try {
    SaveTables(DataFile(TablesFileExt), Window_.TabTables, Tables_, Relay_);
  } catch (const EVexaError&) {
    // The rules in memory stay those of the file.
    Tables_ = std::move(previous);
    throw;
  }
}

TTableInputCheck TWorkspace::TablesAdd(const TTableInput& input, const TCombsArray& selected,
                                       const std::vector<int>& rows) {
  RequireTablesTab();
  const TTableInputCheck check = CheckTableInput(input, static_cast<int>(selected.size()), Tables_);
  if (!check.Message.empty()) return check;
  TOperation op(*this, ChangeTables);
  SetStatus("Создание регулярных ставок...");
  TTablesArray previous = Tables_;
  // The comments name the 1-based places of the combinations in the list.
  std::vector<int> positions;
  positions.reserve(rows.size());
  for (int row : rows) positions.push_back(row + 1);
  AddTables(Tables_, input, selected, positions);
  SaveTablesOrRestore(std::move(previous));
  return {};
}

void TWorkspace::TablesDel(const std::vector<int>& indexes) {
  RequireIdle();
  RequireTablesTab();
  if (indexes.empty()) return;
  if (!Ui_.Ask(StakesDeleteQuestion(static_cast<int>(indexes.size())), WarningTitle, true)) return;
  TOperation op(*this, ChangeTables);
  SetStatus("Удаление регулярных ставок...");
  TTablesArray previous = Tables_;
  std::vector<int> order = indexes;
  std::sort(order.begin(), order.end(), std::greater<>());
  order.erase(std::unique(order.begin(), order.end()), order.end());
  try {
    for (int index : order) DeleteTable(Tables_, index);
  } catch (const EVexaError&) {
    Tables_ = std::move(previous);
    throw;
  }
  SaveTablesOrRestore(std::move(previous));
}

TWorkspace::TTableStakeDraft TWorkspace::TablesStakePrepare(int index) const {
  RequireTablesTab();
  if (index < 0 || static_cast<size_t>(index) >= Tables_.size())
    throw EVexaError(Format("Запись со индексом %d в файле данных не найдена!", {index}));
  const int offset = Archive_.DrawsOffset();
  TTableStakeDraft draft{index, Tables_[static_cast<size_t>(index)], {}};
  // Without a draw the rule would shift a combination of zeros.
  if (draft.Advanced.UseLastDraw == 1 && Archive_.Empty()) throw EVexaError("Архив тиражей пуст!");
  AdvanceTable(draft.Advanced, Archive_, offset);
  draft.Stake = TableStake(draft.Advanced, Archive_.NextDrawNumber(offset), Combs_.Count(), Stats_.Config);
  return draft;
}

TStakeInputCheck TWorkspace::TablesStakeAdd(const TTableStakeDraft& draft, const TManualStakeInput& input) {
  RequireTablesTab();
  TStakeRec stake;
  const TStakeInputCheck check = MakeManualStake(draft.Stake, input, Stats_.Config, stake);
  if (!check.Message.empty()) return check;
  if (draft.Index < 0 || static_cast<size_t>(draft.Index) >= Tables_.size())
    throw EVexaError(Format("Запись со индексом %d в файле данных не найдена!", {draft.Index}));
  TOperation op(*this, ChangeTables | ChangeStakes | ChangeRatings);
  TTablesArray previous = Tables_;
  Tables_[static_cast<size_t>(draft.Index)] = draft.Advanced;
  SaveTablesOrRestore(std::move(previous));
  Stakes_.AppendStake(stake, static_cast<int>(input.DrawsCount), false, Relay_);
  CheckStakesNow();
  return {};
}

int TWorkspace::TablesStakeTest(const std::vector<int>& indexes, int n) {
  RequireTablesTab();
  if (n <= 0 || indexes.empty()) return 0;
  const int most = std::max(Archive_.Count() - 1, 0);
  if (n > most) throw EVexaError(Format("Количество тиражей для теста должно быть от 1 до %d!", {most}));
  std::vector<int> order = indexes;
  std::sort(order.begin(), order.end());
  order.erase(std::unique(order.begin(), order.end()), order.end());
  for (int index : order)
    if (index < 0 || static_cast<size_t>(index) >= Tables_.size())
      throw EVexaError(Format("Запись со индексом %d в файле данных не найдена!", {index}));

  TOperation op(*this, ChangeTables | ChangeStakes | ChangeRatings);
  SetStatus("Создание ставок по регулярным табличным ставкам...");
  const int saved = Archive_.DrawsOffset();
  int appended = 0;
  std::string failure;
  try {
    for (int v = n; v >= 1; --v) {
      Archive_.SetDrawsOffset(v);
      for (int index : order) {
        TTableRec& rule = Tables_[static_cast<size_t>(index)];
        AdvanceTable(rule, Archive_, v);
        Stakes_.AppendStake(TableStake(rule, Archive_.NextDrawNumber(v), Combs_.Count(), Stats_.Config), 1, true,
                            Relay_);
        ++appended;
      }
    }
  } catch (const EVexaError& e) {
    failure = e.what();
  }
  Archive_.SetDrawsOffset(saved);
  // The rules moved on with every stake made, so memory keeps them even when
  // the save fails; the stakes are checked all the same.
  std::string saveFailure;
  try {
    SaveTables(DataFile(TablesFileExt), Window_.TabTables, Tables_, Relay_);
  } catch (const EVexaError& e) {
    saveFailure = e.what();
  }
  if (!failure.empty()) throw EVexaError(failure);
  CheckStakesNow();
  if (!saveFailure.empty()) throw EVexaError(saveFailure);
  return appended;
}

void TWorkspace::RequireTablesTab() const {
  if (!Window_.TabTables) throw EVexaError("Вкладка \"Регуляры\" скрыта!");
}

}  // namespace vexa

// The statistics tab: what a recalculation costs the window.
//
//   BM_StatView/<CODE>    the workspace's recalculation over a 1000-draw
//                         window plus refilling the list model (re-sorted
//                         by "Количество"), for every registered method
//   BM_StatSort/<column>  sorting the longest list by one column
#include <benchmark/benchmark.h>

#include <string>

#include "acquire/demo_draws.h"
#include "core/user_interface.h"
#include "models/stat_model.h"
#include "support/temp_dir.h"
#include "workspace/workspace.h"

namespace vexa {
namespace {

struct TViewData {
  test::TTempDir Dir;
  TSilentUserInterface Ui;
  std::unique_ptr<TWorkspace> Ws;
  TViewData() {
    TDrawsArchive archive(Dir / "Korvane_6x45.ldr");
    archive.SetDraws(GenerateDemoDraws(1500, 7));
    archive.SaveDraws(Ui);
    Ws = std::make_unique<TWorkspace>(Dir.Path(), Ui);
    Ws->Open();
  }
};

TViewData& Data() {
  static TViewData data;
  return data;
}

void BM_StatView(benchmark::State& state, int method) {
  TWorkspace& ws = *Data().Ws;
  gui::TStatModel model;
  for (auto _ : state) {
    model.SetRows(ws.StatRecalculate(method, 1000, false));
    benchmark::DoNotOptimize(model.rowCount());
  }
  state.counters["rows"] = model.rowCount();
}

int LongestList() {
  TWorkspace& ws = *Data().Ws;
  int best = 0;
  size_t rows = 0;
  for (int i = 0; i < ws.Stats().Count(); ++i) {
    const size_t n = ws.StatRecalculate(i, 1000, false).Rows.size();
    if (n > rows) rows = n, best = i;
  }
  return best;
}

void BM_StatSort(benchmark::State& state, int column) {
  static const int method = LongestList();
  static gui::TStatModel model;
  if (model.rowCount() == 0) model.SetRows(Data().Ws->StatRecalculate(method, 1000, false));
  bool descending = false;
  for (auto _ : state) {
    descending = !descending;
    model.sort(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
  }
  state.counters["rows"] = model.rowCount();
  state.SetLabel(Data().Ws->Stats().Items(method).Code());
}

const bool Registered = [] {
  TWorkspace& ws = *Data().Ws;
  for (int i = 0; i < ws.Stats().Count(); ++i)
    benchmark::RegisterBenchmark(("BM_StatView/" + ws.Stats().Items(i).Code()).c_str(), BM_StatView, i)
        ->Unit(benchmark::kMillisecond);
  for (int c = 0; c < StatColumnCount; ++c)
    benchmark::RegisterBenchmark(("BM_StatSort/" + std::to_string(c)).c_str(), BM_StatSort, c)
        ->Unit(benchmark::kMillisecond);
  return true;
}();

}  // namespace
}  // namespace vexa

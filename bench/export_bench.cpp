// Export speed: the full combinations list (8 145 060 rows over several
// sheets) and a 1500-draw archive; peak memory from getrusage.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <filesystem>

#include "core/user_interface.h"
#include "workspace/workspace.h"

namespace vexa {
namespace {

double PeakMiB() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_maxrss) / 1024.0;
}

std::filesystem::path Folder(const char* name) {
  auto dir = std::filesystem::temp_directory_path() / name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

void BM_ExportDraws1500(benchmark::State& state) {
  const auto dir = Folder("vexa_export_bench_draws");
  TSilentUserInterface ui;
  TWorkspace ws(dir, ui);
  ws.Open();
  ws.DrawsDemo(1500, 7, true);
  const TExportTable table = ws.ExportDrawsTable();
  const TExportParams params = InitialExportParams(table);
  for (auto _ : state) benchmark::DoNotOptimize(ws.ExportToXlsx(table, params, dir / "draws.xlsx"));
  state.counters["peak_MiB"] = PeakMiB();
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ExportDraws1500)->Unit(benchmark::kMillisecond);

void BM_ExportAllCombs(benchmark::State& state) {
  const auto dir = Folder("vexa_export_bench_combs");
  TSilentUserInterface ui;
  TWorkspace ws(dir, ui);
  ws.Open();
  ws.CombsInit();
  const double before = PeakMiB();
  const TExportTable table = ws.ExportCombsTable();
  const TExportParams params = InitialExportParams(table);
  int64_t rows = 0;
  for (auto _ : state) rows = ws.ExportToXlsx(table, params, dir / "combs.xlsx").Rows;
  state.counters["rows"] = static_cast<double>(rows);
  state.counters["peak_MiB_before"] = before;
  state.counters["peak_MiB"] = PeakMiB();
  state.counters["file_MiB"] = static_cast<double>(std::filesystem::file_size(dir / "combs.xlsx")) / 1048576.0;
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ExportAllCombs)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
}  // namespace vexa

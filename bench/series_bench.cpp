// The serial and period methods over the full set of combinations, with the
// cases of method_bench.h. Neither family takes part in the full-set
// comparison, so there is no full-set case:
//   build/bench/series_bench --benchmark_filter=BM_Matches/PRDV
#include <benchmark/benchmark.h>

#include "acquire/demo_draws.h"
#include "method_bench.h"

namespace vexa {
namespace {

constexpr const char* Codes[] = {"GRPV", "GRPP", "GRCV", "GRCP", "GRSV", "GRSP", "PRDV", "PRDC", "PRDG"};

const bool Registered = [] {
  static TDrawsArray draws = GenerateDemoDraws(1000, 7);
  static TStatList list{draws};
  // Nine segments of five numbers, so that the segment methods have more than one item.
  for (size_t n = 0; n < list.Config.MatrixSegments.size(); ++n)
    list.Config.MatrixSegments[n] = static_cast<uint8_t>(n / 5 + 1);
  list.RegisterAll();
  for (const char* code : Codes) bench::RegisterMethod(list, code);
  return true;
}();

}  // namespace
}  // namespace vexa

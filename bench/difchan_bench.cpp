// The difference and channel methods over the full set of combinations,
// with the cases of method_bench.h:
//   build/bench/difchan_bench --benchmark_filter=BM_Matches/KCM4
#include <benchmark/benchmark.h>

#include "acquire/demo_draws.h"
#include "method_bench.h"

namespace vexa {
namespace {

constexpr const char* Codes[] = {"DIFA", "DIFM", "DIFD", "DIFO", "DIFK", "KDS2", "KDS3", "KDS4", "CHAN",
                                 "CHNV", "CHNC", "KCM2", "KCM3", "KCM4", "KCS2", "KCS3", "KCS4", "CHN1",
                                 "CHN5", "CHN9"};

const bool Registered = [] {
  static TDrawsArray draws = GenerateDemoDraws(1000, 7);
  static TStatList list{draws};
  list.RegisterAll();
  for (const char* code : Codes) bench::RegisterMethod(list, code);
  return true;
}();

}  // namespace
}  // namespace vexa

// The chain methods over the full set of combinations, with the cases of
// method_bench.h. Chains are rare events, so the selection comes from the
// last 500 draws; the methods are kind D and have no full-set file:
//   build/bench/chain_bench --benchmark_filter=BM_Matches/SDV2
#include <benchmark/benchmark.h>

#include <string>

#include "acquire/demo_draws.h"
#include "core/settings.h"
#include "method_bench.h"

namespace vexa {
namespace {

// One or two of each branch: numbers, channels, channel counts, inside
// channels, segments, segment counts.
constexpr const char* Codes[] = {"SDV2", "SDP2", "SDN3", "SDP3", "SDM3", "SCV2", "SCP2", "SCN3", "SCP3",
                                 "SCM3", "SC2C3", "SC3C3", "SDA2", "SDG2", "SDZ2", "SDC2", "SSV2", "SSP2",
                                 "SSN3", "SSP3", "SSM3", "SS2C3", "SS3C3"};

const bool Registered = [] {
  static TDrawsArray draws = GenerateDemoDraws(1000, 7);
  static TStatList list{draws};
  // Nine segments of five numbers, so that segment 3 exists.
  std::string segments;
  for (char s = '1'; s <= '9'; ++s) segments += std::string(5, s);
  list.Config.MatrixSegments = MatrixSegmentsFromText(segments);
  list.RegisterAll();
  for (const char* code : Codes) bench::RegisterMethod(list, code, {.Suffix = "", .Values = false, .Window = 500});
  return true;
}();

}  // namespace
}  // namespace vexa

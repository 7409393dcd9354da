#include "acquire/demo_draws.h"

#include <algorithm>

#include "core/dates.h"

namespace vexa {
namespace {

// SplitMix64: tiny, and the same everywhere (std distributions are not).
class TSampleRandom {
 public:
  explicit TSampleRandom(uint64_t seed) : State_(seed) {}
  uint64_t Next() {
    uint64_t z = (State_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // Uniform in 1..n, without modulo bias.
  int Number(int n) {
    const uint64_t limit = UINT64_MAX - UINT64_MAX % static_cast<uint64_t>(n);
    uint64_t v = 0;
    do {
      v = Next();
    } while (v >= limit);
    return static_cast<int>(v % static_cast<uint64_t>(n)) + 1;
  }

 private:
  uint64_t State_;
};

}  // namespace

TDrawsArray GenerateDemoDraws(int count, uint64_t seed) {
  TDrawsArray draws(static_cast<size_t>(std::max(count, 0)));
  TSampleRandom random(seed);
  for (size_t i = 0; i < draws.size(); ++i) {
    TDraw& d = draws[i];
    d.Number = static_cast<int32_t>(i + 1);
    TByteArray taken;
    while (taken.size() < MainCount + SuppCount) AddUniqueNum(random.Number(MaxNumber), taken);
    std::copy(taken.begin(), taken.begin() + MainCount, d.Nums.begin());
    std::copy(taken.begin() + MainCount, taken.end(), d.Supp.begin());
  }
  // Dates go backwards from the newest: Wednesday, Saturday, Wednesday ...
  TDateTime date = EncodeDate(2026, 12, 2);
  bool wednesday = true;
  for (size_t k = draws.size(); k-- > 0;) {
    SetDrawDateText(draws[k], EnglishDateToText(date));
    date -= wednesday ? 4 : 3;
    wednesday = !wednesday;
  }
  return draws;
}

}  // namespace vexa

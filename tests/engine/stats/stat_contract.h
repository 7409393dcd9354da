// The filter contract every method keeps, as one walk the contract suite
// runs over every method and a family test runs under its own settings:
// Matches, its prepared form (PrepareValues) and its 64-at-once form
// (MatchWord) give one answer, for keeping and for deleting; where a
// combination has values of its own (no reference draws involved), that
// answer is "one of its values is selected", and a kind N method's
// CalcCombination gives the values it gives the combination as a draw. A
// method that breaks it is named and the walk goes on.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "stats_fixture.h"

namespace vexa::test {

// Debug and sanitizer builds walk a smaller sample.
#if defined(NDEBUG) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
inline constexpr bool QuickContract = false;
#else
inline constexpr bool QuickContract = true;
#endif

using TKeySet = std::set<uint64_t>;

struct TContractWalk {
  size_t SingleKeys = QuickContract ? 2 : 12;       // selections of one value
  size_t MixedSelections = QuickContract ? 1 : 5;   // of several, the first with a value no method has
  size_t MaxSelection = 60;
  uint32_t Seed = 7;
};

inline TComb RandomDistinctComb(std::mt19937& rng, int high = MaxNumber) {
  TByteArray taken;
  while (taken.size() < MainCount) AddUniqueNum(static_cast<int>(rng() % static_cast<unsigned>(high)) + 1, taken);
  TComb c;
  std::copy(taken.begin(), taken.end(), c.begin());
  return c;
}

// Random combinations in drawing order and sorted, the draws around the
// reference draw, and a few that are no proper combination (a file may
// hold them).
inline std::vector<TComb> ContractSample(const TDrawsArray& draws, int reference, size_t randomCombs, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<TComb> s;
  for (size_t k = 0; k < randomCombs; ++k) {
    TComb c = RandomDistinctComb(rng);
    if (k % 2 == 1) SortComb(c);
    s.push_back(c);
  }
  for (int i = std::max(reference - 40, 0); i <= reference + 1 && i < static_cast<int>(draws.size()); ++i)
    s.push_back(draws[static_cast<size_t>(i)].Nums);
  s.push_back({0, 0, 0, 0, 0, 0});
  s.push_back({200, 1, 2, 3, 4, 250});
  s.push_back({46, 47, 48, 49, 50, 51});
  s.push_back({5, 5, 10, 10, 20, 20});
  return s;
}

inline std::string KeyText(uint64_t key) {
  const TStatKey4 k = UnpackKey(key);
  std::ostringstream s;
  s << "(" << k[0] << "," << k[1] << "," << k[2] << "," << k[3] << ")";
  return s.str();
}

inline std::string KeysText(const TKeySet& keys) {
  std::string s;
  for (uint64_t k : keys) s += (s.empty() ? "" : " ") + KeyText(k);
  return s.size() > 120 ? s.substr(0, 120) + "..." : s;
}

inline TStatDrawArray SelectionOf(const TKeySet& keys) {
  TStatDrawArray a;
  for (uint64_t k : keys) {
    TStatDraw d;
    d.Key = UnpackKey(k);
    a.push_back(d);
  }
  return a;
}

inline TKeySet KeysOf(const TStatDrawArray& values) {
  TKeySet s;
  for (const auto& v : values) s.insert(PackKey(v.Key));
  return s;
}

inline std::vector<std::pair<uint64_t, int32_t>> KeysAndHits(const TStatDrawArray& values) {
  std::vector<std::pair<uint64_t, int32_t>> s;
  for (const auto& v : values) s.emplace_back(PackKey(v.Key), v.Hits);
  return s;
}

// The first few breaches of one method, reported together once it is walked.
class TBreaches {
 public:
  explicit TBreaches(std::string who) : Who_(std::move(who)) {}
  ~TBreaches() {
    if (Count_ > 0) ADD_FAILURE() << Who_ << " breaks the contract " << Count_ << " time(s):" << Text_;
  }
  TBreaches(const TBreaches&) = delete;
  TBreaches& operator=(const TBreaches&) = delete;
  void Add(const std::string& what) {
    if (++Count_ <= 4) Text_ += "\n  " + what;
  }

 private:
  std::string Who_;
  std::string Text_;
  int Count_ = 0;
};

// One of the values is selected, except where a method's own rule says otherwise.
inline bool ExpectedMatch(const TStatClass& cls, const TKeySet& own, const TKeySet& selected) {
  const std::string name = cls.ClassName;
  // POE p: a combination has no supplementary numbers, and never matches.
  if (name == "TstPosExt") return false;
  // SUM p: with both of its rows selected, "inside" wins.
  const uint64_t inside = PackKey({1, 0, 0, 0});
  if (name == "TstSumRanges" && selected.count(inside) > 0) return own.count(inside) > 0;
  return std::any_of(own.begin(), own.end(), [&](uint64_t k) { return selected.count(k) > 0; });
}

// Walks the methods of `list` that pick(method) accepts over `sample`, each
// combination read as the draw after draw `reference` of list.Draws().
template <typename Pick>
void ExpectFilterContract(const TStatList& list, const std::vector<TComb>& sample, int reference,
                          const std::string& context, Pick pick, const TContractWalk& walk = {}) {
  // A combination's values of its own: those of an archive that holds it alone.
  TDrawsArray alone{Draw(1, {})};
  TStatList probeList(alone);
  probeList.Config = list.Config;
  probeList.Shredding = list.Shredding;
  probeList.RegisterAll();
  std::mt19937 rng(walk.Seed);

  for (int i = 0; i < list.Count(); ++i) {
    const TStatMethod& method = list.Items(i);
    if (!pick(method)) continue;
    const TStatClass& cls = *method.StatClass;
    TBreaches breaches(method.Code() + " [" + context + "]");

    const bool own = (cls.Kind & (skDraw | skPeriod)) == 0;
    std::vector<TKeySet> values(sample.size());
    if (own) {
      auto stat = list.CreateStat(i);
      auto probe = probeList.CreateStat(probeList.IndexOfCode(method.Code()));
      for (size_t c = 0; c < sample.size(); ++c) {
        alone[0].Nums = sample[c];
        TStatDrawArray asDraw;
        TStatWork work{};
        TLastValueArray seen;
        probe->CalcDraw(0, 0, false, asDraw, work, seen);
        values[c] = KeysOf(asDraw);
        TStatDrawArray calc;
        stat->CalcCombination(sample[c], calc);
        // Kind N: the values, in order and with their hits, of the combination
        // as a draw; any other kind: none.
        const bool same = IsFullSetComputable(cls);
        if (same ? KeysAndHits(calc) != KeysAndHits(asDraw) : !calc.empty())
          breaches.Add("CalcCombination of " + CombToText(sample[c]) + " gives " + KeysText(KeysOf(calc)) +
                       (same ? ", as a draw " + KeysText(values[c]) : ""));
      }
    }

    // The selections: single values, mixtures, and a value no method has.
    std::vector<uint64_t> pool;
    {
      TKeySet seen;
      for (const TKeySet& v : values) seen.insert(v.begin(), v.end());
      auto stat = list.CreateStat(i);
      for (const auto& v : WindowValues(*stat, std::max(reference - 60, 0), reference, false))
        seen.insert(PackKey(v.Key));
      pool.assign(seen.begin(), seen.end());
    }
    std::shuffle(pool.begin(), pool.end(), rng);
    std::vector<TKeySet> selections;
    for (size_t k = 0; k < std::min(walk.SingleKeys, pool.size()); ++k) selections.push_back({pool[k]});
    for (size_t k = 0; k < walk.MixedSelections && !pool.empty(); ++k) {
      TKeySet s;
      const size_t size = std::min<size_t>(2 + k * pool.size() / (2 * walk.MixedSelections), walk.MaxSelection);
      for (size_t j = 0; j < size; ++j) s.insert(pool[rng() % pool.size()]);
      if (k == 0) s.insert(PackKey({-5, 0x7FFF, 0, 9}));
      selections.push_back(s);
    }

    for (bool sorted : {false, true}) {
      for (size_t n = 0; n < selections.size(); ++n) {
        // Sorting moves the reference draws only: a third of the selections tries it.
        if (sorted && n % 3 != 0) continue;
        const TKeySet& keys = selections[n];
        const TStatDrawArray selected = SelectionOf(keys);
        const TStatDrawArray copy = selected;  // equal, but not the prepared list
        auto plain = list.CreateStat(i);
        plain->LoadDraw(-1, reference, sorted);
        auto prepared = list.CreateStat(i);
        prepared->LoadDraw(-1, reference, sorted);
        prepared->PrepareValues(selected);
        const std::string where = std::string(sorted ? " sorted" : "") + " selecting " + KeysText(keys);

        for (bool del : {false, true}) {
          std::vector<bool> answer(sample.size());
          for (size_t c = 0; c < sample.size(); ++c) {
            const TComb& comb = sample[c];
            answer[c] = plain->Matches(comb, selected, reference, sorted, del);
            const std::string at = " for " + CombToText(comb) + where + (del ? " (delete)" : "");
            if (prepared->Matches(comb, selected, reference, sorted, del) != answer[c])
              breaches.Add("prepared Matches differs" + at);
            if (prepared->Matches(comb, copy, reference, sorted, del) != answer[c])
              breaches.Add("Matches of another list after PrepareValues differs" + at);
            if (own && !sorted && ExpectedMatch(cls, values[c], keys) != answer[c])
              breaches.Add(std::string("Matches ") + (answer[c] ? "true" : "false") + " against the values " +
                           KeysText(values[c]) + at);
          }
          for (size_t base = 0; base < sample.size(); base += 64) {
            const size_t m = std::min<size_t>(64, sample.size() - base);
            for (const TCustomStat* stat : {plain.get(), prepared.get()}) {
              const uint64_t word = stat->MatchWord(sample.data() + base, m, selected, reference, sorted, del);
              for (size_t j = 0; j < m; ++j)
                if (((word >> j) & 1u) != static_cast<uint64_t>(answer[base + j] != del))
                  breaches.Add(std::string(stat == plain.get() ? "" : "prepared ") + "MatchWord differs for " +
                               CombToText(sample[base + j]) + where + (del ? " (delete)" : ""));
            }
          }
        }
      }
    }
  }
}

}  // namespace vexa::test

// The contract every registered method keeps, walked over every method under
// several settings: the filter test (Matches), its 64-at-once form
// (MatchWord) and its prepared form (PrepareValues) give one answer, for
// keeping and for deleting; that answer is "one of the combination's values
// is selected" where the method's values of a combination can be computed;
// value texts read back. A method that breaks it is named and the walk
// goes on.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "acquire/demo_draws.h"
#include "stats_fixture.h"

namespace vexa {
namespace {

// Debug and sanitizer builds walk a smaller sample.
#if defined(NDEBUG) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
constexpr bool Quick = false;
#else
constexpr bool Quick = true;
#endif
constexpr size_t RandomCombs = Quick ? 160 : 1000;
constexpr size_t SingleKeys = Quick ? 4 : 12;
constexpr size_t MixedSelections = Quick ? 2 : 5;
constexpr size_t MaxSelection = 60;
constexpr int ArchiveSize = 160;
constexpr int Reference = 149;  // the filter's draw L: later draws exist, as with a draws offset

using TKeySet = std::set<uint64_t>;

struct TVariant {
  const char* Name;
  int ChannelSize;
  int MatrixCols;
  std::string Segments;
};

// Numbers 1..45 in segments 0..3, unevenly.
std::string SegmentsZeroToThree() {
  std::string s;
  for (int n = 1; n <= MaxNumber; ++n) s += static_cast<char>('0' + (n * 7 / 5) % 4);
  return s;
}

void PrintTo(const TVariant& v, std::ostream* os) { *os << v.Name; }

const TVariant Variants[] = {
    {"Default", 5, 5, ""},
    {"Channels7Cols9Segments0to3", 7, 9, SegmentsZeroToThree()},
    {"OneColumn", 5, 1, ""},
};

void Configure(TStatList& list, const TVariant& v) {
  list.Config.ChannelSize = v.ChannelSize;
  list.Config.MatrixCols = v.MatrixCols;
  list.Config.MatrixSegments = MatrixSegmentsFromText(v.Segments);
  list.RegisterAll();
}

TComb RandomComb(std::mt19937& rng) {
  TByteArray taken;
  while (taken.size() < MainCount) AddUniqueNum(static_cast<int>(rng() % MaxNumber) + 1, taken);
  TComb c;
  std::copy(taken.begin(), taken.end(), c.begin());
  return c;
}

// Random combinations in drawing order and sorted, the archive's own draws,
// and a few that are no proper combination at all (a file may hold them).
std::vector<TComb> Sample(const TDrawsArray& draws, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<TComb> s;
  for (size_t k = 0; k < RandomCombs; ++k) {
    TComb c = RandomComb(rng);
    if (k % 2 == 1) SortComb(c);
    s.push_back(c);
  }
  for (int i = Reference - 40; i <= Reference + 1; ++i) s.push_back(draws[static_cast<size_t>(i)].Nums);
  s.push_back({0, 0, 0, 0, 0, 0});
  s.push_back({200, 1, 2, 3, 4, 250});
  s.push_back({46, 47, 48, 49, 50, 51});
  s.push_back({5, 5, 10, 10, 20, 20});
  return s;
}

std::string KeyText(uint64_t key) {
  const TStatKey4 k = UnpackKey(key);
  std::ostringstream s;
  s << "(" << k[0] << "," << k[1] << "," << k[2] << "," << k[3] << ")";
  return s.str();
}

std::string SelectionText(const TKeySet& keys) {
  std::string s;
  for (uint64_t k : keys) s += (s.empty() ? "" : " ") + KeyText(k);
  return s.size() > 120 ? s.substr(0, 120) + "..." : s;
}

TStatDrawArray SelectionOf(const TKeySet& keys) {
  TStatDrawArray a;
  for (uint64_t k : keys) {
    TStatDraw d;
    d.Key = UnpackKey(k);
    a.push_back(d);
  }
  return a;
}

TKeySet KeysOf(const TStatDrawArray& values) {
  TKeySet s;
  for (const auto& v : values) s.insert(PackKey(v.Key));
  return s;
}

std::vector<std::pair<uint64_t, int32_t>> KeysAndHits(const TStatDrawArray& values) {
  std::vector<std::pair<uint64_t, int32_t>> s;
  for (const auto& v : values) s.emplace_back(PackKey(v.Key), v.Hits);
  return s;
}

// The first few breaches of one method, reported together once it is walked.
class TBreaches {
 public:
  explicit TBreaches(std::string code) : Code_(std::move(code)) {}
  ~TBreaches() {
    if (Count_ > 0) ADD_FAILURE() << Code_ << " breaks the contract " << Count_ << " time(s):" << Text_;
  }
  void Add(const std::string& what) {
    if (++Count_ <= 4) Text_ += "\n  " + what;
  }
  bool Any() const { return Count_ > 0; }

 private:
  std::string Code_;
  std::string Text_;
  int Count_ = 0;
};

class StatContract : public ::testing::TestWithParam<TVariant> {
 protected:
  void SetUp() override {
    draws = GenerateDemoDraws(ArchiveSize, 11);
    Configure(list, GetParam());
    Configure(probeList, GetParam());
    sample = Sample(draws, 5);
  }

  // The values of c as an archive draw of its own, or nothing where a
  // method's values depend on the draws around it.
  bool HasOwnValues(const TStatClass& cls) const { return (cls.Kind & (skDraw | skPeriod)) == 0; }
  TStatDrawArray OwnValues(TCustomStat& probe, const TComb& c) {
    probeDraws[0].Nums = c;
    TStatDrawArray own;
    TStatWork work{};
    TLastValueArray seen;
    probe.CalcDraw(0, 0, false, own, work, seen);
    return own;
  }

  TDrawsArray draws;
  TStatList list{draws};
  TDrawsArray probeDraws{test::Draw(1, {})};
  TStatList probeList{probeDraws};
  std::vector<TComb> sample;
};

// One of the values is selected, except where a method's own rule says otherwise.
// SUM p: with both of its rows selected, "inside" wins.
bool ExpectedMatch(const TStatClass& cls, const TKeySet& own, const TKeySet& selected) {
  // POE p: a combination has no supplementary numbers, and never matches.
  if (std::string(cls.ClassName) == "TstPosExt") return false;
  if (std::string(cls.ClassName) == "TstSumRanges" && selected.count(PackKey({1, 0, 0, 0})) > 0)
    return own.count(PackKey({1, 0, 0, 0})) > 0;
  return std::any_of(own.begin(), own.end(), [&](uint64_t k) { return selected.count(k) > 0; });
}

TEST_P(StatContract, FilterFormsAgreeWithTheValuesOfACombination) {
  std::mt19937 rng(7);
  for (int i = 0; i < list.Count(); ++i) {
    const TStatClass& cls = *list.Items(i).StatClass;
    const std::string code = list.Items(i).Code();
    TBreaches breaches(code + " [" + GetParam().Name + "]");

    // The values each combination has, where it has its own.
    const bool own = HasOwnValues(cls);
    std::vector<TKeySet> values(sample.size());
    if (own) {
      auto stat = list.CreateStat(i);
      auto probe = probeList.CreateStat(i);
      for (size_t c = 0; c < sample.size(); ++c) {
        const TStatDrawArray asDraw = OwnValues(*probe, sample[c]);
        values[c] = KeysOf(asDraw);
        TStatDrawArray calc;
        stat->CalcCombination(sample[c], calc);
        // A kind N method gives a combination the values, in order and with
        // their hits, that it gives a draw; the others give a combination none.
        const bool same = IsFullSetComputable(cls);
        if (same ? KeysAndHits(calc) != KeysAndHits(asDraw) : !calc.empty())
          breaches.Add("CalcCombination of " + CombToText(sample[c]) + " gives " + SelectionText(KeysOf(calc)) +
                       (same ? ", as a draw " + SelectionText(values[c]) : ""));
      }
    }

    // The selections: single values, mixtures, and a value no method has.
    std::vector<uint64_t> pool;
    {
      TKeySet seen;
      for (const TKeySet& v : values) seen.insert(v.begin(), v.end());
      auto stat = list.CreateStat(i);
      for (const auto& v : test::WindowValues(*stat, Reference - 60, Reference, false)) seen.insert(PackKey(v.Key));
      pool.assign(seen.begin(), seen.end());
    }
    std::shuffle(pool.begin(), pool.end(), rng);
    std::vector<TKeySet> selections;
    for (size_t k = 0; k < std::min(SingleKeys, pool.size()); ++k) selections.push_back({pool[k]});
    for (size_t k = 0; k < MixedSelections && !pool.empty(); ++k) {
      TKeySet s;
      const size_t size = std::min<size_t>(2 + k * pool.size() / (2 * MixedSelections), MaxSelection);
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
        plain->LoadDraw(-1, Reference, sorted);
        auto prepared = list.CreateStat(i);
        prepared->LoadDraw(-1, Reference, sorted);
        prepared->PrepareValues(selected);
        const std::string where = std::string(sorted ? " sorted" : "") + " selecting " + SelectionText(keys);

        for (bool del : {false, true}) {
          std::vector<bool> answer(sample.size());
          for (size_t c = 0; c < sample.size(); ++c) {
            const TComb& comb = sample[c];
            answer[c] = plain->Matches(comb, selected, Reference, sorted, del);
            const std::string at = " for " + CombToText(comb) + where + (del ? " (delete)" : "");
            if (prepared->Matches(comb, selected, Reference, sorted, del) != answer[c])
              breaches.Add("prepared Matches differs" + at);
            if (prepared->Matches(comb, copy, Reference, sorted, del) != answer[c])
              breaches.Add("Matches of another list after PrepareValues differs" + at);
            if (own && !sorted && ExpectedMatch(cls, values[c], keys) != answer[c])
              breaches.Add(std::string("Matches ") + (answer[c] ? "true" : "false") + " against the values " +
                           SelectionText(values[c]) + at);
          }
          for (size_t base = 0; base < sample.size(); base += 64) {
            const size_t m = std::min<size_t>(64, sample.size() - base);
            for (const auto* stat : {plain.get(), prepared.get()}) {
              const uint64_t word = stat->MatchWord(sample.data() + base, m, selected, Reference, sorted, del);
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

TEST_P(StatContract, WindowValuesAreUniqueAndWellFormed) {
  for (int i = 0; i < list.Count(); ++i) {
    const std::string code = list.Items(i).Code();
    TBreaches breaches(code + " [" + GetParam().Name + "]");
    for (bool sorted : {false, true}) {
      auto stat = list.CreateStat(i);
      TKeySet keys;
      for (const auto& v : test::WindowValues(*stat, Reference - 99, Reference, sorted)) {
        const std::string at = " " + KeyText(PackKey(v.Key)) + (sorted ? " sorted" : "");
        if (!keys.insert(PackKey(v.Key)).second) breaches.Add("lists a value twice:" + at);
        if (v.Hits < 0 || v.Age < 0 || v.Age > 100 || v.MinGap > v.MaxGap)
          breaches.Add("counters out of range:" + at);
      }
    }
  }
}

TEST_P(StatContract, GraphOfADrawIsTheGraphOfItsNumbers) {
  for (int i = 0; i < list.Count(); ++i) {
    if (!list.HasGraph(i)) continue;
    TBreaches breaches(list.Items(i).Code() + " [" + GetParam().Name + "]");
    auto stat = list.CreateStat(i);
    for (int d : {0, 50, Reference}) {
      for (bool sorted : {false, true}) {
        TDraw draw = draws[static_cast<size_t>(d)];
        if (sorted) SortDrawNums(draw);
        if (stat->GraphValueOfDraw(d, Reference, sorted) != stat->GraphValue(draw.Nums, d, Reference, sorted))
          breaches.Add("draw " + std::to_string(d) + (sorted ? " sorted" : ""));
      }
    }
  }
}

TEST_P(StatContract, ValueTextsReadBack) {
  for (int i = 0; i < list.Count(); ++i) {
    const TStatClass& cls = *list.Items(i).StatClass;
    const std::string code = list.Items(i).Code();
    TBreaches breaches(code + " [" + GetParam().Name + "]");
    auto stat = list.CreateStat(i);
    TStatDrawArray values = test::WindowValues(*stat, Reference - 60, Reference, false);
    for (const TComb& c : sample) stat->CalcCombination(c, values);
    for (const auto& v : values) {
      const std::string text = stat->ValueToText(v);
      if (text.empty()) breaches.Add("no text for " + KeyText(PackKey(v.Key)));
      // A typed value is one 32-bit integer; wider keys are picked from the list only.
      if (!cls.AcceptsValueList || Key32(v.Key, 2) != 0) continue;
      if (stat->TextToValue(text) != Key32(v.Key))
        breaches.Add("\"" + text + "\" reads back as " + std::to_string(stat->TextToValue(text)) + ", not " +
                     std::to_string(Key32(v.Key)));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Settings, StatContract, ::testing::ValuesIn(Variants),
                         [](const ::testing::TestParamInfo<TVariant>& p) { return std::string(p.param.Name); });

// A few methods over every combination (every 97th in a quick build): the
// prepared filter of a mixed selection against the values of each.
TEST(StatContractWholeSet, PreparedMatchWordAgreesWithTheValues) {
  const TDrawsArray draws = GenerateDemoDraws(ArchiveSize, 3);
  TStatList list{draws};
  Configure(list, Variants[1]);
  const size_t step = Quick ? 97 : 1;
  for (const char* code : {"CHNV", "COLV", "SGMV", "DIFD"}) {
    const int i = list.IndexOfCode(code);
    ASSERT_GE(i, 0) << code;
    TBreaches breaches(code);
    auto stat = list.CreateStat(i);
    // The values of the window, every third one selected.
    TKeySet keys;
    const TStatDrawArray window = test::WindowValues(*stat, 0, ArchiveSize - 1, false);
    for (size_t k = 0; k < window.size(); k += 3) keys.insert(PackKey(window[k].Key));
    const TStatDrawArray selected = SelectionOf(keys);
    stat->LoadDraw(-1, ArchiveSize - 1, false);
    stat->PrepareValues(selected);

    std::vector<TComb> block;
    TStatDrawArray own;
    size_t index = 0;
    size_t kept = 0;
    const auto check = [&] {
      for (bool del : {false, true}) {
        const uint64_t word = stat->MatchWord(block.data(), block.size(), selected, ArchiveSize - 1, false, del);
        for (size_t j = 0; j < block.size(); ++j) {
          own.clear();
          stat->CalcCombination(block[j], own);
          const bool has = std::any_of(own.begin(), own.end(), [&](const TStatDraw& v) {
            return keys.count(PackKey(v.Key)) > 0;
          });
          kept += !del && has;
          if (((word >> j) & 1u) != static_cast<uint64_t>(has != del))
            breaches.Add("MatchWord differs for " + CombToText(block[j]) + (del ? " (delete)" : ""));
        }
      }
      block.clear();
    };
    for (uint8_t a = 1; a <= 40; ++a)
      for (uint8_t b = a + 1; b <= 41; ++b)
        for (uint8_t c = b + 1; c <= 42; ++c)
          for (uint8_t d = c + 1; d <= 43; ++d)
            for (uint8_t e = d + 1; e <= 44; ++e)
              for (uint8_t f = e + 1; f <= 45; ++f) {
                if (index++ % step != 0) continue;
                block.push_back({a, b, c, d, e, f});
                if (block.size() == 64) check();
              }
    if (!block.empty()) check();
    EXPECT_GT(kept, 0u) << code;
  }
}

TEST(StatContractWalk, EverySettingsVariantRegistersItsOwnMethods) {
  // The variants differ where they should: more channels, other columns, segments 0..3.
  TDrawsArray draws;
  TStatList list{draws};
  std::map<std::string, int> counts;
  for (const TVariant& v : Variants) {
    Configure(list, v);
    counts[v.Name] = list.Count();
  }
  Configure(list, Variants[1]);
  EXPECT_GE(list.IndexOfCode("SGM0"), 0);
  EXPECT_GE(list.IndexOfCode("SGM3"), 0);
  EXPECT_LT(list.IndexOfCode("SGM4"), 0);
  EXPECT_GE(list.IndexOfCode("COL9"), 0);
  EXPECT_GE(list.IndexOfCode("CHN7"), 0);
  Configure(list, Variants[2]);
  EXPECT_GE(list.IndexOfCode("ROW45"), 0);
  EXPECT_LT(list.IndexOfCode("COL2"), 0);
  EXPECT_NE(counts["Default"], counts["OneColumn"]);
}

}  // namespace
}  // namespace vexa

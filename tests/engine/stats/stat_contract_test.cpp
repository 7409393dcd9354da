// The contract every registered method keeps, walked over every method under
// three settings: the default, ChannelSize 7 with MatrixCols 9 and segments
// 0..3, and a matrix of one column. The filter forms agree with one another
// and with the values of each combination (stat_contract.h); value texts
// read back; window values are well formed; a draw's graph is that of its
// numbers. A method that breaks the contract is named and the walk goes on.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "acquire/demo_draws.h"
#include "stat_contract.h"
#include "stats_fixture.h"

namespace vexa {
namespace {

using test::KeyText;
using test::KeysOf;
using test::QuickContract;
using test::TBreaches;
using test::TKeySet;

constexpr size_t RandomCombs = QuickContract ? 160 : 1000;
constexpr int ArchiveSize = 160;
constexpr int Reference = 149;  // the filter's draw L: later draws exist, as with a draws offset

struct TVariant {
  const char* Name;
  int ChannelSize;
  int MatrixCols;
  std::string Segments;
};

void PrintTo(const TVariant& v, std::ostream* os) { *os << v.Name; }

// Numbers 1..45 in segments 0..3, unevenly.
std::string SegmentsZeroToThree() {
  std::string s;
  for (int n = 1; n <= MaxNumber; ++n) s += static_cast<char>('0' + (n * 7 / 5) % 4);
  return s;
}

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

class StatContract : public ::testing::TestWithParam<TVariant> {
 protected:
  void SetUp() override {
    draws = GenerateDemoDraws(ArchiveSize, 11);
    Configure(list, GetParam());
    sample = test::ContractSample(draws, Reference, RandomCombs, 5);
  }

  TDrawsArray draws;
  TStatList list{draws};
  std::vector<TComb> sample;
};

TEST_P(StatContract, FilterFormsAgreeWithTheValuesOfACombination) {
  test::ExpectFilterContract(list, sample, Reference, GetParam().Name, [](const TStatMethod&) { return true; });
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
  const size_t step = QuickContract ? 97 : 1;
  for (const char* code : {"CHNV", "COLV", "SGMV", "DIFD"}) {
    const int i = list.IndexOfCode(code);
    ASSERT_GE(i, 0) << code;
    TBreaches breaches(code);
    auto stat = list.CreateStat(i);
    // The values of the window, every third one selected.
    TKeySet keys;
    const TStatDrawArray window = test::WindowValues(*stat, 0, ArchiveSize - 1, false);
    for (size_t k = 0; k < window.size(); k += 3) keys.insert(PackKey(window[k].Key));
    const TStatDrawArray selected = test::SelectionOf(keys);
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

#include "stats/channel_stats.h"

#include <gtest/gtest.h>

#include <vector>

#include "acquire/demo_draws.h"
#include "stat_contract.h"
#include "stats_fixture.h"

namespace vexa {
namespace {

using test::Draw;
using test::FindValue;
using test::Select;
using test::WindowValues;

TStatKey4 Key(int a, int b = 0, int c = 0, int d = 0) {
  return {static_cast<int16_t>(a), static_cast<int16_t>(b), static_cast<int16_t>(c), static_cast<int16_t>(d)};
}

const TStatDraw* FindKey(const TStatDrawArray& values, const TStatKey4& key) {
  for (const auto& e : values)
    if (e.Key == key) return &e;
  return nullptr;
}

TStatDrawArray SelectKeys(std::initializer_list<TStatKey4> keys) {
  TStatDrawArray a;
  for (const auto& k : keys) {
    TStatDraw d;
    d.Key = k;
    a.push_back(d);
  }
  return a;
}

// How many of all ascending combinations the prepared method matches.
int CountAllMatches(TCustomStat& stat, const TStatDrawArray& selected) {
  stat.LoadDraw(-1, 0, true);
  stat.PrepareValues(selected);
  int matched = 0;
  TComb c{};
  for (c[0] = 1; c[0] <= 40; ++c[0])
    for (c[1] = c[0] + 1; c[1] <= 41; ++c[1])
      for (c[2] = c[1] + 1; c[2] <= 42; ++c[2])
        for (c[3] = c[2] + 1; c[3] <= 43; ++c[3])
          for (c[4] = c[3] + 1; c[4] <= 44; ++c[4])
            for (c[5] = c[4] + 1; c[5] <= 45; ++c[5]) matched += stat.Matches(c, selected, 0, true, false);
  return matched;
}

class ChannelStats : public ::testing::Test, public test::TStatsFixture {
 protected:
  void SetChannelSize(int size) {
    list.Config.ChannelSize = size;
    list.RegisterAll();
  }
};

TEST_F(ChannelStats, Descriptors) {
  struct Case {
    const char* code;
    const char* flags;
    bool acceptsList;
    const char* caption;
    const char* help;
  } cases[] = {
      {"CHAN", "N", true, "Каналы", "CHAN"},
      {"CHNV", "N", false, "Количество чисел в канале", "CHNV"},
      {"CHNC", "NG", true, "Количество каналов в тираже", "CHNC"},
      {"KCM2", "S", false, "Сочетания из 2 каналов по всем числам тиража", "KCM2"},
      {"KCM4", "S", false, "Сочетания из 4 каналов по всем числам тиража", "KCM4"},
      {"KCS3", "S", false, "Сочетания из 3 каналов по соседним числам", "KCS3"},
      {"CHN7", "NG", true, "Количество чисел в 7 канале", "CHNx"},
  };
  for (const auto& c : cases) {
    const int i = list.IndexOfCode(c.code);
    ASSERT_GE(i, 0) << c.code;
    const TStatMethod& m = list.Items(i);
    EXPECT_EQ(m.StatClass->Group, 3) << c.code;
    EXPECT_EQ(KindMarks(StatFlags(*m.StatClass)), c.flags) << c.code;
    EXPECT_EQ(m.StatClass->AcceptsValueList, c.acceptsList) << c.code;
    EXPECT_EQ(m.DefaultName(), c.caption) << c.code;
    EXPECT_EQ(HelpTopicFor(*m.StatClass, m.Param), c.help) << c.code;
  }
  EXPECT_EQ(list.IndexOfCode("CHAN"), list.IndexOfCode("DIFK") + 1);
  EXPECT_EQ(list.IndexOfCode("KCM2"), list.IndexOfCode("KDS4") + 1);
  EXPECT_EQ(list.IndexOfCode("CHN1"), list.IndexOfCode("POE2") + 1);
}

TEST_F(ChannelStats, ChannelMethodsFollowChannelSize) {
  struct Case {
    int size;
    int channels;
  } cases[] = {{5, 9}, {7, 7}, {3, 15}, {45, 1}, {0, 0}, {-2, 0}};
  for (const auto& c : cases) {
    SetChannelSize(c.size);
    int low = 0, high = 0;
    ParamRangeOf(TstChnValCntClass, list, low, high);
    EXPECT_EQ(high - low + 1, c.channels) << c.size;
    for (int ch = 1; ch <= c.channels + 1; ++ch)
      EXPECT_EQ(list.IndexOfCode("CHN" + std::to_string(ch)) >= 0, ch <= c.channels) << c.size << " CHN" << ch;
    EXPECT_GE(list.IndexOfCode("CHAN"), 0) << c.size;
    TStatDrawArray v;
    Create("CHAN")->ListAllValues(0, v);
    EXPECT_EQ(v.size(), static_cast<size_t>(c.channels)) << c.size;
  }
}

TEST_F(ChannelStats, ASettingChangeDoesNotReachACreatedMethod) {
  auto chan = Create("CHAN");
  list.Config.ChannelSize = 7;
  TStatDrawArray v;
  chan->ListAllValues(0, v);
  EXPECT_EQ(v.size(), 9u);
  EXPECT_EQ(chan->ValueToText(v.back()), "09 [41-45]");
}

TEST_F(ChannelStats, ChannelTextKeepsTheUpperBoundUncut) {
  struct Case {
    int channel, size;
    const char* text;
  } cases[] = {{1, 5, "01 [1-5]"}, {9, 5, "09 [41-45]"}, {7, 7, "07 [43-49]"}, {15, 3, "15 [43-45]"},
               {1, 45, "01 [1-45]"}};
  for (const auto& c : cases) EXPECT_EQ(ChannelText(c.channel, c.size), c.text);
  EXPECT_EQ(ChannelOf(45, 7), 7);
  EXPECT_EQ(ChannelOf(42, 7), 6);
  EXPECT_EQ(ChannelCountOf(3), 15);
}

// 3 8 9 21 44 45 with ChannelSize 5: channels 1 2 2 5 9 9.
TEST_F(ChannelStats, ValuesOfOneDrawByHand) {
  draws = {Draw(4, {3, 8, 9, 21, 44, 45})};
  struct Case {
    const char* code;
    int32_t value;
    int hits;
    const char* text;
  } cases[] = {
      {"CHAN", 1, 1, "01 [1-5]"}, {"CHAN", 2, 2, "02 [6-10]"}, {"CHAN", 5, 1, "05 [21-25]"},
      {"CHAN", 9, 2, "09 [41-45]"}, {"CHAN", 3, 0, "03 [11-15]"}, {"CHNC", 4, 1, "4"},
      {"CHN2", 2, 1, "2"},        {"CHN9", 2, 1, "2"},         {"CHN1", 1, 1, "1"},
      {"CHN3", 0, 1, "0"},
  };
  for (const auto& c : cases) {
    auto stat = Create(c.code);
    const TStatDrawArray v = WindowValues(*stat, 0, 0, false);
    const TStatDraw* e = FindValue(v, c.value);
    ASSERT_NE(e, nullptr) << c.code << " " << c.value;
    EXPECT_EQ(e->Hits, c.hits) << c.code << " " << c.value;
    EXPECT_EQ(stat->ValueToText(*e), c.text) << c.code;
    EXPECT_EQ(stat->TextToValue(c.text), c.value) << c.code;
    if (stat->HasGraph()) {
      EXPECT_EQ(stat->GraphValueOfDraw(0, 0, false), c.value) << c.code;
    }
  }

  auto chnv = Create("CHNV");
  TStatDrawArray pairs;
  chnv->CalcCombination({3, 8, 9, 21, 44, 45}, pairs);
  const TStatKey4 expected[] = {Key(1, 1), Key(2, 2), Key(3, 0), Key(4, 0), Key(5, 1),
                                Key(6, 0), Key(7, 0), Key(8, 0), Key(9, 2)};
  ASSERT_EQ(pairs.size(), std::size(expected));
  for (size_t i = 0; i < pairs.size(); ++i) {
    EXPECT_EQ(pairs[i].Key, expected[i]) << i;
    EXPECT_EQ(pairs[i].Hits, 1);
  }
  EXPECT_EQ(chnv->ValueToText(pairs[1]), "02 [6-10] x 2");

  auto kcs3 = Create("KCS3");
  const TStatDrawArray runs = WindowValues(*kcs3, 0, 0, false);
  ASSERT_EQ(runs.size(), 4u);
  EXPECT_EQ(runs[0].Key, Key(1, 2, 2));
  EXPECT_EQ(runs[1].Key, Key(2, 2, 5));
  EXPECT_EQ(runs[2].Key, Key(2, 5, 9));
  EXPECT_EQ(runs[3].Key, Key(5, 9, 9));
  EXPECT_EQ(kcs3->ValueToText(runs[2]), "2:5:9");

  // All 15 quadruples of positions: 1 2 2 5 9 9 gives (2, 2, 9, 9) once, (1, 2, 5, 9) four times.
  const TStatDrawArray quads = WindowValues(*Create("KCM4"), 0, 0, false);
  int total = 0;
  for (const auto& e : quads) total += e.Hits;
  EXPECT_EQ(total, 15);
  EXPECT_EQ(quads.front().Key, Key(1, 2, 2, 5));
  EXPECT_EQ(FindKey(quads, Key(2, 2, 9, 9))->Hits, 1);
  EXPECT_EQ(FindKey(quads, Key(1, 2, 5, 9))->Hits, 4);
}

TEST_F(ChannelStats, TuplesOfOneChannel) {
  draws = {Draw(1, {1, 2, 3, 4, 5, 6})};
  const TStatDrawArray seq = WindowValues(*Create("KCS2"), 0, 0, false);
  ASSERT_EQ(seq.size(), 2u);
  EXPECT_EQ(seq[0].Key, Key(1, 1));
  EXPECT_EQ(seq[0].Hits, 4);
  EXPECT_EQ(seq[1].Key, Key(1, 2));
  EXPECT_EQ(seq[1].Hits, 1);

  const TStatDrawArray mix = WindowValues(*Create("KCM2"), 0, 0, false);
  ASSERT_EQ(mix.size(), 2u);
  EXPECT_EQ(mix[0].Hits, 10);
  EXPECT_EQ(mix[1].Hits, 5);

  for (const char* code : {"KCM2", "KCM3", "KCM4", "KCS2", "KCS3", "KCS4"}) {
    auto stat = Create(code);
    TStatDrawArray v;
    stat->CalcCombination({1, 2, 3, 4, 5, 6}, v);
    EXPECT_TRUE(v.empty()) << code;
  }
}

TEST_F(ChannelStats, PreListedValues) {
  struct Case {
    int size;
    const char* code;
    size_t listed;
  } cases[] = {
      {5, "CHAN", 9},  {5, "CHNV", 9 * 6}, {5, "CHNC", 5}, {5, "CHN4", 5}, {5, "KCM2", 0},
      {3, "CHNV", 15 * 4}, {3, "CHNC", 3}, {9, "CHNV", 5 * 7}, {9, "CHNC", 6}, {9, "CHN2", 9},
  };
  for (const auto& c : cases) {
    SetChannelSize(c.size);
    TStatDrawArray v;
    Create(c.code)->ListAllValues(0, v);
    EXPECT_EQ(v.size(), c.listed) << c.code << " " << c.size;
    for (const auto& e : v) EXPECT_EQ(e.Hits, 0);
  }
  SetChannelSize(5);
  TStatDrawArray v;
  Create("CHNV")->ListAllValues(0, v);
  EXPECT_EQ(v[0].Key, Key(1, 0));
  EXPECT_EQ(v[5].Key, Key(1, 5));
  EXPECT_EQ(v[6].Key, Key(2, 0));

  // Six channels among the six numbers: not pre-listed, it gets its row when it occurs.
  draws = {Draw(1, {1, 6, 11, 16, 21, 26})};
  const TStatDrawArray count = WindowValues(*Create("CHNC"), 0, 0, false);
  ASSERT_EQ(count.size(), 6u);
  EXPECT_EQ(count.back().Key, Key(6));
  EXPECT_EQ(count.back().Hits, 1);
}

TEST_F(ChannelStats, ChannelTextReadsTheFirstWord) {
  auto chan = Create("CHAN");
  struct Case {
    const char* text;
    int32_t value;
  } cases[] = {{"01 [1-5]", 1}, {"12 [56-60]", 12}, {"7", 7}, {"  03 [11-15]", 3}, {"", 0}, {"[1-5]", 0}};
  for (const auto& c : cases) EXPECT_EQ(chan->TextToValue(c.text), c.value) << c.text;
}

TEST_F(ChannelStats, ChanValuesSelectExactCounts) {
  auto chnv = Create("CHNV");
  // C(5,2)·C(40,4): two numbers of 1..5; C(40,6): none of 11..15.
  EXPECT_EQ(CountAllMatches(*chnv, SelectKeys({Key(1, 2)})), 913900);
  EXPECT_EQ(CountAllMatches(*chnv, SelectKeys({Key(3, 0)})), 3838380);
  // Either: minus both, C(5,2)·C(35,4).
  EXPECT_EQ(CountAllMatches(*chnv, SelectKeys({Key(1, 2), Key(3, 0)})), 913900 + 3838380 - 523600);
}

TEST_F(ChannelStats, ChannelTestReadsTheLowByteOfKey0) {
  // 0x0102: low byte 2, channel 2 (6..10).
  const TStatDrawArray selected = SelectKeys({Key(0x0102, 7)});
  auto chan = Create("CHAN");
  chan->LoadDraw(-1, 0, false);
  for (bool prepare : {false, true}) {
    if (prepare) chan->PrepareValues(selected);
    EXPECT_TRUE(chan->Matches({1, 8, 20, 30, 40, 45}, selected, 0, false, false)) << prepare;
    EXPECT_FALSE(chan->Matches({1, 11, 20, 30, 40, 45}, selected, 0, false, false)) << prepare;
  }
  EXPECT_EQ(CountAllMatches(*chan, Select({2})), 8145060 - 3838380);
}

// Every method, prepared or not, against the values of the combination
// taken as a draw in its own order, for several channel widths.
// The contract suite walks channels of 5 and 7; these are the narrowest
// channels and one channel holding every number.
TEST_F(ChannelStats, FilterContractUnderOtherChannelSizes) {
  draws = GenerateDemoDraws(80, 31);
  const auto sample = test::ContractSample(draws, 79, test::QuickContract ? 60 : 300, 31);
  for (int size : {3, 45}) {
    SetChannelSize(size);
    test::ExpectFilterContract(list, sample, 79, "size " + std::to_string(size),
                               [](const TStatMethod& m) { return m.StatClass->Group == 3; });
  }
}

// A combination's values go straight into an empty list; they must be what
// merging them one by one gives.
TEST_F(ChannelStats, ValuesOfACombinationAsMerged) {
  const TComb combs[] = {{1, 2, 3, 4, 5, 6},   {3, 8, 9, 21, 44, 45}, {45, 1, 20, 30, 2, 10},
                          {3, 6, 9, 12, 20, 21}, {10, 5, 10, 5, 10, 5}, {0, 0, 7, 200, 46, 9}};
  TStatDraw sentinel;
  sentinel.Key = Key(0x7FFF, 0x7FFF, 0x7FFF, 0x7FFF);
  for (const char* code : {"CHAN", "CHNV", "CHNC", "CHN1", "CHN4"}) {
    auto stat = Create(code);
    for (const TComb& c : combs) {
      TStatDrawArray direct;
      stat->CalcCombination(c, direct);
      TStatDrawArray merged = {sentinel};
      stat->CalcCombination(c, merged);
      merged.erase(merged.begin());
      EXPECT_EQ(direct, merged) << code << " " << CombToText(c);
      int hits = 0;
      for (const auto& e : direct) hits += e.Hits;
      EXPECT_GE(hits, 1) << code;
    }
  }
}

}  // namespace
}  // namespace vexa

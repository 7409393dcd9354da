#include "stats/chain_stats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "acquire/demo_draws.h"
#include "core/settings.h"
#include "stat_contract.h"
#include "stats_fixture.h"

namespace vexa {
namespace {

using test::Draw;
using test::WindowValues;

// "text", with "=hits" when the value was not seen exactly once.
std::vector<std::string> Rows(const TCustomStat& stat, const TStatDrawArray& values) {
  std::vector<std::string> rows;
  for (const auto& v : values)
    rows.push_back(stat.ValueToText(v) + (v.Hits == 1 ? "" : "=" + std::to_string(v.Hits)));
  return rows;
}

TStatDrawArray Keys(std::initializer_list<TStatKey4> keys) {
  TStatDrawArray a;
  for (const TStatKey4& k : keys) {
    TStatDraw d;
    d.Key = k;
    a.push_back(d);
  }
  return a;
}

// Numbers 1..5 in segment 1, 6..10 in segment 2, .., 41..45 in segment 9.
std::string NineBlocks() {
  std::string s;
  for (char d = '1'; d <= '9'; ++d) s += std::string(5, d);
  return s;
}

class ChainStats : public ::testing::Test, public test::TStatsFixture {
 protected:
  // Draws numbered 101, 102, .. oldest first.
  void Archive(std::initializer_list<TComb> nums) {
    draws.clear();
    for (const TComb& n : nums) draws.push_back(Draw(101 + static_cast<int>(draws.size()), n));
  }

  // What CalcDraw of draw `index` alone adds, the window ending at `last`.
  std::vector<std::string> DrawRows(const std::string& code, int index, int last, bool sorted = false) {
    auto stat = Create(code);
    TStatDrawArray values;
    TStatWork work{};
    TLastValueArray seen;
    stat->CalcDraw(index, last, sorted, values, work, seen);
    return Rows(*stat, values);
  }

  std::vector<std::string> WindowRows(const std::string& code, int first, int last, bool sorted = false) {
    auto stat = Create(code);
    return Rows(*stat, WindowValues(*stat, first, last, sorted));
  }

  // The codes of group 10 in registration order.
  std::vector<std::string> ChainCodes() const {
    std::vector<std::string> codes;
    for (int i = 0; i < list.Count(); ++i)
      if (list.Items(i).StatClass->Group == 10) codes.push_back(list.Items(i).Code());
    return codes;
  }

  static bool ThreeItems(const TStatMethod& m) {
    return std::string(m.StatClass->Caption).find("между 3 тиражами") != std::string::npos;
  }
};

using Strings = std::vector<std::string>;

// ---- Registry --------------------------------------------------------------------------------

TEST_F(ChainStats, Descriptors) {
  struct TCase {
    const char* Code;
    const char* Caption;
    const char* Flags;
    const char* Topic;
  };
  const TCase cases[] = {
      {"SDV2", "Переходы чисел между 2 тиражами без учета позиции", "D", "SDV2"},
      {"SDP2", "Переходы чисел между 2 тиражами с учетом позиции", "SD", "SDP2"},
      {"SDN3", "Переходы чисел между 2 тиражами в 3 позиции", "SD", "SDNx"},
      {"SDP3", "Переходы чисел между 3 тиражами с учетом позиции", "SD", "SDP3"},
      {"SDM6", "Переходы чисел между 3 тиражами в 6 позиции", "SD", "SDMx"},
      {"SCV2", "Переходы каналов между 2 тиражами без учета позиции", "D", "SCV2"},
      {"SCP2", "Переходы каналов между 2 тиражами с учетом позиции", "SD", "SCP2"},
      {"SCN1", "Переходы каналов между 2 тиражами в 1 позиции", "SD", "SCNx"},
      {"SCP3", "Переходы каналов между 3 тиражами с учетом позиции", "SD", "SCP3"},
      {"SCM2", "Переходы каналов между 3 тиражами в 2 позиции", "SD", "SCMx"},
      {"SC2C9", "Переходы кол-ва чисел в 9 канале между 2 тиражами", "D", "SC2Cx"},
      {"SC3C1", "Переходы кол-ва чисел в 1 канале между 3 тиражами", "D", "SC3Cx"},
      {"SDA2", "Переходы чисел в пределах каналов (все)", "D", "SDA2"},
      {"SDG2", "Переходы чисел в пределах каналов (N-M, удачные)", "D", "SDG2"},
      {"SDZ2", "Переходы чисел в пределах каналов (N-0, не удачные)", "D", "SDZ2"},
      {"SDC2", "Переходы чисел в пределах каналов (количество)", "D", "SDC2"},
      {"SSV2", "Переходы сегментов между 2 тиражами без учета позиции", "D", "SSV2"},
      {"SSP2", "Переходы сегментов между 2 тиражами с учетом позиции", "SD", "SSP2"},
      {"SSN4", "Переходы сегментов между 2 тиражами в 4 позиции", "SD", "SSNx"},
      {"SSP3", "Переходы сегментов между 3 тиражами с учетом позиции", "SD", "SSP3"},
      {"SSM5", "Переходы сегментов между 3 тиражами в 5 позиции", "SD", "SSMx"},
      {"SS2C1", "Переходы кол-ва чисел в 1 сегменте между 2 тиражами", "D", "SS2Cx"},
      {"SS3C1", "Переходы кол-ва чисел в 1 сегменте между 3 тиражами", "D", "SS3Cx"},
  };
  for (const TCase& c : cases) {
    const int i = list.IndexOfCode(c.Code);
    ASSERT_GE(i, 0) << c.Code;
    const TStatMethod& m = list.Items(i);
    EXPECT_EQ(m.DefaultName(), c.Caption) << c.Code;
    EXPECT_EQ(KindMarks(StatFlags(*m.StatClass)), c.Flags) << c.Code;
    EXPECT_EQ(HelpTopicFor(*m.StatClass, m.Param), c.Topic) << c.Code;
    EXPECT_EQ(m.StatClass->Group, 10) << c.Code;
    EXPECT_FALSE(m.StatClass->AcceptsValueList) << c.Code;
    EXPECT_FALSE(list.IsFullSetComputable(i)) << c.Code;
    EXPECT_FALSE(list.HasGraph(i)) << c.Code;
  }
  EXPECT_EQ(list.ListCaption(list.IndexOfCode("SDN3"), true),
            "{ mov } Переходы чисел между 2 тиражами в 3 позиции [ SD ]");
  EXPECT_EQ(list.ListCaption(list.IndexOfCode("SDC2"), true),
            "{ mov } Переходы чисел в пределах каналов (количество) [ D ]");
}

TEST_F(ChainStats, RegistrationOrderAndParameterRanges) {
  auto expected = [](int channels, int lowSegment, int highSegment) {
    Strings codes;
    auto each = [&](const std::string& code, int low, int high) {
      for (int p = low; p <= high; ++p) codes.push_back(code + std::to_string(p));
    };
    for (const char* family : {"SD", "SC"}) {
      codes.push_back(std::string(family) + "V2");
      codes.push_back(std::string(family) + "P2");
      each(std::string(family) + "N", 1, 6);
      codes.push_back(std::string(family) + "P3");
      each(std::string(family) + "M", 1, 6);
    }
    each("SC2C", 1, channels);
    each("SC3C", 1, channels);
    for (const char* code : {"SDA2", "SDG2", "SDZ2", "SDC2", "SSV2", "SSP2"}) codes.push_back(code);
    each("SSN", 1, 6);
    codes.push_back("SSP3");
    each("SSM", 1, 6);
    each("SS2C", lowSegment, highSegment);
    each("SS3C", lowSegment, highSegment);
    return codes;
  };
  EXPECT_EQ(ChainCodes(), expected(9, 1, 1));

  list.Config.ChannelSize = 7;
  list.Config.MatrixSegments = MatrixSegmentsFromText("0123");
  list.RegisterAll();
  EXPECT_EQ(ChainCodes(), expected(7, 0, 3));

  list.Config.MatrixSegments = MatrixSegmentsFromText(std::string(45, '5'));
  list.RegisterAll();
  EXPECT_EQ(ChainCodes(), expected(7, 5, 5));

  // No channel width: no count chain over channels, the others stay.
  list.Config.ChannelSize = 0;
  list.RegisterAll();
  EXPECT_EQ(ChainCodes(), expected(0, 5, 5));
}

TEST_F(ChainStats, ValueTexts) {
  struct TCase {
    const char* Code;
    TStatKey4 Key;
    const char* Text;
  };
  const TCase cases[] = {
      {"SDV2", {17, 23, 0, 0}, "17 -> 23"},    {"SDP3", {5, 17, 23, 0}, "5-17 -> 23"},
      {"SDM1", {5, 17, 23, 0}, "5-17 -> 23"},  {"SCV2", {3, 5, 0, 0}, "03 -> 05"},
      {"SCP3", {3, 3, 7, 0}, "03-03 -> 07"},   {"SCN2", {12, 1, 0, 0}, "12 -> 01"},
      {"SC2C1", {2, 1, 0, 0}, "2 -> 1"},       {"SC3C1", {2, 0, 1, 0}, "2-0 -> 1"},
      {"SDA2", {17, 0, 0, 0}, "17 -> 00"},     {"SDG2", {7, 9, 0, 0}, "07 -> 09"},
      {"SDZ2", {17, 0, 0, 0}, "17 -> 00"},     {"SDC2", {17, 2, 0, 0}, "17 -> 2"},
      {"SSV2", {1, 2, 0, 0}, "1 -> 2"},        {"SSM3", {0, 1, 2, 0}, "0-1 -> 2"},
      {"SS2C1", {6, 0, 0, 0}, "6 -> 0"},       {"SS3C1", {6, 6, 5, 0}, "6-6 -> 5"},
  };
  for (const TCase& c : cases) {
    TStatDraw rec;
    rec.Key = c.Key;
    EXPECT_EQ(Create(c.Code)->ValueToText(rec), c.Text) << c.Code;
  }
}

// ---- Chains of items ------------------------------------------------------------------------------

TEST_F(ChainStats, NumberChainsOfTheExamples) {
  Archive({{9, 10, 30, 33, 38, 44},
           {1, 5, 9, 17, 22, 40},
           {3, 10, 28, 30, 42, 44},
           {5, 11, 20, 33, 40, 43},
           {3, 9, 28, 41, 42, 45}});
  // Only 9 of the earlier draw is in the reference draw: six values.
  EXPECT_EQ(DrawRows("SDV2", 1, 4), (Strings{"9 -> 1", "9 -> 5", "9 -> 9", "9 -> 17", "9 -> 22", "9 -> 40"}));
  // 3, 28 and 42 stand where the reference draw has them.
  EXPECT_EQ(DrawRows("SDP2", 3, 4), (Strings{"3 -> 5", "28 -> 20", "42 -> 40"}));
  EXPECT_EQ(DrawRows("SDN3", 3, 4), Strings{"28 -> 20"});
  EXPECT_EQ(DrawRows("SDN1", 3, 4), Strings{"3 -> 5"});
  EXPECT_TRUE(DrawRows("SDN2", 3, 4).empty());

  // The window: the reference draw's own values are those of the draw before it.
  auto sdp2 = Create("SDP2");
  const TStatDrawArray window = WindowValues(*sdp2, 0, 4, false);
  EXPECT_EQ(Rows(*sdp2, window), (Strings{"3 -> 5", "28 -> 20", "42 -> 40"}));
  EXPECT_EQ(window[0].Draw, 104);
  EXPECT_EQ(window[0].Age, 2);
}

TEST_F(ChainStats, ChannelAndSegmentChainsRepeatValues) {
  list.Config.MatrixSegments = MatrixSegmentsFromText(NineBlocks());
  list.RegisterAll();
  Archive({{9, 10, 30, 33, 38, 44}, {1, 5, 9, 17, 22, 40}, {3, 9, 28, 41, 42, 45}});
  // Channels of the earlier draw 2 2 6 7 8 9, of the reference draw 1 2 6 9 9 9,
  // of the next draw 1 1 2 4 5 8: 9 and 10 both lead from channel 2.
  const Strings channels = {"02 -> 01=4", "02 -> 02=2", "02 -> 04=2", "02 -> 05=2", "02 -> 08=2",
                            "06 -> 01=2", "06 -> 02",   "06 -> 04",   "06 -> 05",   "06 -> 08",
                            "09 -> 01=2", "09 -> 02",   "09 -> 04",   "09 -> 05",   "09 -> 08"};
  EXPECT_EQ(DrawRows("SCV2", 1, 2), channels);
  Strings segments;
  for (std::string s : channels) {
    s.erase(std::remove(s.begin(), s.end(), '0'), s.end());
    segments.push_back(s);
  }
  EXPECT_EQ(DrawRows("SSV2", 1, 2), segments);
  // By position the channels agree at positions 2, 3 and 6.
  EXPECT_EQ(DrawRows("SCP2", 1, 2), (Strings{"02 -> 01", "06 -> 02", "09 -> 08"}));
  EXPECT_EQ(DrawRows("SSP2", 1, 2), (Strings{"2 -> 1", "6 -> 2", "9 -> 8"}));
  EXPECT_EQ(DrawRows("SCN6", 1, 2), Strings{"09 -> 08"});
  EXPECT_EQ(DrawRows("SSN3", 1, 2), Strings{"6 -> 2"});

  // Over a window the repeats add up; 11 12 16 21 31 36 has no channel of the reference draw.
  auto scv2 = Create("SCV2");
  Archive({{9, 10, 30, 33, 38, 44}, {1, 5, 9, 17, 22, 40}, {11, 12, 16, 21, 31, 36}, {9, 10, 30, 33, 38, 44},
           {1, 5, 9, 17, 22, 40}, {11, 12, 16, 21, 31, 36}, {3, 9, 28, 41, 42, 45}});
  const TStatDrawArray window = WindowValues(*scv2, 0, 6, false);
  ASSERT_FALSE(window.empty());
  EXPECT_EQ(scv2->ValueToText(window[0]), "02 -> 01");
  EXPECT_EQ(window[0].Hits, 8);
  EXPECT_EQ(window[0].Draw, 105);
  EXPECT_EQ(window[0].Age, 3);
}

TEST_F(ChainStats, ThreeItemChainsNeedBothDraws) {
  Archive({{1, 2, 3, 4, 5, 6},
           {7, 8, 9, 10, 11, 12},
           {13, 14, 15, 16, 17, 18},
           {1, 20, 3, 21, 5, 22},     // matches draw 0 at positions 1, 3, 5
           {7, 8, 23, 10, 24, 12}});  // matches draw 1 at positions 1, 2, 4, 6
  EXPECT_EQ(DrawRows("SDP3", 2, 4), Strings{"1-7 -> 13"});
  EXPECT_EQ(DrawRows("SDM1", 2, 4), Strings{"1-7 -> 13"});
  EXPECT_TRUE(DrawRows("SDM2", 2, 4).empty());
  EXPECT_TRUE(DrawRows("SDM3", 2, 4).empty());
  EXPECT_EQ(DrawRows("SDP2", 2, 4), (Strings{"7 -> 13", "8 -> 14", "10 -> 16", "12 -> 18"}));
  // Channels: 1 1 1 1 1 2 / 1 4 1 5 1 5 and 2 2 2 2 3 3 / 2 2 5 2 5 3.
  EXPECT_EQ(DrawRows("SCP3", 2, 4), Strings{"01-02 -> 03"});
  EXPECT_EQ(DrawRows("SCM1", 2, 4), Strings{"01-02 -> 03"});
  EXPECT_TRUE(DrawRows("SCM6", 2, 4).empty());
}

TEST_F(ChainStats, PositionsFollowTheDrawOrder) {
  Archive({{10, 3, 25, 30, 35, 40}, {44, 1, 2, 5, 6, 7}, {3, 10, 26, 31, 36, 41}});
  EXPECT_TRUE(DrawRows("SDP2", 1, 2, false).empty());
  EXPECT_EQ(DrawRows("SDP2", 1, 2, true), (Strings{"3 -> 1", "10 -> 2"}));
  EXPECT_EQ(DrawRows("SDN2", 1, 2, true), Strings{"10 -> 2"});
  // Without positions the order changes only the order of the values.
  Strings plain = DrawRows("SDV2", 1, 2, false);
  Strings sorted = DrawRows("SDV2", 1, 2, true);
  EXPECT_EQ(plain.front(), "10 -> 44");
  EXPECT_EQ(sorted.front(), "3 -> 1");
  std::sort(plain.begin(), plain.end());
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(plain, sorted);
  // The inside members read the draw before in its stored order.
  EXPECT_EQ(DrawRows("SDC2", 1, 2, true), (Strings{"10 -> 2", "3 -> 3"}));
}

// ---- Count chains ---------------------------------------------------------------------------------

TEST_F(ChainStats, CountChains) {
  list.Config.MatrixSegments = MatrixSegmentsFromText(NineBlocks());
  list.RegisterAll();
  // How many numbers in 11..15: 2, 1, 2, 2, 2.
  Archive({{11, 12, 1, 2, 3, 4},
           {11, 20, 30, 40, 1, 2},
           {13, 14, 1, 2, 3, 4},
           {12, 13, 40, 41, 42, 43},
           {11, 15, 30, 31, 32, 33}});
  EXPECT_EQ(WindowRows("SC2C3", 0, 4), (Strings{"2 -> 0=0", "2 -> 1", "2 -> 2=2", "2 -> 3=0", "2 -> 4=0", "2 -> 5=0"}));
  EXPECT_EQ(WindowRows("SC3C3", 0, 4),
            (Strings{"2-2 -> 0=0", "2-2 -> 1=0", "2-2 -> 2", "2-2 -> 3=0", "2-2 -> 4=0", "2-2 -> 5=0"}));
  // Segments pre-list one row.
  EXPECT_EQ(WindowRows("SS2C3", 0, 4), (Strings{"2 -> 0=0", "2 -> 1", "2 -> 2=2"}));
  EXPECT_EQ(WindowRows("SS3C3", 0, 4), (Strings{"2-2 -> 0=0", "2-2 -> 2"}));

  auto sc2c = Create("SC2C3");
  const TStatDrawArray window = WindowValues(*sc2c, 0, 4, false);
  EXPECT_EQ(window[2].Draw, 105);
  EXPECT_EQ(window[2].MinGap, 1);
  EXPECT_EQ(window[2].MaxGap, 1);
  for (const auto& v : window) {
    if (v.Hits == 0) {
      EXPECT_EQ(v.Age + v.Draw + v.MinGap + v.MaxGap, 0);
    }
  }

  // With the default table every number is in segment 1: six always.
  list.Config.MatrixSegments = DefaultMatrixSegments();
  list.RegisterAll();
  EXPECT_EQ(WindowRows("SS2C1", 3, 4), (Strings{"6 -> 0=0", "6 -> 6=2"}));
}

// ---- Inside channels ---------------------------------------------------------------------------------

TEST_F(ChainStats, InsideChannels) {
  // 17 is in the draw before and in the reference draw; 16..20 is its channel.
  Archive({{17, 1, 25, 30, 35, 40}, {2, 16, 19, 30, 35, 44}, {17, 3, 26, 31, 36, 41}});
  EXPECT_EQ(DrawRows("SDA2", 1, 2), (Strings{"17 -> 16", "17 -> 19"}));
  EXPECT_EQ(DrawRows("SDG2", 1, 2), (Strings{"17 -> 16", "17 -> 19"}));
  EXPECT_TRUE(DrawRows("SDZ2", 1, 2).empty());
  EXPECT_EQ(DrawRows("SDC2", 1, 2), Strings{"17 -> 2"});

  Archive({{17, 1, 25, 30, 35, 40}, {2, 21, 22, 30, 35, 44}, {17, 3, 26, 31, 36, 41}});
  EXPECT_EQ(DrawRows("SDA2", 1, 2), Strings{"17 -> 00"});
  EXPECT_TRUE(DrawRows("SDG2", 1, 2).empty());
  EXPECT_EQ(DrawRows("SDZ2", 1, 2), Strings{"17 -> 00"});
  EXPECT_EQ(DrawRows("SDC2", 1, 2), Strings{"17 -> 0"});
  // Nothing is pre-listed.
  TStatDrawArray pre;
  Create("SDC2")->ListAllValues(2, pre);
  EXPECT_TRUE(pre.empty());
}

// ---- Edges of the archive and of the window ------------------------------------------------------

TEST_F(ChainStats, OldestDrawsAddNothing) {
  // Identical draws repeat every pattern: only the archive's start can stop a value.
  Archive({{1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}});
  for (int i = 0; i < list.Count(); ++i) {
    const TStatMethod& m = list.Items(i);
    if (m.StatClass->Group != 10) continue;
    const std::string code = m.Code();
    EXPECT_TRUE(DrawRows(code, 0, 3).empty()) << code;
    // A count chain would take the missing draws for draws with none in the channel.
    const bool three = ThreeItems(m);
    const bool failures = code == "SDZ2";
    EXPECT_EQ(DrawRows(code, 1, 3).empty(), three || failures) << code;
    EXPECT_EQ(DrawRows(code, 2, 3).empty(), failures) << code;
  }
  // A channel with no number in any draw: the counts 0 -> 0 come from real draws only.
  EXPECT_TRUE(DrawRows("SC2C9", 0, 3).empty());
  EXPECT_EQ(DrawRows("SC2C9", 1, 3), Strings{"0 -> 0"});
  EXPECT_TRUE(DrawRows("SC3C9", 1, 3).empty());
  EXPECT_EQ(DrawRows("SC3C9", 2, 3), Strings{"0-0 -> 0"});
}

TEST_F(ChainStats, ShortWindowsAndTheOffset) {
  const TDrawsArray full = GenerateDemoDraws(60, 3);
  // Every chain over windows of 1 and 2 draws ending at draw 58: the same
  // as over an archive that stops there, the draws before the window read
  // for the pattern and the newer draw never.
  for (int length : {1, 2, 30}) {
    const int last = 58;
    const int first = last - length + 1;
    draws = full;
    list.RegisterAll();
    std::vector<Strings> withNewer;
    for (const std::string& code : ChainCodes()) withNewer.push_back(WindowRows(code, first, last, true));
    draws.assign(full.begin(), full.begin() + last + 1);
    std::vector<Strings> cut;
    for (const std::string& code : ChainCodes()) cut.push_back(WindowRows(code, first, last, true));
    EXPECT_EQ(withNewer, cut) << length;
  }
  // A window of one draw still compares the draw before it.
  Archive({{9, 10, 30, 33, 38, 44}, {1, 5, 9, 17, 22, 40}, {3, 9, 28, 41, 42, 45}});
  const Strings one = WindowRows("SDV2", 1, 1);
  ASSERT_EQ(one.size(), 6u);
  EXPECT_EQ(one.front(), "9 -> 1");
}

TEST_F(ChainStats, NoEarlierRepeatOfThePattern) {
  list.Config.MatrixSegments = MatrixSegmentsFromText(NineBlocks());
  list.RegisterAll();
  // Neither a number nor a channel of the reference draw came before.
  Archive({{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}, {13, 14, 15, 26, 27, 28}, {20, 21, 22, 23, 24, 25}});
  for (const std::string& code : ChainCodes()) {
    const Strings rows = WindowRows(code, 0, 3);
    if (code.rfind("SC2C", 0) == 0 || code.rfind("SC3C", 0) == 0 || code.rfind("SS2C", 0) == 0 ||
        code.rfind("SS3C", 0) == 0)
      continue;
    EXPECT_TRUE(rows.empty()) << code << " " << (rows.empty() ? "" : rows.front());
  }
  // Channel 5 (21..25): 0 0 0 5; only pre-listed rows, never seen.
  EXPECT_EQ(WindowRows("SC2C5", 0, 3), (Strings{"5 -> 0=0", "5 -> 1=0", "5 -> 2=0", "5 -> 3=0", "5 -> 4=0",
                                                "5 -> 5=0"}));
  // An empty archive gives nothing, nor does it fail.
  draws.clear();
  for (const std::string& code : ChainCodes()) {
    auto stat = Create(code);
    const TStatDrawArray values = WindowValues(*stat, 0, -1, false);
    EXPECT_LE(values.size(), 6u) << code;
    stat->LoadDraw(-1, 0, false);
    EXPECT_FALSE(stat->Matches({1, 2, 3, 4, 5, 6}, Keys({{1, 40, 40, 0}}), 0, false, false)) << code;
  }
}

// ---- The filter ------------------------------------------------------------------------------------

TEST_F(ChainStats, Matches) {
  list.Config.MatrixSegments = MatrixSegmentsFromText(NineBlocks());
  list.RegisterAll();
  // The reference draw (index 2) holds 17; the draw before it holds 2 and 16.
  Archive({{1, 2, 3, 4, 5, 6}, {2, 16, 19, 30, 35, 44}, {17, 3, 26, 31, 36, 41}});
  struct TCase {
    const char* Code;
    TStatKey4 Key;
    TComb Comb;
    bool Expected;
  };
  const TCase cases[] = {
      // The to item at any position; the from item is not compared.
      {"SDN3", {28, 20, 0, 0}, {1, 2, 3, 4, 5, 20}, true},
      {"SDN3", {28, 20, 0, 0}, {20, 21, 22, 23, 24, 25}, true},
      {"SDN3", {28, 20, 0, 0}, {1, 2, 3, 4, 5, 28}, false},
      {"SDV2", {9, 40, 0, 0}, {1, 2, 3, 4, 5, 40}, true},
      {"SDP3", {1, 7, 13, 0}, {1, 2, 3, 4, 5, 13}, true},
      {"SDP3", {1, 7, 13, 0}, {1, 2, 3, 4, 5, 7}, false},
      {"SDM2", {1, 7, 13, 0}, {13, 40, 41, 42, 43, 44}, true},
      // Channels and segments of the numbers.
      {"SCN2", {6, 4, 0, 0}, {1, 2, 3, 4, 5, 18}, true},
      {"SCN2", {6, 4, 0, 0}, {1, 2, 3, 4, 5, 21}, false},
      {"SCP3", {1, 2, 3, 0}, {11, 20, 30, 40, 44, 45}, true},
      {"SCP3", {1, 2, 3, 0}, {1, 2, 6, 7, 8, 9}, false},
      {"SSV2", {2, 9, 0, 0}, {1, 2, 3, 4, 5, 41}, true},
      {"SSV2", {2, 9, 0, 0}, {1, 2, 3, 4, 5, 40}, false},
      {"SSM1", {2, 2, 1, 0}, {5, 6, 7, 8, 9, 10}, true},
      // Counts in channel (segment) 3, 11..15.
      {"SC2C3", {2, 2, 0, 0}, {11, 15, 20, 21, 22, 23}, true},
      {"SC2C3", {2, 2, 0, 0}, {11, 20, 21, 22, 23, 24}, false},
      {"SC2C3", {2, 2, 0, 0}, {11, 12, 13, 21, 22, 23}, false},
      {"SC3C3", {2, 2, 0, 0}, {1, 2, 3, 4, 5, 6}, true},
      {"SS2C3", {0, 1, 0, 0}, {1, 2, 3, 4, 5, 13}, true},
      {"SS3C3", {0, 1, 0, 0}, {1, 2, 3, 4, 5, 13}, false},
      // Inside: a number of the reference draw followed into its channel.
      {"SDA2", {17, 19, 0, 0}, {1, 2, 3, 4, 5, 19}, true},
      {"SDA2", {17, 19, 0, 0}, {1, 2, 3, 4, 5, 16}, false},
      {"SDA2", {17, 0, 0, 0}, {1, 2, 3, 4, 5, 16}, true},
      {"SDG2", {17, 16, 0, 0}, {16, 22, 30, 33, 40, 44}, true},
      {"SDZ2", {17, 0, 0, 0}, {1, 2, 3, 4, 5, 20}, true},
      {"SDZ2", {17, 0, 0, 0}, {1, 2, 3, 4, 5, 21}, false},
      // A count names the channel only.
      {"SDC2", {17, 2, 0, 0}, {1, 2, 3, 4, 5, 18}, true},
      {"SDC2", {17, 0, 0, 0}, {1, 2, 3, 4, 5, 18}, true},
      {"SDC2", {17, 2, 0, 0}, {1, 2, 3, 4, 5, 21}, false},
      // 2 and 16 are not in the reference draw.
      {"SDA2", {16, 19, 0, 0}, {1, 2, 3, 4, 5, 19}, false},
      {"SDZ2", {2, 0, 0, 0}, {1, 2, 3, 4, 5, 6}, false},
  };
  for (const TCase& c : cases) {
    auto stat = Create(c.Code);
    const TStatDrawArray values = Keys({c.Key});
    stat->LoadDraw(-1, 2, false);
    EXPECT_EQ(stat->Matches(c.Comb, values, 2, false, false), c.Expected) << c.Code << " " << CombToText(c.Comb);
    stat->PrepareValues(values);
    EXPECT_EQ(stat->Matches(c.Comb, values, 2, false, false), c.Expected) << c.Code << " prepared";
    EXPECT_EQ(stat->MatchWord(&c.Comb, 1, values, 2, false, true), c.Expected ? 0u : 1u) << c.Code << " word";
  }

  // Inside: the reference draw is the one at the index asked, prepared or not.
  auto sdz2 = Create("SDZ2");
  const TStatDrawArray two = Keys({{2, 0, 0, 0}});
  sdz2->PrepareValues(two);  // before LoadDraw: the tables follow the later call
  sdz2->LoadDraw(-1, 1, false);
  EXPECT_TRUE(sdz2->Matches({1, 2, 30, 31, 32, 33}, two, 1, false, false));  // 2 in draw 1, channel 1..5
  EXPECT_FALSE(sdz2->Matches({1, 2, 30, 31, 32, 33}, two, 2, false, false));
  EXPECT_FALSE(sdz2->Matches({10, 20, 30, 31, 32, 33}, two, 1, false, false));
}

// Prepared tables give what the plain scan of the selection gives.
// Every segment 0..9 in use, and the reference draw the newest one.
TEST_F(ChainStats, FilterContractWithTenSegments) {
  std::string segments;  // 0 0 0 1 1 1 .. 9 9 9 0 0 0 ..
  for (int k = 0; k < MaxNumber; ++k) segments += static_cast<char>('0' + (k / 3) % 10);
  list.Config.MatrixSegments = MatrixSegmentsFromText(segments);
  list.RegisterAll();
  draws = GenerateDemoDraws(200, 17);
  const auto sample = test::ContractSample(draws, 199, test::QuickContract ? 60 : 300, 9);
  test::ExpectFilterContract(list, sample, 199, "ten segments",
                             [](const TStatMethod& m) { return m.StatClass->Group == 10; });
}

}  // namespace
}  // namespace vexa

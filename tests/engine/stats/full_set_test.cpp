#include "stats/full_set.h"

#include <gtest/gtest.h>

#include "core/error.h"
#include "stats_fixture.h"
#include "support/fault.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace vexa {
namespace {

using test::ReadBytes;
using test::TScriptedUi;
using test::TTempDir;
using test::WriteBytes;

// Combinations with k even numbers: C(22,k) * C(23,6-k).
constexpr int32_t EvenCounts[7] = {100947, 740278, 2045505, 2727340, 1850695, 605682, 74613};
// Every number stands in C(44,5) combinations.
constexpr int32_t NumberCount = 1086008;

class FullSetFiles : public ::testing::Test, public test::TStatsFixture {
 protected:
  TTempDir dir;
  TFullSetPlace place{dir.Path(), "Korvane_6x45"};
  TScriptedUi ui;

  int Index(const char* code) { return list.IndexOfCode(code); }
};

TEST_F(FullSetFiles, EncodesRecordsAndTrailerByteExact) {
  TFullSet set;
  set.Records = {{{1, 0, 0, 0}, 5}, {{-1, 2, 0x0300, 4}, 70000}};
  set.MinCount = 5;
  set.MaxCount = 70000;
  const std::string expected(
      "\x01\x00\x00\x00\x00\x00\x00\x00\x05\x00\x00\x00"
      "\xFF\xFF\x02\x00\x00\x03\x04\x00\x70\x11\x01\x00"
      "\x05\x00\x00\x00\x70\x11\x01\x00\x00\x00\x00\x00",
      36);
  EXPECT_EQ(EncodeFullSet(set), expected);
  EXPECT_EQ(DecodeFullSet(expected), set);
}

TEST_F(FullSetFiles, DecodeRefusesSizesThatAreNotWholeRecords) {
  for (size_t size : {0u, 11u, 13u, 35u}) {
    EXPECT_THROW(DecodeFullSet(std::string(size, '\0')), EVexaError) << size;
  }
  const TFullSet trailerOnly = DecodeFullSet(std::string(12, '\0'));
  EXPECT_TRUE(trailerOnly.Records.empty());
  EXPECT_EQ(trailerOnly.MaxCount, 0);
}

TEST_F(FullSetFiles, NumsCountsEveryNumberEqually) {
  const auto nums = Create("NUMS");
  const TFullSet set = ComputeFullSet(*nums, 2);
  ASSERT_EQ(set.Records.size(), 45u);
  for (int n = 1; n <= 45; ++n) {
    const TFullSetRecord& r = set.Records[static_cast<size_t>(n - 1)];
    EXPECT_EQ(r.Key, (TStatKey4{static_cast<int16_t>(n), 0, 0, 0}));
    EXPECT_EQ(r.Count, NumberCount) << n;
  }
  EXPECT_EQ(set.MinCount, NumberCount);
  EXPECT_EQ(set.MaxCount, NumberCount);
}

TEST_F(FullSetFiles, EvenCountsByHandAndAsTheLinearMergeGivesThem) {
  const auto even = Create("EVEN");
  const TFullSet set = ComputeFullSet(*even, 2);
  ASSERT_EQ(set.Records.size(), 7u);
  for (int k = 0; k <= 6; ++k) {
    EXPECT_EQ(Key32(set.Records[static_cast<size_t>(k)].Key), k);
    EXPECT_EQ(set.Records[static_cast<size_t>(k)].Count, EvenCounts[k]) << k;
  }
  EXPECT_EQ(set.MinCount, 74613);
  EXPECT_EQ(set.MaxCount, 2727340);

  // The plain rule: one list merged over all combinations, sorted at the end.
  TStatDrawArray all;
  for (int a = 1; a <= 40; ++a)
    for (int b = a + 1; b <= 41; ++b)
      for (int c = b + 1; c <= 42; ++c)
        for (int d = c + 1; d <= 43; ++d)
          for (int e = d + 1; e <= 44; ++e)
            for (int f = e + 1; f <= 45; ++f) {
              const TComb comb{static_cast<uint8_t>(a), static_cast<uint8_t>(b), static_cast<uint8_t>(c),
                               static_cast<uint8_t>(d), static_cast<uint8_t>(e), static_cast<uint8_t>(f)};
              even->CalcCombination(comb, all);
            }
  SortStatDraw(all);
  ASSERT_EQ(all.size(), set.Records.size());
  for (size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(all[i].Key, set.Records[i].Key);
    EXPECT_EQ(all[i].Hits, set.Records[i].Count);
  }
  EXPECT_EQ(ComputeFullSet(*even, 1), set) << "one thread or two, the same file";
}

// A value of two numbers over all four key components: the first number and
// minus the last, so that the file order (unsigned components) runs the
// last number downwards.
class TstEnds : public TCustomNumbersStat {
 public:
  using TCustomNumbersStat::TCustomNumbersStat;
  bool Matches(const TComb&, const TStatDrawArray&, int, bool, bool) const override { return false; }

 protected:
  void AddValues(const TComb& nums, TStatDraw& rec, TStatDrawArray& list, bool trackGaps) const override {
    SetKey32(rec.Key, nums[0], -nums[5]);
    MergeStatDraw(list, rec, trackGaps);
  }
};
extern const TStatClass TstEndsClass;
const TStatClass TstEndsClass{.ClassName = "TstEnds", .Code = "ENDS", .Caption = "Ends", .Kind = skNumbers,
                              .Create = &MakeStat<TstEnds, TstEndsClass>};

TEST_F(FullSetFiles, WideKeysSortUnsignedComponentByComponent) {
  const TstEnds ends(TstEndsClass, list, 0);
  const TFullSet set = ComputeFullSet(ends, 2);
  // First a, last f: the four numbers between come from f - a - 1.
  std::vector<TFullSetRecord> expected;
  for (int a = 1; a <= 40; ++a)
    for (int f = 45; f >= a + 5; --f) {
      TStatKey4 key;
      SetKey32(key, a, -f);
      expected.push_back({key, static_cast<int32_t>(Binomial(f - a - 1, 4))});
    }
  EXPECT_EQ(set.Records, expected);
  EXPECT_EQ(set.MinCount, 1);
  EXPECT_EQ(set.MaxCount, 123410) << "C(43,4): 1 and 45";
}

TEST_F(FullSetFiles, OpenCreatesTheMissingFileOnlyWhenEnabledAndKindN) {
  const auto file = dir / "Prefetchs/Korvane_6x45_EVEN.dfc";
  EXPECT_EQ(place.FileOf("EVEN"), file);
  EXPECT_FALSE(OpenFullSetFile(list, Index("EVEN"), place, false, ui).has_value());
  EXPECT_FALSE(std::filesystem::exists(dir / "Prefetchs"));
  EXPECT_FALSE(OpenFullSetFile(list, Index("POE1"), place, true, ui).has_value()) << "POE is not kind N";
  EXPECT_FALSE(std::filesystem::exists(dir / "Prefetchs"));

  const auto opened = OpenFullSetFile(list, Index("EVEN"), place, true, ui);
  ASSERT_TRUE(opened.has_value());
  EXPECT_TRUE(ui.Messages.empty());
  EXPECT_EQ(opened->Records.size(), 7u);
  EXPECT_EQ(ReadBytes(file), EncodeFullSet(*opened));
  EXPECT_EQ(ui.Statuses.back(), "Создание файла предварительной выборки Korvane_6x45_EVEN.dfc...");

  // An existing file is read as it stands, not recounted.
  TFullSet small;
  small.Records = {{{3, 0, 0, 0}, 4}};
  small.MinCount = small.MaxCount = 4;
  WriteBytes(file, EncodeFullSet(small));
  EXPECT_EQ(OpenFullSetFile(list, Index("EVEN"), place, true, ui), small);

  // A file of size 0 counts as missing.
  WriteBytes(file, "");
  const auto again = OpenFullSetFile(list, Index("EVEN"), place, true, ui);
  ASSERT_TRUE(again.has_value());
  EXPECT_EQ(again->Records.size(), 7u);
}

TEST_F(FullSetFiles, BrokenFileShowsTheOpenMessage) {
  std::filesystem::create_directories(dir / "Prefetchs");
  const auto file = dir / "Prefetchs/Korvane_6x45_EVEN.dfc";
  WriteBytes(file, std::string(13, 'x'));
  EXPECT_FALSE(OpenFullSetFile(list, Index("EVEN"), place, true, ui).has_value());
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Kind, TMessageKind::Error);
  const std::string head = "Ошибка открытия файла данных для полного набора вариантов!\r\rИмя файла: " +
                           file.string() + "\r\r";
  EXPECT_EQ(ui.Messages[0].Text.substr(0, head.size()), head);
  EXPECT_GT(ui.Messages[0].Text.size(), head.size()) << "the underlying error follows";
  EXPECT_EQ(ReadBytes(file), std::string(13, 'x')) << "a broken file is left for the user to see";
}

TEST_F(FullSetFiles, FailedCreationShowsTheCreateMessageAndKeepsTheOldFile) {
  // The folder cannot be made: a plain file stands in its place.
  WriteBytes(dir / "Prefetchs", "not a folder");
  EXPECT_FALSE(CreateFullSetFile(list, Index("EVEN"), place, ui).has_value());
  ASSERT_EQ(ui.Messages.size(), 1u);
  const std::string head = "Ошибка создания файла данных для полного набора вариантов!\r\rИмя файла: " +
                           place.FileOf("EVEN").string() + "\r\r";
  EXPECT_EQ(ui.Messages[0].Text.substr(0, head.size()), head);

  // A disk that fills up while writing leaves the previous file whole.
  std::filesystem::remove(dir / "Prefetchs");
  std::filesystem::create_directories(dir / "Prefetchs");
  const std::string old = EncodeFullSet(TFullSet{{{{1, 0, 0, 0}, 9}}, 9, 9});
  WriteBytes(place.FileOf("EVEN"), old);
  {
    test::TFileSizeLimit limit(40);
    EXPECT_FALSE(CreateFullSetFile(list, Index("EVEN"), place, ui).has_value());
  }
  EXPECT_EQ(ui.Messages.size(), 2u);
  EXPECT_EQ(ReadBytes(place.FileOf("EVEN")), old);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "Prefetchs"), {}), 1) << "no temporary left";
}

TEST_F(FullSetFiles, RefreshCreatesMissingFilesAndRecreatesChosenGroups) {
  // Every kind-N method but EVEN and SMAL already has a (stand-in) file.
  const std::string stub = EncodeFullSet(TFullSet{{{{1, 0, 0, 0}, 1}}, 1, 1});
  std::filesystem::create_directories(place.Folder());
  std::vector<std::string> stubbed;
  for (int i = 0; i < list.Count(); ++i) {
    const std::string code = list.Items(i).Code();
    if (!list.IsFullSetComputable(i) || code == "EVEN" || code == "SMAL") continue;
    WriteBytes(place.FileOf(code), stub);
    stubbed.push_back(code);
  }
  EXPECT_TRUE(RefreshFullSetFiles(list, place, false, AllStatGroups, false, ui).empty())
      << "nothing without force or the comparison switched on";
  EXPECT_FALSE(std::filesystem::exists(place.FileOf("EVEN")));

  auto made = RefreshFullSetFiles(list, place, false, 0, true, ui);
  ASSERT_EQ(made.size(), 2u);
  EXPECT_EQ(list.Items(made[0].MethodIndex).Code(), "EVEN");
  EXPECT_EQ(made[0].File, place.FileOf("EVEN"));
  EXPECT_EQ(made[0].Records, 7);
  EXPECT_FALSE(made[0].Failed);
  EXPECT_EQ(list.Items(made[1].MethodIndex).Code(), "SMAL");
  for (const auto& code : stubbed) EXPECT_EQ(ReadBytes(place.FileOf(code)), stub) << code;
  EXPECT_EQ(ui.Statuses.front(), "Создание файлов для полного набора комбинаций...");

  // Group 6 (sequences) is recreated, whatever its files held; the others stay.
  made = RefreshFullSetFiles(list, place, true, 1u << 6, false, ui);
  ASSERT_FALSE(made.empty());
  for (const auto& m : made) EXPECT_EQ(list.Items(m.MethodIndex).StatClass->Group, 6);
  for (const auto& code : stubbed) {
    const bool sequences = list.Items(list.IndexOfCode(code)).StatClass->Group == 6;
    EXPECT_EQ(ReadBytes(place.FileOf(code)) == stub, !sequences) << code;
  }
  EXPECT_TRUE(ui.Messages.empty());
}

}  // namespace
}  // namespace vexa

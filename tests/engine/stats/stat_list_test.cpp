#include "stats/stat_list.h"

#include <gtest/gtest.h>

#include <set>

#include "stats_fixture.h"
#include "support/temp_dir.h"

namespace vexa {
namespace {

class RecordingUi : public TSilentUserInterface {
 public:
  void ShowMessage(TMessageKind, std::string_view text, std::string_view cause) override {
    Messages.push_back(MessageBoxText(text, cause));
  }
  std::vector<std::string> Messages;
};

class StatListTest : public ::testing::Test, public test::TStatsFixture {};

TEST(StatTable, HoldsEveryClassOnce) {
  const auto& table = StatClassTable();
  EXPECT_EQ(table.size(), 143u);
  std::set<std::string> names;
  for (const auto& e : table) {
    names.insert(e.ClassName);
    if (e.Class != nullptr) {
      EXPECT_STREQ(e.Class->ClassName, e.ClassName);
      EXPECT_STREQ(e.Class->Code, e.Code);
    }
  }
  EXPECT_EQ(names.size(), 143u);
  EXPECT_STREQ(table.front().Code, "NUMS");
  EXPECT_STREQ(table.back().Code, "SHR%d");
}

TEST_F(StatListTest, RegistrationOrderAndParameters) {
  std::vector<std::string> codes;
  for (int i = 0; i < list.Count(); ++i) codes.push_back(list.Items(i).Code());
  ASSERT_GE(codes.size(), 16u);
  EXPECT_EQ(std::vector<std::string>(codes.begin(), codes.begin() + 8),
            (std::vector<std::string>{"NUMS", "DIGS", "EVEN", "EVNV", "SMAL", "SMLV", "PRIM", "PRMV"}));
  const int pos1 = list.IndexOfCode("pos1");
  ASSERT_GE(pos1, 0);
  for (int p = 1; p <= 6; ++p) EXPECT_EQ(list.Items(pos1 + p - 1).Code(), "POS" + std::to_string(p));
  EXPECT_EQ(list.Items(pos1 + 6).Code(), "POE1");
  EXPECT_EQ(list.Items(pos1 + 7).Code(), "POE2");
  EXPECT_EQ(list.Items(pos1 + 2).Param, 3);
  EXPECT_EQ(list.IndexOfCode("NOPE"), -1);
}

TEST_F(StatListTest, Captions) {
  const int pos3 = list.IndexOfCode("POS3");
  EXPECT_EQ(list.ListCaption(pos3, true), "{ num } Число в 3 позиции тиража [ SNG ]");
  EXPECT_EQ(list.ListCaption(pos3, false), "{ num } Число в 3 позиции тиража");
  EXPECT_EQ(list.ListCaption(list.IndexOfCode("POE1"), true),
            "{ num } Extra (Bonus, Star...) - число (!без фильтра!) [ G ]");
  list.ShowGroupName = false;
  list.ShowMethodFlags = false;
  EXPECT_EQ(list.ListCaption(pos3, true), "Число в 3 позиции тиража");
  list.Items(pos3).CustomName = "Третье";
  EXPECT_EQ(list.ListCaption(pos3, true), "Третье");
  EXPECT_EQ(GroupHeading(0), "{ num } Числа тиража");
  EXPECT_EQ(GroupHeading(12), "{ shr } Методы шинковки");
  EXPECT_EQ(GroupHeading(13), "#ERROR#");
  EXPECT_EQ(KindMarks(skSorted | skNumbers | skDraw | skPeriod | skGraph), "SNDPG");
}

TEST_F(StatListTest, FavouritesText) {
  EXPECT_EQ(list.FavouritesText(), "");
  list.SetFavouritesText("nums,POS1,NOSUCH");
  EXPECT_FALSE(list.AllFavourite);
  for (int i = 0; i < list.Count(); ++i) {
    const std::string code = list.Items(i).Code();
    EXPECT_EQ(list.IsFavourite(i), code == "NUMS" || code == "POS1") << code;
  }
  EXPECT_EQ(list.FavouritesText(), "NUMS,POS1");

  list.SetFavouritesText("NUMS, POS1");  // " POS1" is no code
  EXPECT_TRUE(list.IsFavourite(list.IndexOfCode("NUMS")));
  EXPECT_FALSE(list.IsFavourite(list.IndexOfCode("POS1")));

  list.SetFavouritesText("  ");
  EXPECT_TRUE(list.AllFavourite);
  for (int i = 0; i < list.Count(); ++i) EXPECT_TRUE(list.Items(i).Favourite);
}

TEST_F(StatListTest, NormaliseFavourites) {
  list.AllFavourite = false;
  for (int i = 0; i < list.Count(); ++i) list.Items(i).Favourite = false;
  list.NormaliseFavourites();
  EXPECT_TRUE(list.AllFavourite);
  EXPECT_TRUE(list.Items(3).Favourite) << "none chosen means all";
  list.Items(3).Favourite = false;
  list.NormaliseFavourites();
  EXPECT_FALSE(list.AllFavourite);
}

TEST_F(StatListTest, FavouritesFileRoundTripAndReRegistration) {
  test::TTempDir dir;
  RecordingUi ui;
  const auto file = dir / "Korvane_6x45.flt";
  list.SetFavouritesText("DIGS,POS2");
  list.Items(list.IndexOfCode("POS2")).CustomName = "Вторая позиция";
  list.ShowMethodFlags = false;
  ASSERT_TRUE(list.SaveFavourites(file, true, false, ui));

  // The window rebuilds its lists this way after a change of settings.
  list.RegisterAll();
  list.MarkAllFavourite();
  ASSERT_TRUE(list.LoadFavourites(file, true, ui));
  EXPECT_EQ(list.FavouritesText(), "DIGS,POS2");
  EXPECT_FALSE(list.ShowMethodFlags);
  EXPECT_EQ(list.Items(list.IndexOfCode("POS2")).DisplayName(), "Вторая позиция");
  EXPECT_TRUE(ui.Messages.empty());

  // All names: every method's display name is written.
  ASSERT_TRUE(list.SaveFavourites(dir / "all.flt", false, true, ui));
  TStatsFixture other;
  ASSERT_TRUE(other.list.LoadFavourites(dir / "all.flt", false, ui));
  EXPECT_EQ(other.list.Items(other.list.IndexOfCode("NUMS")).CustomName, "Числа тиража");
  EXPECT_TRUE(other.list.AllFavourite) << "without options the favourites stay";

  // A missing file is no error: defaults, and no custom names.
  ASSERT_TRUE(list.LoadFavourites(dir / "none.flt", true, ui));
  EXPECT_EQ(list.Items(list.IndexOfCode("POS2")).CustomName, "");
}

TEST_F(StatListTest, UnwritableFavouritesFileReportsAndFails) {
  test::TTempDir dir;
  RecordingUi ui;
  std::filesystem::create_directory(dir / "x.flt");
  EXPECT_FALSE(list.SaveFavourites(dir / "x.flt", true, false, ui));
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].rfind("Ошибка сохранения списка фильтров!\r\r", 0), 0u);
  EXPECT_FALSE(list.LoadFavourites(dir / "x.flt", true, ui));
  EXPECT_EQ(ui.Messages[1].rfind("Ошибка загрузки списка фильтров!\r\r", 0), 0u);
}

TEST_F(StatListTest, HelpAndCdl) {
  const int pos3 = list.IndexOfCode("POS3");
  EXPECT_EQ(list.HelpUrl(pos3), "");
  test::TTempDir dir;
  test::WriteBytes(dir / "Vexa_RUS.chm", "x");
  list.HelpFile = (dir / "Vexa_RUS.chm").string();
  EXPECT_EQ(list.HelpUrl(pos3), "ms-its:" + list.HelpFile + "::/Filters_1049_POSx.htm");
  EXPECT_EQ(list.HelpUrl(0), "ms-its:" + list.HelpFile + "::/Filters_1049_NUMS.htm");

  list.Config.Cdl.Count = 2;
  list.SaveCdl();
  TCdl own;
  own.Count = 9;
  list.UseCdl(true, own);
  EXPECT_EQ(list.Config.Cdl.Count, 9);
  list.UseCdl(false, own);
  EXPECT_EQ(list.Config.Cdl.Count, 2);
  list.Config.Cdl.Count = 5;
  list.RestoreCdl();
  EXPECT_EQ(list.Config.Cdl.Count, 2);
}

}  // namespace
}  // namespace vexa

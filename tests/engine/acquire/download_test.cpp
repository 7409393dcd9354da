// Reading the results pages: the marker extraction, one page, and the
// month loop against a loopback results site.
#include "acquire/download.h"

#include <gtest/gtest.h>

#include "acquire/page_extract.h"
#include "core/error.h"
#include "core/format.h"
#include "support/fault.h"
#include "support/results_pages.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace vexa {
namespace {

using test::MonthPage;
using test::TPageDraw;

// ---- Extraction -------------------------------------------------------------------

struct TBetweenCase {
  const char* Text;
  const char* Start;
  const char* End;
  TExtractMode Mode;
  const char* Expected;
};

TEST(PageExtract, ExtractBetween) {
  const TBetweenCase cases[] = {
      {"abc[x]def", "[", "]", TExtractMode::Strict, "x"},
      {"Key: VALUE ; rest", "key:", ";", TExtractMode::Strict, "VALUE"},  // case and blanks
      {"no marker here", "[", "]", TExtractMode::Strict, ""},
      {"a=  b c  ", "=", "", TExtractMode::Strict, "b c"},  // empty end: the rest
      {"a=b", "=", ";", TExtractMode::ToEnd, "b"},
      {"a=b", "=", ";", TExtractMode::Empty, ""},
      {"[1][2]", "[", "]", TExtractMode::Strict, "1"},  // first occurrences
      {"x=\"a\"\"b\";", "=", ";", TExtractMode::Strict, "a\"b"},  // doubled quote kept once
      {"x=\"a\"b\";", "=", ";", TExtractMode::Strict, "ab"},      // lone inner quote dropped
      {"x=\";", "=", ";", TExtractMode::Strict, "\""},            // one character: as it is
      {"x=\"ab;", "=", ";", TExtractMode::Strict, "\"ab"},        // not quoted at both ends
      {"x= \"4600\" ,", "=", ",", TExtractMode::Strict, "4600"},  // trimmed, then unquoted
  };
  for (const auto& c : cases) EXPECT_EQ(ExtractBetween(c.Text, c.Start, c.End, c.Mode), c.Expected) << c.Text;
}

TEST(PageExtract, StrictModeNamesThePairAndTheText) {
  try {
    ExtractBetween("a=b", "=", ";", TExtractMode::Strict);
    FAIL() << "no error";
  } catch (const EVexaError& e) {
    EXPECT_STREQ(e.what(), "Не удалось найти пару идентификаторов \"=\" - \";\" в тексте\r\r[a=b]!");
  }
}

TEST(PageExtract, CutWalksThroughTheText) {
  std::string text = "\"number\":5,\"x\":1},{\"NUMBER\":17,\"x\":0}";
  EXPECT_EQ(ExtractBetweenCut(text, "\"number\":", ",", TExtractMode::Strict), "5");
  EXPECT_EQ(text, "\"x\":1},{\"NUMBER\":17,\"x\":0}");
  EXPECT_EQ(ExtractBetweenCut(text, "\"number\":", ",", TExtractMode::Strict), "17");
  EXPECT_EQ(text, "\"x\":0}");
  EXPECT_EQ(ExtractBetweenCut(text, "\"number\":", ",", TExtractMode::Strict), "");
  EXPECT_EQ(text, "\"x\":0}");

  std::string broken = "n=1";
  EXPECT_THROW(ExtractBetweenCut(broken, "n=", ",", TExtractMode::Strict), EVexaError);
  EXPECT_EQ(broken, "n=1");
  EXPECT_EQ(ExtractBetweenCut(broken, "n=", ",", TExtractMode::ToEnd), "1");
  EXPECT_EQ(broken, "");
}

TEST(PageExtract, SectionsUpToTheNextMarker) {
  std::string text = "head\"drawNo\":1,a\"DRAWNO\":2,b";
  EXPECT_EQ(ExtractSection(text, "\"drawNo\""), ":1,a");
  EXPECT_EQ(text, "\"DRAWNO\":2,b");
  EXPECT_EQ(ExtractSection(text, "\"drawNo\""), ":2,b");
  EXPECT_EQ(text, "");
  EXPECT_EQ(ExtractSection(text, "\"drawNo\""), "");
}

// ---- Month names and addresses ----------------------------------------------------

TEST(MonthPages, NamesCursorsAndAddresses) {
  EXPECT_EQ(MonthPageName(202503), "march-2025");
  EXPECT_EQ(MonthPageName(200201), "january-2002");
  EXPECT_EQ(MonthPageName(202412), "december-2024");
  EXPECT_EQ(NextMonthCursor(202412), 202501);
  EXPECT_EQ(NextMonthCursor(202501), 202502);
  EXPECT_EQ(MonthPageUrl("http://h:1/", 202503), "http://h:1/korvane/results/march-2025");
  EXPECT_EQ(MonthPageUrl("http://h:1", 202509), "http://h:1/korvane/results/september-2025");
}

// ---- One page ------------------------------------------------------------------------

TDraw MakeDraw(int number, const char* date, std::array<uint8_t, 6> nums, std::array<uint8_t, 2> supp) {
  TDraw d;
  d.Number = number;
  d.Nums = nums;
  d.Supp = supp;
  SetDrawDateText(d, date);
  return d;
}

TEST(ReadMonthPage, TakesNewDrawsInPageOrder) {
  const std::string page = MonthPage({
      {"4603", "2025-04-10", {1, 2, 3, 4, 5, 6}, {7, 8}},
      {"4603", "2025-04-10", {9, 9, 9, 9, 9, 9}, {9, 9}},  // repeated number: the first one counts
      {"\"4602\"", "2025-04-05", {45, 44, 43, 42, 41, 40}, {39, 38}},
      {"4601", "2025-04-02", {11, 12, 13, 14, 15, 16}, {17, 18}},  // on the lower bound
      {"4590", "2025-04-01", {21, 22, 23, 24, 25, 26}, {27, 28}},  // before it: a late correction
  });
  const TDrawsArray draws = ReadMonthPage(page, 20250402);
  const TDrawsArray expected = {
      MakeDraw(4603, "10 Apr 2025", {1, 2, 3, 4, 5, 6}, {7, 8}),
      MakeDraw(4602, "5 Apr 2025", {45, 44, 43, 42, 41, 40}, {39, 38}),
      MakeDraw(4601, "2 Apr 2025", {11, 12, 13, 14, 15, 16}, {17, 18}),
  };
  EXPECT_EQ(draws, expected);
}

TEST(ReadMonthPage, PageWithoutPastDrawsGivesNone) {
  EXPECT_TRUE(ReadMonthPage("<html><body>maintenance</body></html>", 20020101).empty());
  EXPECT_TRUE(ReadMonthPage(MonthPage({}), 20020101).empty());
}

struct TBrokenPage {
  const char* Name;
  std::string Page;
  const char* MessageStart;
};

TEST(ReadMonthPage, BrokenPagesRaise) {
  const std::string good = MonthPage({{"4600", "2025-03-01", {1, 2, 3, 4, 5, 6}, {7, 8}}});
  auto without = [&](const std::string& what) {
    std::string p = good;
    p.erase(p.find(what), what.size());
    return p;
  };
  const TBrokenPage cases[] = {
      {"no closing marker", without("}},"),
       "Не удалось найти пару идентификаторов \"\"drawsPast\"\" - \"}},\" в тексте\r\r["},
      {"no date", without("\"drawDate\":\"2025-03-01T00:00:00+11:00\","), "Некорректная дата тиража № 4600: \"\"!"},
      {"no supplementary block", without("{\"name\":\"Supplementary\","),
       "Не удалось найти пару идентификаторов \"\"name\":\"Main numbers\"\" - \"\"name\":\"Supplementary\"\""},
      {"five main numbers", without("{\"number\":6,\"bonus\":false}"),
       "Не удалось найти пару идентификаторов \"\"number\":\" - \",\" в тексте"},
  };
  for (const auto& c : cases) {
    try {
      ReadMonthPage(c.Page, 20020101);
      ADD_FAILURE() << c.Name << ": no error";
    } catch (const EVexaError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(c.MessageStart, 0), 0u) << c.Name << ": " << e.what();
    }
  }
}

// ---- The month loop --------------------------------------------------------------

class DownloadTest : public ::testing::Test {
 protected:
  TDownloadResult Run() {
    TDownloadOptions options;
    options.BaseUrl = site.Url();
    options.Today = [this] { return today; };
    options.OnMonth = [this](int cursor, int added) { months.push_back(MonthPageName(cursor) + ":" + std::to_string(added)); };
    TDrawsDownloader downloader(archive, connection, ui, options);
    downloader.DownloadDraws();
    return downloader.Result();
  }
  void Store(const TDrawsArray& draws) {
    archive.SetDraws(draws);
    archive.SaveDraws(ui);
  }
  TDrawsArray OnDisk() const {
    TDrawsArchive stored(archive.File());
    TSilentUserInterface silent;
    stored.LoadDraws(silent);
    return stored.Draws();
  }
  std::vector<int> Numbers(const TDrawsArray& draws) const {
    std::vector<int> n;
    for (const auto& d : draws) n.push_back(d.Number);
    return n;
  }

  test::TTempDir dir;
  test::TResultsSite site;
  test::TScriptedUi ui;
  TDrawsArchive archive{dir / "Korvane_6x45.ldr"};
  TProxy proxy;
  TMainConnection connection{proxy, dir / "Korvane_6x45.ini", ui};
  int today = 20250415;
  std::vector<std::string> months;
};

TEST_F(DownloadTest, EmptyArchiveReadsEveryMonthFromJanuary2002) {
  site.SetPage("march-2025", MonthPage({{"4601", "2025-03-08", {1, 2, 3, 4, 5, 6}, {7, 8}},
                                        {"4600", "2025-03-01", {11, 12, 13, 14, 15, 16}, {17, 18}}}));
  const TDownloadResult r = Run();
  const auto pages = site.Log.Lines();
  ASSERT_EQ(pages.size(), 23u * 12 + 4);  // 2002 .. 2024, then January .. April 2025
  EXPECT_EQ(pages[0], "january-2002");
  EXPECT_EQ(pages[11], "december-2002");
  EXPECT_EQ(pages[12], "january-2003");
  EXPECT_EQ(pages.back(), "april-2025");
  EXPECT_EQ(r.Pages, 280);
  EXPECT_EQ(r.Added, 2);
  EXPECT_TRUE(r.Completed);
  EXPECT_EQ(Numbers(OnDisk()), (std::vector<int>{4600, 4601}));
  EXPECT_EQ(months[277], "february-2025:0");
  EXPECT_EQ(months[278], "march-2025:2");
  EXPECT_TRUE(ui.Questions.empty());
  EXPECT_EQ(ui.Statuses[0], "Загрузка тиражей за january-2002...");
  EXPECT_EQ(ui.Statuses[1], "Сохранение файла тиражей...");
}

TEST_F(DownloadTest, NewestDrawOn30DecemberStartsWithDecember) {
  Store({MakeDraw(4590, "30 Dec 2024", {1, 2, 3, 4, 5, 6}, {7, 8})});
  today = 20250110;
  site.SetPage("december-2024", MonthPage({{"4591", "2024-12-31", {2, 3, 4, 5, 6, 7}, {8, 9}},
                                           {"4590", "2024-12-30", {1, 2, 3, 4, 5, 6}, {7, 8}},
                                           {"4589", "2024-12-27", {3, 4, 5, 6, 7, 8}, {9, 10}}}));
  site.SetPage("january-2025", MonthPage({{"4593", "2025-01-07", {4, 5, 6, 7, 8, 9}, {10, 11}},
                                          {"4592", "2025-01-03", {5, 6, 7, 8, 9, 10}, {11, 12}}}));
  const TDownloadResult r = Run();
  EXPECT_EQ(site.Log.Lines(), (std::vector<std::string>{"december-2024", "january-2025"}));
  EXPECT_EQ(months, (std::vector<std::string>{"december-2024:1", "january-2025:2"}));
  EXPECT_EQ(Numbers(OnDisk()), (std::vector<int>{4590, 4591, 4592, 4593}));
  EXPECT_EQ(r.Added, 3);
}

TEST_F(DownloadTest, PageNewestFirstIsAppendedOldestFirst) {
  Store({MakeDraw(4591, "26 Feb 2025", {1, 2, 3, 4, 5, 6}, {7, 8})});
  today = 20250320;
  std::vector<TPageDraw> page;
  for (int n = 4600; n >= 4592; --n) {
    const int day = 1 + 2 * (n - 4592);  // 4592 on the 1st ... 4600 on the 17th
    const uint8_t b = static_cast<uint8_t>(n - 4590);
    page.push_back({std::to_string(n), Format("2025-03-%.2d", {day}), {b, 11, 12, 13, 14, 15}, {20, 21}});
  }
  site.SetPage("march-2025", MonthPage({page.begin(), page.end()}));
  Run();
  const TDrawsArray stored = OnDisk();
  EXPECT_EQ(Numbers(stored), (std::vector<int>{4591, 4592, 4593, 4594, 4595, 4596, 4597, 4598, 4599, 4600}));
  EXPECT_EQ(stored[1], MakeDraw(4592, "1 Mar 2025", {2, 11, 12, 13, 14, 15}, {20, 21}));
  EXPECT_EQ(stored[9], MakeDraw(4600, "17 Mar 2025", {10, 11, 12, 13, 14, 15}, {20, 21}));
}

TEST_F(DownloadTest, RepeatedNumberAndLateCorrectionAreSkipped) {
  Store({MakeDraw(4601, "1 Apr 2025", {1, 2, 3, 4, 5, 6}, {7, 8})});
  site.SetPage("april-2025", MonthPage({{"4603", "2025-04-10", {1, 2, 3, 4, 5, 6}, {7, 8}},
                                        {"4603", "2025-04-10", {9, 9, 9, 9, 9, 9}, {9, 9}},
                                        {"4602", "2025-04-05", {2, 3, 4, 5, 6, 7}, {8, 9}},
                                        {"4601", "2025-04-01", {1, 2, 3, 4, 5, 6}, {7, 8}},
                                        {"4590", "2025-03-20", {3, 4, 5, 6, 7, 8}, {9, 10}}}));
  Run();
  const TDrawsArray stored = OnDisk();
  EXPECT_EQ(Numbers(stored), (std::vector<int>{4601, 4602, 4603}));
  EXPECT_EQ(stored[2].Nums, (std::array<uint8_t, 6>{1, 2, 3, 4, 5, 6}));
}

TEST_F(DownloadTest, NoAfterAFailingMonthKeepsEarlierMonths) {
  Store({MakeDraw(4590, "28 Jan 2025", {1, 2, 3, 4, 5, 6}, {7, 8})});
  site.SetPage("february-2025", MonthPage({{"4591", "2025-02-04", {2, 3, 4, 5, 6, 7}, {8, 9}}}));
  site.SetFailing("march-2025", -1);
  ui.Answers = {false};
  const TDownloadResult r = Run();
  EXPECT_EQ(site.Log.Lines(), (std::vector<std::string>{"january-2025", "february-2025", "march-2025"}));
  EXPECT_EQ(ui.Questions, std::vector<std::string>{"Ошибка загрузки архива тиражей с сайта: \"The requested URL "
                                                   "returned error: 500\"\r\rПовторить попытку?"});
  EXPECT_EQ(Numbers(OnDisk()), (std::vector<int>{4590, 4591}));
  EXPECT_FALSE(r.Completed);
  EXPECT_EQ(r.Pages, 2);
  EXPECT_EQ(r.Added, 1);
  EXPECT_EQ(connection.Attempt, 2);
}

TEST_F(DownloadTest, YesRepeatsTheSameMonth) {
  Store({MakeDraw(4590, "28 Feb 2025", {1, 2, 3, 4, 5, 6}, {7, 8})});
  site.SetFailing("march-2025", 2);
  site.SetPage("march-2025", MonthPage({{"4591", "2025-03-04", {2, 3, 4, 5, 6, 7}, {8, 9}}}));
  ui.Answers = {true, true};
  const TDownloadResult r = Run();
  EXPECT_EQ(site.Log.Lines(), (std::vector<std::string>{"march-2025", "march-2025", "march-2025", "april-2025"}));
  EXPECT_EQ(ui.Questions.size(), 2u);
  EXPECT_EQ(Numbers(OnDisk()), (std::vector<int>{4590, 4591}));
  EXPECT_TRUE(r.Completed);
  EXPECT_EQ(connection.Attempt, 3);
}

TEST_F(DownloadTest, BrokenPageIsAskedAbout) {
  Store({MakeDraw(4590, "28 Mar 2025", {1, 2, 3, 4, 5, 6}, {7, 8})});
  std::string page = MonthPage({{"4591", "2025-04-04", {2, 3, 4, 5, 6, 7}, {8, 9}}});
  page.erase(page.find("}},"), 3);
  site.SetPage("march-2025", MonthPage({}));
  site.SetPage("april-2025", page);
  ui.Answers = {false};
  Run();
  ASSERT_EQ(ui.Questions.size(), 1u);
  EXPECT_EQ(ui.Questions[0].rfind("Ошибка загрузки архива тиражей с сайта: \"Не удалось найти пару идентификаторов "
                                  "\"\"drawsPast\"\" - \"}},\" в тексте",
                                  0),
            0u);
  EXPECT_EQ(archive.Count(), 1);
}

// A month whose save fails is taken out of memory again: memory and file agree.
TEST_F(DownloadTest, FailedSaveLeavesMemoryAsTheFile) {
  Store({MakeDraw(4590, "28 Feb 2025", {1, 2, 3, 4, 5, 6}, {7, 8})});
  today = 20250310;
  site.SetPage("march-2025", MonthPage({{"4591", "2025-03-04", {2, 3, 4, 5, 6, 7}, {8, 9}}}));
  ui.Answers = {false};
  {
    test::TFileSizeLimit limit(DrawRecordSize + 8);
    Run();
  }
  ASSERT_EQ(ui.Questions.size(), 1u);
  EXPECT_NE(ui.Questions[0].find("Ошибка записи в файл тиражей!"), std::string::npos) << ui.Questions[0];
  EXPECT_EQ(Numbers(archive.Draws()), std::vector<int>{4590});
  EXPECT_EQ(Numbers(OnDisk()), std::vector<int>{4590});
}

}  // namespace
}  // namespace vexa

#include <gtest/gtest.h>

#include "core/error.h"
#include "core/ini_file.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "workspace/workspace.h"

namespace vexa {
namespace {

using test::ReadBytes;
using test::TScriptedUi;
using test::TTempDir;

TEST(WorkspaceWindow, SegmentCellAcceptsOneToNine) {
  struct TCase {
    const char* Text;
    int Segment;
    bool Ok;
  };
  const TCase cases[] = {{"1", 1, true}, {"9", 9, true}, {" 4 ", 4, true}, {"0", 1, false},
                         {"10", 1, false}, {"", 1, false}, {"a", 1, false}, {"-3", 1, false}};
  for (const TCase& c : cases) {
    uint8_t segment = 7;
    const std::string message = TWorkspace::CheckSegmentCell(c.Text, segment);
    EXPECT_EQ(message.empty(), c.Ok) << c.Text;
    EXPECT_EQ(segment, c.Segment) << c.Text;
    if (!c.Ok) {
      EXPECT_EQ(message, std::string("Некорректное значение: ") + c.Text + "!\r\rУкажите любое число от 1 до 9");
    }
  }
}

TEST(WorkspaceWindow, EditConfigWritesTheSettingsFile) {
  TTempDir dir;
  TScriptedUi ui;
  TWorkspace ws(dir.Path(), ui);
  ws.Open();
  TConfigData config = ws.Stats().Config;
  config.MatrixCols = 7;
  config.ChannelSize = 9;
  config.Cost = 15000;
  config.Profits.clear();
  for (int k = 0; k <= MainCount; ++k) config.Profits.push_back({static_cast<uint8_t>(k), k * 10000});
  config.MatrixSegments[0] = 3;
  ws.EditConfig(config);
  EXPECT_EQ(ws.Stats().Config.MatrixCols, 7);
  EXPECT_FALSE(ws.IsBusy());

  TConfigData read;
  ReadConfig(dir / "Korvane_6x45.ini", read);
  EXPECT_EQ(read.MatrixCols, 7);
  EXPECT_EQ(read.ChannelSize, 9);
  EXPECT_EQ(read.Cost, 15000);
  ASSERT_EQ(read.Profits.size(), 7u);
  EXPECT_EQ(read.Profits[6].Profit, 60000);
  EXPECT_EQ(read.MatrixSegments[0], 3);
  EXPECT_EQ(read.MatrixSegments[1], 1);
}

TEST(WorkspaceWindow, EditConfigRefusesBadValuesAndKeepsTheFile) {
  TTempDir dir;
  TScriptedUi ui;
  TWorkspace ws(dir.Path(), ui);
  ws.Open();
  TConfigData bad = ws.Stats().Config;
  bad.ChannelSize = 2;
  EXPECT_THROW(ws.EditConfig(bad), EVexaError);
  bad = ws.Stats().Config;
  bad.MatrixSegments[44] = 0;
  EXPECT_THROW(ws.EditConfig(bad), EVexaError);
  EXPECT_FALSE(std::filesystem::exists(dir / "Korvane_6x45.ini"));
  EXPECT_EQ(ws.Stats().Config.ChannelSize, 5);
  EXPECT_FALSE(ws.IsBusy());
}

TEST(WorkspaceWindow, SwitchesAreStoredAtOnce) {
  TTempDir dir;
  TScriptedUi ui;
  TWorkspace ws(dir.Path(), ui);
  ws.Open();
  ws.ViewColorDraws();
  ws.ViewColorCombs();
  ws.AutoDownload(2);
  ws.FirstRunDone();
  ws.StakesScroll();
  const auto frm = dir / "Korvane_6x45.frm";
  EXPECT_FALSE(ReadWindowBool(frm, MainWindowSection, "StakesScrollEnabled", true));
  EXPECT_FALSE(ws.Window().StakesScrollEnabled);
  ws.StakesScroll();
  EXPECT_TRUE(ReadWindowBool(frm, MainWindowSection, "StakesScrollEnabled", false));
  EXPECT_FALSE(ReadWindowBool(frm, MainWindowSection, "ColorDraws", true));
  EXPECT_FALSE(ReadWindowBool(frm, MainWindowSection, "ColorCombs", true));
  EXPECT_EQ(ReadWindowInt(frm, MainWindowSection, "DownloadDrawsOnStart", 0), 2);
  EXPECT_TRUE(ReadBytes(frm).find("FirstRun=0") != std::string::npos);
  EXPECT_FALSE(ws.Window().ColorDraws);
  EXPECT_EQ(ws.Window().DownloadDrawsOnStart, 2);
}

TEST(WorkspaceWindow, WindowStateRoundTrips) {
  TTempDir dir;
  TScriptedUi ui;
  const TScreenMetrics screen{1280, 1024, 96};
  {
    TWorkspace ws(dir.Path(), ui);
    ws.Open();
    ws.SetDrawsExclude(4);
    ws.SetDrawsStatLen(0);
    EXPECT_EQ(ws.Window().DrawsStatLen, 1) << "at least one draw";
    ws.SetDrawsStatLen(250);
    TWorkspace::TWindowExitState state;
    state.Placement.NormPos = {10, 20, 810, 620};
    state.Screen = screen;
    state.LeftPanelWidth = 400;
    state.FiltersHeight = 150;
    state.Lists.push_back({"lvDraws", TListColumns{{60, 25, 25}, std::nullopt, false, false}});
    state.Lists.push_back({"lvRatings", TListColumns{{310, 61}, std::nullopt, false, false}});
    ws.RatingsSort(1, false);
    ws.SaveWindowState(state);
  }
  TWorkspace ws(dir.Path(), ui);
  ws.Open();
  EXPECT_EQ(ws.Window().LeftPanelWidth, 400);
  EXPECT_EQ(ws.Window().FiltersHeight, 150);
  EXPECT_EQ(ws.Window().DrawsExclude, 4);
  EXPECT_EQ(ws.Window().DrawsStatLen, 250);
  const TRestoredPlacement placement = ws.WindowPlacement(screen);
  ASSERT_TRUE(placement.NormPos.has_value());
  EXPECT_EQ((*placement.NormPos)[2], 810);
  TListColumns columns{{54, 24, 24, 24}, std::nullopt, false, false};
  ws.ReadListColumns("lvDraws", columns);
  EXPECT_EQ(columns.Widths, (std::vector<int32_t>{60, 25, 25, 24}));
  TListColumns ratings{{300, 60, 60}, std::nullopt, false, false};
  ws.ReadListColumns("lvRatings", ratings);
  EXPECT_EQ(ratings.Widths, (std::vector<int32_t>{310, 61, 60}));
  EXPECT_EQ(ws.RatingsSortColumn(), 1) << "the ratings' order is kept with the list";
  EXPECT_FALSE(ws.RatingsSortDescending());
}

TEST(WorkspaceWindow, DataFolderRule) {
  TTempDir dir;
  const auto program = dir / "bin";
  std::filesystem::create_directories(program);
  const std::string xdg = (dir / "xdg").string();
  EXPECT_EQ(TWorkspace::ProgramDataDir("/opt/x", "/env", program, xdg.c_str(), "/home/u"), "/opt/x");
  EXPECT_EQ(TWorkspace::ProgramDataDir("", "/env", program, xdg.c_str(), "/home/u"), "/env");
  EXPECT_EQ(TWorkspace::ProgramDataDir("", nullptr, program, xdg.c_str(), "/home/u"), program);
  // A folder the program cannot write to (root writes everywhere: use one that does not exist).
  const auto locked = dir / "no-such-folder";
  EXPECT_EQ(TWorkspace::ProgramDataDir("", "", locked, xdg.c_str(), "/home/u"), dir / "xdg" / "Korvane_6x45");
  EXPECT_TRUE(std::filesystem::is_directory(dir / "xdg" / "Korvane_6x45"));
  const std::string home = (dir / "home").string();
  EXPECT_EQ(TWorkspace::ProgramDataDir("", "", locked, nullptr, home.c_str()),
            dir / "home" / ".local" / "share" / "Korvane_6x45");
}

TEST(WorkspaceWindow, WebPagesAndTabWeek) {
  TTempDir dir;
  test::WriteBytes(dir / "Korvane_6x45.ini", "[WEB]\r\nBlog= https://blog.example \r\n[HTTP]\r\nResultsBaseUrl=http://r.example\r\n");
  TScriptedUi ui;
  TWorkspace ws(dir.Path(), ui);
  ws.Open();
  const TWorkspace::TWebPages pages = ws.WebPages();
  EXPECT_EQ(pages.Blog, "https://blog.example");
  EXPECT_EQ(pages.LotoSite, "http://r.example");
  EXPECT_EQ(pages.Telegram, "");
  ws.TabWeek();
  EXPECT_FALSE(ReadWindowBool(dir / "Korvane_6x45.frm", MainWindowSection, "TabWeek", true));
}

}  // namespace
}  // namespace vexa

#include "workspace/workspace.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "acquire/demo_draws.h"
#include "core/error.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace vexa {
namespace {

using test::ReadBytes;
using test::TScriptedUi;
using test::TTempDir;
using test::WriteBytes;

bool Saw(const std::vector<std::string>& statuses, const std::string& text) {
  return std::find(statuses.begin(), statuses.end(), text) != statuses.end();
}

TEST(Workspace, OpensAnEmptyFolderWithDefaults) {
  TTempDir dir;
  TScriptedUi ui;
  TWorkspace ws(dir.Path(), ui);
  EXPECT_EQ(ws.Open(), 0);
  EXPECT_TRUE(ui.Messages.empty());
  EXPECT_TRUE(ws.Archive().Empty());
  EXPECT_EQ(ws.Stats().Config.ChannelSize, 5);
  EXPECT_GT(ws.Stats().Count(), 0);
  EXPECT_EQ(ws.Stats().Items(0).Code(), "NUMS");
  EXPECT_EQ(ws.Window().DrawsStatLen, 1000);
  EXPECT_TRUE(ws.Window().PrefetchsInit);
  EXPECT_FALSE(ws.IsBusy());
  EXPECT_EQ(ws.StatusText(), "");
  EXPECT_TRUE(Saw(ui.Statuses, "Загрузка файла конфигурации..."));
  EXPECT_TRUE(Saw(ui.Statuses, "Инициализация..."));
  EXPECT_EQ(ws.DataFile(".ldr"), dir / "Korvane_6x45.ldr");

  const TMatchTable& m = ws.MatchTable();
  EXPECT_EQ(m[6].Count, 1);
  EXPECT_EQ(m[0].Count, 3262623);
  long double total = 0;
  for (const auto& row : m) total += row.Probability;
  EXPECT_NEAR(static_cast<double>(total), 1.0, 1e-15);
}

TEST(Workspace, ReadsSettingsArchiveAndFavourites) {
  TTempDir dir;
  WriteBytes(dir / "Korvane_6x45.ini", "[GLOBAL]\r\nChannelSize=9\r\n[CDL]\r\nCount=2\r\n");
  WriteBytes(dir / "Korvane_6x45.frm", "[TFormMain]\r\nSortedDraws=1\r\nDrawsStatLen=250\r\n");
  WriteBytes(dir / "Korvane_6x45.flt", "[FILTERS]\r\nFavorites=NUMS\r\n");
  TScriptedUi ui;
  {
    TDrawsArchive seed(dir / "Korvane_6x45.ldr");
    seed.SetDraws(GenerateDemoDraws(30, 2));
    seed.SaveDraws(ui);
  }
  TWorkspace ws(dir.Path(), ui);
  ASSERT_EQ(ws.Open(), 0);
  EXPECT_EQ(ws.Stats().Config.ChannelSize, 9);
  EXPECT_EQ(ws.Stats().SavedCdl.Count, 2);
  EXPECT_TRUE(ws.SortedDraws());
  EXPECT_EQ(ws.Window().DrawsStatLen, 250);
  EXPECT_EQ(ws.Archive().Count(), 30);
  EXPECT_EQ(&ws.Stats().Draws(), &ws.Archive().Draws()) << "the registry reads the archive itself";
  EXPECT_EQ(ws.Stats().FavouritesText(), "NUMS");
}

TEST(Workspace, StartUpReportsEachFailureAndGoesOn) {
  TTempDir dir;
  std::filesystem::create_directory(dir / "Korvane_6x45.ini");  // unreadable settings
  std::filesystem::create_directory(dir / "Korvane_6x45.ldr");  // unreadable archive
  TScriptedUi ui;
  TWorkspace ws(dir.Path(), ui);
  EXPECT_GE(ws.Open(), 2);
  std::vector<std::string> heads;
  for (const auto& m : ui.Messages) heads.push_back(m.Text.substr(0, m.Text.find("\r\r")));
  EXPECT_NE(std::find(heads.begin(), heads.end(), "Ошибка чтения файла конфигурации!"), heads.end());
  EXPECT_NE(std::find(heads.begin(), heads.end(), "Ошибка чтения файла тиражей!"), heads.end());
  EXPECT_EQ(ws.Stats().Config.MatrixCols, 5) << "defaults stay";
  EXPECT_GT(ws.Stats().Count(), 0) << "start-up went on";
}

// Temporaries of writes that a killed copy never finished go at the next
// start, once the folder is ours; a copy refused the folder touches nothing.
TEST(Workspace, StartUpRemovesStaleTemporaries) {
  TTempDir dir;
  std::filesystem::create_directory(dir / "Prefetchs");
  WriteBytes(dir / ".Korvane_6x45.ldr.Ab12Cd", "half");
  WriteBytes(dir / "Korvane_6x45.~tmp", "half");
  WriteBytes(dir / "Prefetchs" / ".Korvane_6x45_NUMS.dfc.Ab12Cd", "half");
  WriteBytes(dir / "mine.txt", "keep");
  TScriptedUi ui;
  {
    TWorkspace first(dir.Path(), ui);
    ASSERT_EQ(first.Open(), 0);
    EXPECT_FALSE(std::filesystem::exists(dir / ".Korvane_6x45.ldr.Ab12Cd"));
    EXPECT_FALSE(std::filesystem::exists(dir / "Korvane_6x45.~tmp"));
    EXPECT_FALSE(std::filesystem::exists(dir / "Prefetchs" / ".Korvane_6x45_NUMS.dfc.Ab12Cd"));
    EXPECT_TRUE(std::filesystem::exists(dir / "mine.txt"));
    // Another copy's write in progress survives a second copy's start.
    WriteBytes(dir / ".Korvane_6x45.lrt.Zz98Yx", "busy");
    TScriptedUi secondUi;
    TWorkspace second(dir.Path(), secondUi);
    EXPECT_GT(second.Open(), 0);
    EXPECT_TRUE(std::filesystem::exists(dir / ".Korvane_6x45.lrt.Zz98Yx"));
  }
}

TEST(Workspace, DrawsCommandsSaveAndKeepTheBusyCounter) {
  TTempDir dir;
  TScriptedUi ui;
  TWorkspace ws(dir.Path(), ui);
  ws.Open();
  TDraw d;
  d.Number = 1;
  d.Nums = {1, 2, 3, 4, 5, 6};
  ws.DrawsAdd(d);
  d.Number = 3;
  ws.DrawsAdd(d);
  EXPECT_EQ(ReadBytes(dir / "Korvane_6x45.ldr").size(), 48u);
  EXPECT_TRUE(Saw(ui.Statuses, "Сохранение файла тиражей..."));
  EXPECT_FALSE(ws.IsBusy());
  ws.DrawsExport(dir / "d.csv");
  ws.DrawsDel({1});
  EXPECT_EQ(ws.Archive().Count(), 1);
  EXPECT_EQ(ws.DrawsImport(dir / "d.csv"), 1);
  EXPECT_THROW(ws.DrawsDel({99}), EVexaError);
  EXPECT_FALSE(ws.IsBusy()) << "a failed command lowers the counter too";
  EXPECT_EQ(ws.StatusText(), "");

  ws.DrawsSorted();
  EXPECT_TRUE(ws.SortedDraws());
  EXPECT_TRUE(ReadMainWindowSettings(dir / "Korvane_6x45.frm").SortedDraws) << "stored at once";
  ws.DrawsSorted();
  EXPECT_FALSE(ReadMainWindowSettings(dir / "Korvane_6x45.frm").SortedDraws);
}

TEST(Workspace, DataFolderChoice) {
  EXPECT_EQ(ResolveDataDir("/a", "/b", "/c"), "/a");
  EXPECT_EQ(ResolveDataDir("", "/b", "/c"), "/b");
  EXPECT_EQ(ResolveDataDir("", "", "/c"), "/c");
  EXPECT_EQ(ResolveDataDir("", nullptr, "/c"), "/c");
}

}  // namespace
}  // namespace vexa

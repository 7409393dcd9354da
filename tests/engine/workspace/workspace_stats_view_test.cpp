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
using test::WriteBytes;

TEST(WorkspaceStatsView, MethodListFollowsFavouritesAndOrder) {
  TTempDir dir;
  WriteBytes(dir / "Korvane_6x45.flt", "[FILTERS]\r\nFavorites=SUMS,NUMS\r\nOrdered=0\r\n");
  TScriptedUi ui;
  TWorkspace ws(dir.Path(), ui);
  ASSERT_EQ(ws.Open(), 0);
  const std::vector<int> list = ws.StatMethodList();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(ws.Stats().Items(list[0]).Code(), "NUMS");  // registration order
  EXPECT_EQ(ws.Stats().Items(list[1]).Code(), "SUMS");

  ws.FiltersReset();
  EXPECT_EQ(static_cast<int>(ws.StatMethodList().size()), ws.Stats().Count());
  EXPECT_EQ(ws.Stats().FavouritesText(), "");
}

TEST(WorkspaceStatsView, FavouritesApplyNamesChecksAndNone) {
  TTempDir dir;
  TScriptedUi ui;
  TWorkspace ws(dir.Path(), ui);
  ASSERT_EQ(ws.Open(), 0);
  const int nums = ws.StatMethodIndex("NUMS");
  const int suma = ws.StatMethodIndex("SUMS");
  const std::string numsDefault = ws.Stats().Items(nums).DefaultName();

  TWorkspace::TFavouritesEdit edit;
  edit.Checked = {nums, suma};
  edit.Names = {{nums, "Мои числа"}, {suma, "СУММА"}};
  edit.Ordered = true;
  ws.FavouritesApply(edit);
  EXPECT_EQ(ws.Stats().Items(ws.StatMethodIndex("NUMS")).CustomName, "Мои числа");
  EXPECT_TRUE(ws.Stats().Ordered);
  EXPECT_EQ(ws.StatMethodList().size(), 2u);
  {
    // What the favourites file keeps: a registry of its own reads it back.
    TScriptedUi other;
    TDrawsArray none;
    TStatList again(none);
    again.RegisterAll();
    ASSERT_TRUE(again.LoadFavourites(dir / "Korvane_6x45.flt", true, other));
    EXPECT_EQ(again.Items(nums).CustomName, "Мои числа");
    EXPECT_TRUE(again.Ordered);
    EXPECT_EQ(again.FavouritesText(), ws.Stats().FavouritesText());
  }

  // A default caption in another case is no custom name; nothing checked means all.
  edit.Checked.clear();
  edit.Names = {{nums, numsDefault}};
  ws.FavouritesApply(edit);
  EXPECT_EQ(ws.Stats().Items(nums).CustomName, "");
  EXPECT_EQ(static_cast<int>(ws.StatMethodList().size()), ws.Stats().Count());

  // FiltersReset keeps custom names.
  edit.Checked = {nums};
  edit.Names = {{suma, "Сумма моя"}};
  ws.FavouritesApply(edit);
  ws.FiltersReset();
  EXPECT_EQ(ws.Stats().Items(suma).CustomName, "Сумма моя");
  EXPECT_EQ(static_cast<int>(ws.StatMethodList().size()), ws.Stats().Count());
}

TEST(WorkspaceStatsView, FavouriteTreeGroupsInFirstUseOrder) {
  TTempDir dir;
  TScriptedUi ui;
  TWorkspace ws(dir.Path(), ui);
  ASSERT_EQ(ws.Open(), 0);
  const auto tree = ws.FavouriteTree();
  ASSERT_FALSE(tree.empty());
  EXPECT_NE(tree[0].Heading.find("num"), std::string::npos);
  size_t methods = 0;
  for (const auto& g : tree) methods += g.Methods.size();
  EXPECT_EQ(static_cast<int>(methods), ws.Stats().Count());
}

TEST(WorkspaceStatsView, ShredddingFormulaChecks) {
  struct TCase {
    const char* Formula;
    bool Ok;
  };
  const TCase cases[] = {{"(n1+n2+n3)/(n4+n5+n6)", true}, {"n1*p2-t3", true}, {"(n1+n2", false},
                         {"n1+*", false}, {"", false}, {"  ", false}};
  for (const TCase& c : cases) {
    const std::string message = TWorkspace::CheckShreddingFormula(2, c.Formula);
    EXPECT_EQ(message.empty(), c.Ok) << c.Formula << ": " << message;
    if (!c.Ok) {
      EXPECT_EQ(message.rfind("Формула 2: ", 0), 0u) << message;
    }
  }
}

TEST(WorkspaceStatsView, EditShreddingWritesAndRenames) {
  TTempDir dir;
  TScriptedUi ui;
  TWorkspace ws(dir.Path(), ui);
  ASSERT_EQ(ws.Open(), 0);
  TShredding s = ws.Stats().Shredding;
  s.Formulas[0] = "(n1+n2", s.Digits[0] = 3;
  EXPECT_THROW(ws.EditShredding(s), EVexaError);
  EXPECT_EQ(ws.Stats().Shredding.Digits[0], 2) << "a refused formula changes nothing";
  s.Formulas[0] = " n1*2 ";
  ws.EditShredding(s);
  EXPECT_EQ(ws.Stats().Shredding.Formulas[0], "n1*2");
  EXPECT_EQ(ws.Stats().Shredding.Digits[0], 3);
  TShredding stored;
  ReadShredding(dir / "Korvane_6x45.ini", stored);
  EXPECT_EQ(stored.Formulas[0], "n1*2");
  EXPECT_EQ(stored.Digits[0], 3);
  EXPECT_EQ(ws.Stats().Items(ws.StatMethodIndex("SHR1")).Formula, "n1*2");
  s.Digits[1] = 9;
  EXPECT_THROW(ws.EditShredding(s), EVexaError);
}

TEST(WorkspaceStatsView, TotalLineOnlyWithComparison) {
  TTempDir dir;
  TScriptedUi ui;
  TWorkspace ws(dir.Path(), ui);
  ASSERT_EQ(ws.Open(), 0);
  EXPECT_THROW(ws.DrawsStatShowTotalLine(), EVexaError);
  ws.DrawsStatePrefetchsEnabled();
  ASSERT_TRUE(ws.Window().PrefetchsEnabled);
  const bool before = ws.Window().ShowTotalLine;
  ws.DrawsStatShowTotalLine();
  EXPECT_EQ(ws.Window().ShowTotalLine, !before);
  EXPECT_NE(ReadBytes(dir / "Korvane_6x45.frm").find("ShowTotalLine="), std::string::npos);
}

TEST(WorkspaceStatsView, HelpPagesFromTheFolder) {
  TTempDir dir;
  TScriptedUi ui;
  TWorkspace ws(dir.Path(), ui);
  ASSERT_EQ(ws.Open(), 0);
  const int nums = ws.StatMethodIndex("NUMS");
  EXPECT_EQ(ws.StatHelpPage(nums), "");
  std::filesystem::create_directories(dir / "help");
  WriteBytes(dir / "help" / "index.html", "<html></html>");
  WriteBytes(dir / "help" / "Filters_1049_NUMS.htm", "<html></html>");
  ws.SetHelpFolder(dir / "help");
  EXPECT_EQ(ws.StatHelpPage(nums), (dir / "help" / "Filters_1049_NUMS.htm").string());
  EXPECT_EQ(ws.Stats().HelpFile, (dir / "help" / "index.html").string());
  EXPECT_EQ(ws.StatHelpPage(ws.StatMethodIndex("SUMS")), "");
}

}  // namespace
}  // namespace vexa

#include <gtest/gtest.h>

#include "core/ini_file.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "workspace/workspace.h"

namespace vexa {
namespace {

using test::ReadBytes;
using test::TScriptedUi;
using test::TTempDir;

TEST(WorkspaceWindowLists, AnotherWindowsListKeepsItsOwnSection) {
  TTempDir dir;
  TScriptedUi ui;
  TWorkspace ws(dir.Path(), ui);
  ws.Open();
  TListColumns saved;
  saved.Widths = {140, 61, 130};
  saved.Sort = std::array<int32_t, 2>{2, 1};
  ws.SaveWindowListColumns("TFormScrRates", "lvRates", saved);
  const std::string text = ReadBytes(dir / "Korvane_6x45.frm");
  EXPECT_NE(text.find("[TFormScrRates]"), std::string::npos);
  EXPECT_NE(text.find("lvRates.Column1=61"), std::string::npos);
  EXPECT_NE(text.find("lvRates.SortType=2,1"), std::string::npos);

  TListColumns read;
  read.Widths = {1, 2, 3, 4};
  read.Sort = std::array<int32_t, 2>{-1, 0};
  ws.ReadWindowListColumns("TFormScrRates", "lvRates", read);
  EXPECT_EQ(read.Widths, (std::vector<int32_t>{140, 61, 130, 4}));
  EXPECT_EQ(*read.Sort, (std::array<int32_t, 2>{2, 1}));
  // The main window's section does not see it.
  TListColumns main;
  main.Widths = {5};
  ws.ReadListColumns("lvRates", main);
  EXPECT_EQ(main.Widths, (std::vector<int32_t>{5}));
}

}  // namespace
}  // namespace vexa

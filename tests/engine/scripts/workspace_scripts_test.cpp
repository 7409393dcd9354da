// The script list as the workspace owns it: start-up, questions, the view.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/error.h"
#include "scripts/script_list.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "workspace/workspace.h"

namespace vexa {
namespace {

using test::ReadBytes;
using test::TScriptedUi;
using test::TTempDir;
using test::WriteBytes;

using TLines = std::vector<std::string>;

TEST(WorkspaceScripts, WorkingFileIsReadAtStartUp) {
  TTempDir dir;
  WriteBytes(dir / "Korvane_6x45.lss", "FULL:0#RAND|tsd1#nums:20#cmv:3#sf:1| | | | | | |\xF2\xE5\xF1\xF2\r\n\r\n");
  TScriptedUi ui;
  TWorkspace ws(dir.Path(), ui);
  ASSERT_EQ(ws.Open(), 0);
  ASSERT_EQ(ws.ScriptLines().size(), 2u);
  const auto row = ws.ScriptViewRow(0);
  EXPECT_EQ(row[0], "тест");
  EXPECT_EQ(row[1], "Исходный список; Случайно; Все создаваемые ставки");
  EXPECT_EQ(row[2], "TSD1#NUMS:20#CMV:3#SF:1");
  EXPECT_EQ(ws.ScriptViewRow(1)[2], "");
  EXPECT_EQ(ws.ScriptParseFilter("TSD1#NUMS:20").Stat, &ws.Stats().Items(ws.Stats().IndexOfCode("NUMS")));
  EXPECT_THROW(ws.ScriptViewRow(2), EVexaError);
}

TEST(WorkspaceScripts, MissingOrUnreadableWorkingFile) {
  TTempDir dir;
  {
    TScriptedUi ui;
    TWorkspace ws(dir.Path(), ui);
    EXPECT_EQ(ws.Open(), 0);
    EXPECT_TRUE(ws.ScriptLines().empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "Korvane_6x45.lss")) << "nothing changed, nothing written";
  }
  std::filesystem::create_directory(dir / "Korvane_6x45.lss");
  TScriptedUi ui;
  TWorkspace ws(dir.Path(), ui);
  EXPECT_EQ(ws.Open(), 1);
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Text,
            "Ошибка чтения файла \"" + (dir / "Korvane_6x45.lss").string() + "\"!\r\rIs a directory");
  EXPECT_TRUE(ws.ScriptLines().empty());
  EXPECT_EQ(ws.BusyCount(), 0);
}

TEST(WorkspaceScripts, DeletingAsksFirst) {
  TTempDir dir;
  TScriptedUi ui;
  TWorkspace ws(dir.Path(), ui);
  ASSERT_EQ(ws.Open(), 0);
  for (const char* line : {"a|TSD1#NUMS:20", "b|TSD1#NUMS:30", "c|TSD1#NUMS:40"}) ws.ScriptAdd(line);

  ui.Answers = {false};
  EXPECT_EQ(ws.ScriptDel({2, 0}), 0);
  EXPECT_EQ(ui.Questions.back(), "Удалить все выделенные записи (всего будет удалено 2 записи(ей))?");
  EXPECT_EQ(ws.ScriptLines().size(), 3u);

  ui.Answers = {true};
  EXPECT_EQ(ws.ScriptDel({1}), 1);
  EXPECT_EQ(ui.Questions.back(), "Удалить выделенную запись?");
  EXPECT_EQ(ws.ScriptLines(), (TLines{"a|TSD1#NUMS:20", "c|TSD1#NUMS:40"}));
  EXPECT_EQ(ReadBytes(dir / "Korvane_6x45.lss"), "a|TSD1#NUMS:20\r\nc|TSD1#NUMS:40\r\n");

  const size_t asked = ui.Questions.size();
  EXPECT_THROW(ws.ScriptDel({0, 7}), EVexaError);
  EXPECT_EQ(ui.Questions.size(), asked) << "a bad index fails before the question";

  ui.Answers = {false};
  EXPECT_FALSE(ws.ScriptClr());
  EXPECT_EQ(ui.Questions.back(), "Удалить все выделенные записи (всего будет удалено 2 записи(ей))?");
  ui.Answers = {true};
  EXPECT_TRUE(ws.ScriptClr());
  EXPECT_TRUE(ws.ScriptLines().empty());
  EXPECT_EQ(ReadBytes(dir / "Korvane_6x45.lss"), "");
  EXPECT_FALSE(ws.ScriptClr()) << "nothing to clear, nothing asked";
  EXPECT_EQ(ws.BusyCount(), 0);
  EXPECT_EQ(ws.StatusText(), "");
}

TEST(WorkspaceScripts, CommandsKeepTheWorkingFile) {
  TTempDir dir;
  TScriptedUi ui;
  TWorkspace ws(dir.Path(), ui);
  ASSERT_EQ(ws.Open(), 0);
  const auto file = dir / "user.lsc";
  WriteBytes(file, "x|TSD1#NUMS:20\r\ny|TSD1#NUMS:30\r\n");

  EXPECT_EQ(ws.ScriptEmpty(), -1);
  EXPECT_EQ(ws.ScriptLoad(file), 2);
  EXPECT_EQ(ws.ScriptEmpty(), 2);
  EXPECT_EQ(ws.ScriptAdd("z|TSD1#NUMS:40"), 3);
  EXPECT_EQ(ws.ScriptClone(3, "w|TSD1#NUMS:50"), 4);
  ws.ScriptEdit(0, "v|TSD1#NUMS:10");
  EXPECT_EQ(ws.ScriptUp(1), 0);
  EXPECT_EQ(ws.ScriptDown(3), 4);
  const TLines expected{"y|TSD1#NUMS:30", "v|TSD1#NUMS:10", "", "w|TSD1#NUMS:50", "z|TSD1#NUMS:40"};
  EXPECT_EQ(ws.ScriptLines(), expected);
  EXPECT_EQ(ReadScriptFile(dir / "Korvane_6x45.lss"), expected);

  ws.ScriptOpen(file);
  EXPECT_EQ(ws.ScriptLines(), (TLines{"x|TSD1#NUMS:20", "y|TSD1#NUMS:30"}));
  EXPECT_EQ(ReadBytes(dir / "Korvane_6x45.lss"), ReadBytes(file));
  ws.ScriptSave(dir / "copy.lsc");
  EXPECT_EQ(ReadBytes(dir / "copy.lsc"), ReadBytes(file));
  EXPECT_EQ(ws.BusyCount(), 0);
  EXPECT_EQ(ws.StatusText(), "") << "the status is cleared after every command";
}

}  // namespace
}  // namespace vexa

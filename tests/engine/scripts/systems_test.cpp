// The local systems folder: file names and the expansion of a system.
#include "scripts/systems.h"

#include <gtest/gtest.h>

#include <string>

#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace vexa {
namespace {

using test::TScriptedUi;
using test::TTempDir;
using test::WriteBytes;

TEST(SystemFiles, NamesAndPattern) {
  EXPECT_EQ(SystemFileName(10, 3, 123), "6-10-3_0123.dat");
  EXPECT_EQ(SystemFileName(7, 0, 5), "6-07-0_0005.dat");
  EXPECT_EQ(SystemFileName(45, 5, 123456), "6-45-5_123456.dat");
  EXPECT_EQ(SystemFilePattern(9), "6-09-*_*.dat");

  struct TCase {
    const char* Name;
    int Nums;
    bool Matches;
  };
  const TCase cases[] = {{"6-10-3_0123.dat", 10, true}, {"6-10-3_0123.DAT", 10, true}, {"6-10-_.dat", 10, true},
                         {"6-10-3_0123.dat", 11, false}, {"6-10-30123.dat", 10, false}, {"6-10-3_0123.txt", 10, false},
                         {"5-10-3_0123.dat", 10, false}, {"6-9-3_0123.dat", 9, false},  {"6-09-3_1.dat", 9, true}};
  for (const TCase& c : cases) EXPECT_EQ(MatchesSystemPattern(c.Name, c.Nums), c.Matches) << c.Name;
}

TEST(SystemFiles, LineWords) {
  EXPECT_EQ(SystemLineWords("1,2,3;4 5-6"), (std::vector<std::string>{"1", "2", "3", "4", "5", "6"}));
  EXPECT_EQ(SystemLineWords(" 01*02+03/04:05=06\\07_08|09~10.11 "),
            (std::vector<std::string>{"01", "02", "03", "04", "05", "06", "07", "08", "09", "10", "11"}));
  EXPECT_TRUE(SystemLineWords("  ,;  ").empty());
}

class ExpandSystemTest : public ::testing::Test {
 protected:
  TTempDir dir;
  TScriptedUi ui;
  // The player's seven numbers, in the order they were found.
  const TByteArray numbers{45, 3, 17, 8, 30, 22, 11};

  std::filesystem::path Folder() {
    std::filesystem::create_directories(SystemsFolder(dir.Path()));
    return SystemsFolder(dir.Path());
  }
};

TEST_F(ExpandSystemTest, PositionsPickThePlayersNumbers) {
  WriteBytes(Folder() / "6-07-3_0042.dat", "1 2 3 4 5 6\r\n07,06,05,04,03,02\r\n\r\n1-3-5-7-2-4\r\n");
  const TSystemExpansion e = ExpandSystem(numbers, dir.Path(), ui);
  ASSERT_TRUE(e.Ok) << e.Error;
  EXPECT_EQ(e.File.string(), (Folder() / "6-07-3_0042.dat").string());
  EXPECT_EQ(e.File.stem().string(), "6-07-3_0042");
  ASSERT_EQ(e.Combs.size(), 3u) << "the blank line gives none";
  EXPECT_EQ(e.Combs[0], (TComb{45, 3, 17, 8, 30, 22}));
  EXPECT_EQ(e.Combs[1], (TComb{11, 22, 30, 8, 17, 3})) << "in the line's order, not sorted";
  EXPECT_EQ(e.Combs[2], (TComb{45, 17, 30, 11, 3, 8}));
  EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(ExpandSystemTest, TheFirstFileByNameAndOnlyFiles) {
  std::filesystem::create_directories(Folder() / "6-07-9_0001.dat");
  WriteBytes(Folder() / "6-07-3_0200.dat", "1 2 3 4 5 7\r\n");
  WriteBytes(Folder() / "6-07-3_0100.dat", "1 2 3 4 5 6\r\n");
  WriteBytes(Folder() / "6-08-3_0001.dat", "1 2 3 4 5 8\r\n");
  const TSystemExpansion e = ExpandSystem(numbers, dir.Path(), ui);
  ASSERT_TRUE(e.Ok) << e.Error;
  EXPECT_EQ(e.File.filename().string(), "6-07-3_0100.dat");
  EXPECT_EQ(FindSystemFiles(Folder(), 7).size(), 2u);
  EXPECT_TRUE(FindSystemFiles(dir / "nowhere", 7).empty());
}

TEST_F(ExpandSystemTest, NoSystemForThisCount) {
  WriteBytes(Folder() / "6-08-3_0001.dat", "1 2 3 4 5 8\r\n");
  for (const std::filesystem::path& data : {dir.Path(), dir / "empty"}) {
    ui.Messages.clear();
    const TSystemExpansion e = ExpandSystem(numbers, data, ui);
    EXPECT_FALSE(e.Ok);
    EXPECT_TRUE(e.Combs.empty());
    EXPECT_EQ(e.Error, "Система для 7 чисел не найдена или не загружена на компьютер!");
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Text,
              "Система для 7 чисел не найдена или не загружена на компьютер!\r\rПеред системной игрой необходимо "
              "предварительно загрузить системы на Ваш компьютер через меню \"Системы\" - \"Загрузить\".");
  }
}

TEST_F(ExpandSystemTest, BadLinesFailTheWholeSystem) {
  struct TCase {
    const char* Content;
    const char* Reason;
  };
  const TCase cases[] = {
      {"1 2 3 4 5 6\r\n1 2 3 4 5 x\r\n", "Некорректная комбинация системы в строке 2: \"1 2 3 4 5 x\""},
      {"1 2 3 4 5 8\r\n", "Некорректная комбинация системы в строке 1: \"1 2 3 4 5 8\""},
      {"0 2 3 4 5 6\r\n", "Некорректная комбинация системы в строке 1: \"0 2 3 4 5 6\""},
      {"1 2 3 4 5\r\n", "Некорректная комбинация системы в строке 1: \"1 2 3 4 5\""},
      {"1 1 2 3 4 5\r\n", "Некорректная комбинация системы в строке 1: \"1 1 2 3 4 5\""},
      {"\r\n  \r\n", "Файл системы не содержит комбинаций"},
  };
  for (const TCase& c : cases) {
    ui.Messages.clear();
    WriteBytes(Folder() / "6-07-3_0042.dat", c.Content);
    const TSystemExpansion e = ExpandSystem(numbers, dir.Path(), ui);
    EXPECT_FALSE(e.Ok) << c.Content;
    EXPECT_TRUE(e.Combs.empty());
    EXPECT_EQ(e.Error, std::string("Ошибка загрузки комбинаций системы!\r\r") + c.Reason);
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Kind, TMessageKind::Error);
    EXPECT_EQ(ui.Messages[0].Text, e.Error);
  }
  // Words past the sixth are not read.
  WriteBytes(Folder() / "6-07-3_0042.dat", "1 2 3 4 5 6 99\r\n");
  EXPECT_TRUE(ExpandSystem(numbers, dir.Path(), ui).Ok);
}

}  // namespace
}  // namespace vexa

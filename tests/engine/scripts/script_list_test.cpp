// The script list: editing commands, and the working file after each.
#include "scripts/script_list.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/error.h"
#include "support/fault.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace vexa {
namespace {

using test::ReadBytes;
using test::TFileSizeLimit;
using test::TScriptedUi;
using test::TTempDir;
using test::WriteBytes;

using TLines = std::vector<std::string>;

const std::string LineA = "FULL:0#RAND|TSD1#NUMS:20#CMV:3#SF:1| | | | | | |первая";
const std::string LineB = "EXCL:2#FIRST#NEX|BSF1#SUMS:10-30;10#LNO:#SC:50| | | | | | |";
const std::string LineC = "CURR:0#ALL|TSD1#NUMS:10#LNO:#SF:1| | | | | | |c";

// The file's bytes for these UTF-8 lines: cp1251, CR LF after each.
std::string FileOf(const TLines& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::string ThrownBy(const std::function<void()>& f) {
  try {
    f();
  } catch (const EVexaError& e) {
    return e.what();
  }
  return "";
}

class ScriptList : public ::testing::Test {
 protected:
  TTempDir dir;
  TScriptedUi ui;
  TScriptList list{dir / "Korvane_6x45.lss"};

  // The list and the working file hold these lines.
  void Expect(const TLines& lines) {
    EXPECT_EQ(list.Lines(), lines);
    EXPECT_EQ(ReadScriptFile(list.WorkingFile()), lines);
  }
};

TEST_F(ScriptList, EveryCommandWritesTheWorkingFile) {
  EXPECT_EQ(list.AddSeparator(), -1) << "no separator in an empty list";
  EXPECT_FALSE(std::filesystem::exists(list.WorkingFile()));

  EXPECT_EQ(list.Add(LineA), 0);
  Expect({LineA});
  EXPECT_EQ(list.AddSeparator(), 1);
  Expect({LineA, ""});
  EXPECT_EQ(list.Add(LineB), 2);
  Expect({LineA, "", LineB});
  EXPECT_EQ(list.Clone(0, LineC), 3);
  Expect({LineA, "", LineB, LineC});
  list.Edit(2, LineA + "x");
  Expect({LineA, "", LineA + "x", LineC});

  EXPECT_EQ(list.MoveUp(3), 2);
  Expect({LineA, "", LineC, LineA + "x"});
  EXPECT_EQ(list.MoveUp(0), 0) << "the first line stays";
  EXPECT_EQ(list.MoveDown(0), 1);
  Expect({"", LineA, LineC, LineA + "x"});
  EXPECT_EQ(list.MoveDown(3), 3) << "the last line stays";
  Expect({"", LineA, LineC, LineA + "x"});

  EXPECT_EQ(list.Delete({3, 0, 3}, ui), 2);
  Expect({LineA, LineC});
  EXPECT_EQ(ui.Statuses.back(), "Удаление строк...");
  EXPECT_EQ(list.Delete({}, ui), 0);

  list.Clear(ui);
  Expect({});
  EXPECT_EQ(ReadBytes(list.WorkingFile()), "");
}

TEST_F(ScriptList, FileIsCp1251WithCrLf) {
  list.Add(LineA);
  list.Add("");
  const std::string bytes = ReadBytes(list.WorkingFile());
  // "первая" in code page 1251.
  EXPECT_EQ(bytes, "FULL:0#RAND|TSD1#NUMS:20#CMV:3#SF:1| | | | | | |\xEF\xE5\xF0\xE2\xE0\xFF\r\n\r\n");

  // What cp1251 cannot hold, and line breaks, are stored as the file gives them back.
  EXPECT_EQ(list.Add("a\r\nb\nc|日本"), 2);
  EXPECT_EQ(list.Line(2), "a  b c|??");
  Expect({LineA, "", "a  b c|??"});
}

TEST_F(ScriptList, OpenReplacesAndSaveWrites) {
  list.Add(LineA);
  const auto user = dir / "mine.lsc";
  WriteBytes(user, "x|TSD1#NUMS:20\r\n\r\ny|TSD1#NUMS:30\n\xEF\xE5\xF0\r\n");
  list.Open(user, ui);
  Expect({"x|TSD1#NUMS:20", "", "y|TSD1#NUMS:30", "пер"});
  EXPECT_EQ(ui.Statuses.back(), "Загрузка файла \"" + user.string() + "\"...");

  const auto copy = dir / "copy.lsc";
  list.Save(copy, ui);
  EXPECT_EQ(ReadBytes(copy), "x|TSD1#NUMS:20\r\n\r\ny|TSD1#NUMS:30\r\n\xEF\xE5\xF0\r\n");
  EXPECT_EQ(ui.Statuses.back(), "Сохранение файла \"" + copy.string() + "\"...");

  // A script that came as text replaces the list the same way.
  list.Assign({"p|TSD1#NUMS:20", "q\nr", ""});
  Expect({"p|TSD1#NUMS:20", "q r", ""});
}

TEST_F(ScriptList, HugeFileIsRefusedWithoutReadingIt) {
  list.Add(LineA);
  const auto huge = dir / "huge.lsc";
  WriteBytes(huge, "");
  std::filesystem::resize_file(huge, ScriptFileMaxSize + 1);
  try {
    list.Open(huge, ui);
    ADD_FAILURE() << "read";
  } catch (const EVexaError& e) {
    EXPECT_EQ(std::string(e.what()), "Ошибка чтения файла \"" + huge.string() +
                                         "\"!\r\rФайл слишком велик: больше 67108864 байт");
  }
  Expect({LineA});
}

TEST_F(ScriptList, AppendingAFileAddsOneSeparator) {
  const auto part = dir / "part.lsc";
  WriteBytes(part, LineB + "\r\n" + LineC + "\r\n");
  const auto empty = dir / "empty.lsc";
  WriteBytes(empty, "");

  EXPECT_EQ(list.Load(part, ui), 2) << "an empty list takes the file as it is";
  Expect({LineB, LineC});
  EXPECT_EQ(list.Load(part, ui), 3);
  Expect({LineB, LineC, "", LineB, LineC});
  list.AddSeparator();
  EXPECT_EQ(list.Load(part, ui), 2) << "the list already ends with a separator";
  Expect({LineB, LineC, "", LineB, LineC, "", LineB, LineC});

  const std::string before = ReadBytes(list.WorkingFile());
  EXPECT_EQ(list.Load(empty, ui), 0);
  EXPECT_EQ(list.Count(), 8);
  EXPECT_EQ(ReadBytes(list.WorkingFile()), before);

  list.Edit(7, "   ");
  EXPECT_EQ(list.Load(part, ui), 2) << "a blank line is a separator too";
  EXPECT_EQ(list.Count(), 10);
}

TEST_F(ScriptList, AFailedWriteLeavesTheFileAndTheList) {
  list.Add(LineA);
  list.Add(LineB);
  const TLines before = list.Lines();
  const std::string bytes = ReadBytes(list.WorkingFile());
  const auto user = dir / "big.lsc";
  WriteBytes(user, FileOf({LineC, LineC, LineC, LineC}));

  std::vector<std::string> errors;
  {
    TFileSizeLimit limit(16);
    errors.push_back(ThrownBy([&] { list.Add(LineC); }));
    errors.push_back(ThrownBy([&] { list.Edit(0, LineC); }));
    errors.push_back(ThrownBy([&] { list.Delete({0}, ui); }));
    errors.push_back(ThrownBy([&] { list.MoveDown(0); }));
    errors.push_back(ThrownBy([&] { list.Load(user, ui); }));
    errors.push_back(ThrownBy([&] { list.Open(user, ui); }));
    errors.push_back(ThrownBy([&] { list.Save(dir / "out.lsc", ui); }));
  }
  const std::string prefix = "Ошибка записи в файл \"" + list.WorkingFile().string() + "\"!\r\r";
  for (size_t i = 0; i + 1 < errors.size(); ++i) EXPECT_EQ(errors[i], prefix + "File too large") << i;
  EXPECT_EQ(errors.back(), "Ошибка записи в файл \"" + (dir / "out.lsc").string() + "\"!\r\rFile too large");
  EXPECT_FALSE(std::filesystem::exists(dir / "out.lsc"));
  EXPECT_EQ(list.Lines(), before);
  EXPECT_EQ(ReadBytes(list.WorkingFile()), bytes);

  list.Add(LineC);
  Expect({LineA, LineB, LineC});
}

TEST_F(ScriptList, AFailedReadLeavesTheList) {
  list.Add(LineA);
  const auto missing = dir / "missing.lsc";
  const std::string message = "Ошибка чтения файла \"" + missing.string() + "\"!\r\rNo such file or directory";
  EXPECT_EQ(ThrownBy([&] { list.Open(missing, ui); }), message);
  EXPECT_EQ(ThrownBy([&] { list.Load(missing, ui); }), message);
  Expect({LineA});
}

TEST_F(ScriptList, IndexesOutsideTheList) {
  list.Add(LineA);
  list.Add("");
  for (int bad : {-1, 2, 100}) {
    const std::string message = "Запись со индексом " + std::to_string(bad) + " в файле данных не найдена!";
    EXPECT_EQ(ThrownBy([&] { list.Line(bad); }), message);
    EXPECT_EQ(ThrownBy([&] { list.Edit(bad, LineB); }), message);
    EXPECT_EQ(ThrownBy([&] { list.Clone(bad, LineB); }), message);
    EXPECT_EQ(ThrownBy([&] { list.MoveUp(bad); }), message);
    EXPECT_EQ(ThrownBy([&] { list.MoveDown(bad); }), message);
  }
  EXPECT_EQ(ThrownBy([&] { list.Delete({0, 5}, ui); }), "Запись со индексом 5 в файле данных не найдена!");
  Expect({LineA, ""});
  EXPECT_TRUE(list.IsSeparator(1));
  EXPECT_FALSE(list.IsSeparator(0));
}

TEST_F(ScriptList, WorkingFileAtStartUp) {
  list.LoadWorking(ui);
  EXPECT_TRUE(list.Empty()) << "no working file";
  WriteBytes(list.WorkingFile(), "a\r\n\r\nb\r\n");
  list.LoadWorking(ui);
  EXPECT_EQ(list.Lines(), (TLines{"a", "", "b"}));
}

}  // namespace
}  // namespace vexa

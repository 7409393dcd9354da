// vexa export: workbooks of the tables, stored and file parameters, selections.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/codec.h"
#include "support/temp_dir.h"
#include "support/xlsx_sheet.h"

namespace vexa {
namespace {

using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;

struct TResult {
  int Status = -1;
  std::string Out;
  std::string Err;
};

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) {
    if (c == '\'')
      q += "'\\''";
    else
      q += c;
  }
  return q + "'";
}

class ExportCli : public ::testing::Test {
 protected:
  TTempDir dir;

  TResult Run(const std::vector<std::string>& args) {
    std::string cmd = "env -u VEXA_DATA_DIR " + Quote(VEXA_CLI_PATH) + " --data-dir " + Quote(dir.Path().string());
    for (const auto& a : args) cmd += " " + Quote(a);
    cmd += " >" + Quote((dir / "out.txt").string()) + " 2>" + Quote((dir / "err.txt").string()) + " </dev/null";
    const int raw = std::system(cmd.c_str());
    TResult r;
    r.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.Out = ReadBytes(dir / "out.txt");
    r.Err = ReadBytes(dir / "err.txt");
    return r;
  }
  std::string File(const char* name) const { return (dir / name).string(); }
  std::string Sheet(const char* book) {
    const std::string cmd = "unzip -p " + Quote(File(book)) + " xl/worksheets/sheet1.xml > " + Quote(File("s.xml"));
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    return ReadBytes(dir / "s.xml");
  }
  void Demo() { ASSERT_EQ(Run({"draws", "demo", "--count", "30", "--seed", "4"}).Status, 0); }
};

TEST_F(ExportCli, DrawsAllAndSelectedRows) {
  Demo();
  TResult r = Run({"export", "draws", "-o", File("d.xlsx")});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "Записано строк: 30\n");
  std::string sheet = Sheet("d.xlsx");
  EXPECT_NE(sheet.find("<t>Архив тиражей</t>"), std::string::npos);
  EXPECT_NE(sheet.find("<t>Дата тиража</t>"), std::string::npos);
  // Captions in row 4, 30 rows of 11 columns; draw numbers as numbers, dates as text.
  const auto cells = test::ReadSheetCells(sheet);
  EXPECT_EQ(cells.count("K34"), 1u);
  EXPECT_EQ(cells.count("A35") + cells.count("L4"), 0u);
  EXPECT_TRUE(cells.at("A5").Number);
  EXPECT_FALSE(cells.at("K5").Number);

  r = Run({"export", "draws", "-o", File("s.xlsx"), "--selected", "2,5-6"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "Записано строк: 3\n");
}

TEST_F(ExportCli, ParamsFileChoosesColumnsAndTitle) {
  Demo();
  WriteBytes(dir / "p.exp", Utf8ToCp1251("[EXPORT_EXCEL_FORMMAIN.LVDRAWS]\r\nTitle=Мой отчет\r\nShowCreateTime=0\r\n"
                                         "Item_0=10;Дата тиража;Когда;-1;2;14.00\r\nItem_1=0;Тираж;№;-1;1;6.00\r\n"
                                         "Item_2=1;1;1;0;0;3.00\r\n"));
  TResult r = Run({"export", "draws", "-o", File("p.xlsx"), "--params", File("p.exp")});
  ASSERT_EQ(r.Status, 0) << r.Err;
  const std::string sheet = Sheet("p.xlsx");
  EXPECT_NE(sheet.find("<t>Мой отчет</t>"), std::string::npos);
  EXPECT_EQ(sheet.find("Отчет построен"), std::string::npos);
  // Title row 1, captions row 3: "Когда", "№", then the other columns but "1".
  const auto cells = test::ReadSheetCells(sheet);
  EXPECT_EQ(cells.at("A3").Text, "Когда");
  EXPECT_EQ(cells.at("B3").Text, "№");
  EXPECT_EQ(cells.at("C3").Text, "2");
  EXPECT_FALSE(cells.at("C3").Number);  // a caption stays text
  EXPECT_EQ(cells.at("A3").Style, cells.at("C3").Style);
  EXPECT_NE(cells.at("A3").Style, cells.at("A4").Style);
}

TEST_F(ExportCli, EveryTableExports) {
  Demo();
  for (const std::vector<std::string>& words : std::vector<std::vector<std::string>>{
           {"export", "stats", "NUMS"}, {"export", "ratings"}, {"export", "stakes"}, {"export", "card"},
           {"export", "layout"}}) {
    std::vector<std::string> args = words;
    args.insert(args.end(), {"-o", File("t.xlsx")});
    const TResult r = Run(args);
    EXPECT_EQ(r.Status, 0) << words[1] << ": " << r.Err;
  }
  EXPECT_EQ(Run({"export", "card", "-o", File("c.xlsx"), "--selected", "3-7"}).Out, "Записано строк: 5\n");
}

TEST_F(ExportCli, UsageAndFailures) {
  Demo();
  EXPECT_EQ(Run({"export", "draws"}).Status, 2);
  EXPECT_EQ(Run({"export", "stats", "-o", File("x.xlsx")}).Status, 2);
  EXPECT_EQ(Run({"export", "card", "-o", File("x.xlsx"), "--selected", "2,5"}).Status, 2);
  EXPECT_EQ(Run({"export", "draws", "-o", File("x.xlsx"), "--selected", "99"}).Status, 1);
  EXPECT_EQ(Run({"export", "stats", "NOPE", "-o", File("x.xlsx")}).Status, 1);
  const TResult r = Run({"export", "draws", "-o", File("nofolder/x.xlsx")});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("Ошибка экспорта данных"), std::string::npos) << r.Err;
}

}  // namespace
}  // namespace vexa

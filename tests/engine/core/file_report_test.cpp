#include "core/file_report.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace vexa {
namespace {

using test::TTempDir;
using test::WriteBytes;

class RecordingUi : public TSilentUserInterface {
 public:
  void ShowMessage(TMessageKind kind, std::string_view text, std::string_view cause) override {
    Kind = kind;
    Text = MessageBoxText(text, cause);
  }
  TMessageKind Kind = TMessageKind::Error;
  std::string Text;
};

TEST(FileReport, LockedLogLowersTheRunToAWarning) {
  TTempDir dir;
  for (const char* name : {"ScriptLog_1.txt", "ScriptLog_2.txt", "scriptlog_3.TXT", "Other.txt"})
    WriteBytes(dir / name, "x");
  const std::string pattern = (dir / "ScriptLog_*.txt").string();
  const TFileOperation op = DeleteFilesWithReport(pattern, [](const std::string& path) -> std::string {
    if (path.find("_2") != std::string::npos) return "Файл занят другим процессом";
    return std::filesystem::remove(path) ? "" : "?";
  });
  EXPECT_EQ(op.Title, "Удаление \"" + pattern + "\"");
  EXPECT_EQ(op.Summary, "Всего - 3, обработано - 2, пропущено - 0, предупреждений - 0, ошибок - 1.");
  EXPECT_EQ(op.State, TFileOpState::Warning);
  EXPECT_TRUE(std::filesystem::exists(dir / "ScriptLog_2.txt"));
  EXPECT_FALSE(std::filesystem::exists(dir / "scriptlog_3.TXT"));
  EXPECT_TRUE(std::filesystem::exists(dir / "Other.txt"));

  RecordingUi ui;
  ReportFileOperation(ui, op);
  EXPECT_EQ(ui.Kind, TMessageKind::Warning);
  EXPECT_EQ(ui.Text, op.Title + "\r\r" + op.Summary);
}

TEST(FileReport, FoldersAreSkippedAndCleanRunsAreOk) {
  TTempDir dir;
  WriteBytes(dir / "a.log", "x");
  std::filesystem::create_directory(dir / "b.log");
  const TFileOperation op = DeleteFilesWithReport((dir / "*.log").string());
  EXPECT_EQ(op.Summary, "Всего - 2, обработано - 1, пропущено - 1, предупреждений - 0, ошибок - 0.");
  EXPECT_EQ(op.State, TFileOpState::Ok);
  ASSERT_EQ(op.Notes.size(), 1u);
  EXPECT_EQ(op.Notes[0].Note, "Каталог игнорирован");
  EXPECT_TRUE(std::filesystem::is_directory(dir / "b.log"));
  EXPECT_FALSE(AnyFileMatches((dir / "*.txt").string()));

  RecordingUi ui;
  ReportFileOperation(ui, op);
  EXPECT_EQ(ui.Kind, TMessageKind::Information);
}

TEST(FileReport, FailureLines) {
  EXPECT_EQ(FileOpFailureLine(false, "01.01.2026 10:00", "a.exe", "нет доступа"),
            "[01.01.2026 10:00] Ошибка при выполнении операции \"a.exe\":\r\nнет доступа!");
  EXPECT_EQ(FileOpFailureLine(true, "t", "i", "e"), "[t] Предупреждение при выполнении операции \"i\":\r\ne!");
}

}  // namespace
}  // namespace vexa

#include <gtest/gtest.h>

#include "core/ini_file.h"
#include "core/settings.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "workspace/workspace.h"

namespace vexa {
namespace {

using test::TScriptedUi;
using test::TTempDir;

TEST(WorkspaceUpdate, ExportWorkbookFileIsNewInTheExcelFolder) {
  TTempDir dir;
  TScriptedUi ui;
  TWorkspace ws(dir.Path(), ui);
  ws.Open();
  TExportParams params;
  params.SheetName = "a/b:c[d]?";
  const auto first = ws.ExportWorkbookFile(params);
  EXPECT_EQ(first.parent_path(), dir.Path() / "Excel");
  EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "Excel"));
  EXPECT_EQ(first.extension(), ".xlsx");
  EXPECT_EQ(first.filename().string().rfind("a-bc(d) ", 0), 0u) << first;
  test::WriteBytes(first, "x");
  const auto second = ws.ExportWorkbookFile(params);
  EXPECT_NE(second, first);
  EXPECT_FALSE(std::filesystem::exists(second));
  params.SheetName = "  ";
  EXPECT_EQ(ws.ExportWorkbookFile(params).filename().string().rfind("Export ", 0), 0u);
}

TEST(WorkspaceUpdate, ConfigAddressFromTheSettingsOrTheSite) {
  TTempDir dir;
  TScriptedUi ui;
  TWorkspace ws(dir.Path(), ui);
  ws.Open();
  EXPECT_EQ(ws.UpdateConfigAddress(), "");
  {
    TIniFile ini(ws.DataFile(SettingsFileExt));
    ini.WriteString("WEB", "MainSite", "https://example.org/");
    ini.UpdateFile();
  }
  EXPECT_EQ(ws.UpdateConfigAddress(), "https://example.org/files/autoupdates/Vexa_AU.cfg");
  {
    TIniFile ini(ws.DataFile(SettingsFileExt));
    ini.WriteString(UpdateSettingsSection, "ConfigUrl", " /srv/updates/Vexa_AU.cfg ");
    ini.UpdateFile();
  }
  EXPECT_EQ(ws.UpdateConfigAddress(), "/srv/updates/Vexa_AU.cfg");
}

TEST(WorkspaceUpdate, WithoutAnAddressSilentIsQuietAndTheCommandSaysWhy) {
  TTempDir dir;
  TScriptedUi ui;
  TWorkspace ws(dir.Path(), ui);
  ws.Open();
  int asked = 0;
  auto confirm = [&asked](const TUpdateOffer&) { return ++asked > 0; };
  EXPECT_EQ(ws.CheckForUpdates(dir.Path() / "Korvane_6x45", true, 1049, confirm), UpdateNothing);
  EXPECT_TRUE(ui.Messages.empty());
  EXPECT_EQ(ws.CheckForUpdates(dir.Path() / "Korvane_6x45", false, 1049, confirm), UpdateError);
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Text.rfind("Ошибка поиска обновлений!\r\r", 0), 0u);
  EXPECT_EQ(asked, 0);
  EXPECT_FALSE(ws.IsBusy());
}

TEST(WorkspaceUpdate, AFolderConfigurationWithTheRunningBuildFindsNothing) {
  TTempDir dir;
  TScriptedUi ui;
  TWorkspace ws(dir.Path(), ui);
  ws.Open();
  const auto server = dir.Path() / "srv";
  std::filesystem::create_directories(server);
  test::WriteBytes(server / "Vexa_AU.cfg", std::string("[Korvane_6x45]\r\nVerId=") + ProgramVersion() +
                                               "\r\nDownloadUrl=" + (server / "pkg.upd").string() + "\r\n");
  {
    TIniFile ini(ws.DataFile(SettingsFileExt));
    ini.WriteString(UpdateSettingsSection, "ConfigUrl", (server / "Vexa_AU.cfg").string());
    ini.UpdateFile();
  }
  const auto program = dir.Path() / "prog" / "Korvane_6x45";
  std::filesystem::create_directories(program.parent_path());
  test::WriteBytes(program, "program");
  EXPECT_EQ(ws.CheckForUpdates(program, false, 1049, [](const TUpdateOffer&) { return true; }), UpdateNothing);
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Text, "Обновлений не найдено!");
  EXPECT_FALSE(std::filesystem::exists(program.parent_path() / UpdateConfigCopy));
}

TEST(WorkspaceUpdate, AutoSelfUpdateTogglesAndWritesAtOnce) {
  TTempDir dir;
  TScriptedUi ui;
  TWorkspace ws(dir.Path(), ui);
  ws.Open();
  ASSERT_TRUE(ws.Window().AutoUpdates);
  ws.AutoSelfUpdate();
  EXPECT_FALSE(ws.Window().AutoUpdates);
  EXPECT_FALSE(ReadWindowBool(ws.DataFile(WindowSettingsFileExt), MainWindowSection,
                              "AutoUpdates", true));
  ws.AutoSelfUpdate();
  EXPECT_TRUE(ReadWindowBool(ws.DataFile(WindowSettingsFileExt), MainWindowSection,
                             "AutoUpdates", false));
}

}  // namespace
}  // namespace vexa

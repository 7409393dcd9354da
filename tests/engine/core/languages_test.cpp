#include "core/languages.h"

#include <gtest/gtest.h>

#include "core/error.h"
#include "core/settings.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "workspace/workspace.h"

namespace vexa {
namespace {

using test::TTempDir;
using test::WriteBytes;

TEST(Languages, ModulesAreNamedByTheProgramAndTheAbbreviation) {
  struct {
    const char* Program;
    int32_t Lcid;
    const char* Module;
  } cases[] = {
      {"/opt/k/Korvane_6x45", 1033, "/opt/k/Korvane_6x45_ENU.lng"},
      {"/opt/k/Korvane_6x45.exe", 1058, "/opt/k/Korvane_6x45_UKR.lng"},  // the extension goes
      {"/opt/k/Korvane_6x45", 2057, "/opt/k/Korvane_6x45_ENG.lng"},
      {"/opt/k/Korvane_6x45", 1049, "/opt/k/Korvane_6x45_RUS.lng"},
      {"/opt/k/Korvane_6x45", 0, ""},      // no locale
      {"/opt/k/Korvane_6x45", 65535, ""},  //
  };
  for (const auto& c : cases) EXPECT_EQ(LanguageModule(c.Program, c.Lcid).string(), c.Module) << c.Lcid;
  EXPECT_EQ(PrimaryLanguage(2057), PrimaryLanguage(1033)) << "British and American English share the language";
  for (size_t i = 1; i < KnownLanguages().size(); ++i)
    EXPECT_LT(KnownLanguages()[i - 1].Lcid, KnownLanguages()[i].Lcid);
}

TEST(Languages, TheBuiltInLanguageAndEveryModuleFoundAreOffered) {
  TTempDir dir;
  const auto program = dir / "Korvane_6x45";
  EXPECT_EQ(AvailableLanguages(program), (std::vector<int32_t>{1049}));
  WriteBytes(dir / "Korvane_6x45_UKR.lng", "x");
  WriteBytes(dir / "Korvane_6x45_ENU.lng", "x");
  WriteBytes(dir / "Korvane_6x45_XYZ.lng", "x");   // no such language
  WriteBytes(dir / "Other_DEU.lng", "x");          // another program's
  std::filesystem::create_directory(dir / "Korvane_6x45_FRA.lng");  // not a file
  EXPECT_EQ(AvailableLanguages(program), (std::vector<int32_t>{1033, 1049, 1058}));
}

TEST(Languages, ChoosingStoresTheLanguageOnlyWhenItsModuleExists) {
  TTempDir dir;
  test::TScriptedUi ui;
  const auto program = dir / "bin" / "Korvane_6x45";
  std::filesystem::create_directory(dir / "bin");
  {
    TWorkspace ws(dir.Path(), ui);
    ws.Open();
    EXPECT_EQ(ws.Window().Language, 1033);
    EXPECT_EQ(ws.CurrentLanguage(program), 1049) << "the default's module is missing: built in";
    try {
      ws.ChooseLanguage(1058, program);
      ADD_FAILURE() << "a missing module is refused";
    } catch (const EVexaError& e) {
      EXPECT_EQ(std::string(e.what()), "Языковый модуль \"Korvane_6x45_UKR.lng\" не найден!");
    }
    EXPECT_EQ(ws.Window().Language, 1033) << "nothing stored";

    WriteBytes(dir / "bin" / "Korvane_6x45_UKR.lng", "x");
    ws.ChooseLanguage(1058, program);
    EXPECT_EQ(ReadWindowInt(dir / "Korvane_6x45.frm", MainWindowSection, "Language", 0), 1058);
    EXPECT_EQ(ws.CurrentLanguage(program), 1058);
    ws.ChooseLanguage(1049, program);  // the built-in one needs no module
    EXPECT_EQ(ws.CurrentLanguage(program), 1049);

    ws.ChooseLanguage(1058, program);
  }
  TStartSwitches noLanguage;
  noLanguage.NoLanguage = true;
  TWorkspace again(dir.Path(), ui);
  again.Open(noLanguage);
  EXPECT_EQ(again.Window().Language, 1058);
  EXPECT_EQ(again.CurrentLanguage(program), 1049) << "no-language";
}

}  // namespace
}  // namespace vexa

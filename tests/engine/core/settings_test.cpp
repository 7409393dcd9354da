#include "core/settings.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>

#include "core/codec.h"
#include "core/error.h"
#include "core/format.h"
#include "support/fault.h"
#include "support/temp_dir.h"

namespace vexa {
namespace {

using test::TFileSizeLimit;

using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;

// Every test here runs with "," as the decimal separator unless it pins another.
class Settings : public ::testing::Test {
 protected:
  void SetUp() override {
    Saved_ = FormatSettings();
    Pin(",");
  }
  void TearDown() override { SetFormatSettings(Saved_); }
  void Pin(const char* separator) {
    TFormatSettings s = Saved_;
    s.DecimalSeparator = separator;
    SetFormatSettings(s);
  }

  std::filesystem::path File(std::string_view bytes) {
    WriteBytes(Dir_ / "Korvane_6x45.ini", bytes);
    return Dir_ / "Korvane_6x45.ini";
  }

  TTempDir Dir_;

 private:
  TFormatSettings Saved_;
};

std::string Segments(std::string_view first, char rest) {
  std::string s(first);
  s.resize(MaxNumber, rest);
  return s;
}

TEST_F(Settings, EmptyOrMissingFileGivesTheDefaults) {
  for (const bool exists : {true, false}) {
    SCOPED_TRACE(exists ? "empty file" : "missing file");
    const std::filesystem::path file = exists ? File("") : Dir_ / "none.ini";
    TConfigData config;
    config.MatrixCols = 9;
    config.Profits.push_back({3, 10000});
    ReadConfig(file, config);
    EXPECT_EQ(config.MatrixCols, 5);
    EXPECT_EQ(config.ChannelSize, 5);
    EXPECT_EQ(config.Cost, 0);
    EXPECT_EQ(config.MaxStake, 6);
    EXPECT_TRUE(config.Profits.empty());
    EXPECT_EQ(config.Cdl.Count, 0.0L);
    EXPECT_EQ(config.Cdl.Deviation, -1.0L);
    EXPECT_EQ(config.Cdl.Level, 1.0L);
    EXPECT_FALSE(config.Cdl.UsePercents);
    EXPECT_FALSE(config.Cdl.UseAbsValues);
    EXPECT_EQ(config.MatrixSegments, DefaultMatrixSegments());

    TShredding shredding;
    shredding.Formulas[0] = "n1";
    ReadShredding(file, shredding);
    EXPECT_EQ(shredding.Formulas[0], "(n1+n2+n3)/(n4+n5+n6)");
    EXPECT_EQ(shredding.Formulas[1], "(n4+n5+n6)/(n1+n2+n3)");
    EXPECT_EQ(shredding.Formulas[2], "(n1+n3+n5)/(n2+n4+n6)");
    EXPECT_EQ(shredding.Digits, (std::array<uint8_t, 3>{2, 2, 2}));

    TGenerateParams params;
    ReadGenerateParams(file, params);
    EXPECT_EQ(params.Mode, 0);
    EXPECT_EQ(params.Parameters, "");

    TProxy proxy;
    ReadProxy(file, proxy);
    EXPECT_EQ(proxy.Mode, ProxyModeNone);
    EXPECT_EQ(proxy.Port, 80);
    EXPECT_EQ(proxy.Server + proxy.Username + proxy.Password, "");
    EXPECT_FALSE(std::filesystem::exists(Dir_ / "none.ini"));
  }
}

TEST_F(Settings, MatrixSegmentsText) {
  struct TCase {
    const char* Text;
    std::string Expected;  // the 45 segments as digits
  };
  const TCase cases[] = {
      {"123", Segments("123", '1')},
      {"", Segments("", '1')},
      {"9x0 5", Segments("9101", '1').replace(4, 1, "5")},
      {"1Ж3", Segments("113", '1')},  // positions count characters, not bytes
      {"987654321987654321987654321987654321987654321999", "987654321987654321987654321987654321987654321"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Text);
    const TMatrixSegments segments = MatrixSegmentsFromText(c.Text);
    EXPECT_EQ(MatrixSegmentsToText(segments), c.Expected);
  }
  TMatrixSegments odd = DefaultMatrixSegments();
  odd[0] = 12;  // cannot be one digit: written as the reading default
  EXPECT_EQ(MatrixSegmentsToText(odd), Segments("", '1'));
}

TEST_F(Settings, SegmentsFromTheFileAndBack) {
  const std::filesystem::path file = File("[GLOBAL]\r\nMatrixSegments=123\r\n");
  TConfigData config;
  ReadConfig(file, config);
  EXPECT_EQ(config.MatrixSegments[0], 1);
  EXPECT_EQ(config.MatrixSegments[1], 2);
  EXPECT_EQ(config.MatrixSegments[2], 3);
  for (int n = 4; n <= MaxNumber; ++n) EXPECT_EQ(config.MatrixSegments[static_cast<size_t>(n - 1)], 1);
  WriteConfig(file, config);
  EXPECT_EQ(TIniFile(file).ReadString("GLOBAL", "MatrixSegments", ""), Segments("123", '1'));
}

TEST_F(Settings, MoneyIsHeldInTenThousandths) {
  struct TCase {
    const char* Stored;
    int64_t Money;
  };
  const TCase cases[] = {
      {"1,5", 15000},     {"1.5", 15000},          {"0,12344", 1234}, {"0,12346", 1235},
      {"-2,5", -25000},   {"100", 1000000},        {"1e30", 0},       {"abc", 0},
      {"922337203685477", 9223372036854770000},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Stored);
    TConfigData config;
    ReadConfig(File(std::string("[STAKES]\r\nCost=") + c.Stored + "\r\n"), config);
    EXPECT_EQ(config.Cost, c.Money);
  }
}

TEST_F(Settings, CostWrittenBackInTheLocalesNotation) {
  for (const char* separator : {",", "."}) {
    SCOPED_TRACE(separator);
    Pin(separator);
    const std::filesystem::path file = File("[STAKES]\r\nCost=1,5\r\n");
    TConfigData config;
    ReadConfig(file, config);
    ASSERT_EQ(config.Cost, 15000);
    WriteConfig(file, config);
    EXPECT_EQ(TIniFile(file).ReadString("STAKES", "Cost", ""), std::string("1") + separator + "5");
  }
}

TEST_F(Settings, WriteConfigLayout) {
  TConfigData config;
  config.Cost = 15000;
  config.Profits = {{3, 25000}, {6, 1000000000}};
  config.Cdl.Count = 0.5L;
  config.Cdl.UseAbsValues = true;
  config.MatrixSegments[44] = 9;
  const std::filesystem::path file = Dir_ / "Korvane_6x45.ini";
  WriteConfig(file, config);
  EXPECT_EQ(ReadBytes(file),
            "[GLOBAL]\r\n"
            "MatrixCols=5\r\n"
            "MatrixSegments=" + Segments("", '1').replace(44, 1, "9") + "\r\n"
            "ChannelSize=5\r\n"
            "\r\n"
            "[STAKES]\r\n"
            "Cost=1,5\r\n"
            "MaxStake=6\r\n"
            "Profits=2\r\n"
            "Profit_0_Overlap=3\r\n"
            "Profit_0_Profit=2,5\r\n"
            "Profit_1_Overlap=6\r\n"
            "Profit_1_Profit=100000\r\n"
            "\r\n"
            "[CDL]\r\n"
            "Count=0,5\r\n"
            "Deviation=-1\r\n"
            "Level=1\r\n"
            "UsePercents=0\r\n"
            "UseAbsValues=1\r\n");
  struct stat st {};
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);  // it will hold the proxy password

  TConfigData back;
  ReadConfig(file, back);
  EXPECT_EQ(back.Cost, config.Cost);
  EXPECT_EQ(back.Profits, config.Profits);
  EXPECT_EQ(back.Cdl.Count, 0.5L);
  EXPECT_TRUE(back.Cdl.UseAbsValues);
  EXPECT_EQ(back.MatrixSegments, config.MatrixSegments);
}

TEST_F(Settings, StoredValuesTheProgramCannotUse) {
  struct TCase {
    const char* File;
    int32_t MatrixCols;
    int32_t ChannelSize;
    size_t Rows;
    int Overlap0;
    bool UsePercents;
  };
  const TCase cases[] = {
      {"[GLOBAL]\r\nMatrixCols=0\r\nChannelSize=2\r\n", 5, 5, 0, -1, false},
      {"[GLOBAL]\r\nMatrixCols=45\r\nChannelSize=45\r\n", 45, 45, 0, -1, false},
      {"[GLOBAL]\r\nMatrixCols=46\r\nChannelSize=-3\r\n", 5, 5, 0, -1, false},
      {"[STAKES]\r\nProfits=-3\r\n", 5, 5, 0, -1, false},
      {"[STAKES]\r\nProfits=1000000000\r\nProfit_0_Overlap=4\r\n", 5, 5, 256, 4, false},
      {"[STAKES]\r\nProfits=1\r\nProfit_0_Overlap=300\r\n", 5, 5, 1, 0, false},
      {"[CDL]\r\nUsePercents=-1\r\n", 5, 5, 0, -1, false},
      {"[CDL]\r\nUsePercents=2\r\n", 5, 5, 0, -1, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.File);
    TConfigData config;
    ReadConfig(File(c.File), config);
    EXPECT_EQ(config.MatrixCols, c.MatrixCols);
    EXPECT_EQ(config.ChannelSize, c.ChannelSize);
    EXPECT_EQ(config.Profits.size(), c.Rows);
    if (c.Overlap0 >= 0) {
      EXPECT_EQ(config.Profits.at(0).Overlap, c.Overlap0);
    }
    EXPECT_EQ(config.Cdl.UsePercents, c.UsePercents);
  }
}

TEST_F(Settings, ProxyModeRule) {
  struct TCase {
    const char* Keys;
    int32_t Mode;
  };
  const TCase cases[] = {
      {"ProxyServer=proxy.local\r\n", ProxyModeManual},
      {"", ProxyModeNone},
      {"ProxyServer=\r\n", ProxyModeNone},
      {"ProxyMode=1\r\n", ProxyModeAuto},
      {"ProxyMode=0\r\nProxyServer=proxy.local\r\n", ProxyModeNone},
      {"ProxyMode=2\r\nProxyServer=proxy.local\r\n", ProxyModeManual},
      {"ProxyMode=7\r\nProxyServer=proxy.local\r\n", ProxyModeNone},
      {"ProxyMode=-1\r\n", ProxyModeNone},
      {"ProxyMode=abc\r\nProxyServer=proxy.local\r\n", ProxyModeNone},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Keys);
    TProxy proxy;
    proxy.Mode = ProxyModeAuto;
    ReadProxy(File(std::string("[proxy]\r\n") + c.Keys), proxy);
    EXPECT_EQ(proxy.Mode, c.Mode);
  }
}

TEST_F(Settings, ProxyRoundTripAndPrivacy) {
  const std::filesystem::path file = Dir_ / "Korvane_6x45.ini";
  TProxy proxy{ProxyModeManual, "прокси.рф", 3128, "Пользователь", "пароль=секрет"};
  WriteProxy(file, proxy);
  EXPECT_EQ(ReadBytes(file), Utf8ToCp1251("[PROXY]\r\n"
                                          "ProxyMode=2\r\n"
                                          "ProxyServer=прокси.рф\r\n"
                                          "ProxyPort=3128\r\n"
                                          "ProxyUsername=Пользователь\r\n"
                                          "ProxyPassword=пароль=секрет\r\n"));
  struct stat st {};
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  TProxy back;
  ReadProxy(file, back);
  EXPECT_EQ(back.Mode, proxy.Mode);
  EXPECT_EQ(back.Server, proxy.Server);
  EXPECT_EQ(back.Port, proxy.Port);
  EXPECT_EQ(back.Username, proxy.Username);
  EXPECT_EQ(back.Password, proxy.Password);
}

TEST_F(Settings, ShreddingAndGenerateParams) {
  const std::filesystem::path file = File(Utf8ToCp1251(
      "[shredding]\r\nFormula2=n1*p1\r\nformula1digits=5\r\nFormula2Digits=0\r\nFormula3Digits=9\r\n"
      "[global]\r\nCombsGenerateMode=300\r\nCombsGenerateParameters=Мои числа.lcv\r\n"));
  TShredding shredding;
  ReadShredding(file, shredding);
  EXPECT_EQ(shredding.Formulas[1], "n1*p1");
  EXPECT_EQ(shredding.Digits, (std::array<uint8_t, 3>{5, 2, 2}));  // the dialog allows 1..5
  TGenerateParams params;
  ReadGenerateParams(file, params);
  EXPECT_EQ(params.Mode, 0);
  EXPECT_EQ(params.Parameters, "Мои числа.lcv");

  params.Mode = 4;
  params.Parameters = std::string(250, 'a') + "ЯЯЯЯЯЯЯЯ";  // 258 characters
  WriteGenerateParams(file, params);
  shredding.Formulas[2] = "(n1+n2)/2";
  shredding.Digits[2] = 3;
  WriteShredding(file, shredding);
  TGenerateParams backParams;
  ReadGenerateParams(file, backParams);
  EXPECT_EQ(backParams.Mode, 4);
  EXPECT_EQ(backParams.Parameters, std::string(250, 'a') + "ЯЯЯЯЯ");  // 255 characters
  TShredding backShredding;
  ReadShredding(file, backShredding);
  EXPECT_EQ(backShredding.Formulas[2], "(n1+n2)/2");
  EXPECT_EQ(backShredding.Digits[2], 3);
  EXPECT_EQ(backShredding.Digits[0], 5);
}

TEST_F(Settings, UnknownSectionsAndKeysSurviveAWrite) {
  const std::string unknown =
      "[EXPORT_EXCEL_FORMMAIN.LVDRAWS]\r\nTitle=Тиражи\r\nItem_0=0;Number;Тираж;-1;0;54,00\r\n\r\n";
  const std::filesystem::path file = File(Utf8ToCp1251(
      "; hand note\r\n"
      "[global]\r\n"
      "matrixcols=7\r\n"
      "CombsGenerateMode=3\r\n"
      "Extra=kept\r\n"
      "\r\n" +
      unknown +
      "[STAKES]\r\n"
      "Profits=1\r\n"
      "Profit_0_Overlap=3\r\n"
      "Profit_0_Profit=2\r\n"
      "Profit_5_Profit=stale\r\n"));
  TConfigData config;
  ReadConfig(file, config);
  EXPECT_EQ(config.MatrixCols, 7);  // names ignore case
  config.MatrixCols = 8;
  WriteConfig(file, config);
  WriteProxy(file, TProxy{});

  const std::string text = Cp1251ToUtf8(ReadBytes(file));
  EXPECT_EQ(text.rfind("; hand note\r\n[global]\r\nmatrixcols=8\r\nCombsGenerateMode=3\r\nExtra=kept\r\n", 0), 0u)
      << text;
  EXPECT_NE(text.find(unknown), std::string::npos) << text;
  EXPECT_NE(text.find("Profit_5_Profit=stale\r\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("[GLOBAL]"), std::string::npos) << text;  // no second GLOBAL section
  const TIniFile ini(file);
  EXPECT_EQ(ini.ReadString("EXPORT_EXCEL_FORMMAIN.LVDRAWS", "Title", ""), "Тиражи");
  EXPECT_EQ(ini.ReadInteger("GLOBAL", "CombsGenerateMode", 0), 3);
  EXPECT_TRUE(ini.SectionExists("PROXY"));
}

TEST_F(Settings, FailedWriteKeepsTheOldFileAndSaysSo) {
  const std::string old = "[GLOBAL]\r\nMatrixCols=7\r\n[Mine]\r\nA=1\r\n";
  const std::filesystem::path file = File(old);
  TConfigData config;
  config.Profits.assign(7, TProfitRow{});
  try {
    TFileSizeLimit limit(16);
    WriteConfig(file, config);
    FAIL() << "the write went through";
  } catch (const EVexaError& e) {
    EXPECT_EQ(std::string(e.what()), "Ошибка записи в файл конфигурации!\r\rFile too large");
  }
  EXPECT_EQ(ReadBytes(file), old);
  TConfigData back;
  ReadConfig(file, back);
  EXPECT_EQ(back.MatrixCols, 7);
}

TEST_F(Settings, UnreadableFileIsReportedAndNothingIsLost) {
  std::filesystem::create_directory(Dir_ / "Korvane_6x45.ini");
  const std::filesystem::path file = Dir_ / "Korvane_6x45.ini";
  TConfigData config;
  config.MatrixCols = 9;
  try {
    ReadConfig(file, config);
    FAIL() << "a folder was read as the settings file";
  } catch (const EVexaError& e) {
    EXPECT_EQ(std::string(e.what()), "Ошибка чтения файла конфигурации!\r\rIs a directory");
  }
  EXPECT_EQ(config.MatrixCols, 9);
  // A file that cannot be read is never replaced by one made from defaults.
  EXPECT_THROW(WriteProxy(file, TProxy{}), EVexaError);
  EXPECT_TRUE(std::filesystem::is_directory(file));
}

// ---- Window settings --------------------------------------------------------

TEST_F(Settings, WindowKeysOneAtATime) {
  const std::filesystem::path frm = Dir_ / "Korvane_6x45.frm";
  EXPECT_TRUE(ReadWindowBool(frm, MainWindowSection, "AutoUpdates", true));
  EXPECT_EQ(ReadWindowInt(frm, MainWindowSection, "Language", 1033), 1033);
  WriteWindowBool(frm, MainWindowSection, "SortedDraws", true);
  WriteWindowInt(frm, "tformmain", "WeekChartMode", 2);  // the section keeps its spelling
  WriteWindowBool(frm, RepeatsWindowSection, "Unrelated", false);
  EXPECT_TRUE(ReadWindowBool(frm, "TFORMMAIN", "sorteddraws", false));
  EXPECT_EQ(ReadWindowInt(frm, MainWindowSection, "WeekChartMode", 0), 2);
  EXPECT_EQ(ReadBytes(frm), "[TFormMain]\r\nSortedDraws=1\r\nWeekChartMode=2\r\n\r\n[TFormRepeats]\r\nUnrelated=0\r\n");

  try {
    WriteWindowInt(Dir_ / "missing" / "x.frm", MainWindowSection, "Language", 1049);
    FAIL() << "stored into a missing folder";
  } catch (const EVexaError& e) {
    EXPECT_EQ(std::string(e.what()), "Ошибка сохранения параметров программы!\r\rNo such file or directory");
  }
  std::filesystem::create_directory(Dir_ / "dir.frm");
  try {
    ReadWindowInt(Dir_ / "dir.frm", MainWindowSection, "Language", 1049);
    FAIL() << "a folder was read as the window settings";
  } catch (const EVexaError& e) {
    EXPECT_EQ(std::string(e.what()), "Ошибка загрузки параметров программы!\r\rIs a directory");
  }
}

TEST_F(Settings, MainWindowDefaultsAndStoredValues) {
  const TMainWindowSettings d = ReadMainWindowSettings(Dir_ / "none.frm");
  EXPECT_EQ(d.LeftPanelWidth, 335);
  EXPECT_EQ(d.DrawsStatLen, 1000);
  EXPECT_EQ(d.FiltersHeight, 127);
  EXPECT_EQ((std::array<int32_t, 5>{d.LayoutCompareLen1, d.LayoutCompareLen2, d.LayoutCompareLen3,
                                    d.LayoutCompareLen4, d.LayoutCompareLen5}),
            (std::array<int32_t, 5>{50, 100, 200, 300, 400}));
  EXPECT_EQ(d.LayoutCompareHeight, 257);
  EXPECT_EQ(d.ScriptLibraryHeight, 223);
  EXPECT_EQ(d.ScriptLibraryFilter, 2);
  EXPECT_EQ(d.RatingsEffMode, 1);
  EXPECT_EQ(d.Language, 1033);
  EXPECT_FALSE(d.SortedDraws);
  EXPECT_FALSE(d.ScriptLogEnabled);
  EXPECT_FALSE(d.StakesLogEnabled);
  EXPECT_TRUE(d.StakesCheckOnLine);
  EXPECT_FALSE(d.PrefetchsEnabled);
  EXPECT_FALSE(d.PrefetchsInit);
  EXPECT_TRUE(d.AutoUpdates);
  EXPECT_TRUE(d.TabTables);
  EXPECT_FALSE(d.FirstRun);

  WriteBytes(Dir_ / "k.frm",
             "[TFormMain]\r\nDrawsStatLen=500\r\nSortedDraws=1\r\nStakesCheckOnLine=0\r\nTabWeek=0\r\n"
             "FirstRun=-1\r\nLayoutCompareLen3=250\r\nLanguage=1049\r\nAutoUpdates=no\r\n");
  const TMainWindowSettings s = ReadMainWindowSettings(Dir_ / "k.frm");
  EXPECT_EQ(s.DrawsStatLen, 500);
  EXPECT_TRUE(s.SortedDraws);
  EXPECT_FALSE(s.StakesCheckOnLine);
  EXPECT_FALSE(s.TabWeek);
  EXPECT_TRUE(s.FirstRun);
  EXPECT_EQ(s.LayoutCompareLen3, 250);
  EXPECT_EQ(s.Language, 1049);
  EXPECT_TRUE(s.AutoUpdates);  // unreadable: the default
  EXPECT_EQ(s.LeftPanelWidth, 335);
}

TEST_F(Settings, MainWindowExitWriteStoresOnlyTheExitKeys) {
  TIniFile ini(Dir_ / "x.frm");
  TMainWindowSettings s;
  s.LeftPanelWidth = 400;
  s.SortedDraws = true;  // written when it changes, not at exit
  WriteMainWindowExitSettings(ini, s);
  StoreWindowSettings(ini);
  EXPECT_EQ(ReadBytes(Dir_ / "x.frm"),
            "[TFormMain]\r\nLeftPanelWidth=400\r\nDrawsExclude=0\r\nDrawsStatLen=1000\r\nDrawsStatHeight=131\r\n"
            "DrawsGraphLen=100\r\nFiltersHeight=127\r\nLayoutLen=100\r\nLayoutCompareLen1=50\r\n"
            "LayoutCompareLen2=100\r\nLayoutCompareLen3=200\r\nLayoutCompareLen4=300\r\nLayoutCompareLen5=400\r\n"
            "WeekLen=1000\r\nWeekHeight=131\r\nLayoutCompareHeight=257\r\nScriptLibraryHeight=223\r\n"
            "ScriptLibraryFilter=2\r\n");

  TRepeatsWindowSettings repeats;
  ReadRepeatsWindowSettings(ini, repeats);
  EXPECT_EQ(repeats.GraphHeight, 131);
  EXPECT_EQ(repeats.DrawsLength, 100);
  EXPECT_EQ(repeats.DrawsDeep, 100);
  repeats.DrawsDeep = 250;
  WriteRepeatsWindowSettings(ini, repeats);
  TRepeatsWindowSettings back;
  ReadRepeatsWindowSettings(ini, back);
  EXPECT_EQ(back.DrawsDeep, 250);
}

TEST_F(Settings, WindowPlacement) {
  TIniFile ini(Dir_ / "p.frm");
  const TScreenMetrics screen{1920, 1080, 96};
  EXPECT_FALSE(RestoreWindowPlacement(ini, "TFormGraph", screen).Found);

  TWindowPlacement p;
  p.Flags = 2;
  p.ShowCmd = 3;
  p.PixelsPerInch = 96;
  p.MinMaxPos = {-1, -1, -8, -8};
  p.NormPos = {10, 20, 810, 620};
  SaveWindowPlacement(ini, "TFormGraph", p, screen);
  EXPECT_EQ(ini.Text(),
            "[TFormGraph]\r\nFlags=2\r\nShowCmd=3\r\nPixelsPerInch=96\r\nMinMaxPos=-1,-1,-8,-8\r\n"
            "MinMaxPos_1920x1080=-1,-1,-8,-8\r\nNormPos=10,20,810,620\r\nNormPos_1920x1080=10,20,810,620\r\n");
  ini.WriteString("TFormGraph", "NormPos", "1,2,3,4");  // as if written last on another screen

  struct TCase {
    const char* Name;
    TScreenMetrics Screen;
    std::optional<std::array<int32_t, 4>> NormPos;
  };
  const TCase cases[] = {
      {"same screen: its own key", screen, std::array<int32_t, 4>{10, 20, 810, 620}},
      {"other size: the plain key", {1280, 1024, 96}, std::array<int32_t, 4>{1, 2, 3, 4}},
      {"other resolution: no position", {1920, 1080, 120}, std::nullopt},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const TRestoredPlacement r = RestoreWindowPlacement(ini, "tformgraph", c.Screen);
    EXPECT_TRUE(r.Found);
    EXPECT_EQ(r.Flags, 2);
    EXPECT_EQ(r.ShowCmd, 3);
    EXPECT_EQ(r.NormPos, c.NormPos);
    EXPECT_EQ(r.MinMaxPos.has_value(), c.NormPos.has_value());
  }
  ini.WriteString("TFormGraph", "NormPos_1920x1080", "1,2,3");
  ini.WriteString("TFormGraph", "NormPos", "a,b,c,d");
  EXPECT_EQ(RestoreWindowPlacement(ini, "TFormGraph", screen).NormPos, std::nullopt);

  const std::pair<int32_t, TShowState> states[] = {
      {1, TShowState::Normal},    {5, TShowState::Normal},    {9, TShowState::Normal},
      {2, TShowState::Minimised}, {6, TShowState::Minimised}, {7, TShowState::Minimised},
      {3, TShowState::Maximised}, {0, TShowState::Normal},
  };
  for (const auto& [cmd, state] : states) EXPECT_EQ(ShowStateOf(cmd), state) << cmd;
}

TEST_F(Settings, ListColumns) {
  TIniFile ini(Dir_ / "c.frm");
  TListColumns saved;
  saved.Widths = {54, 24, 0};
  saved.Sort = std::array<int32_t, 2>{2, 1};
  saved.GridLines = true;
  SaveListColumns(ini, MainWindowSection, "lvDraws", saved, false);
  SaveListColumns(ini, "TFormScrRates", "lvRates", saved, true);
  EXPECT_EQ(ini.Text(),
            "[TFormMain]\r\nlvDraws.Column0=54\r\nlvDraws.Column1=24\r\nlvDraws.Column2=0\r\nlvDraws.SortType=2,1\r\n"
            "\r\n[TFormScrRates]\r\nlvRates.Column0=54\r\nlvRates.Column1=24\r\nlvRates.Column2=0\r\n"
            "lvRates.SortType=2,1\r\nlvRates.GridLines=1\r\nlvRates.MultiSelect=0\r\n");

  TListColumns plain;  // a list with four columns and no sorting
  plain.Widths = {1, 1, 1, 77};
  plain.GridLines = false;
  plain.MultiSelect = true;
  RestoreListColumns(ini, "TFormScrRates", "LVRATES", plain, true);
  EXPECT_EQ(plain.Widths, (std::vector<int32_t>{54, 24, 0, 77}));
  EXPECT_FALSE(plain.Sort.has_value());
  EXPECT_TRUE(plain.GridLines);
  EXPECT_FALSE(plain.MultiSelect);

  TListColumns sortable;
  sortable.Widths = {5};
  sortable.Sort = std::array<int32_t, 2>{0, 0};
  sortable.MultiSelect = true;
  RestoreListColumns(ini, MainWindowSection, "lvDraws", sortable, false);
  EXPECT_EQ(sortable.Widths, std::vector<int32_t>{54});
  EXPECT_EQ(sortable.Sort, (std::array<int32_t, 2>{2, 1}));
  EXPECT_TRUE(sortable.MultiSelect);  // flags not asked for: untouched
}

}  // namespace
}  // namespace vexa

#include "core/ini_file.h"

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

// Pins the decimal separator for one test and puts the previous one back.
class TPinnedSeparator {
 public:
  explicit TPinnedSeparator(const char* separator) : Saved_(FormatSettings()) {
    TFormatSettings s = Saved_;
    s.DecimalSeparator = separator;
    SetFormatSettings(s);
  }
  ~TPinnedSeparator() { SetFormatSettings(Saved_); }

 private:
  TFormatSettings Saved_;
};

TIniFile LoadText(const TTempDir& dir, std::string_view bytes) {
  WriteBytes(dir / "t.ini", bytes);
  return TIniFile(dir / "t.ini");
}

TEST(IniFile, MissingFileReadsAsEmpty) {
  TTempDir dir;
  TIniFile ini(dir / "none.ini");
  EXPECT_FALSE(ini.SectionExists("GLOBAL"));
  EXPECT_EQ(ini.ReadString("GLOBAL", "Key", "def"), "def");
  EXPECT_EQ(ini.ReadInteger("GLOBAL", "Key", 7), 7);
  EXPECT_TRUE(ini.ReadSections().empty());
  EXPECT_EQ(ini.Text(), "");
  EXPECT_FALSE(std::filesystem::exists(dir / "none.ini"));  // reading never creates it
}

TEST(IniFile, UnreadableFileThrowsTheSystemText) {
  TTempDir dir;
  std::filesystem::create_directory(dir / "folder.ini");
  try {
    TIniFile ini(dir / "folder.ini");
    FAIL() << "a folder was read as a settings file";
  } catch (const EVexaError& e) {
    EXPECT_STREQ(e.what(), "Is a directory");
  }
}

struct TReadCase {
  const char* Name;
  std::string File;  // cp1251 bytes
  std::string Section;
  std::string Key;
  std::string Expected;  // "<default>" when the key should be missing
};

TEST(IniFile, ReadStringRules) {
  const std::string cyr = Utf8ToCp1251("[Раздел]\r\nКлюч=Значение\r\n");
  const TReadCase cases[] = {
      {"plain", "[Sec]\r\nKey=Value\r\n", "Sec", "Key", "Value"},
      {"names ignore case", "[Sec]\r\nKey=Value\r\n", "sEC", "KEY", "Value"},
      {"Cyrillic names ignore case", cyr, "РАЗДЕЛ", "ключ", "Значение"},
      {"blanks around names and value", "  [ Sec ]  \r\n  Key  =  two  words \t\r\n", "Sec", "Key", "two  words"},
      {"blanks around the asked names", "[Sec]\r\nKey=v\r\n", " Sec ", " Key ", "v"},
      {"value keeps later equals signs", "[S]\r\nK=a=b\r\n", "S", "K", "a=b"},
      {"value keeps quotes", "[S]\r\nK=\"q\"\r\n", "S", "K", "\"q\""},
      {"empty value is not missing", "[S]\r\nK=\r\n", "S", "K", ""},
      {"first of duplicate keys", "[S]\r\nK=1\r\nk=2\r\n", "S", "K", "1"},
      {"key in a repeated section", "[S]\r\nA=1\r\n[T]\r\n[s]\r\nB=2\r\n", "S", "B", "2"},
      {"first of a key in repeated sections", "[S]\r\nK=1\r\n[S]\r\nK=2\r\n", "S", "K", "1"},
      {"line without equals sign", "[S]\r\nK\r\n", "S", "K", "<default>"},
      {"comment line", "[S]\r\n;K=1\r\n", "S", ";K", "<default>"},
      {"key before any section", "K=1\r\n[S]\r\n", "S", "K", "<default>"},
      {"other section", "[S]\r\nK=1\r\n[T]\r\n", "T", "K", "<default>"},
      {"LF line ends", "[S]\nK=lf\n", "S", "K", "lf"},
      {"no final line end", "[S]\r\nK=end", "S", "K", "end"},
      {"header with a bracket inside", "[a]b]\r\nK=x\r\n", "a]b", "K", "x"},
      {"unclosed header is no section", "[S]\r\n[T\r\nK=1\r\n", "S", "K", "1"},
  };
  for (const TReadCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTempDir dir;
    const TIniFile ini = LoadText(dir, c.File);
    EXPECT_EQ(ini.ReadString(c.Section, c.Key, "<default>"), c.Expected);
    EXPECT_EQ(ini.ValueExists(c.Section, c.Key), c.Expected != "<default>");
  }
}

TEST(IniFile, ReadIntegerAndBool) {
  struct TCase {
    const char* Stored;  // nullptr: no key
    int32_t Integer;     // read with default -9
    bool Bool;           // read with default true
  };
  const TCase cases[] = {
      {"12", 12, true},       {" -5 ", -5, true},          {"0", 0, false},       {"+3", 3, true},
      {"abc", -9, true},      {"", -9, true},              {"1.5", -9, true},     {"99999999999", -9, true},
      {"0x10", -9, true},     {"2147483647", 2147483647, true}, {nullptr, -9, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Stored ? c.Stored : "(missing)");
    TTempDir dir;
    const TIniFile ini = LoadText(dir, c.Stored ? std::string("[S]\r\nK=") + c.Stored + "\r\n" : "[S]\r\n");
    EXPECT_EQ(ini.ReadInteger("S", "K", -9), c.Integer);
    EXPECT_EQ(ini.ReadBool("S", "K", true), c.Bool);
  }
  TTempDir dir;
  const TIniFile ini = LoadText(dir, "[S]\r\nZero=0\r\nJunk=yes\r\n");
  EXPECT_FALSE(ini.ReadBool("S", "Zero", true));
  EXPECT_FALSE(ini.ReadBool("S", "Junk", false));  // unreadable: the default
}

TEST(IniFile, ReadFloatFollowsTheDecimalSeparator) {
  struct TCase {
    const char* Separator;
    const char* Stored;
    long double Expected;  // read with default 42
  };
  const TCase cases[] = {
      {",", "1,5", 1.5L},   {",", "1.5", 1.5L},     {",", "-2", -2.0L},   {",", " 0,25 ", 0.25L},
      {",", "1e3", 1000.0L}, {",", "2,5E-2", 0.025L}, {",", ",5", 0.5L},   {".", "1.5", 1.5L},
      {".", "1,5", 1.5L},   {",", "abc", 42.0L},    {",", "", 42.0L},     {",", "1,5,5", 42.0L},
      {",", "inf", 42.0L},  {",", "nan", 42.0L},    {",", "1e", 42.0L},   {",", "1 000", 42.0L},
      {",", "1e99999", 42.0L}, {",", "0x1p3", 42.0L},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Separator) + " " + c.Stored);
    TPinnedSeparator pin(c.Separator);
    TTempDir dir;
    const TIniFile ini = LoadText(dir, std::string("[S]\r\nK=") + c.Stored + "\r\n");
    EXPECT_DOUBLE_EQ(static_cast<double>(ini.ReadFloat("S", "K", 42.0L)), static_cast<double>(c.Expected));
  }
}

TEST(IniFile, FloatText) {
  TPinnedSeparator pin(",");
  struct TCase {
    long double Value;
    const char* Text;
  };
  const TCase cases[] = {
      {0, "0"},           {1.5L, "1,5"},          {-1, "-1"},
      {0.1L, "0,1"},      {100, "100"},           {1.0L / 3, "0,333333333333333"},
      {0.00001L, "0,00001"}, {0.000001L, "1E-6"},  {1.5e-10L, "1,5E-10"},
      {1e20L, "1E20"},    {123456789012345.0L, "123456789012345"}, {1e15L, "1E15"},
      {-0.025L, "-0,025"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(FloatToIniText(c.Value), c.Text);
    long double back = 0;
    ASSERT_TRUE(TryIniTextToFloat(c.Text, back));
    EXPECT_NEAR(static_cast<double>(back), static_cast<double>(c.Value), 1e-14 * std::abs(static_cast<double>(c.Value)));
  }
  TPinnedSeparator dot(".");
  EXPECT_EQ(FloatToIniText(1.5L), "1.5");
}

TEST(IniFile, WriteKeepsEverythingItDoesNotTouch) {
  TTempDir dir;
  const std::string before =
      "; written by hand\r\n"
      "loose line\r\n"
      "[Unknown]\r\n"
      "Foo = bar \r\n"
      "\r\n"
      "[sec]\r\n"
      "Old=1\r\n"
      "  keep me  \r\n"
      "; note\r\n"
      "\r\n"
      "[Other]\r\n"
      "X=\xE0\x98\xFF\r\n";
  TIniFile ini = LoadText(dir, before);
  ini.WriteInteger("SEC", "old", 2);    // existing key: its spelling stays
  ini.WriteString("Sec", "New", "n");   // new key: after the last line of its section
  ini.WriteBool("Fresh", "Flag", true);  // new section: at the end, after a blank line
  ini.UpdateFile();
  EXPECT_EQ(ReadBytes(dir / "t.ini"),
            "; written by hand\r\n"
            "loose line\r\n"
            "[Unknown]\r\n"
            "Foo = bar \r\n"
            "\r\n"
            "[sec]\r\n"
            "Old=2\r\n"
            "  keep me  \r\n"
            "; note\r\n"
            "New=n\r\n"
            "\r\n"
            "[Other]\r\n"
            "X=\xE0\x98\xFF\r\n"
            "\r\n"
            "[Fresh]\r\n"
            "Flag=1\r\n");
}

TEST(IniFile, NewFileLayout) {
  TPinnedSeparator pin(",");
  TTempDir dir;
  TIniFile ini(dir / "new.ini");
  ini.WriteInteger("A", "One", 1);
  ini.WriteFloat("B", "Half", 0.5L);
  ini.WriteInteger("A", "Two", -2);
  ini.WriteBool("B", "No", false);
  ini.UpdateFile();
  EXPECT_EQ(ReadBytes(dir / "new.ini"), "[A]\r\nOne=1\r\nTwo=-2\r\n\r\n[B]\r\nHalf=0,5\r\nNo=0\r\n");
}

TEST(IniFile, Cp1251RoundTrip) {
  TTempDir dir;
  {
    TIniFile ini(dir / "c.ini");
    ini.WriteString("Строки", "Имя", "Привет, мир! Ёё №");
    ini.UpdateFile();
  }
  const std::string bytes = ReadBytes(dir / "c.ini");
  EXPECT_EQ(bytes, Utf8ToCp1251("[Строки]\r\nИмя=Привет, мир! Ёё №\r\n"));
  EXPECT_NE(bytes.find("\xCF\xF0\xE8\xE2\xE5\xF2"), std::string::npos);  // "Привет" in cp1251
  const TIniFile back(dir / "c.ini");
  EXPECT_EQ(back.ReadString("СТРОКИ", "имя", ""), "Привет, мир! Ёё №");
  EXPECT_EQ(back.ReadSections(), std::vector<std::string>{"Строки"});
  EXPECT_EQ(back.ReadSection("строки"), std::vector<std::string>{"Имя"});
}

TEST(IniFile, LineBreaksInAValueCannotSplitTheLine) {
  TTempDir dir;
  TIniFile ini(dir / "b.ini");
  ini.WriteString("S", "K", "a\r\nb\nc\rd");
  ini.WriteString("S", "After", "x");
  ini.UpdateFile();
  EXPECT_EQ(ReadBytes(dir / "b.ini"), "[S]\r\nK=a b c d\r\nAfter=x\r\n");
}

TEST(IniFile, NamesTheFileCannotHoldAreRefused) {
  TTempDir dir;
  TIniFile ini(dir / "n.ini");
  for (const char* key : {"", "  ", "a=b", "x\ny", ";c", "[d]"}) {
    SCOPED_TRACE(key);
    EXPECT_THROW(ini.WriteString("S", key, "v"), EVexaError);
  }
  for (const char* section : {"", "a\r\nb"}) EXPECT_THROW(ini.WriteString(section, "K", "v"), EVexaError);
  EXPECT_EQ(ini.Text(), "");
}

TEST(IniFile, SectionsKeysEraseAndDelete) {
  TTempDir dir;
  TIniFile ini = LoadText(dir,
                          "[A]\r\nK1=1\r\nk1=dup\r\nK2=2\r\n[B]\r\nX=1\r\n[a]\r\nK3=3\r\nK1=again\r\n");
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(ini.ReadSection("a"), (std::vector<std::string>{"K1", "K2", "K3"}));
  EXPECT_TRUE(ini.ReadSection("missing").empty());

  ini.DeleteKey("A", "K1");  // every copy goes, so no older value shows through
  EXPECT_FALSE(ini.ValueExists("A", "K1"));
  EXPECT_EQ(ini.ReadString("A", "K2", ""), "2");

  ini.EraseSection("a");
  EXPECT_FALSE(ini.SectionExists("A"));
  EXPECT_EQ(ini.Text(), "[B]\r\nX=1\r\n");
}

TEST(IniFile, TwoWritersInTurnBothReachTheFile) {
  TTempDir dir;
  {
    TIniFile first(dir / "w.ini");
    first.WriteInteger("S", "A", 1);
    first.UpdateFile();
  }
  {
    TIniFile second(dir / "w.ini");
    second.WriteInteger("S", "B", 2);
    second.UpdateFile();
  }
  const TIniFile ini(dir / "w.ini");
  EXPECT_EQ(ini.ReadInteger("S", "A", 0), 1);
  EXPECT_EQ(ini.ReadInteger("S", "B", 0), 2);
}

TEST(IniFile, CreatedFileGetsTheRequestedMode) {
  TTempDir dir;
  TIniFile ini(dir / "p.ini", 0600);
  ini.WriteString("S", "K", "v");
  ini.UpdateFile();
  struct stat st {};
  ASSERT_EQ(::stat((dir / "p.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

size_t CountEntries(const std::filesystem::path& folder) {
  size_t n = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

TEST(IniFile, FailedStoreLeavesTheOldFile) {
  const std::string old = "[S]\r\nK=old\r\n";
  TTempDir dir;
  WriteBytes(dir / "t.ini", old);
  TIniFile ini(dir / "t.ini");
  ini.WriteString("S", "K", std::string(4096, 'x'));
  {
    TFileSizeLimit limit(64);  // a full disk
    EXPECT_THROW(ini.UpdateFile(), EVexaError);
  }
  EXPECT_EQ(ReadBytes(dir / "t.ini"), old);
  EXPECT_EQ(CountEntries(dir.Path()), 1u);  // no temporary file left behind
  EXPECT_EQ(TIniFile(dir / "t.ini").ReadString("S", "K", ""), "old");
}

TEST(IniFile, StoreFailsClearlyWhereNoFileCanBe) {
  TTempDir dir;
  TIniFile inTheWay(dir / "t.ini");
  inTheWay.WriteString("S", "K", "v");
  std::filesystem::create_directory(dir / "t.ini");
  EXPECT_THROW(inTheWay.UpdateFile(), EVexaError);
  EXPECT_TRUE(std::filesystem::is_directory(dir / "t.ini"));
  EXPECT_EQ(CountEntries(dir.Path()), 1u);

  TIniFile noFolder(dir / "missing" / "t.ini");
  noFolder.WriteString("S", "K", "v");
  try {
    noFolder.UpdateFile();
    FAIL() << "stored into a missing folder";
  } catch (const EVexaError& e) {
    EXPECT_STREQ(e.what(), "No such file or directory");
  }
}

}  // namespace
}  // namespace vexa

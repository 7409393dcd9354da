// The script library paths against the real vexa-server.
#include <sqlite3.h>

#include <algorithm>
#include <ctime>
#include <tuple>

#include "server_fixture.h"

namespace vexa::test {
namespace {

const std::string ScriptText =
    "FULL:0#RAND|TMF1#NUMS:20#CMV:3#SF:1| | | | | | |горячие \"числа\"\r\n"
    "EXCL:5#FIRST#NEX|TSD1#SUMS:50-150;50#LNO:#ST:5| | | | | | |суммы";

struct TScriptFields {
  std::string DelMode = "0";
  std::string Id = "-1";
  std::string Universal = "0";
  std::string Public = "1";
  std::string Title = "Горячие числа";
  std::string Descr = "Две строки:\r\nвторая";
  std::string Script = ScriptText;
  TFields Make(const TClientId& who) const {
    TFields f{{"del_mode", DelMode},
              {"scr_id", Id},
              {"scr_uniapps", Universal},
              {"scr_publics", Public},
              {"scr_title", wire::CEscape(Title)},
              {"scr_descr", wire::CEscape(Descr)}};
    if (DelMode == "0") f.push_back({"scr_script", wire::CEscape(Script)});
    return Join(f, who.Fields());
  }
};

TFields ListFields(int filter, const TClientId& who) { return Join({{"fltid", std::to_string(filter)}}, who.Fields()); }

TFields RateFields(const std::string& id, int value, const std::string& notes, const TClientId& who) {
  return Join({{"scr_id", id}, {"rate_value", std::to_string(value)}, {"rate_notes", wire::CEscape(notes)}},
              who.Fields());
}

class LibraryService : public TServerTest {
 protected:
  std::string Publish(TScriptFields f, const TClientId& who) {
    const TAnswer a = Post("scr_putscript.php", f.Make(who));
    EXPECT_EQ(a.Error(), "") << a.Body();
    return a.Value(0, "id_scripts");
  }
  std::vector<std::string> ListedIds(int filter, const TClientId& who) {
    const TAnswer a = Post("scr_getlist.php", ListFields(filter, who));
    EXPECT_EQ(a.Error(), "") << a.Body();
    std::vector<std::string> ids;
    for (size_t i = 0; i < a.Rows(); ++i) ids.push_back(a.Value(i, "id"));
    return ids;
  }
};

TEST_F(LibraryService, PublishedScriptIsListedAndDownloaded) {
  ASSERT_EQ(Publish(TScriptFields{}, Ivan), "1");
  const TAnswer list = Post("scr_getlist.php", ListFields(1, Olga));
  ASSERT_EQ(list.Rows(), 1u) << list.Body();
  EXPECT_EQ(list.Value(0, "id"), "1");
  EXPECT_EQ(list.Value(0, "app_name"), "Korvane_6x45");
  EXPECT_EQ(list.Value(0, "app_ver"), "1.0.0.1");
  EXPECT_EQ(list.Value(0, "app_guid"), "Korvane_6x45");
  EXPECT_EQ(list.Value(0, "key_cl_name"), "Иван");
  EXPECT_EQ(list.Value(0, "key_cl_mail"), "Ivan@Example.org");
  EXPECT_EQ(list.Value(0, "key_cl_lcid"), "1049");
  EXPECT_EQ(list.Value(0, "uniapps"), "0");
  EXPECT_EQ(list.Value(0, "publics"), "1");
  EXPECT_NE(list.Value(0, "created"), "");
  EXPECT_EQ(list.Value(0, "rating_avg"), "0.000");
  EXPECT_EQ(list.Value(0, "rating_cnt"), "0");
  EXPECT_EQ(list.Value(0, "rating_you"), "0");
  EXPECT_EQ(list.Value(0, "downloads"), "0");
  EXPECT_EQ(list.Decoded(0, "title"), "Горячие числа");
  EXPECT_EQ(list.Decoded(0, "descr"), "Две строки:\r\nвторая");

  const TAnswer data = Post("scr_getdata.php", {{"scr_id", "1"}});
  EXPECT_EQ(data.Decoded(0, "script"), ScriptText);
  const TAnswer after = Post("scr_getlist.php", ListFields(1, Olga));
  EXPECT_EQ(after.Value(0, "downloads"), "1");
  EXPECT_NE(after.Value(0, "last_download"), "");
  EXPECT_EQ(Post("scr_getdata.php", {{"scr_id", "9"}}).Error(), "Сценарий не найден");
}

TEST_F(LibraryService, TitleCheckAndTakenTitles) {
  ASSERT_EQ(Publish(TScriptFields{}, Ivan), "1");
  const auto check = [&](const std::string& id, const std::string& title) {
    return Post("scr_chktitle.php", {{"scr_id", id}, {"scr_title", wire::CEscape(title)}}).Value(0, "ret_code");
  };
  EXPECT_EQ(check("-1", "Другое"), "0");
  EXPECT_EQ(check("-1", "горячие ЧИСЛА"), "0");  // only ASCII letters fold
  EXPECT_EQ(check("-1", " Горячие числа "), "1");
  EXPECT_EQ(check("1", "Горячие числа"), "0");  // its own title
  TScriptFields same;
  same.Title = "Горячие числа";
  EXPECT_EQ(Post("scr_putscript.php", same.Make(Olga)).Error(), "Сценарий с таким названием уже существует");
  TScriptFields ascii;
  ascii.Title = "Hot";
  ASSERT_EQ(Publish(ascii, Olga), "2");
  ascii.Title = "HOT";
  EXPECT_EQ(Post("scr_putscript.php", ascii.Make(Ivan)).Error(), "Сценарий с таким названием уже существует");
}

TEST_F(LibraryService, OnlyTheAuthorReplacesAndDeletes) {
  ASSERT_EQ(Publish(TScriptFields{}, Ivan), "1");
  TScriptFields change;
  change.Id = "1";
  change.Title = "Новое имя";
  change.Script = "FULL:0#RAND| | | | | | | |";
  EXPECT_EQ(Post("scr_putscript.php", change.Make(Olga)).Error(), "Вы можете изменять только свои сценарии");
  EXPECT_EQ(Post("scr_putscript.php", change.Make(FakeIvan)).Error(),
            "Этот e-mail уже используется другой установкой программы");
  EXPECT_EQ(Publish(change, Ivan), "1");
  EXPECT_EQ(Post("scr_getdata.php", {{"scr_id", "1"}}).Decoded(0, "script"), "FULL:0#RAND| | | | | | | |");
  EXPECT_EQ(Post("scr_getlist.php", ListFields(1, Olga)).Decoded(0, "title"), "Новое имя");

  ASSERT_EQ(Post("scr_setrate.php", RateFields("1", 5, "", Olga)).Value(0, "res_code"), "0");
  TScriptFields del;
  del.DelMode = "1";
  del.Id = "1";
  EXPECT_EQ(Post("scr_putscript.php", del.Make(Olga)).Error(), "Вы можете удалять только свои сценарии");
  EXPECT_EQ(Post("scr_putscript.php", del.Make(Ivan)).Value(0, "id_scripts"), "0");
  EXPECT_EQ(ListedIds(0, Olga), std::vector<std::string>{});
  EXPECT_EQ(Post("scr_getrates.php", {{"scr_id", "1"}}).Rows(), 0u);
  EXPECT_EQ(Post("scr_putscript.php", del.Make(Ivan)).Error(), "Сценарий не найден");
}

TEST_F(LibraryService, RatingsAveragesAndTheirList) {
  ASSERT_EQ(Publish(TScriptFields{}, Ivan), "1");
  ASSERT_EQ(Post("scr_setrate.php", RateFields("1", 5, "Отлично \"работает\"", Ivan)).Value(0, "res_code"), "0");
  ASSERT_EQ(Post("scr_setrate.php", RateFields("1", 4, "", Olga)).Value(0, "res_code"), "0");
  const TAnswer list = Post("scr_getlist.php", ListFields(1, Olga));
  EXPECT_EQ(list.Value(0, "rating_avg"), "4.500");
  EXPECT_EQ(list.Value(0, "rating_cnt"), "2");
  EXPECT_EQ(list.Value(0, "rating_you"), "4");
  // A new rating replaces the caller's old one.
  ASSERT_EQ(Post("scr_setrate.php", RateFields("1", 2, "", Olga)).Value(0, "res_code"), "0");
  EXPECT_EQ(Post("scr_getlist.php", ListFields(1, Olga)).Value(0, "rating_avg"), "3.500");

  const TAnswer rates = Post("scr_getrates.php", {{"scr_id", "1"}});
  ASSERT_EQ(rates.Rows(), 2u) << rates.Body();
  std::vector<std::string> names{rates.Value(0, "key_cl_name"), rates.Value(1, "key_cl_name")};
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Иван", "Ольга"}));
  const size_t ivan = rates.Value(0, "key_cl_name") == "Иван" ? 0 : 1;
  EXPECT_EQ(rates.Value(ivan, "rate"), "5");
  EXPECT_EQ(rates.Value(ivan, "notes"), "Отлично \"работает\"");
  EXPECT_EQ(rates.Value(ivan, "app_name"), "Korvane_6x45");
  EXPECT_EQ(rates.Value(ivan, "app_ver"), "1.0.0.1");
  EXPECT_EQ(rates.Value(ivan, "created").size(), 19u);

  // Rate0 removes the rating: rating_you 0 again.
  ASSERT_EQ(Post("scr_setrate.php", RateFields("1", 0, "", Olga)).Value(0, "res_code"), "0");
  const TAnswer cleared = Post("scr_getlist.php", ListFields(1, Olga));
  EXPECT_EQ(cleared.Value(0, "rating_you"), "0");
  EXPECT_EQ(cleared.Value(0, "rating_cnt"), "1");

  for (const auto& [value, notes, error] : std::vector<std::tuple<int, std::string, std::string>>{
           {6, "", "Недопустимое значение поля rate_value"},
           {-2, "", "Недопустимое значение поля rate_value"},
           {3, "<b>", "Поле \"Комментарий\" содержит недопустимые символы"}}) {
    EXPECT_EQ(Post("scr_setrate.php", RateFields("1", value, notes, Olga)).Error(), error) << value;
  }
  EXPECT_EQ(Post("scr_setrate.php", RateFields("7", 3, "", Olga)).Error(), "Сценарий не найден");
  // A rating needs no name, only the e-mail of its installation.
  EXPECT_EQ(Post("scr_setrate.php", RateFields("1", 3, "", {"hw-anon", "", "anon@example.org"})).Value(0, "res_code"),
            "0");
  EXPECT_EQ(Post("scr_setrate.php", RateFields("1", 3, "", {"hw-anon", "", ""})).Error(), "Не указан e-mail");
  EXPECT_EQ(Post("scr_setrate.php", RateFields("1", 3, "", FakeIvan)).Error(),
            "Этот e-mail уже используется другой установкой программы");
}

// Back-dates a script, as if it had been published `seconds` ago.
void AgeScript(const std::filesystem::path& dataDir, int id, int seconds) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open((dataDir / "vexa-server.db").c_str(), &db), SQLITE_OK);
  sqlite3_busy_timeout(db, 5000);
  const std::string sql = "UPDATE scripts SET created=" + std::to_string(std::time(nullptr) - seconds) +
                          " WHERE id=" + std::to_string(id);
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
}

TEST_F(LibraryService, ListFiltersForOneCaller) {
  // 1 Ivan public, 2 Ivan private, 3 Olga public (old), 4 Ivan public.
  TScriptFields f;
  f.Title = "Один";
  ASSERT_EQ(Publish(f, Ivan), "1");
  f.Title = "Два";
  f.Public = "0";
  ASSERT_EQ(Publish(f, Ivan), "2");
  f.Title = "Три";
  f.Public = "1";
  ASSERT_EQ(Publish(f, Olga), "3");
  f.Title = "Четыре";
  ASSERT_EQ(Publish(f, Ivan), "4");
  AgeScript(Server->DataDir(), 3, 25 * 3600);
  AgeScript(Server->DataDir(), 4, 23 * 3600);
  // Olga rates 1, hides 4.
  ASSERT_EQ(Post("scr_setrate.php", RateFields("1", 4, "", Olga)).Value(0, "res_code"), "0");
  ASSERT_EQ(Post("scr_setrate.php", RateFields("4", -1, "", Olga)).Value(0, "res_code"), "0");

  using TIds = std::vector<std::string>;
  const std::pair<int, TIds> olga[] = {
      {-1, {"4"}}, {0, {"1", "3", "4"}}, {1, {"1", "3"}}, {2, {"3"}},
      {3, {"1", "3"}}, {4, {"1"}},       {5, {"3"}},      {6, {"1"}},
  };
  for (const auto& [filter, ids] : olga) EXPECT_EQ(ListedIds(filter, Olga), ids) << "fltid " << filter;
  // The private script is listed for its author only, and only from his installation.
  EXPECT_EQ(ListedIds(2, Ivan), (TIds{"1", "2", "4"}));
  EXPECT_EQ(ListedIds(0, FakeIvan), (TIds{"1", "3", "4"}));
  EXPECT_EQ(Post("scr_getlist.php", ListFields(1, Olga)).Value(0, "rating_you"), "4");
  EXPECT_EQ(Post("scr_getlist.php", ListFields(7, Olga)).Error(), "Недопустимое значение поля fltid");
  EXPECT_EQ(Post("scr_getlist.php", Olga.Fields()).Error(), "Неверное значение поля fltid");

  // A private script's text goes to its author's installation only.
  EXPECT_EQ(Post("scr_getdata.php", {{"scr_id", "2"}}).Error(), "Сценарий не найден");
  EXPECT_EQ(Post("scr_getdata.php", Join({{"scr_id", "2"}}, FakeIvan.Fields())).Error(), "Сценарий не найден");
  EXPECT_EQ(Post("scr_getdata.php", Join({{"scr_id", "2"}}, Ivan.Fields())).Decoded(0, "script"), ScriptText);
  EXPECT_EQ(Post("scr_setrate.php", RateFields("2", 3, "", Olga)).Error(), "Сценарий не найден");
}

TEST_F(LibraryService, BadScriptsAreRefused) {
  struct TCase {
    const char* Name;
    void (*Change)(TScriptFields&);
    const char* Error;
  };
  const TCase cases[] = {
      {"empty title", [](TScriptFields& f) { f.Title = ""; }, "Не указано название"},
      {"long title", [](TScriptFields& f) { f.Title = std::string(65, 'a'); }, "Поле \"Название\" длиннее 64 символов"},
      {"empty script", [](TScriptFields& f) { f.Script = " \r\n "; }, "Пустой сценарий"},
      {"script over 1 MiB", [](TScriptFields& f) { f.Script = std::string(1024 * 1024 + 1, 'a'); },
       "Сценарий больше 1 МБ"},
      {"not UTF-8", [](TScriptFields& f) { f.Script = "FULL:0#RAND| | | | | | | |\xCF\xF0\xE8"; },
       "Поле \"Сценарий\" не в кодировке UTF-8"},
      {"scr_uniapps 2", [](TScriptFields& f) { f.Universal = "2"; }, "Недопустимое значение поля scr_uniapps"},
      {"scr_id 0", [](TScriptFields& f) { f.Id = "0"; }, "Сценарий не найден"},
  };
  for (const TCase& c : cases) {
    TScriptFields f;
    c.Change(f);
    const TAnswer a = Post("scr_putscript.php", f.Make(Ivan));
    EXPECT_EQ(a.Error(), c.Error) << c.Name;
  }
  EXPECT_EQ(Post("scr_putscript.php", TScriptFields{}.Make({"hw-x", "", "x@example.org"})).Error(),
            "Не указано имя автора");
  // Exactly 1 MiB is still a script.
  TScriptFields big;
  big.Script = std::string(1024 * 1024, 'a');
  EXPECT_EQ(Publish(big, Ivan), "1");
}

}  // namespace
}  // namespace vexa::test

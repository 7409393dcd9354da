// The systems catalogue paths against the real vexa-server.
#include <regex>

#include "server_fixture.h"

namespace vexa::test {
namespace {

const std::string SevenLines =
    "1 2 3 4 5 6\r\n1 2 3 4 5 7\r\n1 2 3 4 6 7\r\n1 2 3 5 6 7\r\n1 2 4 5 6 7\r\n1 3 4 5 6 7\r\n2 3 4 5 6 7";

struct TSystemFields {
  std::string DelMode = "0";
  std::string Id = "0";
  std::string Nums = "7";
  std::string CLen = "6";
  std::string Olap = "5";
  std::string Title = "Полная на 7";
  std::string Descr = "Все \"комбинации\"\nиз 7?";
  std::string CSize = "7";
  std::string CombsText = SevenLines;
  std::string Url = "http://example.org/7";
  // clist as the client sends it: Base64 of the escaped text.
  TFields Make(const TClientId& who) const {
    return Join({{"del_mode", DelMode},
                 {"sys_id", Id},
                 {"nums", Nums},
                 {"clen", CLen},
                 {"olap", Olap},
                 {"title", wire::CEscape(Title)},
                 {"descr", wire::CEscape(Descr)},
                 {"csize", CSize},
                 {"clist", DelMode == "1" ? "" : wire::Base64Encode(wire::CEscape(CombsText))},
                 {"url", Url}},
                who.Fields());
  }
};

TFields ListFields(const TClientId& who) { return Join({{"comblen", "6"}, {"maxnums", "45"}}, who.Fields()); }

class SystemsService : public TServerTest {};

TEST_F(SystemsService, PublishedSystemIsListedAndDownloadedWithCounts) {
  const TAnswer put = Post("sys_putdata.php", TSystemFields{}.Make(Ivan));
  ASSERT_EQ(put.Error(), "") << put.Body();
  EXPECT_EQ(put.Value(0, "id_systems"), "1");

  const TAnswer list = Post("sys_getlist.php", ListFields(Olga));
  ASSERT_EQ(list.Rows(), 1u) << list.Body();
  EXPECT_EQ(list.Value(0, "id"), "1");
  EXPECT_EQ(list.Value(0, "nums"), "7");
  EXPECT_EQ(list.Value(0, "olap"), "5");
  EXPECT_EQ(list.Value(0, "csize"), "7");
  EXPECT_EQ(list.Decoded(0, "title"), "Полная на 7");
  EXPECT_EQ(list.Decoded(0, "descr"), "Все \"комбинации\"\nиз 7?");  // unescaped on arrival
  EXPECT_EQ(list.Value(0, "author"), "Иван");
  EXPECT_EQ(list.Value(0, "cl_mail"), "Ivan@Example.org");
  EXPECT_EQ(list.Value(0, "url"), "http://example.org/7");
  EXPECT_TRUE(std::regex_match(list.Value(0, "created"), std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)")));
  EXPECT_EQ(list.Value(0, "last_download"), "");
  EXPECT_EQ(list.Value(0, "downloads"), "0");

  const TAnswer data = Post("sys_getdata.php", {{"sys_id", "1"}});
  ASSERT_EQ(data.Rows(), 1u) << data.Body();
  // Stored in the dialog's normal form, CR LF between lines.
  EXPECT_EQ(data.Decoded(0, "clist"),
            "01 02 03 04 05 06\r\n01 02 03 04 05 07\r\n01 02 03 04 06 07\r\n01 02 03 05 06 07\r\n"
            "01 02 04 05 06 07\r\n01 03 04 05 06 07\r\n02 03 04 05 06 07");

  const TAnswer after = Post("sys_getlist.php", ListFields(Olga));
  EXPECT_EQ(after.Value(0, "downloads"), "1");
  EXPECT_NE(after.Value(0, "last_download"), "");
}

TEST_F(SystemsService, EmptyCatalogueIsAResultWithoutRows) {
  const TAnswer list = Post("sys_getlist.php", ListFields(Olga));
  EXPECT_TRUE(list.Reply().HasResult);
  EXPECT_EQ(list.Rows(), 0u);
  EXPECT_EQ(Post("sys_getdata.php", {{"sys_id", "5"}}).Error(), "Система не найдена");
}

TEST_F(SystemsService, OnlyTheOwningInstallationChangesAndDeletes) {
  ASSERT_EQ(Post("sys_putdata.php", TSystemFields{}.Make(Ivan)).Value(0, "id_systems"), "1");

  // The same e-mail (other case) from another installation is refused.
  EXPECT_EQ(Post("sys_putdata.php", TSystemFields{}.Make(FakeIvan)).Error(),
            "Этот e-mail уже используется другой установкой программы");
  TSystemFields change;
  change.Id = "1";
  change.Title = "Чужая правка";
  EXPECT_EQ(Post("sys_putdata.php", change.Make(FakeIvan)).Error(),
            "Этот e-mail уже используется другой установкой программы");
  EXPECT_EQ(Post("sys_putdata.php", change.Make(Olga)).Error(), "Вы можете изменять только свои системы");
  TSystemFields del;
  del.DelMode = "1";
  del.Id = "1";
  EXPECT_EQ(Post("sys_putdata.php", del.Make(Olga)).Error(), "Вы можете удалять только свои системы");
  EXPECT_EQ(Post("sys_getlist.php", ListFields(Olga)).Decoded(0, "title"), "Полная на 7");

  // The owner changes it: same id, new content; then deletes it.
  change.Title = "Своя правка";
  change.Nums = "8";
  const TAnswer changed = Post("sys_putdata.php", change.Make(Ivan));
  EXPECT_EQ(changed.Value(0, "id_systems"), "1") << changed.Body();
  const TAnswer list = Post("sys_getlist.php", ListFields(Olga));
  EXPECT_EQ(list.Decoded(0, "title"), "Своя правка");
  EXPECT_EQ(list.Value(0, "nums"), "8");

  EXPECT_EQ(Post("sys_putdata.php", del.Make(Ivan)).Value(0, "id_systems"), "0");
  EXPECT_EQ(Post("sys_getlist.php", ListFields(Olga)).Rows(), 0u);
  EXPECT_EQ(Post("sys_putdata.php", del.Make(Ivan)).Error(), "Система не найдена");
  // Ids are never handed out again.
  EXPECT_EQ(Post("sys_putdata.php", TSystemFields{}.Make(Ivan)).Value(0, "id_systems"), "2");
}

TEST_F(SystemsService, BadSystemsAreRefusedAndNothingIsStored) {
  struct TCase {
    const char* Name;
    void (*Change)(TSystemFields&);
    const char* Error;  // a prefix of the expected message
  };
  const TCase cases[] = {
      {"nums 6", [](TSystemFields& f) { f.Nums = "6"; }, "Недопустимое количество чисел"},
      {"nums 46", [](TSystemFields& f) { f.Nums = "46"; }, "Недопустимое количество чисел"},
      {"nums text", [](TSystemFields& f) { f.Nums = "семь"; }, "Недопустимое количество чисел"},
      {"olap 6", [](TSystemFields& f) { f.Olap = "6"; }, "Недопустимый размер блока"},
      {"olap -1", [](TSystemFields& f) { f.Olap = "-1"; }, "Недопустимый размер блока"},
      {"clen 5", [](TSystemFields& f) { f.CLen = "5"; }, "Недопустимая длина комбинации"},
      {"csize one short", [](TSystemFields& f) { f.CSize = "6"; }, "Количество комбинаций (7) не равно csize (6)"},
      {"csize over C(7,6)", [](TSystemFields& f) { f.CSize = "8"; }, "Недопустимое количество комбинаций"},
      {"more lines than C(7,6)",
       [](TSystemFields& f) {
         f.CombsText += "\r\n1 2 3 4 5 6";
         f.CSize = "7";
       },
       "Комбинаций больше, чем C(7, 6)"},
      {"position past nums", [](TSystemFields& f) { f.CombsText.replace(0, 11, "1 2 3 4 5 8"); },
       "Строка 1 списка комбинаций: позиция вне диапазона 1..7"},
      {"position 0", [](TSystemFields& f) { f.CombsText.replace(0, 11, "0 2 3 4 5 6"); },
       "Строка 1 списка комбинаций: позиция вне диапазона"},
      {"repeated position", [](TSystemFields& f) { f.CombsText.replace(0, 11, "1 2 3 4 5 5"); },
       "Строка 1 списка комбинаций: повтор позиции 5"},
      {"five numbers", [](TSystemFields& f) { f.CombsText.replace(0, 11, "1 2 3 4 5"); },
       "Строка 1 списка комбинаций: нужно ровно 6 чисел"},
      {"seven numbers", [](TSystemFields& f) { f.CombsText.replace(0, 11, "1 2 3 4 5 6 7"); },
       "Строка 1 списка комбинаций: больше 6 чисел"},
      {"letter", [](TSystemFields& f) { f.CombsText.replace(0, 11, "1 2 3 4 5 x"); },
       "Строка 1 списка комбинаций: недопустимый символ"},
      {"empty title", [](TSystemFields& f) { f.Title = "   "; }, "Не указано название"},
      {"65 characters", [](TSystemFields& f) { f.Title = std::string(64, 'x') + "ж"; }, "Поле \"Название\" длиннее 64"},
      {"url with a tag", [](TSystemFields& f) { f.Url = "http://x/<b>"; }, "Поле \"Ссылка\" содержит"},
      {"sys_id text", [](TSystemFields& f) { f.Id = "abc"; }, "Неверное значение поля sys_id"},
      {"del_mode 2", [](TSystemFields& f) { f.DelMode = "2"; }, "Недопустимое значение поля del_mode"},
  };
  for (const TCase& c : cases) {
    TSystemFields f;
    c.Change(f);
    const TAnswer a = Post("sys_putdata.php", f.Make(Ivan));
    EXPECT_EQ(a.Error().rfind(c.Error, 0), 0u) << c.Name << ": " << a.Body();
    EXPECT_EQ(a.Value(0, "id_systems"), "") << c.Name;
  }
  // Not Base64, and a name with a tag in it.
  TFields notBase64 = TSystemFields{}.Make(Ivan);
  for (auto& [k, v] : notBase64)
    if (k == "clist") v = "***";
  EXPECT_EQ(Post("sys_putdata.php", notBase64).Error(), "Поле clist не в кодировке Base64");
  EXPECT_EQ(Post("sys_putdata.php", TSystemFields{}.Make({"hw-x", "<b>", "x@example.org"})).Error(),
            "Поле \"Автор\" содержит недопустимые символы");
  EXPECT_EQ(Post("sys_putdata.php", TSystemFields{}.Make({"hw-x", "Некто", ""})).Error(), "Не указан e-mail");
  EXPECT_EQ(Post("sys_getlist.php", ListFields(Olga)).Rows(), 0u);

  // The limits themselves pass: 64 Cyrillic characters, separators of the local file.
  TSystemFields edge;
  edge.Title = "";
  for (int i = 0; i < 64; ++i) edge.Title += "ж";
  edge.CombsText = "1,2,3;4 5-6\n1*2+3.4/5:7\n1=2\\3_4|6~7\n1 2 3 5 6 7\n\n1 2 4 5 6 7\n1 3 4 5 6 7\n2 3 4 5 6 7\n";
  const TAnswer ok = Post("sys_putdata.php", edge.Make(Ivan));
  EXPECT_EQ(ok.Value(0, "id_systems"), "1") << ok.Body();
}

TEST_F(SystemsService, MaxNumsLeavesOutBiggerSystems) {
  ASSERT_EQ(Post("sys_putdata.php", TSystemFields{}.Make(Ivan)).Value(0, "id_systems"), "1");
  TSystemFields eight;
  eight.Nums = "8";
  eight.Title = "На 8";
  ASSERT_EQ(Post("sys_putdata.php", eight.Make(Ivan)).Value(0, "id_systems"), "2");
  const TAnswer seven = Post("sys_getlist.php", Join({{"comblen", "6"}, {"maxnums", "7"}}, Olga.Fields()));
  ASSERT_EQ(seven.Rows(), 1u);
  EXPECT_EQ(seven.Value(0, "id"), "1");
  EXPECT_EQ(Post("sys_getlist.php", ListFields(Olga)).Rows(), 2u);
}

}  // namespace
}  // namespace vexa::test

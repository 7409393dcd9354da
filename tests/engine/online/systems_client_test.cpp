// The systems catalogue client against a hand-written loopback service:
// the requests' fields, the list, the local store, system play, ownership.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>

#include "core/file_io.h"
#include "core/ini_file.h"
#include "engine/online/online_fake_service.h"
#include "support/scripted_ui.h"
#include "update/update.h"
#include "wire/wire.h"
#include "workspace/workspace.h"

namespace vexa::test {
namespace {

const std::string Mail = "Me@Example.org";

std::string SystemRow(int id, int nums, int olap, int csize, const std::string& title, const std::string& mail,
                      const std::string& created) {
  return "<row><id>" + std::to_string(id) + "</id><nums>" + std::to_string(nums) + "</nums><olap>" +
         std::to_string(olap) + "</olap><csize>" + std::to_string(csize) + "</csize><title>" +
         wire::Base64Encode(title) + "</title><descr>" + wire::Base64Encode("описание " + title) +
         "</descr><author>Автор</author><cl_mail>" + mail + "</cl_mail><url>http://x/" + std::to_string(id) +
         "</url><created>" + created + "</created><last_download></last_download><downloads>7</downloads></row>";
}

std::string Result(const std::string& rows) { return "<html><result>" + rows + "</result></html>"; }

std::string CombsReply(const std::string& text) {
  return Result("<row><clist>" + wire::Base64Encode(text) + "</clist></row>");
}

// Ten lines of a 10-number system.
const std::string TenLines =
    "1 2 3 4 5 6\r\n1 2 3 7 8 9\r\n4 5 6 7 8 9\r\n1 4 7 10 2 5\r\n3 6 9 10 1 8\r\n"
    "2 4 6 8 10 1\r\n1 3 5 7 9 2\r\n5 6 7 8 9 10\r\n1 2 9 10 4 6\r\n3 4 5 8 9 10\r\n";

class SystemsClient : public ::testing::Test {
 protected:
  TTempDir dir;
  TScriptedUi ui;
  TFakeService service;
  std::unique_ptr<TWorkspace> ws;

  void Open(const std::string& name = "Иван \"Тестов\"") {
    WriteOnlineIni(dir, service.Url(), name, Mail);
    ws = std::make_unique<TWorkspace>(dir.Path(), ui);
    ASSERT_EQ(ws->Open(), 0);
    ws->DrawsDemo(30, 7, false);
    ui.Messages.clear();
  }
  void List(const std::string& rows) {
    service.Reply(SystemsListPath, Result(rows));
    ASSERT_TRUE(ws->SystemsRefresh());
  }
  std::filesystem::path Stored(const std::string& name) const { return dir / "Systems" / name; }
};

TEST_F(SystemsClient, ListPostsTheFieldsInOrderEscapedAndReadsTheRows) {
  Open();
  List(SystemRow(123, 10, 3, 10, "Десятка", "me@EXAMPLE.org", "2024-02-03 04:05:06") +
       SystemRow(7, 12, 4, 30, "Чужая", "other@x.org", ""));
  const auto posts = service.PostsTo(SystemsListPath);
  ASSERT_EQ(posts.size(), 1u);
  TOnlineSettings online;
  ReadOnlineSettings(dir / "Korvane_6x45.ini", online);
  ASSERT_EQ(online.InstallSecret.size(), 64u);
  EXPECT_EQ(posts[0].Body, FormOf({"comblen=6", "maxnums=45", std::string("appid=") + ProgramAppId,
                                   std::string("appver=") + ProgramVersion(),
                                   "hwdid=" + HardwareId(online.InstallSecret, service.Url()),
                                   "cl_name=Иван \\\"Тестов\\\"", "cl_mail=" + Mail, "cl_lcid=1049"}));
  ASSERT_EQ(ws->Systems().size(), 2u);
  const TSystemInfo& own = ws->Systems()[0];
  EXPECT_EQ(own.Id, 123);
  EXPECT_EQ(own.Title, "Десятка");
  EXPECT_EQ(own.Descr, "описание Десятка");
  EXPECT_TRUE(own.Own);  // the e-mail compared without regard to case
  EXPECT_FALSE(own.Downloaded);
  EXPECT_EQ(ServiceTimeText(own.Created), "2024-02-03 04:05:06");
  EXPECT_EQ(own.Downloads, 7);
  const auto row = SystemViewRow(own);
  EXPECT_EQ(row[2], "10");
  EXPECT_EQ(row[5], "2024-02-03 04:05:06");
  EXPECT_EQ(row[6], "");
  EXPECT_FALSE(ws->Systems()[1].Own);
  EXPECT_EQ(SystemIconOf(ws->Systems()[1]), SystemIconOther);
  EXPECT_EQ(ServiceTimeText(ws->Systems()[1].Created), "");
}

TEST_F(SystemsClient, TheInstallSecretMakesTheSettingsFilePrivate) {
  Open();
  ::chmod((dir / "Korvane_6x45.ini").c_str(), 0644);
  List("");
  struct stat st {};
  ASSERT_EQ(::stat((dir / "Korvane_6x45.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  // Another service gets another identifier from the same secret.
  TOnlineSettings online;
  ReadOnlineSettings(dir / "Korvane_6x45.ini", online);
  EXPECT_NE(HardwareId(online.InstallSecret, "http://a"), HardwareId(online.InstallSecret, "http://b"));
  const auto rows = ws->ConfigRows();
  bool masked = false;
  for (const auto& r : rows)
    if (r[1] == "InstallSecret") masked = r[2] == "***";
  EXPECT_TRUE(masked);
}

TEST_F(SystemsClient, NoResultGivesThePlaceholderAndAnErrorRowFailsWithTheServiceText) {
  Open();
  service.Reply(SystemsListPath, "<html>down for maintenance</html>");
  EXPECT_TRUE(ws->SystemsRefresh());
  ASSERT_EQ(ws->Systems().size(), 1u);
  EXPECT_TRUE(ws->Systems()[0].IsPlaceholder());
  EXPECT_EQ(SystemViewRow(ws->Systems()[0])[0], "Список систем не доступен!");
  EXPECT_EQ(SystemViewRow(ws->Systems()[0])[2], "");

  service.Reply(SystemsListPath, Result(SystemRow(1, 10, 3, 10, "a", "", "") + "<row><error>Доступ закрыт</error></row>"));
  EXPECT_FALSE(ws->SystemsRefresh());
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Text, "Ошибка загрузки списка систем!\r\rДоступ закрыт");
  EXPECT_TRUE(ws->Systems().empty());

  // A bad integer fails the request; the rows before it stay.
  ui.Messages.clear();
  service.Reply(SystemsListPath, Result(SystemRow(1, 10, 3, 10, "a", "", "") + "<row><id>x</id></row>"));
  EXPECT_FALSE(ws->SystemsRefresh());
  ASSERT_EQ(ws->Systems().size(), 1u);
  EXPECT_EQ(ws->Systems()[0].Id, 1);
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_NE(ui.Messages[0].Text.find("<id>"), std::string::npos);
}

TEST_F(SystemsClient, NoServiceConfiguredShowsThePlaceholderAndSaysSo) {
  WriteBytes(dir / "Korvane_6x45.ini", "[Online]\r\nCatalogueUrl=\r\n");
  ws = std::make_unique<TWorkspace>(dir.Path(), ui);
  ASSERT_EQ(ws->Open(), 0);
  ws->OpenOnline();  // start-up: quiet
  EXPECT_TRUE(ui.Messages.empty());
  ASSERT_EQ(ws->Systems().size(), 1u);
  EXPECT_TRUE(ws->Systems()[0].IsPlaceholder());
  EXPECT_FALSE(ws->SystemsRefresh());
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_NE(ui.Messages[0].Text.find("CatalogueUrl"), std::string::npos);
  ASSERT_EQ(ws->Systems().size(), 1u);
  EXPECT_TRUE(ws->Systems()[0].IsPlaceholder());
  EXPECT_TRUE(service.Posts().empty());
}

TEST_F(SystemsClient, DownloadStoresTheFileWithTheCreatedTimeAndOneSystemPerN) {
  Open();
  List(SystemRow(123, 10, 3, 10, "Первая", Mail, "2024-02-03 04:05:06") +
       SystemRow(124, 10, 2, 10, "Вторая", Mail, "2024-03-01 10:00:00"));
  service.Reply(SystemsDataPath, CombsReply(TenLines));
  EXPECT_EQ(ws->SystemsDownload({123}), 1);
  EXPECT_EQ(service.PostsTo(SystemsDataPath).back().Body, FormOf({"sys_id=123"}));
  EXPECT_EQ(ReadBytes(Stored("6-10-3_0123.dat")), TenLines);
  struct stat st {};
  ASSERT_EQ(::stat(Stored("6-10-3_0123.dat").c_str(), &st), 0);
  EXPECT_EQ(static_cast<int64_t>(st.st_mtime), LocalTimeToUnix(ws->Systems()[0].Created));
  EXPECT_TRUE(ws->Systems()[0].Downloaded);
  EXPECT_EQ(SystemViewRow(ws->Systems()[0])[6], "Загружена");

  // The second 10-number system takes the first one's place.
  EXPECT_EQ(ws->SystemsDownload({124}), 1);
  EXPECT_FALSE(std::filesystem::exists(Stored("6-10-3_0123.dat")));
  EXPECT_TRUE(std::filesystem::exists(Stored("6-10-2_0124.dat")));
  EXPECT_FALSE(ws->Systems()[0].Downloaded);
  EXPECT_TRUE(ws->Systems()[1].Downloaded);
  EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(SystemsClient, ADownloadOneLineShortFailsWithTheCountsAndWritesNothing) {
  Open();
  List(SystemRow(123, 10, 3, 11, "Первая", Mail, "2024-02-03 04:05:06"));
  service.Reply(SystemsDataPath, CombsReply(TenLines));
  EXPECT_EQ(ws->SystemsDownload({123}), 0);
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Text,
            "Ошибка загрузки системы #123!\r\r"
            "Количество скачанных комбинаций ( 10 ) отличается от ожидаемого значения ( 11 )");
  EXPECT_FALSE(std::filesystem::exists(dir / "Systems" / "6-10-3_0123.dat"));
  EXPECT_FALSE(ws->Systems()[0].Downloaded);
  EXPECT_THROW(ws->SystemsDownload({999}), EVexaError);
}

TEST_F(SystemsClient, ARefreshDownloadsAgainASystemWithANewerCreatedTime) {
  Open();
  List(SystemRow(123, 10, 3, 10, "Первая", Mail, "2024-02-03 04:05:06"));
  service.Reply(SystemsDataPath, CombsReply(TenLines));
  ASSERT_EQ(ws->SystemsDownload({123}), 1);
  // Unchanged: no new download.
  service.ClearPosts();
  List(SystemRow(123, 10, 3, 10, "Первая", Mail, "2024-02-03 04:05:06"));
  EXPECT_TRUE(service.PostsTo(SystemsDataPath).empty());
  // Newer: downloaded again with the new content and time.
  const std::string changed = "10 9 8 7 6 5\r\n" + TenLines.substr(TenLines.find("\r\n") + 2);
  service.Reply(SystemsDataPath, CombsReply(changed));
  List(SystemRow(123, 10, 3, 10, "Первая", Mail, "2024-05-06 07:08:09"));
  EXPECT_EQ(service.PostsTo(SystemsDataPath).size(), 1u);
  EXPECT_EQ(ReadBytes(Stored("6-10-3_0123.dat")), changed);
  struct stat st {};
  ASSERT_EQ(::stat(Stored("6-10-3_0123.dat").c_str(), &st), 0);
  EXPECT_EQ(static_cast<int64_t>(st.st_mtime), LocalTimeToUnix(ws->Systems()[0].Created));
  EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(SystemsClient, SomeoneElsesSystemIsRefusedForDeleteAndOwnOneGoes) {
  Open();
  List(SystemRow(7, 10, 3, 10, "Чужая", "other@x.org", "") + SystemRow(8, 11, 3, 10, "Моя", Mail, ""));
  service.ClearPosts();
  try {
    ws->SystemsDel(7);
    FAIL();
  } catch (const EVexaError& e) {
    EXPECT_EQ(e.Message(), "Вы можете удалять только свои системы!");
  }
  EXPECT_THROW(ws->SystemsProp(ws->SystemData(7)), EVexaError);
  EXPECT_TRUE(service.PostsTo(SystemsPutPath).empty());

  // No: nothing is sent.
  ui.Answers = {false};
  EXPECT_FALSE(ws->SystemsDel(8));
  EXPECT_EQ(ui.Questions.back(), "Вы действительно хотите удалить систему \"Моя\"?");
  EXPECT_TRUE(service.PostsTo(SystemsPutPath).empty());

  std::filesystem::create_directories(dir / "Systems");
  WriteBytes(Stored("6-11-3_0008.dat"), "1 2 3 4 5 6\r\n");
  service.Reply(SystemsPutPath, Result("<row><id_systems>0</id_systems></row>"));
  ui.Answers = {true};
  EXPECT_TRUE(ws->SystemsDel(8));
  const auto posts = service.PostsTo(SystemsPutPath);
  ASSERT_EQ(posts.size(), 1u);
  TOnlineSettings online;
  ReadOnlineSettings(dir / "Korvane_6x45.ini", online);
  EXPECT_EQ(posts[0].Body,
            FormOf({"del_mode=1", "sys_id=8", "nums=11", "clen=6", "olap=3", "title=Моя", "descr=описание Моя",
                    "csize=10", "clist=", "url=http://x/8", std::string("appid=") + ProgramAppId,
                    std::string("appver=") + ProgramVersion(),
                    "hwdid=" + HardwareId(online.InstallSecret, service.Url()), "cl_name=Автор", "cl_mail=" + Mail,
                    "cl_lcid=1049"}));
  EXPECT_FALSE(std::filesystem::exists(Stored("6-11-3_0008.dat")));
  ASSERT_EQ(ws->Systems().size(), 1u);
  EXPECT_EQ(ws->Systems()[0].Id, 7);
}

TEST_F(SystemsClient, AddPostsTheSystemWithItsCombinationsAndAddsTheRow) {
  Open("Пётр");
  List("");
  TSystemData data = ws->SystemNew();
  EXPECT_EQ(data.Author, "Пётр");
  TSystemForm form = SystemFormOf(data);
  form.Title = "  Новая 'система'?  ";
  form.Descr = "Строка\nвторая";
  form.Nums = "10";
  form.Olap = "3";
  form.Url = "http://site/a?b=1&c=2";
  form.Combs = "1,2,3;4 5-6\r\n1 2 3\r\n";
  TSystemData accepted;
  ASSERT_EQ(AcceptSystemForm(form, data, accepted).Message, "");
  EXPECT_EQ(accepted.Title, "Новая 'система'?");
  EXPECT_EQ(accepted.Combs, "01 02 03 04 05 06");
  EXPECT_EQ(accepted.CSize, 1);
  service.Reply(SystemsPutPath, Result("<row><id_systems>55</id_systems></row>"));
  const int row = ws->SystemsAdd(accepted);
  ASSERT_EQ(row, 0);
  EXPECT_EQ(ws->Systems()[0].Id, 55);
  EXPECT_TRUE(ws->Systems()[0].Own);
  const auto posts = service.PostsTo(SystemsPutPath);
  ASSERT_EQ(posts.size(), 1u);
  TOnlineSettings online;
  ReadOnlineSettings(dir / "Korvane_6x45.ini", online);
  EXPECT_EQ(posts[0].Body,
            FormOf({"del_mode=0", "sys_id=0", "nums=10", "clen=6", "olap=3", "title=Новая \\'система\\'\\?",
                    "descr=Строка\\nвторая", "csize=1", "clist=" + wire::Base64Encode("01 02 03 04 05 06"),
                    "url=http://site/a?b=1&c=2", std::string("appid=") + ProgramAppId,
                    std::string("appver=") + ProgramVersion(),
                    "hwdid=" + HardwareId(online.InstallSecret, service.Url()), "cl_name=Пётр", "cl_mail=" + Mail,
                    "cl_lcid=1049"}));
}

TEST(SystemForm, NormalisingRewritesSixWordLinesAndDropsTheRest) {
  const TNormalisedCombs n = NormaliseSystemCombs("1,2,3;4 5-6\r\n1 2 3 4 5\r\n\r\n1 2 3 4 5 6 7\r\n3 4 5 6 7 12\n");
  EXPECT_EQ(n.Text, "01 02 03 04 05 06\r\n03 04 05 06 07 12");
  EXPECT_EQ(n.CSize, 2);
  EXPECT_EQ(n.Nums, 12);
  EXPECT_EQ(NormaliseSystemCombs("x\r\n").Nums, 0);
}

TEST(SystemForm, ChecksComeInTheDialogsOrder) {
  struct TCase {
    TSystemForm Form;
    TSystemField Focus;
  };
  TSystemForm good;
  good.Title = "T";
  good.Nums = "10";
  good.Olap = "3";
  good.Author = "A";
  good.Descr = "D";
  good.Combs = "1 2 3 4 5 6";
  auto with = [&](auto change) {
    TSystemForm f = good;
    change(f);
    return f;
  };
  const TCase cases[] = {
      {with([](TSystemForm& f) { f.Title = "  "; }), TSystemField::Title},
      {with([](TSystemForm& f) { f.Nums = "6"; }), TSystemField::Nums},
      {with([](TSystemForm& f) { f.Nums = "46"; }), TSystemField::Nums},
      {with([](TSystemForm& f) { f.Olap = "6"; }), TSystemField::Olap},
      {with([](TSystemForm& f) { f.Author = ""; }), TSystemField::Author},
      {with([](TSystemForm& f) { f.Descr = " "; }), TSystemField::Descr},
      {with([](TSystemForm& f) { f.Combs = "1 2 3"; }), TSystemField::Combs},
      {with([](TSystemForm& f) { f.Combs = "1 2 3 4 5 11"; }), TSystemField::Combs},
      {with([](TSystemForm& f) { f.Combs = "1 1 3 4 5 6"; }), TSystemField::Combs},
      {good, TSystemField::None},
  };
  for (const TCase& c : cases) {
    TSystemData out;
    EXPECT_EQ(AcceptSystemForm(c.Form, TSystemData{}, out).Focus, c.Focus) << c.Form.Title << c.Form.Combs;
  }
}

class SystemPlay : public SystemsClient {
 protected:
  void SetUp() override {
    Open();
    ASSERT_TRUE(ws->CombsGen({GenerateOnlyOf, "1;2;3;4;5;6;7;8;9;10"}));
    std::filesystem::create_directories(dir / "Systems");
    WriteBytes(Stored("6-10-3_0123.dat"), TenLines);
  }
};

TEST_F(SystemPlay, TheWholeSystemBecomesStakesOfKindFour) {
  // Keep only the list's first 100 combinations, so that the filter matters.
  std::vector<int> rows;
  for (int i = 100; i < ws->Combs().Count(); ++i) rows.push_back(i);
  ws->CombsDelSelected(rows);
  ASSERT_EQ(ws->Combs().Count(), 100);
  const auto draft = ws->SystemPlayPrepare(false);
  ASSERT_TRUE(draft.Ok);
  EXPECT_EQ(draft.Input.Comment, "Системная игра для 10 чисел [вся система]: 6-10-3_0123");
  EXPECT_EQ(draft.Input.DrawNumber, ws->Archive().NextDrawNumber(0));
  int added = 0;
  ASSERT_EQ(ws->SystemPlay(draft, draft.Input, &added).Message, "");
  EXPECT_EQ(added, 10);
  ASSERT_EQ(ws->Stakes().Count(), 10);
  const TStakeRec first = ws->Stakes().ReadStake(0, false);
  EXPECT_EQ(first.Kind, StakeSystem);
  EXPECT_EQ(first.CombsCount, 10);  // the system's size without filter

  // With filter: only the expanded combinations present in the list.
  const auto filtered = ws->SystemPlayPrepare(true);
  ASSERT_TRUE(filtered.Ok);
  EXPECT_EQ(filtered.Input.Comment, "Системная игра для 10 чисел [комбинации]: 6-10-3_0123");
  int expected = 0;
  for (TComb c : filtered.System.Combs) {
    SortComb(c);
    for (const TComb& l : ws->Combs().Combs()) expected += l == c ? 1 : 0;
  }
  ASSERT_GT(expected, 0);
  ASSERT_LT(expected, 10);
  ASSERT_EQ(ws->SystemPlay(filtered, filtered.Input, &added).Message, "");
  EXPECT_EQ(added, expected);
  EXPECT_EQ(ws->Stakes().ReadStake(-1, true).CombsCount, 100);  // the list's size with filter
}

TEST_F(SystemPlay, NoSystemForNineNumbersSaysNotFoundAndStakesNothing) {
  ASSERT_TRUE(ws->CombsGen({GenerateOnlyOf, "1;2;3;4;5;6;7;8;9"}));
  ui.Messages.clear();
  const auto draft = ws->SystemPlayPrepare(false);
  EXPECT_FALSE(draft.Ok);
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Text.rfind("Система для 9 чисел не найдена или не загружена на компьютер!", 0), 0u);
  EXPECT_EQ(ws->Stakes().Count(), 0);
  EXPECT_THROW(ws->SystemStakeAll(), EVexaError);
  EXPECT_EQ(ws->Stakes().Count(), 0);
}

}  // namespace
}  // namespace vexa::test

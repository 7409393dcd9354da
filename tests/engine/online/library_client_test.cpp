// The script library client against a hand-written loopback service: the
// filter values, compatibility, download, publish with the title check,
// delete, rating and the ratings list.
#include <gtest/gtest.h>

#include <memory>

#include "engine/online/online_fake_service.h"
#include "support/scripted_ui.h"
#include "update/update.h"
#include "wire/wire.h"
#include "workspace/workspace.h"

namespace vexa::test {
namespace {

const std::string Mail = "me@example.org";

std::string ScriptRow(int id, const std::string& title, const std::string& mail, bool universal,
                      const std::string& guid, int yours = 0) {
  return "<row><id>" + std::to_string(id) + "</id><app_name>Other_6x45</app_name><app_ver>2.0</app_ver>"
         "<key_cl_name>Автор</key_cl_name><key_cl_mail>" + mail + "</key_cl_mail><key_cl_lcid>x</key_cl_lcid>"
         "<uniapps>" + (universal ? "1" : "0") + "</uniapps><publics>1</publics>"
         "<created>2024-01-02 03:04:05</created><last_download></last_download>"
         "<rating_avg>4.5</rating_avg><rating_cnt>2</rating_cnt><rating_you>" + std::to_string(yours) +
         "</rating_you><downloads>abc</downloads><title>" + wire::Base64Encode(title) + "</title><descr>" +
         wire::Base64Encode("о " + title) + "</descr><app_guid>" + guid + "</app_guid></row>";
}

std::string Result(const std::string& rows) { return "<result>" + rows + "</result>"; }

class LibraryClient : public ::testing::Test {
 protected:
  TTempDir dir;
  TScriptedUi ui;
  TFakeService service;
  std::unique_ptr<TWorkspace> ws;
  TOnlineSettings online;

  void SetUp() override {
    WriteOnlineIni(dir, service.Url(), "Я", Mail);
    ws = std::make_unique<TWorkspace>(dir.Path(), ui);
    ASSERT_EQ(ws->Open(), 0);
    service.Reply(LibraryListPath,
                  Result(ScriptRow(1, "Свой", "ME@example.org", false, ProgramAppId, 4) +
                         ScriptRow(2, "Чужой из другой программы", "x@y.z", false, "{00000000-0000-0000-0000-000000000000}") +
                         ScriptRow(3, "Универсальный", "x@y.z", true, "", -1)));
    ASSERT_TRUE(ws->ScriptLibraryRefresh());
    ReadOnlineSettings(dir / "Korvane_6x45.ini", online);
    ui.Messages.clear();
  }
  std::vector<std::string> Identity() const {
    return {std::string("appid=") + ProgramAppId, std::string("appver=") + ProgramVersion(),
            "hwdid=" + HardwareId(online.InstallSecret, service.Url()), "cl_name=Я", "cl_mail=" + Mail,
            "cl_lcid=1049"};
  }
  std::vector<std::string> With(std::vector<std::string> first, const std::vector<std::string>& rest) const {
    first.insert(first.end(), rest.begin(), rest.end());
    return first;
  }
};

TEST_F(LibraryClient, TheFilterValuesAndTheRowsDerivedFields) {
  // The default filter item sends fltid 1.
  ASSERT_EQ(service.PostsTo(LibraryListPath).size(), 1u);
  EXPECT_EQ(service.PostsTo(LibraryListPath)[0].Body, FormOf(With({"fltid=1"}, Identity())));
  ASSERT_EQ(ws->Library().size(), 3u);
  const TScriptInfo& own = ws->Library()[0];
  EXPECT_TRUE(own.Own && own.Compatible && own.Editable);
  EXPECT_EQ(own.Language, 1049);  // not a number: the requested language
  EXPECT_EQ(own.Downloads, 0);    // not a number
  EXPECT_DOUBLE_EQ(own.Rating, 4.5);
  const TScriptInfo& other = ws->Library()[1];
  EXPECT_FALSE(other.Own || other.Compatible || other.Editable);
  EXPECT_TRUE(ws->Library()[2].Compatible);
  const auto row = LibraryViewRow(ws->Library()[2]);
  EXPECT_EQ(row[0], "Общий");
  EXPECT_EQ(row[3], "Универсальный");
  EXPECT_EQ(row[5], "RUS");
  EXPECT_EQ(row[6], "2024-01-02 03:04:05");
  EXPECT_EQ(row[9], "Скрытый");
  EXPECT_EQ(LibraryViewRow(own)[0], "Мой");
  EXPECT_EQ(LibraryViewRow(own)[9], "4");

  ASSERT_TRUE(ws->ScriptLibraryRefresh(0));  // "Скрытые"
  EXPECT_EQ(service.PostsTo(LibraryListPath).back().Body, FormOf(With({"fltid=-1"}, Identity())));
  EXPECT_EQ(ws->ScriptLibraryFilterIndex(), 0);
  EXPECT_THROW(ws->ScriptLibraryRefresh(8), EVexaError);
}

TEST_F(LibraryClient, AScriptFromAnotherProgramIsNotDownloadable) {
  ws->ScriptAdd("keep me");
  service.ClearPosts();
  try {
    ws->ScriptLibraryDownload(2);
    FAIL();
  } catch (const EVexaError& e) {
    EXPECT_EQ(e.Message(), "Ошибка загрузки online-сценария!");
  }
  EXPECT_TRUE(service.Posts().empty());
  EXPECT_EQ(ws->ScriptLines(), std::vector<std::string>{"keep me"});

  service.Reply(LibraryDataPath,
                Result("<row><other>1</other></row><row><script>" + wire::Base64Encode("строка 1\r\n\r\nстрока 2") +
                       "</script></row>"));
  ws->ScriptLibraryDownload(3);
  EXPECT_EQ(service.PostsTo(LibraryDataPath)[0].Body, FormOf(With({"scr_id=3"}, Identity())));
  EXPECT_EQ(ws->ScriptLines(), (std::vector<std::string>{"строка 1", "", "строка 2"}));

  // An empty script text leaves the current script as it was.
  service.Reply(LibraryDataPath, Result("<row><script></script></row>"));
  EXPECT_THROW(ws->ScriptLibraryDownload(1), EVexaError);
  EXPECT_EQ(ws->ScriptLines().size(), 3u);
}

TEST_F(LibraryClient, RateFourThenRateZeroSendsAnEmptyComment) {
  service.Reply(LibraryRatePath, Result("<row><res_code>0</res_code></row>"));
  service.ClearPosts();
  ws->ScriptLibraryRate(3, 4, "Хорошо \"очень\"");
  ws->ScriptLibraryRate0(3);
  const auto rates = service.PostsTo(LibraryRatePath);
  ASSERT_EQ(rates.size(), 2u);
  EXPECT_EQ(rates[0].Body, FormOf(With({"scr_id=3", "rate_value=4", "rate_notes=Хорошо \\\"очень\\\""}, Identity())));
  EXPECT_EQ(rates[1].Body, FormOf(With({"scr_id=3", "rate_value=0", "rate_notes="}, Identity())));
  // Each rating reloads the list.
  EXPECT_EQ(service.PostsTo(LibraryListPath).size(), 2u);

  service.Reply(LibraryRatePath, Result("<row><res_code>-3</res_code></row>"));
  try {
    ws->ScriptLibraryHide(3);
    FAIL();
  } catch (const EVexaError& e) {
    EXPECT_EQ(e.Message(), "Ошибка сохранения оценки online-сценария!");
    EXPECT_EQ(e.Cause(), "Код возврата: -3");
  }
}

TEST_F(LibraryClient, PublishChecksTheTitleThenPostsTheScript) {
  TScriptData data = ws->ScriptLibraryNewData();
  EXPECT_EQ(data.Author, "Я");
  data.Title = "  Мой 'лучший'  ";
  data.Descr = "описание";
  EXPECT_THROW(ws->ScriptLibraryUpload(data), EVexaError);  // the current script is empty
  ws->ScriptAdd("строка 1");
  ws->ScriptAdd("строка 2");

  TScriptData noTitle = data;
  noTitle.Title = " ";
  EXPECT_EQ(ws->ScriptLibraryUpload(noTitle).Focus, TScriptField::Title);

  service.ClearPosts();
  service.Reply(LibraryTitlePath, Result("<row><ret_code>1</ret_code></row>"));
  const TScriptDataCheck taken = ws->ScriptLibraryUpload(data);
  EXPECT_EQ(taken.Message, "Сценарий с таким названием уже существует!\rВыберите другое название.");
  EXPECT_EQ(taken.Focus, TScriptField::Title);
  EXPECT_EQ(service.PostsTo(LibraryTitlePath)[0].Body, FormOf({"scr_id=-1", "scr_title=Мой \\'лучший\\'"}));
  EXPECT_TRUE(service.PostsTo(LibraryPutPath).empty());

  service.Reply(LibraryTitlePath, Result("<row><ret_code>0</ret_code></row>"));
  service.Reply(LibraryPutPath, Result("<row><id_scripts>77</id_scripts></row>"));
  const TScriptDataCheck done = ws->ScriptLibraryUpload(data);
  ASSERT_EQ(done.Message, "");
  EXPECT_EQ(done.Id, 77);
  const auto puts = service.PostsTo(LibraryPutPath);
  ASSERT_EQ(puts.size(), 1u);
  EXPECT_EQ(puts[0].Body,
            FormOf({"del_mode=0", "scr_id=-1", "scr_uniapps=0", "scr_publics=1", "scr_title=Мой \\'лучший\\'",
                    "scr_descr=описание", "scr_script=строка 1\\r\\nстрока 2", std::string("appid=") + ProgramAppId,
                    std::string("appver=") + ProgramVersion(),
                    "hwdid=" + HardwareId(online.InstallSecret, service.Url()), "cl_name=Я", "cl_mail=" + Mail,
                    "cl_lcid=1049"}));
  const TScriptInfo& row = ws->Library().back();
  EXPECT_EQ(row.Id, 77);
  EXPECT_EQ(row.Title, "Мой 'лучший'");
  EXPECT_TRUE(row.Own && row.Compatible && row.Editable);
  EXPECT_EQ(row.Program, "Korvane_6x45");
}

TEST_F(LibraryClient, DeleteAsksAndOnlyAnEditableScriptGoes) {
  EXPECT_THROW(ws->ScriptLibraryDelete(3), EVexaError);  // someone else's
  service.Reply(LibraryPutPath, Result("<row><id_scripts>0</id_scripts></row>"));
  ui.Answers = {true};
  EXPECT_TRUE(ws->ScriptLibraryDelete(1));
  EXPECT_EQ(ui.Questions.back(), "Вы действительно хотите удалить сценарий \"Свой\"?");
  EXPECT_EQ(service.PostsTo(LibraryPutPath)[0].Body,
            FormOf({"del_mode=1", "scr_id=1", "scr_uniapps=0", "scr_publics=1", "scr_title=Свой", "scr_descr=о Свой",
                    std::string("appid=") + ProgramAppId, std::string("appver=") + ProgramVersion(),
                    "hwdid=" + HardwareId(online.InstallSecret, service.Url()), "cl_name=Автор", "cl_mail=" + Mail,
                    "cl_lcid=1049"}));
  EXPECT_EQ(ws->Library().size(), 2u);
}

TEST_F(LibraryClient, TheRatingsListAndItsResultElement) {
  service.Reply(LibraryRatesPath, Result("<row><key_cl_name>Аня</key_cl_name><rate>5</rate>"
                                         "<created>2024-01-02 03:04:05</created><app_name>P</app_name>"
                                         "<app_ver>1.0</app_ver><notes>Отлично</notes></row>"));
  const TScriptRates rates = ws->ScriptLibraryRates(3);
  EXPECT_TRUE(rates.HasResult);
  ASSERT_EQ(rates.Rows.size(), 1u);
  EXPECT_EQ(rates.Rows[0].Name, "Аня");
  EXPECT_EQ(rates.Rows[0].Created, "2024-01-02 03:04:05");
  EXPECT_EQ(service.PostsTo(LibraryRatesPath)[0].Body, FormOf({"scr_id=3"}));
  service.Reply(LibraryRatesPath, "nothing");
  EXPECT_FALSE(ws->ScriptLibraryRates(3).HasResult);
  service.Reply(LibraryRatesPath, Result("<row><error>нет такого</error></row>"));
  EXPECT_THROW(ws->ScriptLibraryRates(3), EVexaError);
}

TEST(OnlineIdentity, SetOnceAndKeptInTheSettingsFile) {
  TTempDir dir;
  TScriptedUi ui;
  {
    TWorkspace ws(dir.Path(), ui);
    ASSERT_EQ(ws.Open(), 0);
    EXPECT_FALSE(ws.HasUserIdentity());
    EXPECT_THROW(ws.SetUserIdentity("Имя", " "), EVexaError);
    ws.SetUserIdentity(" Имя ", "a@b.c");
  }
  TWorkspace ws(dir.Path(), ui);
  ASSERT_EQ(ws.Open(), 0);
  EXPECT_TRUE(ws.HasUserIdentity());
  EXPECT_EQ(ws.Online().UserName, "Имя");
  EXPECT_EQ(ws.Online().UserMail, "a@b.c");
}

}  // namespace
}  // namespace vexa::test

// The clients against the real vexa-server, started by the test on
// 127.0.0.1: two installations of the program, each with its own data
// folder (so its own installation secret), and a third one that claims the
// first one's e-mail.
#include <gtest/gtest.h>

#include <memory>

#include "engine/online/online_fake_service.h"
#include "support/scripted_ui.h"
#include "support/server_process.h"
#include "workspace/workspace.h"

namespace vexa::test {
namespace {

struct TInstallation {
  TTempDir Dir;
  TScriptedUi Ui;
  std::unique_ptr<TWorkspace> Ws;

  TInstallation(const std::string& url, const std::string& name, const std::string& mail) {
    WriteOnlineIni(Dir, url, name, mail);
    Ws = std::make_unique<TWorkspace>(Dir.Path(), Ui);
    EXPECT_EQ(Ws->Open(), 0);
  }
};

const std::string TenLines =
    "1 2 3 4 5 6\r\n1 2 3 7 8 9\r\n4 5 6 7 8 9\r\n1 4 7 10 2 5\r\n3 6 9 10 1 8\r\n"
    "2 4 6 8 10 1\r\n1 3 5 7 9 2\r\n5 6 7 8 9 10\r\n1 2 9 10 4 6\r\n3 4 5 8 9 10";

class OnlineEndToEnd : public ::testing::Test {
 protected:
  TTempDir serverDir;
  std::unique_ptr<TServerProcess> server;
  std::string url;

  void SetUp() override {
    server = std::make_unique<TServerProcess>(VEXA_SERVER_PATH, serverDir.Path() / "data",
                                              std::vector<std::string>{"--write-rate", "0"});
    url = "http://127.0.0.1:" + std::to_string(server->Port());
  }

  static int Publish(TWorkspace& ws, const std::string& title) {
    TSystemForm form = SystemFormOf(ws.SystemNew());
    form.Title = title;
    form.Descr = "Десять чисел, блок 3";
    form.Nums = "10";
    form.Olap = "3";
    form.Combs = TenLines;
    TSystemData data;
    EXPECT_EQ(AcceptSystemForm(form, ws.SystemNew(), data).Message, "");
    return ws.Systems()[static_cast<size_t>(ws.SystemsAdd(data))].Id;
  }
};

TEST_F(OnlineEndToEnd, SystemsPublishDownloadPlayAndOwnership) {
  TInstallation ivan(url, "Иван", "Ivan@Example.org");
  TInstallation olga(url, "Ольга", "olga@example.org");
  ASSERT_TRUE(ivan.Ws->SystemsRefresh());
  const int id = Publish(*ivan.Ws, "Десятка \"Ивана\"");
  ASSERT_GT(id, 0);

  ASSERT_TRUE(olga.Ws->SystemsRefresh());
  ASSERT_EQ(olga.Ws->Systems().size(), 1u);
  const TSystemInfo seen = olga.Ws->Systems()[0];
  EXPECT_EQ(seen.Id, id);
  EXPECT_EQ(seen.Title, "Десятка \"Ивана\"");
  EXPECT_EQ(seen.CSize, 10);
  EXPECT_FALSE(seen.Own);
  EXPECT_THROW(olga.Ws->SystemsDel(id), EVexaError);

  // Downloaded and played by someone else.
  ASSERT_EQ(olga.Ws->SystemsDownload({id}), 1) << (olga.Ui.Messages.empty() ? "" : olga.Ui.Messages[0].Text);
  EXPECT_TRUE(std::filesystem::exists(olga.Dir / "Systems" / SystemFileName(10, 3, id)));
  olga.Ws->DrawsDemo(30, 7, false);
  ASSERT_TRUE(olga.Ws->CombsGen({GenerateOnlyOf, "1;2;3;4;5;6;7;8;9;10"}));
  EXPECT_EQ(olga.Ws->SystemStakeAll(), 10);
  const TSystemData data = olga.Ws->SystemData(id);
  EXPECT_EQ(NormaliseSystemCombs(data.Combs).CSize, 10);

  // Another installation claiming Ivan's e-mail: the client counts the
  // system as its own, the service refuses.
  TInstallation fake(url, "Не Иван", "ivan@example.org");
  ASSERT_TRUE(fake.Ws->SystemsRefresh());
  ASSERT_TRUE(fake.Ws->Systems()[0].Own);
  fake.Ui.Answers = {true};
  try {
    fake.Ws->SystemsDel(id);
    FAIL() << "the service deleted another installation's system";
  } catch (const EVexaError& e) {
    EXPECT_NE(std::string(e.what()).find("Ошибка сохранения системы"), std::string::npos);
    EXPECT_FALSE(e.Cause().empty());
  }
  ASSERT_TRUE(olga.Ws->SystemsRefresh());
  EXPECT_EQ(olga.Ws->Systems().size(), 1u);

  // Its owner deletes it.
  ivan.Ui.Answers = {true};
  EXPECT_TRUE(ivan.Ws->SystemsDel(id));
  ASSERT_TRUE(olga.Ws->SystemsRefresh());
  EXPECT_TRUE(olga.Ws->Systems().empty() || olga.Ws->Systems()[0].IsPlaceholder());
}

TEST_F(OnlineEndToEnd, LibraryPublishTakenTitleDownloadRateAndHide) {
  TInstallation ivan(url, "Иван", "ivan@example.org");
  TInstallation olga(url, "Ольга", "olga@example.org");
  ivan.Ws->ScriptAdd("первая строка");
  ivan.Ws->ScriptAdd("вторая строка");
  TScriptData data = ivan.Ws->ScriptLibraryNewData();
  data.Title = "Мой сценарий";
  data.Descr = "Описание";
  data.Universal = true;
  const TScriptDataCheck published = ivan.Ws->ScriptLibraryUpload(data);
  ASSERT_EQ(published.Message, "");
  ASSERT_GT(published.Id, 0);

  // The same title from someone else is taken.
  olga.Ws->ScriptAdd("строка Ольги");
  TScriptData other = olga.Ws->ScriptLibraryNewData();
  other.Title = "Мой сценарий";
  other.Descr = "x";
  const TScriptDataCheck taken = olga.Ws->ScriptLibraryUpload(other);
  EXPECT_EQ(taken.Message, LibraryTitleTakenMessage);
  EXPECT_EQ(taken.Focus, TScriptField::Title);

  // Olga downloads, rates 4, then removes the rating.
  ASSERT_TRUE(olga.Ws->ScriptLibraryRefresh(LibraryFilterDefaultIndex));
  ASSERT_EQ(olga.Ws->Library().size(), 1u);
  EXPECT_TRUE(olga.Ws->Library()[0].Compatible);
  EXPECT_FALSE(olga.Ws->Library()[0].Own);
  olga.Ws->ScriptLibraryDownload(published.Id);
  EXPECT_EQ(olga.Ws->ScriptLines(), (std::vector<std::string>{"первая строка", "вторая строка"}));
  olga.Ws->ScriptLibraryRate(published.Id, 4, "хорошо");
  ASSERT_EQ(olga.Ws->Library().size(), 1u);
  EXPECT_EQ(olga.Ws->Library()[0].YourRating, 4);
  const TScriptRates rates = olga.Ws->ScriptLibraryRates(published.Id);
  ASSERT_EQ(rates.Rows.size(), 1u);
  EXPECT_EQ(rates.Rows[0].Notes, "хорошо");
  olga.Ws->ScriptLibraryRate0(published.Id);
  EXPECT_EQ(LibraryViewRow(olga.Ws->Library()[0])[9], "");

  // Hidden: gone from the default filter, there under "Скрытые".
  olga.Ws->ScriptLibraryHide(published.Id);
  EXPECT_TRUE(olga.Ws->Library().empty());
  ASSERT_TRUE(olga.Ws->ScriptLibraryRefresh(0));
  ASSERT_EQ(olga.Ws->Library().size(), 1u);
  EXPECT_EQ(olga.Ws->Library()[0].YourRating, -1);

  // A second installation with Ivan's e-mail cannot replace his script.
  TInstallation fake(url, "Не Иван", "ivan@example.org");
  fake.Ws->ScriptAdd("чужая строка");
  ASSERT_TRUE(fake.Ws->ScriptLibraryRefresh(1));
  ASSERT_EQ(fake.Ws->Library().size(), 1u);
  ASSERT_TRUE(fake.Ws->Library()[0].Editable);
  EXPECT_THROW(fake.Ws->ScriptLibraryReplace(ScriptDataOf(fake.Ws->Library()[0])), EVexaError);
  ASSERT_TRUE(olga.Ws->ScriptLibraryRefresh(1));
  olga.Ws->ScriptLibraryDownload(published.Id);
  EXPECT_EQ(olga.Ws->ScriptLines().front(), "первая строка");
}

TEST_F(OnlineEndToEnd, APrivateScriptReachesOnlyItsAuthor) {
  TInstallation ivan(url, "Иван", "ivan@example.org");
  TInstallation olga(url, "Ольга", "olga@example.org");
  ivan.Ws->ScriptAdd("тайная строка");
  TScriptData data = ivan.Ws->ScriptLibraryNewData();
  data.Title = "Только мне";
  data.Descr = "Описание";
  data.Universal = true;
  data.Public = false;
  const TScriptDataCheck published = ivan.Ws->ScriptLibraryUpload(data);
  ASSERT_GT(published.Id, 0);
  ivan.Ws->ScriptEdit(0, "правка");
  ivan.Ws->ScriptLibraryDownload(published.Id);
  EXPECT_EQ(ivan.Ws->ScriptLines(), std::vector<std::string>{"тайная строка"});
  olga.Ws->ScriptAdd("своя строка");
  EXPECT_THROW(olga.Ws->ScriptLibraryDownload(published.Id), EVexaError);
  EXPECT_EQ(olga.Ws->ScriptLines(), std::vector<std::string>{"своя строка"});
}

}  // namespace
}  // namespace vexa::test

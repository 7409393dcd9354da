// Proxy modes, the proxy-list service and the automatic choice during a
// download, against loopback servers.
#include "online/proxy.h"

#include <gtest/gtest.h>

#include "acquire/download.h"
#include "core/format.h"
#include "core/ini_file.h"
#include "support/results_pages.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace vexa {
namespace {

using test::TLoopbackServer;

struct TQueryCase {
  TProxyListQuery Query;
  int Page;
  const char* Expected;
};

TEST(ProxyList, QueryKeysInOrder) {
  TProxyListQuery everything;
  everything.Protocols = 15;
  everything.Anonymity = 5;  // levels 1 and 3
  everything.Countries = " de; fr,,";
  everything.ResponseTime = 2500;
  everything.Port = 8080;  // filters rows, never sent
  const TQueryCase cases[] = {
      // the automatic choice for an https page: the 10 ms limit sends 0
      {{ProxyProtocolHttps, 0, 30, 10, 75, 0, ""}, 1, "protocol=https&min_uptime=75&max_response_time=0"},
      {{ProxyProtocolHttp | ProxyProtocolHttps, 0, 30, 10, 75, 0, ""}, 2,
       "protocol=http&protocol=https&min_uptime=75&max_response_time=0&offset=15"},
      {everything, 3,
       "protocol=http&protocol=https&protocol=socks4&protocol=socks5&anonlvl=1&anonlvl=3&country=de&country=fr"
       "&max_response_time=2&offset=30"},
      {{}, 1, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ProxyListQueryText(c.Query, c.Page), c.Expected);
}

TEST(ProxyList, RowsOfTheTableBody) {
  const std::string html =
      "<table><thead><tr><th>Host</th><th>Port</th></tr></thead>\n<TBODY>\n"
      "<tr><td>10.0.0.1</td><td>8080</td><td>http</td></tr>\n"
      "<TR class=\"odd\"><TD><b> proxy.example </b></TD><td>3128</TD></TR>\n"
      "<tr><td>10.0.0.3</td><td>n/a</td></tr>\n"
      "<tr><td>10.0.0.4</td><td>8080</td></tr>\n"
      "</tbody></table><table><tbody><tr><td>outside</td><td>1</td></tr></tbody></table>";
  std::vector<std::string> any{"kept"};
  EXPECT_EQ(ReadProxyListPage(html, 0, any), 4);
  EXPECT_EQ(any, (std::vector<std::string>{"kept", "10.0.0.1:8080", "proxy.example:3128", "10.0.0.4:8080"}));
  std::vector<std::string> only;
  EXPECT_EQ(ReadProxyListPage(html, 8080, only), 4);
  EXPECT_EQ(only, (std::vector<std::string>{"10.0.0.1:8080", "10.0.0.4:8080"}));
}

std::string ListPage(int first, int rows, int port) {
  std::string s = "<html><body><table><thead><tr><th>IP</th><th>Port</th></tr></thead><tbody>";
  for (int i = 0; i < rows; ++i)
    s += Format("<tr><td>10.1.%d.%d</td><td>%d</td><td>HTTP</td></tr>", {(first + i) / 250, (first + i) % 250, port});
  return s + "</tbody></table></body></html>";
}

// A list service: page sizes by offset / 15, every request's query logged.
class ProxyListService {
 public:
  explicit ProxyListService(std::vector<int> pageRows, int port = 3128) : Rows_(std::move(pageRows)) {
    Http.Server.Get("/proxies", [this, port](const httplib::Request& req, httplib::Response& res) {
      const std::string target = req.target;
      Log.Add(target.substr(target.find('?') == std::string::npos ? target.size() : target.find('?') + 1));
      const int page = req.has_param("offset") ? std::stoi(req.get_param_value("offset")) / 15 : 0;
      const int rows = page < static_cast<int>(Rows_.size()) ? Rows_[static_cast<size_t>(page)] : 0;
      res.set_content(ListPage(page * 15, rows, port), "text/html");
    });
    Http.Start();
  }
  TLoopbackServer<> Http;
  test::TRequestLog Log;

 private:
  std::vector<int> Rows_;
};

TEST(ProxyList, AShortPageEndsTheFetch) {
  ProxyListService service({15, 14, 15});
  TProxyListQuery q{ProxyProtocolHttp | ProxyProtocolHttps, 0, 30, 10, 75, 0, ""};
  std::vector<std::string> list{"stale"};
  FetchProxyList(service.Http.Url("/proxies"), q, list);
  EXPECT_EQ(list.size(), 29u);
  EXPECT_EQ(list.front(), "10.1.0.0:3128");
  EXPECT_EQ(list.back(), "10.1.0.28:3128");
  EXPECT_EQ(service.Log.Lines(),
            (std::vector<std::string>{"protocol=http&protocol=https&min_uptime=75&max_response_time=0",
                                      "protocol=http&protocol=https&min_uptime=75&max_response_time=0&offset=15"}));
}

TEST(ProxyList, EnoughEntriesEndTheFetch) {
  ProxyListService service({15, 15, 15, 15});
  TProxyListQuery q;
  q.Count = 20;
  std::vector<std::string> list;
  FetchProxyList(service.Http.Url("/proxies"), q, list);
  EXPECT_EQ(list.size(), 30u);
  EXPECT_EQ(service.Log.Lines(), (std::vector<std::string>{"", "offset=15"}));
}

TEST(ProxyList, RequiredPortFiltersButPagesStillCount) {
  ProxyListService service({15, 3}, 8080);
  TProxyListQuery q;
  q.Count = 30;
  q.Port = 3128;
  std::vector<std::string> list;
  FetchProxyList(service.Http.Url("/proxies"), q, list);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(service.Log.Lines().size(), 2u);
}

TEST(ProxyList, NoServiceNoRequest) {
  std::vector<std::string> list{"stale"};
  FetchProxyList("", TProxyListQuery{3, 0, 30, 10, 75, 0, ""}, list);
  EXPECT_TRUE(list.empty());
}

// ---- Modes ------------------------------------------------------------------------------

class ProxyModes : public ::testing::Test {
 protected:
  TMainConnection& Load(const std::string& ini) {
    test::WriteBytes(settings, ini);
    ReadProxy(settings, proxy);
    connection = std::make_unique<TMainConnection>(proxy, settings, ui);
    connection->OnWaitText = [this](const std::string& text) { waits.push_back(text); };
    return *connection;
  }

  test::TTempDir dir;
  std::filesystem::path settings = dir / "Korvane_6x45.ini";
  test::TScriptedUi ui;
  TProxy proxy;
  std::unique_ptr<TMainConnection> connection;
  std::vector<std::string> waits;
};

struct TModeCase {
  const char* Ini;
  int Mode;
  THttpProxy Client;
  const char* Wait;
};

TEST_F(ProxyModes, StoredSettingsDecideTheClientProxy) {
  const TModeCase cases[] = {
      {"[PROXY]\r\nProxyServer=proxy.local\r\nProxyPort=3128\r\n", ProxyModeManual, {"proxy.local", 3128, "", ""},
       "Загрузка архива тиражей...\r\rПопытка 1, proxy proxy.local : 3128"},
      {"", ProxyModeNone, {}, "Загрузка архива тиражей..."},
      {"[PROXY]\r\nProxyMode=7\r\nProxyServer=proxy.local\r\n", ProxyModeNone, {}, "Загрузка архива тиражей..."},
      {"[PROXY]\r\nProxyMode=2\r\nProxyServer=p\r\nProxyPort=81\r\nProxyUsername=u\r\nProxyPassword=pw\r\n",
       ProxyModeManual, {"p", 81, "u", "pw"}, "Загрузка архива тиражей...\r\rПопытка 1, proxy p : 81"},
      // automatic with a server from an earlier run: used without asking the list service
      {"[PROXY]\r\nProxyMode=1\r\nProxyServer=cached.proxy\r\nProxyPort=8000\r\n", ProxyModeAuto,
       {"cached.proxy", 8000, "", ""}, "Загрузка архива тиражей...\r\rПопытка 1, proxy cached.proxy : 8000"},
  };
  for (const auto& c : cases) {
    TMainConnection& conn = Load(c.Ini);
    waits.clear();
    EXPECT_EQ(proxy.Mode, c.Mode) << c.Ini;
    conn.Client.Proxy = {"left", 1, "over", ""};
    EXPECT_TRUE(conn.PrepareProxy("http://results.example/"));
    EXPECT_EQ(conn.Client.Proxy, c.Client) << c.Ini;
    EXPECT_EQ(waits, std::vector<std::string>{c.Wait});
  }
}

TEST_F(ProxyModes, AutomaticWithoutListServiceFindsNothing) {
  test::TResultsSite site;
  TMainConnection& conn = Load("[PROXY]\r\nProxyMode=1\r\n");
  const char* expected =
      "Ошибка получения списка proxy-серверов!\r\rНе найдено ни одного proxy-сервера с заданными параметрами";
  EXPECT_FALSE(conn.PrepareProxy(site.Url("/")));
  EXPECT_EQ(conn.PrepareError(), expected);
  try {
    conn.MainGet(site.Url("/korvane/results/march-2025"));
    FAIL() << "no error";
  } catch (const EVexaError& e) {
    EXPECT_STREQ(e.what(), expected);
  }
  EXPECT_TRUE(site.Log.Lines().empty());
  EXPECT_FALSE(conn.DropCurrentProxy());
}

TEST_F(ProxyModes, DialogChoicesAreStored) {
  TMainConnection& conn = Load("[PROXY]\r\nProxyMode=2\r\nProxyServer=old\r\nProxyPort=81\r\n");
  ASSERT_TRUE(conn.EditProxy({ProxyModeAuto, "typed", 3128, "u", "p"}));
  EXPECT_EQ(test::ReadBytes(settings),
            "[PROXY]\r\nProxyMode=1\r\nProxyServer=\r\nProxyPort=0\r\nProxyUsername=\r\nProxyPassword=\r\n");
  ASSERT_TRUE(conn.EditProxy({ProxyModeManual, "proxy.local", 3128, "user", "secret"}));
  EXPECT_EQ(test::ReadBytes(settings), "[PROXY]\r\nProxyMode=2\r\nProxyServer=proxy.local\r\nProxyPort=3128\r\n"
                                       "ProxyUsername=user\r\nProxyPassword=secret\r\n");
  ASSERT_TRUE(conn.EditProxy({ProxyModeNone, "proxy.local", 3128, "user", "secret"}));
  TProxy reread;
  ReadProxy(settings, reread);
  EXPECT_EQ(reread.Mode, ProxyModeNone);
  EXPECT_EQ(reread.Server, "proxy.local");
  EXPECT_FALSE(conn.ProxyChanged());
}

// ---- Automatic choice during a download ---------------------------------------------

// A proxy that forwards GET requests in absolute form to the origin.
class ForwardingProxy {
 public:
  ForwardingProxy() {
    Http.Server.Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
      Log.Add(req.path);
      const std::string rest = req.path.substr(std::string("http://").size());
      const size_t slash = rest.find('/');
      httplib::Client origin("http://" + rest.substr(0, slash));
      auto reply = origin.Get(rest.substr(slash));
      if (!reply) {
        res.status = 502;
        return;
      }
      res.status = reply->status;
      res.set_content(reply->body, "text/html");
    });
    Http.Start();
  }
  TLoopbackServer<> Http;
  test::TRequestLog Log;
};

// A proxy that refuses every request.
class RefusingProxy {
 public:
  RefusingProxy() {
    Http.Server.Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
      Log.Add(req.path);
      res.status = 403;
    });
    Http.Start();
  }
  TLoopbackServer<> Http;
  test::TRequestLog Log;
};

class AutoProxyDownload : public ProxyModes {
 protected:
  void ListProxies(const std::vector<int>& ports) {
    std::string html = "<table><tbody>";
    for (int p : ports) html += Format("<tr><td>127.0.0.1</td><td>%d</td></tr>", {p});
    listPage = html + "</tbody></table>";
    list.Server.Get("/proxies", [this](const httplib::Request& req, httplib::Response& res) {
      listLog.Add(req.target);
      res.set_content(listPage, "text/html");
    });
    list.Start();
  }
  TDownloadResult Download(TMainConnection& conn) {
    conn.ProxyListUrl = list.Url("/proxies");
    TDrawsArchive archive(dir / "Korvane_6x45.ldr");
    TDraw d;
    d.Number = 4590;
    d.Nums = {1, 2, 3, 4, 5, 6};
    SetDrawDateText(d, "28 Feb 2025");
    archive.Append(d);
    site.SetPage("march-2025", test::MonthPage({{"4591", "2025-03-04", {2, 3, 4, 5, 6, 7}, {8, 9}}}));
    TDownloadOptions options;
    options.BaseUrl = site.Url();
    options.Today = [] { return 20250310; };
    TDrawsDownloader downloader(archive, conn, ui, options);
    downloader.DownloadDraws();
    added = archive.Count() - 1;
    return downloader.Result();
  }

  test::TResultsSite site;
  TLoopbackServer<> list;
  std::string listPage;
  test::TRequestLog listLog;
  int added = 0;
};

TEST_F(AutoProxyDownload, FailingCandidatesAreDroppedInTurnAndTheWorkingOneSaved) {
  ForwardingProxy forwarding;
  RefusingProxy refusing;
  const int closed = test::ClosedLoopbackPort();
  ListProxies({closed, refusing.Http.Port(), forwarding.Http.Port()});
  TMainConnection& conn = Load("[GLOBAL]\r\nMatrixCols=5\r\n[PROXY]\r\nProxyMode=1\r\n");
  const TDownloadResult r = Download(conn);

  EXPECT_TRUE(r.Completed);
  EXPECT_EQ(added, 1);
  EXPECT_TRUE(ui.Questions.empty());
  EXPECT_EQ(listLog.Lines(),
            std::vector<std::string>{"/proxies?protocol=http&protocol=https&min_uptime=75&max_response_time=0"});
  EXPECT_EQ(refusing.Log.Lines(), std::vector<std::string>{site.Url("/korvane/results/march-2025")});
  EXPECT_EQ(forwarding.Log.Lines(), std::vector<std::string>{site.Url("/korvane/results/march-2025")});
  const std::string w = "Загрузка архива тиражей...\r\r";
  EXPECT_EQ(waits, (std::vector<std::string>{
                       w + "Поиск proxy-серверов",
                       w + Format("Попытка 1, proxy 127.0.0.1 : %d", {closed}),
                       w + Format("Попытка 2, proxy 127.0.0.1 : %d", {refusing.Http.Port()}),
                       w + Format("Попытка 3, proxy 127.0.0.1 : %d", {forwarding.Http.Port()}),
                   }));
  // The chosen proxy is stored after the successful month; other sections stay.
  EXPECT_EQ(test::ReadBytes(settings), Format("[GLOBAL]\r\nMatrixCols=5\r\n[PROXY]\r\nProxyMode=1\r\nProxyServer=127.0.0.1\r\n"
                                              "ProxyPort=%d\r\nProxyUsername=\r\nProxyPassword=\r\n",
                                              {forwarding.Http.Port()}));
  EXPECT_FALSE(conn.ProxyChanged());
  EXPECT_TRUE(conn.Candidates().empty());
}

TEST_F(AutoProxyDownload, AfterTheLastCandidateTheUserIsAsked) {
  RefusingProxy refusing;
  const int closed = test::ClosedLoopbackPort();
  ListProxies({closed, refusing.Http.Port()});
  TMainConnection& conn = Load("[PROXY]\r\nProxyMode=1\r\n");
  ui.Answers = {false};
  const TDownloadResult r = Download(conn);

  EXPECT_FALSE(r.Completed);
  EXPECT_EQ(added, 0);
  ASSERT_EQ(ui.Questions.size(), 1u);
  EXPECT_EQ(ui.Questions[0], "Ошибка загрузки архива тиражей с сайта: \"The requested URL returned error: 403\"\r\r"
                             "Повторить попытку?");
  EXPECT_EQ(conn.Attempt, 3);
  EXPECT_EQ(proxy.Server, "");
  EXPECT_TRUE(site.Log.Lines().empty());
  // Nothing worked, so nothing was stored.
  EXPECT_EQ(test::ReadBytes(settings), "[PROXY]\r\nProxyMode=1\r\n");
}

}  // namespace
}  // namespace vexa

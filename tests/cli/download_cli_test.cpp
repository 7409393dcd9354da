// vexa draws download and vexa proxy against a loopback results site.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "acquire/download.h"
#include "core/draws_archive.h"
#include "core/format.h"
#include "support/results_pages.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"

namespace vexa {
namespace {

using test::MonthPage;
using test::TLoopbackServer;
using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;

using TResult = test::TCliResult;

class DownloadCli : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    current = (local.tm_year + 1900) * 100 + local.tm_mon + 1;
    previous = current % 100 == 1 ? current - 100 + 11 : current - 1;
  }

  TResult Run(const std::vector<std::string>& args, const std::string& input = "") {
    test::TCliOptions options;
    options.Input = input;
    options.CLocale = false;
    return test::RunCli(dir.Path(), args, options);
  }

  // yyyy-mm-dd of a day of a cursor's month.
  static std::string Day(int cursor, int day) { return Format("%d-%.2d-%.2d", {cursor / 100, cursor % 100, day}); }

  // The archive holds one draw on the 1st of the previous month; both
  // months' pages have one new draw.
  void Prepare() {
    TDrawsArchive archive(dir / "Korvane_6x45.ldr");
    TDraw d;
    d.Number = 100;
    d.Nums = {1, 2, 3, 4, 5, 6};
    d.Supp = {7, 8};
    SetDrawDateText(d, Format("1 %s %d", {MonthAbbrev(previous), previous / 100}));
    archive.Append(d);
    TSilentUserInterface ui;
    archive.SaveDraws(ui);
    site.SetPage(MonthPageName(previous), MonthPage({{"101", Day(previous, 4), {2, 3, 4, 5, 6, 7}, {8, 9}}}));
    site.SetPage(MonthPageName(current), MonthPage({{"102", Day(current, 1), {3, 4, 5, 6, 7, 8}, {9, 10}}}));
  }

  static std::string MonthAbbrev(int cursor) {
    static const char* const Names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return Names[cursor % 100 - 1];
  }

  std::vector<int> StoredNumbers() {
    TDrawsArchive archive(dir / "Korvane_6x45.ldr");
    TSilentUserInterface ui;
    archive.LoadDraws(ui);
    std::vector<int> n;
    for (const auto& d : archive.Draws()) n.push_back(d.Number);
    return n;
  }

  TTempDir dir;
  test::TResultsSite site;
  int current = 0;
  int previous = 0;
};

TEST_F(DownloadCli, PrintsEachMonthAndTheDrawsAdded) {
  Prepare();
  const TResult r = Run({"draws", "download", "--base-url", site.Url(), "--no"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "Страница\tДобавлено\n" + MonthPageName(previous) + "\t1\n" + MonthPageName(current) + "\t1\n");
  EXPECT_NE(r.Err.find("Прочитано страниц: 2, добавлено тиражей: 2"), std::string::npos) << r.Err;
  EXPECT_EQ(StoredNumbers(), (std::vector<int>{100, 101, 102}));
}

TEST_F(DownloadCli, BaseAddressFromTheSettingsFile) {
  Prepare();
  WriteBytes(dir / "Korvane_6x45.ini", "[HTTP]\r\nResultsBaseUrl=" + site.Url("/") + "\r\n");
  const TResult r = Run({"draws", "download"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(StoredNumbers(), (std::vector<int>{100, 101, 102}));
}

TEST_F(DownloadCli, NoBaseAddressIsAnError) {
  Prepare();
  const TResult r = Run({"draws", "download", "--yes"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("Не задан адрес сайта результатов тиражей"), std::string::npos) << r.Err;
  EXPECT_TRUE(site.Log.Lines().empty());
}

TEST_F(DownloadCli, NoKeepsTheEarlierMonth) {
  Prepare();
  site.SetFailing(MonthPageName(current), -1);
  const TResult r = Run({"draws", "download", "--base-url", site.Url(), "--no"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Out, "Страница\tДобавлено\n" + MonthPageName(previous) + "\t1\n");
  EXPECT_NE(r.Err.find("Ошибка загрузки архива тиражей с сайта: \"The requested URL returned error: 500\"\n\n"
                       "Повторить попытку?\nНет.\n"),
            std::string::npos)
      << r.Err;
  EXPECT_EQ(StoredNumbers(), (std::vector<int>{100, 101}));
}

struct TAnswerCase {
  std::vector<std::string> Flags;
  std::string Input;
  int Fails;              // failing replies of the current month
  size_t CurrentRequests;
  int Status;
};

TEST_F(DownloadCli, RetryAnswers) {
  const TAnswerCase cases[] = {
      {{}, "y\n", 1, 2, 0},        // asked on the terminal: yes
      {{}, "да\n", 1, 2, 0},
      {{}, "", 1, 1, 1},           // end of input: no
      {{}, "n\n", 1, 1, 1},
      {{"--yes"}, "", 2, 3, 0},
      {{"--yes"}, "", -1, 4, 1},   // a dead site: three retries, then stop
  };
  for (const auto& c : cases) {
    std::filesystem::remove(dir / "Korvane_6x45.ldr");
    Prepare();
    site.SetFailing(MonthPageName(current), c.Fails);
    const size_t before = site.Log.Lines().size();
    std::vector<std::string> args = {"draws", "download", "--base-url", site.Url()};
    args.insert(args.end(), c.Flags.begin(), c.Flags.end());
    const TResult r = Run(args, c.Input);
    const auto log = site.Log.Lines();
    size_t currentRequests = 0;
    for (size_t i = before; i < log.size(); ++i) currentRequests += log[i] == MonthPageName(current);
    EXPECT_EQ(currentRequests, c.CurrentRequests) << c.Input << c.Fails;
    EXPECT_EQ(r.Status, c.Status) << r.Err;
  }
}

TEST_F(DownloadCli, ManualProxyIsUsed) {
  Prepare();
  TLoopbackServer<> proxy;
  test::TRequestLog seen;
  const std::string page = MonthPage({{"103", Day(current, 1), {3, 4, 5, 6, 7, 8}, {9, 10}}});
  proxy.Server.Get(".*", [&](const httplib::Request& req, httplib::Response& res) {
    seen.Add(req.path);
    res.set_content(page, "text/html");
  });
  proxy.Start();
  ASSERT_EQ(Run({"proxy", "set", "manual", "127.0.0.1", std::to_string(proxy.Port())}).Status, 0);
  const TResult r = Run({"draws", "download", "--base-url", site.Url(), "--no"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Err.find(Format("Попытка 1, proxy 127.0.0.1 : %d", {proxy.Port()})), std::string::npos) << r.Err;
  EXPECT_EQ(seen.Lines(), (std::vector<std::string>{site.Url("/korvane/results/" + MonthPageName(previous)),
                                                    site.Url("/korvane/results/" + MonthPageName(current))}));
  EXPECT_TRUE(site.Log.Lines().empty());
}

TEST_F(DownloadCli, ProxySetAndShow) {
  TResult r = Run({"proxy", "show"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "Ключ\tЗначение\nProxyMode\t0\nProxyServer\t\nProxyPort\t80\nProxyUsername\t\nProxyPassword\t\n");

  r = Run({"proxy", "set", "manual", "proxy.local", "3128", "user", "secret"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  const std::string manual =
      "Ключ\tЗначение\nProxyMode\t2\nProxyServer\tproxy.local\nProxyPort\t3128\nProxyUsername\tuser\nProxyPassword\t***\n";
  EXPECT_EQ(r.Out, manual);
  EXPECT_EQ(Run({"proxy", "show"}).Out, manual);
  EXPECT_EQ(ReadBytes(dir / "Korvane_6x45.ini"), "[PROXY]\r\nProxyMode=2\r\nProxyServer=proxy.local\r\nProxyPort=3128\r\n"
                                                 "ProxyUsername=user\r\nProxyPassword=secret\r\n");

  r = Run({"proxy", "set", "auto"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "Ключ\tЗначение\nProxyMode\t1\nProxyServer\t\nProxyPort\t0\nProxyUsername\t\nProxyPassword\t\n");

  for (const std::vector<std::string>& bad : {std::vector<std::string>{"proxy", "set", "manual", "h", "70000"},
                                              {"proxy", "set", "manual", "h"},
                                              {"proxy", "set", "sometimes"},
                                              {"proxy", "set", "off", "extra"},
                                              {"proxy"}}) {
    r = Run(bad);
    EXPECT_EQ(r.Status, 2) << bad.back();
  }
  EXPECT_EQ(Run({"proxy", "show"}).Out,
            "Ключ\tЗначение\nProxyMode\t1\nProxyServer\t\nProxyPort\t0\nProxyUsername\t\nProxyPassword\t\n");
}

}  // namespace
}  // namespace vexa

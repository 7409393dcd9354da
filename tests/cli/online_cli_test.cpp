// vexa systems / library / online against a hand-written loopback service.
#include <gtest/gtest.h>

#include "engine/online/online_fake_service.h"
#include "online/script_library.h"
#include "online/systems_catalogue.h"
#include "support/cli_runner.h"
#include "wire/wire.h"

namespace vexa::test {
namespace {

std::string Result(const std::string& rows) { return "<result>" + rows + "</result>"; }

class OnlineCli : public ::testing::Test {
 protected:
  TTempDir dir;
  TFakeService service;
  void SetUp() override { WriteOnlineIni(dir, service.Url(), "Я", "me@x.org"); }
};

TEST_F(OnlineCli, SystemsListDownloadAndTheMissingSystemForPlay) {
  service.Reply(SystemsListPath,
                Result("<row><id>5</id><nums>7</nums><olap>3</olap><csize>2</csize><title>" +
                       wire::Base64Encode("Семёрка") + "</title><descr>" + wire::Base64Encode("две\r\nстроки\tи табуляция") +
                       "</descr><author>A</author>"
                       "<cl_mail>me@x.org</cl_mail><url></url><created>2024-01-01 00:00:00</created>"
                       "<downloads>3</downloads></row>"));
  TCliResult r = RunCli(dir.Path(), {"systems", "list"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  auto lines = Lines(r.Out);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "ID\tНазвание\tАвтор\tЧисла\tБлок\tКомбинаций\tДата создания\tСтатус\tЗагрузок\tПоследняя\t"
                      "Комментарии\tСсылка");
  // A description of several lines stays one field of one line.
  EXPECT_EQ(lines[1], "5\tСемёрка\tA\t07\t3\t2\t2024-01-01 00:00:00\t\t3\t\tдве  строки и табуляция\t");

  service.Reply(SystemsDataPath, Result("<row><clist>" + wire::Base64Encode("1 2 3 4 5 6\r\n2 3 4 5 6 7") +
                                        "</clist></row>"));
  r = RunCli(dir.Path(), {"systems", "download", "5"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(Lines(r.Out).at(1), "5\t6-07-3_0005.dat");
  EXPECT_EQ(ReadBytes(dir / "Systems" / "6-07-3_0005.dat"), "1 2 3 4 5 6\r\n2 3 4 5 6 7\r\n");

  // The start-up list holds all 45 numbers: there is no system for them.
  r = RunCli(dir.Path(), {"systems", "play"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("Система для 45 чисел не найдена"), std::string::npos) << r.Err;
}

TEST_F(OnlineCli, NoCatalogueConfiguredFailsWithThePlaceholderRow) {
  WriteBytes(dir / "Korvane_6x45.ini", "[Online]\r\n");
  const TCliResult r = RunCli(dir.Path(), {"systems", "list"});
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("CatalogueUrl"), std::string::npos) << r.Err;
  EXPECT_EQ(Lines(r.Out).at(1).rfind("-1\tСписок систем не доступен!\t", 0), 0u);
}

TEST_F(OnlineCli, LibraryFilterRateAndIdentity) {
  service.Reply(LibraryListPath, Result(""));
  TCliResult r = RunCli(dir.Path(), {"library", "list", "--filter", "-1"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  ASSERT_FALSE(service.PostsTo(LibraryListPath).empty());
  EXPECT_EQ(service.PostsTo(LibraryListPath).back().Body.substr(0, 10), "fltid=-1&a");
  EXPECT_EQ(Lines(r.Out).at(0).rfind("ID\tТип\tНазвание\t", 0), 0u);

  service.Reply(LibraryRatePath, Result("<row><res_code>1</res_code></row>"));
  r = RunCli(dir.Path(), {"library", "rate", "9", "4", "--notes", "ок"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(service.PostsTo(LibraryRatePath).back().Body.substr(0, 41),
            FormOf({"scr_id=9", "rate_value=4", "rate_notes=ок"}).substr(0, 41));
  EXPECT_EQ(RunCli(dir.Path(), {"library", "rate", "9", "6"}).Status, 2);

  r = RunCli(dir.Path(), {"online", "identity", "Пётр", "p@x.org"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(Lines(r.Out).at(1), "UserName\tПётр");
  r = RunCli(dir.Path(), {"config", "show"});
  EXPECT_NE(r.Out.find("Online\tUserMail\tp@x.org"), std::string::npos);
  EXPECT_NE(r.Out.find("Online\tInstallSecret\t***"), std::string::npos);
}

}  // namespace
}  // namespace vexa::test

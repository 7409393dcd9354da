// What the service does with requests that are too big, malformed, too
// frequent, over TLS, across a SIGKILL, and its import commands.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <sqlite3.h>

#include <cstdlib>
#include <fstream>

#include "server_fixture.h"
#include "support/loopback_server.h"

namespace vexa::test {
namespace {

// A raw request: what a misbehaving client could send; returns all it got back.
std::string RawExchange(int port, const std::string& request, bool readReply = true) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    ::close(fd);
    return {};
  }
  // No half-close: the service takes a closed read side for a client gone.
  // The requests say "Connection: close" instead; the timeout guards the test.
  timeval limit{10, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
  std::string reply;
  if (!readReply) {
    ::close(fd);
    return reply;
  }
  char buf[4096];
  for (ssize_t n; (n = ::recv(fd, buf, sizeof buf, 0)) > 0;) reply.append(buf, static_cast<size_t>(n));
  ::close(fd);
  return reply;
}

std::string BodyOf(const std::string& response) {
  const size_t p = response.find("\r\n\r\n");
  return p == std::string::npos ? std::string() : response.substr(p + 4);
}

TFields ScriptPost(const std::string& title, const TClientId& who) {
  return Join({{"del_mode", "0"},
               {"scr_id", "-1"},
               {"scr_uniapps", "1"},
               {"scr_publics", "1"},
               {"scr_title", wire::CEscape(title)},
               {"scr_descr", ""},
               {"scr_script", "FULL:0#RAND| | | | | | | |"}},
              who.Fields());
}

class SmallBodyService : public TServerTest {
  std::vector<std::string> Options() const override { return {"--write-rate", "3", "--max-body", "65536"}; }
};

TEST_F(SmallBodyService, OversizedBodyIsAnsweredWithAnError) {
  const std::string big = "POST /scripts/scr_putscript.php HTTP/1.1\r\nHost: x\r\n"
                          "Content-Type: application/x-www-form-urlencoded\r\nConnection: close\r\n"
                          "Content-Length: 10000000\r\n\r\n";
  const std::string reply = RawExchange(Server->Port(), big);
  EXPECT_NE(reply.find(" 413 "), std::string::npos) << reply;
  EXPECT_EQ(TAnswer(BodyOf(reply)).Error(), "Слишком большой запрос");
  // A body that really is too long, sent whole by a normal client.
  TFields fields = ScriptPost("Длинный", Ivan);
  fields.push_back({"pad", std::string(70000, 'x')});
  EXPECT_EQ(TAnswer(Server->Post("scr_putscript.php", fields)).Error(), "Слишком большой запрос");
}

TEST_F(SmallBodyService, WritesPerAddressAreLimited) {
  for (int i = 0; i < 3; ++i) {
    const TAnswer a = Post("scr_putscript.php", ScriptPost("Сценарий " + std::to_string(i), Ivan));
    EXPECT_EQ(a.Value(0, "id_scripts"), std::to_string(i + 1)) << a.Body();
  }
  EXPECT_EQ(Post("scr_putscript.php", ScriptPost("Ещё один", Ivan)).Error(), "Слишком много запросов, повторите позже");
  EXPECT_EQ(Post("scr_setrate.php",
                 Join({{"scr_id", "1"}, {"rate_value", "5"}, {"rate_notes", ""}}, Olga.Fields())).Error(),
            "Слишком много запросов, повторите позже");
  // Reads are not limited.
  EXPECT_EQ(Post("scr_getlist.php", Join({{"fltid", "0"}}, Olga.Fields())).Rows(), 3u);
}

class NamedAppService : public TServerTest {
  std::vector<std::string> Options() const override { return {"--app-name", "{A1B2}=Korvane_6x45"}; }
};

TEST_F(NamedAppService, KnownApplicationIdsShowTheirProgramName) {
  TFields f = ScriptPost("Именованный", Ivan);
  for (auto& [k, v] : f)
    if (k == "appid") v = "{A1B2}";
  ASSERT_EQ(Post("scr_putscript.php", f).Value(0, "id_scripts"), "1");
  ASSERT_EQ(Post("scr_putscript.php", ScriptPost("Другой", Olga)).Value(0, "id_scripts"), "2");
  const TAnswer list = Post("scr_getlist.php", Join({{"fltid", "0"}}, Olga.Fields()));
  EXPECT_EQ(list.Value(0, "app_name"), "Korvane_6x45");
  EXPECT_EQ(list.Value(0, "app_guid"), "{A1B2}");
  EXPECT_EQ(list.Value(1, "app_name"), "Korvane_6x45");  // unknown id: the id itself
  EXPECT_EQ(list.Value(1, "app_guid"), "Korvane_6x45");
}

class RobustService : public TServerTest {};

TEST_F(RobustService, MalformedRequestsGetErrorRows) {
  const auto raw = [&](const std::string& head, const std::string& body) {
    return BodyOf(RawExchange(Server->Port(), head + "Host: x\r\nConnection: close\r\nContent-Length: " +
                                                  std::to_string(body.size()) + "\r\n\r\n" + body));
  };
  const std::string form = "Content-Type: application/x-www-form-urlencoded\r\n";
  EXPECT_EQ(TAnswer(raw("POST /scripts/sys_getdata.php HTTP/1.1\r\n" + form, "%%%&&&===&sys_id=%zz")).Error(),
            "Неверное значение поля sys_id");
  EXPECT_EQ(TAnswer(raw("POST /scripts/sys_getdata.php HTTP/1.1\r\n" + form, "")).Error(),
            "Неверное значение поля sys_id");
  EXPECT_EQ(TAnswer(raw("POST /scripts/sys_getdata.php HTTP/1.1\r\n" + form, "sys_id=99999999999999999999")).Error(),
            "Неверное значение поля sys_id");
  EXPECT_EQ(TAnswer(raw("GET /scripts/sys_getlist.php HTTP/1.1\r\n", "")).Error(), "Неизвестный запрос");
  EXPECT_EQ(TAnswer(raw("POST /scripts/other.php HTTP/1.1\r\n" + form, "a=1")).Error(), "Неизвестный запрос");
  // A script field that is not valid form text at all still gets a row.
  EXPECT_NE(TAnswer(raw("POST /scripts/scr_putscript.php HTTP/1.1\r\n" + form, "scr_script=\xff\xfe%00")).Error(), "");
  // Garbage instead of HTTP: the service answers or hangs up, and keeps serving.
  RawExchange(Server->Port(), std::string("\x16\x03\x01\x00\x05hello\r\n\r\n", 14), false);
  EXPECT_TRUE(TAnswer(Server->Post("sys_getlist.php", {{"comblen", "6"}})).Reply().HasResult);
}

TEST_F(RobustService, AcknowledgedChangesSurviveSigkill) {
  std::vector<std::string> ids;
  for (int i = 0; i < 20; ++i) {
    const TAnswer a = Post("scr_putscript.php", ScriptPost("Сценарий " + std::to_string(i), Ivan));
    ASSERT_EQ(a.Error(), "");
    ids.push_back(a.Value(0, "id_scripts"));
  }
  ASSERT_EQ(Post("scr_setrate.php", Join({{"scr_id", "3"}, {"rate_value", "-1"}, {"rate_notes", ""}}, Ivan.Fields()))
                .Value(0, "res_code"),
            "0");
  const int status = Server->Stop(SIGKILL);
  ASSERT_TRUE(WIFSIGNALED(status));
  Server->Start();
  const TAnswer list = Post("scr_getlist.php", Join({{"fltid", "0"}}, Ivan.Fields()));
  ASSERT_EQ(list.Rows(), ids.size());
  for (size_t i = 0; i < ids.size(); ++i) EXPECT_EQ(list.Value(i, "id"), ids[i]);
  EXPECT_EQ(list.Value(2, "rating_you"), "-1");
  // The binding of the e-mail survived too.
  EXPECT_EQ(Post("scr_putscript.php", ScriptPost("Чужой", FakeIvan)).Error(),
            "Этот e-mail уже используется другой установкой программы");
}

TEST(ServiceStore, RefusesAStoreOfANewerSchema) {
  TTempDir dir;
  {
    TServerProcess first(VEXA_SERVER_PATH, dir / "data");
  }
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open((dir / "data" / "vexa-server.db").c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "PRAGMA user_version=99", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
  try {
    TServerProcess second(VEXA_SERVER_PATH, dir / "data");
    ADD_FAILURE() << "started over a newer store";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("did not start"), std::string::npos);
  }
}

TEST(ServiceTls, ServesOverHttpsWithAGivenCertificate) {
  TTempDir dir;
  const TSelfSigned cert = MakeSelfSigned(dir.Path());
  TServerProcess server(VEXA_SERVER_PATH, dir / "data", {"--cert", cert.Cert.string(), "--key", cert.Key.string()});
  httplib::SSLClient client("127.0.0.1", server.Port());
  client.enable_server_certificate_verification(false);
  auto res = client.Post("/scripts/sys_getlist.php", httplib::Params{{"comblen", "6"}, {"maxnums", "45"}});
  ASSERT_TRUE(res);
  EXPECT_EQ(res->body, "<result></result>");
}

int RunServer(const std::string& args, const std::filesystem::path& out) {
  const std::string cmd = std::string(VEXA_SERVER_PATH) + " " + args + " >'" + out.string() + "' 2>&1";
  const int rc = std::system(cmd.c_str());
  return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

TEST(ServiceImport, SystemsAndScriptsFromFiles) {
  TTempDir dir;
  std::filesystem::create_directories(dir / "src");
  WriteBytes(dir / "src" / "6-07-5_0012.dat", "01 02 03 04 05 06\r\n01 02 03 04 05 07\r\n");
  WriteBytes(dir / "src" / "6-07-5_0012.txt", "Две из семи\nОписание\nв две строки\n");
  WriteBytes(dir / "src" / "6-08-3_0000.dat", "1 2 3 4 5 6\n");
  WriteBytes(dir / "src" / "6-08-3_0001.dat", "1 2 3 4 5 9\n");  // position past 8
  WriteBytes(dir / "src" / "readme.txt", "not a system");
  WriteBytes(dir / "hot.lsc", "FULL:0#RAND|TMF1#NUMS:20#CMV:3#SF:1| | | | | | |hot\n\n");
  WriteBytes(dir / "hot.txt", "Горячие\nБерёт горячие числа.\n");
  WriteBytes(dir / "plain.lsc", "FULL:0#LAST| | | | | | | |\n");
  const std::string data = "--data '" + (dir / "data").string() + "'";

  EXPECT_EQ(RunServer("import-systems " + data + " '" + (dir / "src").string() + "'", dir / "out.txt"), 1);
  const std::string out = ReadBytes(dir / "out.txt");
  EXPECT_NE(out.find("6-07-5_0012.dat\t12\tДве из семи"), std::string::npos) << out;
  EXPECT_NE(out.find("6-08-3_0000.dat\t13\t8 чисел, блок 3, 1 комбинаций"), std::string::npos) << out;
  EXPECT_NE(out.find("6-08-3_0001.dat: Строка 1 списка комбинаций: позиция вне диапазона 1..8"), std::string::npos);
  EXPECT_EQ(RunServer("import-scripts " + data + " --author Vexa '" + (dir / "hot.lsc").string() + "' '" +
                          (dir / "plain.lsc").string() + "'",
                      dir / "out2.txt"),
            0)
      << ReadBytes(dir / "out2.txt");
  // Importing again refuses the taken titles.
  EXPECT_EQ(RunServer("import-scripts " + data + " '" + (dir / "hot.lsc").string() + "'", dir / "out3.txt"), 1);
  EXPECT_EQ(RunServer("import-scripts " + data, dir / "out4.txt"), 2);
  EXPECT_EQ(RunServer("--help", dir / "out5.txt"), 0);
  EXPECT_NE(ReadBytes(dir / "out5.txt").find("import-systems"), std::string::npos);

  TServerProcess server(VEXA_SERVER_PATH, dir / "data");
  const TAnswer systems(server.Post("sys_getlist.php", {{"comblen", "6"}, {"maxnums", "45"}}));
  ASSERT_EQ(systems.Rows(), 2u) << systems.Body();
  EXPECT_EQ(systems.Value(0, "id"), "12");
  EXPECT_EQ(systems.Decoded(0, "descr"), "Описание\nв две строки");
  EXPECT_EQ(systems.Value(0, "author"), "Vexa");
  EXPECT_EQ(systems.Value(0, "cl_mail"), "");
  const TAnswer scripts(server.Post("scr_getlist.php", {{"fltid", "1"}}));
  ASSERT_EQ(scripts.Rows(), 2u) << scripts.Body();
  EXPECT_EQ(scripts.Decoded(0, "title"), "Горячие");
  EXPECT_EQ(scripts.Decoded(1, "title"), "plain");
  EXPECT_EQ(scripts.Value(0, "uniapps"), "1");
  const TAnswer text(server.Post("scr_getdata.php", {{"scr_id", scripts.Value(0, "id")}}));
  EXPECT_EQ(text.Decoded(0, "script"), "FULL:0#RAND|TMF1#NUMS:20#CMV:3#SF:1| | | | | | |hot");
}

// The samples shipped for `make run` are all accepted.
TEST(ServiceImport, ShippedSamplesAreValid) {
  TTempDir dir;
  const std::string data = "--data '" + (dir / "data").string() + "'";
  const std::filesystem::path samples = VEXA_SAMPLES_DIR;
  EXPECT_EQ(RunServer("import-systems " + data + " '" + (samples / "systems").string() + "'", dir / "a.txt"), 0)
      << ReadBytes(dir / "a.txt");
  std::string scripts;
  for (const auto& e : std::filesystem::directory_iterator(samples / "scripts"))
    if (e.path().extension() == ".lsc") scripts += " '" + e.path().string() + "'";
  EXPECT_EQ(RunServer("import-scripts " + data + scripts, dir / "b.txt"), 0) << ReadBytes(dir / "b.txt");
  TServerProcess server(VEXA_SERVER_PATH, dir / "data");
  EXPECT_GE(TAnswer(server.Post("sys_getlist.php", {{"comblen", "6"}})).Rows(), 6u);
  EXPECT_GE(TAnswer(server.Post("scr_getlist.php", {{"fltid", "1"}})).Rows(), 3u);
}

}  // namespace
}  // namespace vexa::test

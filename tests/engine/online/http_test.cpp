// The HTTP layer against real servers on the loopback.
#include "online/http.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "support/loopback_server.h"
#include "support/temp_dir.h"

namespace vexa {
namespace {

using test::TLoopbackServer;
using test::TTempDir;

// Answers every path: "/text" plain, "/gzip" and "/deflate" compressed,
// "/redirect" to "/text", "/fail" 500, "/echo" the request as text.
class HttpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& s = site.Server;
    s.Get("/text", [](const httplib::Request&, httplib::Response& res) { res.set_content("plain body", "text/plain"); });
    for (const auto& [path, bits, name] : {std::tuple{"/gzip", 31, "gzip"}, std::tuple{"/deflate", 15, "deflate"}}) {
      const int windowBits = bits;
      const std::string encoding = name;
      s.Get(path, [windowBits, encoding](const httplib::Request&, httplib::Response& res) {
        res.set_content(test::Compress("packed body: " + encoding, windowBits), "text/plain");
        res.set_header("Content-Encoding", encoding);
      });
    }
    s.Get("/redirect", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/text"); });
    s.Post("/redirect", [](const httplib::Request&, httplib::Response& res) {
      res.set_redirect("/text");
      res.set_content("moved", "text/plain");
    });
    s.Get("/fail", [](const httplib::Request&, httplib::Response& res) {
      res.status = 500;
      res.set_content("broken", "text/plain");
    });
    auto echo = [](const httplib::Request& req, httplib::Response& res) {
      res.set_content(req.method + "|" + req.get_header_value("Accept") + "|" + req.get_header_value("Accept-Encoding") +
                          "|" + req.get_header_value("User-Agent") + "|" + req.body,
                      "text/plain");
    };
    s.Get("/echo", echo);
    s.Post("/echo", echo);
    site.Start();
  }

  TLoopbackServer<> site;
};

TEST_F(HttpTest, OneShotAndMainClientSendTheirProfiles) {
  const std::string oneShot = HttpGetText(site.Url("/echo"));
  EXPECT_EQ(oneShot, std::string("GET|") + OneShotAccept + "|gzip, deflate, sdch|" + HttpUserAgent + "|");
  THttpClient client;
  EXPECT_EQ(client.Get(site.Url("/echo")), std::string("GET|") + MainClientAccept + "|gzip, deflate, sdch|" + HttpUserAgent + "|");
}

TEST_F(HttpTest, CompressedRepliesAreDecoded) {
  EXPECT_EQ(HttpGetText(site.Url("/gzip")), "packed body: gzip");
  EXPECT_EQ(HttpGetText(site.Url("/deflate")), "packed body: deflate");
  THttpClient client;
  EXPECT_EQ(client.Get(site.Url("/gzip")), "packed body: gzip");
}

TEST_F(HttpTest, RedirectsAreFollowedAndThePostMayStop) {
  EXPECT_EQ(HttpGetText(site.Url("/redirect")), "plain body");
  EXPECT_EQ(HttpPostForm(site.Url("/redirect"), {"a=1"}, false), "moved");
  EXPECT_EQ(HttpPostForm(site.Url("/redirect"), {"a=1"}, true), "plain body");
}

TEST_F(HttpTest, PostSendsAnUrlEncodedForm) {
  const std::string reply = HttpPostForm(site.Url("/echo"), {"name=Иван Петров", "text=a&b=c+d", "flag"}, true);
  EXPECT_EQ(reply.substr(reply.rfind('|') + 1),
            "name=%D0%98%D0%B2%D0%B0%D0%BD+%D0%9F%D0%B5%D1%82%D1%80%D0%BE%D0%B2&text=a%26b%3Dc%2Bd&flag");
}

TEST_F(HttpTest, ErrorStatusThrowsTheLibraryText) {
  try {
    HttpGetText(site.Url("/fail"));
    FAIL() << "no error";
  } catch (const EHttpError& e) {
    EXPECT_STREQ(e.what(), "The requested URL returned error: 500");
  }
  THttpClient client;
  EXPECT_THROW(client.Get(site.Url("/fail")), EHttpError);
}

TEST_F(HttpTest, RefusedConnectionThrows) {
  const std::string url = "http://127.0.0.1:" + std::to_string(test::ClosedLoopbackPort()) + "/text";
  try {
    HttpGetText(url);
    FAIL() << "no error";
  } catch (const EHttpError& e) {
    EXPECT_NE(std::string(e.what()).find("onnect"), std::string::npos) << e.what();
  }
}

TEST_F(HttpTest, SilentServerTimesOut) {
  test::TSilentServer silent;
  THttpOptions options;
  options.ReadTimeoutMs = 200;
  int waits = 0;
  options.OnWait = [&] { ++waits; };
  const auto start = std::chrono::steady_clock::now();
  try {
    HttpGetText(silent.Url("/"), options);
    FAIL() << "no error";
  } catch (const EHttpError& e) {
    EXPECT_STREQ(e.what(), "Operation timed out: no data for 200 milliseconds");
  }
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, std::chrono::milliseconds(200));
  EXPECT_LT(elapsed, std::chrono::milliseconds(2500));
  EXPECT_GT(waits, 0);
}

// The wait hook can end a request (a window closing, say) and its error comes through.
TEST_F(HttpTest, WaitHookCanEndARequest) {
  test::TSilentServer silent;
  THttpOptions options;
  options.OnWait = [] { throw EVexaError("stopped by the user"); };
  try {
    HttpGetText(silent.Url("/"), options);
    FAIL() << "no error";
  } catch (const EVexaError& e) {
    EXPECT_STREQ(e.what(), "stopped by the user");
  }
}

TEST_F(HttpTest, GetToFileReplacesTheFileOnlyOnSuccess) {
  TTempDir dir;
  const auto file = dir / "page.txt";
  test::WriteBytes(file, "old content that is longer than the new one");
  HttpGetToFile(site.Url("/text"), file);
  EXPECT_EQ(test::ReadBytes(file), "plain body");
  EXPECT_THROW(HttpGetToFile(site.Url("/fail"), file), EHttpError);
  EXPECT_EQ(test::ReadBytes(file), "plain body");
  HttpGetToFile(site.Url("/gzip"), dir / "new.txt");
  EXPECT_EQ(test::ReadBytes(dir / "new.txt"), "packed body: gzip");
}

// The one-shot operations never use a proxy, not even one from the environment.
TEST_F(HttpTest, OneShotIgnoresProxyEnvironment) {
  TLoopbackServer<> proxy;
  test::TRequestLog seen;
  proxy.Server.Get(".*", [&](const httplib::Request& req, httplib::Response& res) {
    seen.Add(req.path);
    res.set_content("from the proxy", "text/plain");
  });
  proxy.Start();
  const char* saved = std::getenv("http_proxy");
  const std::string savedValue = saved != nullptr ? saved : "";
  setenv("http_proxy", proxy.Url().c_str(), 1);
  std::string body;
  EXPECT_NO_THROW(body = HttpGetText(site.Url("/text")));
  if (saved != nullptr)
    setenv("http_proxy", savedValue.c_str(), 1);
  else
    unsetenv("http_proxy");
  EXPECT_EQ(body, "plain body");
  EXPECT_TRUE(seen.Lines().empty());
}

TEST_F(HttpTest, MainClientGoesThroughItsProxy) {
  TLoopbackServer<> proxy;
  test::TRequestLog seen;
  proxy.Server.Get(".*", [&](const httplib::Request& req, httplib::Response& res) {
    seen.Add(req.path + " " + req.get_header_value("Proxy-Authorization"));
    res.set_content("via proxy", "text/plain");
  });
  proxy.Start();
  THttpClient client;
  client.Proxy = {"127.0.0.1", proxy.Port(), "user", "secret"};
  EXPECT_EQ(client.Get(site.Url("/text")), "via proxy");
  // Basic base64("user:secret")
  EXPECT_EQ(seen.Lines(), std::vector<std::string>{site.Url("/text") + " Basic dXNlcjpzZWNyZXQ="});
}

struct TUrlCase {
  const char* Url;
  bool Https;
  const char* Directory;
};

TEST(HttpHelpers, UrlsAndQueries) {
  const TUrlCase cases[] = {
      {"https://example.org/a/b.php?x=1", true, "https://example.org/a/"},
      {"HTTPS://EXAMPLE.ORG", true, "HTTPS://"},
      {"http://example.org/", false, "http://example.org/"},
      {"https:/x", false, "https:/"},
      {"file.txt", false, ""},
      {"", false, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsHttpsUrl(c.Url), c.Https) << c.Url;
    EXPECT_EQ(UrlDirectory(c.Url), c.Directory) << c.Url;
  }
  EXPECT_EQ(JoinQuery("a=1", "b=2"), "a=1&b=2");
  EXPECT_EQ(JoinQuery("", "b=2"), "b=2");
  EXPECT_EQ(JoinQuery("a=1", ""), "a=1");
  EXPECT_EQ(JoinQuery("", ""), "");
}

class HttpsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cert = test::MakeSelfSigned(dir.Path());
    server = std::make_unique<TLoopbackServer<httplib::SSLServer>>(cert.Cert.c_str(), cert.Key.c_str());
    server->Server.Get("/text", [](const httplib::Request&, httplib::Response& res) {
      res.set_content("secret body", "text/plain");
    });
    server->Start();
  }

  TTempDir dir;
  test::TSelfSigned cert;
  std::unique_ptr<TLoopbackServer<httplib::SSLServer>> server;
};

TEST_F(HttpsTest, SelfSignedCertificateRefusedByDefault) {
  try {
    HttpGetText(server->Url("/text"));
    FAIL() << "no error";
  } catch (const EHttpError& e) {
    EXPECT_NE(std::string(e.what()).find("certificate"), std::string::npos) << e.what();
  }
  THttpClient client;
  EXPECT_THROW(client.Get(server->Url("/text")), EHttpError);
}

TEST_F(HttpsTest, AcceptedWithItsCaOrWithoutChecking) {
  THttpOptions trusted;
  trusted.Tls.CaFile = cert.Cert;
  EXPECT_EQ(HttpGetText(server->Url("/text"), trusted), "secret body");
  THttpClient client;
  client.Options = trusted;
  EXPECT_EQ(client.Get(server->Url("/text")), "secret body");

  THttpOptions unchecked;
  unchecked.Tls.VerifyCertificates = false;
  EXPECT_EQ(HttpGetText(server->Url("/text"), unchecked), "secret body");
}

TEST_F(HttpsTest, UnreadableCaFileIsNamed) {
  THttpOptions options;
  options.Tls.CaFile = dir / "missing.pem";
  try {
    HttpGetText(server->Url("/text"), options);
    FAIL() << "no error";
  } catch (const EHttpError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot read the CA certificates from \"" + (dir / "missing.pem").string() + "\"");
  }
}

}  // namespace
}  // namespace vexa

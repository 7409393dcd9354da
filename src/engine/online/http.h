// HTTP and HTTPS requests through libcurl: the one-shot operations of the
// online services and the main client of the results download.
//
// Every request is synchronous, uses a fresh connection that is closed
// afterwards, keeps no cookies, follows redirects (the form post as the
// caller says), sends the browser-like profile below and decodes gzip and
// deflate bodies. Server certificates are verified against the system's
// trust store, plus the CA file of the options when one is named; checking
// can be switched off for a self-hosted server.
//
// Failures (no connection, time-out, an HTTP error status, TLS) throw
// EHttpError carrying the library's text. Only the main client goes through
// a proxy; the one-shot operations ignore proxy environment variables too.
// Thread-compatible: separate calls may run on separate threads.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"

namespace vexa {

class EHttpError : public EVexaError {
 public:
  explicit EHttpError(const std::string& message) : EVexaError(message) {}
};

inline constexpr const char* HttpUserAgent =
    "Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/47.0.2526.80 Safari/537.36";
inline constexpr const char* HttpAcceptEncoding = "gzip, deflate, sdch";
inline constexpr const char* OneShotAccept = "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8";
inline constexpr const char* MainClientAccept =
    "text/html,application/xhtml+xml,application/xml;q=0.9,image/webp,*/*;q=0.8";

inline constexpr int MainConnectTimeoutMs = 5000;
inline constexpr int MainReadTimeoutMs = 10000;

struct TTlsOptions {
  bool VerifyCertificates = true;
  // PEM certificates trusted in addition to the system's; empty: none.
  std::filesystem::path CaFile;
};

struct THttpOptions {
  // 0 leaves the library's default (connect) or waits for ever (read).
  int ConnectTimeoutMs = MainConnectTimeoutMs;
  // The longest pause without any data once connected.
  int ReadTimeoutMs = MainReadTimeoutMs;
  TTlsOptions Tls;
  // Called over and over while a request runs, so a window can process its
  // events; an exception thrown here ends the request and is passed on.
  std::function<void()> OnWait;
};

// The proxy of the main client; an empty server means a direct connection.
struct THttpProxy {
  std::string Server;
  int Port = 0;
  std::string Username;
  std::string Password;
  bool operator==(const THttpProxy&) const = default;
};

// ---- One-shot operations (never through a proxy) ---------------------------

// GET; the body replaces the whole file (created when missing). The file is
// written only after the whole body arrived, so a failure leaves it as it was.
void HttpGetToFile(const std::string& url, const std::filesystem::path& fileName, const THttpOptions& options = {});
// GET with redirects followed; the body as it came (8-bit text).
std::string HttpGetText(const std::string& url, const THttpOptions& options = {});
// POST of "name=value" fields as an HTML form (URL-encoded); the reply body.
std::string HttpPostForm(const std::string& url, const std::vector<std::string>& fields, bool followRedirects,
                         const THttpOptions& options = {});

// The form body of such fields: each name and value URL-encoded, joined by "&".
std::string EncodeFormFields(const std::vector<std::string>& fields);

// True when url begins with "https://", ignoring case.
bool IsHttpsUrl(std::string_view url);
// url up to and including its last "/" ("" when it has none).
std::string UrlDirectory(std::string_view url);
// a and b joined with "&"; if one is empty, the other.
std::string JoinQuery(std::string_view a, std::string_view b);

// ---- The main client ------------------------------------------------------------

// The results download's client: its own Accept header, TLS 1.2 or newer,
// the time-outs of the options and the proxy given to it.
class THttpClient {
 public:
  THttpOptions Options;
  THttpProxy Proxy;

  // GET with redirects followed; the body as it came.
  std::string Get(const std::string& url) const;
};

}  // namespace vexa

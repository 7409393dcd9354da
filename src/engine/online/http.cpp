#include "online/http.h"

#include <curl/curl.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <chrono>
#include <exception>
#include <memory>

#include "core/file_io.h"
#include "core/format.h"

namespace vexa {
namespace {

using TClock = std::chrono::steady_clock;

void GlobalInit() {
  static const CURLcode rc = curl_global_init(CURL_GLOBAL_DEFAULT);
  if (rc != CURLE_OK) throw EHttpError(curl_easy_strerror(rc));
}

struct TRequest {
  std::string Url;
  const char* Accept = OneShotAccept;
  const THttpOptions* Options = nullptr;
  const THttpProxy* Proxy = nullptr;  // nullptr: never a proxy
  bool FollowRedirects = true;
  bool Post = false;
  std::string PostBody;
};

// What the callbacks share during one transfer.
struct TTransfer {
  CURL* Curl = nullptr;
  std::string Body;
  int ReadTimeoutMs = 0;
  TClock::time_point LastActivity = TClock::now();
  curl_off_t Seen = -1;  // bytes moved at the last look
  bool TimedOut = false;
  std::string CaFile;
  bool CaFailed = false;
  const std::function<void()>* OnWait = nullptr;
  std::exception_ptr WaitError;
};

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  auto* t = static_cast<TTransfer*>(user);
  t->Body.append(data, size * count);
  t->LastActivity = TClock::now();
  return size * count;
}

// libcurl has no idle time-out of its own finer than a second; the progress
// callback measures the pause since the last byte once the connection stands.
int OnProgress(void* user, curl_off_t, curl_off_t downloaded, curl_off_t, curl_off_t uploaded) {
  auto* t = static_cast<TTransfer*>(user);
  if (*t->OnWait) {
    try {
      (*t->OnWait)();
    } catch (...) {
      t->WaitError = std::current_exception();
      return 1;
    }
  }
  if (t->ReadTimeoutMs <= 0) return 0;
  const auto now = TClock::now();
  curl_off_t connectUs = 0;
  curl_easy_getinfo(t->Curl, CURLINFO_CONNECT_TIME_T, &connectUs);
  if (connectUs == 0 || downloaded + uploaded != t->Seen) {
    t->Seen = downloaded + uploaded;
    t->LastActivity = now;
    return 0;
  }
  if (now - t->LastActivity >= std::chrono::milliseconds(t->ReadTimeoutMs)) {
    t->TimedOut = true;
    return 1;
  }
  return 0;
}

// Adds the configured CA file to the store already holding the system's certificates.
CURLcode OnSslContext(CURL*, void* sslContext, void* user) {
  auto* t = static_cast<TTransfer*>(user);
  X509_STORE* store = SSL_CTX_get_cert_store(static_cast<SSL_CTX*>(sslContext));
  if (store == nullptr || X509_STORE_load_file(store, t->CaFile.c_str()) != 1) {
    t->CaFailed = true;
    return CURLE_SSL_CACERT_BADFILE;
  }
  return CURLE_OK;
}

template <typename T>
void SetOpt(CURL* curl, CURLoption option, T value) {
  const CURLcode rc = curl_easy_setopt(curl, option, value);
  if (rc != CURLE_OK) throw EHttpError(curl_easy_strerror(rc));
}

std::string Perform(const TRequest& r) {
  GlobalInit();
  const THttpOptions defaults;
  const THttpOptions& options = r.Options != nullptr ? *r.Options : defaults;

  std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> handle(curl_easy_init(), curl_easy_cleanup);
  if (!handle) throw EHttpError("curl_easy_init failed");
  CURL* curl = handle.get();

  std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> headers(nullptr, curl_slist_free_all);
  for (const std::string& h : {std::string("Accept: ") + r.Accept, std::string("Expect:")}) {
    curl_slist* list = curl_slist_append(headers.get(), h.c_str());
    if (list == nullptr) throw EHttpError("curl_slist_append failed");
    headers.release();
    headers.reset(list);
  }

  TTransfer t;
  t.Curl = curl;
  t.ReadTimeoutMs = options.ReadTimeoutMs;
  t.OnWait = &options.OnWait;
  char errorText[CURL_ERROR_SIZE] = {};

  SetOpt(curl, CURLOPT_URL, r.Url.c_str());
  SetOpt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  SetOpt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  SetOpt(curl, CURLOPT_HTTPHEADER, headers.get());
  SetOpt(curl, CURLOPT_USERAGENT, HttpUserAgent);
  SetOpt(curl, CURLOPT_ACCEPT_ENCODING, HttpAcceptEncoding);
  SetOpt(curl, CURLOPT_FOLLOWLOCATION, r.FollowRedirects ? 1L : 0L);
  SetOpt(curl, CURLOPT_MAXREDIRS, 20L);
  SetOpt(curl, CURLOPT_FAILONERROR, 1L);
  SetOpt(curl, CURLOPT_FORBID_REUSE, 1L);
  SetOpt(curl, CURLOPT_NOSIGNAL, 1L);
  SetOpt(curl, CURLOPT_ERRORBUFFER, errorText);
  SetOpt(curl, CURLOPT_WRITEFUNCTION, OnBody);
  SetOpt(curl, CURLOPT_WRITEDATA, &t);
  SetOpt(curl, CURLOPT_XFERINFOFUNCTION, OnProgress);
  SetOpt(curl, CURLOPT_XFERINFODATA, &t);
  SetOpt(curl, CURLOPT_NOPROGRESS, 0L);
  if (options.ConnectTimeoutMs > 0) SetOpt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options.ConnectTimeoutMs));

  // TLS 1.0 and 1.1 are broken and refused by current servers; 1.2 is the floor.
  SetOpt(curl, CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_TLSv1_2));
  SetOpt(curl, CURLOPT_SSL_VERIFYPEER, options.Tls.VerifyCertificates ? 1L : 0L);
  SetOpt(curl, CURLOPT_SSL_VERIFYHOST, options.Tls.VerifyCertificates ? 2L : 0L);
  if (options.Tls.VerifyCertificates && !options.Tls.CaFile.empty()) {
    t.CaFile = options.Tls.CaFile.string();
    // The callback changes the certificate store; a cached store would keep the change.
    SetOpt(curl, CURLOPT_CA_CACHE_TIMEOUT, 0L);
    SetOpt(curl, CURLOPT_SSL_CTX_FUNCTION, OnSslContext);
    SetOpt(curl, CURLOPT_SSL_CTX_DATA, &t);
  }

  // An empty proxy also keeps the proxy environment variables out.
  const bool viaProxy = r.Proxy != nullptr && !r.Proxy->Server.empty();
  SetOpt(curl, CURLOPT_PROXY, viaProxy ? r.Proxy->Server.c_str() : "");
  if (viaProxy) {
    SetOpt(curl, CURLOPT_PROXYPORT, static_cast<long>(r.Proxy->Port));
    if (!r.Proxy->Username.empty()) {
      SetOpt(curl, CURLOPT_PROXYUSERNAME, r.Proxy->Username.c_str());
      SetOpt(curl, CURLOPT_PROXYPASSWORD, r.Proxy->Password.c_str());
    }
  }

  if (r.Post) {
    SetOpt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(r.PostBody.size()));
    SetOpt(curl, CURLOPT_COPYPOSTFIELDS, r.PostBody.c_str());
  }

  const CURLcode rc = curl_easy_perform(curl);
  if (rc == CURLE_OK) return std::move(t.Body);
  if (t.WaitError) std::rethrow_exception(t.WaitError);
  if (t.TimedOut)
    throw EHttpError(Format("Operation timed out: no data for %d milliseconds", {options.ReadTimeoutMs}));
  if (t.CaFailed)
    throw EHttpError(Format("Cannot read the CA certificates from \"%s\"", {t.CaFile}));
  throw EHttpError(errorText[0] != '\0' ? std::string(errorText) : std::string(curl_easy_strerror(rc)));
}

bool FormSafe(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_' || c == '~';
}

void AppendFormEncoded(std::string& out, std::string_view text) {
  static const char* const Hex = "0123456789ABCDEF";
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (FormSafe(c)) {
      out += ch;
    } else if (c == ' ') {
      out += '+';
    } else {
      out += '%';
      out += Hex[c >> 4];
      out += Hex[c & 15];
    }
  }
}

}  // namespace

void HttpGetToFile(const std::string& url, const std::filesystem::path& fileName, const THttpOptions& options) {
  TRequest r;
  r.Url = url;
  r.Options = &options;
  WriteFileAtomic(fileName, Perform(r));
}

std::string HttpGetText(const std::string& url, const THttpOptions& options) {
  TRequest r;
  r.Url = url;
  r.Options = &options;
  return Perform(r);
}

std::string EncodeFormFields(const std::vector<std::string>& fields) {
  std::string body;
  for (const std::string& field : fields) {
    if (!body.empty()) body += '&';
    const size_t eq = field.find('=');
    AppendFormEncoded(body, std::string_view(field).substr(0, eq));
    if (eq != std::string::npos) {
      body += '=';
      AppendFormEncoded(body, std::string_view(field).substr(eq + 1));
    }
  }
  return body;
}

std::string HttpPostForm(const std::string& url, const std::vector<std::string>& fields, bool followRedirects,
                         const THttpOptions& options) {
  TRequest r;
  r.Url = url;
  r.Options = &options;
  r.FollowRedirects = followRedirects;
  r.Post = true;
  r.PostBody = EncodeFormFields(fields);
  return Perform(r);
}

bool IsHttpsUrl(std::string_view url) {
  constexpr std::string_view prefix = "https://";
  if (url.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char c = url[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

std::string UrlDirectory(std::string_view url) {
  const size_t slash = url.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(url.substr(0, slash + 1));
}

std::string JoinQuery(std::string_view a, std::string_view b) {
  if (a.empty()) return std::string(b);
  if (b.empty()) return std::string(a);
  return std::string(a) + "&" + std::string(b);
}

std::string THttpClient::Get(const std::string& url) const {
  TRequest r;
  r.Url = url;
  r.Accept = MainClientAccept;
  r.Options = &Options;
  r.Proxy = &Proxy;
  return Perform(r);
}

}  // namespace vexa

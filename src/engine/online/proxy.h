// The proxy of the results download: the three modes, the automatic choice
// from a proxy-list service, and the main client that goes through it.
//
// TMainConnection works on the caller's TProxy record (the workspace's), so
// what it chooses or drops is what the rest of the program sees. The
// candidate list of the automatic mode lives from the first choice of a
// download run until DiscardCandidates at its end.
//
// Proxy-list service (automatic mode). Request:
//   <base>?protocol=http&protocol=https&anonlvl=1&country=DE&min_uptime=75
//          &max_response_time=0&offset=15
// (only the keys that apply, in this order; no query: the bare base).
// Reply: an HTML page with a table, 15 rows a page; every <tr> of the first
// <tbody> (of the whole page when there is none) that has at least two <td>
// cells is a row, the first cell holding the host and the second the port
// (tags inside a cell are ignored, blanks around it trimmed). A row whose
// port is not a number 1..65535 counts for the paging but gives no entry.
// Fetching stops when enough entries were collected or a page had fewer
// than 15 rows.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings.h"
#include "core/user_interface.h"
#include "online/http.h"

namespace vexa {

inline constexpr const char* DownloadWaitText = "Загрузка архива тиражей...";
inline constexpr int ProxyListPageRows = 15;
// A service that never ends its list (or whose rows never match) stops here.
inline constexpr int ProxyListMaxPages = 100;

inline constexpr int ProxyProtocolHttp = 1;
inline constexpr int ProxyProtocolHttps = 2;
inline constexpr int ProxyProtocolSocks4 = 4;
inline constexpr int ProxyProtocolSocks5 = 8;

struct TProxyListQuery {
  int Protocols = 0;       // ProxyProtocol* bits
  int Anonymity = 0;       // bits 1, 2, 4, 8 for levels 1 to 4
  int Count = 0;           // wanted entries
  int ResponseTime = 0;    // limit in milliseconds, 0 none
  int MinUptime = 0;       // 0 none
  int Port = 0;            // required port, 0 any
  std::string Countries;   // codes separated by "," or ";"
};

// The query of one page (page 1, 2, ...), without the "?".
std::string ProxyListQueryText(const TProxyListQuery& query, int page);
// Appends "host:port" for every row whose port is requiredPort (any when 0);
// returns the number of rows found on the page.
int ReadProxyListPage(std::string_view html, int requiredPort, std::vector<std::string>& list);
// Clears the list and fills it page by page. An empty base address gives an
// empty list without a request. HTTP failures throw EHttpError.
void FetchProxyList(const std::string& baseUrl, const TProxyListQuery& query, std::vector<std::string>& list,
                    const THttpOptions& options = {});

// The proxy dialog's OK: mode 2 manual, 0 off, anything else automatic,
// which starts without a server (port 0).
TProxy ProxyFromDialog(int mode, std::string server, int port, std::string username, std::string password);

class TMainConnection {
 public:
  TMainConnection(TProxy& proxy, std::filesystem::path settingsFile, TUserInterface& ui)
      : Proxy_(proxy), SettingsFile_(std::move(settingsFile)), Ui_(ui) {}

  // Time-outs of the main profile; TLS from the settings.
  THttpClient Client;
  // The proxy-list service; empty: the automatic mode finds no proxy.
  std::string ProxyListUrl;
  // Kept by the download loop: 1 at the start of a run, +1 after each failed request.
  int Attempt = 1;
  // The wait window of the download; an empty text closes it.
  std::function<void(const std::string&)> OnWaitText;

  const TProxy& Proxy() const { return Proxy_; }
  bool ProxyChanged() const { return Changed_; }
  const std::vector<std::string>& Candidates() const { return Candidates_; }

  // Writes the five PROXY keys and clears the changed flag. A failure is
  // shown as "Ошибка записи в файл конфигурации!..." and gives false.
  bool SaveProxySettings(bool showProgress);
  // The dialog's OK (values as ProxyFromDialog makes them), then the save.
  bool EditProxy(const TProxy& values);

  // Gives the client the proxy of the mode, choosing one in automatic mode
  // when none is set. False when that choice failed; PrepareError() then
  // holds the message.
  bool PrepareProxy(const std::string& targetUrl);
  const std::string& PrepareError() const { return PrepareError_; }
  // After a failed request in automatic mode: forgets the proxy in use and
  // its candidate; true when another candidate is left. Other modes: false.
  bool DropCurrentProxy();
  // Stores an automatically chosen proxy after a successful step.
  void SaveProxyIfChanged();
  void DiscardCandidates() { Candidates_.clear(); }

  // PrepareProxy, then GET through the client. utf8: the body is UTF-8
  // (kept as it is); otherwise code page 1251, converted. When no proxy
  // could be chosen, throws EVexaError with that message and sends nothing.
  std::string MainGet(const std::string& url, bool utf8 = true);

  void ShowWait(const std::string& text) {
    if (OnWaitText) OnWaitText(text);
  }

 private:
  bool ChooseProxy(const std::string& targetUrl);

  TProxy& Proxy_;
  std::filesystem::path SettingsFile_;
  TUserInterface& Ui_;
  bool Changed_ = false;
  std::vector<std::string> Candidates_;
  std::string PrepareError_;
};

}  // namespace vexa

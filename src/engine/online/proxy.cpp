#include "online/proxy.h"

#include <algorithm>

#include "core/codec.h"
#include "core/error.h"
#include "core/format.h"
#include "core/game.h"

namespace vexa {
namespace {

// The page with Latin letters in lower case: same positions, tags found in any case.
std::string LowerAscii(std::string_view text) {
  std::string s(text);
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

// The text of an HTML fragment: tags dropped, blanks at both ends trimmed.
std::string CellText(std::string_view html) {
  std::string text;
  bool inTag = false;
  for (const char c : html) {
    if (c == '<')
      inTag = true;
    else if (c == '>')
      inTag = false;
    else if (!inTag)
      text += c;
  }
  return std::string(Trim(text));
}

// Start of the next "<name" tag (followed by '>' or a blank) at or after from.
// html is in lower case.
size_t FindTag(std::string_view html, std::string_view name, size_t from) {
  const std::string open = "<" + std::string(name);
  for (size_t p = html.find(open, from); p != std::string_view::npos; p = html.find(open, p + 1)) {
    const size_t after = p + open.size();
    if (after < html.size() && (html[after] == '>' || static_cast<unsigned char>(html[after]) <= ' ')) return p;
  }
  return std::string_view::npos;
}

// The contents of every <td> of one row; lower is the row in lower case.
std::vector<std::string> RowCells(std::string_view row, std::string_view lower) {
  std::vector<std::string> cells;
  for (size_t p = FindTag(lower, "td", 0); p != std::string_view::npos;) {
    const size_t open = row.find('>', p);
    if (open == std::string_view::npos) break;
    const size_t next = FindTag(lower, "td", open + 1);
    size_t close = lower.find("</td", open + 1);
    if (close == std::string_view::npos || close > next) close = next;
    cells.push_back(CellText(row.substr(open + 1, close == std::string_view::npos ? std::string_view::npos : close - open - 1)));
    p = next;
  }
  return cells;
}

}  // namespace

std::string ProxyListQueryText(const TProxyListQuery& query, int page) {
  static const char* const Protocols[] = {"http", "https", "socks4", "socks5"};
  std::string q;
  for (int i = 0; i < 4; ++i)
    if ((query.Protocols & (1 << i)) != 0) q = JoinQuery(q, Format("protocol=%s", {Protocols[i]}));
  for (int i = 0; i < 4; ++i)
    if ((query.Anonymity & (1 << i)) != 0) q = JoinQuery(q, Format("anonlvl=%d", {i + 1}));
  std::string_view countries = query.Countries;
  while (!countries.empty()) {
    const size_t sep = countries.find_first_of(",;");
    const std::string_view code = Trim(countries.substr(0, sep));
    if (!code.empty()) q = JoinQuery(q, Format("country=%s", {code}));
    countries = sep == std::string_view::npos ? std::string_view() : countries.substr(sep + 1);
  }
  if (query.MinUptime > 0) q = JoinQuery(q, Format("min_uptime=%d", {query.MinUptime}));
  if (query.ResponseTime > 0) q = JoinQuery(q, Format("max_response_time=%d", {query.ResponseTime / 1000}));
  if (page > 1) q = JoinQuery(q, Format("offset=%d", {ProxyListPageRows * (page - 1)}));
  return q;
}

int ReadProxyListPage(std::string_view html, int requiredPort, std::vector<std::string>& list) {
  const std::string lowerHtml = LowerAscii(html);
  size_t from = 0;
  size_t to = html.size();
  const size_t tbody = FindTag(lowerHtml, "tbody", 0);
  if (tbody != std::string::npos) {
    from = tbody;
    to = std::min(lowerHtml.find("</tbody", tbody), html.size());
  }
  const std::string_view body = html.substr(from, to - from);
  const std::string_view lowerBody = std::string_view(lowerHtml).substr(from, to - from);
  int rows = 0;
  for (size_t p = FindTag(lowerBody, "tr", 0); p != std::string_view::npos;) {
    const size_t next = FindTag(lowerBody, "tr", p + 1);
    const size_t end = std::min({next, body.size(), lowerBody.find("</tr", p)});
    const std::vector<std::string> cells = RowCells(body.substr(p, end - p), lowerBody.substr(p, end - p));
    p = next;
    if (cells.size() < 2) continue;
    ++rows;
    int32_t port = 0;
    if (cells[0].empty() || !TryStrToInt(cells[1], port) || port < 1 || port > 65535) continue;
    if (requiredPort == 0 || requiredPort == port) list.push_back(Format("%s:%d", {cells[0], port}));
  }
  return rows;
}

void FetchProxyList(const std::string& baseUrl, const TProxyListQuery& query, std::vector<std::string>& list,
                    const THttpOptions& options) {
  list.clear();
  if (baseUrl.empty()) return;
  const char joint = baseUrl.find('?') == std::string::npos ? '?' : '&';
  for (int page = 1; page <= ProxyListMaxPages; ++page) {
    const std::string q = ProxyListQueryText(query, page);
    const std::string html = HttpGetText(q.empty() ? baseUrl : baseUrl + joint + q, options);
    const int rows = ReadProxyListPage(html, query.Port, list);
    if (static_cast<int>(list.size()) >= query.Count || rows < ProxyListPageRows) break;
  }
}

TProxy ProxyFromDialog(int mode, std::string server, int port, std::string username, std::string password) {
  TProxy p;
  p.Mode = mode == ProxyModeManual ? ProxyModeManual : mode == ProxyModeNone ? ProxyModeNone : ProxyModeAuto;
  if (p.Mode == ProxyModeAuto) {
    p.Port = 0;
    return p;
  }
  p.Server = std::move(server);
  p.Port = port;
  p.Username = std::move(username);
  p.Password = std::move(password);
  return p;
}

bool TMainConnection::SaveProxySettings(bool showProgress) {
  if (showProgress) Ui_.SetStatus(ConfigSavingStatus);
  try {
    WriteProxy(SettingsFile_, Proxy_);
  } catch (const EVexaError& e) {
    Ui_.Message(TMessageKind::Error, e.what());
    return false;
  }
  Changed_ = false;
  return true;
}

bool TMainConnection::EditProxy(const TProxy& values) {
  Proxy_ = ProxyFromDialog(values.Mode, values.Server, values.Port, values.Username, values.Password);
  Changed_ = false;
  return SaveProxySettings(true);
}

bool TMainConnection::ChooseProxy(const std::string& targetUrl) {
  if (Candidates_.empty()) {
    ShowWait(Format("%s\r\r%s", {DownloadWaitText, "Поиск proxy-серверов"}));
    try {
      TProxyListQuery query;
      query.Protocols = IsHttpsUrl(targetUrl) ? ProxyProtocolHttps : ProxyProtocolHttp | ProxyProtocolHttps;
      query.Count = 30;
      query.ResponseTime = 10;
      query.MinUptime = 75;
      FetchProxyList(ProxyListUrl, query, Candidates_, Client.Options);
      if (Candidates_.empty()) throw EVexaError("Не найдено ни одного proxy-сервера с заданными параметрами");
    } catch (const std::exception& e) {
      Candidates_.clear();
      PrepareError_ = Format("Ошибка получения списка proxy-серверов!\r\r%s", {std::string(e.what())});
      return false;
    }
  }
  try {
    const std::string& first = Candidates_.front();
    const size_t colon = first.find(':');
    int32_t port = 0;
    if (colon == std::string::npos || !TryStrToInt(std::string_view(first).substr(colon + 1), port))
      throw EVexaError(Format("Некорректный адрес proxy-сервера: \"%s\"", {first}));
    Proxy_.Server = std::string(Trim(std::string_view(first).substr(0, colon)));
    Proxy_.Port = port;
    Proxy_.Username.clear();
    Proxy_.Password.clear();
    Changed_ = true;
  } catch (const std::exception& e) {
    PrepareError_ = Format("Ошибка автоматического выбора proxy сервера!\r\r%s", {std::string(e.what())});
    return false;
  }
  return true;
}

bool TMainConnection::PrepareProxy(const std::string& targetUrl) {
  PrepareError_.clear();
  const int mode = Proxy_.Mode;
  if (mode == ProxyModeAuto && Proxy_.Server.empty() && !ChooseProxy(targetUrl)) return false;
  if (mode == ProxyModeAuto || mode == ProxyModeManual)
    Client.Proxy = {Proxy_.Server, Proxy_.Port, Proxy_.Username, Proxy_.Password};
  else
    Client.Proxy = {};
  if ((mode == ProxyModeAuto || mode == ProxyModeManual) && !Proxy_.Server.empty())
    ShowWait(Format("%s\r\r%s", {DownloadWaitText, Format("Попытка %d, proxy %s : %d", {Attempt, Proxy_.Server, Proxy_.Port})}));
  else
    ShowWait(DownloadWaitText);
  return true;
}

bool TMainConnection::DropCurrentProxy() {
  if (Proxy_.Mode != ProxyModeAuto) return false;
  Proxy_.Server.clear();
  Proxy_.Port = 0;
  Proxy_.Username.clear();
  Proxy_.Password.clear();
  Changed_ = false;
  if (!Candidates_.empty()) Candidates_.erase(Candidates_.begin());
  return !Candidates_.empty();
}

void TMainConnection::SaveProxyIfChanged() {
  if (Changed_) SaveProxySettings(false);
}

std::string TMainConnection::MainGet(const std::string& url, bool utf8) {
  if (!PrepareProxy(url)) throw EVexaError(PrepareError_);
  std::string body = Client.Get(url);
  return utf8 ? body : Cp1251ToUtf8(body);
}

}  // namespace vexa

// Month pages of the results site as the download reads them, and a
// loopback site serving them.
#pragma once

#include <array>
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "support/loopback_server.h"

namespace vexa::test {

struct TPageDraw {
  std::string Number;  // as the page writes it, e.g. "4600" or "\"4600\""
  std::string Date;    // yyyy-mm-dd
  std::array<int, 6> Nums{};
  std::array<int, 2> Supp{};
};

inline std::string PageDrawJson(const TPageDraw& d) {
  std::string s = "{\"drawNo\":" + d.Number + ",\"drawDate\":\"" + d.Date +
                  "T00:00:00+11:00\",\"drawDay\":\"Saturday\",\"numberSets\":[{\"name\":\"Main numbers\",\"numbers\":[";
  for (size_t i = 0; i < d.Nums.size(); ++i)
    s += (i ? "," : "") + std::string("{\"number\":") + std::to_string(d.Nums[i]) + ",\"bonus\":false}";
  s += "]},{\"name\":\"Supplementary\",\"numbers\":[";
  for (size_t i = 0; i < d.Supp.size(); ++i)
    s += (i ? "," : "") + std::string("{\"number\":") + std::to_string(d.Supp[i]) + ",\"bonus\":true}";
  s += "]}],\"divisions\":[{\"division\":1,\"winners\":0,\"prize\":\"0.00\"}]}";
  return s;
}

// A page listing the draws in the given order (the site puts the newest first).
inline std::string MonthPage(const std::vector<TPageDraw>& draws) {
  std::string s =
      "<!DOCTYPE html><html><head><title>Results</title><script>window.__STATE__ = "
      "{\"page\":{\"results\":{\"drawsPast\":[";
  for (size_t i = 0; i < draws.size(); ++i) s += (i ? "," : "") + PageDrawJson(draws[i]);
  s += "]}},\"footer\":{\"links\":[]}};</script></head><body><h1>Results</h1></body></html>";
  return s;
}

// Serves /korvane/results/<name>: the page set for that name, a page
// without draws for any other month, or a 500 reply for a name set to fail
// (Fail counts down the failing replies, -1 for ever).
class TResultsSite {
 public:
  TResultsSite() {
    Http.Server.Get(R"(/korvane/results/([a-z0-9-]+))", [this](const httplib::Request& req, httplib::Response& res) {
      const std::string name = req.matches[1];
      Log.Add(name);
      std::lock_guard<std::mutex> lock(Mutex_);
      auto f = Fail_.find(name);
      if (f != Fail_.end() && f->second != 0) {
        if (f->second > 0) --f->second;
        res.status = 500;
        res.set_content("server error", "text/plain");
        return;
      }
      auto p = Pages_.find(name);
      res.set_content(p != Pages_.end() ? p->second : MonthPage({}), "text/html; charset=utf-8");
    });
    Http.Start();
  }

  void SetPage(const std::string& name, std::string page) {
    std::lock_guard<std::mutex> lock(Mutex_);
    Pages_[name] = std::move(page);
  }
  void SetFailing(const std::string& name, int times) {
    std::lock_guard<std::mutex> lock(Mutex_);
    Fail_[name] = times;
  }
  std::string Url(std::string_view path = "") const { return Http.Url(path); }

  TLoopbackServer<> Http;
  TRequestLog Log;

 private:
  std::mutex Mutex_;
  std::map<std::string, std::string> Pages_;
  std::map<std::string, int> Fail_;
};

}  // namespace vexa::test

// A plain loopback service for the client tests: it records every post
// (path and form body, in order) and answers each path with the reply the
// test has set for it.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "core/codec.h"
#include "core/error.h"
#include "online/http.h"
#include "online/online_settings.h"
#include "support/loopback_server.h"
#include "support/temp_dir.h"

namespace vexa::test {

class TFakeService {
 public:
  struct TPost {
    std::string Path;
    std::string Body;
  };

  TFakeService() {
    server_.Server.Post(R"(/scripts/.*)", [this](const httplib::Request& req, httplib::Response& res) {
      std::lock_guard<std::mutex> lock(mutex_);
      posts_.push_back({req.path, req.body});
      auto it = replies_.find(req.path);
      res.set_content(it == replies_.end() ? std::string() : it->second, "text/html");
    });
    server_.Start();
  }

  std::string Url() const { return server_.Url(); }
  void Reply(const std::string& path, const std::string& body) {
    std::lock_guard<std::mutex> lock(mutex_);
    replies_[path] = body;
  }
  std::vector<TPost> Posts() {
    std::lock_guard<std::mutex> lock(mutex_);
    return posts_;
  }
  void ClearPosts() {
    std::lock_guard<std::mutex> lock(mutex_);
    posts_.clear();
  }
  std::vector<TPost> PostsTo(const std::string& path) {
    std::vector<TPost> found;
    for (const TPost& p : Posts())
      if (p.Path == path) found.push_back(p);
    return found;
  }

 private:
  TLoopbackServer<> server_;
  std::mutex mutex_;
  std::vector<TPost> posts_;
  std::map<std::string, std::string> replies_;
};

// The form body the client must send for these fields, in this order.
inline std::string FormOf(const std::vector<std::string>& fields) { return EncodeFormFields(fields); }

// A settings file whose section Online points both services at `url`.
inline void WriteOnlineIni(const TTempDir& dir, const std::string& url, const std::string& name,
                           const std::string& mail) {
  WriteBytes(dir / "Korvane_6x45.ini", Utf8ToCp1251("[Online]\r\nCatalogueUrl=" + url + "\r\nLibraryUrl=" + url +
                                           "\r\nUserName=" + name + "\r\nUserMail=" + mail + "\r\n"));
}

}  // namespace vexa::test

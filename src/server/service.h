// The HTTP face of the catalogue and the library: the nine form-post paths
// under /scripts/, each answered with "<result><row>…</row></result>" in the
// wire form the clients read. A refusal is a row "<error>text</error>";
// nothing a client sends makes the service fail.
#pragma once

#include <httplib.h>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "server/form.h"
#include "server/rate_limiter.h"
#include "server/store.h"

namespace vexa::server {

struct TServiceOptions {
  int64_t WriteRatePerMinute = 60;  // per address; 0 = no limit
  size_t MaxBodyBytes = 8 * 1024 * 1024;
  // Program names for application ids (appid is an opaque identifier).
  std::map<std::string, std::string> AppNames;
  // Rendered lists are kept until the next change (off for measuring).
  bool CacheLists = true;
};

class TService {
 public:
  TService(TStore& store, const TServiceOptions& options);
  // Registers the paths, the body limit and the error replies.
  void Install(httplib::Server& server);

  // One reply per path; exposed for the handlers only.
  std::string SysGetList(const TForm& req);
  std::string SysGetData(const TForm& req);
  std::string SysPutData(const TForm& req);
  std::string ScrGetList(const TForm& req);
  std::string ScrGetData(const TForm& req);
  std::string ScrSetRate(const TForm& req);
  std::string ScrChkTitle(const TForm& req);
  std::string ScrPutScript(const TForm& req);
  std::string ScrGetRates(const TForm& req);

 private:
  void CheckWriteRate(const TForm& req);

  TStore& Store_;
  TServiceOptions Options_;
  TWriteLimiter Limiter_;
  // The rendered catalogue list, valid while the store's generation matches.
  std::mutex ListCacheMutex_;
  int64_t ListCacheGeneration_ = -1;
  std::shared_ptr<const std::string> ListCache_;
  // Rendered script lists by (caller's list key, filter).
  struct TCachedList {
    int64_t Generation = -1;
    std::shared_ptr<const std::string> Text;
  };
  std::mutex ScriptCacheMutex_;
  std::map<std::pair<std::string, int>, TCachedList> ScriptCache_;
};

// Keeps big reply buffers in the heap: list replies of several hundred KiB
// would otherwise be fresh mmap pages, faulted in and unmapped every time.
void TuneAllocatorForReplies();

// "yyyy-mm-dd hh:mm:ss" in UTC for seconds since the epoch; "" for 0.
std::string ServiceTimeText(int64_t seconds);

}  // namespace vexa::server

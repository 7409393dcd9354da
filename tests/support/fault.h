// Makes file writes of this process fail past `bytes`, like a full disk,
// for as long as the object lives. Works for root too, unlike permissions.
#pragma once

#include <sys/resource.h>

#include <csignal>

namespace vexa::test {

class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &Saved_);
    OldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = Saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~TFileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &Saved_);
    std::signal(SIGXFSZ, OldHandler_);
  }
  TFileSizeLimit(const TFileSizeLimit&) = delete;
  TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

 private:
  rlimit Saved_{};
  void (*OldHandler_)(int) = nullptr;
};

}  // namespace vexa::test

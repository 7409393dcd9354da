// Per-address limit on write requests: a token bucket of `perMinute` tokens
// refilled evenly over a minute. 0 switches the limit off. Thread-safe.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

namespace vexa::server {

class TWriteLimiter {
 public:
  using TClock = std::chrono::steady_clock;
  explicit TWriteLimiter(int64_t perMinute) : PerMinute_(perMinute) {}
  // Takes one token for the address; false when none is left.
  bool Allow(const std::string& address, TClock::time_point now = TClock::now());

 private:
  struct TBucket {
    double Tokens = 0;
    TClock::time_point Last;
  };
  int64_t PerMinute_;
  std::mutex Mutex_;
  std::unordered_map<std::string, TBucket> Buckets_;
};

}  // namespace vexa::server

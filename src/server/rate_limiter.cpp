#include "server/rate_limiter.h"

#include <algorithm>

namespace vexa::server {

bool TWriteLimiter::Allow(const std::string& address, TClock::time_point now) {
  if (PerMinute_ <= 0) return true;
  const double capacity = static_cast<double>(PerMinute_);
  std::lock_guard<std::mutex> lock(Mutex_);
  // Full buckets carry no information; dropping them keeps the map small
  // when many addresses pass by.
  if (Buckets_.size() > 10000) {
    for (auto it = Buckets_.begin(); it != Buckets_.end();) {
      const double seconds = std::chrono::duration<double>(now - it->second.Last).count();
      it = it->second.Tokens + seconds * capacity / 60 >= capacity ? Buckets_.erase(it) : std::next(it);
    }
  }
  auto [it, fresh] = Buckets_.try_emplace(address, TBucket{capacity, now});
  TBucket& b = it->second;
  if (!fresh) {
    const double seconds = std::chrono::duration<double>(now - b.Last).count();
    b.Tokens = std::min(capacity, b.Tokens + std::max(0.0, seconds) * capacity / 60);
    b.Last = now;
  }
  if (b.Tokens < 1) return false;
  b.Tokens -= 1;
  return true;
}

}  // namespace vexa::server

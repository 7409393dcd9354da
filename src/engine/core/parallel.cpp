#include "core/parallel.h"

#include <algorithm>

namespace vexa {

int WorkerThreads(int requested) {
  if (requested <= 0) requested = static_cast<int>(std::thread::hardware_concurrency());
  return std::clamp(requested, 1, MaxWorkerThreads);
}

}  // namespace vexa

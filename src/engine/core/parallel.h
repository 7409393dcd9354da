// The one way the engine runs work on several threads: a fixed number of
// workers, worker 0 on the calling thread, all joined before the call
// returns. Used by the combinations walk, the full-set count and the
// script bit lists.
#pragma once

#include <exception>
#include <system_error>
#include <thread>
#include <vector>

namespace vexa {

inline constexpr int MaxWorkerThreads = 16;

// `requested` threads, or one per core when it is 0 or less; 1..MaxWorkerThreads.
int WorkerThreads(int requested);

// Runs body(t) for t = 0 .. threads - 1: t = 0 on the calling thread, the
// others each on a thread of its own. When no thread can be had, that
// worker runs on the calling thread before worker 0 (the same result, only
// slower: a body must not wait for another worker). Returns once every
// worker is done; then the error of the lowest worker that threw passes on.
template <typename Body>
void RunWorkers(int threads, const Body& body) {
  if (threads < 1) threads = 1;
  std::vector<std::exception_ptr> errors(static_cast<size_t>(threads));
  auto run = [&](int t) {
    try {
      body(t);
    } catch (...) {
      errors[static_cast<size_t>(t)] = std::current_exception();
    }
  };
  std::vector<std::thread> helpers;
  helpers.reserve(static_cast<size_t>(threads - 1));
  for (int t = 1; t < threads; ++t) {
    try {
      helpers.emplace_back(run, t);
    } catch (const std::system_error&) {
      run(t);
    }
  }
  run(0);
  for (auto& h : helpers) h.join();
  for (const auto& e : errors)
    if (e) std::rethrow_exception(e);
}

}  // namespace vexa

#include "core/parallel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

namespace vexa {
namespace {

TEST(Parallel, WorkerThreadsStayInRange) {
  EXPECT_EQ(WorkerThreads(1), 1);
  EXPECT_EQ(WorkerThreads(3), 3);
  EXPECT_EQ(WorkerThreads(1000), MaxWorkerThreads);
  EXPECT_GE(WorkerThreads(0), 1);
  EXPECT_EQ(WorkerThreads(0), WorkerThreads(-5));
}

TEST(Parallel, EveryWorkerRunsOnceAndWorkerZeroOnTheCaller) {
  for (int threads : {1, 2, 5}) {
    std::vector<std::atomic<int>> runs(static_cast<size_t>(threads));
    std::thread::id zero;
    RunWorkers(threads, [&](int t) {
      ++runs[static_cast<size_t>(t)];
      if (t == 0) zero = std::this_thread::get_id();
    });
    for (const auto& r : runs) EXPECT_EQ(r.load(), 1) << threads;
    EXPECT_EQ(zero, std::this_thread::get_id());
  }
}

TEST(Parallel, TheLowestFailingWorkerIsReportedAfterAllFinished) {
  std::atomic<int> finished{0};
  try {
    RunWorkers(4, [&](int t) {
      ++finished;
      if (t == 2) throw std::runtime_error("two");
      if (t == 3) throw std::logic_error("three");
    });
    FAIL() << "no error passed on";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "two");
  }
  EXPECT_EQ(finished.load(), 4);
}

}  // namespace
}  // namespace vexa

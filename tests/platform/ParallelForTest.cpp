#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/ParallelFor.h"

TEST(ParallelFor, EveryIndexRunsOnceWhateverTheThreads) {
  for (size_t threads : {1, 2, 4, 16}) {
    for (size_t count : {0, 1, 3, 1000}) {
      std::vector<std::atomic<int>> runs(count);
      platform::parallelFor(count, threads, [&](size_t i) { ++runs[i]; });
      for (size_t i = 0; i < count; ++i) ASSERT_EQ(runs[i].load(), 1) << threads << " threads, index " << i;
    }
  }
  EXPECT_GE(platform::usefulThreads(0, 4), 1u);
  EXPECT_LE(platform::usefulThreads(100, 4), 4u);
  EXPECT_EQ(platform::usefulThreads(1, 4), 1u);
}

TEST(ParallelFor, AFailureStopsWhatHasNotStartedAndIsThrownOnce) {
  // Alone, the failing thread starts nothing after the piece that failed.
  std::atomic<int> started{0};
  auto failAtThree = [&](size_t i) {
    ++started;
    if (i == 3) throw std::runtime_error("piece 3");
  };
  EXPECT_THROW(platform::parallelFor(10000, 1, failAtThree), std::runtime_error);
  EXPECT_EQ(started.load(), 4);

  // With a second thread, that one stops too; the pieces take a little time so that unwinding,
  // slow on some systems, does not let it run them all first.
  started = 0;
  EXPECT_THROW(platform::parallelFor(10000, 2,
                                     [&](size_t i) {
                                       failAtThree(i);
                                       std::this_thread::sleep_for(std::chrono::microseconds(200));
                                     }),
               std::runtime_error);
  EXPECT_LT(started.load(), 10000);
}

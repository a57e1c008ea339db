#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "plugin/UiInvoker.h"

// Hand-overs in quick bursts and after long pauses: each runs on the serving thread, in order,
// while the worker waits for it, and a callback's error is raised again on the worker.
TEST(QueueUiInvoker, HandOversRunOnTheServingThreadInOrderWhateverTheirPace) {
  QueueUiInvoker ui;
  const std::thread::id serving = std::this_thread::get_id();
  std::atomic<bool> workerDone{false};
  std::vector<int> seen;
  int wrongThread = 0, errorsBack = 0;
  std::thread worker([&] {
    for (int i = 0; i < 300; ++i) {
      if (i % 100 == 99) std::this_thread::sleep_for(std::chrono::milliseconds(20));  // past any awake wait
      ui.Invoke([&, i] {
        if (std::this_thread::get_id() != serving) ++wrongThread;
        seen.push_back(i);  // only the serving thread touches it, and the worker waits meanwhile
      });
      if (i % 50 == 0) {
        try {
          ui.Invoke([] { throw std::runtime_error("refused"); });
        } catch (const std::runtime_error&) {
          ++errorsBack;
        }
      }
    }
    workerDone = true;
  });
  ui.ServeUntil([&] { return workerDone.load(); });
  worker.join();
  EXPECT_EQ(wrongThread, 0);
  ASSERT_EQ(seen.size(), 300u);
  for (int i = 0; i < 300; ++i) EXPECT_EQ(seen[i], i);
  EXPECT_EQ(errorsBack, 6);
}

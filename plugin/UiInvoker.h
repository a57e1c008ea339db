#pragma once
// The worker reaches the user-interface thread only through this: the callback runs there,
// synchronously, while the worker waits.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

class UiInvoker {
 public:
  virtual ~UiInvoker() = default;
  virtual void Invoke(const std::function<void()>& callback) = 0;
  // Blocks the user-interface thread until done() holds, still carrying out hand-overs.
  virtual void WaitServing(const std::function<bool()>& done) = 0;
};

// A queue served by the main thread: what the command-line batch and tests use. The main
// thread calls Serve() while it waits for the worker, so a hand-over never deadlocks.
class QueueUiInvoker : public UiInvoker {
 public:
  void Invoke(const std::function<void()>& callback) override;
  // Runs queued callbacks until done() is true, waiting at most pollMillis between checks.
  void ServeUntil(const std::function<bool()>& done, int pollMillis = 5);
  void WaitServing(const std::function<bool()>& done) override { ServeUntil(done); }
  // Runs what is queued now, without waiting.
  void ServePending();

 private:
  struct Task {
    const std::function<void()>* callback;
    bool finished = false;
    std::exception_ptr error;
  };
  std::mutex mutex_;
  std::condition_variable queued_;    // the serving thread waits for work
  std::condition_variable finished_;  // workers wait for their task
  std::deque<Task*> queue_;
};

#include "plugin/UiInvoker.h"

#include <chrono>
#include <thread>

namespace {

// A hand-over is short (a line printed, a counter moved) and they come in bursts (a file's end,
// its result, the next file): each side first waits for the other awake, for a moment, since
// waking a sleeping thread takes longer than the callback itself.
constexpr auto kAwakeWait = std::chrono::microseconds(200);

template <class Ready>
bool awaitAwake(Ready ready) {
  const auto until = std::chrono::steady_clock::now() + kAwakeWait;
  for (unsigned i = 1;; ++i) {
    if (ready()) return true;
#if defined(__i386__) || defined(__x86_64__)
    __builtin_ia32_pause();
#else
    std::this_thread::yield();
#endif
    if (i % 64 == 0 && std::chrono::steady_clock::now() >= until) return ready();
  }
}

}  // namespace

void QueueUiInvoker::Invoke(const std::function<void()>& callback) {
  Task task{&callback, {false}, nullptr};
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(&task);
    queued_.fetch_add(1, std::memory_order_release);
  }
  changed_.notify_all();
  if (!awaitAwake([&] { return task.finished.load(std::memory_order_acquire); })) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return task.finished.load(std::memory_order_acquire); });
  }
  if (task.error) std::rethrow_exception(task.error);
}

void QueueUiInvoker::ServePending() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!queue_.empty()) {
    Task* task = queue_.front();
    queue_.pop_front();
    queued_.fetch_sub(1, std::memory_order_relaxed);
    lock.unlock();
    try {
      (*task->callback)();
    } catch (...) {
      task->error = std::current_exception();  // raised again on the worker, as a hand-over would
    }
    lock.lock();
    // The worker may return the moment it sees this: the task is not touched afterwards.
    task->finished.store(true, std::memory_order_release);
    changed_.notify_all();
  }
}

void QueueUiInvoker::ServeUntil(const std::function<bool()>& done, int pollMillis) {
  for (;;) {
    ServePending();
    if (done()) return;
    if (awaitAwake([&] { return queued_.load(std::memory_order_acquire) != 0; })) continue;
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, std::chrono::milliseconds(pollMillis), [&] { return !queue_.empty(); });
  }
}

#include "plugin/UiInvoker.h"

#include <chrono>

// Each side signals after letting go of the lock, on the condition the other side waits on:
// a woken thread then finds the lock free instead of sleeping again at once.
void QueueUiInvoker::Invoke(const std::function<void()>& callback) {
  Task task{&callback, false, nullptr};
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(&task);
  }
  queued_.notify_all();
  std::unique_lock<std::mutex> lock(mutex_);
  finished_.wait(lock, [&] { return task.finished; });
  if (task.error) std::rethrow_exception(task.error);
}

void QueueUiInvoker::ServePending() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!queue_.empty()) {
    Task* task = queue_.front();
    queue_.pop_front();
    lock.unlock();
    try {
      (*task->callback)();
    } catch (...) {
      task->error = std::current_exception();  // raised again on the worker, as a hand-over would
    }
    lock.lock();
    task->finished = true;  // the task may be gone as soon as the lock is let go
    lock.unlock();
    finished_.notify_all();
    lock.lock();
  }
}

void QueueUiInvoker::ServeUntil(const std::function<bool()>& done, int pollMillis) {
  for (;;) {
    ServePending();
    if (done()) return;
    std::unique_lock<std::mutex> lock(mutex_);
    queued_.wait_for(lock, std::chrono::milliseconds(pollMillis), [&] { return !queue_.empty(); });
  }
}

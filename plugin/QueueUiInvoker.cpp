#include "plugin/UiInvoker.h"

#include <chrono>

void QueueUiInvoker::Invoke(const std::function<void()>& callback) {
  Task task{&callback, false, nullptr};
  std::unique_lock<std::mutex> lock(mutex_);
  queue_.push_back(&task);
  changed_.notify_all();
  changed_.wait(lock, [&] { return task.finished; });
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
    task->finished = true;
    changed_.notify_all();
  }
}

void QueueUiInvoker::ServeUntil(const std::function<bool()>& done, int pollMillis) {
  for (;;) {
    ServePending();
    if (done()) return;
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, std::chrono::milliseconds(pollMillis), [&] { return !queue_.empty(); });
  }
}

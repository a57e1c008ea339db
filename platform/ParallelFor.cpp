#include "platform/ParallelFor.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace platform {

void parallelFor(size_t count, size_t threads, const std::function<void(size_t)>& work) {
  std::atomic<size_t> next{0};
  std::mutex failure;
  std::exception_ptr error;
  auto run = [&] {
    try {
      for (size_t i; (i = next++) < count;) work(i);
    } catch (...) {
      std::lock_guard<std::mutex> lock(failure);
      if (!error) error = std::current_exception();
      next = count;
    }
  };
  std::vector<std::thread> helpers;
  for (size_t t = 1; t < std::min(threads, count); ++t) {
    try {
      helpers.emplace_back(run);
    } catch (const std::system_error&) {
      break;  // no thread to be had: fewer hands, the same work
    }
  }
  run();
  for (std::thread& t : helpers) t.join();
  if (error) std::rethrow_exception(error);
}

size_t usefulThreads(size_t pieces, size_t cap) {
  return std::clamp<size_t>(std::thread::hardware_concurrency(), 1, std::max<size_t>(std::min(pieces, cap), 1));
}

}  // namespace platform

#include "cli/LineOrder.h"

#include <stdexcept>

size_t LineOrder::Start(const AnsiString& path) {
  waiting_.push_back({path, std::nullopt});
  return first_ + waiting_.size() - 1;
}

void LineOrder::Done(size_t place, DocumentResult result) {
  if (place < first_ || place - first_ >= waiting_.size() || waiting_[place - first_].result)
    throw std::logic_error("a document's result came for a place not in hand");
  waiting_[place - first_].result = std::move(result);
}

void LineOrder::Release(const Take& take) {
  while (!waiting_.empty() && waiting_.front().result) {
    Entry e = std::move(waiting_.front());
    waiting_.pop_front();
    ++first_;
    take(e.path, *e.result);
  }
}

void LineOrder::ReleaseRest(const Take& take) {
  while (!waiting_.empty()) {
    Release(take);
    if (waiting_.empty()) break;
    waiting_.pop_front();
    ++first_;
  }
}

std::optional<size_t> LineOrder::NextPlace() const {
  if (waiting_.empty()) return std::nullopt;
  return first_;
}

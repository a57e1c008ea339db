#include "cli/LineOrder.h"

#include <stdexcept>

size_t LineOrder::Start(const AnsiString& path) {
  Entry e;
  e.outcome.path = path;
  waiting_.push_back(std::move(e));
  return first_ + waiting_.size() - 1;
}

void LineOrder::Done(size_t place, FileOutcome outcome) {
  if (place < first_ || place - first_ >= waiting_.size() || waiting_[place - first_].done)
    throw std::logic_error("a document's result came for a place not in hand");
  Entry& e = waiting_[place - first_];
  outcome.path = std::move(e.outcome.path);
  e.outcome = std::move(outcome);
  e.done = true;
}

void LineOrder::Release(const Take& take) {
  while (!waiting_.empty() && waiting_.front().done) {
    FileOutcome o = std::move(waiting_.front().outcome);
    waiting_.pop_front();
    ++first_;
    take(o);
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

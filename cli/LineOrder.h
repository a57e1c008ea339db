#pragma once
// Documents handed to several workers come back in any order; their lines are given out in
// the order the documents were handed over, each as soon as every one before it is out.
#include <cstddef>
#include <deque>
#include <functional>
#include <optional>

#include "cli/FileOutcome.h"

class LineOrder {
 public:
  using Take = std::function<void(const FileOutcome& outcome)>;

  size_t Start(const AnsiString& path);  // a document handed over: its place in the order
  void Done(size_t place, FileOutcome outcome);  // the path stays the one handed over
  // Gives out, in order, every done document whose predecessors are all out.
  void Release(const Take& take);
  // At the end of a run: what is done goes out, in order; a document whose worker never
  // reported it is passed over rather than holding back the lines after it.
  void ReleaseRest(const Take& take);

  // The document whose line comes next, if one is in hand.
  std::optional<size_t> NextPlace() const;
  const AnsiString* NextPath() const { return waiting_.empty() ? nullptr : &waiting_.front().outcome.path; }

 private:
  struct Entry {
    FileOutcome outcome;
    bool done = false;
  };
  std::deque<Entry> waiting_;
  size_t first_ = 0;  // the place of waiting_.front()
};

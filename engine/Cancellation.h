#pragma once
// How a batch is stopped from outside: the worker that owns the batch answers whether the user
// asked to stop, and the engine gives up with an error of its own kind whose message is empty.
#include <stdexcept>

// Implemented by the worker thread that owns a batch; read from the worker thread only.
class IReplaceOwner {
 public:
  virtual ~IReplaceOwner() = default;
  virtual bool TerminateRequested() const = 0;
};

// Raised where the engine polls for a stop request; callers see a plain error with an empty message.
class CancellationError : public std::runtime_error {
 public:
  CancellationError() : std::runtime_error("") {}
};

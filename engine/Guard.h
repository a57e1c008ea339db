#pragma once
// Word calls that may fail harmlessly run under a guard: the error is dropped and work goes on.
#include <exception>
#include <utility>

template <class F>
void swallowErrors(F&& work) {
  try {
    std::forward<F>(work)();
  } catch (const std::exception&) {
  }
}

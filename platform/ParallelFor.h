#pragma once
// Runs work(0) ... work(count - 1) on up to `threads` threads, the calling one among them,
// each taking the next index as it becomes free. The first exception any call throws stops
// the rest from starting and is thrown here once all threads are done.
#include <cstddef>
#include <functional>

namespace platform {

void parallelFor(size_t count, size_t threads, const std::function<void(size_t)>& work);

// The threads worth using for work spread over `pieces` pieces: the machine's cores, at
// most `cap`, at least 1.
size_t usefulThreads(size_t pieces, size_t cap);

}  // namespace platform

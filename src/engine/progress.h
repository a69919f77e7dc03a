#pragma once
// The small progress-and-stop callback that every long core operation takes
// instead of touching a window.
#include <cstdint>
#include <functional>

namespace tessary {

// Called now and then with the work done and the work in all; returns false to stop.
// Callers that pump events throttle by time inside the callback.
using ProgressFn = std::function<bool(std::uint64_t done, std::uint64_t total)>;

inline bool ReportProgress(const ProgressFn& fn, std::uint64_t done, std::uint64_t total) {
  return !fn || fn(done, total);
}

}  // namespace tessary

#pragma once
// A merge sort over the worker pool: one run per thread is sorted on its own, then runs
// are merged in pairs, the pairs of a round side by side.
#include <algorithm>
#include <cstddef>
#include <vector>

#include "engine/workers.h"

namespace tessary {

// Sorts items by less, which must be a strict total order (no two items equal), so that
// the result is the same for any thread count. threads 0 means WorkerThreads().
template <class T, class Less>
void ParallelSort(std::vector<T>& items, const Less& less, unsigned threads = 0) {
  if (threads == 0) threads = WorkerThreads();
  // Small inputs are not worth a thread each.
  constexpr std::size_t kMinRun = 4096;
  const std::size_t runs = std::max<std::size_t>(1, std::min<std::size_t>(threads, items.size() / kMinRun));
  if (runs == 1) {
    std::sort(items.begin(), items.end(), less);
    return;
  }
  std::vector<std::size_t> bounds;
  for (std::size_t r = 0; r <= runs; ++r) bounds.push_back(items.size() * r / runs);
  RunParallel(
      runs, [&](std::size_t r) { std::sort(items.begin() + bounds[r], items.begin() + bounds[r + 1], less); },
      threads);

  std::vector<T> merged(items.size());
  while (bounds.size() > 2) {
    // Run pairs (0,1), (2,3), ...; an odd last run is copied as it is.
    const std::size_t pairs = bounds.size() / 2;
    RunParallel(
        pairs,
        [&](std::size_t p) {
          const std::size_t from = bounds[2 * p], mid = bounds[std::min(2 * p + 1, bounds.size() - 1)];
          const std::size_t to = bounds[std::min(2 * p + 2, bounds.size() - 1)];
          std::merge(items.begin() + from, items.begin() + mid, items.begin() + mid, items.begin() + to,
                     merged.begin() + from, less);
        },
        threads);
    items.swap(merged);
    std::vector<std::size_t> next;
    for (std::size_t i = 0; i < bounds.size(); i += 2) next.push_back(bounds[i]);
    if (next.back() != bounds.back()) next.push_back(bounds.back());
    bounds.swap(next);
  }
}

}  // namespace tessary

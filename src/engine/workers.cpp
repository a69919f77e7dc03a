#include "engine/workers.h"

#include <sched.h>

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <vector>

namespace tessary {

unsigned WorkerThreads() {
  if (const char* env = std::getenv("TESSARY_THREADS")) {
    char* end = nullptr;
    const long n = std::strtol(env, &end, 10);
    if (end != env && *end == '\0' && n >= 1) return static_cast<unsigned>(std::min(n, 256L));
  }
  cpu_set_t set;
  if (sched_getaffinity(0, sizeof(set), &set) == 0) {
    const int n = CPU_COUNT(&set);
    if (n >= 1) return static_cast<unsigned>(n);
  }
  const unsigned n = std::thread::hardware_concurrency();
  return n ? n : 1;
}

std::uint64_t NextRangeLength(std::uint64_t remaining, std::uint64_t step, unsigned threads) {
  const std::uint64_t n = threads ? threads : WorkerThreads();
  if (n < 2) return step;
  return std::min(step, std::max(remaining / (2 * n), std::max<std::uint64_t>(step / 16, 1)));
}

void RunParallel(std::size_t count, const std::function<void(std::size_t)>& piece, unsigned threads) {
  if (count == 0) return;
  if (threads == 0) threads = WorkerThreads();
  const std::size_t helpers = std::min<std::size_t>(threads, count) - 1;
  std::atomic<std::size_t> next{0};
  std::atomic<bool> failed{false};
  std::exception_ptr error;
  std::mutex errorLock;
  auto work = [&] {
    for (std::size_t i; !failed.load(std::memory_order_relaxed) && (i = next.fetch_add(1)) < count;) {
      try {
        piece(i);
      } catch (...) {
        std::lock_guard<std::mutex> lock(errorLock);
        if (!error) error = std::current_exception();
        failed.store(true);
      }
    }
  };
  std::vector<std::thread> pool;
  pool.reserve(helpers);
  for (std::size_t t = 0; t < helpers; ++t) pool.emplace_back(work);
  work();
  for (std::thread& t : pool) t.join();
  if (error) std::rethrow_exception(error);
}

}  // namespace tessary

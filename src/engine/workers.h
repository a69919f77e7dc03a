#pragma once
// Work shared over the processors: a task cut into pieces runs on a few threads, the
// calling thread among them. Only the calling thread reports progress, so a caller's
// progress callback never has to be thread-safe; a stop it asks for reaches the other
// threads between pieces.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/progress.h"

namespace tessary {

// The threads a parallel task uses: one per processor this process may run on (so
// taskset and cgroup limits count), or TESSARY_THREADS when it is set to 1 or more.
unsigned WorkerThreads();

// The length of the next range of a text counted in ranges on `threads` threads (0:
// WorkerThreads()) when `remaining` bytes are left: `step`, and towards the end a share
// of what is left (at least step / 16), so the threads end together instead of all
// waiting on whichever took the last long range.
std::uint64_t NextRangeLength(std::uint64_t remaining, std::uint64_t step, unsigned threads = 0);

// Runs piece(i) for every i in [0, count), each exactly once, on up to `threads`
// threads (0: WorkerThreads()), and returns when all have ended. Pieces are handed out
// in index order. The first exception a piece throws is rethrown here after the others
// have ended; the pieces not yet started are then skipped.
void RunParallel(std::size_t count, const std::function<void(std::size_t)>& piece, unsigned threads = 0);

// Progress shared by the pieces of one parallel task. Each piece adds the work it has
// done; the calling thread passes the sum to the caller's callback, and a false from it
// stops every piece. Pieces on other threads only add and read the stop flag.
class CSharedProgress {
 public:
  CSharedProgress(ProgressFn progress, std::uint64_t total)
      : m_fnProgress(std::move(progress)), m_nTotal(total), m_caller(std::this_thread::get_id()) {}

  // Adds work done; false when the task is to stop. Safe from any thread.
  bool Add(std::uint64_t done) {
    const std::uint64_t sum = m_nDone.fetch_add(done, std::memory_order_relaxed) + done;
    if (std::this_thread::get_id() == m_caller && !m_bStop.load(std::memory_order_relaxed) &&
        !ReportProgress(m_fnProgress, sum, m_nTotal))
      m_bStop.store(true, std::memory_order_relaxed);
    return !Stopped();
  }
  // The calling thread reports once more (for example while it waits for the others).
  bool Poll() { return Add(0); }
  void Stop() { m_bStop.store(true, std::memory_order_relaxed); }
  bool Stopped() const { return m_bStop.load(std::memory_order_relaxed); }
  std::uint64_t Done() const { return m_nDone.load(std::memory_order_relaxed); }
  std::uint64_t Total() const { return m_nTotal; }

 private:
  ProgressFn m_fnProgress;
  std::uint64_t m_nTotal;
  std::thread::id m_caller;
  std::atomic<std::uint64_t> m_nDone{0};
  std::atomic<bool> m_bStop{false};
};

// The results of parallel pieces, handed to `merge` in piece order: whichever thread
// finishes the piece that is next merges it and every finished one after it, one
// thread at a time, so merging needs no lock of its own.
template <class Result>
class COrderedMerge {
 public:
  explicit COrderedMerge(std::size_t count) : m_arrDone(count) {}

  template <class Merge>
  void Finished(std::size_t piece, std::unique_ptr<Result> result, Merge&& merge) {
    {
      std::lock_guard<std::mutex> guard(m_lock);
      m_arrDone[piece] = std::move(result);
      if (m_bMerging) return;
      m_bMerging = true;
    }
    for (;;) {
      std::unique_ptr<Result> next;
      {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_nNext == m_arrDone.size() || !m_arrDone[m_nNext]) {
          m_bMerging = false;
          return;
        }
        next = std::move(m_arrDone[m_nNext++]);
      }
      merge(*next);
    }
  }

 private:
  std::mutex m_lock;
  std::vector<std::unique_ptr<Result>> m_arrDone;
  std::size_t m_nNext = 0;
  bool m_bMerging = false;
};

}  // namespace tessary

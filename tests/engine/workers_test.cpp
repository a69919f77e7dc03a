#include "engine/workers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <vector>

namespace tessary {
namespace {

TEST(Workers, EveryPieceRunsOnceWhateverTheThreadCount) {
  for (unsigned threads : {1u, 2u, 3u, 8u}) {
    std::vector<std::atomic<int>> runs(97);
    RunParallel(runs.size(), [&](std::size_t i) { runs[i].fetch_add(1); }, threads);
    for (std::size_t i = 0; i < runs.size(); ++i) EXPECT_EQ(runs[i].load(), 1) << "piece " << i << ", threads " << threads;
  }
  RunParallel(0, [](std::size_t) { FAIL() << "no piece to run"; });
}

TEST(Workers, OrderedMergeTakesResultsInPieceOrderOneAtATime) {
  for (unsigned threads : {1u, 2u, 3u, 8u}) {
    COrderedMerge<std::size_t> merger(200);
    std::vector<std::size_t> merged;
    std::atomic<int> merging{0};
    bool overlapped = false;
    RunParallel(
        200,
        [&](std::size_t i) {
          // Later pieces often finish first.
          for (volatile std::size_t spin = 0; spin < (i * 7919) % 5000;) spin = spin + 1;
          merger.Finished(i, std::make_unique<std::size_t>(i), [&](std::size_t value) {
            overlapped = overlapped || merging.fetch_add(1) != 0;
            merged.push_back(value);
            merging.fetch_sub(1);
          });
        },
        threads);
    ASSERT_EQ(merged.size(), 200u) << threads;
    for (std::size_t i = 0; i < merged.size(); ++i) ASSERT_EQ(merged[i], i) << threads;
    EXPECT_FALSE(overlapped) << threads;
  }
}

TEST(Workers, AFailingPieceIsRethrownAfterTheOthersEnd) {
  std::atomic<int> ended{0};
  EXPECT_THROW(RunParallel(
                   50,
                   [&](std::size_t i) {
                     if (i == 3) throw std::runtime_error("piece 3");
                     ended.fetch_add(1);
                   },
                   3),
               std::runtime_error);
  EXPECT_LT(ended.load(), 50);
}

TEST(Workers, ThreadCountFollowsTheEnvironmentWhenItIsAPositiveNumber) {
  const char* saved = std::getenv("TESSARY_THREADS");
  const std::string keep = saved ? saved : "";
  setenv("TESSARY_THREADS", "3", 1);
  EXPECT_EQ(WorkerThreads(), 3u);
  unsetenv("TESSARY_THREADS");
  const unsigned machine = WorkerThreads();
  EXPECT_GE(machine, 1u);
  for (const char* bad : {"0", "-2", "two", ""}) {
    setenv("TESSARY_THREADS", bad, 1);
    EXPECT_EQ(WorkerThreads(), machine) << bad;
  }
  if (saved) setenv("TESSARY_THREADS", keep.c_str(), 1);
  else unsetenv("TESSARY_THREADS");
}

TEST(Workers, OnlyTheCallingThreadReportsAndItsStopReachesEveryPiece) {
  const auto caller = std::this_thread::get_id();
  for (unsigned threads : {1u, 4u}) {
    CSharedProgress progress(
        [&](std::uint64_t done, std::uint64_t) {
          EXPECT_EQ(std::this_thread::get_id(), caller);
          return done < 10;
        },
        1000);
    RunParallel(
        100,
        [&](std::size_t) {
          if (!progress.Stopped()) progress.Add(1);
        },
        threads);
    // On one thread the stop takes at the tenth piece; on more, the others may have
    // ended every piece before the caller reported at all.
    if (threads == 1) {
      EXPECT_EQ(progress.Done(), 10u);
    }
    if (progress.Done() < 100) {
      EXPECT_TRUE(progress.Stopped());
    }
  }
  CSharedProgress quiet({}, 5);
  EXPECT_TRUE(quiet.Add(1));
  quiet.Stop();
  EXPECT_FALSE(quiet.Add(1));
}

}  // namespace
}  // namespace tessary

#include "engine/workers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
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
  std::atomic<int> reports{0};
  CSharedProgress progress(
      [&](std::uint64_t done, std::uint64_t) {
        EXPECT_EQ(std::this_thread::get_id(), caller);
        reports.fetch_add(1);
        return done < 10;
      },
      1000);
  RunParallel(
      100,
      [&](std::size_t) {
        if (!progress.Stopped()) progress.Add(1);
      },
      4);
  // The helpers may have run every piece before the calling thread took one: it then
  // reports once more, as a caller waiting for the others does.
  progress.Poll();
  EXPECT_TRUE(progress.Stopped() || progress.Done() < 10);
  EXPECT_GE(reports.load(), 0);
  // A stop asked for directly is seen by every later Add.
  CSharedProgress quiet({}, 5);
  EXPECT_TRUE(quiet.Add(1));
  quiet.Stop();
  EXPECT_FALSE(quiet.Add(1));
}

}  // namespace
}  // namespace tessary

// The big-file search: chunks read from disk must find exactly what one scan of the
// whole file finds, at true file offsets, with memory bounded by the chunk.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/big_file_search.h"
#include "engine/concordance_search.h"
#include "engine/scan_paths.h"

namespace tessary {
namespace {

using test::SearchOneText;

using test::TempFile;

CSearchRequest Settings(const std::string& key, int mode = kMatchWord, std::int64_t width = 50,
                         const std::string& sort = kUnsorted) {
  CSearchRequest s;
  s.m_strSearch = key;
  s.m_nMatchMode = mode;
  s.m_nLineWidth = width;
  s.m_strSortMode = sort;
  return s;
}

struct BigRun {
  CAssembledList list;
  std::uint64_t matches = 0;
  bool ok = false;
  std::string error;
  std::vector<std::pair<std::int64_t, std::int64_t>> chunks;
};

BigRun SearchBig(const CSearchRequest& s, const std::string& path, std::int64_t chunkSize,
                 std::function<void(std::int64_t)> onChunk = {}) {
  BigRun run;
  CBigFileObserver observer;
  observer.m_fnChunk = [&](std::int64_t start, std::int64_t end) {
    run.chunks.emplace_back(start, end);
    if (onChunk) onChunk(start);
  };
  auto search = CBigFileSearch::Create(s, observer, false, chunkSize);
  EXPECT_TRUE(search) << search.Error();
  run.ok = (*search)->SearchFile(path);
  run.error = (*search)->Error();
  run.matches = (*search)->Matches();
  run.list = (*search)->Finish();
  return run;
}


TEST(BigFileSearch, ChunkSizeIsHalfTheFreeMemoryWithinItsBounds) {
  EXPECT_EQ(ChunkSizeFor(0), 512000);
  EXPECT_EQ(ChunkSizeFor(3000000), 1500000);
  EXPECT_EQ(ChunkSizeFor(38400000), 19200000);
  EXPECT_EQ(ChunkSizeFor(std::uint64_t(64) << 30), 19200000);
  EXPECT_EQ(ReadingMessage(511999, 1023998), "Reading from position 511999 to 1023998");
}

// Every key position against every chunk edge: straddling matches are found once, with
// the context a whole-file scan gives them, and letters across an edge still count.
TEST(BigFileSearch, ChunkedSearchFindsWhatOneScanOfTheWholeFileFinds) {
  const std::string text =
      "cat catcat xcat cat. CAT9 cat_ Cat\r\ncat\tcats  scat  concatenate cat-cat c\x80t cat\xE9 "
      "the cat sat on the mat with a cat and another cat; cat";
  TempFile file(text);
  struct Case {
    const char* key;
    int mode;
  };
  const Case cases[] = {{"cat", kMatchWord}, {"cat", kMatchPrefix}, {"cat", kMatchSuffix}, {"cat", kMatchAny},
                        {"c%t", kMatchWord}, {"cat cat", kMatchAny}, {"at", kMatchAny}};
  for (const Case& c : cases) {
    for (std::int64_t width : {1, 4, 50}) {
      const CSearchRequest s = Settings(c.key, c.mode, width);
      const CAssembledList whole = SearchOneText(s, text, file.Path());
      ASSERT_GT(whole.Lines(), 0) << c.key;
      for (std::int64_t chunk = 2; chunk <= 40; ++chunk) {
        SCOPED_TRACE(std::string(c.key) + " mode " + std::to_string(c.mode) + " width " + std::to_string(width) +
                     " chunk " + std::to_string(chunk));
        const BigRun big = SearchBig(s, file.Path(), chunk);
        ASSERT_TRUE(big.ok) << big.error;
        EXPECT_EQ(big.matches, static_cast<std::uint64_t>(whole.Lines()));
        EXPECT_EQ(big.list.m_strOutput, whole.m_strOutput);
        ASSERT_EQ(big.list.m_arrEntries.size(), whole.m_arrEntries.size());
        for (std::size_t i = 0; i < whole.m_arrEntries.size(); ++i)
          EXPECT_EQ(big.list.m_arrEntries[i].m_nPosition, whole.m_arrEntries[i].m_nPosition);
      }
    }
  }
}

// Sentences reach further than the line width; associated words are looked for in the
// line. Both must see around a match what a whole-file scan sees.
TEST(BigFileSearch, SentenceAndAssociatedWordRequestsMatchTheWholeFileScan) {
  std::string text;
  for (int i = 0; i < 12; ++i)
    text += "The cat sat. A mat " + std::string(i * 7, 'x') + " and the cat (on a mat) slept! ";
  TempFile file(text);
  CSearchRequest sentences = Settings("cat", kMatchPrefix, 6);
  sentences.m_bSentences = true;
  CSearchRequest assoc = Settings("cat", kMatchWord, 12);
  assoc.m_arrAssocWords = {"mat"};
  for (const CSearchRequest& s : {sentences, assoc}) {
    const CAssembledList whole = SearchOneText(s, text, file.Path());
    ASSERT_GT(whole.Lines(), 0);
    for (std::int64_t chunk : {2, 5, 17, 64, 300}) {
      const BigRun big = SearchBig(s, file.Path(), chunk);
      EXPECT_EQ(big.list.m_strOutput, whole.m_strOutput) << chunk;
      EXPECT_EQ(big.matches, static_cast<std::uint64_t>(whole.Lines())) << chunk;
    }
  }
}

TEST(BigFileSearch, AFileLargerThanTheChunkIsReadInChunksAtTrueOffsets) {
  // Chunks of size 32 cover 31 bytes each; "whale" sits at offset 10 of the second.
  std::string text(100, '.');
  text.replace(29, 5, "Whale");  // straddles the first edge
  text.replace(31 + 10, 5, "whale");
  text.replace(90, 5, "WHALE");
  TempFile file(text);
  for (const char* sort : {kUnsorted, kSortRight, kSortLeft}) {
    const BigRun big = SearchBig(Settings("whale", kMatchWord, 5, sort), file.Path(), 32);
    ASSERT_TRUE(big.ok);
    EXPECT_EQ(big.chunks, (std::vector<std::pair<std::int64_t, std::int64_t>>{{0, 31}, {31, 62}, {62, 93}, {93, 100}}));
    std::vector<std::int64_t> positions;
    for (const auto& entry : big.list.m_arrEntries) positions.push_back(entry.m_nPosition);
    std::sort(positions.begin(), positions.end());
    EXPECT_EQ(positions, (std::vector<std::int64_t>{29, 41, 90})) << sort;
  }
  const BigRun small = SearchBig(Settings("whale"), file.Path(), 0);
  EXPECT_EQ(small.chunks, (std::vector<std::pair<std::int64_t, std::int64_t>>{{0, 100}}));
  EXPECT_EQ(small.matches, 3u);
}

TEST(BigFileSearch, AFileThatShrinksEndsTheSearchWithAMessage) {
  std::string text;
  for (int i = 0; i < 20; ++i) text += "one cat. ";  // 9 bytes each, 180 in all
  TempFile file(text);
  // The file is cut short when the third chunk is about to be read.
  const BigRun big = SearchBig(Settings("cat", kMatchWord, 3), file.Path(), 61, [&](std::int64_t start) {
    if (start == 120) {
      ASSERT_EQ(::truncate(file.Path().c_str(), 100), 0);
    }
  });
  EXPECT_FALSE(big.ok);
  EXPECT_NE(big.error.find("became shorter"), std::string::npos) << big.error;
  EXPECT_EQ(big.chunks.size(), 3u);
  EXPECT_EQ(big.matches, 13u);  // the matches of the first two chunks (0..119)
}

TEST(BigFileSearch, FilesThatCannotBeReadGiveAMessage) {
  EXPECT_EQ(SearchBig(Settings("cat"), "/nonexistent/big.txt", 0).error,
            "Cannot open /nonexistent/big.txt: No such file or directory.");
  EXPECT_EQ(SearchBig(Settings("cat"), "/", 0).error, "Cannot read /: Is a directory.");
  TempFile empty("");
  const BigRun none = SearchBig(Settings("cat"), empty.Path(), 0);
  EXPECT_TRUE(none.ok && none.chunks.empty());
  EXPECT_FALSE(CBigFileSearch::Create(Settings(""), {}));
}

// A sparse file past 2 GB: positions and chunk offsets must not wrap at 32 bits.
TEST(BigFileSearch, PositionsPastTwoGigabytesAreTrueOffsets) {
  const std::string path = TempFile("").Path() + ".sparse";
  const std::int64_t base = std::int64_t(1) << 31;
  const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
  ASSERT_GE(fd, 0);
  const std::string word = " whale ";
  bool written = ::ftruncate(fd, base + 4096) == 0 &&
                 ::pwrite(fd, word.data(), word.size(), base - 3) == static_cast<ssize_t>(word.size()) &&
                 ::pwrite(fd, word.data(), word.size(), base + 1000) == static_cast<ssize_t>(word.size());
  ::close(fd);
  if (!written) {
    ::unlink(path.c_str());
    GTEST_SKIP() << "no room for a sparse file past 2 GB";
  }
  const BigRun big = SearchBig(Settings("whale", kMatchWord, 5, kSortLeft), path, 0);
  ::unlink(path.c_str());
  ASSERT_TRUE(big.ok) << big.error;
  ASSERT_EQ(big.list.Lines(), 2);
  const auto& e = big.list.m_arrEntries;
  EXPECT_EQ(std::min(e[0].m_nPosition, e[1].m_nPosition), base - 2);
  EXPECT_EQ(std::max(e[0].m_nPosition, e[1].m_nPosition), base + 1001);
  EXPECT_EQ(big.chunks.back().second, base + 4096);
}

}  // namespace
}  // namespace tessary

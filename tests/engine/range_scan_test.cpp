// A file or text scanned in ranges on several threads gives exactly the lines, order,
// positions, counts and messages of one scan from the start: ranges far smaller than
// a line, every sort and match mode, Ctrl-Z anywhere, stops and files that change.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <limits>
#include <random>
#include <thread>

#include "engine/concordance_search.h"
#include "engine/scan_paths.h"
#include "test_texts.h"

namespace tessary {
namespace {

using test::TempFile;

constexpr CRangeScanSettings kOneScan{std::numeric_limits<std::size_t>::max(), 1};

struct Outcome {
  std::string output;
  std::vector<std::int64_t> positions, lines, assoc;
  std::vector<std::string> files;  // each entry's source
  std::vector<std::string> skipped;
  std::uint64_t matches = 0;
  bool stopped = false;
  bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Outcome& o) {
  return out << o.matches << " matches" << (o.stopped ? ", stopped" : "") << ":\n" << o.output;
}

CSearchRequest Request(const std::string& key, const char* sort = kUnsorted, int mode = kMatchWord, std::int64_t width = 9) {
  CSearchRequest r;
  r.m_strSearch = key;
  r.m_strSortMode = sort;
  r.m_nMatchMode = mode;
  r.m_nLineWidth = width;
  return r;
}

// Runs one search over files (or, with no files, over text in memory).
Outcome Search(const CSearchRequest& request, const std::vector<std::string>& files, const std::string& text,
            const CRangeScanSettings& ranges, bool count = false, ProgressFn progress = {}) {
  auto created = CConcordanceSearch::Create(request, {{}, std::move(progress)}, count);
  if (!created) throw std::runtime_error(created.Error());
  CConcordanceSearch& search = **created;
  search.SetRanges(ranges);
  if (files.empty()) search.SearchText(text, "memory");
  for (const std::string& file : files) search.SearchFile(file);
  Outcome o;
  o.matches = search.Matches();
  o.stopped = search.Stopped();
  o.skipped = search.SkippedFiles();
  if (count) return o;
  const CAssembledList list = search.Finish();
  o.output = list.m_strOutput;
  for (const CConcordanceEntry& e : list.m_arrEntries) {
    o.positions.push_back(e.m_nPosition);
    o.lines.push_back(e.m_nLine);
    o.files.push_back(list.FileOf(e));
  }
  o.assoc = list.m_arrAssoc1;
  return o;
}

// Words and line ends of every kind: CR LF, LF, a lone CR, CR CR LF.
std::string MixedText(unsigned seed, std::size_t words) {
  static const char* kWords[] = {"the", "The", "then", "other", "bathe", "lord", "d", "x", "of", "Lord."};
  static const char* kGaps[] = {" ", " ", " ", ", ", "\r\n", "\n", "\r", "\r\r\n"};
  std::mt19937 random(seed);
  std::string text;
  for (std::size_t i = 0; i < words; ++i) {
    text += kWords[random() % std::size(kWords)];
    text += kGaps[random() % std::size(kGaps)];
  }
  return text;
}

// Every range size and thread count against one scan, through a file and memory.
void ExpectSameInRanges(const CSearchRequest& request, const std::string& text, bool count = false) {
  TempFile file(text);
  const Outcome fromFile = Search(request, {file.Path()}, "", kOneScan, count);
  const Outcome fromMemory = Search(request, {}, text, kOneScan, count);
  for (std::size_t size : {1, 2, 7, 64, 100})
    for (unsigned threads : {1u, 2u, 3u, 8u}) {
      const CRangeScanSettings ranges{size, threads};
      ASSERT_EQ(Search(request, {file.Path()}, "", ranges, count), fromFile)
          << request.m_strSearch << " file, ranges of " << size << ", threads " << threads;
      ASSERT_EQ(Search(request, {}, text, ranges, count), fromMemory)
          << request.m_strSearch << " memory, ranges of " << size << ", threads " << threads;
    }
}

TEST(RangeScan, EverySortAndMatchModeGivesTheLinesOfOneScan) {
  const std::string text = MixedText(1, 400);
  for (const char* sort : {kUnsorted, kSortRight, kSortLeft, kSortPosition})
    for (int mode : {kMatchWord, kMatchPrefix, kMatchSuffix, kMatchAny}) ExpectSameInRanges(Request("the", sort, mode), text);
  ExpectSameInRanges(Request("lord", kSortRight, kMatchWord, 1), text);
  ExpectSameInRanges(Request("lord", kSortLeft, kMatchWord, 40), text);
}

TEST(RangeScan, AKeyWithACarriageReturnAndCounting) {
  const std::string text = MixedText(2, 300);
  ExpectSameInRanges(Request("d\r", kUnsorted, kMatchAny), text);
  ExpectSameInRanges(Request("d\r", kUnsorted, kMatchAny), text, true);
  ExpectSameInRanges(Request("the"), text, true);
  ExpectSameInRanges(Request("%he", kUnsorted, kMatchAny), text, true);
}

TEST(RangeScan, AssociatedWordsKeepTheirColumns) {
  CSearchRequest request = Request("the", kSortRight, kMatchWord, 12);
  request.m_arrAssocWords = {"of"};
  request.m_assocZone = AssocZone::kRight;
  const std::string text = MixedText(3, 300);
  ExpectSameInRanges(request, text);
  ExpectSameInRanges(request, text, true);
}

TEST(RangeScan, ACtrlZEndsTheTextInAnyRange) {
  const std::string text = MixedText(4, 120);
  // In the first range, in a middle one, just before, at and after a cut of 64-byte ranges.
  for (std::size_t at : {std::size_t(3), text.size() / 2, std::size_t(319), std::size_t(320), std::size_t(321)}) {
    std::string cut = text;
    cut[at] = '\x1A';
    ExpectSameInRanges(Request("the", kSortPosition), cut);
    ExpectSameInRanges(Request("the"), cut, true);
  }
}

TEST(RangeScan, FilesAreJoinedInTheirOrderAndAMissingOneIsReported) {
  TempFile a(MixedText(5, 200)), b(MixedText(6, 10)), c(MixedText(7, 200));
  const std::vector<std::string> files = {a.Path(), "/nonexistent/range.txt", b.Path(), c.Path()};
  CSearchRequest request = Request("the", kSortPosition);
  request.m_bFileReference = true;
  const Outcome one = Search(request, files, "", kOneScan);
  ASSERT_EQ(one.skipped.size(), 1u);
  for (unsigned threads : {1u, 2u, 8u}) EXPECT_EQ(Search(request, files, "", {16, threads}), one);
}

// Short files side by side: lines, counts and messages in the order given, a stop
// keeping the lines of the files before it.
TEST(RangeScan, ShortFilesSideBySideKeepTheirOrder) {
  std::vector<TempFile> temps;
  temps.reserve(40);  // a moved TempFile would remove its file
  std::vector<std::string> files;
  for (unsigned i = 0; i < 40; ++i) {
    temps.emplace_back(MixedText(20 + i, 5 + i * 7));
    files.push_back(temps.back().Path());
  }
  files.insert(files.begin() + 3, "/nonexistent/side.txt");
  files.insert(files.begin() + 20, "/tmp");
  for (bool count : {false, true}) {
    CSearchRequest request = Request("the", count ? kUnsorted : kSortLeft);
    request.m_bFileReference = true;
    auto one = CConcordanceSearch::Create(request, {}, count);
    for (const std::string& file : files) (*one)->SearchFile(file);
    const std::vector<std::string> skipped = (*one)->SkippedFiles();
    const std::uint64_t matches = (*one)->Matches();
    std::string output;
    std::vector<std::string> sources;  // each entry's file, as one scan gives them
    if (!count) {
      const CAssembledList list = (*one)->Finish();
      output = list.m_strOutput;
      for (const CConcordanceEntry& e : list.m_arrEntries) sources.push_back(list.FileOf(e));
    }
    ASSERT_EQ(skipped.size(), 2u);
    for (unsigned threads : {1u, 2u, 3u, 8u}) {
      auto side = CConcordanceSearch::Create(request, {}, count);
      (*side)->SetRanges({kScanRange, threads});
      (*side)->SearchFiles(files);
      EXPECT_EQ((*side)->SkippedFiles(), skipped);
      EXPECT_EQ((*side)->Matches(), matches);
      if (!count) {
        const CAssembledList list = (*side)->Finish();
        EXPECT_EQ(list.m_strOutput, output) << "threads " << threads;
        std::vector<std::string> joined;
        for (const CConcordanceEntry& e : list.m_arrEntries) joined.push_back(list.FileOf(e));
        EXPECT_EQ(joined, sources) << "threads " << threads;
      }
    }
  }
  int calls = 0;
  auto stopped = CConcordanceSearch::Create(Request("the"), {{}, [&](std::uint64_t, std::uint64_t) { return ++calls < 10; }});
  (*stopped)->SetRanges({kScanRange, 1});
  (*stopped)->SearchFiles(files);
  EXPECT_TRUE((*stopped)->Stopped());
  auto whole = CConcordanceSearch::Create(Request("the"), {});
  (*whole)->SearchFiles(files);
  const std::string prefix = (*stopped)->Finish().m_strOutput;
  EXPECT_EQ(prefix, (*whole)->Finish().m_strOutput.substr(0, prefix.size()));
}

TEST(RangeScan, OnlyTheCallingThreadReportsProgressUpToTheWholeFile) {
  const std::string text = MixedText(8, 3000);
  TempFile file(text);
  for (bool inMemory : {false, true}) {
    const auto caller = std::this_thread::get_id();
    bool otherThread = false;
    std::uint64_t last = 0, total = 0;
    Search(Request("the"), inMemory ? std::vector<std::string>{} : std::vector<std::string>{file.Path()}, text, {50, 3},
        false, [&](std::uint64_t done, std::uint64_t all) {
          otherThread |= std::this_thread::get_id() != caller;
          EXPECT_GE(done, last);
          last = done;
          total = all;
          return true;
        });
    EXPECT_FALSE(otherThread);
    EXPECT_EQ(total, text.size());
    EXPECT_EQ(last, text.size());
  }
}

// A stop keeps the lines of the ranges finished before it, in order: a prefix of the
// whole list (all of it when every range ended before the stop was seen).
TEST(RangeScan, AStopKeepsAnOrderedPrefix) {
  const std::string text = MixedText(9, 6000);
  TempFile file(text);
  const Outcome whole = Search(Request("the"), {file.Path()}, "", kOneScan);
  for (unsigned threads : {1u, 2u, 3u}) {
    int calls = 0;
    const Outcome stopped = Search(Request("the"), {file.Path()}, "", {40, threads}, false,
                                [&](std::uint64_t, std::uint64_t) { return ++calls < 20; });
    ASSERT_LE(stopped.lines.size(), whole.lines.size());
    ASSERT_TRUE(stopped.stopped || stopped.lines.size() == whole.lines.size());
    if (threads == 1) {
      EXPECT_LT(stopped.lines.size(), whole.lines.size());
    }
    EXPECT_EQ(stopped.output, whole.output.substr(0, stopped.output.size()));
    for (std::size_t i = 0; i < stopped.positions.size(); ++i) ASSERT_EQ(stopped.positions[i], whole.positions[i]);
  }
}

// One thread reads every range after the first progress call, so the file's change is
// seen exactly where one scan of the changed file would see it.
TEST(RangeScan, AFileCutShortOrGrowingEndsTheScanWithItsMessage) {
  const std::string text = MixedText(10, 500);
  const std::size_t shortLength = text.size() / 3;
  TempFile file(text), cut(text.substr(0, shortLength));
  const Outcome shorter = Search(Request("the"), {file.Path()}, "", {30, 1}, false, [&](std::uint64_t, std::uint64_t) {
    if (::truncate(file.Path().c_str(), static_cast<off_t>(shortLength)) != 0) ADD_FAILURE();
    return true;
  });
  const Outcome expected = Search(Request("the"), {cut.Path()}, "", kOneScan);
  EXPECT_EQ(shorter.output, expected.output);
  EXPECT_EQ(shorter.skipped, std::vector<std::string>{"The file " + file.Path() +
                                                      " became shorter while it was read; reading stopped at position " +
                                                      std::to_string(shortLength) + "."});

  TempFile growing(text), copy(text);
  bool grown = false;
  const Outcome grew = Search(Request("the"), {growing.Path()}, "", {30, 2}, false, [&](std::uint64_t, std::uint64_t) {
    if (!grown) std::ofstream(growing.Path(), std::ios::app) << "the end";
    grown = true;
    return true;
  });
  EXPECT_EQ(grew.output, Search(Request("the"), {copy.Path()}, "", kOneScan).output);
  EXPECT_EQ(grew.skipped, std::vector<std::string>{"The file " + growing.Path() +
                                                   " grew while it was read; reading stopped at position " +
                                                   std::to_string(text.size()) + "."});
}

}  // namespace
}  // namespace tessary

// The big file viewer's file algorithms: display lines, moving back, the thumb rule,
// the quick search and highlighting.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "bigfile/line_file.h"
#include "engine/scan_paths.h"

namespace tessary {
namespace {

using test::TempFile;

std::unique_ptr<CLineFile> OpenFile(const TempFile& file) {
  auto opened = CLineFile::Open(file.Path());
  EXPECT_TRUE(opened) << opened.Error();
  return std::move(*opened);
}

// Every display line from the start: its start position and text.
struct Forward {
  std::vector<std::int64_t> starts;
  std::vector<std::string> lines;
};
Forward ReadForward(CLineFile& file) {
  Forward f;
  file.Seek(0);
  std::string line;
  for (std::int64_t p = 0; p < file.Length();) {
    f.starts.push_back(p);
    p = file.ReadLine(line, kViewerColumns);
    f.lines.push_back(line);
  }
  return f;
}

TEST(LineFile, DisplayLinesExpandTabsDropCarriageReturnsAndSplitAt512Columns) {
  const std::string text = "a\tb\r\n\tx\n12345678\tz\n\n" + std::string(1100, 'q') + "\n" + std::string(512, 'r') +
                           "\r\n" + std::string(511, 's') + "\tend";
  TempFile file(text);
  auto f = OpenFile(file);
  const Forward forward = ReadForward(*f);
  const std::vector<std::string> expected = {"a       b", "        x", "12345678        z", "",
                                             std::string(512, 'q'), std::string(512, 'q'), std::string(76, 'q'),
                                             std::string(512, 'r'), std::string(511, 's') + " ", "end"};
  EXPECT_EQ(forward.lines, expected);
  EXPECT_EQ(forward.starts[1], 5);  // the carriage return counts in positions
  EXPECT_EQ(forward.starts[4] + 1101, forward.starts[7]);
  EXPECT_EQ(f->Reference(), forward.starts.back());

  // A block runs on across lines, each line-end byte one space.
  std::string block;
  f->Seek(0);
  EXPECT_EQ(f->ReadBlock(block, 20), 10);
  EXPECT_EQ(block, "a       b       x 12");
  EXPECT_EQ(f->ReadBlock(block, 4), 14);
  EXPECT_EQ(block, "3456");
}

// Moving back must land where reading forward puts the lines, whatever their lengths:
// lines far longer than 100 bytes, split display lines, lines near the start.
TEST(LineFile, BackLinesAndLineAtOffsetAgreeWithReadingForward) {
  std::mt19937 random(7);
  std::string text;
  for (int i = 0; i < 120; ++i) {
    const int length = std::uniform_int_distribution<int>(0, 1400)(random);
    for (int k = 0; k < length; ++k) {
      const int r = std::uniform_int_distribution<int>(0, 40)(random);
      text += r == 0 ? '\t' : r == 1 ? '\r' : char('a' + r % 26);
    }
    text += '\n';
  }
  TempFile file(text);
  auto f = OpenFile(file);
  const Forward forward = ReadForward(*f);
  ASSERT_GT(forward.starts.size(), 150u);
  std::string line;
  for (std::size_t k = 0; k < forward.starts.size(); ++k) {
    for (int n : {1, 2, 5, 30, 200}) {
      const std::size_t want = k >= static_cast<std::size_t>(n) ? k - n : 0;
      f->SetReference(forward.starts[k]);
      ASSERT_EQ(f->BackLines(line, kViewerColumns, n), forward.starts[want]) << "line " << k << " back " << n;
      EXPECT_EQ(line, forward.lines[want]);
      EXPECT_EQ(f->Reference(), forward.starts[want]);
    }
  }
  for (std::int64_t offset = 0; offset < f->Length(); offset += 13) {
    const auto holder = std::upper_bound(forward.starts.begin(), forward.starts.end(), offset) - 1;
    ASSERT_EQ(f->LineAtOffset(line, kViewerColumns, offset), *holder) << offset;
    EXPECT_EQ(line, forward.lines[static_cast<std::size_t>(holder - forward.starts.begin())]);
  }
  EXPECT_EQ(f->LineAtOffset(line, kViewerColumns, -1), -1);
  EXPECT_EQ(f->LineAtOffset(line, kViewerColumns, f->Length() + 50), forward.starts.back());
}

TEST(LineFile, MovingUpReachesTheStartAndCrossesLongLines) {
  const std::string text = "short\n" + std::string(300, 'x') + "\nlast\n";
  TempFile file(text);
  auto f = OpenFile(file);
  EXPECT_EQ(LineUp(*f, 307), 6);  // over a 300-byte line
  EXPECT_EQ(LineUp(*f, 6), 0);
  EXPECT_EQ(PageUp(*f, 307, 10), 0);  // fewer lines than asked for: the top of the file
  EXPECT_EQ(LineUp(*f, 0), 0);
  std::string line;
  f->SetReference(0);
  EXPECT_EQ(f->BackLines(line, kViewerColumns, 3), 0);  // moving back never moves forward
  EXPECT_EQ(line, "short");
}

TEST(LineFile, ThumbRuleOnBothSidesOfFortyThousandBytes) {
  EXPECT_EQ(ThumbFor(0, 0), 0);  // an empty file
  EXPECT_EQ(ThumbFor(20000, 40000), 500);
  EXPECT_EQ(ThumbFor(39999, 40000), 999);
  EXPECT_EQ(ThumbFor(39999, 40001), 999);   // 39999 / 40
  EXPECT_EQ(ThumbFor(40999, 40999), 1000);  // 1024 clamped
  EXPECT_EQ(ThumbFor(3000000000, 4000000000), 750);
  EXPECT_EQ(ThumbOffset(500, 39999), 19999);
  EXPECT_EQ(ThumbOffset(1000, 40000), 40000);
  EXPECT_EQ(ThumbOffset(1000, 40001), 40000);
  EXPECT_EQ(ThumbOffset(1000, 5000000000), 5000000000);

  // On a file of 40,999 bytes the thumb at 1000 shows the line holding offset 40,000.
  std::string text;
  while (text.size() < 40999) text += "0123456789abcdefghijklmnopqrs\n";  // 30-byte lines
  text.resize(40999);
  TempFile file(text);
  auto f = OpenFile(file);
  EXPECT_EQ(ThumbTop(*f, 1000), 39990);
  EXPECT_EQ(ThumbTop(*f, 500), 19980);
  EXPECT_EQ(ThumbTop(*f, 0), 0);
}

TEST(LineFile, QuickSearchIgnoresCaseAndMakesTheMatchingLineTheTop) {
  const std::string text = "alpha\n\nhas xab here\nXAB again\n" + std::string(100, '.') + "ab\n" +
                           std::string(600, '-') + "Ab\nomega\n";
  TempFile file(text);
  auto f = OpenFile(file);
  const auto cp = std::move(*CCodePage::Open(1252));
  const CCaseFolder folder(*cp);

  CQuickSearchResult r = QuickSearch(*f, 0, "AB", 80, folder);
  EXPECT_TRUE(r.m_bFound && r.m_nTop == 7 && r.m_nLineEnd == 20 && r.m_nColumn == 5 && r.m_strKey == "ab");
  // Find next: one line down, then on from there.
  r = QuickSearch(*f, LineDown(*f, r.m_nTop), r.m_strKey, 80, folder);
  EXPECT_EQ(r.m_nTop, 20);
  r = QuickSearch(*f, LineDown(*f, r.m_nTop), "ab", 80, folder);
  EXPECT_EQ(r.m_nHorizontalOffset, 100 + 2 - 80);
  r = QuickSearch(*f, LineDown(*f, r.m_nTop), "ab", 80, folder);
  EXPECT_EQ(r.m_nTop, 133 + 512);  // the second display line of a long line

  r = QuickSearch(*f, 0, "zebra", 80, folder);
  EXPECT_FALSE(r.m_bFound);
  EXPECT_EQ(r.m_nTop, 0);

  // A file cut short after it was opened ends the search instead of reading forever.
  auto g = OpenFile(file);
  ASSERT_EQ(::truncate(file.Path().c_str(), 10), 0);
  EXPECT_FALSE(QuickSearch(*g, 0, "omega", 80, folder).m_bFound);
}

TEST(LineFile, ASearchReportsProgressAndStopsWhenAsked) {
  const std::string text = std::string(3 << 20, 'x') + "\nneedle\n";
  TempFile file(text);
  auto f = OpenFile(file);
  const auto cp = std::move(*CCodePage::Open(1252));
  const CCaseFolder folder(*cp);
  std::vector<std::int64_t> told;
  CQuickSearchResult r = QuickSearch(*f, 0, "needle", 80, folder, [&](std::int64_t p) {
    told.push_back(p);
    return true;
  });
  EXPECT_TRUE(r.m_bFound);
  EXPECT_GE(told.size(), 2u);
  EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
  r = QuickSearch(*f, 0, "needle", 80, folder, [](std::int64_t) { return false; });
  EXPECT_FALSE(r.m_bFound);
  EXPECT_TRUE(r.m_bStopped);
  EXPECT_LT(r.m_nReached, static_cast<std::int64_t>(text.size()));
}

TEST(LineFile, GoToTakesOffsetsAndPercentagesWithinTheFile) {
  const std::int64_t big = std::int64_t{10} << 30;
  EXPECT_EQ(ParseGoTo("1048576", big), 1048576);
  EXPECT_EQ(ParseGoTo(" 5,000,000,000 ", big), 5000000000);
  EXPECT_EQ(ParseGoTo("0x100000000", big), std::int64_t{1} << 32);
  EXPECT_EQ(ParseGoTo("50%", big), big / 2);
  EXPECT_EQ(ParseGoTo("12.5 %", 800), 100);
  EXPECT_EQ(ParseGoTo("100%", big), big);
  EXPECT_EQ(ParseGoTo("0", 0), 0);
  for (const char* bad : {"", "abc", "-5", "101%", "%", "1e3", "0xZZ", "10737418241", "99999999999999999999999"})
    EXPECT_FALSE(ParseGoTo(bad, big)) << bad;
}

TEST(LineFile, TheLastPageEndsWithTheLastLine) {
  TempFile file("one\ntwo\nthree\nfour\nfive\n");
  auto f = OpenFile(file);
  EXPECT_EQ(LastPageTop(*f, 2), 14);  // "four", "five"
  EXPECT_EQ(LastPageTop(*f, 10), 0);
  TempFile unterminated("one\ntwo\nthree");
  auto g = OpenFile(unterminated);
  EXPECT_EQ(LastPageTop(*g, 1), 8);
  TempFile empty("");
  EXPECT_EQ(LastPageTop(*OpenFile(empty), 3), 0);
}

TEST(LineFile, HighlightFindsOverlappingInstancesInAnyCase) {
  const auto cp = std::move(*CCodePage::Open(1252));
  const CCaseFolder folder(*cp);
  using Columns = std::vector<std::size_t>;
  EXPECT_EQ(FindInstances("aaa", "aa", folder), (Columns{0, 1}));
  EXPECT_EQ(FindInstances("xAbaB ab", "AB", folder), (Columns{1, 3, 6}));
  EXPECT_EQ(FindInstances("\xC9" "cole \xE9" "cole", "\xE9" "COLE", folder), (Columns{0, 6}));
  EXPECT_EQ(FindInstances("abc", "", folder), Columns{});
}

// A sparse file past 2 GB: positions must not wrap at 32 bits.
TEST(LineFile, PositionsPastTwoGigabytes) {
  const std::string path = TempFile("").Path() + ".sparse";
  const std::int64_t base = std::int64_t(1) << 31;
  const std::string text = "\nline one\nneedle here\n";
  const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
  ASSERT_GE(fd, 0);
  const bool written = ::ftruncate(fd, base + 8192) == 0 &&
                       ::pwrite(fd, text.data(), text.size(), base + 5000) == static_cast<ssize_t>(text.size());
  ::close(fd);
  if (!written) {
    ::unlink(path.c_str());
    GTEST_SKIP() << "no room for a sparse file past 2 GB";
  }
  auto opened = CLineFile::Open(path);
  ::unlink(path.c_str());
  ASSERT_TRUE(opened);
  CLineFile& f = **opened;
  EXPECT_EQ(f.Length(), base + 8192);
  std::string line;
  EXPECT_EQ(f.LineAtOffset(line, kViewerColumns, base + 5015), base + 5010);
  EXPECT_EQ(line, "needle here");
  EXPECT_EQ(LineUp(f, base + 5010), base + 5001);
  const auto cp = std::move(*CCodePage::Open(1252));
  const CQuickSearchResult r = QuickSearch(f, base + 4000, "NEEDLE", 80, CCaseFolder(*cp));
  EXPECT_TRUE(r.m_bFound);
  EXPECT_EQ(r.m_nTop, base + 5010);
}

}  // namespace
}  // namespace tessary

// The window text of a finished search: numbering, file reference, sorting, stops,
// and the key-word formatting ranges in every text form.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "engine/concordance_list.h"
#include "engine/concordance_search.h"
#include "engine/number_prefix.h"
#include "engine/scan_paths.h"
#include "test_texts.h"

namespace tessary {
namespace {

using test::SearchOneText;

CSearchRequest Settings(const std::string& key, const char* sortMode = kUnsorted, std::int64_t width = 5) {
  CSearchRequest s;
  s.m_strSearch = key;
  s.m_wstrSearch = std::u16string(key.begin(), key.end());
  s.m_strSortMode = sortMode;
  s.m_nLineWidth = width;
  return s;
}


TEST(Assembly, NumbersAndFileReferenceLayout) {
  auto s = Settings("cat");
  s.m_bFileReference = true;
  EXPECT_EQ(SearchOneText(s, "a cat; the cat", "/t/a.txt").m_strOutput,
            "1         a cat; the  (/t/a.txt)\n"
            "2       the cat       (/t/a.txt)\n");
  s.m_bLineNumbers = false;
  s.m_bFileReference = false;
  EXPECT_EQ(SearchOneText(s, "a cat").m_strOutput, "   a cat      \n");
  EXPECT_EQ(SearchOneText(s, "no match here").m_strOutput, "");
}

TEST(Assembly, NumberPrefixGrowsFromLineOneMillion) {
  EXPECT_EQ(NumberPrefix(999999), "999999 ");
  EXPECT_EQ(NumberPrefix(1000000), "1000000 ");
  EXPECT_EQ(NumberPrefixLength(std::string_view("1000000 x")), 8u);
  EXPECT_EQ(NumberPrefixLength(std::string_view("12     x")), 7u);
  EXPECT_EQ(NumberPrefixLength(std::string_view("12 x")), 0u);  // an edited line

  std::string text;
  for (int i = 0; i < 1000001; ++i) text += "a ";
  auto s = Settings("a", kUnsorted, 1);
  auto search = std::move(*CConcordanceSearch::Create(s, {}));
  search->SearchText(text, "");
  const auto list = search->Finish();
  ASSERT_EQ(list.Lines(), 1000001);
  const auto& last = list.m_arrLayout.back();
  EXPECT_EQ(last.m_nPrefix, 8);
  const auto ranges = search->Ranges(list);
  const auto rendered = RenderUtf16(list, search->TextCodePage(), ranges);
  const auto& r = rendered.m_arrRanges.back();
  EXPECT_EQ(rendered.m_wstrText.substr(static_cast<std::size_t>(r.m_nStart), 1), u"a");
  EXPECT_EQ(rendered.m_wstrText.substr(static_cast<std::size_t>(r.m_nStart) - 9, 10), u"1000001  a");
}

TEST(Assembly, SortedSearchOrdersLinesAndUnderlinesTheCollocate) {
  ::setenv("LC_ALL", "C", 1);
  auto s = Settings("the", kSortRight, 6);
  s.m_bLineNumbers = false;
  auto search = std::move(*CConcordanceSearch::Create(s, {}));
  search->SearchText("by the way, to the end, at the bay", "");
  const auto list = search->Finish();
  EXPECT_EQ(list.m_strOutput,
            "d, at the bay   \n"
            "y, to the end, a\n"
            "   by the way, t\n");
  EXPECT_EQ(list.m_arrEntries[0].m_nPosition, 27);
  const auto ranges = search->Ranges(list);
  ASSERT_EQ(ranges.size(), 6u);
  EXPECT_EQ(ranges[1].m_kind, CFormatRange::kCollocate);
  EXPECT_EQ(ranges[1].m_nColumn, 10);
  EXPECT_EQ(ranges[1].m_nLength, 3);
  EXPECT_EQ(ranges[0].m_kind, CFormatRange::kKeyword);
}

TEST(Assembly, StoppingTheCopyKeepsTheLinesCopiedSoFar) {
  auto s = Settings("a", kUnsorted, 1);
  auto search = std::move(*CConcordanceSearch::Create(s, {}));
  std::string text;
  for (int i = 0; i < 500; ++i) text += "a ";
  search->SearchText(text, "");
  const auto list = search->Finish([](std::uint64_t done, std::uint64_t) { return done < 100; });
  EXPECT_TRUE(list.m_bStopped);
  EXPECT_EQ(list.Lines(), 100);
  EXPECT_EQ(list.m_arrEntries.size(), 100u);
}

TEST(Assembly, AStoppedSearchStillAssemblesAllItsLines) {
  auto s = Settings("a", kSortRight, 1);
  int calls = 0;
  CSearchObserver observer;
  observer.m_fnProgress = [&](std::uint64_t, std::uint64_t) { return ++calls < 2; };
  auto search = std::move(*CConcordanceSearch::Create(s, observer));
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "a ";
  search->SearchText(text, "");
  EXPECT_TRUE(search->Stopped());
  const auto found = search->Matches();
  ASSERT_GT(found, 1u);
  EXPECT_EQ(static_cast<std::uint64_t>(search->Finish().Lines()), found);
}

TEST(Assembly, RenderingConvertsBodiesAndKeepsPathBytes) {
  auto s = Settings("caf\xE9");
  s.m_bFileReference = true;
  const std::string path = "/t/\xC3\xA9t\xC3\xA9-\xFF.txt";  // UTF-8 and one byte that is not
  auto search = std::move(*CConcordanceSearch::Create(s, {}));
  search->SearchText("un caf\xE9 noir", path);
  const auto list = search->Finish();
  EXPECT_EQ(RenderUtf8(list, search->TextCodePage()),
            "1        un caf\xC3\xA9 noir  (" + path + ")\n");
}

TEST(Assembly, DoubleByteRangesCoverTheKeywordInUtf16) {
  auto s = Settings("\xA4\xA4", kUnsorted, 4);  // Big5 中
  s.m_language.m_kind = TextLanguageKind::kBig5;
  s.m_bLineNumbers = false;
  auto search = std::move(*CConcordanceSearch::Create(s, {}));
  search->SearchText("\xA4\xA4\xA4\xE5\xA4\xA4\xA4\xE5", "");  // 中文中文
  const auto list = search->Finish();
  const auto rendered = RenderUtf16(list, search->TextCodePage(), search->Ranges(list));
  ASSERT_FALSE(rendered.m_arrRanges.empty());
  for (const auto& r : rendered.m_arrRanges)
    EXPECT_EQ(rendered.m_wstrText.substr(static_cast<std::size_t>(r.m_nStart), static_cast<std::size_t>(r.m_nLength)),
              u"\u4E2D");
}

TEST(Assembly, WideListsReferToTheirFileWithoutParentheses) {
  auto s = Settings("cat");
  s.m_bFileReference = true;
  auto search = std::move(*CWideConcordanceSearch::Create(s, {}));
  search->SearchText(u"a cat\u00E9 a cat", "/t/b.txt");
  const auto list = search->Finish();
  EXPECT_EQ(RenderUtf8(list), "1      t\xC3\xA9 a cat       /t/b.txt\n");
  const auto rendered = RenderUtf16(list, search->Ranges(list));
  ASSERT_EQ(rendered.m_arrRanges.size(), 1u);
  EXPECT_EQ(rendered.m_wstrText.substr(static_cast<std::size_t>(rendered.m_arrRanges[0].m_nStart), 3), u"cat");
  EXPECT_EQ(rendered.m_arrRanges[0].m_format.m_kind, CFormatRange::kKeyword);
}

}  // namespace
}  // namespace tessary

namespace tessary {
namespace {

// A large list is shown a piece at a time: the pieces put together are the whole
// text, and every range lands on the same characters.
TEST(Assembly, PiecesOfARenderedListJoinIntoTheWholeText) {
  for (bool doubleByte : {false, true}) {
    CSearchRequest s;
    s.m_strSearch = doubleByte ? "\xA4\xA4" : "caf\xE9";
    s.m_nLineWidth = 5;
    s.m_strSortMode = kSortRight;
    if (doubleByte) s.m_language.m_kind = TextLanguageKind::kBig5;
    auto search = std::move(*CConcordanceSearch::Create(s, {}));
    std::string text;
    for (int i = 0; i < 40; ++i)
      text += doubleByte ? "\xA4\xE5\xA4\xA4\xA4\xE5 " : "un caf\xE9 noir, ";
    search->SearchText(text, "/t/x.txt");
    const auto list = search->Finish();
    const auto ranges = search->Ranges(list);
    const CRenderedText whole = RenderUtf16(list, search->TextCodePage(), ranges);
    std::u16string joined;
    std::vector<std::pair<std::int64_t, std::int64_t>> spans;
    for (std::int64_t first = 0; first < list.Lines(); first += 7) {
      const CRenderedText piece = RenderUtf16(list, search->TextCodePage(), ranges, first, first + 7);
      for (const auto& r : piece.m_arrRanges)
        spans.push_back({static_cast<std::int64_t>(joined.size()) + r.m_nStart, r.m_nLength});
      joined += piece.m_wstrText;
    }
    EXPECT_EQ(joined, whole.m_wstrText);
    ASSERT_EQ(spans.size(), whole.m_arrRanges.size());
    for (std::size_t k = 0; k < spans.size(); ++k) {
      EXPECT_EQ(spans[k].first, whole.m_arrRanges[k].m_nStart);
      EXPECT_EQ(spans[k].second, whole.m_arrRanges[k].m_nLength);
    }
  }
}

}  // namespace
}  // namespace tessary

namespace tessary {
namespace {

TEST(Assembly, AStoppedSortLeavesTheLinesAsFoundAndUnderlinesNoCollocate) {
  CSearchRequest s;
  s.m_strSearch = "cat";
  s.m_nLineWidth = 4;
  s.m_strSortMode = kSortRight;
  auto search = std::move(*CConcordanceSearch::Create(s, {}));
  search->SearchText("a cat zoo, a cat ant, a cat bee", "");
  const auto list = search->Finish({}, [](std::uint64_t, std::uint64_t) { return false; });
  EXPECT_TRUE(list.m_bSortStopped && !list.m_bStopped);
  ASSERT_EQ(list.Lines(), 3);
  EXPECT_EQ(list.m_arrEntries[0].m_nPosition, 2);  // zoo first, as found
  for (const auto& range : search->Ranges(list)) EXPECT_NE(range.m_kind, CFormatRange::kCollocate);
}

}  // namespace
}  // namespace tessary

namespace tessary {
namespace {

// Three letters per number, so the sort puts the texts' lines in another order.
std::string Word(int j) {
  return {static_cast<char>('a' + j / 676 % 26), static_cast<char>('a' + j / 26 % 26), static_cast<char>('a' + j % 26)};
}

TEST(Assembly, ManySourcesKeepTheirPathsThroughSortAndAssembly) {
  CSearchRequest s = Settings("cat", kSortRight, 8);
  s.m_bFileReference = true;
  auto search = std::move(*CConcordanceSearch::Create(s, {}));
  std::map<std::string, std::string> pathOfWord;
  for (int i = 0; i < 300; ++i) {
    const std::string word = Word(i * 37 % 300), path = "/t/" + std::to_string(i) + ".txt";
    pathOfWord[word] = path;
    search->SearchText("a cat " + word + ". one cat " + word + ".", path);
  }
  const auto list = search->Finish();
  ASSERT_EQ(list.Lines(), 600);
  CConcordanceList window;
  window.TakeEntries(list.m_arrEntries, list.m_arrFiles);
  EXPECT_EQ(window.m_arrSources.size(), 300u);
  std::string last;
  for (std::size_t i = 0; i < 600; ++i) {
    const CLineLayout& l = list.m_arrLayout[i];
    const std::string_view body = std::string_view(list.m_strOutput).substr(l.m_nStart + l.m_nPrefix, l.m_nBody);
    const std::string word(body.substr(12, 3));  // the collocate after "cat "
    EXPECT_LE(last, word) << i;
    last = word;
    const std::string& path = pathOfWord[word];
    EXPECT_EQ(list.FileOf(list.m_arrEntries[i]), path) << i;
    EXPECT_EQ(window.SourceOf(window.m_arrEntries[i]), path) << i;
    EXPECT_EQ(std::string_view(list.m_strOutput).substr(l.m_nStart + l.m_nPrefix + l.m_nBody, path.size() + 3),
              " (" + path + ")");
  }
}

// The command line writes the lines as they are assembled: they must be the text the
// window would render, in every kind of list.
template <class Search, class Texts>
void ExpectStreamIsRendered(const CSearchRequest& s, const Texts& texts) {
  auto whole = std::move(*Search::Create(s, {}));
  auto streamed = std::move(*Search::Create(s, {}));
  for (const auto& [text, path] : texts) {
    whole->SearchText(text, path);
    streamed->SearchText(text, path);
  }
  const auto list = whole->Finish();
  using CharT = typename decltype(list.m_strOutput)::value_type;
  std::basic_string<CharT> raw;
  std::string utf8, scratch;
  streamed->Stream([&](std::basic_string_view<CharT> line, const CLineLayout& layout) {
    raw += line;
    if constexpr (sizeof(CharT) == 1) utf8 += Utf8Line(line, layout, streamed->TextCodePage(), scratch);
  });
  EXPECT_EQ(raw, list.m_strOutput);
  if constexpr (sizeof(CharT) == 1) {
    EXPECT_EQ(utf8, RenderUtf8(list, whole->TextCodePage()));
  }
}

TEST(Assembly, StreamedLinesAreTheRenderedText) {
  const std::vector<std::pair<std::string, std::string>> texts = {
      {"Un caf\xE9 noir. Le caf\xE9 au lait, un caf\xE9.", "/t/\xC3\xA9t\xC3\xA9.txt"},
      {"Ce caf\xE9-ci. Quel caf\xE9!", ""},
  };
  for (const char* mode : {kSortRight, kSortLeft, kSortPosition, kUnsorted}) {
    CSearchRequest s = Settings("caf\xE9", mode, 6);
    s.m_bFileReference = true;
    ExpectStreamIsRendered<CConcordanceSearch>(s, texts);
    s.m_bLineNumbers = false;
    s.m_bSentences = true;
    ExpectStreamIsRendered<CConcordanceSearch>(s, texts);
  }
  // Enough lines for several blocks of lines copied side by side, at several thread counts.
  std::string many;
  for (int i = 0; i < 12000; ++i) many += "un caf\xE9 " + Word(i * 7919 % 12007) + ". ";
  const char* saved = std::getenv("TESSARY_THREADS");
  const std::string keep = saved ? saved : "";
  for (const char* threads : {"1", "2", "3"}) {
    setenv("TESSARY_THREADS", threads, 1);
    ExpectStreamIsRendered<CConcordanceSearch>(Settings("caf\xE9", kSortRight, 6),
                                               std::vector<std::pair<std::string, std::string>>{{many, "/t/m.txt"}});
  }
  if (saved) setenv("TESSARY_THREADS", keep.c_str(), 1);
  else unsetenv("TESSARY_THREADS");
  CSearchRequest wide = Settings("cat", kSortRight);
  wide.m_bFileReference = true;
  const std::vector<std::pair<std::u16string, std::string>> wideTexts = {{u"a cat\u00E9 a cat b", "/t/b.txt"},
                                                                          {u"the cat zoo", "/t/c.txt"}};
  ExpectStreamIsRendered<CWideConcordanceSearch>(wide, wideTexts);
}

}  // namespace
}  // namespace tessary

// The gap-fill test on list window texts: where the blanks go, what the reveal puts
// back and where, and how answers are judged.
#include <gtest/gtest.h>

#include "engine/concordance_search.h"
#include "exercise/gap_fill.h"

namespace tessary {
namespace {

CAssembledList Search(const std::string& key, const std::string& text, std::int64_t width, bool bNumbers,
                      int nMode = kMatchWord) {
  CSearchRequest s;
  s.m_strSearch = key;
  s.m_nMatchMode = nMode;
  s.m_strSortMode = kUnsorted;
  s.m_nLineWidth = width;
  s.m_bLineNumbers = bNumbers;
  auto search = CConcordanceSearch::Create(s, {});
  EXPECT_TRUE(search) << search.Error();
  (*search)->SearchText(text, "");
  return (*search)->Finish();
}

// The window the program holds after applying the edits one after the other.
template <class String, class Edit>
String Apply(String text, const std::vector<Edit>& edits) {
  for (const Edit& e : edits)
    text.replace(static_cast<std::size_t>(e.m_nStart), static_cast<std::size_t>(e.m_nLength), e.m_strText);
  return text;
}

TEST(GapFillBlank, NumberedLinesBlankWhereTheKeywordStood) {
  const auto list = Search("cat", "a cat; the Cat", 5, true);
  ASSERT_EQ(list.m_strOutput,
            "1         a cat; the \n"
            "2       the Cat      \n");
  const CGapFillTest test(list.m_strOutput, {5, true, 3}, "cat");
  EXPECT_EQ(test.Text(),
            "1         a ------; the \n"
            "2       the ------      \n");
  EXPECT_EQ(test.Gaps(), 2u);
  EXPECT_EQ(test.GapStart(1), 25 + 12);
  EXPECT_EQ(test.Keyword(1), "Cat");  // as it stood, not the search string
}

TEST(GapFillBlank, EveryKeywordBecomesSixDashes) {
  // Prefix mode hides only the part that matched.
  EXPECT_EQ(CGapFillTest(Search("walk", "walking", 3, false, kMatchPrefix).m_strOutput, {3, false, 4}, "walk").Text(),
            "   ------ing \n");
  EXPECT_EQ(CGapFillTest("ab on cd\n", {3, false, 2}, "on").Text(), "ab ------ cd\n");
  EXPECT_EQ(CGapFillTest("ab wonderful cd\n", {3, false, 9}, "wonderful").Text(), "ab ------ cd\n");
}

TEST(GapFillBlank, EachLineUsesItsOwnNumberPrefix) {
  // From line 1,000,000 on the prefix is 8 characters; lines a stopped numbering left
  // bare have none.
  const std::string text =
      "999999 abcKEYdef\n"
      "1000000 abcKEYdef\n"
      "abcKEYdef\n";
  const CGapFillTest test(text, {3, true, 3}, "KEY");
  EXPECT_EQ(test.Text(),
            "999999 abc------def\n"
            "1000000 abc------def\n"
            "abc------def\n");
  EXPECT_EQ(test.GapStart(1), 20 + 11);
}

TEST(GapFillBlank, LinesWithoutAKeywordAreLeftAlone) {
  const std::string text =
      "\n"
      "1      ab\n"      // cut short by editing
      "2      abKEYcd\n"
      "3      abKE\n"    // the keyword would run past the line end
      "4      abKEY";    // no final line feed
  CGapFillTest test(text, {2, true, 3}, "KEY");
  EXPECT_EQ(test.Lines(), 5u);
  EXPECT_EQ(test.Gaps(), 2u);
  EXPECT_FALSE(test.HasGap(0));
  EXPECT_FALSE(test.HasGap(3));
  EXPECT_EQ(test.GapStart(3), -1);
  EXPECT_EQ(test.Keyword(1), "");
  EXPECT_EQ(test.Text(), "\n1      ab\n2      ab------cd\n3      abKE\n4      ab------");
  EXPECT_FALSE(test.RevealLine(1));
  EXPECT_EQ(test.CheckAnswer(3, "KEY", false), GapVerdict::kNothing);
  const std::string blanked = test.Text();
  EXPECT_EQ(Apply(blanked, test.RevealAll()), text);
  EXPECT_EQ(test.Text(), text);

  EXPECT_EQ(CGapFillTest("", {5, true, 3}, "KEY").Lines(), 0u);
  EXPECT_EQ(CGapFillTest("abcdef\n", {1, false, 0}, "").Text(), "abcdef\n");
}

TEST(GapFillBlank, SpansPlaceBlanksInConvertedDoubleByteText) {
  // Big5 中 文 中: the second line's four bytes of left context are three UTF-16 units.
  CSearchRequest s;
  s.m_strSearch = "\xA4\xA4";
  s.m_strSortMode = kUnsorted;
  s.m_nLineWidth = 4;
  s.m_language.m_kind = TextLanguageKind::kBig5;
  auto search = std::move(*CConcordanceSearch::Create(s, {}));
  search->SearchText("\xA4\xA4 \xA4\xE5 \xA4\xA4", "");
  const auto list = search->Finish();
  const auto rendered = RenderUtf16(list, search->TextCodePage(), KeywordRanges(list, 4, 2, false));
  CWideGapFillTest test(rendered.m_wstrText, KeywordSpans(rendered), u"\u4E2D");
  ASSERT_EQ(test.Gaps(), 2u);
  const std::u16string blanked = test.Text();
  EXPECT_EQ(blanked.substr(blanked.find(u'\n') + 1, 16), u"2       \u6587 ------");
  EXPECT_EQ(test.Keyword(1), u"\u4E2D");
  EXPECT_EQ(Apply(blanked, test.RevealAll()), rendered.m_wstrText);

  // A span that leaves its line, or a second one in a line, is not a keyword.
  const CGapFillTest spans("abcdef\nghijkl\n", std::vector<CGapSpan>{{4, 5}, {8, 2}, {10, 1}, {-1, 2}}, "x");
  EXPECT_EQ(spans.Text(), "abcdef\ng------jkl\n");
}

TEST(GapFillReveal, PutsBackEachLinesOwnKeyword) {
  const std::string text =
      "1      the Cat sat\n"
      "2      a   cat ran\n"
      "3      my  CAT ate\n";
  CGapFillTest test(text, {4, true, 3}, "cat");
  const std::string blanked = test.Text();
  const auto edits = test.RevealAll();
  ASSERT_EQ(edits.size(), 3u);
  EXPECT_EQ(edits[2].m_nStart, 19 + 19 + 11);  // the lines before have their keywords back
  EXPECT_EQ(Apply(blanked, edits), text);
  EXPECT_EQ(test.Text(), text);
  EXPECT_TRUE(test.Finished());
  EXPECT_EQ(test.CheckAnswer("cat", false), GapVerdict::kNothing);
  EXPECT_TRUE(test.RevealAll().empty());
}

TEST(GapFillReveal, LinesRevealedOneByOneInAnyOrder) {
  std::u16string text;
  for (int i = 1; i <= 5; ++i) text += u"ab" + std::u16string(i == 3 ? u"?" : u"") + u"walking cd\n";
  CWideGapFillTest test(text, {2, false, 7}, u"walking");
  EXPECT_EQ(test.Keyword(2), u"?walkin");
  std::u16string window = test.Text();
  for (std::size_t line : {3u, 0u, 4u, 2u, 1u}) {
    const auto edit = test.RevealLine(line);
    ASSERT_TRUE(edit);
    window = Apply(window, std::vector<CGapEditT<char16_t>>{*edit});
    EXPECT_EQ(window, test.Text());
    for (std::size_t k = 0; k < test.Lines(); ++k)
      EXPECT_EQ(window.substr(static_cast<std::size_t>(test.GapStart(k)), static_cast<std::size_t>(test.GapLength(k))),
                test.IsRevealed(k) ? std::u16string(test.Keyword(k)) : u"------");
    EXPECT_EQ(test.Finished(), line == 1u);
  }
  EXPECT_EQ(window, text);
  EXPECT_FALSE(test.RevealLine(0));
}

TEST(GapFillAnswer, WholeTestIsJudgedAgainstTheSearchString) {
  CGapFillTest test("ab Cat cd\nab cat cd\n", {3, false, 3}, "cat");
  EXPECT_EQ(test.CheckAnswer("cat", false), GapVerdict::kRight);
  EXPECT_EQ(test.CheckAnswer("Cat", false), GapVerdict::kWrong);
  EXPECT_EQ(test.CheckAnswer("cats", false), GapVerdict::kWrong);
  EXPECT_EQ(test.CheckAnswer("", false), GapVerdict::kNothing);    // OK on an empty box, or Cancel
  EXPECT_EQ(test.CheckAnswer("", true), GapVerdict::kAskCheat);
  EXPECT_EQ(test.CheckAnswer("cat", true), GapVerdict::kAskCheat);  // "Cheat!" takes no text
  EXPECT_EQ(test.Text(), "ab ------ cd\nab ------ cd\n");          // judging changes nothing

  // A list without lines is still a test until it is answered.
  CGapFillTest empty("", {3, false, 3}, "cat");
  EXPECT_EQ(empty.CheckAnswer("cat", false), GapVerdict::kRight);
  EXPECT_TRUE(empty.RevealAll().empty());
  EXPECT_TRUE(empty.Finished());
}

TEST(GapFillAnswer, OneLineIsJudgedAgainstItsOwnKeyword) {
  CGapFillTest test("ab Cat cd\nab cat cd\n", {3, false, 3}, "cat");
  EXPECT_EQ(test.CheckAnswer(0, "Cat", false), GapVerdict::kRight);
  EXPECT_EQ(test.CheckAnswer(0, "cat", false), GapVerdict::kWrong);
  EXPECT_EQ(test.CheckAnswer(0, "", false), GapVerdict::kNothing);
  EXPECT_EQ(test.CheckAnswer(0, "x", true), GapVerdict::kAskCheat);
  EXPECT_EQ(test.CheckAnswer(7, "cat", false), GapVerdict::kNothing);
  test.RevealLine(0);
  EXPECT_EQ(test.CheckAnswer(0, "Cat", false), GapVerdict::kNothing);
  EXPECT_EQ(test.CheckAnswer(1, "cat", false), GapVerdict::kRight);
}

}  // namespace
}  // namespace tessary

// Sentence concordances: where a sentence starts and ends, the four line layouts,
// the keyword columns and their formatting, and the 16-bit variant.
#include <gtest/gtest.h>
#include <unicode/utf16.h>

#include "engine/concordance_search.h"
#include "engine/scan_paths.h"
#include "engine/sentences.h"

namespace tessary {
namespace {

using test::SearchOneText;

using test::Cp1252;

// The sentence of the first match of key in text, or "-" when it gives none.
std::string SentenceOf(const std::string& text, const std::string& key, std::size_t from = 0) {
  const std::size_t at = text.find(key, from);
  const auto b = FindSentence(text, at, key.size(), Cp1252());
  return b ? text.substr(b->m_nStart, b->m_nEnd - b->m_nStart) : "-";
}

CSearchRequest Sentences(const std::string& key, bool numbers = false, bool reference = false) {
  CSearchRequest s;
  s.m_strSearch = key;
  s.m_wstrSearch.assign(key.begin(), key.end());
  s.m_bSentences = true;
  s.m_bLineNumbers = numbers;
  s.m_bFileReference = reference;
  return s;
}


TEST(Sentences, BoundsRunFromTerminatorToTerminator) {
  const std::string text = "He said no. Then he left.";
  EXPECT_EQ(SentenceOf(text, "Then"), "Then he left.");
  EXPECT_EQ(SentenceOf(text, "said"), "He said no.");
  EXPECT_EQ(SentenceOf("Why? Because! Done", "Because"), "Because!");
  EXPECT_EQ(SentenceOf("(See below.) Next", "See"), "(See below.");
  EXPECT_EQ(SentenceOf("It ended. \"Run,\" he said.", "Run"), "\"Run,\" he said.");
  EXPECT_EQ(SentenceOf("One.\n\nTwo lines\nhere. Three", "lines"), "Two lines\nhere.");
}

TEST(Sentences, OnlyMatchesAfterASpaceLineEndQuoteOrParenthesisCount) {
  EXPECT_EQ(SentenceOf("Send an e-mail now.", "mail"), "-");
  EXPECT_EQ(SentenceOf("abc9mail.", "mail"), "-");
  EXPECT_EQ(SentenceOf("a.mail b.", "mail"), "-");
  EXPECT_EQ(SentenceOf("x\nmail b.", "mail"), "x\nmail b.");
  EXPECT_EQ(SentenceOf("x 'mail' b.", "mail"), "x 'mail' b.");
  // A word search finds the hyphenated word, the sentence builder drops it.
  EXPECT_EQ(SearchOneText(Sentences("mail"), "Send an e-mail. Read mail.").m_strOutput, "Read mail.\n");
}

TEST(Sentences, LongSentencesAreCutAt513BackAnd256Forward) {
  const std::string before(600, 'a');  // one long word, no terminator
  const std::string text = "Start " + before + " key " + std::string(300, 'b');
  const std::size_t at = text.find(" key ") + 1;
  const auto b = *FindSentence(text, at, 3, Cp1252());
  EXPECT_EQ(b.m_nStart, at - 513);
  EXPECT_EQ(b.m_nEnd, at + 3 + 256);

  // 513 back lands on a space: the sentence starts at the next letter.
  std::string spaced = std::string(700, 'x');
  spaced[at - 513] = ' ';
  spaced.replace(at - 1, 5, " key ");
  EXPECT_EQ(FindSentence(spaced, at, 3, Cp1252())->m_nStart, at - 512);

  // No terminator after the keyword: the sentence runs to the end of the text.
  EXPECT_EQ(SentenceOf("and so the key went on", "key"), "and so the key went on");
  // A terminator exactly 256 characters past the keyword is the last one taken.
  const std::string edge = "a key" + std::string(255, ' ') + ".x.";
  EXPECT_EQ(FindSentence(edge, 2, 3, Cp1252())->m_nEnd, 5u + 256u);
}

TEST(Sentences, TheStartNeverLeavesTheTextNorPassesTheKeyword) {
  // Punctuation before the first letter at the text's start is kept; nothing before
  // offset 0 is read.
  EXPECT_EQ(SentenceOf("\"Hello,\" she said.", "Hello"), "\"Hello,\" she said.");
  EXPECT_EQ(SentenceOf("Hello there.", "Hello"), "Hello there.");
  const std::string quoted = "(x";
  EXPECT_EQ(FindSentence(std::string_view(quoted).substr(1), 0, 1, Cp1252())->m_nStart, 0u);
  // A keyword without letters: the start stops at the keyword, one earlier for the
  // parenthesis before it.
  EXPECT_EQ(SentenceOf("Done. 1984 was a year.", "1984"), "1984 was a year.");
  EXPECT_EQ(SentenceOf("Done. (1984) was.", "1984"), "(1984) was.");
  const auto list = SearchOneText(Sentences("1984", true), "It. 1984 came.");
  EXPECT_EQ(list.m_strOutput, "1      1984 came.\n");
  EXPECT_EQ(list.m_arrKeyOffsets, std::vector<std::int64_t>{7});
}

TEST(Sentences, FourLayoutsNumberEachLineOnce) {
  const std::string text = "No. We met. We left.";
  const std::string path = "/t/a.txt";
  EXPECT_EQ(SearchOneText(Sentences("we", false, false), text, path).m_strOutput, "We met.\nWe left.\n");
  EXPECT_EQ(SearchOneText(Sentences("we", true, false), text, path).m_strOutput,
            "1      We met.\n2      We left.\n");
  EXPECT_EQ(SearchOneText(Sentences("we", false, true), text, path).m_strOutput,
            "We met. (/t/a.txt)\nWe left. (/t/a.txt)\n");
  const auto both = SearchOneText(Sentences("we", true, true), text, path);
  EXPECT_EQ(both.m_strOutput, "1      We met. (/t/a.txt)\n2      We left. (/t/a.txt)\n");
  EXPECT_EQ(both.m_arrKeyOffsets, (std::vector<std::int64_t>{7, 7}));
  EXPECT_EQ(both.m_arrLayout[1].m_nPrefix, 7);
  EXPECT_EQ(both.m_arrLayout[1].m_nBody, 8);
  EXPECT_EQ(both.m_arrLayout[1].m_nPath, 8);
  EXPECT_EQ(both.m_arrEntries[1].m_nPosition, 12);
  EXPECT_EQ(both.FileOf(both.m_arrEntries[1]), path);

  // Line 12 with both: the number padded to six places, the sentence, the path.
  std::string many;
  for (int i = 0; i < 12; ++i) many += "It was so. ";
  const auto twelve = SearchOneText(Sentences("so", true, true), many, path);
  ASSERT_EQ(twelve.Lines(), 12);
  EXPECT_EQ(twelve.m_strOutput.substr(static_cast<std::size_t>(twelve.m_arrLayout[11].m_nStart)),
            "12     It was so. (/t/a.txt)\n");
}

TEST(Sentences, NeverSortedAndAlwaysWholeWords) {
  auto s = Sentences("the");
  s.m_strSortMode = kSortRight;
  s.m_nMatchMode = kMatchAny;
  const std::string text = "See the zoo. Other things. See the ant.";
  auto search = std::move(*CConcordanceSearch::Create(s, {}));
  EXPECT_FALSE(search->Sorted());
  search->SearchText(text, "");
  const auto list = search->Finish();
  EXPECT_TRUE(list.m_bSentences);
  EXPECT_EQ(list.m_strOutput, "See the zoo.\nSee the ant.\n");
  for (const auto& entry : list.m_arrEntries) EXPECT_TRUE(entry.m_strSortKey.empty());
}

TEST(Sentences, KeywordsAreFormattedWhereTheyStandInTheirSentence) {
  auto s = Sentences("caf\xE9", true);
  auto search = std::move(*CConcordanceSearch::Create(s, {}));
  search->SearchText("Un caf\xE9. Le caf\xE9 noir.", "");
  const auto list = search->Finish();
  const auto ranges = search->Ranges(list);
  ASSERT_EQ(ranges.size(), 2u);
  EXPECT_EQ(ranges[1].m_nColumn, 3);
  EXPECT_EQ(ranges[1].m_kind, CFormatRange::kSentenceKeyword);
  const auto rendered = RenderUtf16(list, search->TextCodePage(), ranges);
  for (const auto& r : rendered.m_arrRanges)
    EXPECT_EQ(rendered.m_wstrText.substr(static_cast<std::size_t>(r.m_nStart), 4), u"caf\u00E9");
  EXPECT_EQ(RenderUtf8(list, search->TextCodePage()), "1      Un caf\xC3\xA9.\n2      Le caf\xC3\xA9 noir.\n");
}

TEST(Sentences, WideSentencesKeepSurrogatePairsWhole) {
  auto s = Sentences("key", true, true);
  auto search = std::move(*CWideConcordanceSearch::Create(s, {}));
  // 300 letters outside the BMP before the keyword: 513 units back falls between
  // the two halves of a pair.
  std::u16string text;
  for (int i = 0; i < 300; ++i) text += u"\U00010400";
  text += u"  key \u201Cend\u201D. More.";
  search->SearchText(text, "/t/\xC3\xA9.txt");
  const auto list = search->Finish();
  ASSERT_EQ(list.Lines(), 1);
  const std::u16string line = list.m_strOutput;
  const std::size_t body = 7;
  EXPECT_FALSE(U16_IS_TRAIL(line[body]));
  EXPECT_EQ(list.m_arrKeyOffsets[0], 7 + 513 - 1);
  EXPECT_EQ(line.substr(line.size() - 23), u" key \u201Cend\u201D. (/t/\u00E9.txt)\n");
  const auto rendered = RenderUtf16(list, search->Ranges(list));
  ASSERT_EQ(rendered.m_arrRanges.size(), 1u);
  EXPECT_EQ(rendered.m_wstrText.substr(static_cast<std::size_t>(rendered.m_arrRanges[0].m_nStart), 3), u"key");
  EXPECT_EQ(rendered.m_arrRanges[0].m_format.m_kind, CFormatRange::kSentenceKeyword);
}

}  // namespace
}  // namespace tessary

// Associated-word searches: the zones, the blanking of the line ends, several words
// in any order, their columns and colours, and the 16-bit variant.
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/associated_words.h"
#include "engine/concordance_search.h"
#include "engine/scan_paths.h"

namespace tessary {
namespace {

CSearchRequest Assoc(const std::string& node, std::vector<std::string> words, AssocZone zone = AssocZone::kAnywhere,
                      std::int64_t width = 20) {
  CSearchRequest s;
  s.m_strSearch = node;
  s.m_wstrSearch.assign(node.begin(), node.end());
  s.m_strSortMode = kUnsorted;
  s.m_nLineWidth = width;
  s.m_bLineNumbers = false;
  s.m_arrAssocWords = words;
  if (!words.empty()) s.m_wstrAssocWord.assign(words[0].begin(), words[0].end());
  s.m_assocZone = zone;
  return s;
}

struct Result {
  CAssembledList list;
  std::vector<CFormatRange> ranges;
  std::uint64_t matches = 0;
};

Result Search(const CSearchRequest& s, const std::string& text) {
  auto search = CConcordanceSearch::Create(s, {});
  EXPECT_TRUE(search) << search.Error();
  (*search)->SearchText(text, "/t/a.txt");
  Result r;
  r.matches = (*search)->Matches();
  r.list = (*search)->Finish();
  r.ranges = (*search)->Ranges(r.list);
  return r;
}

std::vector<std::string> Lines(const CAssembledList& list) {
  std::vector<std::string> lines;
  for (std::int64_t i = 0; i < list.Lines(); ++i) {
    const auto& l = list.m_arrLayout[static_cast<std::size_t>(i)];
    lines.push_back(list.m_strOutput.substr(static_cast<std::size_t>(l.m_nStart + l.m_nPrefix),
                                            static_cast<std::size_t>(l.m_nBody)));
  }
  return lines;
}

TEST(AssociatedWords, EachZoneKeepsOnlyTheLinesWithTheWordOnItsSide) {
  const std::string right = "we make a decision now";
  const std::string left = "a decision to make";
  for (AssocZone zone : {AssocZone::kRight, AssocZone::kLeft, AssocZone::kAnywhere}) {
    const auto s = Assoc("make", {"decision"}, zone);
    EXPECT_EQ(Search(s, right).list.Lines(), zone == AssocZone::kLeft ? 0 : 1);
    EXPECT_EQ(Search(s, left).list.Lines(), zone == AssocZone::kRight ? 0 : 1);
  }
  const auto kept = Search(Assoc("make", {"decision"}, AssocZone::kRight), right);
  EXPECT_EQ(Lines(kept.list)[0], std::string(17, ' ') + "we make a decision now" + std::string(6, ' '));
  EXPECT_EQ(kept.list.m_arrAssoc1, std::vector<std::int64_t>{27});
  EXPECT_TRUE(kept.list.m_arrAssoc2.empty());
  EXPECT_EQ(kept.matches, 1u);
  EXPECT_EQ(Search(Assoc("make", {"decision"}, AssocZone::kLeft), right).matches, 0u);
}

TEST(AssociatedWords, LeftZoneOnlyTriesStartsBeforeTheNodeWord) {
  // "ab" starts inside the left context only where the text has it before the node.
  const auto s = Assoc("node", {"ab"}, AssocZone::kLeft, 6);
  EXPECT_EQ(Search(s, "x ab node cd y").list.Lines(), 1);
  EXPECT_EQ(Search(s, "x cd node ab y").list.Lines(), 0);
  // A start at W - 1 still counts, a start at W is the node's own column.
  EXPECT_EQ(Search(Assoc("node", {"a"}, AssocZone::kLeft, 6), "xxx a node").list.m_arrAssoc1,
            std::vector<std::int64_t>{4});
}

TEST(AssociatedWords, BlankingStaysInTheContextsAndHidesCutWords) {
  std::string line = "abcdefNODEghijk";
  BlankPartialWords(std::span<char>(line), 6, 4);
  EXPECT_EQ(line, "      NODE     ");  // no space anywhere: the node word stays
  line = "ab cd NODE ef gh";
  BlankPartialWords(std::span<char>(line), 6, 4);
  EXPECT_EQ(line, "   cd NODE ef   ");
  std::u16string wide = u"xy z NODE a bc";
  BlankPartialWords(std::span<char16_t>(wide), 5, 4);
  EXPECT_EQ(wide, u"   z NODE a   ");

  // 'decision' cut by the right end of the line is blanked, so it is not found, and
  // the blanked spaces stay in a kept line.
  const auto cut = Assoc("make", {"decis"}, AssocZone::kRight, 6);
  EXPECT_EQ(Search(cut, "we make a decision").list.Lines(), 0);
  const auto kept = Search(Assoc("make", {"a"}, AssocZone::kRight, 6), "we make a decision");
  EXPECT_EQ(Lines(kept.list)[0], "   we make a     ");

  // With any-string matching the node can sit inside a word that fills the line.
  auto solidSettings = Assoc("make", {"make"}, AssocZone::kAnywhere, 3);
  solidSettings.m_nMatchMode = kMatchAny;
  const auto solid = Search(solidSettings, "abcmakedefg");
  ASSERT_EQ(solid.list.Lines(), 1);
  EXPECT_EQ(Lines(solid.list)[0], "   make    ");
}

TEST(AssociatedWords, TwoOrThreeWordsMustAllStandInTheZoneInAnyOrder) {
  const auto two = Assoc("make", {"firm", "decision"}, AssocZone::kRight);
  EXPECT_EQ(Search(two, "we make a firm decision now").list.Lines(), 1);
  EXPECT_EQ(Search(two, "we make a decision, firm now").list.Lines(), 1);
  EXPECT_EQ(Search(two, "we make a decision now and go").list.Lines(), 0);
  EXPECT_EQ(Search(two, "a firm man will make a decision now").list.Lines(), 0);

  const auto three = Assoc("make", {"decision", "we", "firm"});
  const auto r = Search(three, "so we make a firm decision now and then");
  ASSERT_EQ(r.list.Lines(), 1);
  EXPECT_EQ(Lines(r.list)[0], std::string(14, ' ') + "so we make a firm decision now ");
  EXPECT_EQ(r.list.m_arrAssoc1, std::vector<std::int64_t>{32});
  EXPECT_EQ(r.list.m_arrAssoc2, std::vector<std::int64_t>{17});
  EXPECT_EQ(r.list.m_arrAssoc3, std::vector<std::int64_t>{27});
  EXPECT_EQ(Search(three, "so we make a decision now and then").list.Lines(), 0);
}

TEST(AssociatedWords, WordsMatchWholeAndCaseInsensitiveWhateverTheNodeMode) {
  auto s = Assoc("ake", {"DECISION"}, AssocZone::kRight);
  s.m_nMatchMode = kMatchAny;
  EXPECT_EQ(Search(s, "we make a Decision now").list.Lines(), 1);
  EXPECT_EQ(Search(s, "we make decisions now").list.Lines(), 0);
  EXPECT_EQ(Search(s, "we make indecision now").list.Lines(), 0);
  EXPECT_EQ(Search(s, "we make decision9 now").list.Lines(), 1);  // a digit is no letter
  // An accented letter is a letter of the code page, so the word goes on.
  EXPECT_EQ(Search(s, "we make decision\xE9 now").list.Lines(), 0);
  EXPECT_EQ(Search(Assoc("make", {"g%t"}), "make them get it").list.Lines(), 1);
}

TEST(AssociatedWords, ColumnsCountTheNumberPrefixAndFollowTheSortedLines) {
  ::setenv("LC_ALL", "C", 1);
  auto s = Assoc("make", {"decision"}, AssocZone::kAnywhere, 14);
  s.m_bLineNumbers = true;
  s.m_strSortMode = kSortRight;
  const auto r = Search(s, "make the decision now. we decision make a call.");
  ASSERT_EQ(r.list.Lines(), 2);
  // Sorted: "make a call" before "make the decision".
  EXPECT_EQ(r.list.m_arrEntries[0].m_nPosition, 35);
  EXPECT_EQ(Lines(r.list)[0], "  we decision make a call.       ");  // the full stop blanked
  EXPECT_EQ(r.list.m_arrAssoc1, (std::vector<std::int64_t>{7 + 5, 7 + 23}));
  std::vector<std::pair<int, std::int64_t>> words;
  for (const auto& range : r.ranges)
    if (range.m_kind == CFormatRange::kAssociated1) words.push_back({static_cast<int>(range.m_nLine), range.m_nColumn});
  EXPECT_EQ(words, (std::vector<std::pair<int, std::int64_t>>{{0, 5}, {1, 23}}));

  // The kinds and where each word stands in the rendered text.
  auto three = Assoc("make", {"we", "firm", "decision"});
  three.m_bLineNumbers = true;
  const auto t = Search(three, "we make a firm decision");
  auto search = std::move(*CConcordanceSearch::Create(three, {}));
  const auto rendered = RenderUtf16(t.list, search->TextCodePage(), t.ranges);
  std::vector<std::pair<std::u16string, CFormatRange::Kind>> kinds;
  for (const auto& range : rendered.m_arrRanges)
    kinds.push_back({rendered.m_wstrText.substr(static_cast<std::size_t>(range.m_nStart),
                                                static_cast<std::size_t>(range.m_nLength)),
                     range.m_format.m_kind});
  EXPECT_EQ(kinds, (std::vector<std::pair<std::u16string, CFormatRange::Kind>>{{u"make", CFormatRange::kKeyword},
                                                                               {u"we", CFormatRange::kAssociated1},
                                                                               {u"firm", CFormatRange::kAssociated2},
                                                                               {u"decision", CFormatRange::kAssociated3}}));
}

TEST(AssociatedWords, SortPositionKeysAreTheFirstWordsColumn) {
  auto s = Assoc("make", {"decision"}, AssocZone::kAnywhere, 14);
  s.m_strSortMode = kSortPosition;
  const auto r = Search(s, "a decision to make it");
  ASSERT_EQ(r.list.Lines(), 1);
  EXPECT_EQ(r.list.m_arrEntries[0].m_strSortKey, "2");
  s.m_arrAssocWords.clear();
  EXPECT_EQ(Search(s, "a decision to make it").list.m_arrEntries[0].m_strSortKey, "14");
}

TEST(AssociatedWords, CountingAndSentenceRequestsIgnoreWords) {
  const auto s = Assoc("make", {"decision"}, AssocZone::kRight);
  auto counter = std::move(*CConcordanceSearch::Create(s, {}, true));
  counter->SearchText("we make a decision. make no decision. a decision to make", "");
  EXPECT_EQ(counter->Matches(), 2u);

  // A request without words is a plain search; a sentence request never filters.
  EXPECT_EQ(Search(Assoc("make", {}), "make it").list.Lines(), 1);
  auto sentence = Assoc("make", {"decision"});
  sentence.m_bSentences = true;
  EXPECT_FALSE(sentence.IsAssociated());
  EXPECT_EQ(Search(sentence, "make it.").list.Lines(), 1);
}

TEST(AssociatedWords, WideSearchesTakeOneWordInItalicUnderlinedRed) {
  auto s = Assoc("make", {"d\xE9" "cision"}, AssocZone::kRight);
  s.m_wstrAssocWord = u"D\u00C9CISION";
  auto search = std::move(*CWideConcordanceSearch::Create(s, {}));
  search->SearchText(u"we make a d\u00E9cision now. a d\u00E9cision to make", "");
  search->SearchText(u"we make d\u00E9cisions", "");
  const auto list = search->Finish();
  ASSERT_EQ(list.Lines(), 1);
  EXPECT_EQ(list.m_arrAssoc1, std::vector<std::int64_t>{27});
  const auto rendered = RenderUtf16(list, search->Ranges(list));
  ASSERT_EQ(rendered.m_arrRanges.size(), 2u);
  const auto& word = rendered.m_arrRanges[1];
  EXPECT_EQ(rendered.m_wstrText.substr(static_cast<std::size_t>(word.m_nStart), 8), u"d\u00E9cision");
  EXPECT_EQ(word.m_format.m_kind, CFormatRange::kAssociated1);
  // '%' is an ordinary character in 16-bit text.
  s.m_wstrAssocWord = u"d%cision";
  auto literal = std::move(*CWideConcordanceSearch::Create(s, {}));
  literal->SearchText(u"we make a d\u00E9cision now", "");
  EXPECT_EQ(literal->Finish().Lines(), 0);
}

}  // namespace
}  // namespace tessary

// Collocate lists: the word rules, counting with case folding, the two orders, the
// saved file, the refusals, and lists counted from real sorted searches.
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/collocates.h"
#include "engine/concordance_search.h"
#include "engine/scan_paths.h"

namespace tessary {
namespace {

using test::Cp1252;

std::vector<CConcordanceEntry> Keys(std::initializer_list<const char*> keys) {
  std::vector<CConcordanceEntry> entries;
  for (const char* key : keys) {
    entries.emplace_back();
    entries.back().m_strSortKey = key;
  }
  return entries;
}

using Counts = std::vector<std::pair<std::string, std::int64_t>>;
Counts Flat(const std::vector<CCollocateItem>& items) {
  Counts out;
  for (const auto& item : items) out.push_back({item.m_strWord, item.m_nCount});
  return out;
}

TEST(Collocates, WordsDifferingInCaseAreOneItemSpelledAsTheFirst) {
  const auto entries = Keys({"of the sea", "the cat", "The dog", "the end"});
  EXPECT_EQ(Flat(CountCollocates(entries, true, false, Cp1252())), (Counts{{"of", 1}, {"the", 3}}));
  // Accented capitals fold by the code page.
  EXPECT_EQ(Flat(CountCollocates(Keys({"\xC9t\xC9 x", "\xE9t\xE9!"}), true, false, Cp1252())),
            (Counts{{"\xC9t\xC9", 2}}));
}

TEST(Collocates, RightAndLeftListsEndAWordDifferently) {
  EXPECT_EQ(CollocateWord("A4 paper", true, false, Cp1252()), "A4");
  EXPECT_EQ(CollocateWord("A4 paper", false, false, Cp1252()), "A");
  EXPECT_EQ(CollocateWord("don't go", true, false, Cp1252()), "don");
  // Left lists keep '{' to '~' and every byte from 0x80 up in the word.
  EXPECT_EQ(CollocateWord("a~b\x80" "c d", false, false, Cp1252()), "a~b\x80" "c");
  EXPECT_EQ(CollocateWord("a~b d", true, false, Cp1252()), "a");
  EXPECT_EQ(CollocateWord("word", true, false, Cp1252()), "word");
  // Double-byte right lists take the whole key, left lists the word rule.
  const auto big5 = std::move(*CCodePage::Open(950));
  EXPECT_EQ(CollocateWord("\xA4\xA4\xA4\xE5", true, true, *big5), "\xA4\xA4\xA4\xE5");
  EXPECT_EQ(CountCollocates(Keys({"\xA4\xA4\xA4\xE5", "\xA4\xA4\xA4\xE5", "\xA4\xE5"}), true, true, *big5).size(), 2u);
}

TEST(Collocates, RunsPartedByTheCollationStillCountAsOne) {
  // Hyphens are ignorable in the sort, so "the-end" sorts after "theater".
  const auto entries = Keys({"the cat", "the zoo", "theater", "the-end", ""});
  EXPECT_EQ(Flat(CountCollocates(entries, true, false, Cp1252())), (Counts{{"the", 3}, {"theater", 1}}));
}

TEST(Collocates, OrdersAndTheSavedFile) {
  CCollocateList list;
  list.m_strKeyword = "make";
  list.m_arrItems = CountCollocates(Keys({"a", "a", "Be", "it", "it", "it", "up"}), true, false, Cp1252());
  EXPECT_EQ(CollocateFileText(list),
            "Right collocates for [ make ] = 4   \n"
            "1                      a\t2\n"
            "2                     Be\t1\n"
            "3                     it\t3\n"
            "4                     up\t1\n");
  SortByFrequency(list.m_arrItems);
  EXPECT_EQ(Flat(list.m_arrItems), (Counts{{"it", 3}, {"a", 2}, {"Be", 1}, {"up", 1}}));
  SortByString(list.m_arrItems, Cp1252());
  EXPECT_EQ(Flat(list.m_arrItems), (Counts{{"a", 2}, {"Be", 1}, {"it", 3}, {"up", 1}}));
  list.m_bRight = false;
  list.m_arrItems = {{"abcdefghijklmnopqrstuvwxyz", 12345}};
  EXPECT_EQ(CollocateFileText(list),
            "Left collocates for [ make ] = 1   \n"
            "1   abcdefghijklmnopqrstuvwxyz\t12345\n");
  EXPECT_LT(CompareCollocateWords("apple", "BANANA", Cp1252()), 0);
  EXPECT_EQ(CompareCollocateWords("Apple", "aPPLE", Cp1252()), 0);
}

TEST(Collocates, RefusalsComeInOrder) {
  CConcordanceList window;
  window.m_request.m_bUnicode = true;
  EXPECT_EQ(CheckCollocates(window), CollocateRefusal::kUnicode);
  window.m_request.m_bUnicode = false;
  EXPECT_EQ(CheckCollocates(window), CollocateRefusal::kNotSorted);
  EXPECT_EQ(CollocateRefusalMessage(CollocateRefusal::kNotSorted), "First create sorted List");
  window.m_bSorted = true;
  EXPECT_EQ(CheckCollocates(window), CollocateRefusal::kNoEntries);
  EXPECT_EQ(CollocateRefusalMessage(CollocateRefusal::kNoEntries), "There is no collocate list");
  window.m_arrEntries.resize(1);
  EXPECT_EQ(CheckCollocates(window), CollocateRefusal::kNone);
  window.m_request.m_bSentences = true;
  EXPECT_EQ(CheckCollocates(window), CollocateRefusal::kNotSorted);
}

CCollocateList FromSearch(const char* sortMode, int distance, const std::string& text) {
  ::setenv("LC_ALL", "C", 1);
  CSearchRequest s;
  s.m_strSearch = "make";
  s.m_strSortMode = sortMode;
  s.m_nSortDistance = distance;
  s.m_nLineWidth = 20;
  auto search = std::move(*CConcordanceSearch::Create(s, {}));
  search->SearchText(text, "");
  CConcordanceList window;
  window.m_request = s;
  window.m_bSorted = search->Sorted();
  window.m_bSortLeft = s.m_strSortMode == kSortLeft;
  const auto keyed = search->Finish().m_arrEntries;
  window.TakeEntries(keyed);
  EXPECT_EQ(CheckCollocates(window), CollocateRefusal::kNone);
  return CountCollocates(window, keyed, search->TextCodePage());
}

TEST(Collocates, CountedFromSortedSearchesAtEachDistance) {
  const std::string text =
      "we make it so. they Make It big. you make up time. I make it. To make UP. "
      "we make a very good cake.";
  EXPECT_EQ(Flat(FromSearch(kSortRight, 1, text).m_arrItems), (Counts{{"a", 1}, {"It", 3}, {"up", 2}}));
  EXPECT_EQ(Flat(FromSearch(kSortRight, 2, text).m_arrItems),
            (Counts{{"big", 1}, {"so", 1}, {"time", 1}, {"To", 1}, {"very", 1}, {"we", 1}}));
  const auto left = FromSearch(kSortLeft, 1, text);
  EXPECT_FALSE(left.m_bRight);
  EXPECT_EQ(Flat(left.m_arrItems), (Counts{{"I", 1}, {"they", 1}, {"To", 1}, {"we", 2}, {"you", 1}}));
}

}  // namespace
}  // namespace tessary

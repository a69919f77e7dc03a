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
  EXPECT_EQ(CheckCollocates(window), CollocateRefusal::kNotSorted);
  EXPECT_EQ(CollocateRefusalMessage(CollocateRefusal::kNotSorted), "First create sorted List");
  window.m_bSorted = true;
  EXPECT_EQ(CheckCollocates(window), CollocateRefusal::kNoEntries);
  EXPECT_EQ(CollocateRefusalMessage(CollocateRefusal::kNoEntries), "There is no collocate list");
  window.m_arrEntries.resize(1);
  EXPECT_EQ(CheckCollocates(window), CollocateRefusal::kNone);
  // 16-bit lists are counted like byte lists.
  window.m_request.m_bUnicode = true;
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
  window.TakeEntries(keyed, {});
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

// A sorted list window as the program holds it: the request and the lines' text.
CConcordanceList SortedWindow(bool bLeft, int distance, bool numbers) {
  CConcordanceList window;
  window.m_request.m_strSearch = "make";
  window.m_request.m_wstrSearch = u"make";
  window.m_request.m_nLineWidth = 10;
  window.m_request.m_nSortDistance = distance;
  window.m_request.m_bLineNumbers = numbers;
  window.m_bSorted = true;
  window.m_bSortLeft = bLeft;
  window.m_bSortRight = !bLeft;
  return window;
}

TEST(Collocates, CollectedFromTheWindowTextBySideAndDistance) {
  // Width 10: the keyword at column 10 of each body.
  const std::string text =
      "   we all make it so.  \n"
      "1       they did make It big.  \n"  // numbered by hand: measured per line
      "  you can make up time.\n";
  auto right = CollectCollocates(SortedWindow(false, 1, true), text, Cp1252());
  ASSERT_TRUE(right);
  EXPECT_TRUE(right->m_bRight);
  EXPECT_EQ(right->m_strKeyword, "make");
  EXPECT_EQ(Flat(right->m_arrItems), (Counts{{"it", 2}, {"up", 1}}));
  auto second = CollectCollocates(SortedWindow(false, 2, true), text, Cp1252());
  EXPECT_EQ(Flat(second->m_arrItems), (Counts{{"so", 1}, {"big", 1}, {"time", 1}}));
  auto left = CollectCollocates(SortedWindow(true, 1, true), text, Cp1252());
  EXPECT_FALSE(left->m_bRight);
  EXPECT_EQ(Flat(left->m_arrItems), (Counts{{"all", 1}, {"did", 1}, {"can", 1}}));
  // A stop while keying gives no list.
  EXPECT_FALSE(CollectCollocates(SortedWindow(false, 1, false), text, Cp1252(),
                                 [](std::uint64_t, std::uint64_t) { return false; }));
}

using WideCounts = std::vector<std::pair<std::u16string, std::int64_t>>;
WideCounts Flat(const std::vector<CWideCollocateItem>& items) {
  WideCounts out;
  for (const auto& item : items) out.push_back({item.m_wstrWord, item.m_nCount});
  return out;
}

TEST(WideCollocates, WordsByUnicodePropertiesTwoCharactersInUnspacedScripts) {
  EXPECT_EQ(WideCollocateWord(u"\u041A\u043E\u04424 \u0438", true), u"\u041A\u043E\u04424");
  EXPECT_EQ(WideCollocateWord(u"\u041A\u043E\u04424 \u0438", false), u"\u041A\u043E\u0442");
  EXPECT_EQ(WideCollocateWord(u"\u5750\u5728\u57AB\u5B50\u4E0A", true), u"\u5750\u5728");
  EXPECT_EQ(WideCollocateWord(u"\u5750\u3002", true), u"\u5750");
  EXPECT_EQ(WideCollocateWord(u"USB\u63A5\u53E3", true), u"USB");
  // A character outside the basic plane is one character, never half a pair.
  EXPECT_EQ(WideCollocateWord(u"\U00020000\U00020001\U00020002", true), u"\U00020000\U00020001");
  EXPECT_EQ(WideCollocateWord(u"\u00BB x", true), u"");
}

TEST(WideCollocates, CyrillicCaseFoldsIntoOneItemAndSortsAndSaves) {
  std::vector<CWideConcordanceEntry> entries(4);
  entries[0].m_wstrSortKey = u"\u043A\u043E\u0442 \u0441\u0438\u0434\u0438\u0442";  // кот сидит
  entries[1].m_wstrSortKey = u"\u041A\u043E\u0442!";                                    // Кот!
  entries[2].m_wstrSortKey = u"\u0434\u043E\u043C";                                     // дом
  entries[3].m_wstrSortKey = u"\u0434\u043E\u043C";
  CWideCollocateList list;
  list.m_wstrKeyword = u"\u0431\u0435\u043B\u044B\u0439";
  list.m_arrItems = CountWideCollocates(entries, true);
  EXPECT_EQ(Flat(list.m_arrItems), (WideCounts{{u"\u043A\u043E\u0442", 2}, {u"\u0434\u043E\u043C", 2}}));
  SortByString(list.m_arrItems);
  EXPECT_EQ(list.m_arrItems.front().m_wstrWord, u"\u0434\u043E\u043C");
  list.m_arrItems.front().m_nCount = 1;
  SortByFrequency(list.m_arrItems);
  EXPECT_EQ(list.m_arrItems.front().m_wstrWord, u"\u043A\u043E\u0442");
  EXPECT_EQ(CompareWideCollocateWords(u"\u041A\u041E\u0422", u"\u043A\u043E\u0442"), 0);
  EXPECT_EQ(WideCollocateFileText(list),
            u"Right collocates for [ \u0431\u0435\u043B\u044B\u0439 ] = 2   \n"
            u"1                    \u043A\u043E\u0442\t2\n"
            u"2                    \u0434\u043E\u043C\t1\n");
}

TEST(WideCollocates, CollectedFromChineseAndCyrillicWindowText) {
  CConcordanceList window = SortedWindow(false, 1, false);
  window.m_request.m_bUnicode = true;
  window.m_request.m_nLineWidth = 3;
  window.m_request.m_wstrSearch = u"\u732B";  // 猫
  window.m_request.m_nMatchMode = kMatchAny;    // text without spaces is searched for any string
  // 我的猫坐在垫子上 / 那只猫坐着 / 这只猫睡觉
  const std::u16string text = u"\u6211\u7684\u732B\u5750\u5728\u57AB\n"
                              u"\u90A3\u53EA\u732B\u5750\u7740\u3002\n"
                              u"\u8FD9\u53EA\u732B\u7761\u89C9\u3002\n";
  window.m_request.m_nLineWidth = 2;
  auto chinese = CollectWideCollocates(window, text);
  ASSERT_TRUE(chinese);
  EXPECT_EQ(Flat(chinese->m_arrItems), (WideCounts{{u"\u5750\u5728", 1}, {u"\u5750\u7740", 1}, {u"\u7761\u89C9", 1}}));
  window.m_bSortLeft = true;
  auto left = CollectWideCollocates(window, text);
  EXPECT_FALSE(left->m_bRight);
  EXPECT_EQ(Flat(left->m_arrItems), (WideCounts{{u"\u6211\u7684", 1}, {u"\u90A3\u53EA", 1}, {u"\u8FD9\u53EA", 1}}));

  CConcordanceList cyr = SortedWindow(false, 1, true);
  cyr.m_request.m_bUnicode = true;
  cyr.m_request.m_nLineWidth = 4;
  cyr.m_request.m_wstrSearch = u"\u043A\u043E\u0442";  // кот
  const std::u16string lines = u"1      \u044D\u0442\u043E \u043A\u043E\u0442 \u0441\u043F\u0438\u0442\n"
                               u"2      \u044D\u0442\u043E \u043A\u043E\u0442 \u0421\u043F\u0438\u0442.\n";
  auto counted = CollectWideCollocates(cyr, lines);
  EXPECT_EQ(Flat(counted->m_arrItems), (WideCounts{{u"\u0441\u043F\u0438\u0442", 2}}));
}

}  // namespace
}  // namespace tessary

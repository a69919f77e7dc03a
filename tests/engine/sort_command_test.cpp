#include <gtest/gtest.h>

#include <algorithm>

#include "engine/number_prefix.h"
#include "engine/sort_command.h"

namespace tessary {
namespace {

class SortCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    m_cp = *CCodePage::Open(1252);
    m_collator = *CSortCollator::ForLocale("");
    m_source.m_request.m_strSearch = "cat";
    m_source.m_request.m_nLineWidth = 10;
    m_source.m_request.m_bLineNumbers = false;
  }
  CSortOutcome Sort(std::string_view text, bool bRight = true, const ProgressFn& gather = {},
                    const ProgressFn& copy = {}) {
    return SortList(m_source, text, bRight, 1, *m_collator, *m_cp, gather, copy);
  }
  static std::string Text(std::string_view source, const CSortOutcome& o) {
    return SortedText(source, o.m_sorted.m_arrOrder);
  }
  std::shared_ptr<const CCodePage> m_cp;
  std::shared_ptr<const CSortCollator> m_collator;
  CConcordanceList m_source;
};

// Ten columns of left context, the keyword, then the right context.
const std::string kLines[] = {"saw a big cat sat down  ", "  and the cat, ate it   ",
                              "  a black cat sat again ", "  a small cat."};

TEST_F(SortCommand, RefusalsComeInOrderAndOpenNothing) {
  EXPECT_EQ(CheckSortable(nullptr), SortRefusal::kNotAList);
  m_source.m_bSorted = m_source.m_request.m_bSentences = true;
  EXPECT_EQ(SortRefusalMessage(CheckSortable(&m_source)),
            "This window lists concordances which have already been sorted. Select an unsorted "
            "list window to run another sort.");
  EXPECT_TRUE(Sort(kLines[0]).m_bGatherStopped);
  m_source.m_bSorted = false;
  EXPECT_EQ(SortRefusalMessage(CheckSortable(&m_source)),
            "You cannot sort collocates for sentences. Run a normal concordance search to get an "
            "unsorted list window before running a collocate sort.");
  m_source.m_request.m_bSentences = false;
  m_source.m_request.m_bTestMode = true;
  EXPECT_EQ(CheckSortable(&m_source), SortRefusal::kNotAList);
  EXPECT_EQ(SortRefusalMessage(SortRefusal::kNotAList), "");
}

TEST_F(SortCommand, SortsIntoANewListThatKeepsEachLinesSource) {
  m_source.m_request.m_bFileReference = true;
  m_source.m_arrSources = {"a.txt", "b.txt"};
  // One entry short: an edited window can hold more lines than the search found.
  for (int i = 0; i < 3; ++i) m_source.m_arrEntries.push_back({100 + i, static_cast<std::uint32_t>(i % 2), 0, 0});
  const std::string text = kLines[0] + "\n" + kLines[1] + "\n" + kLines[2] + "\n" + kLines[3];

  auto right = Sort(text);
  EXPECT_EQ(right.m_sorted.m_arrOrder, (std::vector<std::int64_t>{3, 1, 2, 0}));
  EXPECT_EQ(Text(text, right), kLines[3] + "\n" + kLines[1] + "\n" + kLines[2] + "\n" + kLines[0] + "\n");
  const CConcordanceList& list = right.m_sorted.m_list;
  EXPECT_TRUE(list.m_bSorted && list.m_bSortRight && list.m_request.m_bFileReference && !list.m_bSortLeft);
  EXPECT_EQ(list.m_arrEntries[1].m_nPosition, 101);
  EXPECT_EQ(list.SourceOf(list.m_arrEntries[1]), "b.txt");
  EXPECT_EQ(list.m_arrEntries[1].m_nKeyOffset, 15);  // "ate", after the comma
  EXPECT_EQ(list.m_arrEntries[1].m_nKeyLength, 3);
  EXPECT_EQ(list.SourceOf(list.m_arrEntries[3]), "a.txt");
  EXPECT_EQ(list.m_arrEntries[0].m_nPosition, 0);  // the line the search never recorded

  auto left = Sort(text, false);
  EXPECT_EQ(left.m_sorted.m_arrOrder, (std::vector<std::int64_t>{0, 2, 3, 1}));
  EXPECT_TRUE(left.m_sorted.m_list.m_bSortLeft);
}

TEST_F(SortCommand, NumberedLinesKeepTheirNumbersAndKeyColumn) {
  m_source.m_request.m_bLineNumbers = true;
  const std::string a = NumberPrefix(999999) + "  saw the cat zebra";
  const std::string b = NumberPrefix(1000000) + "  saw the cat apple";
  // Lines longer than 255 characters are read and copied whole.
  const std::string c = NumberPrefix(1000001) + "  saw the cat mouse" + std::string(300, '.');
  const std::string text = a + "\n" + b + "\n" + c + "\n";
  auto o = Sort(text);
  EXPECT_EQ(Text(text, o), b + "\n" + c + "\n" + a + "\n");
  EXPECT_EQ(o.m_sorted.m_list.m_arrEntries[0].m_nKeyOffset, 14);

  EXPECT_EQ(Text("", Sort("")), "");
  EXPECT_EQ(Text(kLines[2] + "\n", Sort(kLines[2] + "\n")), kLines[2] + "\n");
}

TEST_F(SortCommand, StopInGatherOpensNothingStopInCopyKeepsTheLinesSoFar) {
  std::string text;
  for (int i = 0; i < 1000; ++i) text += kLines[i % 4] + "\n";
  // Gathering reports while it keys the lines, then while it builds the collation keys;
  // a stop in either opens nothing.
  for (bool bRight : {true, false}) {
    for (int stopAt : {3, 150}) {
      int calls = 0;
      auto o = Sort(text, bRight, [&](std::uint64_t, std::uint64_t) { return ++calls < stopAt; });
      EXPECT_TRUE(o.m_bGatherStopped && o.m_sorted.m_arrOrder.empty());
    }
  }
  int calls = 0;
  auto o = Sort(text, true, [&](std::uint64_t, std::uint64_t) { return ++calls > 0; },
                [](std::uint64_t done, std::uint64_t) { return done < 500; });
  EXPECT_EQ(calls, 200);
  EXPECT_TRUE(o.m_sorted.m_bStopped && !o.m_sorted.m_list.m_bSorted);
  EXPECT_EQ(o.m_sorted.m_arrOrder.size(), 500u);
  EXPECT_EQ(o.m_sorted.m_list.m_arrEntries.size(), 500u);
}

TEST_F(SortCommand, DoubleByteListsUseTheirOwnLanguagesKeys) {
  m_source.m_request.m_language.m_kind = TextLanguageKind::kBig5;
  m_source.m_request.m_nLineWidth = 2;
  m_source.m_request.m_strSearch = "\xA4\xA4";
  // As bytes the keys would be the trail bytes 'A' and 'B'; as characters they are
  // U+4E59 and U+4E01, which sort the other way round.
  const std::string a = "  \xA4\xA4 \xA4\x41", b = "  \xA4\xA4 \xA4\x42";
  auto o = SortList(m_source, a + "\n" + b + "\n", true, 1, *m_collator, **CCodePage::Open(950));
  EXPECT_EQ(o.m_sorted.m_arrOrder, (std::vector<std::int64_t>{1, 0}));
  EXPECT_EQ(o.m_sorted.m_list.Language().m_kind, TextLanguageKind::kBig5);
}

TEST_F(SortCommand, AStarredSearchKeysTheLinesByTheRestOfTheWord) {
  // The window was searched for "walk*": a prefix search for "walk".
  m_source.m_request.m_strSearch = "walk*";
  m_source.m_request.m_nLineWidth = 4;
  const std::string text = " to walking to\nsay walked in\n";
  auto sorted = Sort(text);
  EXPECT_EQ(Text(text, sorted), "say walked in\n to walking to\n");
  EXPECT_EQ(sorted.m_sorted.m_list.m_arrEntries[0].m_nKeyOffset, 8);
}

// 16-bit lists are keyed by the 16-bit collocate rule, never through a code page.
class WideSortCommand : public SortCommand {
 protected:
  void SetUp() override {
    SortCommand::SetUp();
    m_source.m_request.m_bUnicode = true;
    m_source.m_request.m_bLineNumbers = true;
    m_source.m_arrSources = {"/texts/ru.txt", "/texts/zh.txt"};
  }
  CSortOutcome SortWide(std::u16string_view text, bool bRight) {
    return SortWideList(m_source, text, bRight, 1, *m_collator);
  }
};

TEST_F(WideSortCommand, CyrillicListsSortBothWaysAndKeepFileAndPosition) {
  m_source.m_request.m_wstrSearch = u"кот";
  m_source.m_request.m_nLineWidth = 7;
  // "%-6d " numbers, seven characters of left context, the keyword, the right context.
  const std::u16string lines[] = {u"1       белый кот спит  ", u"2      чёрный кот ест   ",
                                  u"3       рыжий кот бежит "};
  for (int i = 0; i < 3; ++i) m_source.m_arrEntries.push_back({10 * i, 0, 0, 0});
  const std::u16string text = lines[0] + u"\n" + lines[1] + u"\n" + lines[2] + u"\n";

  auto right = SortWide(text, true);  // бежит, ест, спит
  EXPECT_EQ(right.m_sorted.m_arrOrder, (std::vector<std::int64_t>{2, 1, 0}));
  const CConcordanceList& list = right.m_sorted.m_list;
  EXPECT_TRUE(list.m_bSorted && list.m_bSortRight && list.Unicode());
  EXPECT_EQ(list.m_arrEntries[0].m_nPosition, 20);
  EXPECT_EQ(list.SourceOf(list.m_arrEntries[0]), "/texts/ru.txt");
  EXPECT_EQ(SortedText(std::u16string_view(text), right.m_sorted.m_arrOrder),
            lines[2] + u"\n" + lines[1] + u"\n" + lines[0] + u"\n");

  auto left = SortWide(text, false);  // белый, рыжий, чёрный
  EXPECT_EQ(left.m_sorted.m_arrOrder, (std::vector<std::int64_t>{0, 2, 1}));
  EXPECT_EQ(left.m_sorted.m_list.m_arrEntries[1].m_nPosition, 20);
}

TEST_F(WideSortCommand, ChineseListsSortByTheCharactersAroundTheKeyword) {
  m_source.m_request.m_wstrSearch = std::u16string(1, u'\u6C34');  // 水
  m_source.m_request.m_nLineWidth = 2;
  m_source.m_request.m_nMatchMode = kMatchAny;
  // Code points order these: 一 U+4E00 < 丁 U+4E01 < 丈 U+4E08 < 三 U+4E09 < 上 U+4E0A < 下 U+4E0B.
  const std::u16string lines[] = {u"1      三三水上上 ", u"2      一一水下下 ", u"3      丈丈水丁丁 "};
  for (int i = 0; i < 3; ++i) m_source.m_arrEntries.push_back({i, 1, 0, 0});
  const std::u16string text = lines[0] + u"\n" + lines[1] + u"\n" + lines[2] + u"\n";
  auto right = SortWide(text, true);
  EXPECT_EQ(right.m_sorted.m_arrOrder, (std::vector<std::int64_t>{2, 0, 1}));
  EXPECT_EQ(SortWide(text, false).m_sorted.m_arrOrder, (std::vector<std::int64_t>{1, 2, 0}));
  for (const auto& e : right.m_sorted.m_list.m_arrEntries) EXPECT_EQ(right.m_sorted.m_list.SourceOf(e), "/texts/zh.txt");
  EXPECT_EQ(right.m_sorted.m_list.m_arrEntries[0].m_nPosition, 2);
  // A byte sort refuses a 16-bit list rather than decode it through a code page.
  EXPECT_TRUE(SortList(m_source, "x\n", true, 1, *m_collator, *m_cp).m_bGatherStopped);
}

TEST_F(SortCommand, TheOrderingIsAnnouncedOnceTheKeysAreGathered) {
  const std::string text = kLines[0] + "\n" + kLines[1] + "\n" + kLines[2];
  std::uint64_t gathered = 0;
  std::size_t announced = 0;
  const auto outcome = SortList(
      m_source, text, true, 1, *m_collator, *m_cp,
      [&](std::uint64_t done, std::uint64_t) { return gathered = std::max(gathered, done + 1), true; }, {},
      [&](std::size_t entries) {
        EXPECT_EQ(gathered, 3u);  // every line keyed before
        announced = entries;
      });
  EXPECT_EQ(announced, 3u);
  EXPECT_EQ(outcome.m_sorted.m_arrOrder.size(), 3u);
  // A gathering that was stopped announces no ordering.
  announced = 0;
  EXPECT_TRUE(SortList(m_source, text, true, 1, *m_collator, *m_cp, [](std::uint64_t, std::uint64_t) { return false; },
                       {}, [&](std::size_t entries) { announced = entries + 1; })
                  .m_bGatherStopped);
  EXPECT_EQ(announced, 0u);
}

}  // namespace
}  // namespace tessary

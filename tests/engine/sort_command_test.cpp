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
    m_source.m_strSearch = "cat";
    m_source.m_nWidth = 10;
    m_source.m_bConcordance = true;
  }
  CSortOutcome Sort(std::string_view text, bool bRight = true, const ProgressFn& gather = {},
                    const ProgressFn& copy = {}) {
    return SortListWindow(m_source, text, bRight, 1, *m_collator, *m_cp, gather, copy);
  }
  static std::vector<std::int64_t> Lines(const CSortOutcome& o) {
    std::vector<std::int64_t> lines;
    for (const auto& e : o.m_list.m_state.m_arrEntries) lines.push_back(e.m_nLine);
    return lines;
  }
  std::shared_ptr<const CCodePage> m_cp;
  std::shared_ptr<const CSortCollator> m_collator;
  CListWindowState m_source;
};

// Ten columns of left context, the keyword, then the right context.
const std::string kLines[] = {"saw a big cat sat down  ", "  and the cat, ate it   ",
                              "  a black cat sat again ", "  a small cat."};

TEST_F(SortCommand, RefusalsComeInOrderAndOpenNothing) {
  m_source.m_bSorted = m_source.m_bSentences = true;
  EXPECT_EQ(SortRefusalMessage(CheckSortable(m_source)),
            "This window lists concordances which have already been sorted. Select an unsorted "
            "list window to run another sort.");
  EXPECT_TRUE(Sort(kLines[0]).m_bGatherStopped);
  m_source.m_bSorted = false;
  EXPECT_EQ(SortRefusalMessage(CheckSortable(m_source)),
            "You cannot sort collocates for sentences. Run a normal concordance search to get an "
            "unsorted list window before running a collocate sort.");
  m_source.m_bSentences = false;
  m_source.m_bTestMode = true;
  EXPECT_EQ(CheckSortable(m_source), SortRefusal::kNotAList);
  EXPECT_EQ(SortRefusalMessage(SortRefusal::kNotAList), "");
}

TEST_F(SortCommand, SortsIntoANewWindowWithFreshEntries) {
  m_source.m_bFileReference = true;
  // One entry short: an edited window can hold more lines than the search found.
  for (int i = 0; i < 3; ++i) m_source.m_arrEntries.push_back({"old", 0, 100 + i, 0, 0, "f"});
  const std::string text = kLines[0] + "\n" + kLines[1] + "\n" + kLines[2] + "\n" + kLines[3];

  auto right = Sort(text);
  EXPECT_EQ(Lines(right), (std::vector<std::int64_t>{3, 1, 2, 0}));
  EXPECT_EQ(right.m_list.m_strText,
            kLines[3] + "\n" + kLines[1] + "\n" + kLines[2] + "\n" + kLines[0] + "\n");
  const auto& state = right.m_list.m_state;
  EXPECT_TRUE(state.m_bSorted && state.m_bConcordance && state.m_bSortRight &&
              state.m_bFileReference && !state.m_bSortLeft);
  EXPECT_EQ(state.m_arrEntries[1].m_strSortKey, "ate it   ");
  EXPECT_EQ(state.m_arrEntries[1].m_nPosition, 101);
  EXPECT_EQ(state.m_arrEntries[0].m_strFile, "");

  auto left = Sort(text, false);
  EXPECT_EQ(Lines(left), (std::vector<std::int64_t>{0, 2, 3, 1}));
  EXPECT_TRUE(left.m_list.m_state.m_bSortLeft);
}

TEST_F(SortCommand, NumberedLinesKeepTheirNumbersAndKeyColumn) {
  m_source.m_bLineNumbers = true;
  const std::string a = NumberPrefix(999999) + "  saw the cat zebra";
  const std::string b = NumberPrefix(1000000) + "  saw the cat apple";
  // Lines longer than 255 characters are read and copied whole.
  const std::string c = NumberPrefix(1000001) + "  saw the cat mouse" + std::string(300, '.');
  auto o = Sort(a + "\n" + b + "\n" + c + "\n");
  EXPECT_EQ(o.m_list.m_strText, b + "\n" + c + "\n" + a + "\n");
  EXPECT_EQ(o.m_list.m_state.m_arrEntries[0].m_nKeyOffset, 14);

  EXPECT_EQ(Sort("").m_list.m_strText, "");
  EXPECT_EQ(Sort(kLines[2] + "\n").m_list.m_strText, kLines[2] + "\n");
}

TEST_F(SortCommand, StopInGatherOpensNothingStopInCopyKeepsTheLinesSoFar) {
  std::string text;
  for (int i = 0; i < 1000; ++i) text += kLines[i % 4] + "\n";
  for (bool bRight : {true, false}) {
    int calls = 0;
    auto o = Sort(text, bRight, [&](std::uint64_t, std::uint64_t) { return ++calls < 3; });
    EXPECT_TRUE(o.m_bGatherStopped && o.m_list.m_strText.empty());
  }
  int calls = 0;
  auto o = Sort(text, true, [&](std::uint64_t, std::uint64_t) { return ++calls > 0; },
                [](std::uint64_t done, std::uint64_t) { return done < 500; });
  EXPECT_EQ(calls, 100);
  EXPECT_TRUE(o.m_list.m_bStopped && !o.m_list.m_state.m_bSorted);
  EXPECT_EQ(o.m_list.m_nLines, 500);
  EXPECT_EQ(o.m_list.m_state.m_arrEntries.size(), 500u);
  EXPECT_EQ(std::count(o.m_list.m_strText.begin(), o.m_list.m_strText.end(), '\n'), 500);
}

TEST_F(SortCommand, DoubleByteWindowsUseDoubleByteKeys) {
  m_source.m_bDoubleByte = true;
  m_source.m_nWidth = 2;
  m_source.m_strSearch = "\xA4\xA4";
  // As bytes the keys would be the trail bytes 'A' and 'B'; as characters they are
  // U+4E59 and U+4E01, which sort the other way round.
  const std::string a = "  \xA4\xA4 \xA4\x41", b = "  \xA4\xA4 \xA4\x42";
  auto o = SortListWindow(m_source, a + "\n" + b + "\n", true, 1, *m_collator,
                          **CCodePage::Open(950));
  EXPECT_EQ(o.m_list.m_strText, b + "\n" + a + "\n");
}

}  // namespace
}  // namespace tessary

namespace tessary {
namespace {

TEST_F(SortCommand, AStarredSearchKeysTheLinesByTheRestOfTheWord) {
  // The window was searched for "walk*": a prefix search for "walk".
  m_source.m_strSearch = "walk*";
  m_source.m_nWidth = 4;
  auto sorted = Sort(" to walking to\nsay walked in\n");
  ASSERT_EQ(sorted.m_list.m_state.m_arrEntries.size(), 2u);
  EXPECT_EQ(sorted.m_list.m_state.m_arrEntries[0].m_strSortKey.substr(0, 5), "ed in");
  EXPECT_EQ(sorted.m_list.m_state.m_arrEntries[1].m_strSortKey.substr(0, 6), "ing to");
}

}  // namespace
}  // namespace tessary

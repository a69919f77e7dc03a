#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <thread>

#include "engine/parallel_sort.h"
#include "engine/sort_entries.h"

namespace tessary {
namespace {

// Each text sorts strictly before the next, by Compare and by the binary keys.
void ExpectAscending(const char* locale, std::initializer_list<std::u16string_view> texts) {
  auto c = *CSortCollator::ForLocale(locale);
  for (auto it = texts.begin(); it + 1 != texts.end(); ++it) {
    EXPECT_LT(c->Compare(it[0], it[1]), 0) << locale << " " << it - texts.begin();
    EXPECT_LT(c->SortKey(it[0]), c->SortKey(it[1])) << locale << " " << it - texts.begin();
  }
}

TEST(CollationOrder, CaseAndHyphensWeighLessThanLettersAndSpaces) {
  ExpectAscending("", {u"the cat", u"The dog", u"the end"});
  ExpectAscending("", {u"to be", u"to see", u"toast", u"tobacco"});
  ExpectAscending("", {u"done", u"don't", u"dONT", u"dote"});
  ExpectAscending("", {u"co-op", u"Coop", u"coops"});
  // Hyphens and apostrophes are ignorable: such pairs tie and keep the order found.
  auto c = *CSortCollator::ForLocale("");
  EXPECT_EQ(c->Compare(u"don't", u"dont"), 0);
  EXPECT_EQ(c->Compare(u"co-op", u"coop"), 0);
  EXPECT_EQ(c->Compare(u"don\u2019t", u"dont"), 0);
  EXPECT_NE(c->Compare(u"don.t", u"dont"), 0);
  // The C locale must not put every capital first.
  ExpectAscending("C.UTF-8", {u"apple", u"Banana"});
  // The locale decides: o-umlaut follows z in Swedish, precedes it in German.
  ExpectAscending("sv_SE.UTF-8", {u"z", u"\u00F6"});
  ExpectAscending("de_DE@euro", {u"\u00F6", u"z"});
}

std::vector<CConcordanceEntry> Entries(std::initializer_list<const char*> keys) {
  std::vector<CConcordanceEntry> entries;
  for (const char* k : keys) entries.push_back({k, std::ssize(entries), 0, 0, 0, 0});
  return entries;
}

std::vector<std::int64_t> Lines(const std::vector<CConcordanceEntry>& entries) {
  std::vector<std::int64_t> lines;
  for (const auto& e : entries) lines.push_back(e.m_nLine);
  return lines;
}

TEST(SortEntriesOrder, StableByDecodedKeysWithEmptyKeysFirst) {
  auto cp = *CCodePage::Open(1252);
  auto c = *CSortCollator::ForLocale("");
  // 0xE9 is e-acute in 1252 and must sort with e, not after z as a raw byte would.
  auto entries = Entries({"zoo", "same", "\xE9t\xE9", "", "same", "etc", "Same", "same"});
  SortEntries(entries, *c, *cp);
  EXPECT_EQ(Lines(entries), (std::vector<std::int64_t>{3, 5, 2, 1, 4, 7, 6, 0}));
  EXPECT_LT(CompareSortKeys(entries[1], entries[2], *c, *cp), 0);
  EXPECT_EQ(CompareSortKeys(entries[3], entries[4], *c, *cp), 0);

  // Enough equal keys that an unstable sort would reorder them.
  std::vector<CConcordanceEntry> many;
  for (int i = 0; i < 60; ++i) many.push_back({i % 3 ? "cat" : "Cat", i, 0, 0, 0, 0});
  SortEntries(many, *c, *cp);
  for (int i = 1; i < 60; ++i) {
    if (many[i].m_strSortKey == many[i - 1].m_strSortKey) {
      EXPECT_LT(many[i - 1].m_nLine, many[i].m_nLine) << i;
    }
  }
}

TEST(SortEntriesOrder, DoubleByteAndWideKeysSortAsTheirCharacters) {
  auto big5 = *CCodePage::Open(950);
  auto c = *CSortCollator::ForLocale("");
  // Big5 orders these two by strokes (0xA4 0x41 first), Unicode the other way round.
  ASSERT_EQ(big5->ToUnicode("\xA4\x41\xA4\x42"), u"\u4E59\u4E01");
  auto entries = Entries({"\xA4\x41", "\xA4\x42", "\xA4\x41"});
  SortEntries(entries, *c, *big5);
  EXPECT_EQ(Lines(entries), (std::vector<std::int64_t>{1, 0, 2}));

  std::vector<CWideConcordanceEntry> w{{u"\u00F6l", 0, 0, 0}, {u"zebra", 1, 0, 0}, {u"Ol", 2, 0, 0}};
  SortEntries(w, *c);
  EXPECT_EQ(w[0].m_nLine * 100 + w[1].m_nLine * 10 + w[2].m_nLine, 201);
}

// Runs body with the worker pool at each thread count, the environment restored after.
template <class Body>
void AtThreadCounts(const Body& body) {
  const char* saved = std::getenv("TESSARY_THREADS");
  const std::string keep = saved ? saved : "";
  for (const char* threads : {"1", "2", "3", "8"}) {
    setenv("TESSARY_THREADS", threads, 1);
    body(threads);
  }
  if (saved) setenv("TESSARY_THREADS", keep.c_str(), 1);
  else unsetenv("TESSARY_THREADS");
}

// Keys that share their first 17 letters (so their collation keys tie well past the
// first 16 bytes) and differ after them, by letter, case or an ignorable hyphen, each
// many times over: the order is the keys' and then the order found, at any thread count.
std::vector<CConcordanceEntry> LongTies(int n) {
  std::vector<CConcordanceEntry> entries;
  for (int i = 0; i < n; ++i) {
    const int j = i * 7919 % 20011;  // more distinct keys than a thread's share
    std::string key = "seventeen letters";
    for (int k : {j % 26, j / 26 % 26, j / 676 % 26}) key += static_cast<char>('a' + k);
    if (j % 5 == 0) key[17] = static_cast<char>(key[17] - 'a' + 'A');
    if (j % 7 == 0) key[18] = '-';
    entries.push_back({key, i, 0, 0, 0, 0});
  }
  return entries;
}

TEST(SortEntriesOrder, TheSameStableOrderAtEveryThreadCount) {
  auto cp = *CCodePage::Open(1252);
  auto c = *CSortCollator::ForLocale("");
  const auto found = LongTies(60000);
  // What the order must be: by collation key, ties as found.
  std::vector<std::pair<std::string, std::int64_t>> expected;
  for (const auto& e : found) expected.push_back({c->SortKey(cp->ToUnicode(e.m_strSortKey)), e.m_nLine});
  std::stable_sort(expected.begin(), expected.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  ASSERT_GT(expected[0].first.size(), 16u);
  AtThreadCounts([&](const char* threads) {
    auto entries = found;
    ASSERT_TRUE(SortEntries(entries, *c, *cp));
    for (std::size_t i = 0; i < entries.size(); ++i)
      ASSERT_EQ(entries[i].m_nLine, expected[i].second) << threads << " threads, place " << i;
  });
  // Keys that differ only by a hyphen tie and keep the order found.
  auto pair = Entries({"seventeen letters-b", "seventeen lettersb", "seventeen letters-b"});
  SortEntries(pair, *c, *cp);
  EXPECT_EQ(Lines(pair), (std::vector<std::int64_t>{0, 1, 2}));
}

TEST(SortEntriesOrder, AStopWhileKeyingLeavesTheEntriesAsFound) {
  auto cp = *CCodePage::Open(1252);
  auto c = *CSortCollator::ForLocale("");
  const auto found = LongTies(60000);
  AtThreadCounts([&](const char* threads) {
    const auto caller = std::this_thread::get_id();
    int calls = 0;
    auto entries = found;
    EXPECT_FALSE(SortEntries(entries, *c, *cp, [&](std::uint64_t, std::uint64_t) {
      EXPECT_EQ(std::this_thread::get_id(), caller);
      return ++calls < 2;
    })) << threads;
    EXPECT_EQ(Lines(entries), Lines(found)) << threads;
  });
}

// The merge sort alone, with runs that do not pair up evenly.
TEST(ParallelSort, SortsLikeOneThreadForAnyCount) {
  std::vector<int> items;
  for (int i = 0; i < 50000; ++i) items.push_back(i * 7919 % 50021);
  auto expected = items;
  std::sort(expected.begin(), expected.end());
  for (unsigned threads : {1u, 2u, 3u, 5u, 8u}) {
    auto sorted = items;
    ParallelSort(sorted, std::less<int>(), threads);
    EXPECT_EQ(sorted, expected) << threads;
  }
}

}  // namespace
}  // namespace tessary

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tessary

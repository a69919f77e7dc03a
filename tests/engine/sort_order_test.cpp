#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "engine/sort_entries.h"

namespace tessary {
namespace {

std::shared_ptr<const CSortCollator> Collator(const char* locale = "") {
  auto c = CSortCollator::ForLocale(locale);
  EXPECT_TRUE(c) << c.Error();
  return *c;
}

// Each text sorts strictly before the next, by Compare and by the binary keys.
void ExpectAscending(const CSortCollator& c, std::initializer_list<std::u16string_view> texts) {
  const std::u16string_view* prev = nullptr;
  for (const auto& t : texts) {
    if (prev) {
      EXPECT_LT(c.Compare(*prev, t), 0) << c.LocaleName();
      EXPECT_LT(c.SortKey(*prev), c.SortKey(t)) << c.LocaleName();
    }
    prev = &t;
  }
}

TEST(CollationOrder, CaseIsWeakerThanLettersAndSpacesCount) {
  auto c = Collator();
  ExpectAscending(*c, {u"the cat", u"The dog", u"the end"});
  ExpectAscending(*c, {u"to be", u"to see", u"toast", u"tobacco"});
  ExpectAscending(*c, {u"a", u"B", u"c"});
  // Hyphens and apostrophes weigh no more than case: the pairs stay together.
  ExpectAscending(*c, {u"done", u"dont", u"don't", u"dONT", u"dote"});
  ExpectAscending(*c, {u"coop", u"co-op", u"Coop", u"coops"});
  EXPECT_NE(c->Compare(u"don\u2019t", u"dont"), 0);
}

TEST(CollationOrder, LocaleNamesFollowPosixConventions) {
  EXPECT_EQ(Collator("")->LocaleName(), "root");
  EXPECT_EQ(Collator("C.UTF-8")->LocaleName(), "root");
  EXPECT_EQ(Collator("POSIX")->LocaleName(), "root");
  EXPECT_EQ(Collator("sv_SE.UTF-8@euro")->LocaleName(), "sv_SE");
  // The C locale must not put every capital first.
  ExpectAscending(*Collator("C"), {u"apple", u"Banana"});
  // The locale decides: o-umlaut follows z in Swedish, precedes it in German.
  ExpectAscending(*Collator("sv_SE.UTF-8"), {u"z", u"\u00F6"});
  ExpectAscending(*Collator("de_DE"), {u"\u00F6", u"z"});
}

TEST(CollationOrder, UserLocaleComesFromTheFirstSetVariable) {
  const char* names[] = {"LC_ALL", "LC_COLLATE", "LANG"};
  std::optional<std::string> saved[3];
  for (int i = 0; i < 3; ++i)
    if (const char* v = std::getenv(names[i])) saved[i] = v;
  setenv("LC_ALL", "", 1);
  setenv("LC_COLLATE", "sv_SE.UTF-8", 1);
  setenv("LANG", "de_DE.UTF-8", 1);
  auto c = CSortCollator::ForUserLocale();
  for (int i = 0; i < 3; ++i) {
    if (saved[i]) setenv(names[i], saved[i]->c_str(), 1);
    else unsetenv(names[i]);
  }
  ASSERT_TRUE(c);
  EXPECT_EQ((*c)->LocaleName(), "sv_SE");
}

std::vector<CConcordanceEntry> Entries(std::initializer_list<const char*> keys) {
  std::vector<CConcordanceEntry> entries;
  for (const char* k : keys) {
    entries.push_back({});
    entries.back().m_strSortKey = k;
    entries.back().m_nLine = std::ssize(entries) - 1;
  }
  return entries;
}

std::vector<std::int64_t> Lines(const std::vector<CConcordanceEntry>& entries) {
  std::vector<std::int64_t> lines;
  for (const auto& e : entries) lines.push_back(e.m_nLine);
  return lines;
}

TEST(SortEntriesOrder, StableByDecodedKeysWithEmptyKeysFirst) {
  auto cp = CCodePage::Open(1252);
  ASSERT_TRUE(cp);
  auto c = Collator();
  // 0xE9 is e-acute in 1252 and must sort with e, not after z as a raw byte would.
  auto entries = Entries({"zoo", "same", "\xE9t\xE9", "", "same", "etc", "Same", "same"});
  SortEntries(entries, *c, **cp);
  EXPECT_EQ(Lines(entries), (std::vector<std::int64_t>{3, 5, 2, 1, 4, 7, 6, 0}));
  EXPECT_LT(CompareSortKeys(entries[1], entries[2], *c, **cp), 0);
  EXPECT_EQ(CompareSortKeys(entries[3], entries[4], *c, **cp), 0);

  std::vector<CConcordanceEntry> none;
  SortEntries(none, *c, **cp);
  EXPECT_TRUE(none.empty());
}

TEST(SortEntriesOrder, DoubleByteAndWideKeysSortAsTheirCharacters) {
  auto big5 = CCodePage::Open(950);
  ASSERT_TRUE(big5);
  auto c = Collator();
  // Big5 orders these two by strokes (0xA4 0x41 first), Unicode the other way round.
  ASSERT_EQ((*big5)->ToUnicode("\xA4\x41\xA4\x42"), u"\u4E59\u4E01");
  auto entries = Entries({"\xA4\x41", "\xA4\x42", "\xA4\x41"});
  SortEntries(entries, *c, **big5);
  EXPECT_EQ(Lines(entries), (std::vector<std::int64_t>{1, 0, 2}));

  std::vector<CWideConcordanceEntry> w(3);
  w[0].m_wstrSortKey = u"\u00F6l";
  w[1].m_wstrSortKey = u"zebra";
  w[2].m_wstrSortKey = u"Ol";
  for (int i = 0; i < 3; ++i) w[i].m_nLine = i;
  SortEntries(w, *c);
  EXPECT_EQ(w[0].m_nLine, 2);
  EXPECT_EQ(w[1].m_nLine, 0);
  EXPECT_EQ(w[2].m_nLine, 1);
}

}  // namespace
}  // namespace tessary

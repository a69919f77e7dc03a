#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "engine/match_mode.h"
#include "engine/collation.h"
#include "engine/sort_keys.h"
#include "test_texts.h"

namespace tessary {
namespace {

class SortKeys : public ::testing::Test {
 protected:
  void SetUp() override { m_cp = *CCodePage::Open(1252); }
  // The keyword stands between left and right; its column is left's length.
  CConcordanceEntry Right(const std::string& left, const std::string& key,
                          const std::string& right, int nDistance = 1, int nMode = kMatchWord) {
    CConcordanceEntry e;
    m_line = left + key + right;
    BuildRightKey(e, m_line, std::ssize(left), std::ssize(key), nDistance, nMode, *m_cp);
    return e;
  }
  CConcordanceEntry Left(const std::string& left, const std::string& right, int nDistance = 1) {
    CConcordanceEntry e;
    m_line = left + right;
    BuildLeftKey(e, m_line, std::ssize(left), nDistance, *m_cp);
    return e;
  }
  std::shared_ptr<const CCodePage> m_cp;
  std::string m_line;
};

TEST_F(SortKeys, RightKeyFindsTheCollocateAtTheDistance) {
  auto e = Right("I saw the ", "cat", ", then we left");
  EXPECT_EQ(e.m_strSortKey, "then we left");
  EXPECT_EQ(e.m_nKeyOffset, 15);
  EXPECT_EQ(e.m_nKeyLength, 4);
  EXPECT_EQ(Right("a ", "cat", "  dog barked").m_strSortKey, "dog barked");
  EXPECT_EQ(Right("a ", "cat", " \xABquoted\xBB").m_strSortKey, "quoted\xBB");
  EXPECT_EQ(Right("it ", "cat", " is very good", 2).m_strSortKey, "very good");
  EXPECT_EQ(Right("it ", "cat", " is very good", 3).m_strSortKey, "good");
  EXPECT_EQ(Right("it ", "cat", " is very good", 9).m_strSortKey, "good");
  EXPECT_EQ(Right("it ", "cat", " is very good", 0).m_strSortKey, "is very good");
  EXPECT_EQ(Right("a ", "cat", " extraordinarily long words").m_nKeyLength, 15);
}

TEST_F(SortKeys, RightKeyOfAPrefixMatchIsTheRestOfTheWord) {
  auto e = Right("I was ", "walk", "ing to the shop", 1, kMatchPrefix);
  EXPECT_EQ(e.m_strSortKey, "ing to the shop");
  EXPECT_EQ(e.m_nKeyOffset, 10);
  EXPECT_EQ(Right("I ", "walk", " to the shop").m_strSortKey, "to the shop");
  // A one-letter rest is a word of its own too, at any distance.
  EXPECT_EQ(Right("he ", "walk", "s to the shop", 1, kMatchPrefix).m_strSortKey, "s to the shop");
  EXPECT_EQ(Right("he ", "walk", "s to the shop", 2, kMatchAny).m_strSortKey, "to the shop");
}

TEST_F(SortKeys, LeftKeyTakesAtMostTwentyLettersAndReadsRightwards) {
  auto e = Left("we saw the big ", "cat here");
  EXPECT_EQ(e.m_strSortKey, "big cat here");
  EXPECT_EQ(e.m_nKeyOffset, 11);
  EXPECT_EQ(Left("we saw, the big ", "cat here", 3).m_strSortKey, "saw, the big cat her");
  e = Left("abcdefghijklmnopqrstuvwxy ", "cat");
  EXPECT_EQ(e.m_strSortKey, "fghijklmnopqrstuvwxy");
  EXPECT_EQ(e.m_nKeyLength, 20);
}

TEST_F(SortKeys, LinesWithoutACollocateGetAnEmptyKey) {
  for (const char* right : {"", ".", " 12 -- 34"}) {
    auto e = Right("a ", "cat", right);
    EXPECT_EQ(std::string(e.m_strSortKey.view()) + "|" + std::to_string(e.m_nKeyLength), "|0") << right;
    EXPECT_EQ(e.m_nKeyOffset, std::ssize(m_line)) << right;
  }
  EXPECT_EQ(Right("it ", "cat", " is good", 3).m_strSortKey, "");
  EXPECT_EQ(Left("     ", "cat").m_strSortKey, "");
  EXPECT_EQ(Left("big ", "cat", 2).m_strSortKey, "");
  CConcordanceEntry e;  // an edited line shorter than the keyword column
  BuildLeftKey(e, "short", 50, 1, *m_cp);
  EXPECT_EQ(e.m_strSortKey, "");
}

TEST(SortKeysDoubleByte, TakeTwoHanCharactersWithoutLosingStep) {
  const std::string zhong = "\xA4\xA4", wen = "\xA4\xE5", zi = "\xA6\x72", comma = "\xA1\x41";
  CConcordanceEntry e;
  const std::string line = "ab" + zhong + comma + " x" + wen + zi + zhong;
  BuildDoubleByteRightKey(e, line, 2, 2, DoubleByteKeys::kBig5);
  EXPECT_EQ(e.m_strSortKey, wen + zi);
  // GB: the same lead range, but a trail below 0xA1 (zi's 0x72) is no Han character.
  BuildDoubleByteRightKey(e, line, 2, 2, DoubleByteKeys::kGb);
  EXPECT_EQ(e.m_strSortKey, wen + zhong);
  // A full-width digit (0xA2 0xAF): its trail byte must not be read as a lead.
  BuildDoubleByteRightKey(e, zhong + "\xA2\xAF" + wen + zi, 0, 2, DoubleByteKeys::kBig5);
  EXPECT_EQ(e.m_strSortKey, wen + zi);
  BuildDoubleByteLeftKey(e, zi + wen + " " + zhong + zhong, 7, DoubleByteKeys::kBig5);
  EXPECT_EQ(e.m_strSortKey, wen + zhong);
  BuildDoubleByteLeftKey(e, zi + std::string(19, ' ') + zhong, 21, DoubleByteKeys::kBig5);
  EXPECT_EQ(e.m_strSortKey, "");
}

TEST(SortKeysDoubleByte, GbPunctuationStaysOutOfTheKeys) {
  // GB: zhong (0xD6 0xD0) and wen (0xCE 0xC4); the full-width comma 0xA3 0xAC, the
  // ideographic full stop 0xA1 0xA3 and a full-width letter 0xA3 0xC1 are symbols.
  const std::string zhong = "\xD6\xD0", wen = "\xCE\xC4", comma = "\xA3\xAC", stop = "\xA1\xA3";
  CConcordanceEntry e;
  BuildDoubleByteRightKey(e, zhong + comma + wen + stop + zhong, 0, 2, DoubleByteKeys::kGb);
  EXPECT_EQ(e.m_strSortKey, wen + zhong);
  BuildDoubleByteRightKey(e, zhong + "\xA3\xC1" + comma + wen, 0, 2, DoubleByteKeys::kGb);
  EXPECT_EQ(e.m_strSortKey, wen);
  BuildDoubleByteLeftKey(e, wen + " " + comma + zhong + zhong, 7, DoubleByteKeys::kGb);
  EXPECT_EQ(e.m_strSortKey, wen + zhong);
  // The same bytes as Big5: 0xA3 leads symbols there too, and 0xF9 is the last lead.
  BuildDoubleByteRightKey(e, zhong + comma + "\xF9\x40" + "\xFA\x40", 0, 2, DoubleByteKeys::kBig5);
  EXPECT_EQ(e.m_strSortKey, "\xF9\x40");
}

// Japanese keys are Shift-JIS characters: decoded, they are the same characters that
// follow or precede the keyword in the UTF-16 text, so a Japanese list sorts as the
// same lines keyed in UTF-16. Big5's lead range skipped kanji led by 0x81..0x9F (the
// sample's first character) and paired half-width katakana with the next byte.
TEST(SortKeysDoubleByte, ShiftJisKeysOrderJapaneseAsUtf16Does) {
  auto cp = CCodePage::Open(932);
  ASSERT_TRUE(cp);
  // The sample, and half-width katakana (ｶﾅ) among full-width characters.
  const std::string bytes = test::ReadDataFile("ja.cp932.txt") + "\xE5\x8F\xE7\x8F\xB6\xC5\x82\xCD\x90\xEC\r\n";
  const std::u16string text = (*cp)->ToUnicode(bytes);
  ASSERT_NE(text.find(u"\u5DDD"), std::u16string::npos);  // the sample decodes
  auto isKeyChar = [](char16_t u) { return u >= 0x80; };
  std::vector<std::u16string> byteKeys, wideKeys;
  for (const std::u16string keyword : {u"\u306F", u"\u6C34", u"\u3002", u"\u5C4B"}) {
    const std::string key = (*cp)->FromUnicode(keyword);
    std::size_t w = 0;
    for (std::size_t b = bytes.find(key); b != std::string::npos; b = bytes.find(key, b + 1)) {
      // A byte match may start on a trail byte; only character starts are occurrences.
      if ((*cp)->ToUnicode(bytes.substr(0, b)).size() + keyword.size() !=
          (*cp)->ToUnicode(bytes.substr(0, b + key.size())).size())
        continue;
      w = text.find(keyword, w);
      ASSERT_NE(w, std::u16string::npos);
      CConcordanceEntry right, left;
      BuildDoubleByteRightKey(right, bytes, static_cast<std::int64_t>(b), std::ssize(key), DoubleByteKeys::kShiftJis);
      BuildDoubleByteLeftKey(left, bytes, static_cast<std::int64_t>(b), DoubleByteKeys::kShiftJis);
      std::u16string wideRight, wideLeft;
      for (std::size_t i = w + keyword.size(); i < text.size() && wideRight.size() < 2; ++i)
        if (isKeyChar(text[i])) wideRight += text[i];
      const std::size_t leftStop = (*cp)->ToUnicode(bytes.substr(0, b > 20 ? b - 20 : 0)).size();
      for (std::size_t i = w; i-- > leftStop && wideLeft.size() < 2;)
        if (isKeyChar(text[i])) wideLeft.insert(wideLeft.begin(), text[i]);
      EXPECT_EQ((*cp)->ToUnicode(right.m_strSortKey), wideRight) << "at byte " << b;
      EXPECT_EQ((*cp)->ToUnicode(left.m_strSortKey), wideLeft) << "at byte " << b;
      byteKeys.push_back((*cp)->ToUnicode(right.m_strSortKey));
      wideKeys.push_back(wideRight);
      ++w;
    }
  }
  ASSERT_GE(byteKeys.size(), 6u);
  auto collator = CSortCollator::ForLocale("ja_JP");
  ASSERT_TRUE(collator);
  auto order = [&](const std::vector<std::u16string>& keys) {
    std::vector<std::size_t> o(keys.size());
    std::iota(o.begin(), o.end(), 0);
    std::stable_sort(o.begin(), o.end(), [&](auto a, auto b) { return (*collator)->Compare(keys[a], keys[b]) < 0; });
    return o;
  };
  EXPECT_EQ(order(byteKeys), order(wideKeys));
  // The kanji 0x90 0xEC (led from the Big5-excluded range) and a katakana byte are keys.
  CConcordanceEntry e;
  BuildDoubleByteRightKey(e, "\x82\xCD\xB6\x90\xEC", 0, 2, DoubleByteKeys::kShiftJis);
  EXPECT_EQ(e.m_strSortKey, "\xB6\x90\xEC");
}

TEST(SortKeysWide, KeysFollowTheProbesAndLetterLikeRanges) {
  CWideConcordanceEntry e;
  BuildWideRightKey(e, u"it cat is very good", 3, 3, 2, kMatchWord);
  EXPECT_EQ(e.m_wstrSortKey, u"very good");
  // No step to the first letter: a letter-like symbol starts the key.
  BuildWideRightKey(e, u"a cat \u00ABquoted\u00BB", 2, 3, 1, kMatchWord);
  EXPECT_EQ(e.m_wstrSortKey, u"\u00ABquoted\u00BB");
  BuildWideRightKey(e, u"a cat " + std::u16string(19, u'x') + u"\U0001D400", 2, 3, 1, 0);
  EXPECT_EQ(e.m_wstrSortKey, std::u16string(19, u'x'));  // no half surrogate pair
  BuildWideLeftKey(e, u"we saw the big cat here", 15, 2);
  EXPECT_EQ(e.m_wstrSortKey, u"the big cat here");
  BuildWideLeftKey(e, u"\u6211\u5011 \u00BB cat", 5, 1);
  EXPECT_EQ(e.m_wstrSortKey, u"\u00BB cat");
}

}  // namespace
}  // namespace tessary

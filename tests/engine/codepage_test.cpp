#include "engine/codepage.h"

#include <gtest/gtest.h>

#include "test_texts.h"

namespace tessary {
namespace {

std::shared_ptr<const CCodePage> OpenOrDie(int nCodePage) {
  auto cp = CCodePage::Open(nCodePage);
  EXPECT_TRUE(cp) << cp.Error();
  return cp ? *cp : nullptr;
}

// Each sample file holds the same lines as its UTF-8 counterpart, line ends included.
TEST(CodePageFiles, SampleTextsConvertBothWaysExactly) {
  struct Sample {
    int nCodePage;
    const char* pszEncoded;
    const char* pszUtf8;
  };
  const Sample samples[] = {
      {1252, "en.cp1252.txt", "en.utf8.txt"},    {866, "ru.cp866.txt", "ru.utf8.txt"},
      {1251, "ru.cp1251.txt", "ru.utf8.txt"},    {874, "th.cp874.txt", "th.utf8.txt"},
      {932, "ja.cp932.txt", "ja.utf8.txt"},      {936, "zh-hans.cp936.txt", "zh-hans.utf8.txt"},
      {950, "zh-hant.big5.txt", "zh-hant.utf8.txt"},
  };
  for (const Sample& s : samples) {
    SCOPED_TRACE(s.pszEncoded);
    auto cp = OpenOrDie(s.nCodePage);
    ASSERT_TRUE(cp);
    const std::string encoded = test::ReadDataFile(s.pszEncoded);
    const std::string utf8 = test::ReadDataFile(s.pszUtf8);
    EXPECT_EQ(cp->ToUtf8(encoded), utf8);
    EXPECT_EQ(cp->FromUtf8(utf8), encoded);
    EXPECT_EQ(cp->ToUnicode(encoded), Utf8ToUtf16(utf8));
    EXPECT_EQ(cp->FromUnicode(Utf8ToUtf16(utf8)), encoded);
  }
}

// Every byte a page defines alone must come back as itself: the fast single-byte
// paths and ICU have to agree on the mapping.
TEST(CodePageFiles, EveryDefinedSingleByteRoundTrips) {
  for (int n : {437, 850, 866, 874, 932, 936, 949, 950, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258}) {
    SCOPED_TRACE(n);
    auto cp = OpenOrDie(n);
    ASSERT_TRUE(cp);
    EXPECT_EQ(cp->IsDoubleByte(), n == 932 || n == 936 || n == 949 || n == 950);
    for (int b = 0; b < 256; ++b) {
      const std::string byte(1, static_cast<char>(b));
      const std::u16string text = cp->ToUnicode(byte);
      ASSERT_EQ(text.size(), 1u) << b;
      EXPECT_EQ(text[0], cp->ByteToUnicode(static_cast<unsigned char>(b))) << b;
      if (text[0] != 0xFFFD) {
        EXPECT_EQ(cp->FromUnicode(text), byte) << b;
      }
      if (b < 0x80) {
        EXPECT_EQ(text[0], b) << "ASCII byte " << b;
      }
    }
  }
}

TEST(CodePageTables, Windows1252) {
  auto cp = OpenOrDie(1252);
  ASSERT_TRUE(cp);
  EXPECT_EQ(cp->Upper(0xE9), 0xC9);  // é
  EXPECT_EQ(cp->Upper(0xFF), 0x9F);  // ÿ -> Ÿ, outside Latin-1
  EXPECT_EQ(cp->Upper(0x9A), 0x8A);  // š
  EXPECT_EQ(cp->Upper('a'), 'A');
  EXPECT_EQ(cp->Upper(0xB5), 0xB5);  // µ upper-cases to Greek Mu, which 1252 lacks
  EXPECT_EQ(cp->Upper(0xDF), 0xDF);  // ß
  EXPECT_TRUE(cp->IsAlpha(0xE9));
  EXPECT_FALSE(cp->IsAlpha(0x80));  // €
  EXPECT_FALSE(cp->IsAlnum(0x80));
  EXPECT_TRUE(cp->IsAlnum('7'));
  EXPECT_FALSE(cp->IsAlpha('7'));
  EXPECT_TRUE(cp->IsPunct('!'));
  EXPECT_EQ(cp->ByteToUnicode(0x80), u'\u20AC');
}

TEST(CodePageTables, CyrillicUpperCase) {
  auto cp866 = OpenOrDie(866);
  auto cp1251 = OpenOrDie(1251);
  ASSERT_TRUE(cp866 && cp1251);
  EXPECT_EQ(cp866->Upper(0xA0), 0x80);  // а
  EXPECT_EQ(cp866->Upper(0xEF), 0x9F);  // я
  EXPECT_EQ(cp866->Upper(0xF1), 0xF0);  // ё
  EXPECT_TRUE(cp866->IsAlpha(0xA0));
  EXPECT_EQ(cp1251->Upper(0xE0), 0xC0);
  EXPECT_EQ(cp1251->Upper(0xB8), 0xA8);  // ё
}

TEST(CodePageTables, DoubleByteLeadsAndSingles) {
  auto cp = OpenOrDie(932);
  ASSERT_TRUE(cp);
  EXPECT_TRUE(cp->IsLeadByte(0x82));
  EXPECT_FALSE(cp->IsAlpha(0x82));
  EXPECT_EQ(cp->Upper(0x82), 0x82);
  EXPECT_EQ(cp->ByteToUnicode(0x82), 0xFFFD);
  EXPECT_EQ(cp->Upper('q'), 'Q');
  EXPECT_EQ(cp->ByteToUnicode('\\'), u'\\');  // not the yen sign
  EXPECT_FALSE(cp->IsLeadByte(0xB1));         // half-width katakana: a single-byte letter
  EXPECT_TRUE(cp->IsAlpha(0xB1));
  EXPECT_EQ(cp->ToUnicode("a\x82"), u"a\uFFFD");  // pair cut short
}

TEST(CodePageConversion, MissingCharactersBecomeQuestionMarks) {
  auto cp1252 = OpenOrDie(1252);
  auto cp866 = OpenOrDie(866);
  auto cp932 = OpenOrDie(932);
  ASSERT_TRUE(cp1252 && cp866 && cp932);
  EXPECT_EQ(cp1252->FromUnicode(u"a\u4E00b"), "a?b");
  EXPECT_EQ(cp1252->FromUnicode(u"x\U0001F408y"), "x?y");  // one pair, one '?'
  EXPECT_EQ(cp1252->FromUnicode(std::u16string(u"a") + char16_t(0xD800) + u"b"), "a?b");
  EXPECT_EQ(cp1252->FromUnicode(u"a\u200Db"), "a?b");  // not silently dropped
  EXPECT_EQ(cp866->FromUtf8("10 \xE2\x82\xAC"), "10 ?");
  EXPECT_EQ(cp932->FromUnicode(u"caf\u00E9 \U0001F408"), "caf? ?");
  EXPECT_EQ(cp932->FromUnicode(u"a\u200Db"), "a?b");
  EXPECT_EQ(cp1252->FromUnicode(test::kSurrogates16), "A cat? and a cat ? on the mat");
}

TEST(CodePageConversion, UndefinedBytesAndControls) {
  auto cp1253 = OpenOrDie(1253);
  ASSERT_TRUE(cp1253);
  EXPECT_EQ(cp1253->ByteToUnicode(0xD2), 0xFFFD);
  EXPECT_EQ(cp1253->ToUtf8("a\xD2"), "a\xEF\xBF\xBD");
  // DOS tables in ICU exchange these three controls; text must keep them as ASCII.
  for (int n : {437, 866, 932}) {
    SCOPED_TRACE(n);
    auto cp = OpenOrDie(n);
    ASSERT_TRUE(cp);
    EXPECT_EQ(cp->ToUnicode("\x1A\x1C\x7F"), u"\x1A\x1C\x7F");
    EXPECT_EQ(cp->FromUnicode(u"\x1A\x1C\x7F"), "\x1A\x1C\x7F");
  }
}

// The single-byte FromUtf8 skips UTF-16; it must still replace ill-formed UTF-8 the same way.
TEST(CodePageConversion, IllFormedUtf8) {
  const std::string bad = "a\xC3(\xE2\x82 \xF0\x9F\x90 \xED\xA0\x80 \xFF\xC0\xAF z\xE9";
  const std::u16string text = Utf8ToUtf16(bad);
  for (int n : {1252, 936}) {
    auto cp = OpenOrDie(n);
    ASSERT_TRUE(cp);
    EXPECT_EQ(cp->FromUtf8(bad), cp->FromUnicode(text)) << n;
  }
  EXPECT_EQ(Utf16ToUtf8(std::u16string(u"x") + char16_t(0xDC00)), "x\xEF\xBF\xBD");
}

TEST(CodePageOpen, UnknownNumberFails) {
  for (int n : {0, 1, 65001, 12345}) {
    auto cp = CCodePage::Open(n);
    EXPECT_FALSE(cp);
    EXPECT_EQ(cp.Error(), "Code page " + std::to_string(n) + " is not available.");
  }
}

}  // namespace
}  // namespace tessary

// The Unicode writer's bytes, its surrogate handling and buffer, failures as values;
// the code-page and encoding names and the two conversions.
#include "export/unicode_writer.h"

#include <gtest/gtest.h>

#include "export/encodings.h"
#include "scratch_dir.h"

namespace tessary {
namespace {

std::string Saved(const test::ScratchDir& dir, std::u16string_view text, int nEncoding) {
  const std::string path = dir.Path("out.txt");
  auto written = SaveAsUnicode(path, text, nEncoding);
  EXPECT_TRUE(written) << written.Error();
  const std::string bytes = test::ReadBytes(path);
  if (written) {
    EXPECT_EQ(*written, bytes.size());
  }
  return bytes;
}

TEST(UnicodeWriter, MarksAndUnitsInTheThreeEncodings) {
  test::ScratchDir dir;
  const std::u16string text = u"A\u00E9\u20AC";
  EXPECT_EQ(Saved(dir, text, kEncodingUtf8), "\xEF\xBB\xBF\x41\xC3\xA9\xE2\x82\xAC");
  EXPECT_EQ(Saved(dir, text, kEncodingUtf16LE), std::string("\xFF\xFE\x41\x00\xE9\x00\xAC\x20", 8));
  EXPECT_EQ(Saved(dir, text, kEncodingUtf16BE), std::string("\xFE\xFF\x00\x41\x00\xE9\x20\xAC", 8));
  // Line ends go out as they come: carriage returns alone stay alone.
  EXPECT_EQ(Saved(dir, u"a\rb\r\n", kEncodingUtf8), "\xEF\xBB\xBF" "a\rb\r\n");
  EXPECT_EQ(Saved(dir, u"", kEncodingUtf16BE), "\xFE\xFF");
  EXPECT_EQ(SavedAsUnicodeMessage(kEncodingUtf16BE, "b.txt"),
            "The text has been saved as Unicode UTF-16 big-endian in file b.txt.");
}

TEST(UnicodeWriter, SurrogatesInUtf8) {
  test::ScratchDir dir;
  // A pair is one 4-byte character, also when it arrives in two writes.
  EXPECT_EQ(Saved(dir, u"\U0001F408", kEncodingUtf8), "\xEF\xBB\xBF\xF0\x9F\x90\x88");
  {
    auto writer = CUnicodeWriter::Create(dir.Path("split.txt"), kEncodingUtf8);
    ASSERT_TRUE(writer) << writer.Error();
    const std::u16string cat = u"\U0001F408";
    (*writer)->Write(std::u16string_view(cat).substr(0, 1));
    (*writer)->Write(std::u16string_view(cat).substr(1));
    ASSERT_TRUE((*writer)->Close());
    EXPECT_EQ(test::ReadBytes(dir.Path("split.txt")), "\xEF\xBB\xBF\xF0\x9F\x90\x88");
  }
  // A surrogate without its partner has no UTF-8 form: U+FFFD, and nothing is swallowed.
  const std::u16string lone = {0xD83D, u'A', 0xDC08, u'B', 0xD83D};
  EXPECT_EQ(Saved(dir, lone, kEncodingUtf8), "\xEF\xBB\xBF\xEF\xBF\xBD" "A\xEF\xBF\xBD" "B\xEF\xBF\xBD");
  // UTF-16 keeps every unit as it is.
  EXPECT_EQ(Saved(dir, u"\U0001F408", kEncodingUtf16LE), std::string("\xFF\xFE\x3D\xD8\x08\xDC", 6));
}

TEST(UnicodeWriter, LongTextCrossesTheBufferIntact) {
  test::ScratchDir dir;
  // 3-byte characters after a 3-byte mark straddle every 1024-byte boundary.
  std::u16string text;
  std::string expected = "\xEF\xBB\xBF";
  for (int i = 0; i < 1500; ++i, text += u"\u20AC") expected += "\xE2\x82\xAC";
  EXPECT_EQ(Saved(dir, text, kEncodingUtf8), expected);
}

TEST(UnicodeWriter, ByteTextInTheAnsiCodePage) {
  test::ScratchDir dir;
  const std::string path = dir.Path("ansi.txt");
  auto writer = CUnicodeWriter::Create(path, kEncodingNone, 1251);
  ASSERT_TRUE(writer) << writer.Error();
  const std::u16string text = u"\u0434\u0430 \U0001F408";
  (*writer)->Write(std::u16string_view(text).substr(0, 4));  // ends inside the pair
  (*writer)->Write(std::u16string_view(text).substr(4));
  ASSERT_TRUE((*writer)->Close());
  EXPECT_EQ(test::ReadBytes(path), "\xE4\xE0 ?");
}

TEST(UnicodeWriter, FailuresAreFileErrors) {
  test::ScratchDir dir;
  auto missingDir = SaveAsUnicode(dir.Path("no/such/dir.txt"), u"text", kEncodingUtf8);
  ASSERT_FALSE(missingDir);
  EXPECT_EQ(missingDir.Error(), "File error");
  // A full disk shows at a flush or at the close, never as success.
  if (test::Exists("/dev/full")) {
    auto full = SaveAsUnicode("/dev/full", std::u16string(5000, u'a'), kEncodingUtf16LE);
    ASSERT_FALSE(full);
    EXPECT_EQ(full.Error(), "File error");
    auto small = SaveAsUnicode("/dev/full", u"a", kEncodingUtf8);
    EXPECT_FALSE(small);
  }
  // Without a Unicode encoding chosen nothing is written, and no success is claimed.
  const std::string path = dir.Path("none.txt");
  EXPECT_FALSE(SaveAsUnicode(path, u"text", kEncodingNone));
  EXPECT_FALSE(test::Exists(path));
}

TEST(EncodingNames, CodePageListLookups) {
  const std::pair<const char*, int> names[] = {{"Traditional Chinese (950)", 950},
                                               {"Simplified Chinese (936)", 936},
                                               {"Thai (874)", 874},
                                               {"Japanese, Shift-JIS (932)", 932},
                                               {"Russian (866)", 866}};
  ASSERT_EQ(CodePageListNames().size(), 5u);
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_STREQ(CodePageListNames()[i], names[i].first);
    int nCodePage = 0;
    EXPECT_TRUE(ApplyCodePageName(nCodePage, names[i].first));
    EXPECT_EQ(nCodePage, names[i].second);
    EXPECT_EQ(CodePageDisplayName(nCodePage), names[i].first);
  }
  int nCodePage = 866;
  EXPECT_TRUE(ApplyCodePageName(nCodePage, "ANSI code page CP_ACP"));
  EXPECT_EQ(nCodePage, 0);
  // What the field shows for 0 is no name: left unchanged it keeps the choice.
  EXPECT_EQ(CodePageDisplayName(0), "ANSI code page selected");
  nCodePage = 932;
  for (const char* other : {"ANSI code page selected", "russian (866)", "Russian (866) ", "866", ""})
    EXPECT_FALSE(ApplyCodePageName(nCodePage, other)) << other;
  EXPECT_EQ(nCodePage, 932);
}

TEST(EncodingNames, EncodingListLookups) {
  int nEncoding = 0;
  EXPECT_FALSE(ApplyEncodingName(nEncoding, "utf-8"));
  EXPECT_EQ(nEncoding, 0);
  const int expected[] = {kEncodingUtf8, kEncodingUtf16LE, kEncodingUtf16BE};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_TRUE(ApplyEncodingName(nEncoding, EncodingListNames()[i]));
    EXPECT_EQ(nEncoding, expected[i]);
  }
}

TEST(EncodingConversions, ChosenCodePageBothWays) {
  // Cyrillic to the DOS page, and 0 as the ANSI page.
  auto dos = UnicodeToAnsi(u"\u041C\u0438\u0440", 866, 1252);
  ASSERT_TRUE(dos) << dos.Error();
  EXPECT_EQ(*dos, "\x8C\xA8\xE0");
  auto ansi = UnicodeToAnsi(u"\u041C\u0438\u0440", 0, 1251);
  ASSERT_TRUE(ansi);
  EXPECT_EQ(*ansi, "\xCC\xE8\xF0");
  auto lacking = UnicodeToAnsi(u"a\u4E2D", 0, 1252);
  ASSERT_TRUE(lacking);
  EXPECT_EQ(*lacking, "a?");
  auto back = AnsiToUnicode("\xA4\xA4\xA4\xE5", 950, 1252);
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, u"\u4E2D\u6587");
  EXPECT_FALSE(AnsiToUnicode("x", 0, 12345));
}

}  // namespace
}  // namespace tessary

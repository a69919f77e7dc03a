// The HTML page of a list window: where each line is cut, what is escaped, which
// charset is declared for which bytes, and failures as values.
#include "export/html_export.h"

#include <filesystem>
#include <gtest/gtest.h>

#include "engine/concordance_search.h"
#include "scratch_dir.h"

namespace tessary {
namespace {

const std::string kHead =
    "<HTML><HEAD><TITLE>Concordance list</TITLE></HEAD>\r\n"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=";
const std::string kBodyStart = "\"><body bgcolor=#ffffff><PRE>\r\n";
const std::string kTail = "</PRE>\r\n</BODY></HEAD>";

std::string Line(const std::string& left, const std::string& key, const std::string& right) {
  return left + "<font color=#ff00ff><b><u><i>" + key + "</i></u></b></font>" + right + "\r\n";
}

// The page's lines between the opening and closing text.
std::string Body(const CHtmlPage& page) {
  const std::string& b = page.m_strBytes;
  const std::size_t start = b.find(kBodyStart);
  EXPECT_NE(start, std::string::npos);
  EXPECT_EQ(b.substr(b.size() - kTail.size()), kTail);
  return b.substr(start + kBodyStart.size(), b.size() - kTail.size() - start - kBodyStart.size());
}

CHtmlListWindow Window(std::int64_t width, std::int64_t keyLength, bool bNumbers) {
  CHtmlListWindow w;
  w.m_bConcordance = true;
  w.m_nWidth = width;
  w.m_nKeyLength = keyLength;
  w.m_bLineNumbers = bNumbers;
  return w;
}

CHtmlPage Page(std::u16string_view text, const CHtmlListWindow& w) {
  auto page = ConcordanceHtml(text, w);
  EXPECT_TRUE(page) << page.Error();
  return page ? *page : CHtmlPage{};
}

TEST(HtmlExport, WholePageOfAPlainList) {
  const CHtmlPage page = Page(u"abcdeKEYfghijk\nlmnopKEYqrstuv\n", Window(5, 3, false));
  EXPECT_EQ(page.m_strBytes, kHead + "windows-1252" + kBodyStart + Line("abcde", "KEY", "fghijk") +
                                 Line("lmnop", "KEY", "qrstuv") + kTail);
  EXPECT_EQ(page.m_nLines, 2);
  // A last line without its line feed is written too; an empty text gives no lines.
  EXPECT_EQ(Body(Page(u"abcdeKEYfghijk", Window(5, 3, false))), Line("abcde", "KEY", "fghijk"));
  EXPECT_EQ(Body(Page(u"", Window(5, 3, false))), "");
}

TEST(HtmlExport, KeywordFollowsEachLinesOwnNumberPrefix) {
  // Numbered lines with file references: the keyword stands after the real prefix,
  // which grows to 8 characters at line 1,000,000; the right piece runs to the end.
  const std::u16string text =
      u"1      abcdeKEYfghijk (/t/a.txt)\n"
      u"999999 abcdeKEYfghijk (/t/a.txt)\n"
      u"1000000 abcdeKEYfghijk (/t/b.txt)\n";
  EXPECT_EQ(Body(Page(text, Window(5, 3, true))), Line("1      abcde", "KEY", "fghijk (/t/a.txt)") +
                                                      Line("999999 abcde", "KEY", "fghijk (/t/a.txt)") +
                                                      Line("1000000 abcde", "KEY", "fghijk (/t/b.txt)"));
  // An edited line without a prefix, and one shorter than the keyword's column.
  EXPECT_EQ(Body(Page(u"abcdeKEYfg\nab\n", Window(5, 3, true))), Line("abcde", "KEY", "fg") + Line("ab", "", ""));
  // Without numbering a line that happens to start with digits is not cut as numbered.
  EXPECT_EQ(Body(Page(u"12    KEYab\n", Window(6, 3, false))), Line("12    ", "KEY", "ab"));
}

TEST(HtmlExport, RealSearchHighlightsEveryKeyword) {
  for (bool bNumbers : {false, true}) {
    SCOPED_TRACE(bNumbers);
    CSearchRequest s;
    s.m_strSearch = "cat";
    s.m_nLineWidth = 6;
    s.m_strSortMode = kUnsorted;
    s.m_bLineNumbers = bNumbers;
    s.m_bFileReference = true;
    auto search = CConcordanceSearch::Create(s, {});
    ASSERT_TRUE(search) << search.Error();
    (*search)->SearchText("The cat sat on the mat; a cat & a <cat>.", "/t/pets.txt");
    const CAssembledList list = (*search)->Finish();
    const std::u16string text = RenderUtf16(list, (*search)->TextCodePage(), {}).m_wstrText;
    const std::string body = Body(Page(text, Window(6, 3, bNumbers)));
    std::size_t at = 0, keys = 0, refs = 0;
    while ((at = body.find("<i>", at)) != std::string::npos) {
      EXPECT_EQ(body.substr(at + 3, 3), "cat");
      ++keys;
      ++at;
    }
    for (at = 0; (at = body.find(" (/t/pets.txt)\r\n", at)) != std::string::npos; ++at) ++refs;
    EXPECT_EQ(keys, 3u);
    EXPECT_EQ(refs, 3u);
  }
}

TEST(HtmlExport, MarkupInTheTextIsEscaped) {
  const CHtmlPage page = Page(u"<b>&x<a&b>c> (/t/<i>.txt) 50%\n", Window(6, 3, false));
  EXPECT_EQ(Body(page), Line("&lt;b&gt;&amp;x&lt;", "a&amp;b", "&gt;c&gt; (/t/&lt;i&gt;.txt) 50%"));
}

TEST(HtmlExport, CharsetIsTheEncodingOfTheBytes) {
  // Windows-1252: the window's é is byte E9; a path letter the page lacks becomes a
  // numeric reference instead of a question mark.
  CHtmlPage page = Page(u"caf\u00E9 KEY \u0434.txt\n", Window(5, 3, false));
  EXPECT_EQ(page.m_strCharset, "windows-1252");
  EXPECT_EQ(Body(page), Line("caf\xE9 ", "KEY", " &#1076;.txt"));

  // Big5: the width counts bytes, so two characters of left context are four bytes.
  CHtmlListWindow big5 = Window(4, 4, true);
  big5.m_nCodePage = 950;
  page = Page(u"1      \u4E2D\u6587\u4E2D\u6587\u6587\u4E2D (/t/\U0001F408)\n", big5);
  EXPECT_NE(page.m_strBytes.find("charset=big5\""), std::string::npos);
  EXPECT_EQ(Body(page), Line("1      \xA4\xA4\xA4\xE5", "\xA4\xA4\xA4\xE5", "\xA4\xE5\xA4\xA4 (/t/&#128008;)"));

  // 16-bit lists count units and are written as UTF-8.
  CHtmlListWindow wide = Window(2, 1, false);
  wide.m_bUnicodeText = true;
  wide.m_nCodePage = 0;
  page = Page(u"\u00E9\u4E2D\u6587\u20AC <\n", wide);
  EXPECT_EQ(page.m_strCharset, "utf-8");
  EXPECT_EQ(Body(page), Line("\xC3\xA9\xE4\xB8\xAD", "\xE6\x96\x87", "\xE2\x82\xAC &lt;"));

  // A page without a web label is written as UTF-8 and says so.
  CHtmlListWindow dos = Window(1, 1, false);
  dos.m_nCodePage = 437;
  page = Page(u"\u00E9x\u00E9\n", dos);
  EXPECT_EQ(page.m_strCharset, "utf-8");
  EXPECT_EQ(Body(page), Line("\xC3\xA9", "x", "\xC3\xA9"));
}

TEST(HtmlExport, SentenceListsUseTheirKeyColumns) {
  CHtmlListWindow w = Window(50, 4, true);
  w.m_arrKeyColumns = {11, 7};
  EXPECT_EQ(Body(Page(u"1      See the lion.\n2      Lions sleep.\n", w)),
            Line("1      See ", "the ", "lion.") + Line("2      ", "Lion", "s sleep."));
}

TEST(HtmlExport, RefusalsAndFileErrors) {
  test::ScratchDir dir;
  const std::string path = dir.Path("list.htm");
  CHtmlListWindow plain = Window(5, 3, false);
  plain.m_bConcordance = false;
  auto refused = WriteConcordanceHtml(path, u"abcdeKEYfghijk\n", plain);
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.Error(), "This window is not formatted for concordances.");
  EXPECT_FALSE(test::Exists(path));

  auto written = WriteConcordanceHtml(path, u"abcdeKEYfghijk\n", Window(5, 3, false));
  ASSERT_TRUE(written) << written.Error();
  EXPECT_EQ(test::ReadBytes(path), written->m_strBytes);

  auto noDir = WriteConcordanceHtml(dir.Path("missing/list.htm"), u"abcdeKEYfghijk\n", Window(5, 3, false));
  ASSERT_FALSE(noDir);
  EXPECT_EQ(noDir.Error(), "File error");
}

TEST(HtmlExport, AFullDeviceIsAFileErrorAndStaysADevice) {
  std::error_code error;
  if (!std::filesystem::is_character_file("/dev/full", error)) GTEST_SKIP() << "no /dev/full here";
  auto full = WriteConcordanceHtml("/dev/full", u"abcdeKEYfghijk\n", Window(5, 3, false));
  ASSERT_FALSE(full);
  EXPECT_EQ(full.Error(), "File error");
  // Run as root, removing what was written would delete the device itself.
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/full", error));
}

}  // namespace
}  // namespace tessary

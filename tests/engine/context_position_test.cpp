// Context look-up: a search position, in the text the search read, mapped to the text
// the editor shows, and the check that the keyword is still there.
#include <gtest/gtest.h>

#include "engine/concordance_list.h"
#include "engine/concordance_search.h"
#include "engine/context_position.h"
#include "engine/scan_paths.h"
#include "engine/text_file.h"
#include "test_texts.h"

namespace tessary {
namespace {

using test::Cp1252;
using test::TempFile;

const CCodePage& Cp932() {
  static const auto cp = *CCodePage::Open(932);
  return *cp;
}

std::u16string Upper(std::u16string s) {
  for (char16_t& c : s) c = WideUpper(c);
  return s;
}

// A byte search of one file, as a list.
CConcordanceList SearchFile(const std::string& path, const std::string& key, int mode = kMatchWord) {
  CSearchRequest request;
  request.m_strSearch = key;
  request.m_nMatchMode = mode;
  request.m_strSortMode = kUnsorted;
  request.m_source = SearchSource::kFiles;
  auto search = std::move(*CConcordanceSearch::Create(request, {}));
  search->SearchFile(path);
  const auto assembled = search->Finish();
  CConcordanceList list;
  list.m_request = request;
  list.m_nMatchMode = search->Prepared().m_nMode;
  list.m_nKeyLength = static_cast<std::int64_t>(search->Prepared().m_strKey.size());
  list.m_bFromFiles = true;
  list.TakeEntries(assembled.m_arrEntries, assembled.m_arrFiles);
  return list;
}

// Every line of a byte search of the file lands on its keyword in the editor's text.
void ExpectEveryLineLands(const std::string& bytes, const std::string& key, const std::u16string& shown,
                          std::size_t lines, int mode = kMatchWord) {
  TempFile file(bytes);
  const CConcordanceList list = SearchFile(file.Path(), key, mode);
  ASSERT_EQ(list.m_arrEntries.size(), lines);
  const std::u16string editor = DecodeForEditor(bytes, Cp1252());
  for (const CListEntry& entry : list.m_arrEntries) {
    const auto range = LocateContext(list, entry, editor, bytes, Cp1252(), Cp1252());
    ASSERT_TRUE(range) << entry.m_nPosition;
    EXPECT_EQ(Upper(editor.substr(range->m_nStart, range->m_nLength)), Upper(shown)) << entry.m_nPosition;
  }
}

TEST(ContextPosition, ByteSearchesOfFilesLandOnTheKeywordInEveryCoding) {
  // Windows-1252 with accented letters before the keyword, CR LF and lone CR line ends.
  ExpectEveryLineLands("Caf\xE9\r\nco\xFBte \xE9t\xE9 cat\r\n\r\nThe CAT\rsat; cat", "cat", u"cat", 3);
  ExpectEveryLineLands(test::kCrlfLines, "the", u"the", 6);
  // UTF-8 without a mark: three bytes of the euro sign are one unit in the editor, and
  // a four-byte character two.
  ExpectEveryLineLands("Caf\xC3\xA9 \xE2\x82\xAC\r\n\xF0\x9F\x90\x88 cat, cat\r\n", "cat", u"cat", 2);
  // UTF-8 with its mark, which the editor does not show.
  ExpectEveryLineLands("\xEF\xBB\xBF\xC3\xA9t\xC3\xA9\r\nthe cat\n", "cat", u"cat", 1);
  // UTF-16 with CR LF: the byte search sees each unit's bytes; a key of one byte finds
  // the low byte of the letter.
  const std::u16string wide = u"Caf\u00E9\r\nun \u00E9t\u00E9\r\n\u00E9";
  std::string le = "\xFF\xFE";
  for (char16_t c : wide) le += std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  ExpectEveryLineLands(le, "\xE9", u"\u00E9", 4, kMatchAny);
  std::string be = "\xFE\xFF";
  for (char16_t c : wide) be += std::string{static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
  ExpectEveryLineLands(be, "\xE9", u"\u00E9", 4, kMatchAny);
}

TEST(ContextPosition, FilePositionsCountTextModeBytes) {
  // "ab\r\ncd": text mode reads "ab\ncd"; c is byte 3 there, unit 3 in the editor.
  EXPECT_EQ(FileRangeToEditor("ab\r\ncd", 3, 2, Cp1252()), (CEditorRange{3, 2}));
  // A range over the line end takes its one unit.
  EXPECT_EQ(FileRangeToEditor("ab\r\ncd", 1, 3, Cp1252()), (CEditorRange{1, 3}));
  // The text ends at Ctrl-Z: nothing lies after it.
  EXPECT_FALSE(FileRangeToEditor("ab\x1A" "cd", 3, 2, Cp1252()));
  EXPECT_FALSE(FileRangeToEditor("ab", 1, 5, Cp1252()));
  // Double-byte ANSI files are decoded as the editor decodes them.
  const std::string sjis = Cp932().FromUnicode(u"\u65E5\u672C\r\ncat");
  const auto range = FileRangeToEditor(sjis, 5, 3, Cp932());
  ASSERT_TRUE(range);
  EXPECT_EQ(*range, (CEditorRange{3, 3}));
}

TEST(ContextPosition, OpenDocumentPositionsCountCodePageBytes) {
  // A pair of surrogates is one '?' in a single-byte page.
  const std::u16string text = u"\U0001F408 caf\u00E9 cat";
  const std::string bytes = Cp1252().FromUnicode(text);
  const auto at = static_cast<std::int64_t>(bytes.find("cat"));
  EXPECT_EQ(TextRangeToEditor(text, at, 3, Cp1252()), (CEditorRange{static_cast<std::int64_t>(text.find(u"cat")), 3}));
  // In a double-byte page each Japanese character is two bytes.
  const std::u16string japanese = u"\u65E5\u672C\u8A9E\u306E cat";
  const std::string sjis = Cp932().FromUnicode(japanese);
  EXPECT_EQ(TextRangeToEditor(japanese, static_cast<std::int64_t>(sjis.find("cat")), 3, Cp932()),
            (CEditorRange{5, 3}));
  // A position inside a two-byte character, or past the text, has no place.
  EXPECT_FALSE(TextRangeToEditor(japanese, 1, 1, Cp932()));
  EXPECT_FALSE(TextRangeToEditor(u"cat", 2, 3, Cp1252()));
}

CConcordanceList ByteList(const std::string& key, int mode) {
  CConcordanceList list;
  list.m_request.m_strSearch = key;
  list.m_request.m_nMatchMode = mode;
  list.m_nMatchMode = mode;
  list.m_nKeyLength = static_cast<std::int64_t>(key.size());
  return list;
}

TEST(ContextPosition, TheKeywordMustStillStandAsItWasMatched) {
  const CConcordanceList word = ByteList("cat", kMatchWord);
  EXPECT_TRUE(KeywordStandsAt(u"The CAT sat", {4, 3}, word, Cp1252()));
  // An edit that joined a letter to it, replaced it or moved it.
  EXPECT_FALSE(KeywordStandsAt(u"The CATS sat", {4, 3}, word, Cp1252()));
  EXPECT_FALSE(KeywordStandsAt(u"The dog sat", {4, 3}, word, Cp1252()));
  EXPECT_FALSE(KeywordStandsAt(u"A cat", {4, 3}, word, Cp1252()));
  EXPECT_FALSE(KeywordStandsAt(u"The cat", {4, 9}, word, Cp1252()));
  // The wildcard and the any-string mode match as the search did.
  EXPECT_TRUE(KeywordStandsAt(u"I got it", {2, 3}, ByteList("g%t", kMatchWord), Cp1252()));
  EXPECT_TRUE(KeywordStandsAt(u"kingdom", {1, 3}, ByteList("ing", kMatchAny), Cp1252()));
  // A 16-bit list: a following accented letter is a letter there.
  CConcordanceList wide;
  wide.m_request.m_bUnicode = true;
  wide.m_request.m_wstrSearch = u"caf";
  wide.m_nKeyLength = 3;
  EXPECT_TRUE(KeywordStandsAt(u"un caf noir", {3, 3}, wide, Cp1252()));
  EXPECT_FALSE(KeywordStandsAt(u"un caf\u00E9 noir", {3, 3}, wide, Cp1252()));
}

TEST(ContextPosition, AnEditedSourceGivesNoRange) {
  CConcordanceList list = ByteList("cat", kMatchWord);
  CListEntry entry;
  entry.m_nPosition = 4;
  EXPECT_EQ(LocateContext(list, entry, u"the cat", {}, Cp1252(), Cp1252()), (CEditorRange{4, 3}));
  EXPECT_FALSE(LocateContext(list, entry, u"the big cat", {}, Cp1252(), Cp1252()));
  // A file changed since the search: its bytes no longer hold the keyword there.
  list.m_bFromFiles = true;
  EXPECT_FALSE(LocateContext(list, entry, u"the dog", "the dog", Cp1252(), Cp1252()));
  EXPECT_EQ(LocateContext(list, entry, u"the cat", "the cat", Cp1252(), Cp1252()), (CEditorRange{4, 3}));
}

}  // namespace
}  // namespace tessary

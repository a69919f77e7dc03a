// Line building at the text's edges and the line recorder's entries.
#include <gtest/gtest.h>

#include "engine/line_builder.h"
#include "engine/line_recorder.h"
#include "engine/scan_paths.h"
#include "engine/search_request.h"

namespace tessary {
namespace {

std::string Line(std::string_view text, std::uint64_t offset, std::size_t n, std::int64_t width,
                 bool dbcs = false) {
  std::string out;
  AppendLine(out, text, offset, n, width, dbcs);
  return out;
}

TEST(LineBuilding, EdgesOfTheTextGiveSpacesAndKeepTheKeywordColumn) {
  const std::string text = "abcKEYdef";
  const std::string near = Line(text, 3, 3, 50);
  ASSERT_EQ(near.size(), 2u * 50 + 3 + 1);
  EXPECT_EQ(near.substr(0, 47), std::string(47, ' '));
  EXPECT_EQ(near.substr(47, 9), "abcKEYdef");
  EXPECT_EQ(near.substr(56), std::string(48, ' '));
  EXPECT_EQ(Line(text, 3, 3, 2), "bcKEYdef");  // W left, keyword, W + 1 right
  EXPECT_EQ(Line("KEY", 0, 3, 1), " KEY  ");
}

TEST(LineBuilding, ControlCodesBecomeSpacesButHighBytesStay) {
  EXPECT_EQ(Line("a\tb\r\nKEY\x01\xE9\x80", 5, 3, 5), "a b  KEY \xE9\x80   ");
  // Double-byte text keeps other control codes so that pairs stay whole.
  EXPECT_EQ(Line("\t\xA4\x01KEY", 3, 3, 3, true), " \xA4\x01KEY    ");
  std::u16string wide;
  AppendLine(wide, u"x\ny\U0001F408", 1, 1, 1, false);
  EXPECT_EQ(wide, u"x y\xD83D");
}

struct Recorded {
  std::vector<std::string> lines;
  std::vector<CConcordanceEntry> entries;
  std::vector<std::string> files;
};

Recorded Record(const std::string& sortMode, std::string_view text, std::vector<std::uint64_t> offsets,
                std::size_t n, std::int64_t width = 4, const CCodePage& cp = test::Cp1252()) {
  CRecorderOptions options;
  options.m_nWidth = width;
  options.m_nKeyLength = n;
  options.m_strSortMode = sortMode;
  options.m_bDoubleByte = cp.IsDoubleByte();
  CLineRecorder recorder(options, cp);
  recorder.BeginSource("/texts/a.txt", 1000);
  for (auto offset : offsets) recorder.OnMatch(text, offset);
  Recorded r;
  for (std::size_t i = 0; i < recorder.Lines().Size(); ++i) r.lines.emplace_back(recorder.Lines().Line(i));
  r.entries = recorder.Entries();
  r.files = recorder.Files();
  return r;
}

TEST(LineRecorder, EntriesRememberSourcePositionAndLine) {
  const auto r = Record(kUnsorted, "one cat two cat", {4, 12}, 3);
  ASSERT_EQ(r.lines.size(), 2u);
  EXPECT_EQ(r.lines[1], "two cat     ");
  EXPECT_EQ(r.entries[1].m_nLine, 1);
  EXPECT_EQ(r.entries[1].m_nPosition, 1012);
  EXPECT_EQ(FileOfEntry(r.files, r.entries[1].m_nFile), "/texts/a.txt");
  EXPECT_TRUE(r.entries[1].m_strSortKey.empty());
  EXPECT_EQ(Record(kSortPosition, "one cat", {4}, 3).entries[0].m_strSortKey, "4");
}

TEST(LineRecorder, SortedLinesGetKeysAndNeverEndInHalfACharacter) {
  auto r = Record(kSortRight, "a cat sat\xE9s", {2}, 3, 4);
  EXPECT_EQ(r.lines[0], "  a cat sat\xE9");  // a whole accented letter stays
  EXPECT_EQ(r.entries[0].m_strSortKey.substr(0, 4), "sat\xE9");
  EXPECT_EQ(r.entries[0].m_nKeyOffset, 8);
  EXPECT_EQ(r.entries[0].m_nKeyLength, 4);

  const auto big5 = *CCodePage::Open(950);
  // Big5 河水 followed by 。水位: the right context ends inside 水, or just after it.
  const std::string text = "\xAA\x65\xA4\xF4\xA1\x43\xA4\xF4\xA6\xEC";
  r = Record(kSortRight, text, {0}, 4, 2, *big5);
  EXPECT_EQ(r.lines[0], "  \xAA\x65\xA4\xF4\xA1\x43 ");  // 5 bytes: 。 whole, 水's lead byte cut
  r = Record(kSortRight, text, {0}, 4, 3, *big5);
  EXPECT_EQ(r.lines[0], "   \xAA\x65\xA4\xF4\xA1\x43\xA4\xF4");  // ends on a whole 水
}

TEST(SearchSettings, StartValuesAndWidthValidation) {
  CSearchSettings s;
  EXPECT_EQ(s.m_nLineWidth, 50);
  EXPECT_EQ(s.m_strSortMode, kSortRight);
  EXPECT_TRUE(s.m_bLineNumbers && s.m_bAutoFormat && s.m_nNearAnywhere);
  EXPECT_FALSE(s.m_bFileReference || s.IsDoubleByte() || s.m_bUnicode || s.m_bTestMode || s.m_bSentences);
  EXPECT_EQ(SetLineWidth(s.m_nLineWidth, "35"), "");
  EXPECT_EQ(s.m_nLineWidth, 35);
  for (const char* bad : {"0", "1001", "-5", "abc", "", "12x"}) {
    EXPECT_NE(SetLineWidth(s.m_nLineWidth, bad), "") << bad;
    EXPECT_EQ(s.m_nLineWidth, 35) << bad;
  }
  EXPECT_EQ(SetLineWidth(s.m_nLineWidth, "1000"), "");
}

TEST(SearchSettings, ARequestTakesTheNextSearchsAsksAndCancellingDropsThem) {
  CSearchSettings s;
  s.m_bTestMode = s.m_bSentences = true;
  s.m_language = TextLanguageKind::kJapanese;
  s.m_nAnsiCodePage = 1251;
  const CSearchRequest r = CSearchRequest::FromSettings(s);
  EXPECT_TRUE(r.m_bTestMode && r.m_bSentences);
  EXPECT_EQ(r.m_language.TextCodePage(), 932);
  EXPECT_EQ(r.m_language.Keys(), DoubleByteKeys::kShiftJis);
  s.ClearRequest();
  EXPECT_FALSE(s.m_bTestMode || s.m_bSentences);
  s.m_language = TextLanguageKind::kCodePage;
  EXPECT_EQ(CSearchRequest::FromSettings(s).m_language.TextCodePage(), 1251);
  EXPECT_FALSE(CSearchRequest::FromSettings(s).m_bTestMode);
}

TEST(SearchSettings, TrimmingKeepsDoubleBytePairsWhole) {
  EXPECT_EQ(TrimSearchString("  the cat \t", false), "the cat");
  EXPECT_EQ(TrimSearchString("   ", false), "");
  // 0xA4 0x20 is not a Big5 pair, but a lead byte must never lose its trail byte.
  EXPECT_EQ(TrimSearchString(" \xA4\x20", true), "\xA4\x20");
}

}  // namespace
}  // namespace tessary

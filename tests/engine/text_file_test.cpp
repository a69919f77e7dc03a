// Reading files for a search, enumerating "all matching files", and decoding files
// as the editor loads them.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <fstream>

#include "engine/concordance_search.h"
#include "engine/file_enum.h"
#include "engine/scan_paths.h"
#include "engine/text_file.h"
#include "test_texts.h"

namespace tessary {
namespace {

using test::TempFile;

std::string TextMode(std::string bytes) {
  bytes.resize(ApplyTextMode(bytes.data(), bytes.size()));
  return bytes;
}

TEST(TextFile, CrLfIsOneLineFeedAndCtrlZEndsTheText) {
  EXPECT_EQ(TextMode("a\r\nb\rc\r\r\nd"), "a\nb\rc\r\nd");
  EXPECT_EQ(TextMode("ab\x1A" "cd\r\n"), "ab");
  EXPECT_EQ(TextMode("\r\n\r\n"), "\n\n");
  TempFile file(test::kCrlfLines);
  auto read = CTextFile::Open(file.Path());
  ASSERT_TRUE(read);
  EXPECT_EQ((*read)->Text(), TextMode(test::kCrlfLines));
  EXPECT_EQ((*read)->RawText(), test::kCrlfLines);
}

TEST(TextFile, PositionsCountEachLineEndAsOneCharacter) {
  CSearchRequest s;
  s.m_strSearch = "the";
  s.m_strSortMode = kUnsorted;
  TempFile file(test::kCrlfLines);
  auto search = std::move(*CConcordanceSearch::Create(s, {}));
  search->SearchFile(file.Path());
  const auto list = search->Finish();
  std::string text = TextMode(test::kCrlfLines);
  for (char& ch : text) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  ASSERT_EQ(list.Lines(), 6);
  for (const auto& entry : list.m_arrEntries) {
    EXPECT_EQ(text.compare(static_cast<std::size_t>(entry.m_nPosition), 3, "the"), 0) << entry.m_nPosition;
    EXPECT_EQ(list.FileOf(entry), file.Path());
  }
  EXPECT_EQ(list.m_arrEntries.back().m_nPosition, static_cast<std::int64_t>(text.size()) - 3);
}

TEST(TextFile, CountingTheRawBytesFindsWhatTheTextModeFinds) {
  TempFile file(test::kCrlfLines + "\r\nthe end\x1Athe the");
  for (const char* key : {"the", "cat", "t%e", "the\r"}) {
    CSearchRequest s;
    s.m_strSearch = key;
    auto counted = std::move(*CConcordanceSearch::Create(s, {}, true));
    auto listed = std::move(*CConcordanceSearch::Create(s, {}));
    counted->SearchFile(file.Path());
    listed->SearchFile(file.Path());
    EXPECT_EQ(counted->Matches(), static_cast<std::uint64_t>(listed->Finish().Lines())) << key;
  }
}

TEST(TextFile, AnUnreadableFileIsSkippedWithAMessageAndTheRestIsSearched) {
  TempFile a("a cat"), c("one cat, two cats, a cat");
  CSearchRequest s;
  s.m_strSearch = "cat";
  auto search = std::move(*CConcordanceSearch::Create(s, {}));
  search->SearchFile(a.Path());
  search->SearchFile("/nonexistent/b.txt");
  search->SearchFile("/");
  search->SearchFile(c.Path());
  ASSERT_EQ(search->SkippedFiles().size(), 2u);
  EXPECT_EQ(search->SkippedFiles()[0], "Cannot open /nonexistent/b.txt: No such file or directory.");
  EXPECT_NE(search->SkippedFiles()[1].find("Cannot read /:"), std::string::npos);
  EXPECT_EQ(search->Finish().Lines(), 3);
}

class MatchingFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char dir[] = "/tmp/tessary-enum-XXXXXX";
    ASSERT_TRUE(::mkdtemp(dir));
    m_dir = dir;
    for (const char* name : {"b.txt", "A.TXT", "c.doc", "d.txt.bak", "e"}) std::ofstream(m_dir + "/" + name) << "x";
    ::mkdir((m_dir + "/sub.txt").c_str(), 0700);
  }
  void TearDown() override { std::system(("rm -rf '" + m_dir + "'").c_str()); }
  std::string m_dir;
};

TEST_F(MatchingFiles, ExtensionIgnoresCaseRegularFilesOnlyInNameOrder) {
  auto files = EnumerateMatchingFiles({m_dir + "/b.txt", "txt", "b", "b.txt"});
  ASSERT_TRUE(files);
  EXPECT_EQ(*files, (std::vector<std::string>{m_dir + "/A.TXT", m_dir + "/b.txt"}));
  files = EnumerateMatchingFiles({m_dir + "/*.doc", "doc", "*", "*.doc"});
  EXPECT_EQ(*files, std::vector<std::string>{m_dir + "/c.doc"});
  EXPECT_EQ(ListMatchingFiles(m_dir, "*.*")->size(), 5u);
  EXPECT_TRUE(EnumerateMatchingFiles({"", "", "", ""})->empty());
  EXPECT_FALSE(ListMatchingFiles(m_dir + "/missing", "*.txt"));
}

TEST(FilePattern, WindowsWildcards) {
  EXPECT_TRUE(MatchesFilePattern("Chapter1.TXT", "chapter?.txt"));
  EXPECT_TRUE(MatchesFilePattern("noext", "*.*"));
  EXPECT_FALSE(MatchesFilePattern("a.txt.bak", "*.txt"));
  EXPECT_TRUE(MatchesFilePattern("a.b.txt", "*.txt"));
}

TEST(EditorDecoding, ByteOrderMarksThenUtf8ThenTheAnsiCodePage) {
  const auto& cp = test::Cp1252();
  const std::u16string expected = test::Utf8ToUtf16Text("en.utf8.txt");
  EXPECT_EQ(DecodeForEditor(test::ReadDataFile("en.utf16le-bom.txt"), cp), expected);
  EXPECT_EQ(DecodeForEditor(test::ReadDataFile("en.cp1252.txt"), cp), expected);
  EXPECT_EQ(DecodeForEditor(test::ReadDataFile("en.utf8.txt"), cp), expected);
  EXPECT_EQ(DecodeForEditor(test::ReadDataFile("zh-hans.utf16be-bom.txt"), cp),
            test::Utf8ToUtf16Text("zh-hans.utf8.txt"));
  EXPECT_EQ(DecodeForEditor("a\r\nb\rc\n", cp), u"a\nb\nc\n");
  EXPECT_EQ(DecodeForEditor("\xED\xA0\x80", cp), u"\u00ED\u00A0\u20AC");  // a surrogate in UTF-8 is not UTF-8
}

TEST(EditorDecoding, TheFirstLineEndIsFoundInEveryEncoding) {
  using namespace std::string_view_literals;
  EXPECT_EQ(FirstLineEnd("a\nb\r\n"), "\n");
  EXPECT_EQ(FirstLineEnd("a\r\nb\n"), "\r\n");
  EXPECT_EQ(FirstLineEnd("a\rb"), "\r");
  EXPECT_EQ(FirstLineEnd("a\r"), "\r");
  EXPECT_EQ(FirstLineEnd("no break"), "");
  EXPECT_EQ(FirstLineEnd("\xEF\xBB\xBF" "a\r\n"), "\r\n");
  EXPECT_EQ(FirstLineEnd("\xFF\xFE" "a\0\r\0\n\0"sv), "\r\n");
  EXPECT_EQ(FirstLineEnd("\xFE\xFF\0a\0\n"sv), "\n");
  // U+0A0D in UTF-16 holds the bytes of CR and LF but is no line end.
  EXPECT_EQ(FirstLineEnd("\xFF\xFE\x0D\x0A\r\0"sv), "\r");
  EXPECT_EQ(FirstLineEnd("\xFF\xFE\x0D\x0A"sv), "");
}

}  // namespace
}  // namespace tessary

// Reading outside files safely: only regular files, through a bounded buffer, with
// files that change under a search ending their scan with a message.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "bigfile/line_file.h"
#include "engine/big_file_search.h"
#include "engine/concordance_search.h"
#include "engine/file_reader.h"
#include "engine/piece_scan.h"
#include "engine/scan_paths.h"
#include "engine/text_file.h"
#include "stats/profile.h"
#include "stats/text_classes.h"
#include "stats/unique_words.h"
#include "stats/word_list_report.h"
#include "test_texts.h"

namespace tessary {
namespace {

using test::TempFile;

std::string TempDir() { return ::getenv("TMPDIR") ? ::getenv("TMPDIR") : "/tmp"; }

CSearchRequest Settings(const std::string& key, const std::string& sort = kUnsorted) {
  CSearchRequest s;
  s.m_strSearch = key;
  for (char c : key) s.m_wstrSearch.push_back(static_cast<unsigned char>(c));
  s.m_strSortMode = sort;
  return s;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// ---- Anything but a regular file ----

class NotRegularFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    m_fifo = TempDir() + "/" + std::to_string(::getpid()) + "-tessary.fifo";
    ASSERT_EQ(::mkfifo(m_fifo.c_str(), 0600), 0);
  }
  void TearDown() override { ::unlink(m_fifo.c_str()); }
  std::string m_fifo;
};

// A FIFO without a writer and /dev/zero would block or read forever: every reader
// refuses them at once, naming the path and what it is.
TEST_F(NotRegularFiles, EveryReaderRefusesThemWithAClearMessage) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {m_fifo, "it is a named pipe, not a regular file."},
      {"/dev/zero", "it is a device, not a regular file."},
      {TempDir(), "Is a directory."}};
  auto classes = CTextClasses::Open(1252);
  for (const auto& [path, what] : cases) {
    SCOPED_TRACE(path);
    EXPECT_EQ(RegularFileProblem(path), "Cannot read " + path + ": " + what);
    auto fd = OpenRegularFile(path);
    ASSERT_FALSE(fd);
    EXPECT_EQ(fd.Error(), RegularFileProblem(path));
    EXPECT_FALSE(CTextFile::Open(path));
    EXPECT_FALSE(CLineFile::Open(path));
    EXPECT_FALSE(ReadWordList(path, *classes));

    auto search = std::move(*CConcordanceSearch::Create(Settings("the"), {}));
    search->SearchFile(path);
    auto wide = std::move(*CWideConcordanceSearch::Create(Settings("the"), {}));
    wide->SearchFile(path);
    auto big = std::move(*CBigFileSearch::Create(Settings("the"), {}));
    EXPECT_FALSE(big->SearchFile(path));
    auto profile = std::move(*CByteProfile::Create("the", true, 1252));
    profile->AddFile(path);
    auto words = std::move(*CUniqueWordCounter::Create({}));
    words->AddFile(path);
    for (const auto* skipped : {&search->SkippedFiles(), &wide->SkippedFiles(), &profile->SkippedFiles(),
                                &words->SkippedFiles()})
      EXPECT_EQ(*skipped, std::vector<std::string>{RegularFileProblem(path)});
    EXPECT_EQ(big->Error(), RegularFileProblem(path));
  }
  TempFile regular("text");
  EXPECT_EQ(RegularFileProblem(regular.Path()), "");
  EXPECT_EQ(RegularFileProblem("/no/such/file"), "");  // opening it says why
  EXPECT_EQ(OpenRegularFile("/no/such/file").Error(), "Cannot open /no/such/file: No such file or directory.");
}

// ---- Files that change while they are searched ----

// A text of well over one read piece, with "the" at known places.
std::string LongText() {
  std::string text;
  while (text.size() < 3 * kFilePiece) text += "the cat sat on the mat; ";
  return text;
}

std::uint64_t CountIn(const std::string& text, bool wide) {
  if (wide) {
    auto s = std::move(*CWideConcordanceSearch::Create(Settings("the"), {}, true));
    s->SearchText(std::u16string(text.begin(), text.end()), "");
    return s->Matches();
  }
  auto s = std::move(*CConcordanceSearch::Create(Settings("the"), {}, true));
  s->SearchText(text, "");
  return s->Matches();
}

// Runs a search of path and calls change once, at the first progress report after
// some of the file was read.
template <class Search>
std::pair<std::uint64_t, std::vector<std::string>> SearchWhileChanging(const std::string& path, bool lines,
                                                                        const std::function<void()>& change) {
  bool changed = false;
  CSearchObserver observer;
  observer.m_fnProgress = [&](std::uint64_t done, std::uint64_t) {
    if (done > 0 && !changed) change(), changed = true;
    return true;
  };
  auto search = std::move(*Search::Create(Settings("the"), observer, !lines));
  search->SearchFile(path);
  search->SearchFile(path + ".missing");  // the run goes on after the changed file
  EXPECT_TRUE(changed);
  const auto list = search->Finish();
  if (lines) {
    EXPECT_EQ(list.m_arrEntries.size(), search->Matches());
  }
  return {search->Matches(), search->SkippedFiles()};
}

TEST(ChangingFiles, AFileCutShortEndsItsScanAndKeepsTheMatchesFound) {
  const std::string text = LongText();
  const std::size_t kept = kFilePiece + 1000;
  for (bool wide : {false, true})
    for (bool lines : {false, true}) {
      SCOPED_TRACE(std::to_string(wide) + std::to_string(lines));
      TempFile file(text);
      auto cut = [&] { ASSERT_EQ(::truncate(file.Path().c_str(), static_cast<off_t>(kept)), 0); };
      const auto [matches, skipped] = wide ? SearchWhileChanging<CWideConcordanceSearch>(file.Path(), lines, cut)
                                           : SearchWhileChanging<CConcordanceSearch>(file.Path(), lines, cut);
      EXPECT_EQ(matches, CountIn(text.substr(0, kept), wide));
      ASSERT_EQ(skipped.size(), 2u);
      EXPECT_EQ(skipped[0], "The file " + file.Path() + " became shorter while it was read; reading stopped at position " +
                                std::to_string(kept) + ".");
      EXPECT_TRUE(Contains(skipped[1], ".missing"));
    }
}

TEST(ChangingFiles, AFileThatGrowsOrIsRemovedIsSearchedAsItStoodAndNamed) {
  const std::string text = LongText();
  for (bool wide : {false, true}) {
    SCOPED_TRACE(wide);
    TempFile grows(text);
    auto append = [&] { std::ofstream(grows.Path(), std::ios::app) << "the the the"; };
    auto [matches, skipped] = wide ? SearchWhileChanging<CWideConcordanceSearch>(grows.Path(), true, append)
                                   : SearchWhileChanging<CConcordanceSearch>(grows.Path(), true, append);
    EXPECT_EQ(matches, CountIn(text, wide));
    EXPECT_TRUE(Contains(skipped.at(0), grows.Path() + " grew while it was read")) << skipped.at(0);

    TempFile removed(text);
    auto unlink = [&] { ::unlink(removed.Path().c_str()); };
    std::tie(matches, skipped) = wide
                                     ? SearchWhileChanging<CWideConcordanceSearch>(removed.Path(), false, unlink)
                                     : SearchWhileChanging<CConcordanceSearch>(removed.Path(), false, unlink);
    EXPECT_EQ(matches, CountIn(text, wide));
    EXPECT_EQ(skipped.at(0), "The file " + removed.Path() + " was removed while it was read.");
  }
}

TEST(ChangingFiles, TheBigFileSearchNamesAFileThatGrew) {
  const std::string text = LongText();
  TempFile file(text);
  bool grown = false;
  CBigFileObserver observer;
  observer.m_fnChunk = [&](std::int64_t start, std::int64_t) {
    if (start > 0 && !grown) std::ofstream(file.Path(), std::ios::app) << "the end", grown = true;
  };
  auto search = std::move(*CBigFileSearch::Create(Settings("the"), observer, true, 100000));
  EXPECT_FALSE(search->SearchFile(file.Path()));
  EXPECT_EQ(search->Matches(), CountIn(text, false));
  EXPECT_TRUE(Contains(search->Error(), file.Path() + " grew while it was searched")) << search->Error();
}

// The reader under every file reader: a file cut between two reads ends with a message.
TEST(ChangingFiles, TheReaderStopsWhereTheFileNowEnds) {
  TempFile file(std::string(10000, 'x'));
  const int fd = ::open(file.Path().c_str(), O_RDONLY);
  CFileReader reader(fd, file.Path());
  char buffer[4000];
  EXPECT_EQ(reader.Read(buffer, sizeof buffer), 4000u);
  ASSERT_EQ(::truncate(file.Path().c_str(), 6000), 0);
  EXPECT_EQ(reader.Read(buffer, sizeof buffer), 2000u);
  EXPECT_EQ(reader.Read(buffer, sizeof buffer), 0u);
  EXPECT_EQ(reader.Problem(), "The file " + file.Path() + " became shorter while it was read; reading stopped at position 6000.");
  EXPECT_FALSE(reader.Rewind());
  ::close(fd);
}

// ---- Progress and stop from the first piece ----

TEST(FileProgress, ProgressAndStopComeWithTheFirstPieceOfAFile) {
  const std::string text = LongText();
  TempFile file(text);
  for (bool wide : {false, true}) {
    SCOPED_TRACE(wide);
    std::vector<std::uint64_t> seen;
    CSearchObserver observer;
    observer.m_fnProgress = [&](std::uint64_t done, std::uint64_t total) {
      EXPECT_EQ(total, text.size());
      seen.push_back(done);
      return true;
    };
    auto all = std::move(*CWideConcordanceSearch::Create(Settings("the"), observer, true));
    auto bytes = std::move(*CConcordanceSearch::Create(Settings("the"), observer, true));
    if (wide) all->SearchFile(file.Path());
    else bytes->SearchFile(file.Path());
    ASSERT_GE(seen.size(), 4u);
    EXPECT_EQ(seen.front(), 0u);
    EXPECT_LE(seen[1], kFilePiece);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), text.size());

    observer.m_fnProgress = [](std::uint64_t done, std::uint64_t) { return done == 0; };
    auto stopped = std::move(*CConcordanceSearch::Create(Settings("the"), observer));
    stopped->SearchFile(file.Path());
    EXPECT_TRUE(stopped->Stopped());
    EXPECT_LT(stopped->Matches(), CountIn(text, false) / 2);
    EXPECT_EQ(stopped->Finish().m_arrEntries.size(), stopped->Matches());
  }
}

// ---- Pieces of any size ----

struct StringSource {
  std::string_view text;
  std::size_t at = 0;
  std::size_t most = 1;
  std::size_t Read(char* out, std::size_t room) {
    const std::size_t n = std::min({room, most, text.size() - at});
    std::copy_n(text.data() + at, n, out);
    at += n;
    return n;
  }
  bool Ended() const { return at == text.size(); }
};

CAssembledList ScanInPieces(const CSearchRequest& s, const std::string& text, std::size_t piece) {
  auto parts = PrepareSearch<char>(s, false);
  EXPECT_TRUE(parts);
  StringSource source{text, 0, piece};
  ScanPieces<char>(source, [&] { return static_cast<std::int64_t>(source.at); }, static_cast<std::int64_t>(text.size()),
                   *parts->m_pMatcher, parts->m_pRecorder.get(), "t.txt",
                   static_cast<std::int64_t>(parts->m_prepared.m_strKey.size()), s.m_nLineWidth, {}, piece);
  CAssemblyOptions options;
  options.m_bSorted = s.SortsLines();
  options.m_pCollator = parts->m_pCollator.get();
  options.m_pKeyCodePage = parts->m_pTextCp.get();
  return AssembleList(*parts->m_pRecorder, options);
}

// Matches across piece edges are found once, with their whole line or sentence.
TEST(PieceScan, PiecesOfAnySizeGiveTheListOfTheWholeText) {
  std::string text;
  for (int i = 0; i < 4; ++i) text += test::ReadDataFile("en.cp1252.txt") + test::kCrlfLines + " An answer, and an analysis.";
  text.resize(ApplyTextMode(text.data(), text.size()));
  std::vector<CSearchRequest> cases = {Settings("the"), Settings("the", kSortRight), Settings("an*", kSortLeft)};
  cases.push_back(Settings("the"));
  cases.back().m_bSentences = true;
  cases.push_back(Settings("the", kSortPosition));
  cases.back().m_arrAssocWords = {"cat"};
  cases.push_back(Settings("e"));
  cases.back().m_nMatchMode = kMatchAny;
  cases.back().m_nLineWidth = 3;
  for (const CSearchRequest& s : cases) {
    const CAssembledList whole = test::SearchOneText(s, text, "t.txt");
    ASSERT_FALSE(whole.m_arrEntries.empty()) << s.m_strSearch << " " << s.m_strSortMode << s.m_bSentences;
    for (std::size_t piece : {1, 2, 7, 64, 4096}) {
      SCOPED_TRACE(s.m_strSearch + " " + s.m_strSortMode + " piece " + std::to_string(piece));
      const CAssembledList pieces = ScanInPieces(s, text, piece);
      EXPECT_EQ(pieces.m_strOutput, whole.m_strOutput);
      ASSERT_EQ(pieces.m_arrEntries.size(), whole.m_arrEntries.size());
      for (std::size_t i = 0; i < whole.m_arrEntries.size(); ++i)
        EXPECT_EQ(pieces.m_arrEntries[i].m_nPosition, whole.m_arrEntries[i].m_nPosition);
    }
  }
}

// ---- The readers at every edge ----

std::string ReadTextMode(const std::string& bytes, std::size_t room) {
  TempFile file(bytes);
  const int fd = ::open(file.Path().c_str(), O_RDONLY);
  CFileReader in(fd, file.Path());
  CTextModeReader reader(in);
  std::string out(room, '\0'), text;
  while (!reader.Ended()) text.append(out.data(), reader.Read(out.data(), room));
  ::close(fd);
  return text;
}

std::u16string ReadAsEditor(const std::string& bytes, std::size_t room, const CCodePage& cp) {
  TempFile file(bytes);
  const int fd = ::open(file.Path().c_str(), O_RDONLY);
  CFileReader in(fd, file.Path());
  CEditorTextReader reader(in, cp);
  std::u16string out(room, u'\0'), text;
  while (!reader.Ended()) text.append(out.data(), reader.Read(out.data(), room));
  EXPECT_EQ(in.Problem(), "");
  ::close(fd);
  return text;
}

TEST(PieceReaders, TextModeAtEveryEdgeIsTheWholeFilesTextMode) {
  for (const std::string& bytes : {std::string("a\r\nb\r\r\nc\rd\r\n\r\n"), std::string("ab\r"), std::string("\r\n\x1A\r\n"),
                                  std::string("x\0y\r\nz\x1A" "after", 13), test::kCrlfLines})
    for (std::size_t room : {2, 3, 4, 5, 64}) {
      std::string whole = bytes;
      whole.resize(ApplyTextMode(whole.data(), whole.size()));
      EXPECT_EQ(ReadTextMode(bytes, room), whole) << room;
    }
}

TEST(PieceReaders, EditorDecodingAtEveryEdgeIsTheWholeFilesDecoding) {
  const auto cp1252 = *CCodePage::Open(1252);
  const auto cp932 = *CCodePage::Open(932);
  const std::string utf8 = "\xC3\xA9t\xC3\xA9\r\n\xE2\x82\xAC \xF0\x9F\x98\x80\r";
  std::vector<std::string> files = {utf8, "\xEF\xBB\xBF" + utf8, std::string("\xFF\xFE" "a\0\r\0\n\0\x00\xD8z", 11),
                                    std::string("\xFE\xFF\0a\0\r\0\r\0\n\xD8\x00", 12),
                                    utf8 + std::string(300, 'x') + "\xE9",  // invalid late: ANSI
                                    test::ReadDataFile("ja.cp932.txt").substr(0, 600),
                                    test::ReadDataFile("en.utf16le-bom.txt").substr(0, 600)};
  for (const std::string& bytes : files)
    for (const CCodePage* cp : {cp1252.get(), cp932.get()})
      for (std::size_t room : {1, 2, 3, 5, 16, 4096}) {
        SCOPED_TRACE(std::to_string(cp->Number()) + " room " + std::to_string(room));
        EXPECT_EQ(ReadAsEditor(bytes, room, *cp), DecodeForEditor(bytes, *cp));
      }
}

TEST(PieceReaders, Utf8PrefixesEndOnCharacterBoundaries) {
  EXPECT_EQ(Utf8CompletePrefix("ab"), 2u);
  EXPECT_EQ(Utf8CompletePrefix("a\xC3"), 1u);
  EXPECT_EQ(Utf8CompletePrefix("a\xE2\x82"), 1u);
  EXPECT_EQ(Utf8CompletePrefix("a\xE2\x82\xAC"), 4u);
  EXPECT_EQ(Utf8CompletePrefix("a\xF0\x9F\x98"), 1u);
  EXPECT_EQ(Utf8CompletePrefix("\x80\x80\x80"), 3u);  // invalid either way: no waiting
}

}  // namespace
}  // namespace tessary

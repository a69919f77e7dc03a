// Frequency profiles: the word count at the ends of a text, whole-word and substring
// matching with case and '%', the 16-bit and character forms, several texts, a stop,
// and the result texts; pieces counted on several threads against one pass.
#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "engine/scan_paths.h"
#include "stats/profile.h"

namespace tessary {
namespace {

CProfileResult Bytes(const std::string& key, const std::string& text, bool wholeWords = true) {
  auto profile = std::move(*CByteProfile::Create(key, wholeWords, 1252));
  profile->AddText(text, "doc");
  return profile->Result();
}

CProfileResult Wide(const std::u16string& key, const std::u16string& text, bool characters) {
  auto profile = std::move(*CWideProfile::Create(key, characters, "key", 1252));
  profile->AddText(text, "doc");
  return profile->Result();
}

std::string Flat(const CProfileResult& result) { return result.Caption() + "|" + result.Text(); }

TEST(ProfileWords, CountedAsRunsOfNonWhiteSpace) {
  EXPECT_EQ(CountWords("one two three"), 3u);  // the last word needs no white space after it
  EXPECT_EQ(CountWords("one two three\n"), 3u);
  EXPECT_EQ(CountWords("  \t one"), 1u);  // leading white space adds nothing
  EXPECT_EQ(CountWords("a  \t\r\nb"), 2u);
  EXPECT_EQ(CountWords(""), 0u);
  EXPECT_EQ(CountWords(" \n\t\r "), 0u);
  EXPECT_EQ(CountWords("x"), 1u);
  EXPECT_EQ(CountWords(u"one two three"), 3u);
  EXPECT_EQ(CountWords(u"\u3000\u4E00 \u4E8C"), 2u);  // only the four white characters part words
}

TEST(ProfileWords, BlockwiseCountAgreesWithAPlainWalk) {
  std::mt19937 random(7);
  const char alphabet[] = {'a', 'b', ' ', '\t', '\n', '\r', '\x85', '\0'};
  for (int round = 0; round < 300; ++round) {
    std::string text(random() % 100, ' ');
    for (char& c : text) c = alphabet[random() % sizeof alphabet];
    std::uint64_t expected = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      auto white = [&](std::size_t k) {
        return text[k] == ' ' || text[k] == '\t' || text[k] == '\n' || text[k] == '\r';
      };
      expected += !white(i) && (i == 0 || white(i - 1));
    }
    ASSERT_EQ(CountWords(text), expected) << text;
  }
}

TEST(ProfileBytes, WholeWordsAndSubstrings) {
  const std::string text = "cat, catalogue, concat cat.";
  EXPECT_EQ(Bytes("cat", text).m_nMatches, 2);
  EXPECT_EQ(Bytes("cat", text, false).m_nMatches, 4);
  EXPECT_EQ(Bytes("the", "other the", false).m_nMatches, 2);
  // A match at the very start and at the very end of the text.
  EXPECT_EQ(Bytes("cat", "cat").m_nMatches, 1);
  // Boundaries follow the concordance search: '_' counts as a letter, 0x80 and up do not.
  EXPECT_EQ(Bytes("cat", "cat_ _cat").m_nMatches, 0);
  EXPECT_EQ(Bytes("cat", "cat\xE9").m_nMatches, 1);
}

TEST(ProfileBytes, CaseAndWildcard) {
  EXPECT_EQ(Bytes("THE", "the The tHe theme").m_nMatches, 3);
  EXPECT_EQ(Bytes("g%t", "get got gut gt great").m_nMatches, 3);
  EXPECT_EQ(Bytes("caf\xC9", "CAF\xC9 caf\xE9").m_nMatches, 2);  // upper case by the code page
}

TEST(ProfileBytes, SeveralTextsAddUp) {
  std::vector<std::string> titles;
  CProfileObserver observer;
  observer.m_fnSource = [&](const std::string& title, std::uint64_t) { titles.push_back(title); };
  auto profile = std::move(*CByteProfile::Create("a", true, 1252, observer));
  profile->AddText("a b a", "one");
  profile->AddText("", "empty");
  profile->AddText("b a", "two");
  EXPECT_EQ(profile->Matches(), 3);
  EXPECT_EQ(profile->Total(), 5);
  EXPECT_EQ(titles, (std::vector<std::string>{"one", "empty", "two"}));
}

TEST(ProfileBytes, FilesInTextModeAndUnreadableOnesSkipped) {
  test::TempFile file("the cat\r\nthe end\x1Athe hidden");
  auto profile = std::move(*CByteProfile::Create("the", true, 1252));
  profile->AddFile(file.Path());
  profile->AddFile("/nonexistent/file.txt");
  EXPECT_EQ(profile->Matches(), 2);
  EXPECT_EQ(profile->Total(), 4);
  ASSERT_EQ(profile->SkippedFiles().size(), 1u);
  EXPECT_NE(profile->SkippedFiles()[0].find("/nonexistent/file.txt"), std::string::npos);
}

TEST(ProfileBytes, StopKeepsTheCountsSoFar) {
  std::string text;
  while (text.size() < (3u << 20)) text += "word cat ";
  int calls = 0;
  CProfileObserver observer;
  observer.m_fnProgress = [&](std::uint64_t, std::uint64_t) { return ++calls < 2; };
  auto profile = std::move(*CByteProfile::Create("cat", true, 1252, observer));
  profile->SetPieces(1 << 20, 1);  // one thread: the stop comes after the second piece
  profile->AddText(text, "big");
  profile->AddText("cat", "after the stop");
  const CProfileResult result = profile->Result();
  EXPECT_TRUE(result.m_bStopped);
  EXPECT_GT(result.m_nMatches, 0);
  EXPECT_LT(result.m_nMatches, static_cast<std::int64_t>(text.size() / 9));
  EXPECT_EQ(result.m_nTotal, 2 * result.m_nMatches);  // two words per match in this text
}

TEST(ProfileWide, WordsTreatEveryNonAsciiCharacterAsALetter) {
  EXPECT_EQ(Wide(u"CAF\u00C9", u"caf\u00E9, Caf\u00E9.", false).m_nMatches, 2);
  EXPECT_EQ(Wide(u"caf", u"caf\u00E9 caf", false).m_nMatches, 1);
  const CProfileResult r = Wide(u"a", u"a b\na", false);
  EXPECT_EQ(r.m_nTotal, 3);
  EXPECT_EQ(r.m_kind, ProfileKind::kWideWords);
}

TEST(ProfileWide, CharactersDropLineBreaksAndTabs) {
  // The break inside the word is dropped, so the word is still found.
  const CProfileResult r = Wide(u"\u6CB3\u6C34", u"\u6CB3\r\n\u6C34\t\u6CB3\u6C34 x", true);
  EXPECT_EQ(r.m_nMatches, 2);
  EXPECT_EQ(r.m_nTotal, 6);  // the space counts as a character
  EXPECT_EQ(r.Text(), "2 out of total 6 characters = 66.666667 %");
}

TEST(ProfileResult, CaptionAndTextAsTheBoxShowsThem) {
  const CProfileResult r = Bytes("cat", "cat, catalogue, concat cat.");
  EXPECT_EQ(r.Caption(), "Frequency Profile for < cat > = 2");
  EXPECT_EQ(r.Text(), "2 out of total 4 words = 50.000000 %");
  // Nothing to divide by: the share is 0, not a division by zero.
  const CProfileResult empty = Bytes("cat", " \n ");
  EXPECT_EQ(empty.Text(), "0 out of total 0 words = 0.000000 %");
  EXPECT_EQ(Wide(u"x", u"", true).Text(), "0 out of total 0 characters = 0.000000 %");
}

TEST(ProfileCreate, EmptyStringIsRefused) {
  EXPECT_FALSE(CByteProfile::Create("", true, 1252));
  EXPECT_FALSE(CWideProfile::Create(u"", false, "", 1252));
  EXPECT_FALSE(CByteProfile::Create("x", true, 12345));
}

TEST(ProfileBytes, PiecesOnSeveralThreadsCountAsOnePass) {
  // Matches and words across the pieces' edges are counted once, in any piece size.
  std::mt19937 random(17);
  const std::string parts[] = {"cat", "Cat", "cats", "concat", " ", "\n", "\r\n", ",", "%", "ca", "t"};
  for (int round = 0; round < 4; ++round) {
    std::string text;
    while (text.size() < 5000) text += parts[random() % std::size(parts)];
    for (bool wholeWords : {true, false}) {
      auto one = std::move(*CByteProfile::Create("c%t", wholeWords, 1252));
      one->SetPieces(1 << 20, 1);
      one->AddText(text, "doc");
      for (std::size_t units : {1, 7, 90})
        for (unsigned threads : {1u, 2u, 3u, 8u}) {
          auto profile = std::move(*CByteProfile::Create("c%t", wholeWords, 1252));
          profile->SetPieces(units, threads);
          profile->AddText(text, "doc");
          ASSERT_EQ(profile->Matches(), one->Matches()) << units << " x" << threads;
          ASSERT_EQ(profile->Total(), one->Total()) << units << " x" << threads;
        }
    }
  }
  std::u16string wide = u"\u4E00\u4E8C \u4E00\r\n\u4E00\u4E00";
  for (int k = 0; k < 6; ++k) wide += wide;
  auto one = std::move(*CWideProfile::Create(u"\u4E00", true, "key", 1252));
  one->AddText(wide, "doc");
  auto pieces = std::move(*CWideProfile::Create(u"\u4E00", true, "key", 1252));
  pieces->SetPieces(5, 3);
  pieces->AddText(wide, "doc");
  EXPECT_EQ(Flat(pieces->Result()), Flat(one->Result()));
}

TEST(ProfileBytes, ProgressOnlyFromTheCallingThreadAndAStopKeepsWholePieces) {
  std::string text;
  while (text.size() < 117 * 9000) text += "word cat ";
  const auto caller = std::this_thread::get_id();
  bool otherThread = false;
  CProfileObserver observer;
  observer.m_fnProgress = [&](std::uint64_t done, std::uint64_t) {
    otherThread |= std::this_thread::get_id() != caller;
    return done < text.size() / 2;
  };
  auto profile = std::move(*CByteProfile::Create("cat", true, 1252, observer));
  profile->SetPieces(9 * 1000, 2);  // a piece holds 1000 whole "word cat "
  profile->AddText(text, "big");
  EXPECT_FALSE(otherThread);
  const CProfileResult result = profile->Result();
  // The other thread may have counted every piece by the time the stop is heard; what
  // is kept is whole pieces from the start.
  EXPECT_TRUE(result.m_bStopped);
  EXPECT_GT(result.m_nMatches, 0);
  EXPECT_EQ(result.m_nMatches % 1000, 0);
  EXPECT_EQ(result.m_nTotal, 2 * result.m_nMatches);
}

}  // namespace
}  // namespace tessary

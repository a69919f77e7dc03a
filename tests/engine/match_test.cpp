// The match rules, each case through memory, progress chunks smaller than a line,
// and a file; plus a randomised check that the fast search finds exactly the offsets
// that the per-offset test accepts.
#include <gtest/gtest.h>

#include <random>

#include "engine/scan.h"
#include "engine/scan_paths.h"
#include "test_texts.h"

namespace tessary {
namespace {

using test::FindAll;
using test::FindWide;
using Offsets = std::vector<std::uint64_t>;

// Every path must agree; returns what they found.
Offsets Find(const std::string& text, const std::string& key, int mode = kMatchWord, bool dbcs = false) {
  const auto found = FindAll(text, key, mode, dbcs);
  EXPECT_EQ(found.memory, found.reference) << "memory: " << key;
  EXPECT_EQ(found.chunked, found.reference) << "chunked: " << key;
  EXPECT_EQ(found.file, found.reference) << "file: " << key;
  return found.reference;
}

TEST(MatchRules, WordModeNeedsNonLettersOnBothSides) {
  EXPECT_EQ(Find("the cat.", "cat"), Offsets{4});
  EXPECT_EQ(Find("cat9", "cat"), Offsets{0});  // a digit is a non-letter
  EXPECT_EQ(Find("cats cat_ cat[ cat{", "cat"), Offsets{});  // '_', '[', '{' are letters
  EXPECT_EQ(Find("a cat", "cat"), Offsets{2});    // the end of the text is a non-letter
  EXPECT_EQ(Find("cat", "cat"), Offsets{0});      // so is what stands before offset 0
  EXPECT_EQ(Find("the black cat", "black cat"), Offsets{4});  // a phrase matches like a word
}

TEST(MatchRules, PrefixSuffixAndAnyString) {
  EXPECT_EQ(Find("international inter winter", "inter", kMatchPrefix), Offsets{0});
  EXPECT_EQ(Find("sing ing kingdom", "ing", kMatchSuffix), (Offsets{1, 5}));
  EXPECT_EQ(Find("kingdom", "ing", kMatchAny), Offsets{1});
  EXPECT_EQ(Find("aaaa", "aa", kMatchAny), (Offsets{0, 1, 2}));  // matches overlap
}

TEST(MatchRules, CaseIsIgnoredIncludingAccentedLetters) {
  EXPECT_EQ(Find("the THE The tHe", "The"), (Offsets{0, 4, 8, 12}));
  EXPECT_EQ(Find("\xC9t\xE9 \xE9t\xC9", "\xE9T\xC9"), (Offsets{0, 4}));  // ÉTÉ / été
  EXPECT_EQ(Find("\xFF \x9F", "\xFF"), (Offsets{0, 2}));                   // ÿ / Ÿ
}

TEST(MatchRules, PercentMatchesAnyOneCharacterButNotTheEnd) {
  EXPECT_EQ(Find("got get gut gt", "g%t"), (Offsets{0, 4, 8}));
  EXPECT_EQ(Find("a g", "g%"), Offsets{});
  EXPECT_EQ(FindWide(u"got g%t", u"g%t", kMatchWord), Offsets{4});  // literal in 16-bit text
}

TEST(MatchRules, ByteAndWideDifferOnAccentedNeighbours) {
  // A byte above 0x7F is a non-letter; a 16-bit unit above 0x40 is a letter.
  EXPECT_EQ(Find("cat\xE9 cat", "cat"), (Offsets{0, 5}));
  EXPECT_EQ(FindWide(u"cat\u00E9 cat", u"cat", kMatchWord), Offsets{5});
  EXPECT_EQ(FindWide(test::kSurrogates16, u"cat", kMatchWord), Offsets{14});
  EXPECT_EQ(FindWide(u"THE the", u"the", kMatchWord), (Offsets{0, 4}));
}

TEST(MatchRules, DoubleByteIsExactWithoutBoundariesAndStaysInsideTheText) {
  EXPECT_EQ(Find("Cat cat cats", "cat", kMatchWord, true), (Offsets{4, 8}));
  // Every offset is tried, trail bytes included.
  EXPECT_EQ(Find("\xA4\xA4\xA4", "\xA4\xA4", kMatchWord, true), (Offsets{0, 1}));
  EXPECT_EQ(Find("ab", "abc", kMatchAny, true), Offsets{});
  EXPECT_EQ(FindWide(u"Cat cat", u"cat", kMatchWord, true), Offsets{4});
}

TEST(MatchRules, StarsAtTheEndsChooseTheModeForOneSearch) {
  EXPECT_EQ(Find("international inter", "inter*"), Offsets{0});
  EXPECT_EQ(Find("sing singer", "*ing"), Offsets{1});
  EXPECT_EQ(Find("kingdom", "*ing*"), Offsets{1});
  EXPECT_EQ(Find("a*b ab", "a*b"), Offsets{0});  // an inner star is an ordinary character
  const auto prepared = ApplyStarRule(std::string_view("walk*"), kMatchWord);
  EXPECT_EQ(prepared.m_strKey, "walk");
  EXPECT_EQ(prepared.m_nMode, kMatchPrefix);
  EXPECT_TRUE(ApplyStarRule(std::string_view("*"), kMatchWord).m_strKey.empty());
}

TEST(MatchRules, FastSearchAgreesWithThePerOffsetTest) {
  std::mt19937 random(7);
  const std::string alphabet = "tThHeE \n,.\xE9\xC9%_9aA\x80";
  const std::vector<std::string> keys = {"the", "t", "he", "th%", "%h", "\xE9t", "e e", "the.", "a"};
  for (int round = 0; round < 40; ++round) {
    std::string text(1 + random() % 300, ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    for (const auto& key : keys)
      for (int mode : {kMatchWord, kMatchPrefix, kMatchAny, kMatchSuffix})
        for (bool dbcs : {false, true}) {
          const auto found = FindAll(text, key, mode, dbcs);
          ASSERT_EQ(found.memory, found.reference) << key << " mode " << mode;
          ASSERT_EQ(found.chunked, found.reference) << key << " mode " << mode;
        }
  }
}

// The vector and scalar walks against the per-offset test, over code pages whose case
// pairs differ in more than one bit, wildcards, every mode and double-byte keys.
TEST(MatchRules, EveryWalkAgreesWithThePerOffsetTestInEveryCodePage) {
  std::mt19937 random(11);
  for (int number : {1252, 1251, 866, 1253, 1250, 874, 932}) {
    const auto cp = *CCodePage::Open(number);
    // Letters of both cases above and below 0x80, a few others, and the wildcard.
    std::string alphabet = " \n.%";
    for (int b = 0x41; b < 256; ++b)
      if (cp->Upper(static_cast<unsigned char>(b)) != b) alphabet += {static_cast<char>(b), static_cast<char>(cp->Upper(static_cast<unsigned char>(b)))};
    for (int round = 0; round < 30; ++round) {
      std::string text(1 + random() % 700, ' ');
      // Few distinct bytes, so that keys taken from the text match often.
      const std::size_t used = 4 + random() % 8;
      const std::size_t first = random() % alphabet.size();
      for (char& c : text) c = alphabet[(first + random() % used) % alphabet.size()];
      const std::size_t start = random() % text.size();
      std::string key = text.substr(start, 1 + random() % 6);
      if (random() % 4 == 0) key[random() % key.size()] = '%';
      if (random() % 5 == 0) key = "*" + key;
      if (random() % 5 == 0) key += "*";
      for (int mode : {kMatchWord, kMatchPrefix, kMatchAny, kMatchSuffix})
        for (bool dbcs : {false, true}) {
          const auto prepared = ApplyStarRule(key, mode);
          if (prepared.m_strKey.empty()) continue;
          CByteMatcher vector(prepared.m_strKey, prepared.m_nMode, dbcs, *cp);
          CByteMatcher scalar = vector;
          scalar.UseScalarPath();
          Offsets reference, fast, slow;
          for (std::size_t i = 0; i < text.size(); ++i)
            if (vector.MatchAt(text, i)) reference.push_back(i);
          const std::size_t from = random() % 3 ? 0 : random() % text.size();
          std::erase_if(reference, [&](std::uint64_t i) { return i < from; });
          vector.ForEachMatch(text, from, text.size(), [&](std::size_t i) { return fast.push_back(i), true; });
          scalar.ForEachMatch(text, from, text.size(), [&](std::size_t i) { return slow.push_back(i), true; });
          ASSERT_EQ(fast, reference) << number << " key " << key << " mode " << mode << " dbcs " << dbcs;
          ASSERT_EQ(slow, reference) << number << " key " << key << " mode " << mode << " dbcs " << dbcs;
        }
    }
  }
}

// Where a key holds a rare letter, the search looks for it first.
TEST(MatchRules, TheRarestLetterOfAKeyLeadsTheSearch) {
  const CByteMatcher whale("WHALE", kMatchWord, false, test::Cp1252());
  EXPECT_EQ(whale.Plan().m_anchor[0], 0u);  // w
  const CByteMatcher quite("quite", kMatchWord, false, test::Cp1252());
  EXPECT_EQ(quite.Plan().m_anchor[0], 0u);  // q
  const CByteMatcher lazy("lazy", kMatchWord, false, test::Cp1252());
  EXPECT_EQ(lazy.Plan().m_anchor[0], 2u);   // z
}

class CountUntil : public CMatchSink {
 public:
  explicit CountUntil(int limit) : m_limit(limit) {}
  bool OnMatch(std::string_view, std::uint64_t) override { return ++count < m_limit; }
  int count = 0;

 private:
  int m_limit;
};

TEST(MatchRules, TheSinkOrTheProgressCallbackStopsTheScan) {
  const std::string text(1000, 'a');
  const CByteMatcher matcher("a", kMatchAny, false, test::Cp1252());
  CountUntil sink(10);
  auto result = ScanBytes(text, matcher, &sink);
  EXPECT_TRUE(result.m_bStopped);
  EXPECT_EQ(sink.count, 10);

  int calls = 0;
  result = ScanBytes(text, matcher, nullptr, [&](std::uint64_t, std::uint64_t) { return ++calls < 3; }, 100);
  EXPECT_TRUE(result.m_bStopped);
  EXPECT_EQ(result.m_nMatches, 200u);  // two chunks of 100 before the stop
}

}  // namespace
}  // namespace tessary

namespace tessary {
namespace {

TEST(MatchRules, ScanningUntilATerminatorFindsWhatTheTextBeforeItHolds) {
  const std::string text = "the cat\r\nthe\x1Athe cat";
  const CByteMatcher matcher("the", kMatchWord, false, test::Cp1252());
  for (std::size_t step : {1, 2, 3, 5, 100}) {
    EXPECT_EQ(ScanBytesUntil(text, '\x1A', matcher, nullptr, {}, step).m_nMatches, 2u) << step;
    EXPECT_EQ(ScanBytesUntil("the\x1A", '\x1A', matcher, nullptr, {}, step).m_nMatches, 1u) << step;
  }
  EXPECT_EQ(ScanBytesUntil("\x1Athe", '\x1A', matcher, nullptr).m_nMatches, 0u);
}

}  // namespace
}  // namespace tessary

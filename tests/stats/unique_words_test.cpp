// Unique-word lists: the byte tokenizer's word rules, the letter buckets and their
// re-ordering at 200 entries (checked against a literal model with linear look-ups),
// the double-byte tokenizer, the two list orders, the saved file, and a stop; the
// vector class tests against the per-byte rule, and long texts counted in ranges on
// several threads against one pass.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <thread>

#include <sys/stat.h>

#include "engine/scan_paths.h"
#include "export/scratch_dir.h"
#include "test_texts.h"
#include "stats/byte_words.h"
#include "stats/shell_sort.h"
#include "stats/unique_words.h"

namespace tessary {
namespace {

using Rows = std::vector<std::pair<std::string, std::int64_t>>;

Rows Flat(const std::vector<CUniqueWord>& rows) {
  Rows out;
  for (const auto& row : rows) out.push_back({row.m_strWord, row.m_nCount});
  return out;
}

std::unique_ptr<CUniqueWordCounter> Counter(CUniqueWordOptions options = {}) {
  return std::move(*CUniqueWordCounter::Create(options));
}

CUniqueWordList ListOf(const std::string& text, CUniqueWordOptions options = {}) {
  auto counter = Counter(options);
  counter->AddText(text, "doc");
  return counter->List();
}

TEST(UniqueWordsTokenizer, CaseFoldsToTheFirstSpelling) {
  const CUniqueWordList list = ListOf("The the THE");
  EXPECT_EQ(Flat(list.m_arrRows), (Rows{{"The", 3}}));
  EXPECT_EQ(list.m_nTotal, 3);
}

TEST(UniqueWordsTokenizer, HyphensApostrophesAndDroppedCharacters) {
  EXPECT_EQ(Flat(ListOf("don't well-known").m_arrRows), (Rows{{"don't", 1}, {"well-known", 1}}));
  // A leading hyphen is dropped; punctuation and digits inside a word do not end it.
  EXPECT_EQ(Flat(ListOf("-known").m_arrRows), (Rows{{"known", 1}}));
  EXPECT_EQ(Flat(ListOf("end.Start can,not abc5def").m_arrRows), (Rows{{"abcdef", 1}, {"cannot", 1}, {"endStart", 1}}));
  // A hyphen before a non-letter ends the word and is not kept.
  const CUniqueWordList dashes = ListOf("a--b x- y");
  EXPECT_EQ(Flat(dashes.m_arrRows), (Rows{{"a", 1}, {"b", 1}, {"x", 1}, {"y", 1}}));
  EXPECT_EQ(dashes.m_nTotal, 4);
}

TEST(UniqueWordsTokenizer, SpellingsOfOneWordMeetWhateverTheirPath) {
  // Read in place or gathered around a dropped comma, longer than eight bytes, with
  // bytes from the high half, or right at the end of the text: one entry each.
  const CUniqueWordList list = ListOf(
      "cannot can,not Internationalization INTERNATIONAL,IZATION \xDC" "berbr\xFC" "ckung \xFC" "berbr\xDC" "CKUNG "
      "internationalizatioN");
  EXPECT_EQ(Flat(list.m_arrRows),
            (Rows{{"cannot", 2}, {"Internationalization", 3}, {"\xDC" "berbr\xFC" "ckung", 2}}));
}

TEST(UniqueWordsTokenizer, DigitsAndSymbolsCountButAreNotListed) {
  const CUniqueWordList list = ListOf("42 cats {x ~y |z");
  EXPECT_EQ(Flat(list.m_arrRows), (Rows{{"cats", 1}}));
  EXPECT_EQ(list.m_nTotal, 5);
}

TEST(UniqueWordsTokenizer, WhiteSpaceAndTextEnds) {
  // Tab, CR and LF end a word like a space; the last line needs no line break; lines
  // of white space add no word.
  const CUniqueWordList list = ListOf("one\ttwo\r\nthree\n\n  \nfour");
  EXPECT_EQ(Flat(list.m_arrRows), (Rows{{"four", 1}, {"one", 1}, {"two", 1}, {"three", 1}}));
  EXPECT_EQ(list.m_nTotal, 4);
}

TEST(UniqueWordsTokenizer, BytesFromTheHighHalfStayInTheWord) {
  // "café" is listed whole; a word starting with another letter of the code page goes
  // to the bucket after Z, folded by the code page's upper case.
  const CUniqueWordList list = ListOf("caf\xE9 \xC4rger zoo \xE4rger \xC9t\xE9 \xAB" "x");
  EXPECT_EQ(Flat(list.m_arrRows), (Rows{{"caf\xE9", 1}, {"zoo", 1}, {"\xC4rger", 2}, {"\xC9t\xE9", 1}}));
  EXPECT_EQ(list.m_nTotal, 6);  // the word after the guillemet is counted, not listed
}

TEST(UniqueWordsTokenizer, LongWordsCountButAreNotListedFromTheLimitOn) {
  const std::string longest(255, 'a'), tooLong(256, 'b');
  const CUniqueWordList list = ListOf(longest + " " + tooLong + " " + std::string(5000, 'c') + " x");
  EXPECT_EQ(Flat(list.m_arrRows), (Rows{{longest, 1}, {"x", 1}}));
  EXPECT_EQ(list.m_nTotal, 4);
}

TEST(UniqueWordsTokenizer, Utf8WordsBucketByTheirFirstCharacter) {
  CUniqueWordOptions utf8;
  utf8.m_nCodePage = kUtf8CodePage;
  const CUniqueWordList list = ListOf("über Über caf\u00e9 \u00ABx\u00BB", utf8);
  EXPECT_EQ(Flat(list.m_arrRows), (Rows{{"caf\u00e9", 1}, {"über", 1}, {"Über", 1}}));
  EXPECT_EQ(list.m_nTotal, 4);
}

// ---- Buckets and their re-order at 200 entries ----

// The store as first described: linear look-ups in each bucket, and a Shell sort of a
// bucket by count at every word filed while it holds exactly 200 entries.
Rows ModelOrder(const std::vector<std::string>& words) {
  std::vector<std::vector<std::pair<std::string, std::int64_t>>> buckets(27);
  auto upper = [](std::string w) {
    for (char& c : w) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return w;
  };
  for (const std::string& w : words) {
    auto& bucket = buckets[upper(w)[0] - 'A'];
    auto it = std::find_if(bucket.begin(), bucket.end(), [&](const auto& e) { return upper(e.first) == upper(w); });
    if (it != bucket.end()) ++it->second;
    else bucket.push_back({w, 1});
    if (bucket.size() == 200)
      ShellSort(bucket, [](const auto& a, const auto& b) {
        return a.second < b.second ? 1 : a.second > b.second ? -1 : 0;
      });
  }
  Rows out;
  for (const auto& bucket : buckets) out.insert(out.end(), bucket.begin(), bucket.end());
  return out;
}

TEST(UniqueWordsBuckets, FirstOrderIsBucketByBucketAsFirstMet) {
  EXPECT_EQ(Flat(ListOf("zebra apple Bee ant bee zoo").m_arrRows),
            (Rows{{"apple", 1}, {"ant", 1}, {"Bee", 2}, {"zebra", 1}, {"zoo", 1}}));
  auto counter = Counter();
  counter->AddText("bird Bat", "doc");
  EXPECT_EQ(Flat(counter->Bucket(1)), (Rows{{"bird", 1}, {"Bat", 1}}));
  EXPECT_TRUE(counter->Bucket(0).empty());
}

TEST(UniqueWordsBuckets, ReorderedByCountOnlyWhileAtTwoHundred) {
  auto name = [](int k) {
    std::string word = "b";
    word += static_cast<char>('a' + k / 26);
    word += static_cast<char>('a' + k % 26);
    return word;
  };
  std::string text;
  for (int k = 0; k < 199; ++k) text += name(k) + " ";
  text += name(150) + " " + name(150) + " " + name(100) + " ";
  auto counter = Counter();
  counter->AddText(text, "doc");
  EXPECT_EQ(counter->Bucket(1)[150].m_strWord, name(150));  // 199 entries: still as first met
  counter->AddText(name(199), "doc");  // the 200th entry sorts the bucket
  auto bucket = counter->Bucket(1);
  ASSERT_EQ(bucket.size(), 200u);
  EXPECT_EQ(Flat({bucket[0], bucket[1]}), (Rows{{name(150), 3}, {name(100), 2}}));
  counter->AddText(name(7) + " " + name(7) + " " + name(7) + " " + name(7), "doc");  // re-sorted at each word
  EXPECT_EQ(Flat({counter->Bucket(1)[0]}), (Rows{{name(7), 5}}));
  // Past 200 entries the bucket is never sorted again.
  counter->AddText("bzz bzz bzz bzz bzz bzz bzz bzz", "doc");
  EXPECT_EQ(Flat({counter->Bucket(1)[0], counter->Bucket(1)[200]}), (Rows{{name(7), 5}, {"bzz", 8}}));
}

TEST(UniqueWordsBuckets, OrderMatchesTheLinearModelOnRandomTexts) {
  // Small vocabularies with skewed counts push buckets through 200 entries while the
  // counts keep changing; the hash index must leave exactly the model's order.
  std::mt19937 random(11);
  for (int round = 0; round < 6; ++round) {
    const int vocabulary = 150 + static_cast<int>(random() % 120);
    std::vector<std::string> words;
    for (int k = 0; k < 4000; ++k) {
      const int w = static_cast<int>(std::pow(static_cast<double>(vocabulary), (random() % 1000) / 1000.0));
      std::string word(1, "bBc"[w % 3]);
      word += std::to_string(w);
      for (char& c : word)
        if (c >= '0' && c <= '9') c = static_cast<char>('a' + (c - '0'));
      if (random() % 5 == 0) word[1] = static_cast<char>(std::toupper(static_cast<unsigned char>(word[1])));
      words.push_back(word);
    }
    std::string text;
    for (const auto& w : words) text += w + (random() % 7 == 0 ? "\n" : " ");
    ASSERT_EQ(Flat(ListOf(text).m_arrRows), ModelOrder(words)) << "round " << round;
  }
}

TEST(UniqueWordsBuckets, ShellSortLeavesAnOrderedArrayAlone) {
  // The counter skips sorts of a bucket still in order; that is exact only if the
  // sort moves nothing in an ordered array.
  std::vector<std::pair<int, int>> items;
  for (int k = 0; k < 200; ++k) items.push_back({10 - k / 20, k});
  const auto before = items;
  ShellSort(items, [](const auto& a, const auto& b) { return a.first < b.first ? 1 : a.first > b.first ? -1 : 0; });
  EXPECT_EQ(items, before);
  std::mt19937 random(3);
  std::vector<int> values(500);
  for (int& v : values) v = static_cast<int>(random() % 50);
  ShellSort(values, [](int a, int b) { return a - b; });
  EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
}

// ---- Double-byte tokenizer ----

TEST(UniqueWordsDoubleByte, EveryCharacterIsAWordAndAsciiIsIgnored) {
  CUniqueWordOptions big5;
  big5.m_bDoubleByte = true;
  // 河水 河 (Big5) among English words.
  const CUniqueWordList list = ListOf("river \xAA\x65\xA4\xF4 and \xAA\x65!", big5);
  EXPECT_EQ(Flat(list.m_arrRows), (Rows{{"\xAA\x65", 2}, {"\xA4\xF4", 1}}));
  EXPECT_EQ(list.m_nTotal, 3);
}

TEST(UniqueWordsDoubleByte, TrailBytesBelow0x80OnlyInBig5) {
  CUniqueWordOptions big5, gb;
  big5.m_bDoubleByte = gb.m_bDoubleByte = true;
  gb.m_bBig5 = false;
  EXPECT_EQ(Flat(ListOf("\xA4\x40", big5).m_arrRows), (Rows{{"\xA4\x40", 1}}));  // 一 in Big5
  EXPECT_TRUE(ListOf("\xA4\x40", gb).m_arrRows.empty());
  EXPECT_EQ(Flat(ListOf("\xBA\xD3\xCB\xAE", gb).m_arrRows), (Rows{{"\xBA\xD3", 1}, {"\xCB\xAE", 1}}));  // 河水 in GB
  // A pair the code set does not hold is no character; a lone lead byte at the end neither.
  EXPECT_TRUE(ListOf("\x80\x80 \xA4", big5).m_arrRows.empty());
}

TEST(UniqueWordsDoubleByte, FromAFile) {
  auto counter = Counter({1252, true, true});
  counter->AddFile(test::DataPath("zh-hant.big5.txt"));
  EXPECT_TRUE(counter->SkippedFiles().empty());
  EXPECT_EQ(counter->UniqueCount(), 19u);
  EXPECT_EQ(counter->Total(), 24);
}

// ---- Orders, saving, stopping ----

TEST(UniqueWordsList, FrequencyAndAlphabeticOrders) {
  CUniqueWordList list = ListOf("b a B c C c \xE9t\xE9 Apple");
  SortByFrequency(list.m_arrRows);
  EXPECT_EQ(Flat(list.m_arrRows), (Rows{{"c", 3}, {"b", 2}, {"a", 1}, {"Apple", 1}, {"\xE9t\xE9", 1}}));
  SortAlphabetically(list.m_arrRows, Counter()->Classes());
  EXPECT_EQ(Flat(list.m_arrRows), (Rows{{"a", 1}, {"Apple", 1}, {"b", 2}, {"c", 3}, {"\xE9t\xE9", 1}}));
}

TEST(UniqueWordsList, SavedFileInTheRowsCurrentOrder) {
  CUniqueWordList list = ListOf("the cat saw the dog");
  SortAlphabetically(list.m_arrRows, Counter()->Classes());
  const std::string expected =
      "Unique words = 4    \tTotal words = 5\n"
      "1                    cat\t1\t20.0000 %\n"
      "2                    dog\t1\t20.0000 %\n"
      "3                    saw\t1\t20.0000 %\n"
      "4                    the\t2\t40.0000 %\n";
  EXPECT_EQ(UniqueWordFileText(list), expected);
  test::TempFile file("");
  ASSERT_TRUE(SaveUniqueWordList(file.Path(), list));
  std::FILE* f = std::fopen(file.Path().c_str(), "rb");
  std::string saved(expected.size() + 10, '\0');
  saved.resize(std::fread(saved.data(), 1, saved.size(), f));
  std::fclose(f);
  EXPECT_EQ(saved, expected);
  const auto failed = SaveUniqueWordList("/nonexistent/dir/list.txt", list);
  ASSERT_FALSE(failed);
  EXPECT_EQ(failed.Error(), "File error");
}

TEST(UniqueWordsList, AFailedSaveNeverRemovesWhatItWroteToAndAGoodOneReplacesTheFile) {
  const CUniqueWordList list = ListOf("the cat saw the dog");
  struct stat st {};
  if (::stat("/dev/full", &st) == 0 && S_ISCHR(st.st_mode)) {
    const auto full = SaveUniqueWordList("/dev/full", list);
    ASSERT_FALSE(full);
    EXPECT_EQ(full.Error(), "File error");
    ASSERT_EQ(::stat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
  }
  test::TempFile file("an older, longer list that the new one replaces whole\n");
  ASSERT_TRUE(SaveUniqueWordList(file.Path(), list));
  std::FILE* f = std::fopen(file.Path().c_str(), "rb");
  std::string saved(4096, '\0');
  saved.resize(std::fread(saved.data(), 1, saved.size(), f));
  std::fclose(f);
  EXPECT_EQ(saved, UniqueWordFileText(list));
}

TEST(UniqueWordsList, EmptyRunAndPercentWithoutWords) {
  const CUniqueWordList list = ListOf("  \n 42 ");
  EXPECT_TRUE(list.m_arrRows.empty());
  EXPECT_EQ(list.m_nTotal, 1);
  EXPECT_EQ(CUniqueWordList{}.PercentText(0), "0.0000 %");
  EXPECT_EQ(UniqueWordFileText(CUniqueWordList{}), "Unique words = 0    \tTotal words = 0\n");
}

TEST(UniqueWordsList, StoppedRunListsWhatWasCounted) {
  std::string text;
  while (text.size() < (3u << 20)) text += "alpha beta ";
  CProfileObserver observer;
  observer.m_fnProgress = [](std::uint64_t done, std::uint64_t) { return done < (1u << 20); };
  auto counter = std::move(*CUniqueWordCounter::Create({}, observer));
  counter->AddText(text, "big");
  counter->AddText("gamma", "after the stop");
  EXPECT_TRUE(counter->Stopped());
  const CUniqueWordList list = counter->List();
  ASSERT_EQ(list.m_arrRows.size(), 2u);
  EXPECT_LT(list.m_nTotal, static_cast<std::int64_t>(text.size() / 5));
  EXPECT_EQ(list.m_arrRows[0].m_nCount + list.m_arrRows[1].m_nCount, list.m_nTotal);
}

// ---- Vector class tests and ranges ----

// Random bytes weighted towards what texts hold: letters, white space, hyphens,
// apostrophes, digits, punctuation and bytes of the high half.
std::string RandomBytes(std::mt19937& random, std::size_t size) {
  static const std::string common = "abcdeXYZ  \n\r\t--''0,.\xC4\xE9\xFF\x80\x1A";
  std::string text(size, ' ');
  for (char& c : text) c = random() % 4 ? common[random() % common.size()] : static_cast<char>(random() % 256);
  return text;
}

TEST(UniqueWordsVector, RunEndsAgreeWithTheByteRule) {
  std::mt19937 random(5);
  for (int round = 0; round < 300; ++round) {
    // Long runs of word bytes with a stray other byte now and then.
    std::string text(1 + random() % 200, 'a');
    for (char& c : text)
      if (random() % 3 == 0) c = static_cast<char>(random() % 256);
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t i = 0; i < text.size(); i += 1 + random() % 7) {
      const std::size_t want = WordRunEndScalar(p, i, text.size());
      ASSERT_EQ(WordRunEndSse2(p, i, text.size()), want) << round << " at " << i;
      if (HasAvx2()) {
        ASSERT_EQ(WordRunEndAvx2(p, i, text.size()), want) << round << " at " << i;
      }
      ASSERT_EQ(WordRunEnd(p, i, text.size()), want) << round << " at " << i;
    }
  }
}

TEST(UniqueWordsVector, BlockMasksAndTokensAgreeWithTheByteRule) {
  std::mt19937 random(17);
  for (int codePage : {1252, 1251, kUtf8CodePage}) {
    const CTextClasses classes = std::move(*CTextClasses::Open(codePage));
    const CByteWordClasses table(classes);
    for (int round = 0; round < 40; ++round) {
      // Random bytes, with tokens longer than a block now and then.
      std::string text = RandomBytes(random, 500 + random() % 3000);
      if (round % 4 == 0) text.insert(random() % text.size(), std::string(64 + random() % 150, 'w'));
      if (round % 4 == 1) text.insert(random() % text.size(), std::string(60 + random() % 20, '-') + "ab");
      const auto* p = reinterpret_cast<const unsigned char*>(text.data());
      const std::size_t n = text.size();
      for (std::size_t at = 0; at + 64 <= n; at += 1 + random() % 50) {
        const CByteBlockMasks want = ByteBlockMasksScalar(p + at);
        const CByteBlockMasks sse2 = ByteBlockMasksSse2(p + at);
        ASSERT_TRUE(sse2.m_nWhite == want.m_nWhite && sse2.m_nOther == want.m_nOther && sse2.m_nHyphen == want.m_nHyphen);
        if (HasAvx2()) {
          const CByteBlockMasks avx2 = ByteBlockMasksAvx2(p + at);
          ASSERT_TRUE(avx2.m_nWhite == want.m_nWhite && avx2.m_nOther == want.m_nOther && avx2.m_nHyphen == want.m_nHyphen);
        }
      }
      std::vector<std::string> byRule, byBlocks;
      auto into = [](std::vector<std::string>& words) {
        return [&words](const unsigned char* w, std::size_t length, const unsigned char*, std::size_t, std::size_t) {
          words.emplace_back(reinterpret_cast<const char*>(w), length);
        };
      };
      const std::int64_t total = SplitByteWordsScalar(table, p, 0, n, n, into(byRule));
      const CByteWordRun run = SplitByteWords(table, p, 0, n, n, 100, into(byBlocks), [](std::size_t) { return true; });
      ASSERT_EQ(byBlocks, byRule) << codePage << " round " << round;
      ASSERT_EQ(run.m_nTotal, total) << codePage << " round " << round;
    }
  }
}

TEST(UniqueWordsVector, PiecesCutAfterWhiteSpaceSplitAsTheWholeText) {
  std::mt19937 random(9);
  for (int codePage : {1252, 1251, 874, kUtf8CodePage}) {
    const CTextClasses classes = std::move(*CTextClasses::Open(codePage));
    const CByteWordClasses table(classes);
    for (int round = 0; round < 20; ++round) {
      const std::string text = RandomBytes(random, 2000 + random() % 3000);
      const auto* p = reinterpret_cast<const unsigned char*>(text.data());
      const std::size_t n = text.size();
      auto split = [&](std::size_t from, std::size_t to, std::vector<std::string>& words) {
        return SplitByteWords(
                   table, p, from, to, n, 64,
                   [&](const unsigned char* w, std::size_t length, const unsigned char*, std::size_t, std::size_t) {
                     words.emplace_back(reinterpret_cast<const char*>(w), length);
                   },
                   [](std::size_t) { return true; })
            .m_nTotal;
      };
      std::vector<std::string> whole, pieces;
      const std::int64_t total = split(0, n, whole);
      std::int64_t pieceTotal = 0;
      for (std::size_t from = 0; from < n;) {
        const std::size_t to = std::max(WordCutAfter(p, from + 1 + random() % 90, n), from + 1);
        pieceTotal += split(from, std::min(to, n), pieces);
        from = to;
      }
      ASSERT_EQ(pieces, whole) << codePage << " round " << round;
      ASSERT_EQ(pieceTotal, total) << codePage << " round " << round;
    }
  }
}

// The rows and buckets of a text counted in ranges of rangeBytes on `threads` threads.
std::pair<Rows, std::int64_t> RangedList(const std::vector<std::string>& texts, std::size_t rangeBytes,
                                         unsigned threads, CUniqueWordOptions options = {}) {
  auto counter = Counter(options);
  counter->SetRanges(rangeBytes, threads);
  for (const auto& text : texts) counter->AddText(text, "doc");
  Rows rows = Flat(counter->List().m_arrRows);
  for (std::size_t b = 0; b < kLetterBuckets; ++b) rows.push_back({"bucket", static_cast<std::int64_t>(counter->Bucket(b).size())});
  return {rows, counter->List().m_nTotal};
}

TEST(UniqueWordsRanges, SameListForAnyRangeAndThreadCount) {
  // Words from a small skewed vocabulary push buckets through 200 entries (the order
  // then rests on every count as it grew), in several texts, with random bytes between.
  std::mt19937 random(21);
  for (int round = 0; round < 3; ++round) {
    std::vector<std::string> texts;
    for (int t = 0; t < 2; ++t) {
      std::string text;
      for (int k = 0; k < 3000; ++k) {
        const int w = static_cast<int>(std::pow(260.0, (random() % 1000) / 1000.0));
        std::string word(1, "bBcZ"[w % 4]);
        for (char d : std::to_string(w)) word += static_cast<char>('a' + (d - '0'));
        text += word + (random() % 9 == 0 ? "\r\n" : random() % 13 == 0 ? RandomBytes(random, 6) : " ");
      }
      texts.push_back(text);
    }
    const auto whole = RangedList(texts, 1 << 30, 1);
    for (std::size_t rangeBytes : {1, 90, 3000})
      for (unsigned threads : {1u, 2u, 3u, 8u})
        ASSERT_EQ(RangedList(texts, rangeBytes, threads), whole) << round << ": " << rangeBytes << " x" << threads;
  }
}

TEST(UniqueWordsRanges, SpellingsAlikeInTheirFirstBytesAreToldApart) {
  // Words of 1 to 20 bytes that differ only in one byte, often past the eighth, in
  // both cases, some parted by a dropped comma: the spelling caches key on whole
  // spellings up to 16 bytes, and a word at a text's end cannot be read 16 at a time.
  std::mt19937 random(47);
  std::vector<std::string> words;
  std::string text;
  for (int k = 0; k < 6000; ++k) {
    std::string word = std::string("bcdefghijklmnopqrstu").substr(0, 1 + random() % 20);
    word[random() % word.size()] = static_cast<char>('v' + random() % 3);
    if (random() % 4 == 0) word[random() % word.size()] ^= 0x20;
    words.push_back(word);
    if (word.size() > 2 && random() % 10 == 0) {
      const std::size_t at = 1 + random() % (word.size() - 1);
      word = word.substr(0, at) + "," + word.substr(at);
    }
    text += word + (random() % 5 == 0 ? "\n" : " ");
  }
  text.pop_back();
  const auto whole = RangedList({text}, 1 << 30, 1);
  ASSERT_EQ(Rows(whole.first.begin(), whole.first.end() - kLetterBuckets), ModelOrder(words));
  for (std::size_t rangeBytes : {7, 500, 20000})
    for (unsigned threads : {1u, 2u})
      ASSERT_EQ(RangedList({text}, rangeBytes, threads), whole) << rangeBytes << " x" << threads;
}

TEST(UniqueWordsRanges, RandomBytesInSeveralCodePages) {
  std::mt19937 random(33);
  for (int codePage : {1252, 1251, kUtf8CodePage}) {
    CUniqueWordOptions options;
    options.m_nCodePage = codePage;
    const std::vector<std::string> texts{RandomBytes(random, 40000)};
    const auto whole = RangedList(texts, 1 << 30, 1, options);
    for (std::size_t rangeBytes : {1, 90, 3000})
      ASSERT_EQ(RangedList(texts, rangeBytes, 3, options), whole) << codePage << ": " << rangeBytes;
  }
}

TEST(UniqueWordsRanges, ALongFileIsReadInPiecesUpToItsCtrlZ) {
  test::ScratchDir dir;
  std::mt19937 random(8);
  std::string text;
  for (int k = 0; k < 4000; ++k) text += std::string(1, static_cast<char>('a' + random() % 26)) + "ord\r\n";
  const std::string path = dir.Path("long.txt");
  std::ofstream(path, std::ios::binary) << text << "\x1A after the end";
  auto counter = Counter();
  counter->SetRanges(1000, 3);
  counter->AddFile(path);
  EXPECT_TRUE(counter->SkippedFiles().empty());
  EXPECT_EQ(RangedList({text}, 1 << 30, 1), RangedList({text}, 1000, 3));
  EXPECT_EQ(Flat(counter->List().m_arrRows), Flat(ListOf(text).m_arrRows));
  EXPECT_EQ(counter->Total(), 4000);
}

TEST(UniqueWordsRanges, ManyFilesSideBySideListAsOneByOne) {
  // Short files (one with a Ctrl-Z, one empty), a missing one and a long one between
  // them, with buckets passing 200 entries within and across files; the titles come in
  // order.
  test::ScratchDir dir;
  std::mt19937 random(52);
  std::vector<std::string> paths;
  for (int f = 0; f < 14; ++f) {
    std::string text;
    const int words = f == 3 ? 0 : f == 9 ? 6000 : 200 + static_cast<int>(random() % 600);
    for (int k = 0; k < words; ++k) {
      const int w = static_cast<int>(std::pow(500.0, (random() % 1000) / 1000.0));
      std::string word(1, "bBcZ"[w % 4]);
      for (char d : std::to_string(w)) word += static_cast<char>('a' + (d - '0'));
      text += word + (random() % 9 == 0 ? "\r\n" : " ");
    }
    if (f == 5) text += "\x1A words after the end";
    paths.push_back(dir.Path(std::to_string(f) + ".txt"));
    std::ofstream(paths.back(), std::ios::binary) << text;
  }
  paths.insert(paths.begin() + 7, dir.Path("missing.txt"));
  auto listed = [&](bool bSideBySide, unsigned threads) {
    std::vector<std::string> titles;
    CProfileObserver observer;
    observer.m_fnSource = [&](const std::string& title, std::uint64_t) { titles.push_back(title); };
    auto counter = std::move(*CUniqueWordCounter::Create({}, observer));
    counter->SetRanges(20000, threads);  // the file of 6000 words is long
    if (bSideBySide) counter->AddFiles(paths);
    else for (const auto& path : paths) counter->AddFile(path);
    Rows rows = Flat(counter->List().m_arrRows);
    for (const auto& title : titles) rows.push_back({title, 0});
    for (const auto& skipped : counter->SkippedFiles()) rows.push_back({skipped, -1});
    rows.push_back({"total", counter->Total()});
    return rows;
  };
  const Rows oneByOne = listed(false, 1);
  for (unsigned threads : {1u, 2u, 3u, 8u}) ASSERT_EQ(listed(true, threads), oneByOne) << threads;
}

TEST(UniqueWordsRanges, ProgressFromTheCallingThreadAndAStopKeepsTheRangesBefore) {
  std::string text;
  while (text.size() < (6u << 20)) text += "alpha beta ";
  const auto caller = std::this_thread::get_id();
  bool otherThread = false;
  std::uint64_t last = 0;
  CProfileObserver observer;
  observer.m_fnProgress = [&](std::uint64_t done, std::uint64_t) {
    otherThread |= std::this_thread::get_id() != caller;
    last = done;
    return done < (2u << 20);
  };
  auto counter = std::move(*CUniqueWordCounter::Create({}, observer));
  counter->SetRanges(1 << 18, 2);
  counter->AddText(text, "big");
  EXPECT_FALSE(otherThread);
  EXPECT_GE(last, 2u << 20);
  EXPECT_TRUE(counter->Stopped());
  const CUniqueWordList list = counter->List();
  ASSERT_EQ(list.m_arrRows.size(), 2u);
  // Whole ranges only: the counts are those of a beginning of the text (the other
  // thread may have counted every range by the time the stop is heard).
  EXPECT_LE(list.m_nTotal, static_cast<std::int64_t>(text.size() / 5));
  EXPECT_EQ(list.m_arrRows[0].m_nCount + list.m_arrRows[1].m_nCount, list.m_nTotal);
  EXPECT_LE(list.m_arrRows[0].m_nCount - list.m_arrRows[1].m_nCount, 1);
}

}  // namespace
}  // namespace tessary

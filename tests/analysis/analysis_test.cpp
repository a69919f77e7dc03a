#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <thread>

#include "analysis/collocation.h"
#include "analysis/dispersion.h"
#include "analysis/keywords.h"
#include "analysis/measures.h"
#include "analysis/ngrams.h"
#include "analysis/table.h"
#include "export/scratch_dir.h"
#include "stats/unique_words.h"
#include "test_texts.h"

namespace tessary {
namespace {

constexpr double kInf = HUGE_VAL;

CSearchRequest Request(const std::string& search, int mode = kMatchWord) {
  CSearchRequest r;
  r.m_strSearch = search;
  r.m_nMatchMode = mode;
  return r;
}

std::unique_ptr<CAnalysisCorpus> Corpus(const std::vector<std::string>& texts, const std::string& search = "",
                                        int mode = kMatchWord) {
  auto corpus = CAnalysisCorpus::Create(Request(search.empty() ? "-" : search, mode), !search.empty());
  EXPECT_TRUE(corpus) << corpus.Error();
  for (std::size_t i = 0; i < texts.size(); ++i) (*corpus)->AddText(texts[i], "text" + std::to_string(i));
  return std::move(*corpus);
}

// ---- Measures against tables worked out by hand ----

TEST(AnalysisMeasures, AssociationOfATableWorkedByHand) {
  // O11 10, R1 20, C1 50, N 1000: E11 = 1.
  const CAssociation a = Associate(10, 20, 50, 1000);
  EXPECT_DOUBLE_EQ(a.m_dE11, 1.0);
  EXPECT_NEAR(a.m_dMI, std::log2(10.0), 1e-12);
  EXPECT_NEAR(a.m_dMI3, std::log2(1000.0), 1e-12);
  EXPECT_NEAR(a.m_dT, 9 / std::sqrt(10.0), 1e-12);
  EXPECT_NEAR(a.m_dZ, 9.0, 1e-12);
  EXPECT_NEAR(a.m_dDice, 20.0 / 70.0, 1e-12);
  EXPECT_NEAR(a.m_dLogDice, 12.192645, 1e-6);
  // Cells 10, 10, 40, 940 against 1, 19, 49, 931.
  EXPECT_NEAR(a.m_dLL, 35.066081, 1e-6);
}

TEST(AnalysisMeasures, ZeroAndNegativeCellsFollowTheStatedConventions) {
  // Node and collocate only ever together: O12 = O21 = 0 add nothing.
  EXPECT_NEAR(Associate(5, 5, 5, 100).m_dLL, 39.703049, 1e-6);
  EXPECT_NEAR(LogLikelihood(5, 0, 0, 95), 39.703049, 1e-6);
  // Never together: log2 0 is minus infinity, G² still from the other cells.
  const CAssociation never = Associate(0, 20, 50, 1000);
  EXPECT_EQ(never.m_dMI, -kInf);
  EXPECT_EQ(never.m_dMI3, -kInf);
  EXPECT_EQ(never.m_dLogDice, -kInf);
  EXPECT_EQ(never.m_dT, -kInf);
  EXPECT_DOUBLE_EQ(never.m_dDice, 0.0);
  EXPECT_NEAR(never.m_dLL, 2.073077, 1e-6);
  // No corpus: E11 is 0 and the z-score undefined, shown empty.
  EXPECT_TRUE(std::isnan(Associate(1, 0, 0, 0).m_dZ));
  EXPECT_EQ(FormatMeasure(Associate(1, 0, 0, 0).m_dZ), "");
  EXPECT_EQ(FormatMeasure(-kInf), "-inf");
  // Overlapping spans may count a word more often than the node occurs: the negative
  // cell is taken as 0.
  EXPECT_DOUBLE_EQ(Associate(3, 2, 10, 100).m_dLL, LogLikelihood(3, 0, 7, 91));
  // A table of no association has G² 0, never a tiny negative.
  EXPECT_EQ(LogLikelihood(10, 90, 100, 900), 0.0);
}

TEST(AnalysisMeasures, KeynessOfATableWorkedByHandAndItsZeroFrequency) {
  // 10 in 100 study words, none in 1,000 reference words; the 0 is taken as 0.5.
  const CKeyness k = Keyness(10, 0, 100, 1000);
  EXPECT_NEAR(k.m_dLL, 48.901827, 1e-6);
  EXPECT_NEAR(k.m_dLogRatio, std::log2(200.0), 1e-12);
  EXPECT_NEAR(k.m_dP, 2.691e-12, 1e-15);
  EXPECT_EQ(k.m_nSign, 1);
  const CKeyness same = Keyness(1, 10, 100, 1000);
  EXPECT_EQ(same.m_nSign, 0);
  EXPECT_NEAR(same.m_dLL, 0.0, 1e-12);
  EXPECT_NEAR(same.m_dP, 1.0, 1e-12);
}

TEST(AnalysisMeasures, JuillandsDOfEvenAndLumpedParts) {
  EXPECT_DOUBLE_EQ(Juilland({2, 2, 2, 2}), 1.0);
  EXPECT_NEAR(Juilland({4, 0, 0, 0}), 0.0, 1e-12);
  EXPECT_TRUE(std::isnan(Juilland({3})));
  EXPECT_TRUE(std::isnan(Juilland({0, 0})));
}

// ---- The words: the unique-word rule ----

std::map<std::string, std::int64_t> CountsByFold(const CVocabulary& v, const CTextClasses& classes) {
  std::map<std::string, std::int64_t> m;
  for (std::size_t w = 0; w < v.m_arrRaw.size(); ++w) m[classes.Fold(v.m_arrRaw[w])] += v.m_arrCount[w];
  return m;
}

void ExpectSameWordsAsUniqueWordList(const std::string& text, CUniqueWordOptions options, CSearchRequest request,
                                     std::size_t pieceBytes = 1 << 18) {
  auto counter = CUniqueWordCounter::Create(options);
  ASSERT_TRUE(counter);
  (*counter)->AddText(text, "t");
  auto corpus = CAnalysisCorpus::Create(request, false);
  ASSERT_TRUE(corpus);
  (*corpus)->SetPieceSize(pieceBytes);
  (*corpus)->AddText(text, "t");
  std::map<std::string, std::int64_t> expected;
  std::int64_t listed = 0;
  for (const CUniqueWord& row : (*counter)->List().m_arrRows) {
    expected[(*corpus)->Classes().Fold(row.m_strWord)] += row.m_nCount;
    listed += row.m_nCount;
  }
  EXPECT_FALSE(expected.empty());
  EXPECT_EQ(CountsByFold((*corpus)->Vocabulary(), (*corpus)->Classes()), expected);
  EXPECT_EQ((*corpus)->Tokens(), listed);
}

TEST(AnalysisWords, AreTheUniqueWordListsWordsInEveryLanguage) {
  const std::string english =
      "The the THE cat's well-known -known end.Start can,not 42 cats {brace ~tilde x-\n" + test::ReadDataFile("en.cp1252.txt");
  ExpectSameWordsAsUniqueWordList(english, {}, Request("x"));
  // Words cut by the pieces the text is read in, parted by dropped bytes on either side
  // of a cut, and words of 255 bytes and more, whole or parted.
  const std::string a255(255, 'a'), b256(256, 'b');
  const std::string edges = "can,not it's well-known x-\n" + a255 + " " + b256 + " " + a255.substr(1) + ",z " +
                            a255 + ",z " + b256.substr(0, 100) + "'" + b256.substr(0, 100) + " end";
  for (std::size_t piece : {2, 3, 7, 64, 300}) {
    SCOPED_TRACE(piece);
    ExpectSameWordsAsUniqueWordList(edges + english.substr(0, 2000), {}, Request("x"), piece);
  }
  CSearchRequest big5 = Request("x");
  big5.m_language.m_kind = TextLanguageKind::kBig5;
  ExpectSameWordsAsUniqueWordList(test::ReadDataFile("zh-hant.big5.txt"), {1252, true, true}, big5);
  CSearchRequest wide = Request("x");
  wide.m_bUnicode = true;
  ExpectSameWordsAsUniqueWordList(test::ReadDataFile("ru.utf8.txt"), {kUtf8CodePage}, wide);
}

TEST(AnalysisWords, NodeWordsAreTheWordsTheMatchOverlaps) {
  // A prefix match stands inside its word, a phrase covers two words; the spans begin
  // beside them.
  auto prefix = Corpus({"one international two"}, "inter", kMatchPrefix);
  const CNodeHit& hit = prefix->Texts()[0].m_arrHits.at(0);
  EXPECT_EQ(hit.m_nFirst, 1u);
  EXPECT_EQ(hit.m_nAfter, 2u);
  auto phrase = Corpus({"a b of the c"}, "of the");
  EXPECT_EQ(phrase->Texts()[0].m_arrHits.at(0).m_nFirst, 2u);
  EXPECT_EQ(phrase->Texts()[0].m_arrHits.at(0).m_nAfter, 4u);
  // A node that is no word (a number) still has its spans on either side.
  auto number = Corpus({"a b 42 c d"}, "42");
  EXPECT_EQ(number->Texts()[0].m_arrHits.at(0).m_nFirst, 2u);
  EXPECT_EQ(number->Texts()[0].m_arrHits.at(0).m_nAfter, 2u);
  // 16-bit searches place words in UTF-16 units, past a surrogate pair.
  CSearchRequest wide;
  wide.m_bUnicode = true;
  wide.m_wstrSearch = u"cat";
  auto corpus = CAnalysisCorpus::Create(wide, true);
  ASSERT_TRUE(corpus);
  (*corpus)->AddText(std::u16string_view(u"d\U0001F600x cat"), "t");
  const CCorpusText& text = (*corpus)->Texts()[0];
  ASSERT_EQ(text.m_arrTokens.size(), 2u);
  EXPECT_EQ(text.m_arrTokens[0].m_nEnd, 4u);
  EXPECT_EQ(text.m_arrTokens[1].m_nStart, 5u);
  EXPECT_EQ(text.m_arrHits.at(0).m_nFirst, 1u);
}

// ---- An independent count over a small corpus ----

const std::vector<std::string> kSmall = {
    "The cat sat on the mat. A black cat saw the dog and the cat ran.",
    "the dog chased a cat up the tree and the cat hissed at the dog",
    "No cats here, only a dog on the mat.",
};

std::vector<std::vector<std::string>> BruteWords(const std::vector<std::string>& texts) {
  std::vector<std::vector<std::string>> out;
  for (const std::string& t : texts) {
    std::istringstream in(t);
    std::vector<std::string> words;
    for (std::string w; in >> w;) {
      std::string s;
      for (char c : w)
        if (std::isalpha(static_cast<unsigned char>(c))) s += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      if (!s.empty()) words.push_back(s);
    }
    out.push_back(words);
  }
  return out;
}

TEST(AnalysisCollocation, CountsAndMeasuresMatchABruteForceCount) {
  const int L = 2, R = 3;
  const auto words = BruteWords(kSmall);
  std::map<std::string, std::int64_t> corpusFreq, spanFreq;
  std::int64_t n = 0, r1 = 0, spanWords = 0;
  for (const auto& text : words)
    for (std::size_t i = 0; i < text.size(); ++i) {
      ++corpusFreq[text[i]], ++n;
      if (text[i] != "CAT") continue;
      ++r1;
      for (std::size_t j = i >= L ? i - L : 0; j < std::min(text.size(), i + R + 1); ++j)
        if (j != i) ++spanFreq[text[j]], ++spanWords;
    }
  auto corpus = Corpus(kSmall, "cat");
  const CCollocationResult result = Collocation(*corpus, {L, R, 1});
  EXPECT_EQ(result.m_nR1, r1);
  EXPECT_EQ(result.m_nN, n);
  // The sum of all collocate frequencies is the number of words in all spans.
  std::int64_t sum = 0;
  for (const CCollocateRow& row : result.m_arrRows) sum += row.m_nO11;
  EXPECT_EQ(sum, spanWords);
  EXPECT_EQ(result.m_nSpanWords, spanWords);
  ASSERT_EQ(result.m_arrRows.size(), spanFreq.size());
  for (const CCollocateRow& row : result.m_arrRows) {
    std::string key = row.m_strWord;
    for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const double o = static_cast<double>(spanFreq.at(key)), c1 = static_cast<double>(corpusFreq.at(key));
    EXPECT_EQ(row.m_nO11, spanFreq.at(key)) << key;
    EXPECT_EQ(row.m_nC1, corpusFreq.at(key)) << key;
    const double e = r1 * c1 / n;
    EXPECT_NEAR(row.m_assoc.m_dMI, std::log(o * n / (r1 * c1)) / std::log(2.0), 1e-9) << key;
    EXPECT_NEAR(row.m_assoc.m_dT, (o - e) / std::sqrt(o), 1e-9) << key;
    EXPECT_NEAR(row.m_assoc.m_dLogDice, 14 + std::log(2 * o / (r1 + c1)) / std::log(2.0), 1e-9) << key;
  }
  // The minimum frequency keeps the rows found that often; the concordance of a
  // collocate is the associated-word search in the zone it stood in.
  for (const CCollocateRow& row : Collocation(*corpus, {L, R, 3}).m_arrRows) EXPECT_GE(row.m_nO11, 3);
  auto sat = std::find_if(result.m_arrRows.begin(), result.m_arrRows.end(), [](auto& r) { return r.m_strWord == "sat"; });
  ASSERT_NE(sat, result.m_arrRows.end());
  const CSearchRequest plexon = CollocateRequest(*corpus, *sat);
  EXPECT_EQ(plexon.m_arrAssocWords, std::vector<std::string>{"sat"});
  EXPECT_EQ(plexon.m_assocZone, AssocZone::kRight);
  EXPECT_EQ(plexon.m_strSearch, "cat");
}

TEST(AnalysisCollocation, SpansCountedInPiecesSmallerThanALineMatchABruteForceCount) {
  // Pieces of 2 to 7 bytes cut words and the node's matches at every place; only the
  // counts are kept, as over a corpus larger than memory.
  const int L = 2, R = 3;
  const auto words = BruteWords(kSmall);
  std::map<std::string, std::int64_t> corpusFreq, left, right;
  std::vector<std::vector<std::size_t>> firsts(words.size());
  std::int64_t n = 0, r1 = 0;
  for (std::size_t t = 0; t < words.size(); ++t) {
    const auto& text = words[t];
    for (std::size_t i = 0; i < text.size(); ++i) {
      ++corpusFreq[text[i]], ++n;
      if (i + 1 >= text.size() || text[i] != "THE" || text[i + 1] != "CAT") continue;
      ++r1, firsts[t].push_back(i);
      for (std::size_t j = i >= L ? i - L : 0; j < i; ++j) ++left[text[j]];
      for (std::size_t j = i + 2; j < std::min(text.size(), i + 2 + R); ++j) ++right[text[j]];
    }
  }
  for (const std::size_t piece : {2, 3, 5, 7}) {
    SCOPED_TRACE(piece);
    auto created = CAnalysisCorpus::Create(Request("the cat"), true, {}, CCorpusPlan{false, true, L, R});
    ASSERT_TRUE(created) << created.Error();
    CAnalysisCorpus& corpus = **created;
    corpus.SetPieceSize(piece);
    for (std::size_t i = 0; i < kSmall.size(); ++i) corpus.AddText(kSmall[i], "text" + std::to_string(i));
    const CCollocationResult result = Collocation(corpus, {L, R, 1});
    EXPECT_EQ(result.m_nR1, r1);
    EXPECT_EQ(result.m_nN, n);
    std::map<std::string, std::int64_t> gotLeft, gotRight;
    for (const CCollocateRow& row : result.m_arrRows) {
      std::string key = row.m_strWord;
      for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      if (row.m_nLeft) gotLeft[key] = row.m_nLeft;
      if (row.m_nRight) gotRight[key] = row.m_nRight;
      EXPECT_EQ(row.m_nC1, corpusFreq[key]) << key;
    }
    EXPECT_EQ(gotLeft, left);
    EXPECT_EQ(gotRight, right);
    for (std::size_t t = 0; t < words.size(); ++t) {
      const CCorpusText& text = corpus.Texts()[t];
      EXPECT_EQ(text.m_nWords, static_cast<std::int64_t>(words[t].size()));
      EXPECT_TRUE(text.m_arrTokens.empty());
      std::vector<std::size_t> got;
      for (const CNodeHit& hit : text.m_arrHits) {
        got.push_back(hit.m_nFirst);
        EXPECT_EQ(hit.m_nAfter, hit.m_nFirst + 2);
      }
      EXPECT_EQ(got, firsts[t]);
    }
  }
}

TEST(AnalysisNgrams, FreeNgramsAndClustersMatchABruteForceCount) {
  const auto words = BruteWords(kSmall);
  std::map<std::string, std::pair<std::int64_t, std::set<std::size_t>>> expected;
  for (std::size_t t = 0; t < words.size(); ++t)
    for (std::size_t size = 2; size <= 3; ++size)
      for (std::size_t i = 0; i + size <= words[t].size(); ++i) {
        std::string key;
        for (std::size_t k = 0; k < size; ++k) key += (k ? " " : "") + words[t][i + k];
        ++expected[key].first;
        expected[key].second.insert(t);
      }
  auto corpus = Corpus(kSmall);
  CNgramOptions options;
  options.m_nMaxSize = 3;
  const CNgramResult result = Ngrams(*corpus, options);
  ASSERT_EQ(result.m_arrRows.size(), expected.size());
  for (const CNgramRow& row : result.m_arrRows) {
    std::string key = row.m_strText;
    for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(row.m_nFreq, expected.at(key).first) << key;
    EXPECT_EQ(row.m_nRange, static_cast<std::int64_t>(expected.at(key).second.size())) << key;
  }
  // Filters: only the runs found twice in two texts.
  options.m_nMinFreq = 2, options.m_nMinRange = 2;
  for (const CNgramRow& row : Ngrams(*corpus, options).m_arrRows) EXPECT_TRUE(row.m_nFreq >= 2 && row.m_nRange >= 2);

  // Clusters: the node first or last; a run attached to two hits counts once.
  auto node = Corpus({"the cat sat. the cat ran. cat cat"}, "cat");
  CNgramOptions left{2, 2, 1, 1, ClusterAttach::kLeft};
  std::map<std::string, std::int64_t> got;
  for (const CNgramRow& row : Ngrams(*node, left).m_arrRows) got[row.m_strText] = row.m_nFreq;
  EXPECT_EQ(got, (std::map<std::string, std::int64_t>{{"cat sat", 1}, {"cat ran", 1}, {"cat cat", 1}}));
  got.clear();
  for (const CNgramRow& row : Ngrams(*node, {2, 2, 1, 1, ClusterAttach::kBoth}).m_arrRows) got[row.m_strText] = row.m_nFreq;
  EXPECT_EQ(got, (std::map<std::string, std::int64_t>{{"cat sat", 1}, {"cat ran", 1}, {"cat cat", 1}, {"the cat", 2},
                                                       {"ran cat", 1}}));
}

TEST(AnalysisKeywords, MatchABruteForceCountAndAreSymmetric) {
  auto study = Corpus({kSmall[0], kSmall[1]});
  auto reference = Corpus({kSmall[2], "the the the a dog dog"});
  const CKeywordResult forward = Keywords(WordCountsOf(*study), WordCountsOf(*reference));
  const CKeywordResult backward = Keywords(WordCountsOf(*reference), WordCountsOf(*study));
  const auto s = BruteWords({kSmall[0] + " " + kSmall[1]})[0], r = BruteWords({kSmall[2] + " the the the a dog dog"})[0];
  EXPECT_EQ(forward.m_nStudyWords, static_cast<std::int64_t>(s.size()));
  EXPECT_EQ(forward.m_nReferenceWords, static_cast<std::int64_t>(r.size()));
  ASSERT_EQ(forward.m_arrRows.size(), backward.m_arrRows.size());
  for (const CKeywordRow& row : forward.m_arrRows) {
    std::string key = row.m_strWord;
    for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(row.m_nStudy, std::count(s.begin(), s.end(), key)) << key;
    EXPECT_EQ(row.m_nReference, std::count(r.begin(), r.end(), key)) << key;
    // Swapped, the same word: the same G², the opposite effect and side.
    auto other = std::find_if(backward.m_arrRows.begin(), backward.m_arrRows.end(),
                              [&](const CKeywordRow& b) { return study->Classes().Fold(b.m_strWord) == key; });
    ASSERT_NE(other, backward.m_arrRows.end()) << key;
    EXPECT_NEAR(other->m_keyness.m_dLL, row.m_keyness.m_dLL, 1e-9) << key;
    EXPECT_NEAR(other->m_keyness.m_dLogRatio, -row.m_keyness.m_dLogRatio, 1e-9) << key;
    EXPECT_EQ(other->m_keyness.m_nSign, -row.m_keyness.m_nSign) << key;
  }
  // Positive keywords come first.
  EXPECT_TRUE(std::is_sorted(forward.m_arrRows.begin(), forward.m_arrRows.end(),
                             [](auto& a, auto& b) { return a.m_keyness.m_nSign > b.m_keyness.m_nSign; }));
}

TEST(AnalysisKeywords, ASavedUniqueWordListIsTheSameReferenceAsItsTexts) {
  test::ScratchDir dir;
  const std::string text = "alpha beta beta gamma 42 supercalifragilisticexpialidocious Alpha";
  auto counter = CUniqueWordCounter::Create({});
  ASSERT_TRUE(counter);
  (*counter)->AddText(text, "t");
  ASSERT_TRUE(SaveUniqueWordList(dir.Path("list.txt"), (*counter)->List()));
  auto reference = Corpus({text});
  auto list = ReadUniqueWordListFile(dir.Path("list.txt"), reference->Classes());
  ASSERT_TRUE(list) << list.Error();
  EXPECT_EQ(list->m_nTotal, 6);  // "42" counts in the list's total, not as a word
  auto study = Corpus({"beta delta"});
  const CKeywordResult a = Keywords(WordCountsOf(*study), *list), b = Keywords(WordCountsOf(*study), WordCountsOf(*reference));
  ASSERT_EQ(a.m_arrRows.size(), b.m_arrRows.size());
  for (std::size_t i = 0; i < a.m_arrRows.size(); ++i) EXPECT_EQ(a.m_arrRows[i].m_nReference, b.m_arrRows[i].m_nReference);
  std::ofstream(dir.Path("bad.txt")) << "Unique words = 1\nnot a row\n";
  EXPECT_FALSE(ReadUniqueWordListFile(dir.Path("bad.txt"), reference->Classes()));
}

// ---- Files counted in ranges on several threads ----

// Everything a counts-only corpus holds, in its order.
std::string CorpusState(const CAnalysisCorpus& corpus) {
  std::ostringstream out;
  const CVocabulary& v = corpus.Vocabulary();
  for (std::size_t w = 0; w < v.m_arrRaw.size(); ++w) {
    out << v.m_arrRaw[w] << '|' << v.m_arrSpelling[w] << '|' << v.m_arrCount[w];
    if (corpus.Spans()) out << '|' << corpus.Spans()->m_arrLeft[w] << '|' << corpus.Spans()->m_arrRight[w];
    out << '\n';
  }
  out << "tokens " << corpus.Tokens() << " hits " << corpus.NodeHits();
  if (corpus.Spans()) out << " span words " << corpus.Spans()->m_nWords;
  for (const CCorpusText& text : corpus.Texts())
    out << " text " << text.m_strPath << ' ' << text.m_nLength << '/' << text.m_nWords;
  for (const std::string& skipped : corpus.SkippedFiles()) out << " skipped " << skipped;
  return out.str();
}

std::string RangedState(const std::vector<std::string>& paths, const std::string& node, int mode, int left, int right,
                        std::size_t rangeBytes, unsigned threads, std::size_t pieceBytes = 1 << 18,
                        bool bAddFiles = false) {
  auto created = CAnalysisCorpus::Create(Request(node.empty() ? "-" : node, mode), !node.empty(), {},
                                         CCorpusPlan{false, false, left, right});
  EXPECT_TRUE(created) << created.Error();
  CAnalysisCorpus& corpus = **created;
  corpus.SetRanges(rangeBytes, threads);
  corpus.SetPieceSize(pieceBytes);
  if (bAddFiles) corpus.AddFiles(paths);
  else for (const std::string& path : paths) corpus.AddFile(path);
  return CorpusState(corpus);
}

// Text whose node hits stand at every distance from each other and from line ends,
// with CR LF, tabs, digits and punctuation (no words) between words, and long words.
std::string RandomCorpusText(std::mt19937& random, std::size_t words) {
  static const char* const kWords[] = {"the",  "The",  "cat",   "catalogue", "sat",  "on",   "a",  "mat",
                                       "42",   "--",   "don't", "well-known", "\xC4pfel", "x,y", "THE", "cats",
                                       "supercalifragilisticexpialidocious"};
  static const char* const kGaps[] = {" ", "  ", "\t", "\r\n", "\n", ". ", ", ", " \r\n\r\n"};
  std::string text;
  for (std::size_t k = 0; k < words; ++k) {
    text += kWords[random() % std::size(kWords)];
    text += kGaps[random() % std::size(kGaps)];
  }
  return text;
}

TEST(AnalysisRanges, FilesCountedInRangesOnSeveralThreadsAsInOnePass) {
  test::ScratchDir dir;
  std::mt19937 random(41);
  std::vector<std::string> paths;
  for (int k = 0; k < 3; ++k) {
    paths.push_back(dir.Path("text" + std::to_string(k) + ".txt"));
    std::string text = RandomCorpusText(random, 900 + 300 * k);
    if (k == 2) text.insert(text.size() / 2, "\x1A the cat sat");  // the text ends at the Ctrl-Z
    std::ofstream(paths.back(), std::ios::binary) << text;
  }
  struct Case {
    std::string node;
    int mode, left, right;
  };
  for (const Case& c : {Case{"the", kMatchWord, 5, 5}, Case{"the cat", kMatchWord, 10, 10},
                        Case{"cat", kMatchPrefix, 0, 4}, Case{"the", kMatchWord, 5, 0}, Case{"", kMatchWord, -1, -1}}) {
    const std::string whole = RangedState(paths, c.node, c.mode, c.left, c.right, 1 << 30, 1);
    ASSERT_NE(whole.find("hits"), std::string::npos);
    for (std::size_t rangeBytes : {1, 90, 3000})
      for (unsigned threads : {1u, 2u, 3u, 8u})
        ASSERT_EQ(RangedState(paths, c.node, c.mode, c.left, c.right, rangeBytes, threads), whole)
            << "'" << c.node << "' " << c.left << "/" << c.right << " in ranges of " << rangeBytes << " x" << threads;
    // Ranges read a piece at a time, pieces cutting words and matches anywhere.
    ASSERT_EQ(RangedState(paths, c.node, c.mode, c.left, c.right, 3000, 2, 7), whole) << "'" << c.node << "' in pieces";
  }
}

TEST(AnalysisRanges, ManyFilesSideBySideAsOneByOne) {
  // Short files counted side by side (one missing, one empty, one with a Ctrl-Z), a
  // long one in ranges between them: texts, counts, spans and messages in order.
  test::ScratchDir dir;
  std::mt19937 random(43);
  std::vector<std::string> paths;
  for (int k = 0; k < 12; ++k) {
    paths.push_back(dir.Path(std::to_string(k) + ".txt"));
    std::string text = k == 4 ? std::string() : RandomCorpusText(random, k == 8 ? 3000 : 20 + random() % 200);
    if (k == 6) text.insert(text.size() / 2, "\x1A the cat sat");
    std::ofstream(paths.back(), std::ios::binary) << text;
  }
  paths.insert(paths.begin() + 3, dir.Path("missing.txt"));
  for (int right : {5, -1}) {
    const std::string oneByOne = RangedState(paths, "the", kMatchWord, right, right, 10000, 1);
    for (unsigned threads : {2u, 3u, 8u})
      ASSERT_EQ(RangedState(paths, "the", kMatchWord, right, right, 10000, threads, 1 << 18, true), oneByOne)
          << right << " x" << threads;
  }
}

TEST(AnalysisRanges, ProgressFromTheCallingThreadAndAStopEndsTheCorpus) {
  test::ScratchDir dir;
  std::string text;
  while (text.size() < 200000) text += "the cat sat on the mat\n";
  const std::string path = dir.Path("big.txt");
  std::ofstream(path, std::ios::binary) << text;
  const auto caller = std::this_thread::get_id();
  bool otherThread = false;
  auto created = CAnalysisCorpus::Create(Request("cat"), true,
                                         [&](std::uint64_t done, std::uint64_t total) {
                                           otherThread |= std::this_thread::get_id() != caller;
                                           return done < total / 2;
                                         },
                                         CCorpusPlan{false, false, 2, 2});
  ASSERT_TRUE(created);
  CAnalysisCorpus& corpus = **created;
  corpus.SetRanges(4096, 2);
  corpus.AddFile(path);
  EXPECT_FALSE(otherThread);
  EXPECT_TRUE(corpus.Stopped());
  // The words of the ranges counted before the stop: a beginning of the text, where
  // "cat" is every sixth word from the second on.
  // (The other thread may have counted every range by the time the stop is heard.)
  EXPECT_GT(corpus.Tokens(), 0);
  EXPECT_LE(corpus.Tokens(), static_cast<std::int64_t>(text.size() / 23 * 6));
  EXPECT_EQ(corpus.NodeHits(), (corpus.Tokens() + 4) / 6);
}

// ---- Dispersion and the tables ----

TEST(AnalysisDispersion, CountsPlacesAndSvg) {
  auto corpus = Corpus({"cat a b c d e f g h cat", "a b c", "x <&> cat"}, "cat");
  const CDispersionResult result = Dispersion(*corpus);
  ASSERT_EQ(result.m_arrStrips.size(), 3u);
  const CDispersionStrip& first = result.m_arrStrips[0];
  EXPECT_EQ(first.m_arrPlaces, (std::vector<double>{0.0, 20.0 / 23.0}));
  EXPECT_DOUBLE_EQ(first.m_dPer1000, 200.0);
  EXPECT_NEAR(first.m_dJuilland, 1 - 2 / 3.0, 1e-12);  // two of ten parts hold a hit
  EXPECT_TRUE(std::isnan(result.m_arrStrips[1].m_dJuilland));
  EXPECT_EQ(result.m_nHits, 3);
  const std::string svg = DispersionSvg(result, "c<at>");
  EXPECT_NE(svg.find("Dispersion of c&lt;at&gt;: 3 hits"), std::string::npos);
  EXPECT_EQ(std::count(svg.begin(), svg.end(), '\n') > 0, true);
  EXPECT_EQ(svg.find("<&>"), std::string::npos);
}

TEST(AnalysisTable, TsvAndCsvQuoteAsTheirRulesSay) {
  CTable t;
  t.m_arrHeader = {"a", "b"};
  t.m_arrRows = {{"x,y", "say \"hi\""}, {"tab\there", "line\nbreak"}};
  EXPECT_EQ(TableText(t, TableFormat::kTsv), "a\tb\nx,y\tsay \"hi\"\ntab here\tline break\n");
  EXPECT_EQ(TableText(t, TableFormat::kCsv, true),
            "\xEF\xBB\xBF" "a,b\r\n\"x,y\",\"say \"\"hi\"\"\"\r\ntab\there,\"line\nbreak\"\r\n");
  // Every column has its formula or meaning for the tool tip.
  const CTable c = CollocationTable({}, {Measure::kMI, Measure::kLL});
  EXPECT_EQ(c.m_arrHeader.size(), c.m_arrToolTips.size());
  EXPECT_EQ(c.m_arrToolTips.back(), FindMeasure("ll")->m_pszFormula);
}

}  // namespace
}  // namespace tessary

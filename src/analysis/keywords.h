#pragma once
// Keywords: the words of the study texts whose frequency differs from a reference
// corpus's, by log-likelihood (significance) and log ratio (effect).
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "analysis/corpus.h"
#include "analysis/measures.h"
#include "engine/expected.h"

namespace tessary {

// A word list: each word as the case-insensitive look-up folds it, spelled as first met.
struct CWordCounts {
  std::vector<std::string> m_arrSpelling;  // UTF-8
  std::vector<std::int64_t> m_arrCount;
  std::unordered_map<std::string, std::size_t> m_index;  // folded, in the texts' encoding
  std::int64_t m_nTotal = 0;                             // the sum of the counts
};

CWordCounts WordCountsOf(const CAnalysisCorpus& corpus);
// A saved unique-word list ("Unique words = ..." then one numbered row per word), in
// the encoding of classes. Its size is the sum of the rows' instances: numbers and the
// like, which its "Total words" also counts, are no words here.
Expected<CWordCounts> ReadUniqueWordListFile(const std::string& path, const CTextClasses& classes);

struct CKeywordRow {
  std::string m_strWord;
  std::int64_t m_nStudy = 0;
  std::int64_t m_nReference = 0;
  CKeyness m_keyness;
};

struct CKeywordResult {
  std::int64_t m_nStudyWords = 0;
  std::int64_t m_nReferenceWords = 0;
  // Positive keywords by G², highest first, then the negative ones the same way.
  std::vector<CKeywordRow> m_arrRows;
};

// A positive keyword needs m_nMinFreq in the study texts, a negative one in the reference.
CKeywordResult Keywords(const CWordCounts& study, const CWordCounts& reference, std::int64_t nMinFreq = 1);

}  // namespace tessary

#pragma once
// Collocation strength: every word in the spans of the node with its frequency there,
// its corpus frequency and the association measures of its two-by-two table.
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/corpus.h"
#include "analysis/measures.h"
#include "engine/progress.h"

namespace tessary {

inline constexpr int kMaxSpan = 10;

struct CCollocationOptions {
  int m_nLeft = 5;   // words left of the node, 0 to 10 (together at least 1)
  int m_nRight = 5;  // words right of the node
  std::int64_t m_nMinFreq = 1;  // of O11
};

struct CCollocateRow {
  std::uint32_t m_nWord = 0;  // the vocabulary entry
  std::string m_strWord;      // UTF-8
  std::int64_t m_nO11 = 0;    // in the spans
  std::int64_t m_nLeft = 0;   // of those, left of the node
  std::int64_t m_nRight = 0;  // right of it
  std::int64_t m_nC1 = 0;     // in the corpus
  CAssociation m_assoc;
};

struct CCollocationResult {
  std::int64_t m_nR1 = 0;          // node hits
  std::int64_t m_nN = 0;           // corpus words
  std::int64_t m_nSpanWords = 0;   // words in all spans, each span counted for its hit
  std::vector<CCollocateRow> m_arrRows;  // by O11, highest first, then by word
  bool m_bStopped = false;
};

// The options' message when out of range, else empty.
std::string CheckCollocationOptions(const CCollocationOptions& options);
// The spans the corpus counted as read when they are these; else its kept words and hits.
CCollocationResult Collocation(const CAnalysisCorpus& corpus, const CCollocationOptions& options,
                               const ProgressFn& progress = {});
// Highest value first; equal values by word.
void SortCollocates(std::vector<CCollocateRow>& rows, Measure measure);

// The concordance of the node with that collocate: the associated-word search with the
// word in the zone where it stood (left, right, or anywhere when both).
CSearchRequest CollocateRequest(const CAnalysisCorpus& corpus, const CCollocateRow& row);

}  // namespace tessary

#pragma once
// Clusters (runs of words that begin or end with the node) and free n-grams (every run
// of n words of the texts), with their frequency and range (the number of texts).
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/corpus.h"
#include "engine/progress.h"

namespace tessary {

enum class ClusterAttach {
  kFree,   // every run of words of the texts: the node is not asked for
  kLeft,   // the node stands first (the words to its right follow)
  kRight,  // the node stands last
  kBoth,   // either
};

struct CNgramOptions {
  int m_nMinSize = 2;  // words, 2 to 5; a cluster's size counts the node's own words
  int m_nMaxSize = 5;
  std::int64_t m_nMinFreq = 1;
  std::int64_t m_nMinRange = 1;
  ClusterAttach m_attach = ClusterAttach::kFree;
};

struct CNgramRow {
  std::string m_strText;  // the words, UTF-8, each spelled as first met, one space between
  std::vector<std::uint32_t> m_arrWords;
  std::int64_t m_nFreq = 0;
  std::int64_t m_nRange = 0;
};

struct CNgramResult {
  std::vector<CNgramRow> m_arrRows;  // by frequency, highest first, then by range, then text
  bool m_bStopped = false;
};

std::string CheckNgramOptions(const CNgramOptions& options);
// Clusters need a corpus with a node; free n-grams take any.
CNgramResult Ngrams(const CAnalysisCorpus& corpus, const CNgramOptions& options, const ProgressFn& progress = {});

}  // namespace tessary

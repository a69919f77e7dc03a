#include "analysis/ngrams.h"

#include <algorithm>
#include <unordered_set>
#include <unordered_map>

namespace tessary {

namespace {

struct Count {
  std::int64_t m_nFreq = 0;
  std::int64_t m_nRange = 0;
  std::size_t m_nLastText = static_cast<std::size_t>(-1);
};

std::string KeyOf(const CToken* first, std::size_t size) {
  std::string key(size * 4, '\0');
  for (std::size_t k = 0; k < size; ++k)
    for (int b = 0; b < 4; ++b) key[4 * k + b] = static_cast<char>(first[k].m_nWord >> (8 * b));
  return key;
}

}  // namespace

std::string CheckNgramOptions(const CNgramOptions& o) {
  if (o.m_nMinSize < 2 || o.m_nMaxSize > 5 || o.m_nMinSize > o.m_nMaxSize) return "The size is 2 to 5 words.";
  if (o.m_nMinFreq < 1 || o.m_nMinRange < 1) return "The minimum frequency and range are 1 or more.";
  return {};
}

CNgramResult Ngrams(const CAnalysisCorpus& corpus, const CNgramOptions& options, const ProgressFn& progress) {
  CNgramResult result;
  std::unordered_map<std::string, Count> counts;
  auto add = [&](const CToken* first, std::size_t size, std::size_t text) {
    Count& c = counts[KeyOf(first, size)];
    ++c.m_nFreq;
    if (c.m_nLastText != text) ++c.m_nRange, c.m_nLastText = text;
  };
  const auto& texts = corpus.Texts();
  const bool bLeft = options.m_attach == ClusterAttach::kLeft || options.m_attach == ClusterAttach::kBoth;
  const bool bRight = options.m_attach == ClusterAttach::kRight || options.m_attach == ClusterAttach::kBoth;
  for (std::size_t t = 0; t < texts.size(); ++t) {
    if (!ReportProgress(progress, t, texts.size())) {
      result.m_bStopped = true;
      break;
    }
    const auto& tokens = texts[t].m_arrTokens;
    for (std::size_t size = options.m_nMinSize; size <= static_cast<std::size_t>(options.m_nMaxSize); ++size) {
      if (options.m_attach == ClusterAttach::kFree) {
        for (std::size_t i = 0; i + size <= tokens.size(); ++i) add(&tokens[i], size, t);
        continue;
      }
      // A run both attached to one hit and to another counts once.
      std::unordered_set<std::size_t> starts;
      auto addOnce = [&](std::size_t start) {
        if (starts.insert(start).second) add(&tokens[start], size, t);
      };
      for (const CNodeHit& hit : texts[t].m_arrHits) {
        // The node's own words, and at least one word beside them.
        const std::size_t own = hit.m_nAfter - hit.m_nFirst;
        if (own == 0 || own >= size) continue;
        if (bLeft && hit.m_nFirst + size <= tokens.size()) addOnce(hit.m_nFirst);
        if (bRight && hit.m_nAfter >= size) addOnce(hit.m_nAfter - size);
      }
    }
  }
  const CVocabulary& v = corpus.Vocabulary();
  for (const auto& [key, c] : counts) {
    if (c.m_nFreq < options.m_nMinFreq || c.m_nRange < options.m_nMinRange) continue;
    CNgramRow row;
    for (std::size_t k = 0; k < key.size(); k += 4) {
      std::uint32_t w = 0;
      for (int b = 0; b < 4; ++b) w |= std::uint32_t{static_cast<unsigned char>(key[k + b])} << (8 * b);
      row.m_arrWords.push_back(w);
      if (!row.m_strText.empty()) row.m_strText += ' ';
      row.m_strText += v.m_arrSpelling[w];
    }
    row.m_nFreq = c.m_nFreq;
    row.m_nRange = c.m_nRange;
    result.m_arrRows.push_back(std::move(row));
  }
  std::sort(result.m_arrRows.begin(), result.m_arrRows.end(), [](const CNgramRow& a, const CNgramRow& b) {
    if (a.m_nFreq != b.m_nFreq) return a.m_nFreq > b.m_nFreq;
    if (a.m_nRange != b.m_nRange) return a.m_nRange > b.m_nRange;
    return a.m_strText < b.m_strText;
  });
  return result;
}

}  // namespace tessary

#include "analysis/collocation.h"

#include <algorithm>
#include <cmath>

namespace tessary {

std::string CheckCollocationOptions(const CCollocationOptions& o) {
  if (o.m_nLeft < 0 || o.m_nLeft > kMaxSpan || o.m_nRight < 0 || o.m_nRight > kMaxSpan || o.m_nLeft + o.m_nRight == 0)
    return "The span is 0 to 10 words on each side, at least one in all.";
  if (o.m_nMinFreq < 1) return "The minimum frequency is 1 or more.";
  return {};
}

CCollocationResult Collocation(const CAnalysisCorpus& corpus, const CCollocationOptions& options,
                               const ProgressFn& progress) {
  CCollocationResult result;
  result.m_nR1 = corpus.NodeHits();
  result.m_nN = corpus.Tokens();
  const CVocabulary& v = corpus.Vocabulary();
  std::vector<std::int64_t> left, right;
  const CSpanCounts* spans = corpus.Spans();
  if (spans && spans->m_nLeft == options.m_nLeft && spans->m_nRight == options.m_nRight) {
    // Counted while the texts were read.
    left = spans->m_arrLeft, right = spans->m_arrRight;
    result.m_nSpanWords = spans->m_nWords;
  } else {
    left.assign(v.m_arrRaw.size(), 0), right.assign(v.m_arrRaw.size(), 0);
    const auto& texts = corpus.Texts();
    for (std::size_t t = 0; t < texts.size(); ++t) {
      if (!ReportProgress(progress, t, texts.size())) {
        result.m_bStopped = true;
        break;
      }
      for (const CNodeHit& hit : texts[t].m_arrHits)
        ForEachSpanWord(texts[t], hit, options.m_nLeft, options.m_nRight, [&](std::uint32_t w, bool bLeft) {
          ++(bLeft ? left : right)[w];
          ++result.m_nSpanWords;
        });
    }
  }
  for (std::uint32_t w = 0; w < left.size(); ++w) {
    CCollocateRow row;
    row.m_nO11 = left[w] + right[w];
    if (row.m_nO11 == 0 || row.m_nO11 < options.m_nMinFreq) continue;
    row.m_nWord = w;
    row.m_strWord = v.m_arrSpelling[w];
    row.m_nLeft = left[w];
    row.m_nRight = right[w];
    row.m_nC1 = v.m_arrCount[w];
    row.m_assoc = Associate(static_cast<double>(row.m_nO11), static_cast<double>(result.m_nR1),
                            static_cast<double>(row.m_nC1), static_cast<double>(result.m_nN));
    result.m_arrRows.push_back(std::move(row));
  }
  SortCollocates(result.m_arrRows, Measure::kFrequency);
  return result;
}

void SortCollocates(std::vector<CCollocateRow>& rows, Measure measure) {
  auto key = [measure](const CCollocateRow& r) {
    const double x = MeasureValue(r.m_assoc, static_cast<double>(r.m_nO11), measure);
    return std::isnan(x) ? -HUGE_VAL : x;  // undefined values go last
  };
  std::stable_sort(rows.begin(), rows.end(), [&](const CCollocateRow& a, const CCollocateRow& b) {
    const double ka = key(a), kb = key(b);
    if (ka != kb) return ka > kb;
    return a.m_strWord < b.m_strWord;
  });
}

CSearchRequest CollocateRequest(const CAnalysisCorpus& corpus, const CCollocateRow& row) {
  CSearchRequest request = corpus.Request();
  request.m_bSentences = false;
  request.m_assocZone = row.m_nLeft > 0 && row.m_nRight > 0 ? AssocZone::kAnywhere
                        : row.m_nLeft > 0                   ? AssocZone::kLeft
                                                            : AssocZone::kRight;
  const std::string& raw = corpus.Vocabulary().m_arrRaw[row.m_nWord];
  if (request.m_bUnicode) {
    request.m_wstrAssocWord = Utf8ToUtf16(raw);
  } else {
    request.m_arrAssocWords = {raw};
  }
  return request;
}

}  // namespace tessary

#pragma once
// The dispersion plot of a search: one strip per text with a tick per hit at its place
// (the text's length taken as 1), the hits, their frequency per 1,000 words and
// Juilland's D, and the plot written as SVG.
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/corpus.h"

namespace tessary {

inline constexpr int kDispersionParts = 10;

struct CDispersionStrip {
  std::string m_strPath;
  std::size_t m_nText = 0;             // index in the corpus's texts
  std::uint64_t m_nLength = 0;         // of the text as searched
  std::int64_t m_nWords = 0;
  std::vector<std::uint64_t> m_arrOffsets;  // each hit's offset (for its context)
  std::vector<double> m_arrPlaces;          // each hit's offset / length, 0 to 1
  double m_dPer1000 = 0;
  double m_dJuilland = 0;              // NaN: no hit, or fewer than two parts
};

struct CDispersionResult {
  std::vector<CDispersionStrip> m_arrStrips;
  std::int64_t m_nHits = 0;
  std::int64_t m_nWords = 0;
  double m_dPer1000 = 0;
  double m_dJuilland = 0;  // over the texts as parts; NaN with fewer than two texts
};

// Juilland's D of the frequencies of equal parts: 1 − (σ / μ) / √(n − 1), with the
// population standard deviation. NaN with fewer than two parts or a mean of 0.
double Juilland(const std::vector<double>& frequencies);
extern const char* const kJuillandFormula;

// Each text's D is taken over its words split into kDispersionParts equal parts (fewer
// for a text of fewer words); the hits' relative frequencies per part.
CDispersionResult Dispersion(const CAnalysisCorpus& corpus);

// The plot as an SVG document (UTF-8); title names the search.
std::string DispersionSvg(const CDispersionResult& result, const std::string& title);

}  // namespace tessary

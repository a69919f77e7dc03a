#include "stats/range_word_counter.h"

#include <utility>

namespace tessary {

std::uint32_t CRangeWordCounter::EntryOf(const unsigned char* word, std::size_t length,
                                         const unsigned char* readLimit) {
  m_folder.Fold(word, length, readLimit, m_key);
  const std::int64_t found = m_words.Find(m_key);
  if (found >= 0) return static_cast<std::uint32_t>(found);
  return m_words.Add(m_key, word, 0, 0);
}

void CRangeWordCounter::CountPastFirst(const CPending& word) {
  if (!word.m_pSet) {
    ++m_words.Count(EntryOf(word.m_pWord, word.m_nLength, word.m_pLimit));
    return;
  }
  CWay* ways = word.m_pSet->m_arrWays;
  if (ways[1].Is(word.m_nHead, word.m_nTail)) {
    std::swap(ways[0], ways[1]);
  } else {
    Flush(ways[1]);
    ways[1] = ways[0];
    ways[0] = {word.m_nHead, word.m_nTail, EntryOf(word.m_pWord, word.m_nLength, word.m_pLimit), 0};
  }
  Raise(ways[0]);
}

void CRangeWordCounter::Flush(CWay& way) {
  if (way.m_nValue != 0) m_words.Count(way.m_nEntry) += way.m_nValue;
  way.m_nValue = 0;
}

void CRangeWordCounter::Drain() {
  for (std::size_t k = m_nPushed > kRingSize ? m_nPushed - kRingSize : 0; k < m_nPushed; ++k)
    Count(m_arrRing[k % kRingSize]);
  m_nPushed = 0;
}

void CRangeWordCounter::Finish() {
  Drain();
  for (CSpellingSets::CSet& set : m_sets.Sets())
    for (CWay& way : set.m_arrWays) Flush(way);
}

}  // namespace tessary

#include "stats/range_word_counter.h"

namespace tessary {

std::uint32_t CRangeWordCounter::EntryOf(const CFoldedKey& key, const unsigned char* word) {
  const std::int64_t found = m_words.Find(key);
  if (found >= 0) return static_cast<std::uint32_t>(found);
  return m_words.Add(key, word, 0, 0);
}

void CRangeWordCounter::Miss(const CPending& word) {
  CMissed& next = m_arrMissed[m_nMissed % kMissRingSize];
  if (m_nMissed >= kMissRingSize) Settle(next);
  next.m_word = word;
  m_folder.Fold(word.m_pWord, word.m_nLength, word.m_pLimit, next.m_key);
  m_words.Prefetch(next.m_key.m_nHash);
  ++m_nMissed;
}

void CRangeWordCounter::Settle(const CMissed& missed) {
  const CPending& word = missed.m_word;
  const std::uint32_t entry = EntryOf(missed.m_key, word.m_pWord);
  if (!word.m_pSet) {
    ++m_words.Count(entry);
    return;
  }
  // The same spelling may have come into the set since it was missed.
  CWay* ways = word.m_pSet->m_arrWays;
  if (ways[1].Is(word.m_nHead, word.m_nTail)) {
    std::swap(ways[0], ways[1]);
  } else if (!ways[0].Is(word.m_nHead, word.m_nTail)) {
    Flush(ways[1]);
    ways[1] = ways[0];
    ways[0] = {word.m_nHead, word.m_nTail, entry, 0};
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
  for (std::size_t k = m_nMissed > kMissRingSize ? m_nMissed - kMissRingSize : 0; k < m_nMissed; ++k)
    Settle(m_arrMissed[k % kMissRingSize]);
  m_nMissed = 0;
}

void CRangeWordCounter::Finish() {
  Drain();
  for (CSpellingSets::CSet& set : m_sets.Sets())
    for (CWay& way : set.m_arrWays) Flush(way);
}

}  // namespace tessary

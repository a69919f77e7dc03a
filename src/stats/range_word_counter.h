#pragma once
// Counts the words of one range of a byte text into its table of folded words, in the
// order met. A cache of spellings holds, beside each word's entry, the count met since
// it came in, so a frequent word costs neither folding, the table nor the count array.
// So that the processor does not stall on memory, each word waits a few places in a
// ring while its cache set is fetched, and a word the cache misses is folded and waits
// in a second ring while its table slot is fetched. The rings keep the order met, and
// the order of new entries with it.
#include <cstddef>
#include <cstdint>
#include <utility>

#include "stats/folded_words.h"
#include "stats/spelling_sets.h"

namespace tessary {

class CRangeWordCounter {
 public:
  CRangeWordCounter(const CWordFolder& folder, CFoldedWords& words) : m_folder(folder), m_words(words) {}
  CRangeWordCounter(const CRangeWordCounter&) = delete;
  CRangeWordCounter& operator=(const CRangeWordCounter&) = delete;

  // A word of 1 to 255 bytes as SplitByteWords hands it out. One whose readLimit is
  // its first byte was gathered apart from the text and lives only during the call.
  void Add(const unsigned char* word, std::size_t length, const unsigned char* readLimit) {
    if (readLimit == word) {
      Drain();
      m_folder.Fold(word, length, readLimit, m_key);
      ++m_words.Count(EntryOf(m_key, word));
      return;
    }
    CPending& next = m_arrRing[m_nPushed % kRingSize];
    if (m_nPushed >= kRingSize) Count(next);
    next.m_pWord = word;
    next.m_pLimit = readLimit;
    next.m_nLength = length;
    next.m_pSet = nullptr;
    if (CSpellingSets::Fits(word, length, readLimit)) {
      CSpellingSets::Key(word, length, next.m_nHead, next.m_nTail);
      next.m_pSet = &m_sets.SetOf(next.m_nHead, next.m_nTail);
      __builtin_prefetch(next.m_pSet);
      __builtin_prefetch(reinterpret_cast<const char*>(next.m_pSet) + sizeof(CSpellingSets::CSet) - 1);
    }
    ++m_nPushed;
  }
  // Counts the words still waiting and adds the cached counts to the table.
  void Finish();

 private:
  static constexpr std::size_t kRingSize = 8;
  static constexpr std::size_t kMissRingSize = 8;
  using CWay = CSpellingSets::CWay;
  struct CPending {
    const unsigned char* m_pWord;
    const unsigned char* m_pLimit;
    std::size_t m_nLength;
    CSpellingSets::CSet* m_pSet;  // null: not cached
    std::uint64_t m_nHead, m_nTail;
  };
  struct CMissed {
    CPending m_word;
    CFoldedKey m_key;
  };

  void Count(const CPending& word) {
    if (word.m_pSet) {
      CWay* ways = word.m_pSet->m_arrWays;
      if (ways[0].Is(word.m_nHead, word.m_nTail)) {
        Raise(ways[0]);
        return;
      }
      if (ways[1].Is(word.m_nHead, word.m_nTail)) {
        std::swap(ways[0], ways[1]);
        Raise(ways[0]);
        return;
      }
    }
    Miss(word);
  }
  // The way's value is its count since it came in.
  void Raise(CWay& way) {
    if (++way.m_nValue == 0) m_words.Count(way.m_nEntry) += std::int64_t{1} << 32;
  }
  // A word the cache missed: folded now, looked up a few misses later.
  [[gnu::noinline]] void Miss(const CPending& word);
  void Settle(const CMissed& missed);
  std::uint32_t EntryOf(const CFoldedKey& key, const unsigned char* word);
  void Drain();
  void Flush(CWay& way);

  const CWordFolder& m_folder;
  CFoldedWords& m_words;
  CSpellingSets m_sets;
  CPending m_arrRing[kRingSize];
  std::size_t m_nPushed = 0;  // words put in the ring since it was last drained
  CMissed m_arrMissed[kMissRingSize];
  std::size_t m_nMissed = 0;  // words put in the ring of misses since it was last drained
  CFoldedKey m_key;
};

}  // namespace tessary

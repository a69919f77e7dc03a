#pragma once
// A cache from words of up to 16 bytes, as spelled, to a table entry of the caller's
// and a value beside it. Two ways a set; the caller puts a word found second first.
// Most words are frequent and short, so most look-ups end here, in the processor's
// cache, without folding the word or probing the table.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace tessary {

class CSpellingSets {
 public:
  struct CWay {
    std::uint64_t m_nHead = 0, m_nTail = 0;  // the word's bytes; no word byte is 0, so 0 is no word
    std::uint32_t m_nEntry = 0;
    std::uint32_t m_nValue = 0;  // the caller's
    bool Is(std::uint64_t head, std::uint64_t tail) const { return m_nHead == head && m_nTail == tail; }
  };
  struct CSet {
    CWay m_arrWays[2];
  };

  CSpellingSets() : m_arrSets(std::size_t{1} << kSetBits) {}

  // Words that fit: up to 16 bytes, with 16 bytes readable from their first.
  static bool Fits(const unsigned char* word, std::size_t length, const unsigned char* readLimit) {
    return length <= 16 && readLimit - word >= 16;
  }
  // The bytes of a word that fits, zero past its end.
  static void Key(const unsigned char* word, std::size_t length, std::uint64_t& head, std::uint64_t& tail) {
    std::memcpy(&head, word, 8);
    std::memcpy(&tail, word + 8, 8);
    head &= kWordMasks[length + 8];
    tail &= kWordMasks[length];
  }
  CSet& SetOf(std::uint64_t head, std::uint64_t tail) {
    return m_arrSets[((head ^ (tail * 0xC2B2AE3D27D4EB4Full)) * 0x9E3779B97F4A7C15ull) >> (64 - kSetBits)];
  }
  std::vector<CSet>& Sets() { return m_arrSets; }

 private:
  static constexpr int kSetBits = 13;
  // Masks of the bytes of a word of n bytes (at most 16) in its second 8 bytes, at
  // kWordMasks[n], and in its first 8, at kWordMasks[n + 8]: a table, not a branch.
  static constexpr std::uint64_t kAll = ~std::uint64_t{0};
  static constexpr std::uint64_t kWordMasks[25] = {
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFFFF, 0xFFFFFF, 0xFFFFFFFF, 0xFFFFFFFFFFull, 0xFFFFFFFFFFFFull,
      0xFFFFFFFFFFFFFFull, kAll, kAll, kAll, kAll, kAll, kAll, kAll, kAll, kAll};

  std::vector<CSet> m_arrSets;
};

}  // namespace tessary

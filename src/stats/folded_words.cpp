#include "stats/folded_words.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace tessary {

namespace {

std::uint64_t Mix(std::uint64_t h) {
  h *= 0xBF58476D1CE4E5B9ull;
  h ^= h >> 29;
  h *= 0x94D049BB133111EBull;
  return h ^ (h >> 32);
}

// Upper case of eight ASCII bytes at once: 0x20 off every byte from 'a' to 'z'.
std::uint64_t AsciiUpper(std::uint64_t v) {
  constexpr std::uint64_t kTop = 0x8080808080808080ull;
  const std::uint64_t fromA = (v + 0x1F1F1F1F1F1F1F1Full) & kTop;  // byte >= 'a'
  const std::uint64_t pastZ = (v + 0x0505050505050505ull) & kTop;  // byte > 'z'
  return v - ((fromA & ~pastZ) >> 2);
}

std::uint64_t HashChunks(const std::uint64_t* chunks, std::size_t count, std::size_t length) {
  std::uint64_t hash = 0x9E3779B97F4A7C15ull ^ (length * 0xFF51AFD7ED558CCDull);
  for (std::size_t c = 0; c < count; ++c) hash = Mix(hash ^ chunks[c]);
  return hash;
}

}  // namespace

CWordFolder::CWordFolder(const CTextClasses& classes) : m_classes(classes) {
  m_bAsciiFold = std::endian::native == std::endian::little && !m_classes.IsDoubleByte();
  for (int b = 0; b < 0x80 && m_bAsciiFold; ++b)
    m_bAsciiFold = m_classes.Upper(static_cast<unsigned char>(b)) == (b >= 'a' && b <= 'z' ? b - 0x20 : b);
}

void CWordFolder::Fold(const unsigned char* word, std::size_t length, const unsigned char* readLimit,
                       CFoldedKey& key) const {
  // Bytes are read eight at a time from the text; a gathered word was just written
  // byte by byte and is read back the same way.
  const std::size_t count = (length + 7) / 8;
  std::uint64_t* chunks = key.m_arrChunks;
  const auto& upper = m_classes.UpperTable();
  if (m_classes.IsDoubleByte()) {
    const std::string folded = m_classes.Fold(std::string_view(reinterpret_cast<const char*>(word), length));
    std::fill(chunks, chunks + count, 0);
    for (std::size_t k = 0; k < length; ++k)
      chunks[k / 8] |= std::uint64_t{static_cast<unsigned char>(folded[k])} << (8 * (k % 8));
  } else {
    for (std::size_t c = 0; c < count; ++c) {
      const unsigned char* s = word + 8 * c;
      const std::size_t m = std::min<std::size_t>(8, length - 8 * c);
      std::uint64_t v = 0;
      if (m_bAsciiFold && readLimit - s >= 8) {
        std::memcpy(&v, s, 8);
        if (m < 8) v &= (std::uint64_t{1} << (8 * m)) - 1;
      } else {
        for (std::size_t k = 0; k < m; ++k) v |= std::uint64_t{s[k]} << (8 * k);
      }
      if (m_bAsciiFold && (v & 0x8080808080808080ull) == 0) {
        v = AsciiUpper(v);
      } else {
        std::uint64_t f = 0;
        for (std::size_t k = 0; k < m; ++k) f |= std::uint64_t{upper[(v >> (8 * k)) & 0xFF]} << (8 * k);
        v = f;
      }
      chunks[c] = v;
    }
  }
  key.m_nChunks = count;
  key.m_nLength = length;
  key.m_nHash = HashChunks(chunks, count, length);
}

CFoldedWords::CFoldedWords() : m_slots(1 << 12) {}

std::int64_t CFoldedWords::Find(const CFoldedKey& key, std::uint8_t* mark) const {
  const std::size_t mask = m_slots.size() - 1;
  const std::uint32_t want = Meta(key.m_nHash, key.m_nLength, 0);
  for (std::size_t i = key.m_nHash & mask;; i = (i + 1) & mask) {
    const Slot& slot = m_slots[i];
    if (slot.m_nEntry == 0) return -1;
    if ((slot.m_nMeta & ~0xFFu) != want || slot.m_nFirst != key.m_arrChunks[0]) continue;
    const std::uint32_t e = slot.m_nEntry - 1;
    if (key.m_nChunks > 1) {
      // Most words have one or two chunks: compared here, not by a call.
      const std::uint64_t* stored = m_arrChunks.data() + m_arrEntries[e].m_nChunks;
      std::size_t c = 1;
      while (c < key.m_nChunks && key.m_arrChunks[c] == stored[c]) ++c;
      if (c < key.m_nChunks) continue;
    }
    if (mark) *mark = static_cast<std::uint8_t>(slot.m_nMeta & 0xFF);
    return e;
  }
}

std::uint32_t CFoldedWords::Add(const CFoldedKey& key, const unsigned char* spelling, std::uint8_t mark,
                                std::int64_t count) {
  const auto e = static_cast<std::uint32_t>(m_arrEntries.size());
  m_arrEntries.push_back({m_strArena.size(), m_arrChunks.size(), static_cast<std::uint32_t>(key.m_nLength)});
  m_arrCounts.push_back(count);
  m_arrHashes.push_back(key.m_nHash);
  m_arrMarks.push_back(mark);
  m_strArena.append(reinterpret_cast<const char*>(spelling), key.m_nLength);
  m_arrChunks.insert(m_arrChunks.end(), key.m_arrChunks, key.m_arrChunks + key.m_nChunks);
  const std::size_t mask = m_slots.size() - 1;
  std::size_t i = key.m_nHash & mask;
  while (m_slots[i].m_nEntry != 0) i = (i + 1) & mask;
  m_slots[i] = {key.m_arrChunks[0], e + 1, Meta(key.m_nHash, key.m_nLength, mark)};
  if (m_arrEntries.size() * 4 > m_slots.size() * 3) Grow();
  return e;
}

void CFoldedWords::Grow() {
  std::vector<Slot> grown(m_slots.size() * 2);
  const std::size_t mask = grown.size() - 1;
  for (std::uint32_t e = 0; e < m_arrEntries.size(); ++e) {
    std::size_t i = m_arrHashes[e] & mask;
    while (grown[i].m_nEntry != 0) i = (i + 1) & mask;
    grown[i] = {m_arrChunks[m_arrEntries[e].m_nChunks], e + 1, Meta(m_arrHashes[e], m_arrEntries[e].m_nLength, m_arrMarks[e])};
  }
  m_slots.swap(grown);
}

std::string_view CFoldedWords::Spelling(std::uint32_t entry) const {
  const Entry& e = m_arrEntries[entry];
  return std::string_view(m_strArena).substr(e.m_nSpelling, e.m_nLength);
}

void CFoldedWords::KeyOf(std::uint32_t entry, CFoldedKey& key) const {
  const Entry& e = m_arrEntries[entry];
  key.m_nLength = e.m_nLength;
  key.m_nChunks = (e.m_nLength + 7) / 8;
  key.m_nHash = m_arrHashes[entry];
  std::copy_n(m_arrChunks.data() + e.m_nChunks, key.m_nChunks, key.m_arrChunks);
}

}  // namespace tessary

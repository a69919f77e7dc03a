#pragma once
// Words told apart as the unique-word list's case-insensitive look-up tells them: by
// their folded (upper-cased) bytes. Each distinct word is one entry, numbered in the
// order first met, with its spelling as first met and its count. The folded form is
// kept as 8-byte chunks (byte k in bits 8(k mod 8) and up of chunk k / 8, zero
// padded), so look-ups hash and compare whole chunks; a slot holds the first chunk, so
// most words (eight bytes or fewer) are settled without touching the entries.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "stats/byte_words.h"
#include "stats/text_classes.h"

namespace tessary {

inline constexpr std::size_t kMaxWordChunks = (kMaxWordBytes + 7) / 8;

// A word's folded chunks and their hash.
struct CFoldedKey {
  std::uint64_t m_arrChunks[kMaxWordChunks];
  std::size_t m_nChunks = 0;
  std::size_t m_nLength = 0;
  std::uint64_t m_nHash = 0;
};

// Folds words of one encoding into keys.
class CWordFolder {
 public:
  explicit CWordFolder(const CTextClasses& classes);
  // A word of 1 to 255 bytes; bytes from word up to readLimit may be read in blocks.
  void Fold(const unsigned char* word, std::size_t length, const unsigned char* readLimit, CFoldedKey& key) const;

 private:
  const CTextClasses& m_classes;
  bool m_bAsciiFold = false;  // bytes below 0x80 upper-case by the plain a..z rule
};

class CFoldedWords {
 public:
  CFoldedWords();
  // Starts fetching the slot where a look-up of the hash begins.
  void Prefetch(std::uint64_t hash) const { __builtin_prefetch(&m_slots[hash & (m_slots.size() - 1)]); }
  std::uint64_t HashOf(std::uint32_t entry) const { return m_arrHashes[entry]; }
  // The entry of the key, or -1; `mark` gets the mark the entry was added with.
  std::int64_t Find(const CFoldedKey& key, std::uint8_t* mark = nullptr) const;
  // A new entry (the key must not be there yet) with its spelling, a mark of the
  // caller's (kept beside the slot so a found word's mark costs nothing) and a count.
  std::uint32_t Add(const CFoldedKey& key, const unsigned char* spelling, std::uint8_t mark, std::int64_t count);

  std::size_t Size() const { return m_arrEntries.size(); }
  std::int64_t& Count(std::uint32_t entry) { return m_arrCounts[entry]; }
  std::int64_t Count(std::uint32_t entry) const { return m_arrCounts[entry]; }
  std::uint8_t Mark(std::uint32_t entry) const { return m_arrMarks[entry]; }
  std::string_view Spelling(std::uint32_t entry) const;
  // The entry's key, rebuilt from what is kept.
  void KeyOf(std::uint32_t entry, CFoldedKey& key) const;

 private:
  struct Entry {
    std::size_t m_nSpelling;  // offset in the arena
    std::size_t m_nChunks;    // offset of its chunks
    std::uint32_t m_nLength;
  };
  struct Slot {
    std::uint64_t m_nFirst = 0;
    std::uint32_t m_nEntry = 0;  // entry + 1; 0: empty
    std::uint32_t m_nMeta = 0;   // hash tag (16 bits), length (8), mark (8)
  };
  static std::uint32_t Meta(std::uint64_t hash, std::size_t length, std::uint8_t mark) {
    return static_cast<std::uint32_t>(hash >> 48) << 16 | static_cast<std::uint32_t>(length) << 8 | mark;
  }
  void Grow();

  std::vector<Slot> m_slots;
  std::vector<Entry> m_arrEntries;
  std::vector<std::int64_t> m_arrCounts;  // apart, so that counting stays in cache
  std::vector<std::uint64_t> m_arrHashes;
  std::vector<std::uint8_t> m_arrMarks;
  std::vector<std::uint64_t> m_arrChunks;
  std::string m_strArena;  // the spellings
};

}  // namespace tessary

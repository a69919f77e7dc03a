#pragma once
// The byte rule of a word, shared by the unique-word list and its parallel ranges: A..Z
// and every byte from 'a' (0x61) up are word bytes; a hyphen followed by a letter of
// the code page and an apostrophe followed by a letter (or a byte from 'a' up) stay
// inside a word; any other byte is dropped without ending it ("can,not" is one word).
// A word ends before white space (space, tab, CR, LF) or the text's end, and after a
// hyphen that no letter (nor byte from 'z' up) follows. Every end counts in the total,
// also of a "word" that kept no byte (a lone comma).
//
// After a white byte no word is open, so a text cut just after white space splits into
// the same words piece by piece as whole.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "stats/text_classes.h"

namespace tessary {

inline constexpr std::size_t kMaxWordBytes = 255;  // longer words count but are not kept

inline bool IsWordWhite(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
inline bool IsAlwaysWordByte(unsigned char c) { return (c >= 'A' && c <= 'Z') || c >= 'a'; }

// The classes of the 256 bytes in one code page.
struct CByteWordClasses {
  enum : unsigned char {
    kWhite = 1,     // ends a word
    kWordByte = 2,  // always part of a word
    kLetter = 4,    // a letter of the code page: what may follow a kept hyphen
    kHigh = 8,      // at or above 'a'
  };
  unsigned char m_arr[256];
  explicit CByteWordClasses(const CTextClasses& classes);
};

// The first offset from i on whose byte is not always part of a word, or n. The scalar
// form is the rule; the others test 16 or 32 bytes at once and must agree with it.
std::size_t WordRunEndScalar(const unsigned char* p, std::size_t i, std::size_t n);
std::size_t WordRunEndSse2(const unsigned char* p, std::size_t i, std::size_t n);
std::size_t WordRunEndAvx2(const unsigned char* p, std::size_t i, std::size_t n);
bool HasAvx2();
// The fastest of them on this processor, past the first 16 bytes.
std::size_t WordRunEndLong(const unsigned char* p, std::size_t i, std::size_t n);

// Most runs are short words: 16 bytes tested in place settle them.
inline std::size_t WordRunEnd(const unsigned char* p, std::size_t i, std::size_t n) {
#if defined(__SSE2__)
  if (i + 16 <= n) {
    const __m128i flip = _mm_set1_epi8(static_cast<char>(0x80));
    const __m128i v = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)), flip);
    const __m128i word =
        _mm_or_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8(static_cast<char>(0x60 ^ 0x80))),
                     _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8(static_cast<char>(0x40 ^ 0x80))),
                                   _mm_cmplt_epi8(v, _mm_set1_epi8(static_cast<char>(0x5B ^ 0x80)))));
    const unsigned other = ~static_cast<unsigned>(_mm_movemask_epi8(word)) & 0xFFFF;
    if (other != 0) return i + static_cast<unsigned>(__builtin_ctz(other));
    return WordRunEndLong(p, i + 16, n);
  }
#endif
  return WordRunEndScalar(p, i, n);
}

// The first place at or after `at` where a piece of p[0, n) may begin: just after a
// white byte (or n).
std::size_t WordCutAfter(const unsigned char* p, std::size_t at, std::size_t n);

struct CByteWordRun {
  std::int64_t m_nTotal = 0;  // word ends met
  bool m_bStopped = false;    // step asked to stop; the words so far were handed out
};

// The rule itself, byte by byte, over p[from, to) of a text of n bytes (from is 0 or
// just after white space): word(bytes, length, readLimit, start, end) gets each word of
// 1 to 255 bytes as spelled, and where it stands in p: from its first byte kept to just
// past its last. Returns the word ends met.
template <class Word>
std::int64_t SplitByteWordsScalar(const CByteWordClasses& classes, const unsigned char* p, std::size_t from,
                                  std::size_t to, std::size_t n, Word&& word) {
  const unsigned char* cls = classes.m_arr;
  std::int64_t total = 0;
  // The word so far: while it is one stretch of the text it is read in place; once a
  // dropped character splits it, it is gathered in buffer (its first 255 bytes).
  std::size_t start = 0, end = 0, length = 0;
  bool inPlace = true;
  unsigned char buffer[kMaxWordBytes];
  auto append = [&](std::size_t a, std::size_t b) {
    if (length == 0) {
      start = a;
      inPlace = true;
    } else if (inPlace && a != start + length) {
      std::memcpy(buffer, p + start, std::min(length, kMaxWordBytes));
      inPlace = false;
    }
    if (!inPlace && length < kMaxWordBytes) std::memcpy(buffer + length, p + a, std::min(b - a, kMaxWordBytes - length));
    length += b - a;
    end = b;
  };
  auto endWord = [&] {
    ++total;
    if (length > 0 && length <= kMaxWordBytes) {
      if (inPlace) word(p + start, length, p + n, start, end);
      else word(static_cast<const unsigned char*>(buffer), length, static_cast<const unsigned char*>(buffer), start, end);
    }
    length = 0;
  };
  for (std::size_t i = from; i < to;) {
    const unsigned char c = p[i];
    const unsigned char t = cls[c];
    if (t & CByteWordClasses::kWordByte) {
      // A run of word bytes: nothing inside it can end the word. It stops before the
      // white space that ends the token, or at the text's end, whatever `to` is.
      const std::size_t end = WordRunEnd(p, i, n);
      append(i, end);
      i = end;
      if (i == n || (cls[p[i]] & CByteWordClasses::kWhite)) endWord();
      continue;
    }
    if (t & CByteWordClasses::kWhite) {
      ++i;
      continue;
    }
    const unsigned char d = i + 1 < n ? p[i + 1] : ' ';  // the end of the text ends a word
    const unsigned char u = cls[d];
    if (length > 0 && ((c == '-' && (u & CByteWordClasses::kLetter)) ||
                       (c == '\'' && (u & (CByteWordClasses::kLetter | CByteWordClasses::kHigh)))))
      append(i, i + 1);
    if ((u & CByteWordClasses::kWhite) || (c == '-' && !(u & CByteWordClasses::kLetter) && d < 'z')) endWord();
    ++i;
  }
  return total;
}

// 64 bytes at a time: bit k of m_nWhite is set when byte k is white, of m_nOther when
// it is neither white nor always part of a word, of m_nHyphen when it is a hyphen.
struct CByteBlockMasks {
  std::uint64_t m_nWhite = 0, m_nOther = 0, m_nHyphen = 0;
};
CByteBlockMasks ByteBlockMasksScalar(const unsigned char* block);
CByteBlockMasks ByteBlockMasksSse2(const unsigned char* block);
CByteBlockMasks ByteBlockMasksAvx2(const unsigned char* block);
// The fastest of them on this processor.
CByteBlockMasks ByteBlockMasks(const unsigned char* block);

// The words of the token at bits [s, e) of a block (e < 64), when the masks settle them:
// other bytes around at most one run of word bytes, and no hyphen but maybe the last
// byte. Nothing of such a token is kept but the run, and it ends one word (empty when
// there is no run). Gives the run as [runStart, runEnd) (empty when runEnd <= runStart),
// or false for the byte rule.
inline bool PlainToken(const CByteBlockMasks& masks, unsigned s, unsigned e, unsigned& runStart, unsigned& runEnd) {
  // Without a branch but the answer: most tokens are plain, with or without other bytes.
  const std::uint64_t token = ((std::uint64_t{1} << e) - 1) & (~std::uint64_t{0} << s);
  const std::uint64_t word = token & ~masks.m_nOther;
  // No run gives runEnd <= runStart: word has no bit past e - 1 < 63.
  runStart = static_cast<unsigned>(__builtin_ctzll(word | std::uint64_t{1} << 63));
  runEnd = 64 - static_cast<unsigned>(__builtin_clzll(word | 1));
  const std::uint64_t run = word >> runStart;
  const std::uint64_t hyphens = masks.m_nHyphen & token & ~(std::uint64_t{1} << (e - 1));
  return ((run & (run + 1)) | hyphens) == 0;  // one run of word bytes, and no hyphen inside
}

// Splits p[from, to) of a text of n bytes (from is 0 or just after white space; to is n
// or just after white space) by the rule above. Between white spaces stands a token;
// tokens the block masks settle go at once, any other byte by byte.
// word(bytes, length, readLimit, start, end) gets each word of 1 to 255 bytes as
// spelled (bytes up to readLimit may be read past its end) and where it stands, as
// above. step(i) is called every `stepBytes` bytes with the offset reached; false
// stops the split.
template <class Word, class Step>
CByteWordRun SplitByteWords(const CByteWordClasses& classes, const unsigned char* p, std::size_t from, std::size_t to,
                            std::size_t n, std::size_t stepBytes, Word&& word, Step&& step) {
  CByteWordRun run;
  unsigned char last[64];  // the last block, white past its end
  std::size_t nextStep = std::min(to, from + stepBytes);
  for (std::size_t b = from; b < to;) {
    if (b >= nextStep) {
      if (!step(b)) {
        run.m_bStopped = true;
        return run;
      }
      nextStep = std::min(to, b + stepBytes);
    }
    const unsigned char* block = p + b;
    if (to - b < 64) {
      std::memset(last, ' ', sizeof last);
      std::memcpy(last, p + b, to - b);
      block = last;
    }
    const CByteBlockMasks masks = ByteBlockMasks(block);
    std::size_t next = b + 64;
    for (unsigned pos = 0; pos < 64;) {
      const std::uint64_t starts = ~masks.m_nWhite & (~std::uint64_t{0} << pos);
      if (starts == 0) break;
      const auto s = static_cast<unsigned>(__builtin_ctzll(starts));
      const std::uint64_t ends = masks.m_nWhite & (~std::uint64_t{0} << s);
      if (ends == 0) {
        if (s > 0) {
          next = b + s;  // the next block begins with this token
        } else {
          // A token longer than a block: the rule byte by byte up to its white space.
          std::size_t e = b + 64;
          while (e < to && !IsWordWhite(p[e])) ++e;
          run.m_nTotal += SplitByteWordsScalar(classes, p, b, e, n, word);
          next = e;
        }
        break;
      }
      const auto e = static_cast<unsigned>(__builtin_ctzll(ends));
      unsigned runStart = 0, runEnd = 0;
      if (PlainToken(masks, s, e, runStart, runEnd)) {
        ++run.m_nTotal;
        if (runEnd > runStart) word(p + b + runStart, runEnd - runStart, p + n, b + runStart, b + runEnd);
      } else {
        run.m_nTotal += SplitByteWordsScalar(classes, p, b + s, b + e, n, word);
      }
      pos = e + 1;
    }
    b = next;
  }
  return run;
}

}  // namespace tessary

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

// Splits p[from, to) of a text of n bytes (from is 0 or just after white space; to is n
// or just after white space). word(bytes, length, readLimit) gets each word of 1 to 255
// bytes as spelled; bytes up to readLimit may be read past its end. step(i) is called
// every `stepBytes` bytes with the offset reached; false stops the split.
template <class Word, class Step>
CByteWordRun SplitByteWords(const CByteWordClasses& classes, const unsigned char* p, std::size_t from, std::size_t to,
                            std::size_t n, std::size_t stepBytes, Word&& word, Step&& step) {
  const unsigned char* cls = classes.m_arr;
  CByteWordRun run;
  // The word so far: while it is one stretch of the text it is read in place; once a
  // dropped character splits it, it is gathered in buffer (its first 255 bytes).
  std::size_t start = 0, length = 0;
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
  };
  auto endWord = [&] {
    ++run.m_nTotal;
    if (length > 0 && length <= kMaxWordBytes) {
      if (inPlace) word(p + start, length, p + n);
      else word(static_cast<const unsigned char*>(buffer), length, static_cast<const unsigned char*>(buffer));
    }
    length = 0;
  };
  std::size_t nextStep = std::min(to, from + stepBytes);
  for (std::size_t i = from; i < to;) {
    if (i >= nextStep) {
      if (!step(i)) {
        run.m_bStopped = true;
        return run;
      }
      nextStep = std::min(to, i + stepBytes);
    }
    const unsigned char c = p[i];
    const unsigned char t = cls[c];
    if (t & CByteWordClasses::kWordByte) {
      // A run of word bytes: nothing inside it can end the word.
      const std::size_t end = WordRunEnd(p, i, to);
      append(i, end);
      i = end;
      if (i == n || (cls[p[i]] & CByteWordClasses::kWhite)) {
        endWord();
        ++i;  // the white byte that ended it needs no look of its own
      }
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
  return run;
}

}  // namespace tessary

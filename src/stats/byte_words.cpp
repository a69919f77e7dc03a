#include "stats/byte_words.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define TESSARY_X86 1
#endif

namespace tessary {

CByteWordClasses::CByteWordClasses(const CTextClasses& classes) {
  for (int b = 0; b < 256; ++b) {
    const auto u = static_cast<unsigned char>(b);
    m_arr[b] = 0;
    if (IsWordWhite(u)) m_arr[b] |= kWhite;
    if (IsAlwaysWordByte(u)) m_arr[b] |= kWordByte;
    if (classes.IsAlpha(u)) m_arr[b] |= kLetter;
    if (u >= 'a') m_arr[b] |= kHigh;
  }
}

std::size_t WordRunEndScalar(const unsigned char* p, std::size_t i, std::size_t n) {
  for (; i < n; ++i)
    if (!IsAlwaysWordByte(p[i])) return i;
  return n;
}

CByteBlockMasks ByteBlockMasksScalar(const unsigned char* block) {
  CByteBlockMasks masks;
  for (unsigned k = 0; k < 64; ++k) {
    const std::uint64_t bit = std::uint64_t{1} << k;
    if (IsWordWhite(block[k])) masks.m_nWhite |= bit;
    else if (!IsAlwaysWordByte(block[k])) masks.m_nOther |= bit;
    if (block[k] == '-') masks.m_nHyphen |= bit;
  }
  return masks;
}

#if defined(TESSARY_X86)

// Unsigned order through signed compares: the top bit is flipped first. A byte is a
// word byte when above 0x60, or above 0x40 and below 0x5B.
std::size_t WordRunEndSse2(const unsigned char* p, std::size_t i, std::size_t n) {
  const __m128i flip = _mm_set1_epi8(static_cast<char>(0x80));
  const __m128i belowLower = _mm_set1_epi8(static_cast<char>(0x60 ^ 0x80));
  const __m128i belowUpper = _mm_set1_epi8(static_cast<char>(0x40 ^ 0x80));
  const __m128i aboveUpper = _mm_set1_epi8(static_cast<char>(0x5B ^ 0x80));
  for (; i + 16 <= n; i += 16) {
    const __m128i v = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)), flip);
    const __m128i word = _mm_or_si128(_mm_cmpgt_epi8(v, belowLower),
                                      _mm_and_si128(_mm_cmpgt_epi8(v, belowUpper), _mm_cmplt_epi8(v, aboveUpper)));
    const unsigned other = ~static_cast<unsigned>(_mm_movemask_epi8(word)) & 0xFFFF;
    if (other != 0) return i + static_cast<unsigned>(__builtin_ctz(other));
  }
  return WordRunEndScalar(p, i, n);
}

__attribute__((target("avx2"))) std::size_t WordRunEndAvx2(const unsigned char* p, std::size_t i, std::size_t n) {
  const __m256i flip = _mm256_set1_epi8(static_cast<char>(0x80));
  const __m256i belowLower = _mm256_set1_epi8(static_cast<char>(0x60 ^ 0x80));
  const __m256i belowUpper = _mm256_set1_epi8(static_cast<char>(0x40 ^ 0x80));
  const __m256i upperEnd = _mm256_set1_epi8(static_cast<char>(0x5B ^ 0x80));
  for (; i + 32 <= n; i += 32) {
    const __m256i v = _mm256_xor_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i)), flip);
    const __m256i word = _mm256_or_si256(
        _mm256_cmpgt_epi8(v, belowLower),
        _mm256_and_si256(_mm256_cmpgt_epi8(v, belowUpper), _mm256_cmpgt_epi8(upperEnd, v)));
    const auto other = ~static_cast<unsigned>(_mm256_movemask_epi8(word));
    if (other != 0) return i + static_cast<unsigned>(__builtin_ctz(other));
  }
  return WordRunEndSse2(p, i, n);
}

CByteBlockMasks ByteBlockMasksSse2(const unsigned char* block) {
  const __m128i flip = _mm_set1_epi8(static_cast<char>(0x80));
  const __m128i belowLower = _mm_set1_epi8(static_cast<char>(0x60 ^ 0x80));
  const __m128i belowUpper = _mm_set1_epi8(static_cast<char>(0x40 ^ 0x80));
  const __m128i upperEnd = _mm_set1_epi8(static_cast<char>(0x5B ^ 0x80));
  CByteBlockMasks masks;
  for (unsigned k = 0; k < 64; k += 16) {
    const __m128i raw = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + k));
    const __m128i white = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(raw, _mm_set1_epi8(' ')), _mm_cmpeq_epi8(raw, _mm_set1_epi8('\t'))),
                                       _mm_or_si128(_mm_cmpeq_epi8(raw, _mm_set1_epi8('\r')), _mm_cmpeq_epi8(raw, _mm_set1_epi8('\n'))));
    const __m128i v = _mm_xor_si128(raw, flip);
    const __m128i word = _mm_or_si128(_mm_cmpgt_epi8(v, belowLower),
                                      _mm_and_si128(_mm_cmpgt_epi8(v, belowUpper), _mm_cmplt_epi8(v, upperEnd)));
    const auto whiteBits = static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(white)));
    const auto wordBits = static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(word)));
    masks.m_nWhite |= whiteBits << k;
    masks.m_nOther |= (~(whiteBits | wordBits) & 0xFFFF) << k;
    masks.m_nHyphen |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(raw, _mm_set1_epi8('-'))))) << k;
  }
  return masks;
}

__attribute__((target("avx2"))) CByteBlockMasks ByteBlockMasksAvx2(const unsigned char* block) {
  const __m256i flip = _mm256_set1_epi8(static_cast<char>(0x80));
  const __m256i belowLower = _mm256_set1_epi8(static_cast<char>(0x60 ^ 0x80));
  const __m256i belowUpper = _mm256_set1_epi8(static_cast<char>(0x40 ^ 0x80));
  const __m256i upperEnd = _mm256_set1_epi8(static_cast<char>(0x5B ^ 0x80));
  CByteBlockMasks masks;
  for (unsigned k = 0; k < 64; k += 32) {
    const __m256i raw = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block + k));
    const __m256i white =
        _mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi8(raw, _mm256_set1_epi8(' ')), _mm256_cmpeq_epi8(raw, _mm256_set1_epi8('\t'))),
                        _mm256_or_si256(_mm256_cmpeq_epi8(raw, _mm256_set1_epi8('\r')), _mm256_cmpeq_epi8(raw, _mm256_set1_epi8('\n'))));
    const __m256i v = _mm256_xor_si256(raw, flip);
    const __m256i word = _mm256_or_si256(
        _mm256_cmpgt_epi8(v, belowLower),
        _mm256_and_si256(_mm256_cmpgt_epi8(v, belowUpper), _mm256_cmpgt_epi8(upperEnd, v)));
    const auto whiteBits = static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(white)));
    const auto wordBits = static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(word)));
    masks.m_nWhite |= whiteBits << k;
    masks.m_nOther |= (~(whiteBits | wordBits) & 0xFFFFFFFFull) << k;
    masks.m_nHyphen |= static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(raw, _mm256_set1_epi8('-'))))) << k;
  }
  return masks;
}

CByteBlockMasks ByteBlockMasks(const unsigned char* block) {
  return HasAvx2() ? ByteBlockMasksAvx2(block) : ByteBlockMasksSse2(block);
}

bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

std::size_t WordRunEndLong(const unsigned char* p, std::size_t i, std::size_t n) {
  return HasAvx2() ? WordRunEndAvx2(p, i, n) : WordRunEndSse2(p, i, n);
}

#else

std::size_t WordRunEndSse2(const unsigned char* p, std::size_t i, std::size_t n) { return WordRunEndScalar(p, i, n); }
std::size_t WordRunEndAvx2(const unsigned char* p, std::size_t i, std::size_t n) { return WordRunEndScalar(p, i, n); }
CByteBlockMasks ByteBlockMasksSse2(const unsigned char* block) { return ByteBlockMasksScalar(block); }
CByteBlockMasks ByteBlockMasksAvx2(const unsigned char* block) { return ByteBlockMasksScalar(block); }
CByteBlockMasks ByteBlockMasks(const unsigned char* block) { return ByteBlockMasksScalar(block); }
bool HasAvx2() { return false; }
std::size_t WordRunEndLong(const unsigned char* p, std::size_t i, std::size_t n) { return WordRunEndScalar(p, i, n); }

#endif

std::size_t WordCutAfter(const unsigned char* p, std::size_t at, std::size_t n) {
  if (at == 0) return 0;
  for (std::size_t i = at - 1; i < n; ++i)
    if (IsWordWhite(p[i])) return i + 1;
  return n;
}

}  // namespace tessary

#include "engine/match.h"

#include "engine/byte_frequency.h"

#include <immintrin.h>
#include <unicode/uchar.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace tessary {

namespace {

template <class CharT>
CPreparedSearch<CharT> StarRule(std::basic_string_view<CharT> key, int nMode) {
  CPreparedSearch<CharT> out{std::basic_string<CharT>(key), nMode};
  const bool leading = !key.empty() && key.front() == CharT('*');
  const bool trailing = key.size() > 1 && key.back() == CharT('*');
  if (!leading && !trailing) return out;
  std::size_t begin = leading ? 1 : 0;
  std::size_t end = key.size() - (trailing ? 1 : 0);
  out.m_strKey = std::basic_string<CharT>(key.substr(begin, end - begin));
  out.m_nMode = leading && trailing ? kMatchAny : leading ? kMatchSuffix : kMatchPrefix;
  return out;
}

// Returns the 32-bit mask of the lanes of v equal to any of the set's bytes.
__attribute__((target("avx2"))) inline unsigned SetMask(__m256i v, const __m256i* set, int count) {
  __m256i m = _mm256_cmpeq_epi8(v, set[0]);
  for (int k = 1; k < count; ++k) m = _mm256_or_si256(m, _mm256_cmpeq_epi8(v, set[k]));
  return static_cast<unsigned>(_mm256_movemask_epi8(m));
}

// Candidates are offsets where both anchors hold; each is handed to visit, which
// confirms it with the full test and returns true to stop there.
template <class Visit>
__attribute__((target("avx2"))) std::size_t FindAvx2(const unsigned char* s, std::size_t size,
                                                      std::size_t from, std::size_t limit,
                                                      const CAnchorPlan& plan, Visit visit,
                                                      std::size_t* resume) {
  __m256i set[2][4];
  for (int a = 0; a < 2; ++a)
    for (int k = 0; k < plan.m_count[a]; ++k) set[a][k] = _mm256_set1_epi8(static_cast<char>(plan.m_bytes[a][k]));
  const std::size_t reach = std::max(plan.m_anchor[0], plan.m_anchor[1]) + 32;
  std::size_t j = from;
  for (; j + 32 <= limit && j + reach <= size; j += 32) {
    __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + j + plan.m_anchor[0]));
    __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + j + plan.m_anchor[1]));
    unsigned mask = SetMask(a, set[0], plan.m_count[0]) & SetMask(b, set[1], plan.m_count[1]);
    while (mask) {
      std::size_t i = j + static_cast<std::size_t>(__builtin_ctz(mask));
      if (visit(i, false)) return i;
      mask &= mask - 1;
    }
  }
  *resume = j;
  return std::string_view::npos;
}

// The lanes whose byte is a letter for the boundary tests (signed, 0x41 and up).
__attribute__((target("avx2"))) inline unsigned LetterMask(const unsigned char* p) {
  const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  return static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpgt_epi8(v, _mm256_set1_epi8(0x40))));
}

// Keeps the offsets of mask (32 from p) whose key of length n has the boundaries asked
// for; p[-1] must be readable unless the boundary is a suffix's.
__attribute__((target("avx2"))) inline unsigned BoundaryMask(const unsigned char* p, std::size_t n,
                                                              CAnchorPlan::Boundary boundary, unsigned mask) {
  if (boundary == CAnchorPlan::kNone || mask == 0) return mask;
  const unsigned after = LetterMask(p + n);
  if (boundary == CAnchorPlan::kSuffix) return mask & ~after;
  mask &= ~LetterMask(p - 1);
  return boundary == CAnchorPlan::kPrefix ? mask & after : mask & ~after;
}

__attribute__((target("avx2"))) inline unsigned FoldedMask(const unsigned char* p, __m256i fold, __m256i want) {
  const __m256i v = _mm256_or_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)), fold);
  return static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v, want)));
}

// The common case: each anchor's bytes are one value, or a value and its case twin
// that differs only in bit 0x20, so OR-ing that bit in and one compare test it. A block
// of 64 offsets is tested on the rarest anchor alone first when that byte is rare: the
// search then runs at the speed of reading.
template <bool kRareFirst, class Visit>
__attribute__((target("avx2"))) std::size_t FindAvx2Folded(const unsigned char* s, std::size_t size,
                                                            std::size_t from, std::size_t limit,
                                                            const CAnchorPlan& plan, Visit visit,
                                                            std::size_t* resume) {
  constexpr int n = CAnchorPlan::kAnchors;
  __m256i fold[n], want[n];
  const unsigned char* p[n];
  std::size_t reach = 0;
  for (int a = 0; a < n; ++a) {
    fold[a] = _mm256_set1_epi8(static_cast<char>(plan.m_fold[a]));
    want[a] = _mm256_set1_epi8(static_cast<char>(plan.m_bytes[a][0] | plan.m_fold[a]));
    p[a] = s + plan.m_anchor[a];
    reach = std::max(reach, plan.m_anchor[a] + 64);
  }
  auto confirm = [&](std::size_t j, unsigned mask) -> std::size_t {
    for (; mask; mask &= mask - 1) {
      const std::size_t i = j + static_cast<std::size_t>(__builtin_ctz(mask));
      if (visit(i, plan.m_bProven)) return i;
    }
    return std::string_view::npos;
  };
  reach = std::max(reach, plan.m_nKeyLength + 64);
  std::size_t j = from;
  for (; j + 64 <= limit && j + reach <= size; j += 64) {
    // Vectors never pass through a lambda: outside this function they would travel
    // by another calling convention.
    unsigned lo = FoldedMask(p[0] + j, fold[0], want[0]);
    unsigned hi = FoldedMask(p[0] + j + 32, fold[0], want[0]);
    // A branch taken at random would cost more than the tests it saves.
    if (kRareFirst && (lo | hi) == 0) continue;
    for (int a = 1; a < n; ++a) {
      lo &= FoldedMask(p[a] + j, fold[a], want[a]);
      hi &= FoldedMask(p[a] + j + 32, fold[a], want[a]);
    }
    if ((lo | hi) == 0) continue;
    lo = BoundaryMask(s + j, plan.m_nKeyLength, plan.m_boundary, lo);
    hi = BoundaryMask(s + j + 32, plan.m_nKeyLength, plan.m_boundary, hi);
    if (std::size_t i = confirm(j, lo); i != std::string_view::npos) return i;
    if (std::size_t i = confirm(j + 32, hi); i != std::string_view::npos) return i;
  }
  *resume = j;
  return std::string_view::npos;
}

bool HaveAvx2() {
  static const bool have = __builtin_cpu_supports("avx2");
  return have;
}

}  // namespace

CPreparedSearch<char> ApplyStarRule(std::string_view key, int nMode) { return StarRule(key, nMode); }
CPreparedSearch<char16_t> ApplyStarRule(std::u16string_view key, int nMode) {
  return StarRule(key, nMode);
}

CByteMatcher::CByteMatcher(std::string_view key, int nMode, bool bDoubleByte, const CCodePage& cp)
    : m_key(key), m_wild(key.size(), 0), m_upper(cp.UpperTable()), m_nMode(nMode),
      m_bDoubleByte(bDoubleByte) {
  if (m_bDoubleByte) {
    for (int b = 0; b < 256; ++b) m_upper[b] = static_cast<unsigned char>(b);
  } else {
    for (std::size_t k = 0; k < m_key.size(); ++k) {
      m_wild[k] = m_key[k] == '%';
      m_key[k] = static_cast<char>(m_upper[static_cast<unsigned char>(m_key[k])]);
    }
  }
  PlanAnchors(cp);
}

// Anchors on the rarest fixed positions of the key, a position counting every byte
// that upper-cases to the key's byte there.
void CByteMatcher::PlanAnchors(const CCodePage& cp) {
  const std::array<std::uint32_t, 256> freq = TypicalByteFrequency(cp);
  std::array<std::uint64_t, 256> folded{};
  for (int b = 0; b < 256; ++b) folded[m_upper[b]] += freq[b];
  std::vector<std::size_t> fixed;
  for (std::size_t k = 0; k < m_key.size(); ++k)
    if (!m_wild[k]) fixed.push_back(k);
  if (fixed.empty()) return;
  std::stable_sort(fixed.begin(), fixed.end(), [&](std::size_t a, std::size_t b) {
    return folded[static_cast<unsigned char>(m_key[a])] < folded[static_cast<unsigned char>(m_key[b])];
  });
  // Under one in four blocks of 64 bytes holds a byte this rare.
  m_plan.m_bRare = folded[static_cast<unsigned char>(m_key[fixed[0]])] * 64 * 4 < 100000;
  constexpr int n = CAnchorPlan::kAnchors;
  bool fits = true;
  for (int a = 0; a < n; ++a) {
    m_plan.m_anchor[a] = fixed[std::min<std::size_t>(static_cast<std::size_t>(a), fixed.size() - 1)];
    const unsigned char want = static_cast<unsigned char>(m_key[m_plan.m_anchor[a]]);
    int& count = m_plan.m_count[a];
    for (int b = 0; b < 256 && fits; ++b) {
      if (m_upper[b] != want) continue;
      if (count == 4) fits = false;
      else m_plan.m_bytes[a][count++] = static_cast<unsigned char>(b);
    }
    fits = fits && count > 0;
  }
  // One byte, or two that differ only in 0x20 (a and A, e-acute and E-acute).
  m_plan.m_bFolded = true;
  for (int a = 0; a < n && fits; ++a) {
    const unsigned char* b = m_plan.m_bytes[a];
    if (m_plan.m_count[a] == 2 && (b[0] ^ b[1]) == 0x20) m_plan.m_fold[a] = 0x20;
    else if (m_plan.m_count[a] != 1) m_plan.m_bFolded = false;
  }
  m_plan.m_nKeyLength = m_key.size();
  if (!m_bDoubleByte)
    m_plan.m_boundary = m_nMode == kMatchWord     ? CAnchorPlan::kWord
                        : m_nMode == kMatchPrefix ? CAnchorPlan::kPrefix
                        : m_nMode == kMatchSuffix ? CAnchorPlan::kSuffix
                                                  : CAnchorPlan::kNone;
  m_plan.m_bProven = m_plan.m_bFolded && fixed.size() <= static_cast<std::size_t>(n);
  m_bVector = fits && HaveAvx2();
}

bool CByteMatcher::HasWildcard() const {
  return std::find(m_wild.begin(), m_wild.end(), 1) != m_wild.end();
}

bool CByteMatcher::MatchesNoControl() const {
  if (HasWildcard()) return false;
  for (unsigned char c : m_key)
    for (int b = 0; b < 0x20; ++b)
      if (m_upper[b] == c) return false;
  return true;
}

bool CByteMatcher::Boundaries(std::string_view text, std::size_t i) const {
  const std::size_t n = m_key.size();
  if (m_nMode == kMatchAny) return true;
  const bool afterLetter = i + n < text.size() && IsBoundaryLetter(static_cast<unsigned char>(text[i + n]));
  if (m_nMode == kMatchSuffix) return !afterLetter;
  const bool beforeLetter = i > 0 && IsBoundaryLetter(static_cast<unsigned char>(text[i - 1]));
  if (beforeLetter) return false;
  return m_nMode == kMatchPrefix ? afterLetter : !afterLetter;
}

bool CByteMatcher::MatchAt(std::string_view text, std::size_t i) const {
  const std::size_t n = m_key.size();
  if (n == 0 || i >= text.size() || n > text.size() - i) return false;
  const unsigned char* s = reinterpret_cast<const unsigned char*>(text.data()) + i;
  if (m_bDoubleByte) return std::memcmp(s, m_key.data(), n) == 0;
  for (std::size_t k = 0; k < n; ++k)
    if (!m_wild[k] && m_upper[s[k]] != static_cast<unsigned char>(m_key[k])) return false;
  return Boundaries(text, i);
}

template <class Visit>
std::size_t CByteMatcher::Walk(std::string_view text, std::size_t from, std::size_t limit, Visit visit) const {
  const std::size_t n = m_key.size();
  limit = std::min(limit, text.size());
  if (n == 0 || n > text.size() || from >= limit) return std::string_view::npos;
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  if (m_bVector) {
    // The vector search reads the byte before each offset: offset 0 is tested alone.
    if (from == 0 && m_plan.m_bFolded && m_plan.m_boundary != CAnchorPlan::kNone) {
      if (visit(0, false)) return 0;
      from = 1;
    }
    std::size_t resume = from;
    const std::size_t hit =
        !m_plan.m_bFolded  ? FindAvx2(s, text.size(), from, limit, m_plan, visit, &resume)
        : m_plan.m_bRare   ? FindAvx2Folded<true>(s, text.size(), from, limit, m_plan, visit, &resume)
                           : FindAvx2Folded<false>(s, text.size(), from, limit, m_plan, visit, &resume);
    if (hit != std::string_view::npos) return hit;
    from = resume;
  }
  // The rest, or every offset where there is no vector unit: the first anchor filters.
  limit = std::min(limit, text.size() - n + 1);
  const std::size_t a = m_plan.m_anchor[0];
  const unsigned char want = static_cast<unsigned char>(m_key[a]);
  const bool anchored = !m_wild[a];
  for (std::size_t i = from; i < limit; ++i) {
    if (anchored && m_upper[s[i + a]] != want) continue;
    if (visit(i, false)) return i;
  }
  return std::string_view::npos;
}

std::size_t CByteMatcher::FindNext(std::string_view text, std::size_t from, std::size_t limit) const {
  return Walk(text, from, limit, [&](std::size_t i, bool proven) { return proven || MatchAt(text, i); });
}

bool CByteMatcher::ForEachMatchImpl(std::string_view text, std::size_t from, std::size_t limit,
                                    bool (*found)(void*, std::size_t), void* context) const {
  return Walk(text, from, limit,
              [&](std::size_t i, bool proven) { return (proven || MatchAt(text, i)) && !found(context, i); }) ==
         std::string_view::npos;
}

char16_t WideUpper(char16_t u) {
  static const std::unique_ptr<char16_t[]> table = [] {
    std::unique_ptr<char16_t[]> t(new char16_t[0x10000]);
    for (UChar32 c = 0; c < 0x10000; ++c) {
      UChar32 up = (c >= 0xD800 && c <= 0xDFFF) ? c : u_toupper(c);
      t[c] = static_cast<char16_t>(up <= 0xFFFF ? up : c);
    }
    return t;
  }();
  return table[u];
}

CWideMatcher::CWideMatcher(std::u16string_view key, int nMode, bool bDoubleByte)
    : m_key(key), m_nMode(nMode), m_bDoubleByte(bDoubleByte) {
  if (!m_bDoubleByte)
    for (char16_t& u : m_key) u = WideUpper(u);
}

bool CWideMatcher::MatchAt(std::u16string_view text, std::size_t i) const {
  const std::size_t n = m_key.size();
  if (n == 0 || i >= text.size() || n > text.size() - i) return false;
  if (m_bDoubleByte) return text.compare(i, n, m_key) == 0;
  for (std::size_t k = 0; k < n; ++k)
    if (WideUpper(text[i + k]) != m_key[k]) return false;
  if (m_nMode == kMatchAny) return true;
  const bool afterLetter = i + n < text.size() && IsBoundaryLetter(text[i + n]);
  if (m_nMode == kMatchSuffix) return !afterLetter;
  if (i > 0 && IsBoundaryLetter(text[i - 1])) return false;
  return m_nMode == kMatchPrefix ? afterLetter : !afterLetter;
}

bool CWideMatcher::ForEachMatchImpl(std::u16string_view text, std::size_t from, std::size_t limit,
                                    bool (*found)(void*, std::size_t), void* context) const {
  for (std::size_t i = FindNext(text, from, limit); i != std::u16string_view::npos; i = FindNext(text, i + 1, limit))
    if (!found(context, i)) return false;
  return true;
}

std::size_t CWideMatcher::FindNext(std::u16string_view text, std::size_t from,
                                   std::size_t limit) const {
  const std::size_t n = m_key.size();
  if (n == 0 || n > text.size()) return std::u16string_view::npos;
  limit = std::min(limit, text.size() - n + 1);
  const char16_t first = m_key[0];
  for (std::size_t i = from; i < limit; ++i) {
    const char16_t u = m_bDoubleByte ? text[i] : WideUpper(text[i]);
    if (u == first && MatchAt(text, i)) return i;
  }
  return std::u16string_view::npos;
}

}  // namespace tessary

#include "stats/profile.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/text_file.h"
#include "engine/workers.h"
#include "stats/stats_format.h"

namespace tessary {

namespace {

template <class CharT>
inline bool IsWhite(CharT c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Word starts in [from, to): a non-white character after white space or at the start.
std::uint64_t CountWordStarts(std::string_view text, std::size_t from, std::size_t to) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  std::uint64_t count = 0;
  unsigned carry = from == 0 || IsWhite(p[from - 1]) ? 1 : 0;  // 1: the byte before is white
  std::size_t i = from;
#if defined(__SSE2__)
  const __m128i space = _mm_set1_epi8(' '), tab = _mm_set1_epi8('\t');
  const __m128i lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r');
  for (; i + 16 <= to; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const __m128i white = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, space), _mm_cmpeq_epi8(v, tab)),
                                       _mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr)));
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(white));
    const unsigned before = ((mask << 1) | carry) & 0xFFFF;
    count += static_cast<unsigned>(__builtin_popcount(~mask & before & 0xFFFF));
    carry = (mask >> 15) & 1;
  }
#endif
  for (; i < to; ++i) {
    const unsigned white = IsWhite(p[i]) ? 1 : 0;
    count += carry & (white ^ 1);
    carry = white;
  }
  return count;
}

std::uint64_t CountWordStarts(std::u16string_view text, std::size_t from, std::size_t to) {
  std::uint64_t count = 0;
  bool before = from == 0 || IsWhite(text[from - 1]);
  for (std::size_t i = from; i < to; ++i) {
    const bool white = IsWhite(text[i]);
    count += before && !white;
    before = white;
  }
  return count;
}

}  // namespace

std::uint64_t CountWords(std::string_view text) { return CountWordStarts(text, 0, text.size()); }
std::uint64_t CountWords(std::u16string_view text) { return CountWordStarts(text, 0, text.size()); }

double CProfileResult::Percentage() const {
  if (m_nTotal <= 0) return 0.0;
  const double share = static_cast<double>(m_nMatches) * 100.0 / static_cast<double>(m_nTotal);
  return m_kind == ProfileKind::kCharacters ? share * static_cast<double>(m_nKeyUnits) : share;
}

std::string CProfileResult::Caption() const {
  return PrintfFormat("Frequency Profile for < %s > = %lld", m_strDisplay.c_str(), static_cast<long long>(m_nMatches));
}

std::string CProfileResult::Text() const {
  const char* unit = m_kind == ProfileKind::kCharacters ? "characters" : "words";
  return PrintfFormat("%lld out of total %lld %s = %s %%", static_cast<long long>(m_nMatches),
                     static_cast<long long>(m_nTotal), unit, FixedDecimals(Percentage(), 6).c_str());
}

template <class CharT, class Matcher>
void CProfileBase::ScanCounting(std::basic_string_view<CharT> text, const Matcher& matcher, bool bCountWords) {
  // Pieces are counted on the worker threads and added in order; a stop keeps the
  // pieces before the first one not counted whole.
  struct Piece {
    std::int64_t m_nWords = 0, m_nMatches = 0;
    bool m_bDone = false;
  };
  const std::size_t count = (text.size() + m_nPiece - 1) / m_nPiece;
  std::vector<Piece> pieces(count);
  CSharedProgress progress(m_observer.m_fnProgress, text.size());
  RunParallel(
      count,
      [&](std::size_t k) {
        if (progress.Stopped()) return;
        const std::size_t from = k * m_nPiece, to = std::min(text.size(), from + m_nPiece);
        Piece& piece = pieces[k];
        if (bCountWords) piece.m_nWords = static_cast<std::int64_t>(CountWordStarts(text, from, to));
        matcher.ForEachMatch(text, from, to, [&](std::size_t) {
          ++piece.m_nMatches;
          return true;
        });
        piece.m_bDone = true;
        progress.Add(to - from);
      },
      m_nThreads);
  for (const Piece& piece : pieces) {
    if (!piece.m_bDone) break;
    m_nTotal += piece.m_nWords;
    m_nMatches += piece.m_nMatches;
  }
  if (count > 0 && (!pieces.back().m_bDone || progress.Stopped() ||
                    !ReportProgress(m_observer.m_fnProgress, text.size(), text.size())))
    m_bStopped = true;
}

CProfileResult CProfileBase::Result() const {
  CProfileResult result;
  result.m_kind = m_kind;
  result.m_strDisplay = m_strDisplay;
  result.m_nMatches = m_nMatches;
  result.m_nTotal = m_nTotal;
  result.m_nKeyUnits = m_nKeyUnits;
  result.m_bStopped = m_bStopped;
  return result;
}

// ---- Byte profiles ----

CByteProfile::CByteProfile(ProfileKind kind, std::string_view key, const CCodePage& cp, CProfileObserver observer)
    : CProfileBase(kind, std::string(key), key.size(), std::move(observer)),
      m_matcher(key, kind == ProfileKind::kWords ? kMatchWord : kMatchAny, false, cp) {}

Expected<std::unique_ptr<CByteProfile>> CByteProfile::Create(std::string_view key, bool bWholeWords, int nCodePage,
                                                             CProfileObserver observer) {
  using Result = Expected<std::unique_ptr<CByteProfile>>;
  if (key.empty()) return Result::Failure("The profile string is empty.");
  auto cp = CCodePage::Open(nCodePage);
  if (!cp) return Result::Failure(cp.Error());
  const ProfileKind kind = bWholeWords ? ProfileKind::kWords : ProfileKind::kSubstrings;
  return std::unique_ptr<CByteProfile>(new CByteProfile(kind, key, **cp, std::move(observer)));
}

void CByteProfile::AddText(std::string_view text, const std::string& title) {
  if (m_bStopped) return;
  if (m_observer.m_fnSource) m_observer.m_fnSource(title, text.size());
  ScanCounting(text, m_matcher, true);
}

void CByteProfile::AddFile(const std::string& path) {
  if (m_bStopped) return;
  auto file = CTextFile::Open(path);
  if (!file) {
    m_arrSkipped.push_back(file.Error());
    return;
  }
  AddText((*file)->Text(), path);
  if (!(*file)->Problem().empty()) m_arrSkipped.push_back((*file)->Problem());
}

// ---- 16-bit profiles ----

CWideProfile::CWideProfile(ProfileKind kind, std::u16string_view key, std::string display,
                           std::shared_ptr<const CCodePage> ansi, CProfileObserver observer)
    : CProfileBase(kind, std::move(display), key.size(), std::move(observer)),
      m_matcher(key, kind == ProfileKind::kWideWords ? kMatchWord : kMatchAny, false),
      m_pAnsi(std::move(ansi)) {}

Expected<std::unique_ptr<CWideProfile>> CWideProfile::Create(std::u16string_view key, bool bCharacters,
                                                             std::string display, int nAnsiCodePage,
                                                             CProfileObserver observer) {
  using Result = Expected<std::unique_ptr<CWideProfile>>;
  if (key.empty()) return Result::Failure("The profile string is empty.");
  auto cp = CCodePage::Open(nAnsiCodePage);
  if (!cp) return Result::Failure(cp.Error());
  const ProfileKind kind = bCharacters ? ProfileKind::kCharacters : ProfileKind::kWideWords;
  return std::unique_ptr<CWideProfile>(new CWideProfile(kind, key, std::move(display), *cp, std::move(observer)));
}

void CWideProfile::AddText(std::u16string_view text, const std::string& title) {
  if (m_bStopped) return;
  if (m_observer.m_fnSource) m_observer.m_fnSource(title, text.size());
  if (m_kind == ProfileKind::kWideWords) {
    ScanCounting(text, m_matcher, true);
    return;
  }
  // Line breaks and tabs are dropped, not replaced, so a word broken over two lines
  // of a text without spaces is still found.
  std::u16string copy;
  copy.reserve(text.size());
  for (char16_t u : text)
    if (u != '\r' && u != '\n' && u != '\t') copy.push_back(u);
  m_nTotal += static_cast<std::int64_t>(copy.size());
  ScanCounting(std::u16string_view(copy), m_matcher, false);
}


void CWideProfile::AddFile(const std::string& path) {
  if (m_bStopped) return;
  auto file = CTextFile::Open(path);
  if (!file) {
    m_arrSkipped.push_back(file.Error());
    return;
  }
  AddText(DecodeForEditor((*file)->Bytes(), *m_pAnsi), path);
  if (!(*file)->Problem().empty()) m_arrSkipped.push_back((*file)->Problem());
}

}  // namespace tessary

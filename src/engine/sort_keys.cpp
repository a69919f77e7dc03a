#include "engine/sort_keys.h"

#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <string>
#include <type_traits>

#include "engine/match_mode.h"

namespace tessary {

namespace {

constexpr std::size_t kNoKey = std::string_view::npos;

// The menu's combo box text can be edited; anything outside 1..3 is taken as the
// nearest distance the rules know.
int ClampDistance(int nDistance) { return std::clamp(nDistance, 1, 3); }

// A-Z and every code from 'a' upward: the right key's probes accept these as the
// start of a word even where they are not letters (DEL, symbols above 0x7F).
template <class CharT>
bool IsLetterLike(CharT c) {
  using U = std::make_unsigned_t<CharT>;
  const auto u = static_cast<U>(c);
  return (u >= 'A' && u <= 'Z') || u >= 0x61;
}

// Right key: skip the words of the distance, then probe the characters after the
// keyword for where the collocate's search starts. kNoKey when the line ends first.
// letter(i) classifies line[i] for i < size.
template <class CharT, class Letter>
std::size_t RightKeyStart(std::basic_string_view<CharT> line, std::int64_t nKeyColumn,
                          std::int64_t nKeyLength, int nDistance, int nMatchMode,
                          const Letter& letter) {
  const std::size_t n = line.size();
  if (nKeyColumn < 0 || nKeyLength < 0 || nKeyColumn + nKeyLength > static_cast<std::int64_t>(n))
    return kNoKey;
  std::size_t e = static_cast<std::size_t>(nKeyColumn + nKeyLength);
  auto letterAt = [&](std::size_t i) { return i < n && letter(i); };
  auto likeAt = [&](std::size_t i) { return i < n && IsLetterLike(line[i]); };
  auto firstFrom = [&](std::size_t i, const auto& pred) {
    while (i < n && !pred(i)) ++i;
    return i < n ? i : kNoKey;
  };

  const bool bRestOfWord = nMatchMode == kMatchPrefix || nMatchMode == kMatchAny;
  // A match that ends inside a word is keyed by the rest of that word. Probing e + 1
  // alone would lose a one-letter rest ("walk" in "walks to" keyed by "to"), so a
  // letter at e counts as the first word in these modes.
  const bool bInWord = bRestOfWord && letterAt(e);

  nDistance = ClampDistance(nDistance);
  if (nDistance >= 2) {
    std::size_t i = bInWord ? e : e + 1;
    for (int d = 1; d < nDistance; ++d) {
      while (i < n && !letter(i)) ++i;
      while (i < n && line[i] != CharT(' ')) ++i;
      if (i >= n) return kNoKey;  // no word at that distance
    }
    e = i;
  } else if (bInWord) {
    return e;
  }

  if (e + 1 >= n) return kNoKey;
  const CharT probe = line[e + 1];
  if (probe == CharT(' ')) return letterAt(e + 2) ? e + 2 : firstFrom(e + 1, likeAt);
  if (IsLetterLike(probe)) return bRestOfWord ? e : e + 1;
  if (likeAt(e + 2)) return e + 2;
  return firstFrom(e + 1, letterAt);
}

// Left key: the column of the collocate's first letter, at most kMaxSortKey letters
// before its last, or kNoKey. wordLetter skips the words of the
// distance, keyLetter finds the collocate itself.
template <class WordLetter, class KeyLetter>
std::size_t LeftKeyStart(std::size_t n, std::int64_t nKeyColumn, int nDistance,
                         const WordLetter& wordLetter, const KeyLetter& keyLetter) {
  if (nKeyColumn < 0 || nKeyColumn > static_cast<std::int64_t>(n)) return kNoKey;
  std::int64_t i = nKeyColumn - 1;
  nDistance = ClampDistance(nDistance);
  for (int d = 1; d < nDistance; ++d) {
    while (i >= 0 && !wordLetter(static_cast<std::size_t>(i))) --i;
    while (i >= 0 && wordLetter(static_cast<std::size_t>(i))) --i;
  }
  while (i >= 0 && !keyLetter(static_cast<std::size_t>(i))) --i;
  if (i < 0) return kNoKey;
  std::int64_t count = 0;
  while (count < kMaxSortKey && i - count >= 0 && keyLetter(static_cast<std::size_t>(i - count)))
    ++count;
  return static_cast<std::size_t>(i - count + 1);
}

// A line without a collocate gets an empty key, which sorts before every other
// key, and a zero-length collocate at the column where the scan gave up.
void SetNoKey(CConcordanceEntry& entry, std::size_t nColumn) {
  entry.m_strSortKey.clear();
  entry.m_nKeyOffset = static_cast<std::int64_t>(nColumn);
  entry.m_nKeyLength = 0;
}

void SetKey(CConcordanceEntry& entry, std::string_view line, std::size_t nOffset,
            const CCodePage& cp) {
  entry.m_strSortKey.assign(line.substr(nOffset, kMaxSortKey));
  entry.m_nKeyOffset = static_cast<std::int64_t>(nOffset);
  std::int64_t letters = 0;
  for (char c : entry.m_strSortKey) {
    if (!cp.IsAlpha(static_cast<unsigned char>(c))) break;
    ++letters;
  }
  entry.m_nKeyLength = letters;
}

// Wide letters by code point, so both halves of a surrogate pair classify as the
// character they encode.
bool IsWideLetter(std::u16string_view line, std::size_t i) {
  UChar32 c;
  U16_GET(line.data(), 0, i, line.size(), c);
  return u_isalpha(c);
}

// Keys stop at kMaxSortKey units, without splitting a surrogate pair.
std::u16string WideKey(std::u16string_view line, std::size_t nOffset) {
  std::u16string_view key = line.substr(nOffset, kMaxSortKey);
  if (!key.empty() && U16_IS_LEAD(key.back())) key.remove_suffix(1);
  return std::u16string(key);
}

// The double-byte characters the keys are made of: the Han ranges, a lead byte
// 0xA4..0xF9 in both sets; Big5 trails run from 0x40, GB ones from 0xA1. GB's
// punctuation (lead 0xA1..0xA3) stays out of the keys.
bool IsKeyLead(unsigned char b) { return b >= 0xA4 && b <= 0xF9; }
bool IsKeyTrail(unsigned char b, bool bBig5) { return b >= (bBig5 ? 0x40 : 0xA1) && b <= 0xFE; }
bool IsKeyCharacter(unsigned char lead, unsigned char trail, bool bBig5) {
  return IsKeyLead(lead) && IsKeyTrail(trail, bBig5);
}
bool IsTrail(unsigned char b) { return b >= 0x40 && b <= 0xFE; }

// Shift-JIS: a lead 0x81..0x9F or 0xE0..0xFC with a trail 0x40..0x7E or 0x80..0xFC is
// one character; so is each half-width katakana byte 0xA1..0xDF.
bool IsShiftJisLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsShiftJisTrail(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }
bool IsHalfWidthKatakana(unsigned char b) { return b >= 0xA1 && b <= 0xDF; }
// Bytes of the character at i: 2 for a lead with its trail, else 1.
std::size_t ShiftJisSize(std::string_view line, std::size_t i) {
  return i + 1 < line.size() && IsShiftJisLead(static_cast<unsigned char>(line[i])) &&
                 IsShiftJisTrail(static_cast<unsigned char>(line[i + 1]))
             ? 2
             : 1;
}
bool IsShiftJisKey(std::string_view line, std::size_t i, std::size_t size) {
  return size == 2 || IsHalfWidthKatakana(static_cast<unsigned char>(line[i]));
}

}  // namespace

void BuildRightKey(CConcordanceEntry& entry, std::string_view line, std::int64_t nKeyColumn,
                   std::int64_t nKeyLength, int nDistance, int nMatchMode, const CCodePage& cp) {
  auto letter = [&](std::size_t i) { return cp.IsAlpha(static_cast<unsigned char>(line[i])); };
  std::size_t start = RightKeyStart(line, nKeyColumn, nKeyLength, nDistance, nMatchMode, letter);
  while (start < line.size() && !letter(start)) ++start;
  if (start >= line.size()) return SetNoKey(entry, line.size());
  SetKey(entry, line, start, cp);
}

void BuildLeftKey(CConcordanceEntry& entry, std::string_view line, std::int64_t nKeyColumn,
                  int nDistance, const CCodePage& cp) {
  auto letter = [&](std::size_t i) { return cp.IsAlpha(static_cast<unsigned char>(line[i])); };
  const std::size_t start = LeftKeyStart(line.size(), nKeyColumn, nDistance, letter, letter);
  if (start == kNoKey) return SetNoKey(entry, 0);
  SetKey(entry, line, start, cp);
}

void BuildDoubleByteRightKey(CConcordanceEntry& entry, std::string_view line,
                             std::int64_t nKeyColumn, std::int64_t nKeyLength, DoubleByteKeys keys) {
  entry.m_strSortKey.clear();
  if (nKeyColumn < 0 || nKeyLength < 0) return;
  const std::size_t n = line.size();
  const auto from = static_cast<std::size_t>(nKeyColumn + nKeyLength);
  if (keys == DoubleByteKeys::kShiftJis) {
    int taken = 0;
    for (std::size_t i = from; i < n && taken < 2;) {
      const std::size_t size = ShiftJisSize(line, i);
      if (IsShiftJisKey(line, i, size)) {
        entry.m_strSortKey.append(line.substr(i, size));
        ++taken;
      }
      i += size;
    }
    return;
  }
  const bool bBig5 = keys == DoubleByteKeys::kBig5;
  int taken = 0;
  for (std::size_t i = from; i < n && taken < 2;) {
    const auto b = static_cast<unsigned char>(line[i]);
    const bool bPair = i + 1 < n && IsTrail(static_cast<unsigned char>(line[i + 1]));
    if (bPair && IsKeyCharacter(b, static_cast<unsigned char>(line[i + 1]), bBig5)) {
      entry.m_strSortKey.append(line.substr(i, 2));
      ++taken;
      i += 2;
    } else if (bPair && b >= 0x81) {
      // A symbol outside the key ranges: step over its trail as well, since a trail
      // byte read as a lead would pair with the next character's lead.
      i += 2;
    } else {
      ++i;
    }
  }
}

void BuildDoubleByteLeftKey(CConcordanceEntry& entry, std::string_view line,
                            std::int64_t nKeyColumn, DoubleByteKeys keys) {
  entry.m_strSortKey.clear();
  const auto n = static_cast<std::int64_t>(line.size());
  if (nKeyColumn < 0 || nKeyColumn > n) return;
  std::string chars[2];
  int taken = 0;
  const std::int64_t stop = std::max<std::int64_t>(0, nKeyColumn - kMaxSortKey);
  if (keys == DoubleByteKeys::kShiftJis) {
    // A Shift-JIS trail byte can look like a lead, so characters are found from the
    // start of the line forward, never backward from the keyword.
    std::string_view last[2];
    for (std::size_t i = 0; i < static_cast<std::size_t>(nKeyColumn);) {
      const std::size_t size = ShiftJisSize(line, i);
      if (static_cast<std::int64_t>(i) >= stop && i + size <= static_cast<std::size_t>(nKeyColumn) &&
          IsShiftJisKey(line, i, size)) {
        last[0] = last[1];
        last[1] = line.substr(i, size);
      }
      i += size;
    }
    entry.m_strSortKey.append(last[0]).append(last[1]);
    return;
  }
  const bool bBig5 = keys == DoubleByteKeys::kBig5;
  for (std::int64_t i = nKeyColumn - 2; i >= stop && taken < 2; --i) {
    if (IsKeyCharacter(static_cast<unsigned char>(line[i]), static_cast<unsigned char>(line[i + 1]), bBig5)) {
      chars[taken++].assign(line.substr(static_cast<std::size_t>(i), 2));
      --i;
    }
  }
  for (int t = taken - 1; t >= 0; --t) entry.m_strSortKey += chars[t];
}

void BuildWideRightKey(CWideConcordanceEntry& entry, std::u16string_view line,
                       std::int64_t nKeyColumn, std::int64_t nKeyLength, int nDistance,
                       int nMatchMode) {
  auto letter = [&](std::size_t i) { return IsWideLetter(line, i); };
  const std::size_t start =
      RightKeyStart(line, nKeyColumn, nKeyLength, nDistance, nMatchMode, letter);
  // Wide keys have no step to the first letter: the key starts where the probes say.
  entry.m_wstrSortKey = start == kNoKey ? std::u16string() : WideKey(line, start);
}

void BuildWideLeftKey(CWideConcordanceEntry& entry, std::u16string_view line,
                      std::int64_t nKeyColumn, int nDistance) {
  auto word = [&](std::size_t i) { return IsWideLetter(line, i); };
  auto like = [&](std::size_t i) { return IsLetterLike(line[i]); };
  const std::size_t start = LeftKeyStart(line.size(), nKeyColumn, nDistance, word, like);
  entry.m_wstrSortKey = start == kNoKey ? std::u16string() : WideKey(line, start);
}

}  // namespace tessary

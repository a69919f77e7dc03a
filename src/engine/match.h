#pragma once
// The match test at one offset, and a fast search for the offsets where it holds.
// The fast search finds exactly the offsets that the per-offset test accepts; it only
// skips offsets that cannot match.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "engine/codepage.h"
#include "engine/match_mode.h"

namespace tessary {

// The search string and mode that one search runs with. A trailing '*' asks for a
// prefix, a leading one for a suffix, both for any string; any other '*' is an
// ordinary character. The program's mode setting itself is left alone.
template <class CharT>
struct CPreparedSearch {
  std::basic_string<CharT> m_strKey;
  int m_nMode = kMatchWord;
};
CPreparedSearch<char> ApplyStarRule(std::string_view key, int nMode);
CPreparedSearch<char16_t> ApplyStarRule(std::u16string_view key, int nMode);

// Letters for the boundary tests: a code at or above 'A'. Bytes are taken as signed,
// so 0x80..0xFF are non-letters; 16-bit units are unsigned, so all of them from 0x41 up
// are letters.
inline bool IsBoundaryLetter(unsigned char b) { return static_cast<signed char>(b) >= 0x41; }
inline bool IsBoundaryLetter(char16_t u) { return u >= 0x41; }

// Up to three positions of a key, rarest first, and the bytes that may stand at each,
// for the fast search. A key with fewer fixed positions repeats its last one.
struct CAnchorPlan {
  static constexpr int kAnchors = 3;
  std::size_t m_anchor[kAnchors] = {};
  unsigned char m_bytes[kAnchors][4] = {};
  int m_count[kAnchors] = {};
  unsigned char m_fold[kAnchors] = {};  // bit that makes an anchor's bytes equal when set
  bool m_bFolded = false;               // all anchors are tested by fold and compare
  bool m_bRare = false;                 // the first anchor's bytes are rare in running text
  // The folded search also tests the key's boundaries (the letters before and after
  // it) when the mode has them; where the anchors are all of the key's fixed positions,
  // what it finds needs no further test.
  enum Boundary { kNone, kWord, kPrefix, kSuffix } m_boundary = kNone;
  std::size_t m_nKeyLength = 0;
  bool m_bProven = false;
};

class CByteMatcher {
 public:
  // bDoubleByte: exact, case-sensitive comparison with no boundary test and no wildcard.
  CByteMatcher(std::string_view key, int nMode, bool bDoubleByte, const CCodePage& cp);

  std::size_t KeyLength() const { return m_key.size(); }
  int Mode() const { return m_nMode; }
  bool DoubleByte() const { return m_bDoubleByte; }
  bool HasWildcard() const;
  // True when no key character can match a control character (CR, Ctrl-Z and so on).
  bool MatchesNoControl() const;
  // Tests compare the paths: this one walks every offset without the vector unit.
  void UseScalarPath() { m_bVector = false; }
  const CAnchorPlan& Plan() const { return m_plan; }

  // The match test at offset i of text; the character before offset 0 and the end of
  // the text count as non-letters.
  bool MatchAt(std::string_view text, std::size_t i) const;
  // The first offset in [from, limit) where MatchAt holds, or npos.
  std::size_t FindNext(std::string_view text, std::size_t from, std::size_t limit) const;
  // Calls found(offset) for each offset in [from, limit) where MatchAt holds, in order,
  // until it returns false; returns false if it was stopped so.
  template <class Found>
  bool ForEachMatch(std::string_view text, std::size_t from, std::size_t limit, Found&& found) const {
    return ForEachMatchImpl(text, from, limit, &Call<Found>, &found);
  }

 private:
  template <class Found>
  static bool Call(void* context, std::size_t offset) { return (*static_cast<std::remove_reference_t<Found>*>(context))(offset); }
  bool ForEachMatchImpl(std::string_view text, std::size_t from, std::size_t limit,
                        bool (*found)(void*, std::size_t), void* context) const;
  template <class Visit>
  std::size_t Walk(std::string_view text, std::size_t from, std::size_t limit, Visit visit) const;
  void PlanAnchors(const CCodePage& cp);
  bool Boundaries(std::string_view text, std::size_t i) const;

  std::string m_key;            // upper-cased unless double-byte
  std::vector<char> m_wild;     // 1 at '%' positions
  std::array<unsigned char, 256> m_upper{};
  int m_nMode;
  bool m_bDoubleByte;
  CAnchorPlan m_plan;
  bool m_bVector = false;
};

class CWideMatcher {
 public:
  CWideMatcher(std::u16string_view key, int nMode, bool bDoubleByte);

  std::size_t KeyLength() const { return m_key.size(); }
  int Mode() const { return m_nMode; }
  bool MatchAt(std::u16string_view text, std::size_t i) const;
  std::size_t FindNext(std::u16string_view text, std::size_t from, std::size_t limit) const;
  template <class Found>
  bool ForEachMatch(std::u16string_view text, std::size_t from, std::size_t limit, Found&& found) const {
    return ForEachMatchImpl(text, from, limit, &Call<Found>, &found);
  }

 private:
  template <class Found>
  static bool Call(void* context, std::size_t offset) { return (*static_cast<std::remove_reference_t<Found>*>(context))(offset); }
  bool ForEachMatchImpl(std::u16string_view text, std::size_t from, std::size_t limit,
                        bool (*found)(void*, std::size_t), void* context) const;
  std::u16string m_key;  // upper-cased unless double-byte
  int m_nMode;
  bool m_bDoubleByte;
};

// Upper case of one UTF-16 unit by the wide-character rule (surrogates unchanged).
char16_t WideUpper(char16_t u);

}  // namespace tessary

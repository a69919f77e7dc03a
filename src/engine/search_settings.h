#pragma once
// The search settings that the application object owns for the whole run, with
// their start values: what the dialogs start from and remember. A search itself is
// a CSearchRequest built from them when the user confirms.
#include <cstdint>
#include <string>

#include "engine/match_mode.h"

namespace tessary {

inline constexpr const char* kSortRight = "Sort Right";
inline constexpr const char* kSortLeft = "Sort Left";
inline constexpr const char* kSortPosition = "Sort Position";
inline constexpr const char* kUnsorted = "Unsorted";

inline constexpr std::int64_t kMinLineWidth = 1;
inline constexpr std::int64_t kMaxLineWidth = 1000;

// Which language byte texts are in: the code page, or a double-byte set.
enum class TextLanguageKind { kCodePage, kBig5, kGb, kJapanese };
// The characters double-byte sort keys are made of: Big5's or GB's Han ranges, or
// every Shift-JIS character (Japanese).
enum class DoubleByteKeys { kBig5, kGb, kShiftJis };

struct CSearchSettings {
  std::string m_strSearch;        // byte search string, in the ANSI code page
  std::u16string m_wstrSearch;    // 16-bit search string
  int m_nMatchMode = kMatchWord;  // the program-wide match mode
  std::int64_t m_nLineWidth = 50;
  int m_nSortDistance = 1;
  std::string m_strSortMode = kSortRight;
  bool m_bLineNumbers = true;
  bool m_bFileReference = false;
  bool m_bAutoFormat = true;
  TextLanguageKind m_language = TextLanguageKind::kCodePage;
  bool m_bUnicode = false;
  bool m_bDirectory = false;
  std::int64_t m_nLeftMargin = 0;
  // The associated words last asked for, as typed (byte words in the code page of the
  // text, like m_strSearch; one 16-bit word), where they may stand, and which were
  // given: the associated-word dialog starts from them.
  std::string m_strAssocWord1;
  std::string m_strAssocWord2;
  std::string m_strAssocWord3;
  std::u16string m_wstrAssocWord;
  bool m_nNearAnywhere = true;
  bool m_nNearLeft = false;
  bool m_nNearRight = false;
  bool m_bAssocWord2 = false;
  bool m_bAssocWord3 = false;
  // What the next search asks for (Test > New, the sentence command): taken into the
  // next request, and dropped with it when a dialog is cancelled.
  bool m_bSentences = false;
  bool m_bTestMode = false;

  // The ANSI code page byte texts are in unless a double-byte set is chosen.
  int m_nAnsiCodePage = 1252;

  bool IsDoubleByte() const { return m_language != TextLanguageKind::kCodePage; }
  bool SortsByCollocate() const { return m_strSortMode == kSortRight || m_strSortMode == kSortLeft; }
  // The next search's own asks are used once: by a request, or dropped on Cancel.
  void ClearRequest();
};

// Takes a typed width ("Set line width", --width). Out of range or not a number: the
// message to show, and the width stays as it was. Empty on success.
std::string SetLineWidth(std::int64_t& width, const std::string& typed);

// Trims white space at both ends of a byte search string; double-byte aware, so a
// trail byte that looks like a space is never cut off its lead byte.
std::string TrimSearchString(const std::string& text, bool bDoubleByte);

}  // namespace tessary

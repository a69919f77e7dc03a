#pragma once
// The search settings that the application object owns for the whole run, with
// their start values. Nothing here is stored between runs.
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
  bool m_bDoubleByte = false;
  bool m_bBig5 = true;
  bool m_bJapanese = false;
  bool m_bUnicode = false;
  bool m_bDirectory = false;
  std::int64_t m_nLeftMargin = 0;
  // Associated-word requests: the words as typed (byte words in the code page of the
  // text, like m_strSearch; one 16-bit word), where they may stand, and which were
  // given. m_bAssocPending marks the request: a search created while it is set keeps
  // only the lines that hold the words.
  std::string m_strAssocWord1;
  std::string m_strAssocWord2;
  std::string m_strAssocWord3;
  std::u16string m_wstrAssocWord;
  bool m_nNearAnywhere = true;
  bool m_nNearLeft = false;
  bool m_nNearRight = false;
  bool m_bAssocWord2 = false;
  bool m_bAssocWord3 = false;
  bool m_bAssocPending = false;
  bool m_bSentences = false;  // the request is for sentence concordances
  bool m_bTestMode = false;
  bool m_bSearchPending = false;
  bool m_bBigFileSearch = false;

  // Code pages: m_nCodePage 0 means the ANSI code page, which is itself settable.
  int m_nCodePage = 0;
  int m_nAnsiCodePage = 1252;
  int m_nEncoding = 0;
  bool m_bNoSpaces = true;

  bool SortsByCollocate() const { return m_strSortMode == kSortRight || m_strSortMode == kSortLeft; }
  // Abandoning a request (Cancel, an empty string) clears everything it set.
  void ClearRequest();
};

// Takes a typed width ("Set line width", --width). Out of range or not a number: the
// message to show, and the width stays as it was. Empty on success.
std::string SetLineWidth(CSearchSettings& settings, const std::string& typed);

// Trims white space at both ends of a byte search string; double-byte aware, so a
// trail byte that looks like a space is never cut off its lead byte.
std::string TrimSearchString(const std::string& text, bool bDoubleByte);

}  // namespace tessary

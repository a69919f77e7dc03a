#pragma once
// One search as the user confirmed it: a value the front (the program's dialogs or the
// CLI's options) builds once, which the run and the list it makes carry. Nothing of it
// stays pending anywhere: a cancelled dialog simply builds none.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/associated_words.h"
#include "engine/match_mode.h"
#include "engine/search_settings.h"

namespace tessary {

// The language of byte texts, as one value: a code page, or one of the double-byte
// sets. Japanese matches byte-wise as the Chinese sets do; its text is decoded, and its
// sort keys are made, as Shift-JIS.
struct CTextLanguage {
  TextLanguageKind m_kind = TextLanguageKind::kCodePage;
  int m_nCodePage = 1252;  // the byte texts' code page when m_kind is kCodePage

  bool IsDoubleByte() const { return m_kind != TextLanguageKind::kCodePage; }
  DoubleByteKeys Keys() const {
    return m_kind == TextLanguageKind::kGb         ? DoubleByteKeys::kGb
           : m_kind == TextLanguageKind::kJapanese ? DoubleByteKeys::kShiftJis
                                                   : DoubleByteKeys::kBig5;
  }
  // 950, 936, 932, or m_nCodePage.
  int TextCodePage() const;
  bool operator==(const CTextLanguage&) const = default;
};

// Where a search reads its texts.
enum class SearchSource {
  kOpenDocuments,  // the open documents' texts, taken when the search starts
  kFiles,          // m_arrFiles
  kStream,         // standard input (the CLI)
  kBigFile,        // one file read in chunks from m_nBigFileStart
};

struct CSearchRequest {
  std::u16string m_wstrTyped;   // the search string as typed, for display
  std::string m_strSearch;      // byte searches: the string in the text code page
  std::u16string m_wstrSearch;  // 16-bit searches
  bool m_bUnicode = false;
  int m_nMatchMode = kMatchWord;
  std::int64_t m_nLineWidth = 50;
  std::string m_strSortMode = kSortRight;
  int m_nSortDistance = 1;
  bool m_bLineNumbers = true;
  bool m_bFileReference = false;
  CTextLanguage m_language;
  int m_nAnsiCodePage = 1252;  // decodes files for 16-bit searches, as the editor does

  SearchSource m_source = SearchSource::kOpenDocuments;
  std::vector<std::string> m_arrFiles;  // paths as the file system's bytes
  bool m_bAllMatching = false;          // the files are "all matching files"
  std::int64_t m_nBigFileStart = 0;

  // Associated words: byte words in the text code page (one to three), or the one
  // 16-bit word, and where they may stand. Empty: no associated-word search.
  std::vector<std::string> m_arrAssocWords;
  std::u16string m_wstrAssocWord;
  AssocZone m_assocZone = AssocZone::kAnywhere;

  bool m_bSentences = false;  // whole sentences instead of lines; never sorted
  bool m_bTestMode = false;   // the list becomes a gap-fill test

  // The remembered settings a new request starts from: width, sort, numbering, file
  // reference, language, code pages and match mode.
  static CSearchRequest FromSettings(const CSearchSettings& settings);

  bool IsAssociated() const { return !m_bSentences && (m_bUnicode ? !m_wstrAssocWord.empty() : !m_arrAssocWords.empty()); }
  bool SortsByCollocate() const { return m_strSortMode == kSortRight || m_strSortMode == kSortLeft; }
  // A list of this search is sorted (sentence lists never are).
  bool SortsLines() const { return SortsByCollocate() && !m_bSentences; }
};

}  // namespace tessary

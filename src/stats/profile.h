#pragma once
// Frequency profiles: how often a string occurs in a body of text, and what share of
// all words (or, for writing systems without spaces, of all characters) that is. Texts
// are fed one at a time (open documents, files) and the counts add up; the result is
// data that the shell shows as a message box.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/codepage.h"
#include "engine/expected.h"
#include "engine/match.h"
#include "engine/progress.h"

namespace tessary {

enum class ProfileKind {
  kWords,       // byte texts, whole-word matches (the open documents)
  kSubstrings,  // byte texts, every occurrence, also inside longer words (files)
  kWideWords,   // 16-bit texts, whole-word matches
  kCharacters,  // 16-bit texts, every occurrence, measured against the character total
};

struct CProfileObserver {
  // A text begins: its title or path and its length in bytes (16-bit units for 16-bit texts).
  std::function<void(const std::string& title, std::uint64_t length)> m_fnSource;
  // Progress within the current text, about once a megabyte; false stops the run.
  ProgressFn m_fnProgress;
};

struct CProfileResult {
  ProfileKind m_kind = ProfileKind::kWords;
  std::string m_strDisplay;   // the profile string as the caption shows it
  std::int64_t m_nMatches = 0;
  std::int64_t m_nTotal = 0;  // words, or characters for kCharacters
  std::size_t m_nKeyUnits = 0;
  bool m_bStopped = false;    // the counts are those reached when the run was stopped

  // Matches per hundred words, or the share of characters covered by matches; 0 when
  // there is nothing to divide by.
  double Percentage() const;
  // "Frequency Profile for < %s > = %ld"
  std::string Caption() const;
  // "%ld out of total %ld words = %.6f %%" ("characters" for kCharacters)
  std::string Text() const;
};

// The words of a text: runs of characters other than space, tab, carriage return and
// line feed, so a last word without white space after it counts and white space at
// the start adds none.
std::uint64_t CountWords(std::string_view text);
std::uint64_t CountWords(std::u16string_view text);

class CProfileBase {
 public:
  bool Stopped() const { return m_bStopped; }
  std::int64_t Matches() const { return m_nMatches; }
  std::int64_t Total() const { return m_nTotal; }
  // Files that could not be read, with the reason; the run goes on without them.
  const std::vector<std::string>& SkippedFiles() const { return m_arrSkipped; }
  CProfileResult Result() const;
  // Texts are counted in pieces of this many characters (progress is reported about
  // once a piece) on `threads` threads (0: the worker pool's number). Tests cut them small.
  void SetPieces(std::size_t units, unsigned threads = 0) {
    m_nPiece = std::max<std::size_t>(units, 1);
    m_nThreads = threads;
  }

 protected:
  CProfileBase(ProfileKind kind, std::string display, std::size_t keyUnits, CProfileObserver observer)
      : m_kind(kind), m_strDisplay(std::move(display)), m_nKeyUnits(keyUnits), m_observer(std::move(observer)) {}
  // Counts the matches (and the words when asked) piece by piece.
  template <class CharT, class Matcher>
  void ScanCounting(std::basic_string_view<CharT> text, const Matcher& matcher, bool bCountWords);
  ProfileKind m_kind;
  std::string m_strDisplay;
  std::size_t m_nKeyUnits;
  CProfileObserver m_observer;
  std::int64_t m_nMatches = 0;
  std::int64_t m_nTotal = 0;
  bool m_bStopped = false;
  std::vector<std::string> m_arrSkipped;
  std::size_t m_nPiece = std::size_t{1} << 20;
  unsigned m_nThreads = 0;
};

// The byte profiles. The comparison is the concordance search's case-insensitive one,
// with '%' for any one character, whatever the double-byte setting.
class CByteProfile : public CProfileBase {
 public:
  // key: the profile string in the code page of the texts (nCodePage), shown as it is
  // in the caption. bWholeWords asks for the boundary test (non-letters on both sides,
  // in the concordance search's sense). Fails for an empty key or an unknown code page.
  static Expected<std::unique_ptr<CByteProfile>> Create(std::string_view key, bool bWholeWords, int nCodePage,
                                                        CProfileObserver observer = {});
  // One text (a document's plain text); does nothing once the run is stopped.
  void AddText(std::string_view text, const std::string& title);
  // A file read in text mode (CR LF is one line feed, Ctrl-Z ends the text).
  void AddFile(const std::string& path);

 private:
  CByteProfile(ProfileKind kind, std::string_view key, const CCodePage& cp, CProfileObserver observer);
  CByteMatcher m_matcher;
};

// The 16-bit profiles: wide-character upper case on both sides, no wildcard.
class CWideProfile : public CProfileBase {
 public:
  // bCharacters: the character profile (every position, no boundary test; carriage
  // returns, line feeds and tabs are left out of the text and of the total). display:
  // the string as the caption should show it. nAnsiCodePage decodes files that are
  // neither UTF-8 nor UTF-16. Fails for an empty key.
  static Expected<std::unique_ptr<CWideProfile>> Create(std::u16string_view key, bool bCharacters, std::string display,
                                                        int nAnsiCodePage, CProfileObserver observer = {});
  void AddText(std::u16string_view text, const std::string& title);
  // A file decoded as the editor loads it.
  void AddFile(const std::string& path);

 private:
  CWideProfile(ProfileKind kind, std::u16string_view key, std::string display, std::shared_ptr<const CCodePage> ansi,
               CProfileObserver observer);
  CWideMatcher m_matcher;
  std::shared_ptr<const CCodePage> m_pAnsi;
};

}  // namespace tessary

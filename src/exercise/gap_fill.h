#pragma once
// The gap-fill test made from a concordance list: the keyword of every line hidden
// behind a blank, the learner's answer checked, and the keywords put back. All of it
// works on the window text as data; the program applies the text, the formats and the
// messages to its window.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/assembly.h"

namespace tessary {

// Texts the program shows around a test.
inline constexpr const char* kGapWrongAnswer = "That's wrong. Try again.";
inline constexpr const char* kGapCheatQuestion = "Are you sure you can't guess?";  // Yes / No
inline constexpr const char* kGapCheatTitle = "Cheating";
inline constexpr const char* kGapAnswerTitle = "Enter the deleted word";
inline constexpr const char* kGapCheatButton = "Cheat!";
inline constexpr const char* kGapProgressTitle = "Formatting Concordance Strings";
inline constexpr const char* kGapPreparing = "Deleting concordance strings";               // pane 0
inline constexpr const char* kGapReady = "Click Answer button to type the missing word";  // pane 0
inline constexpr const char* kGapFocusHint = "Select Answer to type the key word";        // pane 0
inline constexpr const char* kGapHiddenSearch = "????";                                   // pane 1
inline constexpr const char* kGapRevealed = "Concordance Window";                          // pane 0
// The answer box takes at most this many characters.
inline constexpr std::size_t kGapMaxAnswer = 99;

// Every keyword, whatever its length, becomes six dashes, so the length gives nothing away.
inline constexpr std::size_t kGapBlankLength = 6;

// Character formats of the blank and of a keyword put back.
struct CGapFormat {
  std::uint32_t m_crColor = 0;  // 0xRRGGBB
  const char* m_pszFace = "Courier New";
  int m_nPointSize = 10;
  bool m_bBold = true;
  bool m_bItalic = true;
  bool m_bUnderline = true;
};
inline constexpr CGapFormat kGapBlankFormat{0xFF650A};
inline constexpr CGapFormat kGapRevealFormat{0xFF00FF};

// Where the keywords stand in a fixed-column list: at column m_nWidth of every line,
// after the line's own number prefix when the list is numbered.
struct CGapLayout {
  std::int64_t m_nWidth = 50;
  bool m_bLineNumbers = false;
  // In characters of the text. A search typed with a prefix or suffix star matches
  // without it, so the star is not counted (it would hide a letter too many).
  std::int64_t m_nKeyLength = 0;
};

// A keyword's place in the window text, for lists whose columns are not fixed in the
// text's own units (sentence lists, byte lists shown as UTF-16).
struct CGapSpan {
  std::int64_t m_nStart = 0;
  std::int64_t m_nLength = 0;
};
// The keyword ranges of a rendered list, as spans in its text.
std::vector<CGapSpan> KeywordSpans(const CRenderedText& rendered);

// What the program does with an answer.
enum class GapVerdict {
  kNothing,   // an empty answer without "Cheat!": nothing happens
  kWrong,     // show kGapWrongAnswer; the test stays as it is
  kRight,     // reveal
  kAskCheat,  // ask kGapCheatQuestion titled kGapCheatTitle; Yes reveals, No keeps the test
};

// One change to the window text: replace m_nLength characters from m_nStart by
// m_strText, then format m_strText's characters with kGapRevealFormat.
template <class CharT>
struct CGapEditT {
  std::int64_t m_nStart = 0;
  std::int64_t m_nLength = 0;
  std::basic_string_view<CharT> m_strText;  // valid while the test lives
};

template <class CharT>
class CGapFillTestT {
 public:
  using String = std::basic_string<CharT>;
  using View = std::basic_string_view<CharT>;
  using Edit = CGapEditT<CharT>;

  // Lines end in '\n'; the empty line after the last one is no line. A line too short
  // to hold the keyword at its column (an edited line) keeps its text and has no gap.
  // key is the search string, without its star, that a whole-test answer must equal.
  CGapFillTestT(View text, const CGapLayout& layout, String key);
  // The keywords at the given places; a span that leaves its line, or a second one in
  // the same line, is ignored.
  CGapFillTestT(View text, const std::vector<CGapSpan>& spans, String key);

  // The window text now: blanked, with the lines revealed so far put back.
  String Text() const;
  std::size_t Lines() const { return m_arrLines.size(); }
  std::size_t Gaps() const { return m_nGaps; }
  bool HasGap(std::size_t line) const { return line < Lines() && m_arrLines[line].m_nColumn >= 0; }
  bool IsRevealed(std::size_t line) const { return HasGap(line) && m_arrLines[line].m_bRevealed; }
  // The text the blank of the line hid; empty for a line without a gap.
  View Keyword(std::size_t line) const;
  // The gap's column in its line (the same before and after the reveal); -1 without one.
  std::int64_t GapColumn(std::size_t line) const { return HasGap(line) ? m_arrLines[line].m_nColumn : -1; }
  // Start and length of the line's gap (the blank, or the keyword once revealed) in
  // Text(); -1 and 0 for a line without a gap.
  std::int64_t GapStart(std::size_t line) const;
  std::int64_t GapLength(std::size_t line) const;
  const String& Key() const { return m_strKey; }
  // Every keyword is back: the window is an ordinary list again and takes no answers.
  bool Finished() const { return m_bFinished; }

  // The answer to the whole test, compared exactly (case-sensitive) with the search
  // string. bCheat ("Cheat!") ignores any text, since that button takes none.
  GapVerdict CheckAnswer(View answer, bool bCheat) const;
  // The answer for one line, compared exactly with the keyword that line hid.
  GapVerdict CheckAnswer(std::size_t line, View answer, bool bCheat) const;

  // Puts back the line's own keyword; nothing for a line without a gap or already
  // revealed. The edit's place is in Text() as it was before the call.
  std::optional<Edit> RevealLine(std::size_t line);
  // Puts back every keyword still hidden and finishes the test. The edits come in
  // order, each placed in the text the previous ones left.
  std::vector<Edit> RevealAll();

 private:
  struct CLine {
    std::int64_t m_nStart = 0;       // in the blanked text
    std::int64_t m_nColumn = -1;     // gap column in the line; -1: no gap
    std::int64_t m_nKeyOffset = 0;   // in m_strKeywords
    std::int64_t m_nKeyLength = 0;
    bool m_bRevealed = false;
  };
  void Blank(View text, const std::vector<std::int64_t>& columns, const std::vector<std::int64_t>& lengths);
  // Growth of the text before the line from the keywords put back (a Fenwick tree,
  // so revealing lines one by one stays cheap for long lists).
  std::int64_t ShiftBefore(std::size_t line) const;
  void AddShift(std::size_t line, std::int64_t delta);
  std::int64_t Delta(const CLine& l) const { return l.m_nKeyLength - static_cast<std::int64_t>(kGapBlankLength); }

  String m_strBlanked;
  String m_strKeywords;
  String m_strKey;
  std::vector<CLine> m_arrLines;
  std::vector<std::int64_t> m_arrShift;
  std::size_t m_nGaps = 0;
  std::size_t m_nRevealed = 0;
  bool m_bFinished = false;
};

using CGapFillTest = CGapFillTestT<char>;
using CWideGapFillTest = CGapFillTestT<char16_t>;

extern template class CGapFillTestT<char>;
extern template class CGapFillTestT<char16_t>;

// The test as a list window shows it (UTF-16), from a finished search; key is the
// search string as matched (without its star). Byte lists are blanked after their
// conversion, at the keyword places the conversion measured: in double-byte text a
// byte column is not a UTF-16 column.
CWideGapFillTest WindowGapFillTest(const CAssembledList& list, const CCodePage& cp, std::int64_t width,
                                   std::string_view key);
CWideGapFillTest WindowGapFillTest(const CWideAssembledList& list, std::int64_t width, bool bLineNumbers,
                                   std::u16string key);

}  // namespace tessary

#pragma once
// Output assembly: the lines of a finished scan, sorted when asked, numbered
// ("%-6d ") and followed by their file reference, joined into the window text; and the
// key-word formatting as data (the ranges to colour) for the program to apply.
#include <cstdint>
#include <functional>
#include <string_view>
#include <string>
#include <vector>

#include "engine/codepage.h"
#include "engine/collation.h"
#include "engine/line_recorder.h"
#include "engine/progress.h"

namespace tessary {

// Where one line's parts stand in the window text.
struct CLineLayout {
  std::int64_t m_nStart = 0;   // first character of the line
  std::int64_t m_nPrefix = 0;  // number prefix length: 0, 7, or more from line 1,000,000 on
  std::int64_t m_nBody = 0;    // the built line
  std::int64_t m_nPath = 0;    // length of the path in the file reference (0 without one)
};

struct CAssemblyOptions {
  bool m_bSorted = false;  // entries are ordered by their collocate keys first
  bool m_bLineNumbers = true;
  bool m_bFileReference = false;
  const CSortCollator* m_pCollator = nullptr;  // required when sorted
  const CCodePage* m_pKeyCodePage = nullptr;   // decodes byte keys; required when sorted
  ProgressFn m_fnSortProgress;                 // while sort keys are computed; false stops the sort
};

template <class CharT, class Entry>
struct CAssembledListT {
  std::basic_string<CharT> m_strOutput;  // the window text; paths are the file system's bytes
  std::vector<CLineLayout> m_arrLayout;  // per line, in output order
  std::vector<Entry> m_arrEntries;       // entry i belongs to line i
  std::vector<std::string> m_arrFiles;   // the recorder's file table: entries' m_nFile index it
  bool m_bStopped = false;               // copying was stopped: later lines left out
  bool m_bSortStopped = false;           // sorting was stopped: the lines stand as found
  // Associated-word lists: per line in output order, the column of associated word
  // 1, 2, 3 in the window line, number prefix included; empty for a word not asked
  // for. m_arrAssocLength holds each word's length.
  std::vector<std::int64_t> m_arrAssoc1, m_arrAssoc2, m_arrAssoc3;
  std::vector<std::int64_t> m_arrAssocLength;
  // Sentence lists: never sorted; per line, the keyword's column in the window line,
  // number prefix included.
  bool m_bSentences = false;
  std::vector<std::int64_t> m_arrKeyOffsets;
  std::int64_t Lines() const { return static_cast<std::int64_t>(m_arrLayout.size()); }
  const std::string& FileOf(const Entry& entry) const { return FileOfEntry(m_arrFiles, entry.m_nFile); }
  const std::vector<std::int64_t>& AssocColumns(std::size_t k) const {
    return k == 0 ? m_arrAssoc1 : k == 1 ? m_arrAssoc2 : m_arrAssoc3;
  }
};
using CAssembledList = CAssembledListT<char, CConcordanceEntry>;
using CWideAssembledList = CAssembledListT<char16_t, CWideConcordanceEntry>;

// Consumes the recorder's lines (they are emptied) and entries. progress is called
// while lines are copied; false leaves the remaining lines out. Sentence lines come
// numbered and referenced from the recorder and are copied as they are, unsorted.
CAssembledList AssembleList(CLineRecorder& recorder, const CAssemblyOptions& options,
                            const ProgressFn& progress = {});
// 16-bit lists: the file reference is a space and the path, without parentheses.
CWideAssembledList AssembleList(CWideLineRecorder& recorder, const CAssemblyOptions& options,
                                const ProgressFn& progress = {});

// One window line through its line feed, and where its parts stand (m_nStart is 0).
template <class CharT>
using LineSinkT = std::function<void(std::basic_string_view<CharT> line, const CLineLayout& layout)>;
// The lines AssembleList would join, handed to sink one at a time in output order and
// then dropped with the recorder's lines and entries: a caller that writes the lines
// out never holds the window text.
void StreamList(CLineRecorder& recorder, const CAssemblyOptions& options, const LineSinkT<char>& sink);
void StreamList(CWideLineRecorder& recorder, const CAssemblyOptions& options, const LineSinkT<char16_t>& sink);

// A range of the key-word formatting says what it is; how each kind looks is the
// program's palette.
struct CFormatRange {
  enum Kind { kKeyword, kCollocate, kAssociated1, kAssociated2, kAssociated3, kSentenceKeyword };
  Kind m_kind = kKeyword;
  std::int64_t m_nLine = 0;    // line in output order
  std::int64_t m_nColumn = 0;  // column in the line's body
  std::int64_t m_nLength = 0;
};

// Lists of more lines than this are left unformatted after a search or sort of open
// documents or picked files: formatting them would keep the user waiting.
inline constexpr std::int64_t kAutoFormatLimit = 9999;

// The keyword of every line, for lists sorted by a collocate the collocate the sort
// used, and the associated words. Sentence lists: only the keyword, at its column in
// each sentence.
std::vector<CFormatRange> KeywordRanges(const CAssembledList& list, std::int64_t width,
                                        std::int64_t keyLength, bool bSorted);
// 16-bit lists: the keyword and the associated word; sentence keywords as in byte lists.
std::vector<CFormatRange> KeywordRanges(const CWideAssembledList& list, std::int64_t width,
                                        std::int64_t keyLength);

// The window's font by the kind of search.
enum class ListSource { kOpenDocuments, kOpenDocumentsUnicode, kFiles };
struct CListFont {
  const char* m_pszFace;
  int m_nPointSize;
};
CListFont ListFont(ListSource source);

// The window text as UTF-8: bodies converted from the code page, paths kept as the
// file system's bytes.
std::string RenderUtf8(const CAssembledList& list, const CCodePage& cp);
// The same, handed out line by line, so a large list is never held twice.
void RenderUtf8(const CAssembledList& list, const CCodePage& cp,
                const std::function<void(std::string_view)>& write);
std::string RenderUtf8(const CWideAssembledList& list);
// One window line (through its line feed) as RenderUtf8 gives it: the line itself when
// its body is ASCII, else its conversion, kept in scratch.
std::string_view Utf8Line(std::string_view line, const CLineLayout& layout, const CCodePage& cp, std::string& scratch);

// The window text as UTF-16 for the editor, with each range's start and length
// converted to UTF-16 units of that text (paths are decoded as UTF-8).
struct CRenderedRange {
  std::int64_t m_nStart = 0;
  std::int64_t m_nLength = 0;
  CFormatRange m_format;
};
struct CRenderedText {
  std::u16string m_wstrText;
  std::vector<CRenderedRange> m_arrRanges;
};
CRenderedText RenderUtf16(const CAssembledList& list, const CCodePage& cp,
                          const std::vector<CFormatRange>& ranges);
CRenderedText RenderUtf16(const CWideAssembledList& list, const std::vector<CFormatRange>& ranges);
// Lines [first, last) only, so a large list can be shown a piece at a time: range
// positions count from the piece's start. ranges must be in line order, as
// KeywordRanges gives them.
CRenderedText RenderUtf16(const CAssembledList& list, const CCodePage& cp, const std::vector<CFormatRange>& ranges,
                          std::int64_t first, std::int64_t last);
CRenderedText RenderUtf16(const CWideAssembledList& list, const std::vector<CFormatRange>& ranges,
                          std::int64_t first, std::int64_t last);

}  // namespace tessary

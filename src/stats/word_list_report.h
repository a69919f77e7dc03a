#pragma once
// The word-list comparison report: every word of a text is looked up in two word lists
// (say a basic and an academic vocabulary) and the result is written as three HTML
// files: the text with its words coloured by list, the words found in neither list,
// and a frame set that shows the two side by side.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "engine/expected.h"
#include "engine/progress.h"
#include "stats/text_classes.h"

namespace tessary {

// A word-list file: one entry per line, compared without regard to case. Nothing but the
// line end (LF or CR LF) is trimmed, so an entry with a trailing space never matches.
struct CWordList {
  std::string m_strPath;  // as the report shows it
  std::string m_strName;  // the file name alone, for the progress display
  std::size_t m_nEntries = 0;
  std::unordered_set<std::string> m_setFolded;

  bool Contains(std::string_view folded) const { return m_setFolded.count(std::string(folded)) != 0; }
};

// Reads a list file in the text's encoding. "File error" when it cannot be read.
Expected<CWordList> ReadWordList(const std::string& path, const CTextClasses& classes);
// The same from bytes already read (path only names it).
CWordList WordListFromText(std::string_view text, const std::string& path, const CTextClasses& classes);

struct CWordListReport {
  std::string m_strList1Path, m_strList2Path;
  std::int64_t m_nTotal = 0;    // words parsed in the text
  std::int64_t m_nList1 = 0;    // occurrences in list 1
  std::int64_t m_nList2 = 0;    // in list 2 and not in list 1
  std::int64_t m_nNeither = 0;  // in neither list
  // One HTML fragment per line of the text, markup characters of the text escaped.
  std::vector<std::string> m_arrLines;
  // The words in neither list, each once (without regard to case), spelled as first met.
  std::vector<std::string> m_arrUnlisted;
  bool m_bStopped = false;  // a stopped comparison is not written

  // count x 100 / total, truncated; 0 for a count of 0.
  int Percent(std::int64_t count) const;
};

// Walks a text line by line. Lines can also be fed one at a time (an editor's lines).
class CWordListComparison {
 public:
  CWordListComparison(const CWordList& list1, const CWordList& list2, const CTextClasses& classes);

  // One line, without its line break.
  void AddLine(std::string_view line);
  // A whole text: lines end at LF (a CR before it is a control character, shown as a
  // space); the part after the last line feed is a line too. progress is asked after
  // every line with the bytes done, throttled to about one call per 64 KiB; false stops.
  void AddText(std::string_view text, const ProgressFn& progress = {});

  const CWordListReport& Report() const { return m_report; }
  CWordListReport TakeReport() { return std::move(m_report); }

 private:
  void EndWord(std::string& fragment, std::string& word, std::string_view pending);

  const CWordList& m_list1;
  const CWordList& m_list2;
  const CTextClasses& m_classes;
  CWordListReport m_report;
  std::unordered_set<std::string> m_setUnlisted;  // folded
  std::string m_strFolded;
};

// The charset label of a text encoding as a meta line declares it: "windows-1252",
// "big5", "gb2312", "shift_jis", "ibm866", "windows-874", "utf-8", and the like for the
// other code pages browsers know. Empty when they know none.
std::string ReportCharset(int nCodePage);

// The three pages. charset: the label of the bytes' encoding (no meta line when empty).
std::string ReportTextPage(const CWordListReport& report, const std::string& charset);
std::string ReportListPage(const CWordListReport& report, const std::string& charset);
std::string ReportFramesPage(const std::string& textName, const std::string& listName, const std::string& charset);

struct CReportFiles {
  std::string m_strText;    // paths of "Text%d.htm", "List%d.htm", "Frames%d.htm"
  std::string m_strList;
  std::string m_strFrames;
  unsigned m_nNumber = 0;
  std::string m_strBrowserError;  // set when the browser could not be started
};

// Writes the three files into folder, named with one fresh number that no existing
// report there uses, so older reports stay. nextNumber gives candidate numbers (a
// time-seeded generator when empty). "File error" when a file cannot be written; the
// files of this report are then removed again.
Expected<CReportFiles> WriteWordListReport(const CWordListReport& report, const std::string& folder,
                                           const std::string& charset,
                                           const std::function<unsigned()>& nextNumber = {});

// Shows a file in the system's web browser; tests put in their own.
class IBrowserLauncher {
 public:
  virtual ~IBrowserLauncher() = default;
  // Empty on success, else the reason.
  virtual std::string Open(const std::string& path) = 0;
};

// Starts `xdg-open PATH` without a shell and without waiting for the browser.
class CXdgOpenLauncher : public IBrowserLauncher {
 public:
  std::string Open(const std::string& path) override;
};

// Writes the report and shows its frame set in browser. A browser that cannot be
// started leaves the files written and says why in m_strBrowserError.
Expected<CReportFiles> WriteAndShowWordListReport(const CWordListReport& report, const std::string& folder,
                                                  const std::string& charset, IBrowserLauncher& browser,
                                                  const std::function<unsigned()>& nextNumber = {});

}  // namespace tessary

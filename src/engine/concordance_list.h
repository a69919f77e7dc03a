#pragma once
// A concordance list: what every view of a list window, and every later command on
// it (sort, collocates, context, export), reads. The list's document owns it; the
// window's text holds the lines themselves.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/concordance_entry.h"
#include "engine/search_request.h"

namespace tessary {

// One line's record: its source is an index into the list's sources, so a million
// lines of one file share one path.
struct CListEntry {
  std::int64_t m_nPosition = 0;   // offset of the keyword in its source text
  std::uint32_t m_nSource = 0;    // index into CConcordanceList::m_arrSources
  std::int32_t m_nKeyOffset = 0;  // column of the sort collocate in the line body
  std::int32_t m_nKeyLength = 0;  // its length; 0 when the line has none
};

struct CConcordanceList {
  CSearchRequest m_request;               // the search the lines came from
  std::vector<std::string> m_arrSources;  // paths as the file system's bytes; "" for untitled texts
  std::vector<CListEntry> m_arrEntries;   // entry i belongs to line i of the window
  std::int64_t m_nKeyLength = 0;          // of the keyword as matched
  int m_nMatchMode = 0;                   // the mode it was matched in (star rule applied)
  bool m_bSorted = false;
  bool m_bSortRight = false;
  bool m_bSortLeft = false;
  bool m_bFromFiles = false;  // the sources are files, not open documents
  bool m_bAssocView = false;  // made by an associated-word search: its words are coloured
  bool m_bBigFile = false;
  std::int64_t m_nChunkStart = 0;

  bool Unicode() const { return m_request.m_bUnicode; }
  bool Sentences() const { return m_request.m_bSentences; }
  bool TestMode() const { return m_request.m_bTestMode; }
  bool LineNumbers() const { return m_request.m_bLineNumbers; }
  std::int64_t Width() const { return m_request.m_nLineWidth; }
  const CTextLanguage& Language() const { return m_request.m_language; }

  // Bounds-checked: an edited window may have lines without entries.
  const CListEntry* EntryOfLine(std::int64_t nLine) const;
  const std::string& SourceOf(const CListEntry& entry) const;

  // Takes a search's entries in window order, with the file table their m_nFile
  // indexes; equal paths share one source.
  void TakeEntries(const std::vector<CConcordanceEntry>& entries, const std::vector<std::string>& files);
  void TakeEntries(const std::vector<CWideConcordanceEntry>& entries, const std::vector<std::string>& files);
};

}  // namespace tessary

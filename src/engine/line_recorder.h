#pragma once
// The line recorder: the sink of a concordance scan. For each match it builds the
// line, the entry that remembers where the match came from, and the sort key when
// the search sorts by collocates. Sentence requests get whole sentences instead, and
// associated-word requests keep only the lines that hold their words.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/associated_words.h"
#include "engine/codepage.h"
#include "engine/concordance_entry.h"
#include "engine/scan.h"
#include "engine/search_settings.h"
#include "engine/sentences.h"

namespace tessary {

// Lines kept end to end in one buffer: a million lines cost two allocations, not a
// million.
template <class CharT>
class CLineStore {
 public:
  std::basic_string<CharT>& Buffer() { return m_data; }
  void Close() { m_ends.push_back(m_data.size()); }  // ends the line appended to Buffer()
  std::size_t Size() const { return m_ends.size(); }
  std::basic_string_view<CharT> Line(std::size_t i) const {
    const std::size_t begin = i == 0 ? 0 : m_ends[i - 1];
    return std::basic_string_view<CharT>(m_data).substr(begin, m_ends[i] - begin);
  }
  // Appends the lines of a later store after these.
  void Append(const CLineStore& later) {
    const std::size_t shift = m_data.size();
    m_data += later.m_data;
    for (std::size_t end : later.m_ends) m_ends.push_back(end + shift);
  }
  void Clear() {
    m_data.clear();
    m_data.shrink_to_fit();
    m_ends.clear();
    m_ends.shrink_to_fit();
  }

 private:
  std::basic_string<CharT> m_data;
  std::vector<std::size_t> m_ends;
};

struct CRecorderOptions {
  std::int64_t m_nWidth = 50;
  std::size_t m_nKeyLength = 0;  // of the key the scan looks for
  int m_nMatchMode = 0;          // the mode this search runs with
  std::string m_strSortMode;
  int m_nSortDistance = 1;
  bool m_bDoubleByte = false;
  DoubleByteKeys m_keys = DoubleByteKeys::kBig5;

  // Associated-word searches: the words a line must also hold (byte searches up to
  // three, in the text's code page; 16-bit searches one) and where. Lines without
  // all of them are not recorded.
  std::vector<std::string> m_arrAssocWords;
  std::u16string m_wstrAssocWord;
  AssocZone m_nZone = AssocZone::kAnywhere;

  // Sentence searches: each match gives its sentence, numbered and followed by its
  // file reference as it is built; the sort mode is not used.
  bool m_bSentences = false;
  bool m_bLineNumbers = true;
  bool m_bFileReference = false;
};

struct CSearchRequest;
// Every option of a search's recorder: the request (sentences with their numbering and
// file reference, or its associated words and their zone), and the key and mode the
// search runs with after the star rule.
CRecorderOptions RecorderOptionsFor(const CSearchRequest& request, std::size_t keyLength, int matchMode);

template <class CharT, class Entry>
class CLineRecorderT : public CMatchSinkT<CharT> {
 public:
  CLineRecorderT(CRecorderOptions options, const CCodePage& cp);
  ~CLineRecorderT() override;

  // The next matches come from this source (called before the first match); big-file
  // chunks add their file offset and, going on from the last source, keep its index.
  void BeginSource(std::string path, std::int64_t positionBase = 0) {
    if (m_arrFiles.empty() || m_arrFiles.back() != path) m_arrFiles.push_back(std::move(path));
    m_nFile = static_cast<std::uint32_t>(m_arrFiles.size() - 1);
    m_nPositionBase = positionBase;
  }
  // The same source goes on in a text that starts at positionBase (a file read in pieces).
  void MoveBase(std::int64_t positionBase) { m_nPositionBase = positionBase; }
  bool OnMatch(std::basic_string_view<CharT> text, std::uint64_t offset) override;
  // Takes the lines of `later`, a recorder of the same search that scanned a later
  // range of the text, after these: its entries are renumbered, their positions moved
  // by positionShift. Not for sentence lines, which hold their own numbers.
  void AppendFrom(CLineRecorderT&& later, std::int64_t positionShift);

  const CRecorderOptions& Options() const { return m_options; }
  const CLineStore<CharT>& Lines() const { return m_lines; }
  std::vector<Entry>& Entries() { return m_entries; }
  const std::vector<Entry>& Entries() const { return m_entries; }
  // The sources in the order they began; an entry's m_nFile indexes this table, so
  // recorders are joined by appending tables and shifting the indices of the entries.
  std::vector<std::string>& Files() { return m_arrFiles; }
  const std::vector<std::string>& Files() const { return m_arrFiles; }
  const std::string& FileOf(const Entry& entry) const { return FileOfEntry(m_arrFiles, entry.m_nFile); }
  std::int64_t Count() const { return static_cast<std::int64_t>(m_lines.Size()); }
  void EmptyLines();

  // Associated-word searches: how many words, each one's length, and per recorded
  // line (in the order found) the column of word k in the line, before numbering.
  std::size_t AssocWords() const { return m_pAssoc ? m_pAssoc->Count() : 0; }
  std::int64_t AssocLength(std::size_t k) const { return m_pAssoc->Length(k); }
  const std::vector<std::int64_t>& AssocColumns(std::size_t k) const { return m_arrAssoc[k]; }
  // Sentence searches: per recorded line, where its parts and its keyword stand. Each
  // line is complete, with its number, file reference and line feed.
  bool Sentences() const { return m_options.m_bSentences; }
  const std::vector<CSentenceLine>& SentenceLines() const { return m_arrSentences; }

 private:
  using AssocFilter = CAssociatedWordsT<CharT>;
  void Key(Entry& entry, std::basic_string_view<CharT> line) const;
  void RecordSentence(std::basic_string_view<CharT> text, std::uint64_t offset);

  CRecorderOptions m_options;
  const CCodePage& m_cp;
  std::vector<std::string> m_arrFiles;
  std::uint32_t m_nFile = 0;  // the current source: its index in m_arrFiles
  std::int64_t m_nPositionBase = 0;
  CLineStore<CharT> m_lines;
  std::vector<Entry> m_entries;
  std::unique_ptr<AssocFilter> m_pAssoc;
  std::vector<std::int64_t> m_arrAssoc[kMaxAssocWords];
  std::vector<CSentenceLine> m_arrSentences;
};

using CLineRecorder = CLineRecorderT<char, CConcordanceEntry>;
using CWideLineRecorder = CLineRecorderT<char16_t, CWideConcordanceEntry>;

}  // namespace tessary

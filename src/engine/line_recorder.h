#pragma once
// The line recorder: the sink of a concordance scan. For each match it builds the
// line, the entry that remembers where the match came from, and the sort key when
// the search sorts by collocates.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/codepage.h"
#include "engine/concordance_entry.h"
#include "engine/scan.h"

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
  bool m_bBig5 = true;
};

template <class CharT, class Entry>
class CLineRecorderT : public CMatchSinkT<CharT> {
 public:
  CLineRecorderT(CRecorderOptions options, const CCodePage& cp) : m_options(std::move(options)), m_cp(cp) {}

  // The next matches come from this source; big-file chunks add their file offset.
  void BeginSource(std::string path, std::int64_t positionBase = 0) {
    m_strFile = std::move(path);
    m_nPositionBase = positionBase;
  }
  bool OnMatch(std::basic_string_view<CharT> text, std::uint64_t offset) override;

  const CRecorderOptions& Options() const { return m_options; }
  const CLineStore<CharT>& Lines() const { return m_lines; }
  std::vector<Entry>& Entries() { return m_entries; }
  const std::vector<Entry>& Entries() const { return m_entries; }
  std::int64_t Count() const { return static_cast<std::int64_t>(m_lines.Size()); }
  void EmptyLines() { m_lines.Clear(); }

 private:
  void Key(Entry& entry, std::basic_string_view<CharT> line) const;

  CRecorderOptions m_options;
  const CCodePage& m_cp;
  std::string m_strFile;
  std::int64_t m_nPositionBase = 0;
  CLineStore<CharT> m_lines;
  std::vector<Entry> m_entries;
};

using CLineRecorder = CLineRecorderT<char, CConcordanceEntry>;
using CWideLineRecorder = CLineRecorderT<char16_t, CWideConcordanceEntry>;

}  // namespace tessary

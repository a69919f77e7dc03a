#include "engine/concordance_list.h"

#include <unordered_map>

namespace tessary {

const CListEntry* CConcordanceList::EntryOfLine(std::int64_t nLine) const {
  if (nLine < 0 || nLine >= static_cast<std::int64_t>(m_arrEntries.size())) return nullptr;
  return &m_arrEntries[static_cast<std::size_t>(nLine)];
}

const std::string& CConcordanceList::SourceOf(const CListEntry& entry) const {
  static const std::string kNone;
  return entry.m_nSource < m_arrSources.size() ? m_arrSources[entry.m_nSource] : kNone;
}

namespace {

template <class Entry>
void Take(CConcordanceList& list, const std::vector<Entry>& entries) {
  std::unordered_map<std::string, std::uint32_t> index;
  for (std::uint32_t i = 0; i < list.m_arrSources.size(); ++i) index.emplace(list.m_arrSources[i], i);
  list.m_arrEntries.clear();
  list.m_arrEntries.reserve(entries.size());
  const std::string* last = nullptr;
  std::uint32_t lastSource = 0;
  for (const Entry& e : entries) {
    // Entries of one source come in runs: compare with the last path before hashing.
    if (!last || *last != e.m_strFile) {
      auto [it, added] = index.emplace(e.m_strFile, static_cast<std::uint32_t>(list.m_arrSources.size()));
      if (added) list.m_arrSources.push_back(e.m_strFile);
      lastSource = it->second;
      last = &e.m_strFile;
    }
    CListEntry entry;
    entry.m_nPosition = e.m_nPosition;
    entry.m_nSource = lastSource;
    if constexpr (std::is_same_v<Entry, CConcordanceEntry>) {
      entry.m_nKeyOffset = static_cast<std::int32_t>(e.m_nKeyOffset);
      entry.m_nKeyLength = static_cast<std::int32_t>(e.m_nKeyLength);
    }
    list.m_arrEntries.push_back(entry);
  }
}

}  // namespace

void CConcordanceList::TakeEntries(const std::vector<CConcordanceEntry>& entries) { Take(*this, entries); }
void CConcordanceList::TakeEntries(const std::vector<CWideConcordanceEntry>& entries) { Take(*this, entries); }

}  // namespace tessary

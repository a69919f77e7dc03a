#include "engine/concordance_list.h"

#include <cstdint>
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
void Take(CConcordanceList& list, const std::vector<Entry>& entries, const std::vector<std::string>& files) {
  std::unordered_map<std::string, std::uint32_t> index;
  for (std::uint32_t i = 0; i < list.m_arrSources.size(); ++i) index.emplace(list.m_arrSources[i], i);
  // Each file of the search's table is looked up once, when an entry first names it,
  // so the sources come in the order of the lines and files without lines stay out.
  constexpr std::uint32_t kUnseen = UINT32_MAX;
  std::vector<std::uint32_t> sourceOfFile(files.size(), kUnseen);
  auto sourceOf = [&](std::uint32_t nFile) {
    const std::string& path = FileOfEntry(files, nFile);
    auto [it, added] = index.emplace(path, static_cast<std::uint32_t>(list.m_arrSources.size()));
    if (added) list.m_arrSources.push_back(path);
    return it->second;
  };
  list.m_arrEntries.clear();
  list.m_arrEntries.reserve(entries.size());
  for (const Entry& e : entries) {
    CListEntry entry;
    entry.m_nPosition = e.m_nPosition;
    if (e.m_nFile >= files.size()) {
      entry.m_nSource = sourceOf(e.m_nFile);
    } else {
      std::uint32_t& source = sourceOfFile[e.m_nFile];
      if (source == kUnseen) source = sourceOf(e.m_nFile);
      entry.m_nSource = source;
    }
    if constexpr (std::is_same_v<Entry, CConcordanceEntry>) {
      entry.m_nKeyOffset = static_cast<std::int32_t>(e.m_nKeyOffset);
      entry.m_nKeyLength = static_cast<std::int32_t>(e.m_nKeyLength);
    }
    list.m_arrEntries.push_back(entry);
  }
}

}  // namespace

void CConcordanceList::TakeEntries(const std::vector<CConcordanceEntry>& entries,
                                   const std::vector<std::string>& files) {
  Take(*this, entries, files);
}
void CConcordanceList::TakeEntries(const std::vector<CWideConcordanceEntry>& entries,
                                   const std::vector<std::string>& files) {
  Take(*this, entries, files);
}

}  // namespace tessary

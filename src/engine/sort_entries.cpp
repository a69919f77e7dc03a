#include "engine/sort_entries.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <string>
#include <string_view>

namespace tessary {

namespace {

// Single-byte keys go through the code page's table: it is the same mapping as
// ToUnicode without a converter call per key, which matters at a million lines.
void DecodeKey(std::string_view key, const CCodePage& cp, std::u16string& out) {
  if (cp.IsDoubleByte()) {
    out = cp.ToUnicode(key);
    return;
  }
  out.clear();
  for (char c : key) out.push_back(cp.ByteToUnicode(static_cast<unsigned char>(c)));
}

// All collation keys in one buffer: key i is bytes [offsets[i], offsets[i + 1]).
struct CKeyTable {
  std::string m_bytes;
  std::vector<std::size_t> m_offsets{0};

  std::string_view Key(std::size_t i) const {
    return std::string_view(m_bytes).substr(m_offsets[i], m_offsets[i + 1] - m_offsets[i]);
  }
};

template <class Entry, class KeyText>
void SortByKeys(std::vector<Entry>& entries, const CSortCollator& collator,
                const KeyText& keyText) {
  const std::size_t n = entries.size();
  if (n < 2) return;
  CKeyTable keys;
  keys.m_offsets.reserve(n + 1);
  keys.m_bytes.reserve(n * 32);
  for (const Entry& entry : entries) {
    collator.AppendSortKey(keyText(entry), keys.m_bytes);
    keys.m_offsets.push_back(keys.m_bytes.size());
  }

  std::vector<std::uint32_t> order(n);
  std::iota(order.begin(), order.end(), 0u);
  std::stable_sort(order.begin(), order.end(),
                   [&](std::uint32_t a, std::uint32_t b) { return keys.Key(a) < keys.Key(b); });

  std::vector<Entry> sorted;
  sorted.reserve(n);
  for (std::uint32_t i : order) sorted.push_back(std::move(entries[i]));
  entries.swap(sorted);
}

}  // namespace

int CompareSortKeys(const CConcordanceEntry& a, const CConcordanceEntry& b,
                    const CSortCollator& collator, const CCodePage& cp) {
  std::u16string ka, kb;
  DecodeKey(a.m_strSortKey, cp, ka);
  DecodeKey(b.m_strSortKey, cp, kb);
  return collator.Compare(ka, kb);
}

void SortEntries(std::vector<CConcordanceEntry>& entries, const CSortCollator& collator,
                 const CCodePage& cp) {
  std::u16string buffer;
  SortByKeys(entries, collator, [&](const CConcordanceEntry& entry) -> std::u16string_view {
    DecodeKey(entry.m_strSortKey, cp, buffer);
    return buffer;
  });
}

void SortEntries(std::vector<CWideConcordanceEntry>& entries, const CSortCollator& collator) {
  SortByKeys(entries, collator, [](const CWideConcordanceEntry& entry) -> std::u16string_view {
    return entry.m_wstrSortKey;
  });
}

}  // namespace tessary

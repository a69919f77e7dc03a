#include "engine/sort_entries.h"

#include <algorithm>
#include <cstdint>
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

// The sort moves small records that carry the first bytes of their key, so most
// comparisons never touch the key buffer: at a million keys its cache misses, not
// the collator, are what costs.
constexpr std::size_t kPrefixBytes = 8;
struct CRank {
  std::uint64_t m_nPrefix;
  std::uint32_t m_nIndex;
};

// Big-endian, padded with zeros: collation keys hold no zero byte, so a shorter key
// that is a prefix of a longer one still compares less.
std::uint64_t KeyPrefix(std::string_view key) {
  std::uint64_t prefix = 0;
  for (std::size_t i = 0; i < kPrefixBytes; ++i)
    prefix = (prefix << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
  return prefix;
}

template <class Entry, class KeyText>
bool SortByKeys(std::vector<Entry>& entries, const CSortCollator& collator, const KeyText& keyText,
                const ProgressFn& progress) {
  const std::size_t n = entries.size();
  if (n < 2) return true;
  const std::size_t step = std::max<std::size_t>(1, n / 100);
  CKeyTable keys;
  keys.m_offsets.reserve(n + 1);
  keys.m_bytes.reserve(n * 32);
  std::vector<CRank> order(n);
  for (std::size_t i = 0; i < n; ++i) {
    // The collation keys are what costs: a stop here leaves the entries as found.
    if (i % step == 0 && !ReportProgress(progress, i, n)) return false;
    collator.AppendSortKey(keyText(entries[i]), keys.m_bytes);
    keys.m_offsets.push_back(keys.m_bytes.size());
    order[i] = {KeyPrefix(keys.Key(i)), static_cast<std::uint32_t>(i)};
  }

  std::stable_sort(order.begin(), order.end(), [&](const CRank& a, const CRank& b) {
    if (a.m_nPrefix != b.m_nPrefix) return a.m_nPrefix < b.m_nPrefix;
    // Equal prefixes mean equal lengths up to kPrefixBytes; compare the rest.
    const std::string_view ka = keys.Key(a.m_nIndex), kb = keys.Key(b.m_nIndex);
    return ka.substr(std::min(ka.size(), kPrefixBytes)) < kb.substr(std::min(kb.size(), kPrefixBytes));
  });

  std::vector<Entry> sorted;
  sorted.reserve(n);
  for (const CRank& rank : order) sorted.push_back(std::move(entries[rank.m_nIndex]));
  entries.swap(sorted);
  return true;
}

}  // namespace

int CompareSortKeys(const CConcordanceEntry& a, const CConcordanceEntry& b,
                    const CSortCollator& collator, const CCodePage& cp) {
  std::u16string ka, kb;
  DecodeKey(a.m_strSortKey, cp, ka);
  DecodeKey(b.m_strSortKey, cp, kb);
  return collator.Compare(ka, kb);
}

bool SortEntries(std::vector<CConcordanceEntry>& entries, const CSortCollator& collator, const CCodePage& cp,
                 const ProgressFn& progress) {
  std::u16string buffer;
  return SortByKeys(
      entries, collator,
      [&](const CConcordanceEntry& entry) -> std::u16string_view {
        DecodeKey(entry.m_strSortKey, cp, buffer);
        return buffer;
      },
      progress);
}

bool SortEntries(std::vector<CWideConcordanceEntry>& entries, const CSortCollator& collator,
                 const ProgressFn& progress) {
  return SortByKeys(
      entries, collator, [](const CWideConcordanceEntry& entry) -> std::u16string_view { return entry.m_wstrSortKey; },
      progress);
}

}  // namespace tessary

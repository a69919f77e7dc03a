#include "engine/sort_entries.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <string_view>

#include "engine/parallel_sort.h"
#include "engine/workers.h"

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

// The sort moves small records that carry the first bytes of their key, so most
// comparisons never touch the rest: at a million keys its cache misses, not the
// collator, are what costs. Ties go to the order found, which makes the order stable
// and the same for any thread count.
constexpr std::size_t kPrefixBytes = 16;
struct CRank {
  std::uint64_t m_nHigh = 0, m_nLow = 0;  // key bytes 0-7 and 8-15, big-endian, zero-padded
  const char* m_pRest = nullptr;          // the key's bytes after the prefix
  std::uint32_t m_nRest = 0;
  std::uint32_t m_nIndex = 0;  // the entry's place as found
};

// Collation keys hold no zero byte, so a key that is a prefix of a longer one still
// compares less, and equal prefixes mean both keys go on past them or end alike.
bool RankLess(const CRank& a, const CRank& b) {
  if (a.m_nHigh != b.m_nHigh) return a.m_nHigh < b.m_nHigh;
  if (a.m_nLow != b.m_nLow) return a.m_nLow < b.m_nLow;
  const int rest = std::string_view(a.m_pRest, a.m_nRest).compare(std::string_view(b.m_pRest, b.m_nRest));
  if (rest != 0) return rest < 0;
  return a.m_nIndex < b.m_nIndex;
}

std::uint64_t Word(std::string_view key, std::size_t from) {
  std::uint64_t word = 0;
  for (std::size_t i = from; i < from + 8; ++i)
    word = (word << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
  return word;
}

// Entries [begin, end) keyed with their own collator copy: the prefix goes into the
// rank, the rest of each key into bytes, which holds only those rests. Progress is
// added every step keys; a stop ends the piece early.
constexpr std::size_t kPieceSize = 16384;

template <class Entry, class KeyText>
void RankPiece(const std::vector<Entry>& entries, std::size_t begin, std::size_t end, const CSortCollator& collator,
               const KeyText& keyText, std::vector<CRank>& ranks, std::string& bytes, CSharedProgress& progress,
               std::size_t step) {
  const std::unique_ptr<CSortCollator> own = collator.Clone();
  if (!own) throw std::bad_alloc();
  std::u16string buffer;
  std::string key;
  std::vector<std::size_t> rests(end - begin);
  std::size_t unreported = 0;
  for (std::size_t i = begin; i < end; ++i) {
    key.clear();
    own->AppendSortKey(keyText(entries[i], buffer), key);
    CRank& rank = ranks[i];
    rank.m_nHigh = Word(key, 0);
    rank.m_nLow = Word(key, 8);
    rank.m_nIndex = static_cast<std::uint32_t>(i);
    rests[i - begin] = bytes.size();
    if (key.size() > kPrefixBytes) bytes.append(key, kPrefixBytes);
    rank.m_nRest = static_cast<std::uint32_t>(bytes.size() - rests[i - begin]);
    if (++unreported == step) {
      unreported = 0;
      if (!progress.Add(step)) return;
    }
  }
  // The buffer has stopped growing: the rests' places are final.
  for (std::size_t i = begin; i < end; ++i) ranks[i].m_pRest = bytes.data() + rests[i - begin];
  if (unreported > 0) progress.Add(unreported);
}

// Puts entries into the order given (order[k] is the entry that goes to place k) in
// place, one cycle of the permutation at a time; order is used up.
template <class Entry>
void Permute(std::vector<Entry>& entries, std::vector<std::uint32_t>& order) {
  for (std::size_t start = 0; start < order.size(); ++start) {
    if (order[start] == start) continue;
    Entry held = std::move(entries[start]);
    std::size_t at = start;
    while (order[at] != start) {
      const std::size_t from = order[at];
      entries[at] = std::move(entries[from]);
      order[at] = static_cast<std::uint32_t>(at);
      at = from;
    }
    entries[at] = std::move(held);
    order[at] = static_cast<std::uint32_t>(at);
  }
}

template <class Entry, class KeyText>
bool SortByKeys(std::vector<Entry>& entries, const CSortCollator& collator, const KeyText& keyText,
                const ProgressFn& progress) {
  const std::size_t n = entries.size();
  if (n < 2) return true;
  const std::size_t pieces = (n + kPieceSize - 1) / kPieceSize;
  std::vector<CRank> ranks(n);
  std::vector<std::string> bytes(pieces);
  // The collation keys are what costs: they report every hundredth of the entries, and
  // a stop while they are built leaves the entries as found.
  CSharedProgress shared(progress, n);
  const std::size_t step = std::max<std::size_t>(1, n / 100);
  RunParallel(pieces, [&](std::size_t p) {
    if (shared.Stopped()) return;
    RankPiece(entries, p * kPieceSize, std::min(n, (p + 1) * kPieceSize), collator, keyText, ranks, bytes[p],
              shared, step);
  });
  if (shared.Stopped()) return false;

  ParallelSort(ranks, RankLess);
  std::vector<std::uint32_t> order(n);
  for (std::size_t k = 0; k < n; ++k) order[k] = ranks[k].m_nIndex;
  std::vector<CRank>().swap(ranks);
  std::vector<std::string>().swap(bytes);
  Permute(entries, order);
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
  return SortByKeys(
      entries, collator,
      [&](const CConcordanceEntry& entry, std::u16string& buffer) -> std::u16string_view {
        DecodeKey(entry.m_strSortKey, cp, buffer);
        return buffer;
      },
      progress);
}

bool SortEntries(std::vector<CWideConcordanceEntry>& entries, const CSortCollator& collator,
                 const ProgressFn& progress) {
  return SortByKeys(
      entries, collator,
      [](const CWideConcordanceEntry& entry, std::u16string&) -> std::u16string_view { return entry.m_wstrSortKey; },
      progress);
}

}  // namespace tessary

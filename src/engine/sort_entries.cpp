#include "engine/sort_entries.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <string_view>

#include "engine/distinct_table.h"
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

// An entry's key as stored: equal ones sort alike, so each distinct one is keyed once.
std::string_view KeyText(const CConcordanceEntry& entry) { return entry.m_strSortKey; }
std::u16string_view KeyText(const CWideConcordanceEntry& entry) { return entry.m_wstrSortKey; }

// Distinct collation keys are ordered by records that carry their first bytes, so
// most comparisons never touch the rest.
constexpr std::size_t kPrefixBytes = 16;
struct CRank {
  std::uint64_t m_nHigh = 0, m_nLow = 0;  // key bytes 0-7 and 8-15, big-endian, zero-padded
  std::string_view m_rest;                // the key's bytes after them
  std::uint32_t m_nKey = 0;
};

// Collation keys hold no zero byte, so a key that is a prefix of a longer one still
// compares less, and equal prefixes mean both keys go on past them or end alike.
bool RankLess(const CRank& a, const CRank& b) {
  if (a.m_nHigh != b.m_nHigh) return a.m_nHigh < b.m_nHigh;
  if (a.m_nLow != b.m_nLow) return a.m_nLow < b.m_nLow;
  return a.m_rest < b.m_rest;
}

std::uint64_t Word(std::string_view key, std::size_t from) {
  std::uint64_t word = 0;
  for (std::size_t i = from; i < from + 8; ++i)
    word = (word << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
  return word;
}

CRank RankOf(std::string_view key, std::uint32_t nKey) {
  return {Word(key, 0), Word(key, 8), key.substr(std::min(key.size(), kPrefixBytes)), nKey};
}

// The collation keys of one piece of the entries: one per distinct key text, in the
// order first seen, end to end.
struct CPieceKeys {
  std::string m_bytes;
  std::vector<std::size_t> m_arrEnds;
  std::size_t Size() const { return m_arrEnds.size(); }
  std::string_view Key(std::size_t d) const {
    const std::size_t begin = d == 0 ? 0 : m_arrEnds[d - 1];
    return std::string_view(m_bytes).substr(begin, m_arrEnds[d] - begin);
  }
};

// Keys entries [begin, end) with a collator copy of their own: textIds[i] becomes the
// number of entry i's key text among the piece's distinct ones. Progress is added every
// step entries; a stop ends the piece early.
template <class Entry, class Decode>
void KeyPiece(const std::vector<Entry>& entries, std::size_t begin, std::size_t end, const CSortCollator& collator,
              const Decode& decode, CPieceKeys& keys, std::vector<std::uint32_t>& textIds, CSharedProgress& progress,
              std::size_t step) {
  const std::unique_ptr<CSortCollator> own = collator.Clone();
  if (!own) throw std::bad_alloc();
  using Char = typename decltype(KeyText(entries[0]))::value_type;
  CDistinctTable<Char> texts(end - begin);
  std::u16string buffer;
  std::size_t unreported = 0;
  for (std::size_t i = begin; i < end; ++i) {
    const auto [id, added] = texts.Insert(KeyText(entries[i]));
    if (added) {
      own->AppendSortKey(decode(entries[i], buffer), keys.m_bytes);
      keys.m_arrEnds.push_back(keys.m_bytes.size());
    }
    textIds[i] = id;
    if (++unreported == step) {
      unreported = 0;
      if (!progress.Add(step)) return;
    }
  }
  if (unreported > 0) progress.Add(unreported);
}

// The place in the sorted order of every piece's keys: equal keys of different pieces
// (or texts) share one place.
std::vector<std::vector<std::uint32_t>> KeyPlaces(const std::vector<CPieceKeys>& pieces) {
  std::size_t total = 0;
  for (const CPieceKeys& piece : pieces) total += piece.Size();
  CDistinctTable<char> distinct(total);
  std::vector<std::vector<std::uint32_t>> places(pieces.size());
  for (std::size_t p = 0; p < pieces.size(); ++p)
    for (std::size_t d = 0; d < pieces[p].Size(); ++d) places[p].push_back(distinct.Insert(pieces[p].Key(d)).first);

  std::vector<CRank> ranks;
  ranks.reserve(distinct.Size());
  for (std::uint32_t k = 0; k < distinct.Size(); ++k) ranks.push_back(RankOf(distinct.Text(k), k));
  ParallelSort(ranks, RankLess);
  std::vector<std::uint32_t> placeOfKey(ranks.size());
  for (std::size_t r = 0; r < ranks.size(); ++r) placeOfKey[ranks[r].m_nKey] = static_cast<std::uint32_t>(r);
  for (auto& piece : places)
    for (std::uint32_t& place : piece) place = placeOfKey[place];
  return places;
}

// Puts entries into the order given (order[k] is the entry that goes to place k). The
// reads do not wait for each other, so the processor overlaps their cache misses,
// which following the permutation's cycles in place would not.
template <class Entry>
void Permute(std::vector<Entry>& entries, const std::vector<std::uint32_t>& order) {
  std::vector<Entry> sorted;
  sorted.reserve(entries.size());
  for (std::uint32_t from : order) sorted.push_back(std::move(entries[from]));
  entries.swap(sorted);
}

// The stable order of entries by their places: a counting sort keeps equal keys in
// the order found.
std::vector<std::uint32_t> OrderByPlace(const std::vector<std::uint32_t>& placeOfEntry, std::size_t places) {
  std::vector<std::uint32_t> next(places + 1, 0);
  for (std::uint32_t place : placeOfEntry) ++next[place + 1];
  for (std::size_t k = 1; k <= places; ++k) next[k] += next[k - 1];
  std::vector<std::uint32_t> order(placeOfEntry.size());
  for (std::size_t i = 0; i < placeOfEntry.size(); ++i) order[next[placeOfEntry[i]]++] = static_cast<std::uint32_t>(i);
  return order;
}

template <class Entry, class Decode>
bool SortByKeys(std::vector<Entry>& entries, const CSortCollator& collator, const Decode& decode,
                const ProgressFn& progress) {
  const std::size_t n = entries.size();
  if (n < 2) return true;
  // A few pieces per thread: enough to share the work, few enough that each piece
  // meets most of the key texts it has more than once.
  constexpr std::size_t kMinPiece = 4096;
  const std::size_t count = std::clamp<std::size_t>(n / kMinPiece, 1, 4 * WorkerThreads());
  std::vector<CPieceKeys> pieces(count);
  std::vector<std::uint32_t> ids(n);
  // The collation keys are what costs: they report every hundredth of the entries, and
  // a stop while they are built leaves the entries as found.
  CSharedProgress shared(progress, n);
  const std::size_t step = std::max<std::size_t>(1, n / 100);
  RunParallel(count, [&](std::size_t p) {
    if (!shared.Stopped())
      KeyPiece(entries, n * p / count, n * (p + 1) / count, collator, decode, pieces[p], ids, shared, step);
  });
  if (shared.Stopped()) return false;

  const std::vector<std::vector<std::uint32_t>> places = KeyPlaces(pieces);
  std::size_t distinct = 0;
  for (std::size_t p = 0; p < count; ++p) {
    for (std::size_t i = n * p / count; i < n * (p + 1) / count; ++i) ids[i] = places[p][ids[i]];
    for (std::uint32_t place : places[p]) distinct = std::max<std::size_t>(distinct, place + 1);
  }
  Permute(entries, OrderByPlace(ids, distinct));
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

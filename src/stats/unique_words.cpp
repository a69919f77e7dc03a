#include "stats/unique_words.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/text_file.h"
#include "stats/shell_sort.h"
#include "stats/stats_format.h"

namespace tessary {

namespace {

constexpr std::size_t kStep = 1 << 20;      // bytes between progress reports
constexpr std::uint32_t kUnlisted = 0xFF;   // bucket of words that count but are not listed
constexpr std::size_t kMaxChunks = (kMaxListedWordBytes + 7) / 8;

// Byte classes of the tokenizer.
enum : unsigned char {
  kWhite = 1,     // space, tab, CR, LF: end a word
  kWordByte = 2,  // always part of a word: A..Z and every byte from 'a' (0x61) up
  kLetter = 4,    // a letter of the encoding (what may follow a kept hyphen)
  kHigh = 8,      // at or above 'a'
};

std::uint64_t Mix(std::uint64_t h) {
  h *= 0xBF58476D1CE4E5B9ull;
  h ^= h >> 29;
  h *= 0x94D049BB133111EBull;
  return h ^ (h >> 32);
}

// Upper case of eight ASCII bytes at once: 0x20 off every byte from 'a' to 'z'.
std::uint64_t AsciiUpper(std::uint64_t v) {
  constexpr std::uint64_t kTop = 0x8080808080808080ull;
  const std::uint64_t fromA = (v + 0x1F1F1F1F1F1F1F1Full) & kTop;  // byte >= 'a'
  const std::uint64_t pastZ = (v + 0x0505050505050505ull) & kTop;  // byte > 'z'
  return v - ((fromA & ~pastZ) >> 2);
}

// The first offset from i on whose byte is not always part of a word (A..Z, or 0x61
// and up), or n.
std::size_t WordRunEnd(const unsigned char* p, std::size_t i, std::size_t n) {
#if defined(__SSE2__)
  const __m128i flip = _mm_set1_epi8(static_cast<char>(0x80));
  const __m128i belowLower = _mm_set1_epi8(static_cast<char>(0x60 ^ 0x80));
  const __m128i belowUpper = _mm_set1_epi8(static_cast<char>(0x40 ^ 0x80));
  const __m128i aboveUpper = _mm_set1_epi8(static_cast<char>(0x5B ^ 0x80));
  for (; i + 16 <= n; i += 16) {
    // Unsigned order through signed compares: flip the top bit first.
    const __m128i v = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)), flip);
    const __m128i word = _mm_or_si128(_mm_cmpgt_epi8(v, belowLower),
                                      _mm_and_si128(_mm_cmpgt_epi8(v, belowUpper), _mm_cmplt_epi8(v, aboveUpper)));
    const unsigned other = ~static_cast<unsigned>(_mm_movemask_epi8(word)) & 0xFFFF;
    if (other != 0) return i + static_cast<unsigned>(__builtin_ctz(other));
  }
#endif
  for (; i < n; ++i)
    if (!((p[i] >= 'A' && p[i] <= 'Z') || p[i] >= 'a')) return i;
  return n;
}

}  // namespace

// A word's folded form is kept as 8-byte chunks (byte k of the word in bits 8(k mod 8)
// and up of chunk k / 8, zero padded), so look-ups hash and compare whole chunks.
struct CUniqueWordCounter::Entry {
  std::size_t m_nSpelling;  // offset of the word as first met in the arena
  std::size_t m_nChunks;    // offset of its folded chunks in the index
  std::uint32_t m_nLength;
  std::uint32_t m_nBucket;  // 0..26, or kUnlisted
  std::uint32_t m_nPos;     // place in its bucket (kept while the bucket may still be re-ordered)
};

// Open addressing. A slot holds the word's first chunk, so most words (eight bytes or
// fewer) are settled by one slot without touching the entries.
struct CUniqueWordCounter::Index {
  struct Slot {
    std::uint64_t m_nFirst = 0;
    std::uint32_t m_nEntry = 0;  // entry + 1; 0: empty
    std::uint32_t m_nMeta = 0;   // hash tag (16 bits), length (8), bucket (8)
  };
  std::vector<Slot> m_slots = std::vector<Slot>(1 << 12);
  std::vector<std::uint64_t> m_hashes;  // per entry, to place it again when the table grows
  std::vector<std::uint64_t> m_chunks;  // every entry's folded chunks

  static std::uint32_t Meta(std::uint64_t hash, std::size_t length, std::uint32_t bucket) {
    return static_cast<std::uint32_t>(hash >> 48) << 16 | static_cast<std::uint32_t>(length) << 8 | bucket;
  }
  void Grow(const std::vector<Entry>& entries) {
    std::vector<Slot> grown(m_slots.size() * 2);
    const std::size_t mask = grown.size() - 1;
    for (std::uint32_t e = 0; e < entries.size(); ++e) {
      std::size_t i = m_hashes[e] & mask;
      while (grown[i].m_nEntry != 0) i = (i + 1) & mask;
      grown[i] = {m_chunks[entries[e].m_nChunks], e + 1, Meta(m_hashes[e], entries[e].m_nLength, entries[e].m_nBucket)};
    }
    m_slots.swap(grown);
  }
};

std::string CUniqueWordList::TotalText() const { return PrintfFormat("%lld", static_cast<long long>(m_nTotal)); }

std::string CUniqueWordList::PercentText(std::int64_t count) const {
  const double percent = m_nTotal > 0 ? static_cast<double>(count) * 100.0 / static_cast<double>(m_nTotal) : 0.0;
  return FixedDecimals(percent, 4) + " %";
}

Expected<std::unique_ptr<CUniqueWordCounter>> CUniqueWordCounter::Create(const CUniqueWordOptions& options,
                                                                          CProfileObserver observer) {
  using Result = Expected<std::unique_ptr<CUniqueWordCounter>>;
  const int codePage = options.m_bDoubleByte ? (options.m_bBig5 ? 950 : 936) : options.m_nCodePage;
  auto classes = CTextClasses::Open(codePage);
  if (!classes) return Result::Failure(classes.Error());
  return std::unique_ptr<CUniqueWordCounter>(new CUniqueWordCounter(options, std::move(*classes), std::move(observer)));
}

CUniqueWordCounter::CUniqueWordCounter(const CUniqueWordOptions& options, CTextClasses classes,
                                       CProfileObserver observer)
    : m_options(options), m_classes(std::move(classes)), m_observer(std::move(observer)), m_pIndex(new Index) {
  if (m_options.m_bDoubleByte) {
    m_arrPairIndex.assign(1 << 16, 0);
    m_arrPairValid.assign(1 << 16, -1);
  }
  m_bAsciiFold = std::endian::native == std::endian::little && !m_classes.IsDoubleByte();
  for (int b = 0; b < 0x80 && m_bAsciiFold; ++b)
    m_bAsciiFold = m_classes.Upper(static_cast<unsigned char>(b)) == (b >= 'a' && b <= 'z' ? b - 0x20 : b);
}

CUniqueWordCounter::~CUniqueWordCounter() = default;

std::size_t CUniqueWordCounter::UniqueCount() const { return m_nUnique; }

void CUniqueWordCounter::AddText(std::string_view text, const std::string& title) {
  if (m_bStopped) return;
  if (m_observer.m_fnSource) m_observer.m_fnSource(title, text.size());
  if (m_options.m_bDoubleByte) TokenizeDoubleByte(text);
  else TokenizeBytes(text);
}

void CUniqueWordCounter::AddFile(const std::string& path) {
  if (m_bStopped) return;
  auto file = CTextFile::Open(path);
  if (!file) {
    m_arrSkipped.push_back(file.Error());
    return;
  }
  // Carriage returns end words like line feeds, so the text need not be converted.
  AddText((*file)->RawText(), path);
  if (!(*file)->Problem().empty()) m_arrSkipped.push_back((*file)->Problem());
}

// ---- Byte tokenizer ----

void CUniqueWordCounter::TokenizeBytes(std::string_view text) {
  unsigned char cls[256];
  for (int b = 0; b < 256; ++b) {
    const auto u = static_cast<unsigned char>(b);
    cls[b] = 0;
    if (u == ' ' || u == '\t' || u == '\r' || u == '\n') cls[b] |= kWhite;
    if ((u >= 'A' && u <= 'Z') || u >= 'a') cls[b] |= kWordByte;
    if (m_classes.IsAlpha(u)) cls[b] |= kLetter;
    if (u >= 'a') cls[b] |= kHigh;
  }
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();

  // The word so far: while it is one stretch of the text it is read in place; once a
  // dropped character splits it ("can,not"), it is gathered in buffer. Only its first
  // 255 bytes are kept: longer words count but are not listed.
  std::size_t start = 0, length = 0;
  bool inPlace = true;
  unsigned char buffer[kMaxListedWordBytes];
  std::int64_t total = 0;
  auto append = [&](std::size_t from, std::size_t to) {
    if (length == 0) {
      start = from;
      inPlace = true;
    } else if (inPlace && from != start + length) {
      std::memcpy(buffer, p + start, std::min(length, kMaxListedWordBytes));
      inPlace = false;
    }
    if (!inPlace && length < kMaxListedWordBytes)
      std::memcpy(buffer + length, p + from, std::min(to - from, kMaxListedWordBytes - length));
    length += to - from;
  };
  auto endWord = [&] {
    ++total;
    if (length > 0 && length <= kMaxListedWordBytes) {
      if (inPlace) StoreWord(p + start, length, p + n);
      else StoreWord(buffer, length, buffer);
    }
    length = 0;
  };

  std::size_t nextReport = std::min(n, kStep);
  for (std::size_t i = 0; i < n;) {
    if (i >= nextReport) {
      m_nTotal += total;
      total = 0;
      if (!ReportProgress(m_observer.m_fnProgress, i, n)) {
        m_bStopped = true;
        return;
      }
      nextReport = std::min(n, i + kStep);
    }
    const unsigned char c = p[i];
    const unsigned char t = cls[c];
    if (t & kWordByte) {
      // A run of word bytes: nothing inside it can end the word.
      const std::size_t end = WordRunEnd(p, i, n);
      append(i, end);
      i = end;
      if (i == n || (cls[p[i]] & kWhite)) endWord();
      continue;
    }
    if (t & kWhite) {
      ++i;
      continue;
    }
    const unsigned char d = i + 1 < n ? p[i + 1] : ' ';  // the end of the text ends a word
    const unsigned char u = cls[d];
    if (length > 0 && ((c == '-' && (u & kLetter)) || (c == '\'' && (u & (kLetter | kHigh))))) append(i, i + 1);
    // Digits and punctuation are dropped without ending the word ("can,not" is one).
    if ((u & kWhite) || (c == '-' && !(u & kLetter) && d < 'z')) endWord();
    ++i;
  }
  m_nTotal += total;
  if (!ReportProgress(m_observer.m_fnProgress, n, n)) m_bStopped = true;
}

void CUniqueWordCounter::StoreWord(const unsigned char* word, std::size_t length, const unsigned char* readLimit) {
  // Fold into chunks. Bytes are read eight at a time from the text; a gathered word
  // was just written byte by byte and is read back the same way.
  std::uint64_t chunks[kMaxChunks];
  const std::size_t count = (length + 7) / 8;
  const auto& upper = m_classes.UpperTable();
  if (m_classes.IsDoubleByte()) {
    const std::string folded = m_classes.Fold(std::string_view(reinterpret_cast<const char*>(word), length));
    std::fill(chunks, chunks + count, 0);
    for (std::size_t k = 0; k < length; ++k)
      chunks[k / 8] |= std::uint64_t{static_cast<unsigned char>(folded[k])} << (8 * (k % 8));
  } else {
    for (std::size_t c = 0; c < count; ++c) {
      const unsigned char* s = word + 8 * c;
      const std::size_t m = std::min<std::size_t>(8, length - 8 * c);
      std::uint64_t v = 0;
      if (m_bAsciiFold && readLimit - s >= 8) {
        std::memcpy(&v, s, 8);
        if (m < 8) v &= (std::uint64_t{1} << (8 * m)) - 1;
      } else {
        for (std::size_t k = 0; k < m; ++k) v |= std::uint64_t{s[k]} << (8 * k);
      }
      if (m_bAsciiFold && (v & 0x8080808080808080ull) == 0) {
        v = AsciiUpper(v);
      } else {
        std::uint64_t f = 0;
        for (std::size_t k = 0; k < m; ++k) f |= std::uint64_t{upper[(v >> (8 * k)) & 0xFF]} << (8 * k);
        v = f;
      }
      chunks[c] = v;
    }
  }
  std::uint64_t hash = 0x9E3779B97F4A7C15ull ^ (length * 0xFF51AFD7ED558CCDull);
  for (std::size_t c = 0; c < count; ++c) hash = Mix(hash ^ chunks[c]);

  Index& index = *m_pIndex;
  const std::size_t mask = index.m_slots.size() - 1;
  const std::uint32_t want = Index::Meta(hash, length, 0);
  std::size_t i = hash & mask;
  for (;; i = (i + 1) & mask) {
    const Index::Slot& slot = index.m_slots[i];
    if (slot.m_nEntry == 0) break;
    if ((slot.m_nMeta & ~0xFFu) != want || slot.m_nFirst != chunks[0]) continue;
    const std::uint32_t e = slot.m_nEntry - 1;
    const auto stored = index.m_chunks.begin() + static_cast<std::ptrdiff_t>(m_arrEntries[e].m_nChunks);
    if (count > 1 && !std::equal(chunks + 1, chunks + count, stored + 1)) continue;
    ++m_arrCounts[e];
    const std::uint32_t bucket = slot.m_nMeta & 0xFF;
    if (bucket != kUnlisted && m_arrBuckets[bucket].size() == kBucketReorderSize) Reorder(bucket, e, true);
    return;
  }

  // A new word: its bucket is that of its upper-cased first letter, or the one after Z
  // for another letter of the encoding. Words starting with anything else are kept
  // too (so the next look-up is as quick) but never listed.
  std::uint32_t bucket = kUnlisted;
  const auto first = static_cast<unsigned char>(chunks[0] & 0xFF);
  if (first >= 'A' && first <= 'Z') bucket = first - 'A';
  else if (m_classes.StartsWithOtherLetter(std::string_view(reinterpret_cast<const char*>(word), length)))
    bucket = kLetterBuckets - 1;
  const auto e = static_cast<std::uint32_t>(m_arrEntries.size());
  m_arrEntries.push_back({m_strArena.size(), index.m_chunks.size(), static_cast<std::uint32_t>(length), bucket, 0});
  m_arrCounts.push_back(1);
  m_strArena.append(reinterpret_cast<const char*>(word), length);
  index.m_chunks.insert(index.m_chunks.end(), chunks, chunks + count);
  index.m_hashes.push_back(hash);
  index.m_slots[i] = {chunks[0], e + 1, Index::Meta(hash, length, bucket)};
  if (m_arrEntries.size() * 4 > index.m_slots.size() * 3) index.Grow(m_arrEntries);
  if (bucket == kUnlisted) return;
  auto& list = m_arrBuckets[bucket];
  m_arrEntries[e].m_nPos = static_cast<std::uint32_t>(list.size());
  list.push_back(e);
  ++m_nUnique;
  if (list.size() == kBucketReorderSize) Reorder(bucket, e, false);
}

void CUniqueWordCounter::Reorder(std::uint32_t bucket, std::uint32_t entry, bool bFound) {
  // A bucket of exactly 200 entries is sorted by count at every word filed in it, which
  // brings frequent words forward. Sorting a bucket in order changes nothing, so the
  // sort runs only when the count just raised passed its neighbour's.
  auto& list = m_arrBuckets[bucket];
  const std::uint32_t pos = m_arrEntries[entry].m_nPos;
  if (bFound && (pos == 0 || m_arrCounts[list[pos - 1]] >= m_arrCounts[entry])) return;
  ShellSort(list, [&](std::uint32_t a, std::uint32_t b) {
    const std::int64_t ca = m_arrCounts[a], cb = m_arrCounts[b];
    return ca < cb ? 1 : ca > cb ? -1 : 0;
  });
  for (std::uint32_t k = 0; k < list.size(); ++k) m_arrEntries[list[k]].m_nPos = k;
}

// ---- Double-byte tokenizer ----

bool CUniqueWordCounter::IsDoubleByteCharacter(unsigned char first, unsigned char second) {
  const unsigned m = m_options.m_bBig5 ? 0x40 : 0xA1;
  const bool inRange = (first >= 0xA4 && first <= 0xF9 && second >= m && second <= 0xFE) ||
                       (first >= 0x80 && second >= 0x80);
  if (!inRange) return false;
  // Only a pair that the code set reads as one character and writes back the same.
  signed char& valid = m_arrPairValid[first << 8 | second];
  if (valid < 0) {
    const char pair[2] = {static_cast<char>(first), static_cast<char>(second)};
    const CCodePage& cp = *m_classes.Page();
    const std::u16string unicode = cp.ToUnicode(std::string_view(pair, 2));
    valid = unicode.size() == 1 && unicode[0] != 0xFFFD && cp.FromUnicode(unicode) == std::string_view(pair, 2);
  }
  return valid == 1;
}

void CUniqueWordCounter::TokenizeDoubleByte(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  for (std::size_t from = 0; from < n;) {
    const std::size_t to = std::min(n, from + kStep);
    std::size_t i = from;
    for (; i < to; ++i) {
      const unsigned char a = p[i];
      // Everything else, ASCII words included, is passed over.
      if (a < 0x80 || i + 1 >= n || !IsDoubleByteCharacter(a, p[i + 1])) continue;
      const unsigned pair = a << 8 | p[i + 1];
      ++m_nTotal;
      std::uint32_t& slot = m_arrPairIndex[pair];
      if (slot != 0) {
        ++m_arrCounts[slot - 1];
      } else {
        m_arrEntries.push_back({m_strArena.size(), 0, 2, 0, 0});
        m_arrCounts.push_back(1);
        m_strArena.append(reinterpret_cast<const char*>(p + i), 2);
        slot = static_cast<std::uint32_t>(m_arrEntries.size());
        ++m_nUnique;
      }
      ++i;
    }
    from = i;  // a pair may reach one byte past the step
    if (!ReportProgress(m_observer.m_fnProgress, from, n)) {
      m_bStopped = true;
      return;
    }
  }
}

// ---- Lists ----

CUniqueWord CUniqueWordCounter::Row(std::uint32_t entry) const {
  const Entry& e = m_arrEntries[entry];
  return {m_strArena.substr(e.m_nSpelling, e.m_nLength), m_arrCounts[entry]};
}

std::vector<CUniqueWord> CUniqueWordCounter::Bucket(std::size_t index) const {
  std::vector<CUniqueWord> rows;
  if (index >= kLetterBuckets) return rows;
  for (std::uint32_t e : m_arrBuckets[index]) rows.push_back(Row(e));
  return rows;
}

CUniqueWordList CUniqueWordCounter::List() const {
  CUniqueWordList list;
  list.m_nTotal = m_nTotal;
  list.m_arrRows.reserve(m_nUnique);
  if (m_options.m_bDoubleByte) {
    for (std::uint32_t e = 0; e < m_arrEntries.size(); ++e) list.m_arrRows.push_back(Row(e));
  } else {
    for (const auto& bucket : m_arrBuckets)
      for (std::uint32_t e : bucket) list.m_arrRows.push_back(Row(e));
  }
  return list;
}

void SortByFrequency(std::vector<CUniqueWord>& rows) {
  std::stable_sort(rows.begin(), rows.end(),
                   [](const CUniqueWord& a, const CUniqueWord& b) { return a.m_nCount > b.m_nCount; });
}

void SortAlphabetically(std::vector<CUniqueWord>& rows, const CTextClasses& classes) {
  // Fold once per row, not once per comparison.
  std::vector<std::pair<std::string, std::size_t>> keys;
  keys.reserve(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) keys.emplace_back(classes.Fold(rows[i].m_strWord), i);
  std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<CUniqueWord> sorted;
  sorted.reserve(rows.size());
  for (const auto& key : keys) sorted.push_back(std::move(rows[key.second]));
  rows.swap(sorted);
}

std::string UniqueWordFileText(const CUniqueWordList& list) {
  const std::string total = list.TotalText();
  std::string out = PrintfFormat("Unique words = %-4d \tTotal words = %s\n", static_cast<int>(list.m_arrRows.size()),
                                total.c_str());
  for (std::size_t i = 0; i < list.m_arrRows.size(); ++i) {
    const CUniqueWord& row = list.m_arrRows[i];
    out += PrintfFormat("%-4d%20s\t%lld\t%s\n", static_cast<int>(i + 1), row.m_strWord.c_str(),
                       static_cast<long long>(row.m_nCount), list.PercentText(row.m_nCount).c_str());
  }
  return out;
}

Expected<std::string> SaveUniqueWordList(const std::string& path, const CUniqueWordList& list) {
  using Result = Expected<std::string>;
  const std::string text = UniqueWordFileText(list);
  auto writeAll = [&text](int fd) {
    for (std::size_t done = 0; done < text.size();) {
      const ::ssize_t n = ::write(fd, text.data() + done, text.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      done += static_cast<std::size_t>(n);
    }
    return true;
  };
  struct stat st {};
  const bool exists = ::stat(path.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) {
    // A device or pipe is written straight and never removed, whatever happens.
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return Result::Failure("File error");
    const bool written = writeAll(fd);
    if (::close(fd) != 0 || !written) return Result::Failure("File error");
    return path;
  }
  // Written aside and put in place whole: a failed write leaves an existing list as it was.
  std::string temp = path + ".partXXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return Result::Failure("File error");
  ::fchmod(fd, exists ? (st.st_mode & 07777) : 0644);
  const bool written = writeAll(fd);
  if (::close(fd) != 0 || !written || ::rename(temp.c_str(), path.c_str()) != 0) {
    ::unlink(temp.c_str());
    return Result::Failure("File error");
  }
  return path;
}

}  // namespace tessary

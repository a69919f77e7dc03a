#include "stats/unique_words.h"

#include <algorithm>
#include <charconv>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>


#include "engine/file_batches.h"
#include "engine/file_reader.h"
#include "engine/text_file.h"
#include "stats/range_word_counter.h"
#include "stats/shell_sort.h"
#include "stats/spelling_sets.h"
#include "stats/stats_format.h"

namespace tessary {

namespace {

constexpr std::size_t kStep = 1 << 20;      // bytes between progress reports
constexpr std::uint8_t kUnlisted = 0xFF;    // bucket of words that count but are not listed
// The first place at or after `at` just after a space, tab, CR or LF of the file, or
// its size.
std::uint64_t FileWordCut(const CFileReader& reader, std::uint64_t at) {
  char buffer[4096];
  for (auto from = static_cast<std::int64_t>(at) - 1; from < reader.Size();) {
    const std::size_t got = reader.ReadAt(from, buffer, sizeof buffer);
    if (got == 0) break;
    for (std::size_t i = 0; i < got; ++i)
      if (IsWordWhite(static_cast<unsigned char>(buffer[i]))) return static_cast<std::uint64_t>(from) + i + 1;
    from += static_cast<std::int64_t>(got);
  }
  return static_cast<std::uint64_t>(reader.Size());
}

}  // namespace

// A range of a byte text counted on its own: the words in the order first met there.
struct CUniqueWordCounter::Range {
  std::uint64_t m_nFrom = 0, m_nTo = 0;  // in the text
  std::size_t m_nLength = 0;              // of its bytes counted (less where the text ends)
  CFoldedWords m_words;
  std::int64_t m_nTotal = 0;
  bool m_bDone = false;      // counted to its end (not stopped)
  bool m_bTextEnds = false;  // the text ends in it: the ranges after it are no text
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
    : m_options(options),
      m_classes(std::move(classes)),
      m_observer(std::move(observer)),
      m_folder(m_classes),
      m_byteClasses(m_classes) {
  if (m_options.m_bDoubleByte) {
    m_arrPairIndex.assign(1 << 16, 0);
    m_arrPairValid.assign(1 << 16, -1);
  }
}

CUniqueWordCounter::~CUniqueWordCounter() = default;

std::size_t CUniqueWordCounter::UniqueCount() const { return m_nUnique.load(std::memory_order_relaxed); }

void CUniqueWordCounter::SetRanges(std::size_t rangeBytes, unsigned threads) {
  m_nRangeBytes = std::max<std::size_t>(rangeBytes, 1);
  m_nThreads = threads;
}

void CUniqueWordCounter::AddText(std::string_view text, const std::string& title) {
  if (m_bStopped) return;
  if (m_observer.m_fnSource) m_observer.m_fnSource(title, text.size());
  if (m_options.m_bDoubleByte) TokenizeDoubleByte(text);
  else if (text.size() > m_nRangeBytes) TokenizeText(text);
  else TokenizeBytes(text);
}

void CUniqueWordCounter::AddFile(const std::string& path) {
  if (m_bStopped) return;
  if (!m_options.m_bDoubleByte) {
    auto fd = OpenRegularFile(path);
    if (!fd) {
      m_arrSkipped.push_back(fd.Error());
      return;
    }
    CFileReader reader(*fd, path);
    if (reader.Size() > static_cast<std::int64_t>(m_nRangeBytes)) {
      AddLongFile(reader, path);
      ::close(*fd);
      return;
    }
    ::close(*fd);
  }
  auto file = CTextFile::Open(path);
  if (!file) {
    m_arrSkipped.push_back(file.Error());
    return;
  }
  // Carriage returns end words like line feeds, so the text need not be converted.
  AddText((*file)->RawText(), path);
  if (!(*file)->Problem().empty()) m_arrSkipped.push_back((*file)->Problem());
}

void CUniqueWordCounter::AddFiles(const std::vector<std::string>& paths) {
  // Short files go side by side a batch at a time (up to 64 files or eight ranges'
  // bytes, so that no more than a batch is held); a long one is cut into ranges alone.
  const bool sideBySide = !m_options.m_bDoubleByte && m_nThreads != 1 && (m_nThreads != 0 || WorkerThreads() > 1);
  ForEachFileBatch(
      paths, sideBySide, m_nRangeBytes, 8 * std::uint64_t{m_nRangeBytes}, [this] { return m_bStopped; },
      [this](const std::string& path) { AddFile(path); },
      [this](const std::vector<std::string>& batch, std::uint64_t bytes) { AddShortFiles(batch, bytes); });
}

void CUniqueWordCounter::AddShortFiles(const std::vector<std::string>& paths, std::uint64_t bytes) {
  // Each file is read and counted as one range on a worker thread, and added in order
  // with its title, its problem and, for a bucket at 200 entries, its words again.
  struct ShortFile {
    std::unique_ptr<CTextFile> m_pFile;
    std::string m_strError;
    Range m_range;
    std::size_t m_nIndex = 0;
  };
  CSharedProgress progress(m_observer.m_fnProgress, bytes);
  COrderedMerge<ShortFile> merger(paths.size());
  bool complete = true;
  // The files added, told to the observer on this thread once they all are: the
  // merges run on whichever thread finished a file.
  std::vector<std::pair<std::size_t, std::size_t>> added;
  RunParallel(
      paths.size(),
      [&](std::size_t k) {
        auto file = std::make_unique<ShortFile>();
        file->m_nIndex = k;
        if (!progress.Stopped()) {
          if (auto opened = CTextFile::Open(paths[k])) {
            file->m_pFile = std::move(*opened);
            const std::string_view text = file->m_pFile->RawText();
            file->m_range.m_nTo = text.size();
            CountRange(file->m_range, text, progress);
          } else {
            file->m_strError = opened.Error();
            file->m_range.m_bDone = true;
          }
        }
        merger.Finished(k, std::move(file), [&](const ShortFile& next) {
          // A stopped file ends the list: what came before it is kept, in order.
          if (!complete || !next.m_range.m_bDone) {
            complete = false;
            return;
          }
          if (!next.m_pFile) {
            m_arrSkipped.push_back(next.m_strError);
            return;
          }
          const std::string_view text = next.m_pFile->RawText();
          added.emplace_back(next.m_nIndex, text.size());
          MergeRange(next.m_range, [&](std::uint64_t from, std::uint64_t to, std::string&, bool& bEnds) {
            bEnds = true;
            return text.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
          });
          if (!next.m_pFile->Problem().empty()) m_arrSkipped.push_back(next.m_pFile->Problem());
        });
      },
      m_nThreads);
  if (m_observer.m_fnSource)
    for (const auto& [index, size] : added) m_observer.m_fnSource(paths[index], size);
  if (!complete || progress.Stopped()) m_bStopped = true;
}

void CUniqueWordCounter::AddLongFile(CFileReader& reader, const std::string& path) {
  // Each range is read when a worker thread counts it, never mapped and never held
  // whole. Text mode without converting: carriage returns end words like line feeds,
  // and a Ctrl-Z or a range read short ends the text there.
  const auto size = static_cast<std::uint64_t>(reader.Size());
  if (m_observer.m_fnSource) m_observer.m_fnSource(path, size);
  const std::vector<std::uint64_t> cuts = RangeCuts(size, [&](std::uint64_t at) { return FileWordCut(reader, at); });
  std::uint64_t readTo = 0;
  std::mutex lock;
  TokenizeRanges(cuts, [&](std::uint64_t from, std::uint64_t to, std::string& buffer, bool& bEnds) {
    buffer.resize(static_cast<std::size_t>(to - from));
    const std::size_t got = reader.ReadAt(static_cast<std::int64_t>(from), buffer.data(), buffer.size());
    {
      std::lock_guard<std::mutex> guard(lock);
      readTo = std::max(readTo, from + got);
    }
    std::string_view bytes(buffer.data(), got);
    bEnds = got < buffer.size() || to == size;
    if (const void* z = std::memchr(bytes.data(), 0x1A, bytes.size())) {
      bytes = bytes.substr(0, static_cast<std::size_t>(static_cast<const char*>(z) - bytes.data()));
      bEnds = true;
    }
    return bytes;
  });
  reader.EndAt(static_cast<std::int64_t>(readTo));
  if (!reader.Problem().empty()) m_arrSkipped.push_back(reader.Problem());
}

// ---- Byte texts, word by word ----

void CUniqueWordCounter::TokenizeBytes(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  const CByteWordRun run = SplitByteWords(
      m_byteClasses, p, 0, n, n, kStep,
      [this](const unsigned char* w, std::size_t length, const unsigned char* limit, std::size_t, std::size_t) {
        StoreWord(w, length, limit);
      },
      [&](std::size_t i) { return ReportProgress(m_observer.m_fnProgress, i, n); });
  AddTotal(run.m_nTotal);
  if (run.m_bStopped || !ReportProgress(m_observer.m_fnProgress, n, n)) m_bStopped = true;
}

std::uint8_t CUniqueWordCounter::BucketOf(const CFoldedKey& key, std::string_view spelling) const {
  // The bucket of the upper-cased first letter, or the one after Z for another letter
  // of the encoding. Words starting with anything else are kept too (so the next
  // look-up is as quick) but never listed.
  const auto first = static_cast<unsigned char>(key.m_arrChunks[0] & 0xFF);
  if (first >= 'A' && first <= 'Z') return static_cast<std::uint8_t>(first - 'A');
  if (m_classes.StartsWithOtherLetter(spelling)) return kLetterBuckets - 1;
  return kUnlisted;
}

std::uint32_t CUniqueWordCounter::AddWord(const CFoldedKey& key, const unsigned char* spelling, std::uint8_t bucket,
                                          std::int64_t count) {
  const std::uint32_t e = m_words.Add(key, spelling, bucket, count);
  m_arrPos.push_back(0);
  if (bucket == kUnlisted) return e;
  auto& list = m_arrBuckets[bucket];
  m_arrPos[e] = static_cast<std::uint32_t>(list.size());
  list.push_back(e);
  AddUnique();
  return e;
}

void CUniqueWordCounter::StoreWord(const unsigned char* word, std::size_t length, const unsigned char* readLimit) {
  // A spelling met before is found in the cache with its entry and bucket, which never
  // change once given.
  if (!CSpellingSets::Fits(word, length, readLimit)) {
    StoreSpelling(word, length, readLimit);
    return;
  }
  if (!m_pSpellings) m_pSpellings = std::make_unique<CSpellingSets>();
  std::uint64_t head, tail;
  CSpellingSets::Key(word, length, head, tail);
  CSpellingSets::CWay* ways = m_pSpellings->SetOf(head, tail).m_arrWays;
  if (!ways[0].Is(head, tail)) {
    if (ways[1].Is(head, tail)) {
      std::swap(ways[0], ways[1]);
    } else {
      ways[1] = ways[0];
      const std::uint32_t e = StoreSpelling(word, length, readLimit);
      ways[0] = {head, tail, e, m_words.Mark(e)};
      return;
    }
  }
  CountFound(ways[0].m_nEntry, static_cast<std::uint8_t>(ways[0].m_nValue));
}

void CUniqueWordCounter::CountFound(std::uint32_t entry, std::uint8_t bucket) {
  ++m_words.Count(entry);
  if (bucket != kUnlisted && m_arrBuckets[bucket].size() == kBucketReorderSize) Reorder(bucket, entry, true);
}

std::uint32_t CUniqueWordCounter::StoreSpelling(const unsigned char* word, std::size_t length,
                                                const unsigned char* readLimit) {
  CFoldedKey key;
  m_folder.Fold(word, length, readLimit, key);
  std::uint8_t bucket = kUnlisted;
  const std::int64_t found = m_words.Find(key, &bucket);
  if (found >= 0) {
    CountFound(static_cast<std::uint32_t>(found), bucket);
    return static_cast<std::uint32_t>(found);
  }
  bucket = BucketOf(key, std::string_view(reinterpret_cast<const char*>(word), length));
  const std::uint32_t e = AddWord(key, word, bucket, 1);
  if (bucket != kUnlisted && m_arrBuckets[bucket].size() == kBucketReorderSize) Reorder(bucket, e, false);
  return e;
}

void CUniqueWordCounter::Reorder(std::uint32_t bucket, std::uint32_t entry, bool bFound) {
  // A bucket of exactly 200 entries is sorted by count at every word filed in it, which
  // brings frequent words forward. Sorting a bucket in order changes nothing, so the
  // sort runs only when the count just raised passed its neighbour's.
  auto& list = m_arrBuckets[bucket];
  const std::uint32_t pos = m_arrPos[entry];
  if (bFound && (pos == 0 || m_words.Count(list[pos - 1]) >= m_words.Count(entry))) return;
  ShellSort(list, [&](std::uint32_t a, std::uint32_t b) {
    const std::int64_t ca = m_words.Count(a), cb = m_words.Count(b);
    return ca < cb ? 1 : ca > cb ? -1 : 0;
  });
  for (std::uint32_t k = 0; k < list.size(); ++k) m_arrPos[list[k]] = k;
}

// ---- Byte texts in ranges ----

std::vector<std::uint64_t> CUniqueWordCounter::RangeCuts(std::uint64_t size,
                                                         const std::function<std::uint64_t(std::uint64_t)>& cutAfter) const {
  // The first ranges are short and grow to the full size: a range during which a
  // bucket reaches 200 entries has that bucket's words filed again one by one, and
  // that happens early in a text. The last ones stay full: a range's first meeting of
  // each word costs more than the threads' wait at the end.
  std::vector<std::uint64_t> cuts{0};
  for (std::size_t k = 0;; ++k) {
    const std::uint64_t step = std::max<std::uint64_t>(m_nRangeBytes >> (k < 5 ? 5 - k : 0), 1);
    const std::uint64_t at = cuts.back() + step;
    if (at >= size) break;
    const std::uint64_t cut = cutAfter(at);
    if (cut >= size) break;
    cuts.push_back(cut);
  }
  cuts.push_back(size);
  return cuts;
}

void CUniqueWordCounter::TokenizeText(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  TokenizeRanges(RangeCuts(n, [&](std::uint64_t at) { return WordCutAfter(p, static_cast<std::size_t>(at), n); }),
                 [&](std::uint64_t from, std::uint64_t to, std::string&, bool& bEnds) {
                   bEnds = to == n;
                   return text.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
                 });
}

void CUniqueWordCounter::TokenizeRanges(const std::vector<std::uint64_t>& cuts, const RangeBytes& bytes) {
  const std::size_t count = cuts.size() - 1;
  const std::uint64_t total = cuts.back();
  // Ranges are added in order by whichever thread finishes the next one; ranges past
  // the one the text ends in are not counted. Buffers are kept for reuse: fresh ones
  // would cost a page fault a page.
  CSharedProgress progress(m_observer.m_fnProgress, total);
  COrderedMerge<Range> merger(count);
  std::vector<std::string> buffers;
  std::mutex lock;
  std::atomic<std::size_t> endsIn{count};
  bool complete = true, ended = false;
  RunParallel(
      count,
      [&](std::size_t k) {
        auto range = std::make_unique<Range>();
        range->m_nFrom = cuts[k];
        range->m_nTo = cuts[k + 1];
        if (!progress.Stopped() && k <= endsIn.load()) {
          std::string buffer;
          {
            std::lock_guard<std::mutex> guard(lock);
            if (!buffers.empty()) buffer = std::move(buffers.back()), buffers.pop_back();
          }
          const std::string_view text = bytes(range->m_nFrom, range->m_nTo, buffer, range->m_bTextEnds);
          if (range->m_bTextEnds) {
            std::size_t was = endsIn.load();
            while (k < was && !endsIn.compare_exchange_weak(was, k)) {}
          }
          CountRange(*range, text, progress);
          std::lock_guard<std::mutex> guard(lock);
          buffers.push_back(std::move(buffer));
        }
        merger.Finished(k, std::move(range), [&](const Range& next) {
          if (ended) return;
          // A stopped range ends the list: what came before it is kept, in order.
          if (complete && next.m_bDone) MergeRange(next, bytes);
          else complete = false;
          ended = next.m_bTextEnds;
        });
      },
      m_nThreads);
  if (!complete || progress.Stopped() || !ReportProgress(m_observer.m_fnProgress, total, total)) m_bStopped = true;
}

void CUniqueWordCounter::CountRange(Range& range, std::string_view text, CSharedProgress& progress) const {
  // The range ends in white space or where the text ends, so it splits on its own as
  // it would within the text.
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  CRangeWordCounter counter(m_folder, range.m_words);
  std::size_t reported = 0;
  const CByteWordRun run = SplitByteWords(
      m_byteClasses, p, 0, n, n, kStep,
      [&](const unsigned char* w, std::size_t length, const unsigned char* limit, std::size_t, std::size_t) {
        counter.Add(w, length, limit);
      },
      [&](std::size_t i) {
        progress.Add(i - reported);
        reported = i;
        return !progress.Stopped();
      });
  counter.Finish();
  progress.Add(range.m_nTo - range.m_nFrom - reported);
  range.m_nLength = n;
  range.m_nTotal = run.m_nTotal;
  range.m_bDone = !run.m_bStopped;
}

void CUniqueWordCounter::MergeRange(const Range& range, const RangeBytes& bytes) {
  // Where each word of the range stands in the list, and whether a bucket would stand
  // at 200 entries (and so be re-ordered as counts grow) while the range is added.
  const CFoldedWords& words = range.m_words;
  std::vector<std::int64_t> found(words.Size());
  std::vector<std::uint8_t> buckets(words.Size());
  std::size_t added[kLetterBuckets] = {};
  bool met[kLetterBuckets] = {};
  CFoldedKey key;
  constexpr std::uint32_t kAhead = 16;  // look-ups whose slots are on their way
  for (std::uint32_t e = 0; e < words.Size(); ++e) {
    if (e + kAhead < words.Size()) m_words.Prefetch(words.HashOf(e + kAhead));
    words.KeyOf(e, key);
    std::uint8_t bucket = kUnlisted;
    found[e] = m_words.Find(key, &bucket);
    if (found[e] < 0) bucket = BucketOf(key, words.Spelling(e));
    buckets[e] = bucket;
    if (bucket == kUnlisted) continue;
    met[bucket] = true;
    if (found[e] < 0) ++added[bucket];
  }
  // Such a bucket's words are filed again one by one, in the order of the text: its
  // order rests on every count as it grew. A word's bucket follows from its first
  // byte, upper-cased: A to Z, or the last bucket (or none) for any other.
  bool replay[kLetterBuckets] = {};
  bool anyReplay = false;
  for (std::size_t b = 0; b < kLetterBuckets; ++b) {
    const std::size_t size = m_arrBuckets[b].size();
    replay[b] = (size < kBucketReorderSize && size + added[b] >= kBucketReorderSize) || (size == kBucketReorderSize && met[b]);
    anyReplay = anyReplay || replay[b];
  }
  auto replayed = [&](unsigned char first) {
    const unsigned char upper = m_classes.Upper(first);
    return replay[upper >= 'A' && upper <= 'Z' ? upper - 'A' : kLetterBuckets - 1];
  };
  if (anyReplay) {
    std::string buffer;
    bool bEnds = false;
    const std::string_view text = bytes(range.m_nFrom, range.m_nTo, buffer, bEnds).substr(0, range.m_nLength);
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    SplitByteWords(
        m_byteClasses, p, 0, text.size(), text.size(), text.size() + 1,
        [&](const unsigned char* w, std::size_t length, const unsigned char* limit, std::size_t, std::size_t) {
          if (replayed(w[0])) StoreWord(w, length, limit);
        },
        [](std::size_t) { return true; });
  }
  for (std::uint32_t e = 0; e < words.Size(); ++e) {
    if (anyReplay && replayed(static_cast<unsigned char>(words.Spelling(e)[0]))) continue;
    if (found[e] >= 0) {
      m_words.Count(static_cast<std::uint32_t>(found[e])) += words.Count(e);
      continue;
    }
    words.KeyOf(e, key);
    const std::string_view spelling = words.Spelling(e);
    AddWord(key, reinterpret_cast<const unsigned char*>(spelling.data()), buckets[e], words.Count(e));
  }
  AddTotal(range.m_nTotal);
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
    std::int64_t words = 0;
    for (; i < to; ++i) {
      const unsigned char a = p[i];
      // Everything else, ASCII words included, is passed over.
      if (a < 0x80 || i + 1 >= n || !IsDoubleByteCharacter(a, p[i + 1])) continue;
      const unsigned pair = a << 8 | p[i + 1];
      ++words;
      std::uint32_t& slot = m_arrPairIndex[pair];
      if (slot != 0) {
        ++m_arrPairCounts[slot - 1];
      } else {
        m_arrPairs.push_back(static_cast<std::uint16_t>(pair));
        m_arrPairCounts.push_back(1);
        slot = static_cast<std::uint32_t>(m_arrPairs.size());
        AddUnique();
      }
      ++i;
    }
    from = i;  // a pair may reach one byte past the step
    AddTotal(words);
    if (!ReportProgress(m_observer.m_fnProgress, from, n)) {
      m_bStopped = true;
      return;
    }
  }
}

// ---- Lists ----

CUniqueWord CUniqueWordCounter::Row(std::uint32_t entry) const {
  if (m_options.m_bDoubleByte) {
    const std::uint16_t pair = m_arrPairs[entry];
    return {std::string{static_cast<char>(pair >> 8), static_cast<char>(pair & 0xFF)}, m_arrPairCounts[entry]};
  }
  return {std::string(m_words.Spelling(entry)), m_words.Count(entry)};
}

std::vector<CUniqueWord> CUniqueWordCounter::Bucket(std::size_t index) const {
  std::vector<CUniqueWord> rows;
  if (index >= kLetterBuckets) return rows;
  for (std::uint32_t e : m_arrBuckets[index]) rows.push_back(Row(e));
  return rows;
}

CUniqueWordList CUniqueWordCounter::List() const {
  CUniqueWordList list;
  list.m_nTotal = Total();
  list.m_arrRows.reserve(UniqueCount());
  if (m_options.m_bDoubleByte) {
    for (std::uint32_t e = 0; e < m_arrPairs.size(); ++e) list.m_arrRows.push_back(Row(e));
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
  // Row by row as "%-4d%20s\t%lld\t%s\n" would write it, without a printf call a row:
  // the list of a big corpus has tens of thousands.
  const std::string total = list.TotalText();
  std::string out = PrintfFormat("Unique words = %-4d \tTotal words = %s\n", static_cast<int>(list.m_arrRows.size()),
                                total.c_str());
  out.reserve(out.size() + list.m_arrRows.size() * 48);
  char number[32];
  for (std::size_t i = 0; i < list.m_arrRows.size(); ++i) {
    const CUniqueWord& row = list.m_arrRows[i];
    const char* end = std::to_chars(number, number + sizeof number, static_cast<int>(i + 1)).ptr;
    out.append(number, static_cast<std::size_t>(end - number));
    if (end - number < 4) out.append(static_cast<std::size_t>(4 - (end - number)), ' ');
    if (row.m_strWord.size() < 20) out.append(20 - row.m_strWord.size(), ' ');
    out += row.m_strWord;
    out += '\t';
    end = std::to_chars(number, number + sizeof number, static_cast<long long>(row.m_nCount)).ptr;
    out.append(number, static_cast<std::size_t>(end - number));
    out += '\t';
    out += list.PercentText(row.m_nCount);
    out += '\n';
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

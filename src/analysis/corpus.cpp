#include "analysis/corpus.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <utility>

#include <unistd.h>

#include "engine/file_batches.h"
#include "engine/file_reader.h"
#include "engine/text_file.h"
#include "engine/workers.h"
#include "stats/byte_words.h"
#include "stats/unique_words.h"

namespace tessary {

namespace {

constexpr std::uint64_t kStep = 1 << 20;  // bytes between progress reports

// Space, tab, CR or LF, tested without a branch.
bool IsWhite(unsigned char c) { return ((c <= ' ') & (0x100002600ull >> (c & 63))) != 0; }

// UTF-8 of a 16-bit text, with the UTF-16 offset of every UTF-8 byte (and of the end).
std::string ToUtf8WithMap(std::u16string_view text, std::vector<std::uint64_t>& map) {
  std::string out;
  out.reserve(text.size());
  map.clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    const std::size_t at = i;
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    else if (c >= 0xD800 && c < 0xE000)
      c = 0xFFFD;
    char buf[4];
    int n = 0;
    if (c < 0x80) buf[n++] = static_cast<char>(c);
    else if (c < 0x800) buf[n++] = static_cast<char>(0xC0 | c >> 6), buf[n++] = static_cast<char>(0x80 | (c & 0x3F));
    else if (c < 0x10000)
      buf[n++] = static_cast<char>(0xE0 | c >> 12), buf[n++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
      buf[n++] = static_cast<char>(0x80 | (c & 0x3F));
    else
      buf[n++] = static_cast<char>(0xF0 | c >> 18), buf[n++] = static_cast<char>(0x80 | ((c >> 12) & 0x3F)),
      buf[n++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F)), buf[n++] = static_cast<char>(0x80 | (c & 0x3F));
    out.append(buf, n);
    map.insert(map.end(), n, at);
  }
  map.push_back(text.size());
  return out;
}

// 8 bytes of a word from p on, zero-padded past its n bytes. A padded word (one with
// room for 8 bytes read past each place) is read in one load.
[[gnu::always_inline]] inline std::uint64_t Chunk(const char* p, std::size_t n, bool bPadded) {
  std::uint64_t x = 0;
  if (bPadded) {
    std::memcpy(&x, p, 8);
    x &= ~std::uint64_t{0} >> (64 - 8 * std::min<std::size_t>(n, 8));  // n is at least 1
  } else {
    std::memcpy(&x, p, std::min<std::size_t>(n, 8));
  }
  return x;
}

[[gnu::always_inline]] inline std::uint64_t HashOf(std::string_view s, std::uint64_t head, bool bPadded) {
  std::uint64_t h = (head ^ s.size()) * 0x9E3779B97F4A7C15ull;
  for (std::size_t k = 8; k < s.size(); k += 8)
    h = (h ^ (h >> 29) ^ Chunk(s.data() + k, s.size() - k, bPadded)) * 0xBF58476D1CE4E5B9ull;
  // Every bit of the word reaches the low bits the table takes.
  h ^= h >> 33, h *= 0xFF51AFD7ED558CCDull, h ^= h >> 33, h *= 0xC4CEB9FE1A85EC53ull;
  return h ^ (h >> 33);
}

// A text in memory handed out in pieces, as a file is read.
struct CMemorySource {
  std::string_view m_text;
  std::size_t m_nAt = 0;
  std::size_t Read(char* out, std::size_t room) {
    const std::size_t n = std::min(room, m_text.size() - m_nAt);
    std::memcpy(out, m_text.data() + m_nAt, n);
    m_nAt += n;
    return n;
  }
  bool Ended() const { return m_nAt == m_text.size(); }
  std::uint64_t Position() const { return m_nAt; }
};

// A file's text in text mode, read through a bounded buffer.
struct CFileSource {
  CFileReader& m_file;
  CTextModeReader m_text;
  std::size_t Read(char* out, std::size_t room) { return m_text.Read(out, room); }
  bool Ended() const { return m_text.Ended(); }
  std::uint64_t Position() const { return static_cast<std::uint64_t>(m_file.Position()); }
};

}  // namespace

// A range counter's record of the range it counts: the words met there, and what its
// neighbours need to complete the spans over its edges.
struct CAnalysisCorpus::CRangeEdges {
  std::vector<std::uint32_t> m_arrPlace;  // per entry met: its place in the order met
  std::size_t m_nLead = 0;                // where the range begins in its window
  // Per hit with fewer words before it in the range than the left span: how many more.
  std::vector<int> m_arrLeftShort;
  // The first words (start in the window, entry): all that start within the key's
  // length of the range's start, and as many as the right span past that.
  std::vector<std::pair<std::uint64_t, std::uint32_t>> m_arrFirst;
  std::size_t m_nFirstPastKey = 0;
};

// One range of a file, counted: its words in the order first met there, and its edges.
struct CAnalysisCorpus::CRange {
  // Per word met, in that order: the counter's entry, and for an entry new to the
  // counter its folded key and spelling (empty for the others: they were merged from
  // the counter's earlier ranges, and their entries in the corpus are known).
  std::vector<std::uint32_t> m_arrLocal;
  std::vector<std::string> m_arrFolded, m_arrRaw;
  std::size_t m_nCounter = 0;  // which counter counted it
  std::vector<std::int64_t> m_arrCount, m_arrLeft, m_arrRight;
  std::vector<int> m_arrLeftShort;
  std::vector<std::pair<std::uint64_t, std::uint32_t>> m_arrFirst;  // start in the text, word
  std::vector<std::uint32_t> m_arrLast;  // its last words (up to the ring's size), oldest first
  std::vector<CPending> m_arrOpen;       // spans still open at its end (ends in the text)
  std::int64_t m_nWords = 0, m_nTokens = 0, m_nHits = 0, m_nSpanWords = 0;
  std::uint64_t m_nLength = 0;  // of its text (text mode)
  bool m_bTextEnds = false;     // a Ctrl-Z ends the text in it
  bool m_bDone = false;         // counted to its end (not stopped)
};

// The range counters of one parallel count, kept between ranges (one per thread at a
// time, so a word is folded once per thread rather than once per range), and per
// counter the entries in this corpus of its own entries plus one (0: not merged yet),
// filled by the merges, which come one at a time.
struct CAnalysisCorpus::CCounterPool {
  explicit CCounterPool(const CAnalysisCorpus& owner) : m_owner(owner) {}
  const CAnalysisCorpus& m_owner;
  std::mutex m_lock;
  std::vector<std::unique_ptr<CAnalysisCorpus>> m_arrIdle;
  std::size_t m_nCounters = 0;
  std::vector<std::vector<std::uint32_t>> m_arrEntries;

  // A counter for range k. A counter takes its ranges in order, so the entries it made
  // in one range were merged before any later range of it is: a slow thread may start
  // a range after a later one has ended, and then takes a counter of its own.
  std::unique_ptr<CAnalysisCorpus> Take(std::size_t k) {
    std::lock_guard<std::mutex> guard(m_lock);
    std::unique_ptr<CAnalysisCorpus> counter;
    auto it = std::find_if(m_arrIdle.rbegin(), m_arrIdle.rend(), [&](const auto& c) { return c->m_nRangeIndex < k; });
    if (it != m_arrIdle.rend()) {
      counter = std::move(*it);
      m_arrIdle.erase(std::next(it).base());
    } else {
      counter = m_owner.RangeCounter();
      counter->m_nRangeCounter = m_nCounters++;
    }
    counter->m_nRangeIndex = k;
    return counter;
  }
  void Give(std::unique_ptr<CAnalysisCorpus> counter) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_arrIdle.push_back(std::move(counter));
  }
  // Merge side only.
  std::vector<std::uint32_t>& EntriesOf(const CRange& range) {
    if (range.m_nCounter >= m_arrEntries.size()) m_arrEntries.resize(range.m_nCounter + 1);
    return m_arrEntries[range.m_nCounter];
  }
};

Expected<std::unique_ptr<CAnalysisCorpus>> CAnalysisCorpus::Create(const CSearchRequest& request, bool bNode,
                                                                   ProgressFn progress, CCorpusPlan plan) {
  using Result = Expected<std::unique_ptr<CAnalysisCorpus>>;
  std::unique_ptr<CAnalysisCorpus> corpus(new CAnalysisCorpus);
  corpus->m_request = request;
  corpus->m_bNode = bNode;
  corpus->m_fnProgress = std::move(progress);
  if (plan.m_nSpanLeft < 0 || plan.m_nSpanRight < 0 || plan.m_nSpanLeft >= kRingSize)
    plan.m_nSpanLeft = plan.m_nSpanRight = -1;
  corpus->m_plan = plan;
  corpus->m_spans.m_nLeft = plan.m_nSpanLeft;
  corpus->m_spans.m_nRight = plan.m_nSpanRight;
  // 16-bit texts are split as UTF-8; byte texts in their own language.
  const int codePage = request.m_bUnicode ? kUtf8CodePage : request.m_language.TextCodePage();
  auto classes = CTextClasses::Open(codePage);
  if (!classes) return Result::Failure(classes.Error());
  corpus->m_pClasses = std::make_unique<CTextClasses>(std::move(*classes));
  corpus->m_pWordClasses = std::make_shared<const CByteWordClasses>(*corpus->m_pClasses);
  auto ansi = CCodePage::Open(request.m_nAnsiCodePage);
  if (!ansi) return Result::Failure(ansi.Error());
  corpus->m_pAnsiCp = *ansi;
  if (!request.m_bUnicode && request.m_language.IsDoubleByte()) {
    corpus->m_nPairMin = request.m_language.Keys() != DoubleByteKeys::kGb ? 0x40 : 0xA1;
    corpus->m_arrPairValid.assign(1 << 16, -1);
  }
  if (bNode) {
    // The node is matched exactly as the concordance matches it (star rule and all);
    // sentence and associated-word filters do not apply to a node.
    CSearchRequest plain = request;
    plain.m_bSentences = false;
    plain.m_arrAssocWords.clear();
    plain.m_wstrAssocWord.clear();
    if (request.m_bUnicode) {
      auto parts = PrepareSearch<char16_t>(plain, true);
      if (!parts) return Result::Failure(parts.Error());
      corpus->m_pWideMatcher = std::move(parts->m_pMatcher);
      corpus->m_nKeyLength = corpus->m_pWideMatcher->KeyLength();
    } else {
      auto parts = PrepareSearch<char>(plain, true);
      if (!parts) return Result::Failure(parts.Error());
      corpus->m_pByteMatcher = std::move(parts->m_pMatcher);
      corpus->m_nKeyLength = corpus->m_pByteMatcher->KeyLength();
    }
  }
  return corpus;
}

CAnalysisCorpus::~CAnalysisCorpus() = default;

bool CAnalysisCorpus::Report(std::uint64_t done, std::uint64_t total) {
  if (!m_bStopped && !ReportProgress(m_fnProgress, done, total)) m_bStopped = true;
  return !m_bStopped;
}

void CAnalysisCorpus::AddText(std::string_view text, const std::string& title) {
  if (m_bStopped) return;
  if (m_request.m_bUnicode) return AddText(Utf8ToUtf16(text), title);
  CCorpusText& out = m_arrTexts.emplace_back();
  out.m_strPath = title;
  out.m_nLength = text.size();
  BeginText(out);
  if (m_request.m_language.IsDoubleByte()) {
    WholeBytes(text);
  } else {
    CMemorySource source{text};
    StreamBytes(source, text.size());
  }
  EndText();
}

void CAnalysisCorpus::AddText(std::u16string_view text, const std::string& title) {
  if (m_bStopped) return;
  if (!m_request.m_bUnicode) return AddText(std::string_view(Utf16ToUtf8(text)), title);
  CCorpusText& out = m_arrTexts.emplace_back();
  out.m_strPath = title;
  out.m_nLength = text.size();
  BeginText(out);
  std::vector<std::uint64_t> map;
  const std::string utf8 = ToUtf8WithMap(text, map);
  if (m_pWideMatcher)
    m_pWideMatcher->ForEachMatch(text, 0, text.size(), [&](std::size_t i) { return OnHit(i), true; });
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  for (std::size_t from = 0; from < utf8.size() && Report(from, utf8.size()); from += kStep)
    TokenizeBytes(p, utf8.size(), from, std::min<std::size_t>(from + kStep, utf8.size()), 0, &map);
  Report(utf8.size(), utf8.size());
  EndText();
}

void CAnalysisCorpus::AddFile(const std::string& path) {
  if (m_bStopped) return;
  if (m_request.m_bUnicode || m_request.m_language.IsDoubleByte()) {
    auto file = CTextFile::Open(path);
    if (!file) {
      m_arrSkipped.push_back(file.Error());
      return;
    }
    return AddTextFile(**file, path);
  }
  // Byte texts are never held whole: the file goes through a bounded buffer.
  auto fd = OpenRegularFile(path);
  if (!fd) {
    m_arrSkipped.push_back(fd.Error());
    return;
  }
  CFileReader reader(*fd, path);
  CCorpusText& out = m_arrTexts.emplace_back();
  out.m_strPath = path;
  if (CanCountRanges(reader.Size())) {
    CountFileInRanges(reader, out);
  } else {
    CFileSource source{reader, CTextModeReader(reader)};
    BeginText(out);
    StreamBytes(source, static_cast<std::uint64_t>(reader.Size()));
    EndText();
    if (!m_bStopped) {
      char extra;  // one more read notices a file that grew, was rewritten or removed meanwhile
      reader.Read(&extra, 1);
    }
  }
  ::close(*fd);
  if (!reader.Problem().empty()) m_arrSkipped.push_back(reader.Problem());
}

void CAnalysisCorpus::AddTextFile(CTextFile& file, const std::string& title) {
  if (m_bStopped) return;
  if (m_request.m_bUnicode) AddText(std::u16string_view(DecodeForEditor(file.Bytes(), *m_pAnsiCp)), title);
  else AddText(file.Text(), title);
  if (!file.Problem().empty()) m_arrSkipped.push_back(file.Problem());
}

std::int64_t CAnalysisCorpus::Find(std::string_view raw) const {
  auto it = m_vocabulary.m_index.find(m_pClasses->Fold(raw));
  return it == m_vocabulary.m_index.end() ? -1 : static_cast<std::int64_t>(it->second);
}

// The vocabulary entry of a word as spelled, or -1 when it is no word.
[[gnu::always_inline]] inline std::int64_t CAnalysisCorpus::Intern(std::string_view word, bool bPadded) {
  // The most frequent words (up to 16 bytes) are found in a small cache of two ways a
  // set that stays in the processor's; a word found goes first in its set.
  const std::uint64_t head = Chunk(word.data(), word.size(), bPadded);
  const std::uint64_t tail = word.size() <= 8 ? 0 : Chunk(word.data() + 8, word.size() - 8, bPadded);
  CRecent* set = &m_arrRecent[2 * (((head ^ (tail * 0xC2B2AE3D27D4EB4Full)) * 0x9E3779B97F4A7C15ull) >> (64 - kRecentBits))];
  if (word.size() <= 16) {
    if (set[0].m_nHead == head && set[0].m_nTail == tail) return set[0].m_nEntry;
    if (set[1].m_nHead == head && set[1].m_nTail == tail) {
      std::swap(set[0], set[1]);
      return set[0].m_nEntry;
    }
  }
  return InternSpelling(word, bPadded, head, tail, set);
}

std::int64_t CAnalysisCorpus::InternSpelling(std::string_view word, bool bPadded, std::uint64_t head,
                                             std::uint64_t tail, CRecent* set) {
  // Words of 8 bytes or fewer are told apart by their bytes alone (no word byte is 0);
  // longer ones by a tag of the hash and their length, then their bytes in the arena.
  const bool bShort = word.size() <= 8;
  const bool bCached = word.size() <= 16;
  const std::uint64_t hash = HashOf(word, head, bPadded);
  const auto tag = static_cast<std::uint32_t>((hash >> 40) << 8 | word.size());
  std::size_t mask = m_arrRawSlots.size() - 1;
  std::size_t i = hash & mask;
  for (;; i = (i + 1) & mask) {
    const CRawSlot& slot = m_arrRawSlots[i];
    if (slot.m_nTag == 0) break;
    if (slot.m_nTag != tag) continue;
    if (bShort ? slot.m_nWord == head
               : std::memcmp(m_strArena.data() + slot.m_nWord, word.data(), word.size()) == 0) {
      if (bCached) set[1] = set[0], set[0] = {head, tail, slot.m_nEntry};
      return slot.m_nEntry;
    }
  }
  // A spelling not met before: fold it and find or make its entry. Only the words the
  // unique-word list lists are words here: 1 to 255 bytes, starting with a letter.
  // Numbers and the like count in that list's total but are no word.
  std::int64_t entry = -1;
  std::string folded = m_pClasses->Fold(word);
  const auto first = static_cast<unsigned char>(folded[0]);
  if (!m_arrPairValid.empty() || (first >= 'A' && first <= 'Z') || m_pClasses->StartsWithOtherLetter(word)) {
    CVocabulary& v = m_vocabulary;
    auto [it, bNew] = v.m_index.try_emplace(std::move(folded), static_cast<std::uint32_t>(v.m_arrRaw.size()));
    if (bNew) {
      m_arrFolded.push_back(&it->first);
      v.m_arrRaw.emplace_back(word);
      v.m_arrSpelling.push_back(m_pClasses->ToUtf8(word));
      v.m_arrCount.push_back(0);
      if (m_plan.m_nSpanLeft >= 0) m_spans.m_arrLeft.push_back(0), m_spans.m_arrRight.push_back(0);
      m_arrTally.emplace_back();
    }
    entry = it->second;
  }
  if (bShort) {
    m_arrRawSlots[i] = {head, static_cast<std::int32_t>(entry), tag};
  } else {
    m_arrRawSlots[i] = {m_strArena.size(), static_cast<std::int32_t>(entry), tag};
    m_strArena.append(word);
  }
  if (++m_nRawUsed * 2 > m_arrRawSlots.size()) {
    // Regrown with each slot where its hash puts it: the hash is computed again.
    std::vector<CRawSlot> slots(m_arrRawSlots.size() * 2);
    mask = slots.size() - 1;
    for (const CRawSlot& slot : m_arrRawSlots) {
      if (slot.m_nTag == 0) continue;
      const std::size_t length = slot.m_nTag & 0xFF;
      char bytes[8];
      std::memcpy(bytes, &slot.m_nWord, 8);
      const std::string_view w = length <= 8 ? std::string_view(bytes, length)
                                             : std::string_view(m_strArena.data() + slot.m_nWord, length);
      std::size_t k = HashOf(w, Chunk(w.data(), w.size(), false), false) & mask;
      while (slots[k].m_nTag != 0) k = (k + 1) & mask;
      slots[k] = slot;
    }
    m_arrRawSlots.swap(slots);
  }
  return entry;
}

// Most words are far from any hit: they only take their place in the ring.
[[gnu::always_inline]] inline void CAnalysisCorpus::OnToken(std::uint64_t start, std::uint64_t end,
                                                            std::uint32_t word) {
  const bool bFirstWords = m_pEdges && m_pEdges->m_nFirstPastKey < static_cast<std::size_t>(std::max(m_plan.m_nSpanRight, 0));
  if (bFirstWords || !m_arrQueued.empty() || !m_pending.empty() || !m_active.empty())
    return OnTokenNearHits(start, end, word);
  CCorpusText& text = *m_pText;
  m_arrRing[static_cast<std::uint64_t>(text.m_nWords) % kRingSize] = word;
  ++text.m_nWords;
  if (m_plan.m_bTokens) text.m_arrTokens.push_back({start, end, word});
}

[[gnu::always_inline]] inline void CAnalysisCorpus::Store(std::string_view word, std::uint64_t start,
                                                          std::uint64_t end, bool bPadded) {
  if (word.empty() || word.size() > kMaxListedWordBytes) return;
  StoreEntry(Intern(word, bPadded), start, end);
}

[[gnu::always_inline]] inline void CAnalysisCorpus::StoreEntry(std::int64_t entry, std::uint64_t start,
                                                               std::uint64_t end) {
  if (entry < 0) return;
  const auto w = static_cast<std::uint32_t>(entry);
  // A range counter's counts start at 0 with each range: the first count is the first meeting.
  if (m_arrTally[w].m_nCount++ == 0) MetInText(w);
  ++m_nTokens;
  OnToken(start, end, w);
}

[[gnu::always_inline]] inline void CAnalysisCorpus::Await(std::string_view word, std::uint64_t start,
                                                          std::uint64_t end, bool bPadded) {
  if (word.empty() || word.size() > kMaxListedWordBytes) return;
  const std::size_t n = m_nWaiting;
  CWaiting& next = m_arrWaiting[n % kWaitingSize];
  if (n >= kWaitingSize) Leave(next);
  if (n >= kWaitingSize / 2) Look(m_arrWaiting[(n - kWaitingSize / 2) % kWaitingSize]);
  next.m_pWord = word.data();
  next.m_nLength = word.size();
  next.m_nStart = start;
  next.m_nEnd = end;
  next.m_bPadded = bPadded;
  next.m_nEntry = kNotLooked;
  next.m_nHead = Chunk(word.data(), word.size(), bPadded);
  next.m_nTail = word.size() <= 8 ? 0 : Chunk(word.data() + 8, word.size() - 8, bPadded);
  next.m_pSet = &m_arrRecent[2 * (((next.m_nHead ^ (next.m_nTail * 0xC2B2AE3D27D4EB4Full)) * 0x9E3779B97F4A7C15ull) >>
                                  (64 - kRecentBits))];
  __builtin_prefetch(next.m_pSet);
  __builtin_prefetch(reinterpret_cast<const char*>(next.m_pSet + 2) - 1);
  m_nWaiting = n + 1;
}

[[gnu::always_inline]] inline void CAnalysisCorpus::Look(CWaiting& waiting) {
  CRecent* set = waiting.m_pSet;
  if (waiting.m_nLength <= 16) {
    if (set[0].m_nHead == waiting.m_nHead && set[0].m_nTail == waiting.m_nTail) {
      waiting.m_nEntry = set[0].m_nEntry;
    } else if (set[1].m_nHead == waiting.m_nHead && set[1].m_nTail == waiting.m_nTail) {
      std::swap(set[0], set[1]);
      waiting.m_nEntry = set[0].m_nEntry;
    }
  }
  if (waiting.m_nEntry >= 0) {
    __builtin_prefetch(&m_arrTally[static_cast<std::size_t>(waiting.m_nEntry)]);
  } else if (waiting.m_nEntry == kNotLooked) {
    const std::string_view word(waiting.m_pWord, waiting.m_nLength);
    __builtin_prefetch(&m_arrRawSlots[HashOf(word, waiting.m_nHead, waiting.m_bPadded) & (m_arrRawSlots.size() - 1)]);
    waiting.m_nEntry = kMissed;
  }
}

[[gnu::always_inline]] inline void CAnalysisCorpus::Leave(const CWaiting& waiting) {
  const std::string_view word(waiting.m_pWord, waiting.m_nLength);
  // A word the cache missed may have come into it since, with a word that left before.
  const std::int64_t entry =
      waiting.m_nEntry == kNotLooked || waiting.m_nEntry == kMissed ? Intern(word, waiting.m_bPadded) : waiting.m_nEntry;
  StoreEntry(entry, waiting.m_nStart, waiting.m_nEnd);
}

void CAnalysisCorpus::DrainWaiting() {
  for (std::size_t k = m_nWaiting > kWaitingSize ? m_nWaiting - kWaitingSize : 0; k < m_nWaiting; ++k)
    Leave(m_arrWaiting[k % kWaitingSize]);
  m_nWaiting = 0;
}

void CAnalysisCorpus::MetInText(std::uint32_t entry) { m_arrMet.push_back(entry); }

// The word a text or range ends with, gathered by the tokeniser.
void CAnalysisCorpus::EndOpenWord() {
  if (m_nWordLength > 0 && m_nWordLength <= kMaxListedWordBytes) Store(m_strWord, m_nWordStart, m_nWordEnd);
  m_strWord.clear();
  m_nWordLength = 0;
}

void CAnalysisCorpus::BeginText(CCorpusText& out) {
  m_pText = &out;
  m_strWord.reserve(kMaxListedWordBytes + 16);  // room to read 8 bytes past any place of a listed word
  m_arrQueued.clear();
  m_nQueuedHead = 0;
  m_pending.clear();
  m_active.clear();
  m_strWord.clear();
  m_nWordLength = 0;
}

void CAnalysisCorpus::OnHit(std::uint64_t offset) {
  ++m_nHits;
  m_arrQueued.push_back(offset);
}

// The hit's first word is the next one: the words so far are left of it.
void CAnalysisCorpus::Activate(std::uint64_t offset) {
  CCorpusText& text = *m_pText;
  const auto words = static_cast<std::uint64_t>(text.m_nWords);
  if (m_plan.m_nSpanLeft > 0) {
    const std::uint64_t n = std::min<std::uint64_t>(words, static_cast<std::uint64_t>(m_plan.m_nSpanLeft));
    if (m_pEdges && n < static_cast<std::uint64_t>(m_plan.m_nSpanLeft))
      m_pEdges->m_arrLeftShort.push_back(static_cast<int>(m_plan.m_nSpanLeft - n));
    for (std::uint64_t k = words - n; k < words; ++k) ++m_arrTally[m_arrRing[k % kRingSize]].m_nLeft;
    m_spans.m_nWords += static_cast<std::int64_t>(n);
  }
  CPending pending{offset + m_nKeyLength, std::max(m_plan.m_nSpanRight, 0), -1};
  if (m_plan.m_bHits) {
    pending.m_nHit = static_cast<std::int64_t>(text.m_arrHits.size());
    text.m_arrHits.push_back({offset, m_nKeyLength, static_cast<std::size_t>(words), static_cast<std::size_t>(words)});
  }
  if (pending.m_nLeft > 0 || pending.m_nHit >= 0) m_pending.push_back(pending);
}

void CAnalysisCorpus::OnTokenNearHits(std::uint64_t start, std::uint64_t end, std::uint32_t word) {
  CCorpusText& text = *m_pText;
  if (m_pEdges && m_pEdges->m_nFirstPastKey < static_cast<std::size_t>(std::max(m_plan.m_nSpanRight, 0))) {
    m_pEdges->m_arrFirst.push_back({start, word});
    if (start >= m_pEdges->m_nLead + m_nKeyLength) ++m_pEdges->m_nFirstPastKey;
  }
  // Hits come in order of offset, so their first words and span ends come in order too.
  while (m_nQueuedHead < m_arrQueued.size() && m_arrQueued[m_nQueuedHead] < end) Activate(m_arrQueued[m_nQueuedHead++]);
  if (m_nQueuedHead == m_arrQueued.size()) m_arrQueued.clear(), m_nQueuedHead = 0;
  // The hits whose match ended before this word: it is the first after them, and their
  // right spans take it and the words after it up to their span's width.
  const auto words = static_cast<std::uint64_t>(text.m_nWords);
  while (!m_pending.empty() && m_pending.front().m_nEnd <= start) {
    const CPending& p = m_pending.front();
    if (p.m_nHit >= 0) text.m_arrHits[static_cast<std::size_t>(p.m_nHit)].m_nAfter = static_cast<std::size_t>(words);
    if (p.m_nLeft > 0) m_active.push_back({words + static_cast<std::uint64_t>(p.m_nLeft), p.m_nEnd});
    m_pending.pop_front();
  }
  while (!m_active.empty() && m_active.front().m_nStop <= words) m_active.pop_front();
  if (!m_active.empty()) {
    m_arrTally[word].m_nRight += static_cast<std::int64_t>(m_active.size());
    m_spans.m_nWords += static_cast<std::int64_t>(m_active.size());
  }
  m_arrRing[static_cast<std::uint64_t>(text.m_nWords) % kRingSize] = word;
  ++text.m_nWords;
  if (m_plan.m_bTokens) text.m_arrTokens.push_back({start, end, word});
}

void CAnalysisCorpus::EndText() {
  EndOpenWord();
  while (m_nQueuedHead < m_arrQueued.size()) Activate(m_arrQueued[m_nQueuedHead++]);
  for (const CPending& p : m_pending)
    if (p.m_nHit >= 0) m_pText->m_arrHits[static_cast<std::size_t>(p.m_nHit)].m_nAfter = static_cast<std::size_t>(m_pText->m_nWords);
  m_pending.clear();
  m_active.clear();
  m_arrQueued.clear();
  m_nQueuedHead = 0;
  m_pText = nullptr;
  // The text's tallies join the corpus's counts.
  const bool bSpans = m_plan.m_nSpanLeft >= 0;
  for (std::uint32_t w : m_arrMet) {
    const CTally tally = std::exchange(m_arrTally[w], CTally{});
    m_vocabulary.m_arrCount[w] += tally.m_nCount;
    if (bSpans) m_spans.m_arrLeft[w] += tally.m_nLeft, m_spans.m_arrRight[w] += tally.m_nRight;
  }
  m_arrMet.clear();
}

// Reads a byte text piece by piece: the node is matched in each piece with enough of
// its neighbours kept for the boundary tests, and the words up to the last place whose
// matches are all known are split, so no match or word depends on a piece's edges.
template <class Source>
void CAnalysisCorpus::StreamBytes(Source& source, std::uint64_t total) {
  constexpr std::size_t kBefore = 16;
  const std::size_t after = m_nKeyLength + 16;
  // 8 bytes more than are ever filled: a word is read 8 bytes at a time.
  std::string buffer(kBefore + after + m_nPiece + 2 + 8, '\0');
  const std::size_t room = buffer.size() - 8;
  auto* p = reinterpret_cast<unsigned char*>(buffer.data());
  m_bPaddedBuffer = true;
  std::size_t length = 0;
  std::uint64_t base = 0, done = 0, nextReport = 0;
  for (;;) {
    if (source.Position() >= nextReport) {
      if (!Report(source.Position(), total)) return;
      nextReport = source.Position() + kStep;
    }
    length += source.Read(buffer.data() + length, std::min(room - length, m_nPiece));
    const bool ended = source.Ended();
    const std::uint64_t end = base + length;
    const std::uint64_t safe = ended ? end : end > after ? end - after : 0;
    if (safe > done) {
      if (m_pByteMatcher) {
        const std::string_view text(buffer.data(), length);
        m_pByteMatcher->ForEachMatch(text, done - base, safe - base, [&](std::size_t i) { return OnHit(base + i), true; });
      }
      TokenizeBytes(p, length, done - base, safe - base, base, nullptr);
      done = safe;
    }
    if (ended) break;
    const std::uint64_t keepFrom = std::max(base, done > kBefore ? done - kBefore : 0);
    const auto drop = static_cast<std::size_t>(keepFrom - base);
    std::memmove(p, p + drop, length - drop);
    length -= drop;
    base = keepFrom;
  }
  m_pText->m_nLength = base + length;
  m_bPaddedBuffer = false;
  Report(total, total);
}

// ---- Files counted in ranges ----

bool CAnalysisCorpus::CanCountSideBySide() const {
  // Kept words and hits carry their offsets in the whole text, so those plans read on.
  // Ranges cost their hand-over and edges: with one processor nothing pays for that.
  return !m_request.m_bUnicode && !m_request.m_language.IsDoubleByte() && !m_plan.m_bTokens && !m_plan.m_bHits &&
         (m_nThreads != 0 || WorkerThreads() > 1);
}

bool CAnalysisCorpus::CanCountRanges(std::int64_t size) const {
  return size > static_cast<std::int64_t>(m_nRangeBytes) && CanCountSideBySide();
}

std::unique_ptr<CAnalysisCorpus> CAnalysisCorpus::RangeCounter() const {
  std::unique_ptr<CAnalysisCorpus> counter(new CAnalysisCorpus);
  counter->m_request = m_request;
  counter->m_bNode = m_bNode;
  counter->m_plan = m_plan;
  counter->m_spans.m_nLeft = m_spans.m_nLeft;
  counter->m_spans.m_nRight = m_spans.m_nRight;
  counter->m_pClasses = m_pClasses;
  counter->m_pWordClasses = m_pWordClasses;
  counter->m_pAnsiCp = m_pAnsiCp;
  counter->m_pByteMatcher = m_pByteMatcher;
  counter->m_nKeyLength = m_nKeyLength;
  counter->m_nPiece = m_nPiece;
  counter->m_pEdges = std::make_unique<CRangeEdges>();
  return counter;
}

namespace {

// The first place at or after `at` just after a space, tab or line feed (never a
// carriage return, so no CR LF pair is parted), or the file's size.
std::int64_t RangeCut(const CFileReader& reader, std::int64_t at) {
  if (at <= 0) return 0;
  char buffer[4096];
  for (std::int64_t from = at - 1; from < reader.Size();) {
    const std::size_t got = reader.ReadAt(from, buffer, sizeof buffer);
    if (got == 0) break;
    for (std::size_t i = 0; i < got; ++i)
      if (buffer[i] == ' ' || buffer[i] == '\t' || buffer[i] == '\n') return from + static_cast<std::int64_t>(i) + 1;
    from += static_cast<std::int64_t>(got);
  }
  return reader.Size();
}

// Bytes [from, to) of the file in text mode, appended to out; true when a Ctrl-Z ended them.
bool AppendTextMode(const CFileReader& reader, std::int64_t from, std::int64_t to, std::string& out) {
  const std::size_t at = out.size();
  out.resize(at + static_cast<std::size_t>(to - from));
  const std::size_t got = reader.ReadAt(from, out.data() + at, static_cast<std::size_t>(to - from));
  const bool ctrlZ = std::memchr(out.data() + at, 0x1A, got) != nullptr;
  out.resize(at + ApplyTextMode(out.data() + at, got));
  return ctrlZ;
}

}  // namespace

void CAnalysisCorpus::AddFiles(const std::vector<std::string>& paths, const std::function<void(const std::string&)>& onFile) {
  // Short files go side by side a batch at a time (up to 64 files or eight ranges'
  // bytes, so that no more than a batch is held); any other file as AddFile adds it.
  CCounterPool counters(*this);  // kept from batch to batch: a counter's words stay folded
  std::size_t counted = 0;       // files counted side by side so far
  ForEachFileBatch(
      paths, CanCountSideBySide(), m_nRangeBytes, 8 * std::uint64_t{m_nRangeBytes}, [this] { return m_bStopped; },
      [&](const std::string& path) {
        if (onFile) onFile(path);
        AddFile(path);
      },
      [&](const std::vector<std::string>& batch, std::uint64_t bytes) {
        if (onFile)
          for (const std::string& path : batch) onFile(path);
        AddShortFiles(batch, bytes, counters, counted);
        counted += batch.size();
      });
}

void CAnalysisCorpus::AddShortFiles(const std::vector<std::string>& paths, std::uint64_t bytes, CCounterPool& counters,
                                    std::size_t first) {
  // Each file is read in text mode and counted as one range on a worker thread, then
  // added in order as a text of its own, with its problem.
  struct ShortFile {
    CRange m_range;
    std::string m_strProblem;
    bool m_bOpened = false;
    std::size_t m_nIndex = 0;
  };
  CSharedProgress progress(m_fnProgress, bytes);
  COrderedMerge<ShortFile> merger(paths.size());
  bool complete = true;
  RunParallel(
      paths.size(),
      [&](std::size_t k) {
        auto file = std::make_unique<ShortFile>();
        file->m_nIndex = k;
        if (!progress.Stopped()) {
          file->m_range.m_bDone = true;
          auto fd = OpenRegularFile(paths[k]);
          if (!fd) {
            file->m_strProblem = fd.Error();
          } else {
            CFileReader reader(*fd, paths[k]);
            std::string window;
            const bool bCtrlZ = AppendTextMode(reader, 0, reader.Size(), window);
            const std::size_t length = window.size();
            window.append(8, '\0');  // words are read 8 bytes at a time
            std::unique_ptr<CAnalysisCorpus> counter = counters.Take(first + k);
            counter->CountRange(std::string_view(window.data(), length), 0, length, true, file->m_range);
            file->m_range.m_nCounter = counter->m_nRangeCounter;
            file->m_range.m_bTextEnds = bCtrlZ;
            counters.Give(std::move(counter));
            reader.EndAt(reader.Size());
            file->m_strProblem = reader.Problem();
            file->m_bOpened = true;
            ::close(*fd);
            progress.Add(static_cast<std::uint64_t>(reader.Size()));
          }
        }
        merger.Finished(k, std::move(file), [&](const ShortFile& next) {
          // A stopped file ends the corpus: the files before it are kept, in order.
          if (!complete || !next.m_range.m_bDone) {
            complete = false;
            return;
          }
          if (next.m_bOpened) {
            CCorpusText& out = m_arrTexts.emplace_back();
            out.m_strPath = paths[next.m_nIndex];
            BeginText(out);
            MergeRange(next.m_range, 0, counters.EntriesOf(next.m_range));
            out.m_nLength = next.m_range.m_nLength;
            EndText();
          }
          if (!next.m_strProblem.empty()) m_arrSkipped.push_back(next.m_strProblem);
        });
      },
      m_nThreads);
  if (!complete || progress.Stopped()) m_bStopped = true;
}

void CAnalysisCorpus::CountFileInRanges(CFileReader& reader, CCorpusText& out) {
  const std::int64_t size = reader.Size();
  std::vector<std::int64_t> starts;  // before each is cut just after white space
  for (std::int64_t at = 0; at < size;) {
    starts.push_back(at);
    at += static_cast<std::int64_t>(NextRangeLength(static_cast<std::uint64_t>(size - at), m_nRangeBytes, m_nThreads));
  }
  const std::size_t count = starts.size();
  const std::size_t after = m_nKeyLength + 16;  // as the streamed reading keeps
  CSharedProgress progress(m_fnProgress, static_cast<std::uint64_t>(size));

  // A range is read with 16 bytes before it and `after` bytes past it for the node's
  // boundary tests, each part in text mode on its own (no part ends inside a CR LF).
  // Counters are kept between ranges (one per thread at a time), so a word is folded
  // once per thread rather than once per range.
  CCounterPool counters(*this);
  std::vector<std::string> windows;  // buffers kept too: fresh ones cost a page fault a page
  std::mutex lock;
  auto countRange = [&](std::size_t k) {
    auto range = std::make_unique<CRange>();
    if (progress.Stopped()) return range;
    const std::int64_t from = RangeCut(reader, starts[k]);
    const std::int64_t to = k + 1 == count ? size : RangeCut(reader, starts[k + 1]);
    std::string window;
    {
      std::lock_guard<std::mutex> guard(lock);
      if (!windows.empty()) window = std::move(windows.back()), windows.pop_back();
    }
    window.clear();
    AppendTextMode(reader, std::max<std::int64_t>(0, from - 16), from, window);
    const std::size_t lead = window.size();
    const bool bCtrlZ = from < to && AppendTextMode(reader, from, to, window);
    const std::size_t length = window.size() - lead;
    const bool bTextEnds = bCtrlZ || to == size;
    if (!bTextEnds) {
      const std::int64_t postEnd = std::min<std::int64_t>(size, to + static_cast<std::int64_t>(2 * after + 8));
      AppendTextMode(reader, to, postEnd, window);
      // A last CR may pair with a line feed beyond: it is no context yet.
      if (postEnd < size && window.size() > lead + length && window.back() == '\r') window.pop_back();
      window.resize(std::min(window.size(), lead + length + after));
    }
    const std::size_t windowLength = window.size();
    window.append(8, '\0');  // words are read 8 bytes at a time
    std::unique_ptr<CAnalysisCorpus> counter = counters.Take(k);
    counter->CountRange(std::string_view(window.data(), windowLength), lead, length, bTextEnds, *range);
    range->m_nCounter = counter->m_nRangeCounter;
    range->m_bTextEnds = bCtrlZ;
    range->m_bDone = true;
    counters.Give(std::move(counter));
    {
      std::lock_guard<std::mutex> guard(lock);
      windows.push_back(std::move(window));
    }
    progress.Add(static_cast<std::uint64_t>(to - from));
    return range;
  };

  BeginText(out);
  // Ranges are added in order by whichever thread finished the next one.
  COrderedMerge<CRange> merger(count);
  bool complete = true, ended = false;
  std::uint64_t base = 0;
  RunParallel(
      count,
      [&](std::size_t k) {
        merger.Finished(k, countRange(k), [&](const CRange& next) {
          if (ended) return;  // past a Ctrl-Z
          if (!complete || !next.m_bDone) {
            complete = false;  // a stop keeps the ranges before it
            return;
          }
          MergeRange(next, base, counters.EntriesOf(next));
          base += next.m_nLength;
          ended = next.m_bTextEnds;
        });
      },
      m_nThreads);
  out.m_nLength = base;
  EndText();
  if (!complete || progress.Stopped()) {
    m_bStopped = true;
    return;
  }
  reader.EndAt(size);
  Report(static_cast<std::uint64_t>(size), static_cast<std::uint64_t>(size));
}

void CAnalysisCorpus::CountRange(std::string_view window, std::size_t lead, std::size_t length, bool bTextEnds,
                                  CRange& out) {
  m_arrTexts.clear();
  CCorpusText& text = m_arrTexts.emplace_back();
  BeginText(text);
  m_nTokens = m_nHits = m_spans.m_nWords = 0;
  CRangeEdges& edges = *m_pEdges;
  edges.m_nLead = lead;
  const std::size_t known = m_vocabulary.m_arrRaw.size();  // entries met in earlier ranges
  const std::size_t n = bTextEnds ? lead + length : window.size();
  // Matched and split a piece at a time, as a streamed text is, so both passes find
  // the piece in the processor's cache.
  m_bPaddedBuffer = true;
  for (std::size_t from = lead; from < lead + length; from += m_nPiece) {
    const std::size_t to = std::min(lead + length, from + m_nPiece);
    if (m_pByteMatcher)
      m_pByteMatcher->ForEachMatch(window.substr(0, n), from, to, [&](std::size_t i) { return OnHit(i), true; });
    TokenizeBytes(reinterpret_cast<const unsigned char*>(window.data()), n, from, to, 0, nullptr);
  }
  m_bPaddedBuffer = false;
  // The range's end: its spans still open are completed by the ranges after it.
  EndOpenWord();
  while (m_nQueuedHead < m_arrQueued.size()) Activate(m_arrQueued[m_nQueuedHead++]);

  // Handed out by the range's own numbering of its words, then cleared for the next.
  const bool bSpans = m_plan.m_nSpanLeft >= 0;
  edges.m_arrPlace.resize(m_vocabulary.m_arrRaw.size());
  auto place = [&](std::uint32_t w) { return edges.m_arrPlace[w]; };
  for (std::size_t k = 0; k < m_arrMet.size(); ++k) {
    const std::uint32_t w = m_arrMet[k];
    edges.m_arrPlace[w] = static_cast<std::uint32_t>(k);
    out.m_arrLocal.push_back(w);
    if (w >= known) {
      out.m_arrFolded.push_back(*m_arrFolded[w]);
      out.m_arrRaw.push_back(m_vocabulary.m_arrRaw[w]);
    } else {
      out.m_arrFolded.emplace_back();
      out.m_arrRaw.emplace_back();
    }
    const CTally tally = std::exchange(m_arrTally[w], CTally{});
    out.m_arrCount.push_back(tally.m_nCount);
    if (bSpans) out.m_arrLeft.push_back(tally.m_nLeft), out.m_arrRight.push_back(tally.m_nRight);
  }
  out.m_arrLeftShort = std::move(edges.m_arrLeftShort);
  for (const auto& [start, w] : edges.m_arrFirst) out.m_arrFirst.push_back({start - lead, place(w)});
  const auto words = static_cast<std::uint64_t>(text.m_nWords);
  for (std::uint64_t j = words > kRingSize ? words - kRingSize : 0; j < words; ++j)
    out.m_arrLast.push_back(place(m_arrRing[j % kRingSize]));
  for (const CActiveSpan& a : m_active)
    if (a.m_nStop > words) out.m_arrOpen.push_back({a.m_nEnd - lead, static_cast<int>(a.m_nStop - words), -1});
  for (const CPending& p : m_pending)
    if (p.m_nLeft > 0) out.m_arrOpen.push_back({p.m_nEnd - lead, p.m_nLeft, -1});
  out.m_nWords = text.m_nWords;
  out.m_nTokens = m_nTokens;
  out.m_nHits = m_nHits;
  out.m_nSpanWords = m_spans.m_nWords;
  out.m_nLength = length;

  m_arrMet.clear();
  edges.m_arrLeftShort.clear();
  edges.m_arrFirst.clear();
  edges.m_nFirstPastKey = 0;
  m_pending.clear();
  m_active.clear();
}

void CAnalysisCorpus::MergeRange(const CRange& range, std::uint64_t base, std::vector<std::uint32_t>& entries) {
  const bool bSpans = m_plan.m_nSpanLeft >= 0;
  std::vector<std::uint32_t> map(range.m_arrLocal.size());
  CVocabulary& v = m_vocabulary;
  for (std::size_t w = 0; w < range.m_arrLocal.size(); ++w) {
    // A word the counter met in an earlier range has its entry here already.
    const std::uint32_t local = range.m_arrLocal[w];
    if (local >= entries.size()) entries.resize(local + 1, 0);
    if (entries[local] == 0) {
      auto [it, bNew] = v.m_index.try_emplace(range.m_arrFolded[w], static_cast<std::uint32_t>(v.m_arrRaw.size()));
      if (bNew) {
        m_arrFolded.push_back(&it->first);
        v.m_arrRaw.push_back(range.m_arrRaw[w]);
        v.m_arrSpelling.push_back(m_pClasses->ToUtf8(range.m_arrRaw[w]));
        v.m_arrCount.push_back(0);
        if (bSpans) m_spans.m_arrLeft.push_back(0), m_spans.m_arrRight.push_back(0);
      }
      entries[local] = it->second + 1;
    }
    const std::uint32_t g = map[w] = entries[local] - 1;
    v.m_arrCount[g] += range.m_arrCount[w];
    if (bSpans) m_spans.m_arrLeft[g] += range.m_arrLeft[w], m_spans.m_arrRight[g] += range.m_arrRight[w];
  }
  m_spans.m_nWords += range.m_nSpanWords;
  m_nTokens += range.m_nTokens;
  m_nHits += range.m_nHits;

  CCorpusText& text = *m_pText;
  const auto before = static_cast<std::uint64_t>(text.m_nWords);
  // Left spans of the range's first hits go on into the words before it.
  for (int more : range.m_arrLeftShort) {
    const std::uint64_t n = std::min<std::uint64_t>(before, static_cast<std::uint64_t>(more));
    for (std::uint64_t k = before - n; k < before; ++k) ++m_spans.m_arrLeft[m_arrRing[k % kRingSize]];
    m_spans.m_nWords += static_cast<std::int64_t>(n);
  }
  // Right spans still open take the range's first words (past their match's end).
  for (const auto& [start, w] : range.m_arrFirst) {
    for (CPending& p : m_pending) {
      if (p.m_nEnd > base + start) break;
      if (p.m_nLeft > 0) --p.m_nLeft, ++m_spans.m_arrRight[map[w]], ++m_spans.m_nWords;
    }
    while (!m_pending.empty() && m_pending.front().m_nLeft == 0) m_pending.pop_front();
  }
  for (const CPending& p : range.m_arrOpen) m_pending.push_back({base + p.m_nEnd, p.m_nLeft, -1});
  const auto count = static_cast<std::uint64_t>(range.m_nWords);
  for (std::size_t j = 0; j < range.m_arrLast.size(); ++j)
    m_arrRing[(before + count - range.m_arrLast.size() + j) % kRingSize] = map[range.m_arrLast[j]];
  text.m_nWords += range.m_nWords;
}

// A text held whole (double-byte languages).
void CAnalysisCorpus::WholeBytes(std::string_view text) {
  if (m_pByteMatcher)
    m_pByteMatcher->ForEachMatch(text, 0, text.size(), [&](std::size_t i) { return OnHit(i), true; });
  TokenizeDoubleByte(text);
}

// The unique-word list's byte rule: A..Z and every byte from 'a' up are word bytes;
// a hyphen followed by a letter and an apostrophe followed by a letter (or a byte from
// 'a' up) stay inside a word; anything else is dropped without ending the word. A word
// ends before white space or the end of the text, and after a hyphen that no letter
// (or byte from 'z' up) follows.
void CAnalysisCorpus::TokenizeBytes(const unsigned char* p, std::size_t n, std::size_t from, std::size_t to,
                                    std::uint64_t base, const std::vector<std::uint64_t>* map) {
  // A word open from the last call is ended byte by byte; the tokens after it up to the
  // last white byte stand whole and go 64 bytes at a time; the rest byte by byte again.
  std::size_t whole = from;
  if (m_nWordLength > 0) {
    while (whole < to && !IsWhite(p[whole])) ++whole;
    whole = std::min(to, whole + 1);
    TokenizeByteByByte(p, n, from, whole, base, map);
  }
  std::size_t cut = to;
  while (cut > whole && !IsWhite(p[cut - 1])) --cut;
  if (cut > whole) {
    SplitByteWords(
        *m_pWordClasses, p, whole, cut, n, cut - whole,
        [&](const unsigned char* w, std::size_t length, const unsigned char* limit, std::size_t start,
            std::size_t end) __attribute__((always_inline)) {
          const std::string_view word(reinterpret_cast<const char*>(w), length);
          if (limit == w) {
            // Gathered apart from the text, it lives only during this call and is
            // read byte by byte.
            DrainWaiting();
            if (map) Store(word, (*map)[start], (*map)[end], false);
            else Store(word, base + start, base + end, false);
          } else if (map) {
            Await(word, (*map)[start], (*map)[end], m_bPaddedBuffer);
          } else {
            Await(word, base + start, base + end, m_bPaddedBuffer);
          }
        },
        [](std::size_t) { return true; });
    DrainWaiting();
  }
  TokenizeByteByByte(p, n, std::max(cut, whole), to, base, map);
}

void CAnalysisCorpus::TokenizeByteByByte(const unsigned char* p, std::size_t n, std::size_t from, std::size_t to,
                                         std::uint64_t base, const std::vector<std::uint64_t>* map) {
  // The open word is read where it stands, p[at, at + m_nWordLength), until a dropped
  // byte parts it; then it is gathered in m_strWord (its first 256 bytes: a longer one is
  // no word), as is a word carried over from the last call.
  std::string& gathered = m_strWord;
  std::size_t at = 0;
  bool inPlace = m_nWordLength == 0;
  auto append = [&](std::size_t a, std::size_t b) {
    if (m_nWordLength == 0) {
      at = a;
      inPlace = true;
      m_nWordStart = base + a;
    } else if (inPlace && a != at + m_nWordLength) {
      gathered.assign(reinterpret_cast<const char*>(p + at), std::min(m_nWordLength, kMaxListedWordBytes + 1));
      inPlace = false;
    }
    if (!inPlace && gathered.size() <= kMaxListedWordBytes)
      gathered.append(reinterpret_cast<const char*>(p + a), std::min(b - a, kMaxListedWordBytes + 1 - gathered.size()));
    m_nWordLength += b - a;
    m_nWordEnd = base + b;
  };
  auto endWord = [&] {
    if (m_nWordLength == 0) return;
    const std::string_view w = inPlace ? std::string_view(reinterpret_cast<const char*>(p) + at, m_nWordLength)
                                       : std::string_view(gathered).substr(0, m_nWordLength);
    const bool bPadded = inPlace ? m_bPaddedBuffer : true;
    if (map) Store(w, (*map)[m_nWordStart], (*map)[m_nWordEnd], bPadded);
    else Store(w, m_nWordStart, m_nWordEnd, bPadded);
    gathered.clear();
    m_nWordLength = 0;
  };
  for (std::size_t i = from; i < to; ++i) {
    const unsigned char c = p[i];
    if (IsAlwaysWordByte(c)) {
      // A run of word bytes goes in at once: only white space after its last byte ends it.
      const std::size_t j = WordRunEnd(p, i, to);
      const bool bEnds = IsWhite(j < n ? p[j] : ' ');
      if (bEnds && m_nWordLength == 0) {
        // Most words are one run between white space.
        const std::string_view w(reinterpret_cast<const char*>(p) + i, j - i);
        if (map) Store(w, (*map)[i], (*map)[j], m_bPaddedBuffer);
        else Store(w, base + i, base + j, m_bPaddedBuffer);
        i = j;  // the white byte after the run needs no look
        continue;
      }
      append(i, j);
      i = j - 1;
      if (bEnds) endWord();
      continue;
    }
    const unsigned char d = i + 1 < n ? p[i + 1] : ' ';
    if (IsWhite(c)) {
      continue;
    } else if (m_nWordLength > 0 && ((c == '-' && m_pClasses->IsAlpha(d)) || (c == '\'' && (m_pClasses->IsAlpha(d) || d >= 'a')))) {
      append(i, i + 1);
    }
    if (IsWhite(d) || (c == '-' && !m_pClasses->IsAlpha(d) && d < 'z')) endWord();
  }
  // A word going on into the next call is carried over gathered.
  if (m_nWordLength > 0 && inPlace)
    gathered.assign(reinterpret_cast<const char*>(p + at), std::min(m_nWordLength, kMaxListedWordBytes + 1));
}

// Double-byte texts: every double-byte character is a word; everything else, ASCII
// words included, is passed over.
void CAnalysisCorpus::TokenizeDoubleByte(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  const CCodePage& cp = *m_pClasses->Page();
  std::uint64_t nextReport = kStep;
  for (std::size_t i = 0; i + 1 < n; ++i) {
    if (i >= nextReport) {
      if (!Report(i, n)) return;
      nextReport += kStep;
    }
    const unsigned char a = p[i], b = p[i + 1];
    if (a < 0x80) continue;
    const bool inRange = (a >= 0xA4 && a <= 0xF9 && b >= m_nPairMin && b <= 0xFE) || b >= 0x80;
    if (!inRange) continue;
    signed char& valid = m_arrPairValid[a << 8 | b];
    if (valid < 0) {
      const std::u16string unicode = cp.ToUnicode(text.substr(i, 2));
      valid = unicode.size() == 1 && unicode[0] != 0xFFFD && cp.FromUnicode(unicode) == text.substr(i, 2);
    }
    if (valid != 1) continue;
    Store(text.substr(i, 2), i, i + 2);
    ++i;
  }
  Report(n, n);
}

}  // namespace tessary

#include "analysis/corpus.h"

#include <cstring>
#include <unistd.h>

#include "engine/file_reader.h"
#include "engine/text_file.h"
#include "stats/unique_words.h"

namespace tessary {

namespace {

constexpr std::uint64_t kStep = 1 << 20;  // bytes between progress reports

bool IsWhite(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsWordByte(unsigned char c) { return (c >= 'A' && c <= 'Z') || c >= 'a'; }

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
std::uint64_t Chunk(const char* p, std::size_t n, bool bPadded) {
  std::uint64_t x = 0;
  if (bPadded) {
    std::memcpy(&x, p, 8);
    if (n < 8) x &= (std::uint64_t{1} << (8 * n)) - 1;
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
  CFileSource source{reader, CTextModeReader(reader)};
  CCorpusText& out = m_arrTexts.emplace_back();
  out.m_strPath = path;
  BeginText(out);
  StreamBytes(source, static_cast<std::uint64_t>(reader.Size()));
  EndText();
  if (!m_bStopped) {
    char extra;  // one more read notices a file that grew, was rewritten or removed meanwhile
    reader.Read(&extra, 1);
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
std::int64_t CAnalysisCorpus::Intern(std::string_view word, bool bPadded) {
  // Words of 8 bytes or fewer are told apart by their bytes alone (no word byte is 0);
  // longer ones by a tag of the hash and their length, then their bytes in the arena.
  const std::uint64_t head = Chunk(word.data(), word.size(), bPadded);
  const bool bShort = word.size() <= 8;
  // The most frequent words are found in a small cache that stays in the processor's.
  CRecent& recent = m_arrRecent[(head * 0x9E3779B97F4A7C15ull) >> (64 - kRecentBits)];
  if (bShort && recent.m_nWord == head) return recent.m_nEntry;
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
      if (bShort) recent = {head, slot.m_nEntry};
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
      v.m_arrRaw.emplace_back(word);
      v.m_arrSpelling.push_back(m_pClasses->ToUtf8(word));
      v.m_arrCount.push_back(0);
      if (m_plan.m_nSpanLeft >= 0) m_spans.m_arrLeft.push_back(0), m_spans.m_arrRight.push_back(0);
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

void CAnalysisCorpus::Store(std::string_view word, std::uint64_t start, std::uint64_t end, bool bPadded) {
  if (word.empty() || word.size() > kMaxListedWordBytes) return;
  const std::int64_t entry = Intern(word, bPadded);
  if (entry < 0) return;
  const auto w = static_cast<std::uint32_t>(entry);
  ++m_vocabulary.m_arrCount[w];
  ++m_nTokens;
  OnToken(start, end, w);
}

void CAnalysisCorpus::BeginText(CCorpusText& out) {
  m_pText = &out;
  m_strWord.reserve(kMaxListedWordBytes + 16);  // room to read 8 bytes past any place of a listed word
  m_arrQueued.clear();
  m_nQueuedHead = 0;
  m_pending.clear();
  m_strWord.clear();
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
    for (std::uint64_t k = words - n; k < words; ++k) ++m_spans.m_arrLeft[m_arrRing[k % kRingSize]];
    m_spans.m_nWords += static_cast<std::int64_t>(n);
  }
  CPending pending{offset + m_nKeyLength, std::max(m_plan.m_nSpanRight, 0), -1};
  if (m_plan.m_bHits) {
    pending.m_nHit = static_cast<std::int64_t>(text.m_arrHits.size());
    text.m_arrHits.push_back({offset, m_nKeyLength, static_cast<std::size_t>(words), static_cast<std::size_t>(words)});
  }
  if (pending.m_nLeft > 0 || pending.m_nHit >= 0) m_pending.push_back(pending);
}

void CAnalysisCorpus::OnToken(std::uint64_t start, std::uint64_t end, std::uint32_t word) {
  CCorpusText& text = *m_pText;
  // Hits come in order of offset, so their first words and span ends come in order too.
  while (m_nQueuedHead < m_arrQueued.size() && m_arrQueued[m_nQueuedHead] < end) Activate(m_arrQueued[m_nQueuedHead++]);
  if (m_nQueuedHead == m_arrQueued.size()) m_arrQueued.clear(), m_nQueuedHead = 0;
  for (CPending& p : m_pending) {
    if (p.m_nEnd > start) break;
    if (p.m_nHit >= 0) text.m_arrHits[static_cast<std::size_t>(p.m_nHit)].m_nAfter = static_cast<std::size_t>(text.m_nWords);
    p.m_nHit = -1;
    if (p.m_nLeft > 0) --p.m_nLeft, ++m_spans.m_arrRight[word], ++m_spans.m_nWords;
  }
  while (!m_pending.empty() && m_pending.front().m_nLeft == 0 && m_pending.front().m_nHit < 0) m_pending.pop_front();
  m_arrRing[static_cast<std::uint64_t>(text.m_nWords) % kRingSize] = word;
  ++text.m_nWords;
  if (m_plan.m_bTokens) text.m_arrTokens.push_back({start, end, word});
}

void CAnalysisCorpus::EndText() {
  if (!m_strWord.empty()) Store(m_strWord, m_nWordStart, m_nWordEnd), m_strWord.clear();
  while (m_nQueuedHead < m_arrQueued.size()) Activate(m_arrQueued[m_nQueuedHead++]);
  for (const CPending& p : m_pending)
    if (p.m_nHit >= 0) m_pText->m_arrHits[static_cast<std::size_t>(p.m_nHit)].m_nAfter = static_cast<std::size_t>(m_pText->m_nWords);
  m_pending.clear();
  m_arrQueued.clear();
  m_nQueuedHead = 0;
  m_pText = nullptr;
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
  std::string& word = m_strWord;
  auto append = [&](std::size_t i) {
    if (word.empty()) m_nWordStart = base + i;
    word.push_back(static_cast<char>(p[i]));
    m_nWordEnd = base + i + 1;
  };
  auto endWord = [&] {
    if (word.empty()) return;
    // A word whose bytes all stand together in the buffer is read there: the bytes just
    // copied into word would be slow to load again at once.
    const bool bInBuffer = m_nWordStart >= base && word.size() == m_nWordEnd - m_nWordStart;
    const std::string_view w =
        bInBuffer ? std::string_view(reinterpret_cast<const char*>(p) + (m_nWordStart - base), word.size()) : word;
    const bool bPadded = bInBuffer ? m_bPaddedBuffer : true;
    if (map) Store(w, (*map)[m_nWordStart], (*map)[m_nWordEnd], bPadded);
    else Store(w, m_nWordStart, m_nWordEnd, bPadded);
    word.clear();
  };
  for (std::size_t i = from; i < to; ++i) {
    const unsigned char c = p[i];
    if (IsWordByte(c)) {
      // A run of word bytes goes in at once: only white space after its last byte ends it.
      std::size_t j = i + 1;
      while (j < to && IsWordByte(p[j])) ++j;
      if (word.empty()) m_nWordStart = base + i;
      word.append(reinterpret_cast<const char*>(p + i), j - i);
      m_nWordEnd = base + j;
      i = j - 1;
      if (IsWhite(j < n ? p[j] : ' ')) endWord();
      continue;
    }
    const unsigned char d = i + 1 < n ? p[i + 1] : ' ';
    if (IsWhite(c)) {
      continue;
    } else if (!word.empty() && ((c == '-' && m_pClasses->IsAlpha(d)) || (c == '\'' && (m_pClasses->IsAlpha(d) || d >= 'a')))) {
      append(i);
    }
    if (IsWhite(d) || (c == '-' && !m_pClasses->IsAlpha(d) && d < 'z')) endWord();
  }
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

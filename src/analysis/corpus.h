#pragma once
// The texts of an analysis as words: every source split by the unique-word rule of its
// language (the same words, spelled and folded the same way, as the unique-word list),
// the places where the node (a search as the concordance runs it) matches and, as the
// plan asks, each word with its place in the text and the words in the node's spans.
// Byte texts are read and counted in bounded pieces, so a corpus far larger than memory
// can be counted when the plan keeps no words. The analyses read this and nothing else.
//
// A long byte file whose plan keeps no words nor hits is cut into ranges just after
// white space, each counted on the worker threads with its own words and spans, and
// the ranges are added in order: entries in the order first met, and the spans that
// reach over a range's edge completed from the words at the edges.
#include <algorithm>
#include <deque>
#include <functional>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/concordance_search.h"
#include "engine/expected.h"
#include "engine/progress.h"
#include "engine/search_request.h"
#include "stats/byte_words.h"
#include "stats/text_classes.h"

namespace tessary {

class CFileReader;
class CTextFile;

// One word of a text: [m_nStart, m_nEnd) in the text as searched (bytes, or UTF-16
// units for 16-bit searches), and its entry in the vocabulary.
struct CToken {
  std::uint64_t m_nStart = 0;
  std::uint64_t m_nEnd = 0;
  std::uint32_t m_nWord = 0;
};

// One match of the node. The words before m_nFirst end before the match, the words from
// m_nAfter on start after it; the words between overlap the match (the node's own).
struct CNodeHit {
  std::uint64_t m_nOffset = 0;
  std::uint64_t m_nLength = 0;
  std::size_t m_nFirst = 0;
  std::size_t m_nAfter = 0;
};

struct CCorpusText {
  std::string m_strPath;  // the file system's bytes; the title for an open document
  std::uint64_t m_nLength = 0;
  std::int64_t m_nWords = 0;
  std::vector<CToken> m_arrTokens;  // only when the plan keeps them
  std::vector<CNodeHit> m_arrHits;  // only when the plan keeps them
};

// What a corpus keeps beyond the word counts. Words and hits cost memory in proportion
// to the texts; the spans counted while reading cost none.
struct CCorpusPlan {
  bool m_bTokens = true;  // every word with its place (n-grams)
  bool m_bHits = true;    // every hit (dispersion, n-grams)
  int m_nSpanLeft = -1;   // 0 to 10 on both sides: the node's spans are counted as read
  int m_nSpanRight = -1;
};

// The words in the node's spans, counted while the texts were read.
struct CSpanCounts {
  int m_nLeft = -1, m_nRight = -1;
  std::vector<std::int64_t> m_arrLeft, m_arrRight;  // per vocabulary entry
  std::int64_t m_nWords = 0;                         // in all spans
};

// The words of all texts: one entry per word as the case-insensitive look-up of the
// unique-word list takes it, spelled as first met.
struct CVocabulary {
  std::vector<std::string> m_arrRaw;       // in the texts' encoding (UTF-8 for 16-bit searches)
  std::vector<std::string> m_arrSpelling;  // the same as UTF-8, for display
  std::vector<std::int64_t> m_arrCount;
  std::unordered_map<std::string, std::uint32_t> m_index;  // folded word -> entry
};

class CAnalysisCorpus {
  static constexpr int kRingSize = 16;  // more than the widest span

 public:
  // bNode: find the request's search string (its mode, '%' and language, as the
  // concordance does); without it the request gives only the language. Fails as the
  // concordance search does when there is nothing to search for or no code page.
  static Expected<std::unique_ptr<CAnalysisCorpus>> Create(const CSearchRequest& request, bool bNode,
                                                           ProgressFn progress = {}, CCorpusPlan plan = {});
  ~CAnalysisCorpus();

  // An open document's text: bytes in the text code page for byte searches, UTF-8
  // for 16-bit ones (it is converted to UTF-16 for the match).
  void AddText(std::string_view text, const std::string& title);
  void AddText(std::u16string_view text, const std::string& title);
  // A file read as the concordance reads it: text mode for byte searches, decoded as
  // the editor loads it for 16-bit searches. A file that cannot be read is skipped.
  void AddFile(const std::string& path);
  // Files one after the other, as AddFile would add them; when the plan allows ranges,
  // short ones are counted side by side on the worker threads and added in order.
  // onFile(path) is called on the calling thread before each file is read (before a
  // batch for each of its files), while no count runs.
  void AddFiles(const std::vector<std::string>& paths, const std::function<void(const std::string&)>& onFile = {});
  // A file already opened (standard input), read the same way.
  void AddTextFile(CTextFile& file, const std::string& title);

  const std::vector<CCorpusText>& Texts() const { return m_arrTexts; }
  const CVocabulary& Vocabulary() const { return m_vocabulary; }
  const CCorpusPlan& Plan() const { return m_plan; }
  // The spans counted as read, or null when the plan asked for none.
  const CSpanCounts* Spans() const { return m_plan.m_nSpanLeft >= 0 ? &m_spans : nullptr; }
  // Byte texts are read this many bytes at a time (at least 2); tests cut them small.
  void SetPieceSize(std::size_t n) { m_nPiece = std::max<std::size_t>(n, 2); }
  // Files longer than rangeBytes are counted in ranges of about that size on `threads`
  // threads (0: the worker pool's number), when the plan allows. Tests cut them small.
  void SetRanges(std::size_t rangeBytes, unsigned threads = 0) {
    m_nRangeBytes = std::max<std::size_t>(rangeBytes, 1);
    m_nThreads = threads;
  }
  const CTextClasses& Classes() const { return *m_pClasses; }
  const CSearchRequest& Request() const { return m_request; }
  bool HasNode() const { return m_bNode; }
  std::int64_t Tokens() const { return m_nTokens; }
  std::int64_t NodeHits() const { return m_nHits; }
  bool Stopped() const { return m_bStopped; }
  const std::vector<std::string>& SkippedFiles() const { return m_arrSkipped; }
  // The word entry of a folded spelling, or -1.
  std::int64_t Find(std::string_view raw) const;

 private:
  struct CRange;
  struct CRangeEdges;
  CAnalysisCorpus() = default;
  // A corpus that counts one range of a file for this one (same language, node, plan).
  std::unique_ptr<CAnalysisCorpus> RangeCounter() const;
  struct CCounterPool;
  bool CanCountSideBySide() const;
  bool CanCountRanges(std::int64_t size) const;
  // bytes: the files' sizes' sum, what progress counts. The pool's counters have counted
  // files up to first - 1 (in AddFiles' count).
  void AddShortFiles(const std::vector<std::string>& paths, std::uint64_t bytes, CCounterPool& counters,
                     std::size_t first);
  void CountFileInRanges(CFileReader& reader, CCorpusText& out);
  // Counts window[lead, lead + length) as a range into out; the bytes around it are
  // context. The counter is then ready for another range.
  void CountRange(std::string_view window, std::size_t lead, std::size_t length, bool bTextEnds, CRange& out);
  // entries: the corpus's entry plus one of each of the range's counter's (0: not yet
  // known), completed by this merge.
  void MergeRange(const CRange& range, std::uint64_t base, std::vector<std::uint32_t>& entries);
  // A word found by the tokenisers: [start, end) in the text as searched.
  // bPadded: 8 bytes can be read from any place of the word.
  void Store(std::string_view word, std::uint64_t start, std::uint64_t end, bool bPadded = false);
  // The same for a word of the entry (-1: no word).
  void StoreEntry(std::int64_t entry, std::uint64_t start, std::uint64_t end);
  std::int64_t Intern(std::string_view word, bool bPadded);
  // A word stored a few words later, in the order met: it waits in a ring while its
  // cache set is fetched, then, halfway, its tally (or the raw table's slot, when the
  // cache misses it). The bytes must stay where they are until DrainWaiting.
  void Await(std::string_view word, std::uint64_t start, std::uint64_t end, bool bPadded);
  void DrainWaiting();
  // A word met for the first time in this text (or range).
  void MetInText(std::uint32_t entry);
  void BeginText(CCorpusText& out);
  void OnToken(std::uint64_t start, std::uint64_t end, std::uint32_t word);
  // The same with hits queued or spans open, or the range's first words still to note.
  [[gnu::noinline]] void OnTokenNearHits(std::uint64_t start, std::uint64_t end, std::uint32_t word);
  void OnHit(std::uint64_t offset);
  void Activate(std::uint64_t offset);
  void EndText();
  void EndOpenWord();
  // The byte rule over p[from, to) of a buffer of n bytes whose p[0] is at text offset
  // base; a word may go on into the next call.
  void TokenizeBytes(const unsigned char* p, std::size_t n, std::size_t from, std::size_t to, std::uint64_t base,
                     const std::vector<std::uint64_t>* map);
  // The same rule one byte at a time, a word open at its end kept for the next call.
  void TokenizeByteByByte(const unsigned char* p, std::size_t n, std::size_t from, std::size_t to, std::uint64_t base,
                          const std::vector<std::uint64_t>* map);
  void TokenizeDoubleByte(std::string_view text);
  template <class Source>
  void StreamBytes(Source& source, std::uint64_t total);
  void WholeBytes(std::string_view text);
  bool Report(std::uint64_t done, std::uint64_t total);

  // Raw spellings met so far -> vocabulary entry (or -1: no word), so a word is folded
  // only the first time its spelling is met. Open addressing; spellings in one arena.
  struct CRawSlot {
    std::uint64_t m_nWord = 0;  // the bytes of a word of up to 8, else its place in the arena
    std::int32_t m_nEntry = -1;
    std::uint32_t m_nTag = 0;   // hash bits and length (at most 255); 0: empty
  };
  struct CRecent {
    std::uint64_t m_nHead = 0, m_nTail = 0;  // a word of up to 16 bytes; 0: none
    std::int32_t m_nEntry = -1;
  };
  struct CWaiting {
    const char* m_pWord;
    std::size_t m_nLength;
    std::uint64_t m_nStart, m_nEnd;
    std::uint64_t m_nHead, m_nTail;
    CRecent* m_pSet;
    std::int64_t m_nEntry;  // from the cache, or kNotLooked or kMissed
    bool m_bPadded;
  };
  static constexpr std::int64_t kNotLooked = -3, kMissed = -2;
  static constexpr std::size_t kWaitingSize = 16;
  CWaiting m_arrWaiting[kWaitingSize];
  std::size_t m_nWaiting = 0;  // words put in the ring since it was last drained
  void Look(CWaiting& waiting);
  void Leave(const CWaiting& waiting);
  static constexpr int kRecentBits = 13;  // sets of two
  std::vector<CRecent> m_arrRecent = std::vector<CRecent>(2 << kRecentBits);
  // Intern past the cache: the raw table, and the first meeting of a spelling.
  [[gnu::noinline]] std::int64_t InternSpelling(std::string_view word, bool bPadded, std::uint64_t head,
                                                std::uint64_t tail, CRecent* set);
  std::string m_strArena;
  std::vector<CRawSlot> m_arrRawSlots = std::vector<CRawSlot>(1 << 12);
  std::size_t m_nRawUsed = 0;

  // The text being read: the last words (for left spans), and the hits whose first word
  // after their match is yet to come.
  struct CPending {
    std::uint64_t m_nEnd = 0;  // the match's end: words from here on are right of it
    int m_nLeft = 0;           // right-span words still to count
    std::int64_t m_nHit = -1;  // kept hit whose m_nAfter is still to be set
  };
  CCorpusText* m_pText = nullptr;
  std::uint32_t m_arrRing[kRingSize] = {};
  std::vector<std::uint64_t> m_arrQueued;
  std::size_t m_nQueuedHead = 0;
  std::deque<CPending> m_pending;
  // Right spans taking words: each takes every word until the text's word m_nStop, so a
  // word near hits costs a count, not a walk over them. m_nEnd: its match's end.
  struct CActiveSpan {
    std::uint64_t m_nStop = 0;
    std::uint64_t m_nEnd = 0;
  };
  std::deque<CActiveSpan> m_active;
  std::string m_strWord;          // an open word parted by a dropped byte or a call's end
  std::size_t m_nWordLength = 0;  // of the open word (0: none), gathered or not
  std::uint64_t m_nWordStart = 0, m_nWordEnd = 0;
  std::size_t m_nPiece = 1 << 18;
  std::size_t m_nKeyLength = 0;
  bool m_bPaddedBuffer = false;  // the tokeniser's buffer has 8 bytes to spare at its end
  CSearchRequest m_request;
  bool m_bNode = false;
  CCorpusPlan m_plan;
  CSpanCounts m_spans;
  ProgressFn m_fnProgress;
  std::shared_ptr<const CTextClasses> m_pClasses;
  std::shared_ptr<const CByteWordClasses> m_pWordClasses;
  std::shared_ptr<const CCodePage> m_pAnsiCp;
  std::shared_ptr<const CByteMatcher> m_pByteMatcher;
  std::shared_ptr<const CWideMatcher> m_pWideMatcher;
  unsigned m_nPairMin = 0x40;         // double-byte: lowest second byte of the lead range
  std::vector<signed char> m_arrPairValid;
  std::vector<CCorpusText> m_arrTexts;
  CVocabulary m_vocabulary;
  // The counts of the text being read, per entry side by side (a word's span counts are
  // raised just after its count, so they share its cache line); they join the
  // vocabulary's and the spans' when the text ends, or go to the merge from a range.
  struct CTally {
    std::int64_t m_nCount = 0, m_nLeft = 0, m_nRight = 0;
  };
  std::vector<CTally> m_arrTally;
  std::vector<std::uint32_t> m_arrMet;  // the entries of the text's tallies, in the order met
  std::int64_t m_nTokens = 0;
  std::int64_t m_nHits = 0;
  std::size_t m_nRangeBytes = std::size_t{32} << 20;
  unsigned m_nThreads = 0;
  std::unique_ptr<CRangeEdges> m_pEdges;  // a range counter's: what its neighbours need
  std::size_t m_nRangeCounter = 0;        // a range counter's number among its file's
  std::size_t m_nRangeIndex = 0;          // and the last range it counted
  std::vector<const std::string*> m_arrFolded;  // per entry: its key in the vocabulary's index
  bool m_bStopped = false;
  std::vector<std::string> m_arrSkipped;
};

// The node's words in the span of each hit: the words before it and after it, at most
// nLeft and nRight, within its text. Calls fn(word entry, bLeft) for each.
template <class Fn>
void ForEachSpanWord(const CCorpusText& text, const CNodeHit& hit, int nLeft, int nRight, Fn&& fn) {
  const std::size_t from = hit.m_nFirst > static_cast<std::size_t>(nLeft) ? hit.m_nFirst - nLeft : 0;
  for (std::size_t k = from; k < hit.m_nFirst; ++k) fn(text.m_arrTokens[k].m_nWord, true);
  const std::size_t to = std::min(text.m_arrTokens.size(), hit.m_nAfter + static_cast<std::size_t>(nRight));
  for (std::size_t k = hit.m_nAfter; k < to; ++k) fn(text.m_arrTokens[k].m_nWord, false);
}

}  // namespace tessary

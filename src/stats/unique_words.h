#pragma once
// Unique-word lists: every distinct word of a body of text with its number of
// instances and its share of all words, in the order the list first shows them,
// re-ordered by frequency or alphabetically, and written as the saved list file.
//
// Byte texts are split by the byte tokenizer and filed in letter buckets A to Z (plus
// one for words that start with another letter of the code page) in the order of first
// occurrence; a bucket that reaches 200 entries is re-ordered by count, and the first
// listing is the buckets one after the other. Double-byte (Chinese) texts count every
// double-byte character as a word, in one list in order of first occurrence. Look-ups
// go through a hash index; the order seen is the buckets'.
//
// A long byte text is cut into ranges just after white space, counted on the worker
// threads each in its own table, and the tables are added to the list in the ranges'
// order, so the words come in the order first met. A bucket that stands at 200 entries
// while a range is added has that range's words of it filed again one by one instead:
// its order depends on every count as it grew.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/expected.h"
#include "engine/progress.h"
#include "engine/workers.h"
#include "stats/byte_words.h"
#include "stats/folded_words.h"
#include "stats/profile.h"
#include "stats/text_classes.h"

namespace tessary {

class CFileReader;
class CSpellingSets;

inline constexpr std::size_t kLetterBuckets = 27;        // A..Z, then other letters
inline constexpr std::size_t kBucketReorderSize = 200;   // a bucket of this size is sorted by count
inline constexpr std::size_t kMaxListedWordBytes = kMaxWordBytes;  // longer words count but are not listed

struct CUniqueWord {
  std::string m_strWord;  // as first met, with its case
  std::int64_t m_nCount = 0;
};

struct CUniqueWordList {
  std::vector<CUniqueWord> m_arrRows;
  std::int64_t m_nTotal = 0;  // all words read, listed or not

  // "%ld"
  std::string TotalText() const;
  // "%.4f %%" of count x 100 / total (0 when there is no word at all).
  std::string PercentText(std::int64_t count) const;
};

struct CUniqueWordOptions {
  // The encoding of byte texts: a code page number or kUtf8CodePage.
  int m_nCodePage = 1252;
  // The double-byte tokenizer, over Big5 (code page 950) or GB (936) text.
  bool m_bDoubleByte = false;
  bool m_bBig5 = true;
};

class CUniqueWordCounter {
 public:
  // Fails when the code page cannot be had.
  static Expected<std::unique_ptr<CUniqueWordCounter>> Create(const CUniqueWordOptions& options,
                                                              CProfileObserver observer = {});
  ~CUniqueWordCounter();
  CUniqueWordCounter(const CUniqueWordCounter&) = delete;
  CUniqueWordCounter& operator=(const CUniqueWordCounter&) = delete;

  // One text (a document's plain text), read to its end, last line included. Space,
  // tab, carriage return and line feed end a word. Does nothing once stopped.
  void AddText(std::string_view text, const std::string& title);
  // A file read in text mode (Ctrl-Z ends the text); unreadable files are skipped.
  void AddFile(const std::string& path);
  // Files one after the other, as AddFile would add them: short byte files are counted
  // side by side on the worker threads and added in order.
  void AddFiles(const std::vector<std::string>& paths);

  bool Stopped() const { return m_bStopped; }
  // Both may be read on another thread while words are added.
  std::int64_t Total() const { return m_nTotal.load(std::memory_order_relaxed); }
  std::size_t UniqueCount() const;
  const std::vector<std::string>& SkippedFiles() const { return m_arrSkipped; }
  // Byte texts longer than rangeBytes are cut into ranges of about that size, counted
  // on `threads` threads (0: the worker pool's number). Tests cut them small.
  void SetRanges(std::size_t rangeBytes, unsigned threads = 0);
  // The classes of the text encoding (the double-byte set when double-byte).
  const CTextClasses& Classes() const { return m_classes; }

  // The rows in first order: the buckets one after the other, or the double-byte list.
  CUniqueWordList List() const;
  // The words of one bucket (0..25 for A..Z, 26 for other letters), in stored order.
  std::vector<CUniqueWord> Bucket(std::size_t index) const;

 private:
  struct Range;
  CUniqueWordCounter(const CUniqueWordOptions& options, CTextClasses classes, CProfileObserver observer);
  void AddLongFile(CFileReader& reader, const std::string& path);
  void AddShortFiles(const std::vector<std::string>& paths, std::uint64_t bytes);
  void TokenizeBytes(std::string_view text);
  // The bytes of the range [from, to) of a text, read into buffer when the text is not
  // in memory; bEnds: the text ends in them (a Ctrl-Z, a short read or its own end),
  // and the bytes stop there. Called on the worker threads.
  using RangeBytes = std::function<std::string_view(std::uint64_t from, std::uint64_t to, std::string& buffer, bool& bEnds)>;
  // Where the ranges of a text of `size` bytes begin, and its size last; cutAfter(at)
  // gives the first place at or after `at` just after white space.
  std::vector<std::uint64_t> RangeCuts(std::uint64_t size, const std::function<std::uint64_t(std::uint64_t)>& cutAfter) const;
  void TokenizeText(std::string_view text);
  void TokenizeRanges(const std::vector<std::uint64_t>& cuts, const RangeBytes& bytes);
  void CountRange(Range& range, std::string_view text, CSharedProgress& progress) const;
  void MergeRange(const Range& range, const RangeBytes& bytes);
  void TokenizeDoubleByte(std::string_view text);
  // One word of 1 to 255 bytes, filed as the list files it when met.
  void StoreWord(const unsigned char* word, std::size_t length, const unsigned char* readLimit);
  // The same past the cache of spellings; gives the word's entry.
  std::uint32_t StoreSpelling(const unsigned char* word, std::size_t length, const unsigned char* readLimit);
  void CountFound(std::uint32_t entry, std::uint8_t bucket);
  // A word not in the list yet: its bucket's place, not its re-ordering.
  std::uint32_t AddWord(const CFoldedKey& key, const unsigned char* spelling, std::uint8_t bucket, std::int64_t count);
  std::uint8_t BucketOf(const CFoldedKey& key, std::string_view spelling) const;
  void Reorder(std::uint32_t bucket, std::uint32_t entry, bool bFound);
  bool IsDoubleByteCharacter(unsigned char first, unsigned char second);
  CUniqueWord Row(std::uint32_t entry) const;
  void AddTotal(std::int64_t n) { m_nTotal.store(m_nTotal.load(std::memory_order_relaxed) + n, std::memory_order_relaxed); }
  void AddUnique() { m_nUnique.store(m_nUnique.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed); }

  CUniqueWordOptions m_options;
  CTextClasses m_classes;
  CProfileObserver m_observer;
  CWordFolder m_folder;
  CByteWordClasses m_byteClasses;
  std::size_t m_nRangeBytes = std::size_t{8} << 20;
  unsigned m_nThreads = 0;
  CFoldedWords m_words;                     // byte texts: every word met, listed or not
  std::unique_ptr<CSpellingSets> m_pSpellings;  // words filed one by one: spelling -> entry, bucket
  std::vector<std::uint32_t> m_arrPos;      // per entry: its place in its bucket
  std::vector<std::uint32_t> m_arrBuckets[kLetterBuckets];
  // One thread at a time adds to these (the merges take turns), while the progress
  // callback may read them on another: a plain add, seen whole.
  std::atomic<std::size_t> m_nUnique{0};
  std::vector<std::uint16_t> m_arrPairs;        // double-byte: characters in first order
  std::vector<std::int64_t> m_arrPairCounts;    // double-byte: their counts
  std::vector<std::uint32_t> m_arrPairIndex;    // double-byte: character -> place + 1
  std::vector<signed char> m_arrPairValid;      // double-byte: -1 unknown, 0, 1
  std::atomic<std::int64_t> m_nTotal{0};
  bool m_bStopped = false;
  std::vector<std::string> m_arrSkipped;
};

// Highest count first; rows with equal counts keep their order.
void SortByFrequency(std::vector<CUniqueWord>& rows);
// Ascending by the case-insensitive comparison of the words (double-byte aware);
// rows with equal words keep their order.
void SortAlphabetically(std::vector<CUniqueWord>& rows, const CTextClasses& classes);

// The saved file, rows in their current order: "Unique words = %-4d \tTotal words = %s"
// then "%-4d%20s\t%s\t%s" per row (1-based number, word, instances, percent); every
// line ends in '\n'. Bytes in the texts' encoding.
std::string UniqueWordFileText(const CUniqueWordList& list);
// Writes that text to path. "File error" when the file cannot be created or written;
// nothing is left behind then.
Expected<std::string> SaveUniqueWordList(const std::string& path, const CUniqueWordList& list);

}  // namespace tessary

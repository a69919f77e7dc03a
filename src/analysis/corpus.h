#pragma once
// The texts of an analysis as words: every source split by the unique-word rule of its
// language (the same words, spelled and folded the same way, as the unique-word list),
// each word with its place in the text, and the places where the node (a search as the
// concordance runs it) matches. The analyses read this and nothing else.
#include <algorithm>
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
#include "stats/text_classes.h"

namespace tessary {

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
  std::vector<CToken> m_arrTokens;
  std::vector<CNodeHit> m_arrHits;
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
 public:
  // bNode: find the request's search string (its mode, '%' and language, as the
  // concordance does); without it the request gives only the language. Fails as the
  // concordance search does when there is nothing to search for or no code page.
  static Expected<std::unique_ptr<CAnalysisCorpus>> Create(const CSearchRequest& request, bool bNode,
                                                           ProgressFn progress = {});
  ~CAnalysisCorpus();

  // An open document's text: bytes in the text code page for byte searches, UTF-8
  // for 16-bit ones (it is converted to UTF-16 for the match).
  void AddText(std::string_view text, const std::string& title);
  void AddText(std::u16string_view text, const std::string& title);
  // A file read as the concordance reads it: text mode for byte searches, decoded as
  // the editor loads it for 16-bit searches. A file that cannot be read is skipped.
  void AddFile(const std::string& path);
  // A file already opened (standard input), read the same way.
  void AddTextFile(CTextFile& file, const std::string& title);

  const std::vector<CCorpusText>& Texts() const { return m_arrTexts; }
  const CVocabulary& Vocabulary() const { return m_vocabulary; }
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
  CAnalysisCorpus() = default;
  void TokenizeBytes(std::string_view text, CCorpusText& out, const std::vector<std::uint64_t>* map);
  void TokenizeDoubleByte(std::string_view text, CCorpusText& out);
  void Store(std::string_view word, std::uint64_t start, std::uint64_t end, CCorpusText& out,
             const std::vector<std::uint64_t>* map);
  void FindHits(CCorpusText& text, std::string_view bytes, std::u16string_view wide);
  bool Report(std::uint64_t done, std::uint64_t total);

  CSearchRequest m_request;
  bool m_bNode = false;
  ProgressFn m_fnProgress;
  std::unique_ptr<CTextClasses> m_pClasses;
  std::shared_ptr<const CCodePage> m_pAnsiCp;
  std::unique_ptr<CByteMatcher> m_pByteMatcher;
  std::unique_ptr<CWideMatcher> m_pWideMatcher;
  unsigned m_nPairMin = 0x40;         // double-byte: lowest second byte of the lead range
  std::vector<signed char> m_arrPairValid;
  std::vector<CCorpusText> m_arrTexts;
  CVocabulary m_vocabulary;
  std::int64_t m_nTokens = 0;
  std::int64_t m_nHits = 0;
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

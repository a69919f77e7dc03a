#include "analysis/corpus.h"

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

}  // namespace

Expected<std::unique_ptr<CAnalysisCorpus>> CAnalysisCorpus::Create(const CSearchRequest& request, bool bNode,
                                                                   ProgressFn progress) {
  using Result = Expected<std::unique_ptr<CAnalysisCorpus>>;
  std::unique_ptr<CAnalysisCorpus> corpus(new CAnalysisCorpus);
  corpus->m_request = request;
  corpus->m_bNode = bNode;
  corpus->m_fnProgress = std::move(progress);
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
    } else {
      auto parts = PrepareSearch<char>(plain, true);
      if (!parts) return Result::Failure(parts.Error());
      corpus->m_pByteMatcher = std::move(parts->m_pMatcher);
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
  if (m_request.m_language.IsDoubleByte()) TokenizeDoubleByte(text, out);
  else TokenizeBytes(text, out, nullptr);
  FindHits(out, text, {});
}

void CAnalysisCorpus::AddText(std::u16string_view text, const std::string& title) {
  if (m_bStopped) return;
  if (!m_request.m_bUnicode) return AddText(std::string_view(Utf16ToUtf8(text)), title);
  CCorpusText& out = m_arrTexts.emplace_back();
  out.m_strPath = title;
  out.m_nLength = text.size();
  std::vector<std::uint64_t> map;
  const std::string utf8 = ToUtf8WithMap(text, map);
  TokenizeBytes(utf8, out, &map);
  FindHits(out, {}, text);
}

void CAnalysisCorpus::AddFile(const std::string& path) {
  if (m_bStopped) return;
  auto file = CTextFile::Open(path);
  if (!file) {
    m_arrSkipped.push_back(file.Error());
    return;
  }
  AddTextFile(**file, path);
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

void CAnalysisCorpus::Store(std::string_view word, std::uint64_t start, std::uint64_t end, CCorpusText& out,
                            const std::vector<std::uint64_t>* map) {
  // Only the words the unique-word list lists are words here: 1 to 255 bytes, starting
  // with a letter. Numbers and the like count in that list's total but are no word.
  if (word.empty() || word.size() > kMaxListedWordBytes) return;
  std::string folded = m_pClasses->Fold(word);
  const auto first = static_cast<unsigned char>(folded[0]);
  if (m_arrPairValid.empty() && !(first >= 'A' && first <= 'Z') && !m_pClasses->StartsWithOtherLetter(word))
    return;
  CVocabulary& v = m_vocabulary;
  auto [it, bNew] = v.m_index.try_emplace(std::move(folded), static_cast<std::uint32_t>(v.m_arrRaw.size()));
  if (bNew) {
    v.m_arrRaw.emplace_back(word);
    v.m_arrSpelling.push_back(m_pClasses->ToUtf8(word));
    v.m_arrCount.push_back(0);
  }
  ++v.m_arrCount[it->second];
  ++m_nTokens;
  if (map) start = (*map)[start], end = (*map)[end];
  out.m_arrTokens.push_back({start, end, it->second});
}

// The unique-word list's byte rule: A..Z and every byte from 'a' up are word bytes;
// a hyphen followed by a letter and an apostrophe followed by a letter (or a byte from
// 'a' up) stay inside a word; anything else is dropped without ending the word. A word
// ends before white space or the end of the text, and after a hyphen that no letter
// (or byte from 'z' up) follows.
void CAnalysisCorpus::TokenizeBytes(std::string_view text, CCorpusText& out, const std::vector<std::uint64_t>* map) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  std::string word;
  std::uint64_t start = 0, end = 0;
  auto append = [&](std::size_t i) {
    if (word.empty()) start = i;
    word.push_back(static_cast<char>(p[i]));
    end = i + 1;
  };
  auto endWord = [&] {
    Store(word, start, end, out, map);
    word.clear();
  };
  std::uint64_t nextReport = kStep;
  for (std::size_t i = 0; i < n; ++i) {
    if (i >= nextReport) {
      if (!Report(i, n)) return;
      nextReport += kStep;
    }
    const unsigned char c = p[i];
    const unsigned char d = i + 1 < n ? p[i + 1] : ' ';
    if (IsWordByte(c)) {
      append(i);
    } else if (IsWhite(c)) {
      continue;
    } else if (!word.empty() && ((c == '-' && m_pClasses->IsAlpha(d)) || (c == '\'' && (m_pClasses->IsAlpha(d) || d >= 'a')))) {
      append(i);
    }
    if (IsWhite(d) || (c == '-' && !m_pClasses->IsAlpha(d) && d < 'z')) endWord();
  }
  Report(n, n);
}

// Double-byte texts: every double-byte character is a word; everything else, ASCII
// words included, is passed over.
void CAnalysisCorpus::TokenizeDoubleByte(std::string_view text, CCorpusText& out) {
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
    Store(text.substr(i, 2), i, i + 2, out, nullptr);
    ++i;
  }
  Report(n, n);
}

void CAnalysisCorpus::FindHits(CCorpusText& text, std::string_view bytes, std::u16string_view wide) {
  if (!m_bNode || m_bStopped) return;
  const auto& tokens = text.m_arrTokens;
  std::size_t first = 0, after = 0;
  auto hit = [&](std::size_t offset, std::size_t length) {
    // Offsets come in order, so both word indexes only move forward.
    while (first < tokens.size() && tokens[first].m_nEnd <= offset) ++first;
    if (after < first) after = first;
    while (after < tokens.size() && tokens[after].m_nStart < offset + length) ++after;
    text.m_arrHits.push_back({offset, length, first, after});
    return true;
  };
  if (m_pByteMatcher) {
    const std::size_t n = m_pByteMatcher->KeyLength();
    m_pByteMatcher->ForEachMatch(bytes, 0, bytes.size(), [&](std::size_t i) { return hit(i, n); });
  } else {
    const std::size_t n = m_pWideMatcher->KeyLength();
    m_pWideMatcher->ForEachMatch(wide, 0, wide.size(), [&](std::size_t i) { return hit(i, n); });
  }
  m_nHits += static_cast<std::int64_t>(text.m_arrHits.size());
}

}  // namespace tessary

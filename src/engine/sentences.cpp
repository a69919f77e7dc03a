#include "engine/sentences.h"

#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include <algorithm>

#include "engine/number_prefix.h"

namespace tessary {

namespace {

template <class CharT>
bool IsTerminator(CharT c) {
  return c == CharT('.') || c == CharT('?') || c == CharT('!');
}

template <class CharT>
bool OpensWord(CharT c) {
  return c == CharT('\n') || c == CharT('\r') || c == CharT(' ') || c == CharT('"') || c == CharT('\'') ||
         c == CharT('(');
}

// What the C runtime calls punctuation: visible, but neither letter nor digit.
bool IsPunctuation(UChar32 c) { return c != 0xFFFD && u_isgraph(c) && !u_isalnum(c); }

template <class CharT, class Letter, class Punct>
std::optional<CSentenceBounds> Find(std::basic_string_view<CharT> text, std::size_t i, std::size_t n,
                                    const Letter& letter, const Punct& punct) {
  if (i >= text.size()) return std::nullopt;
  if (i > 0 && !OpensWord(text[i - 1])) return std::nullopt;
  const std::size_t lowest = i > kSentenceBack ? i - kSentenceBack : 0;
  std::size_t p = i;
  while (p > lowest && !IsTerminator(text[p])) --p;
  // A keyword without letters would send the walk past itself: it stops there.
  std::size_t start = p;
  while (start < i && !letter(start)) ++start;
  // Stepping back stays within the text and within the 513 characters.
  if (start > lowest && punct(start - 1)) --start;

  const std::size_t limit = std::min(text.size(), i + n + kSentenceForward);
  std::size_t end = i + n;
  while (end < limit && !IsTerminator(text[end])) ++end;
  end = end < limit ? end + 1 : limit;
  return CSentenceBounds{start, end};
}

template <class CharT>
CharT Clean(CharT c) {
  // Line ends become spaces; a NUL would cut the line short for C-string consumers.
  return (c == CharT('\n') || c == CharT('\r') || c == CharT(0)) ? CharT(' ') : c;
}

void AppendPath(std::string& out, std::string_view path) { out.append(path); }
void AppendPath(std::u16string& out, std::string_view path) { out += Utf8ToUtf16(path); }

template <class CharT>
CSentenceLine Append(std::basic_string<CharT>& out, std::basic_string_view<CharT> text, CSentenceBounds b,
                     std::size_t offset, std::int64_t nNumber, std::string_view path, bool bLineNumbers,
                     bool bFileReference) {
  CSentenceLine line;
  const std::size_t begin = out.size();
  if (bLineNumbers) {
    const std::string prefix = NumberPrefix(nNumber);
    out.append(prefix.begin(), prefix.end());
    line.m_nPrefix = static_cast<std::int64_t>(prefix.size());
  }
  for (std::size_t p = b.m_nStart; p < b.m_nEnd && p < text.size(); ++p) out.push_back(Clean(text[p]));
  line.m_nBody = static_cast<std::int64_t>(out.size() - begin) - line.m_nPrefix;
  if (bFileReference) {
    out += CharT(' ');
    out += CharT('(');
    const std::size_t before = out.size();
    AppendPath(out, path);
    line.m_nPath = static_cast<std::int64_t>(out.size() - before);
    out += CharT(')');
  }
  out.push_back(CharT('\n'));
  line.m_nLength = static_cast<std::int64_t>(out.size() - begin);
  line.m_nKeyOffset = line.m_nPrefix + static_cast<std::int64_t>(offset - b.m_nStart);
  return line;
}

}  // namespace

std::optional<CSentenceBounds> FindSentence(std::string_view text, std::size_t offset, std::size_t keyLength,
                                            const CCodePage& cp) {
  auto letter = [&](std::size_t p) { return cp.IsAlpha(static_cast<unsigned char>(text[p])); };
  auto punct = [&](std::size_t p) { return IsPunctuation(cp.ByteToUnicode(static_cast<unsigned char>(text[p]))); };
  return Find(text, offset, keyLength, letter, punct);
}

std::optional<CSentenceBounds> FindSentence(std::u16string_view text, std::size_t offset,
                                            std::size_t keyLength) {
  // The second half of a surrogate pair is never a start: a sentence cut 513 units
  // back begins at the next whole character.
  auto trail = [&](std::size_t p) { return p > 0 && U16_IS_TRAIL(text[p]) && U16_IS_LEAD(text[p - 1]); };
  auto letter = [&](std::size_t p) {
    if (trail(p)) return false;
    UChar32 c;
    U16_GET(text.data(), 0, p, text.size(), c);
    return static_cast<bool>(u_isalpha(c));
  };
  auto punct = [&](std::size_t p) { return !U16_IS_SURROGATE(text[p]) && IsPunctuation(text[p]); };
  auto bounds = Find(text, offset, keyLength, letter, punct);
  // Nor does a sentence cut 256 units on end with half a pair.
  if (bounds && bounds->m_nEnd > offset + keyLength && bounds->m_nEnd < text.size() &&
      U16_IS_LEAD(text[bounds->m_nEnd - 1]) && U16_IS_TRAIL(text[bounds->m_nEnd]))
    --bounds->m_nEnd;
  return bounds;
}

CSentenceLine AppendSentenceLine(std::string& out, std::string_view text, CSentenceBounds bounds,
                                 std::size_t offset, std::int64_t nNumber, std::string_view path,
                                 bool bLineNumbers, bool bFileReference) {
  return Append(out, text, bounds, offset, nNumber, path, bLineNumbers, bFileReference);
}

CSentenceLine AppendSentenceLine(std::u16string& out, std::u16string_view text, CSentenceBounds bounds,
                                 std::size_t offset, std::int64_t nNumber, std::string_view path,
                                 bool bLineNumbers, bool bFileReference) {
  return Append(out, text, bounds, offset, nNumber, path, bLineNumbers, bFileReference);
}

}  // namespace tessary

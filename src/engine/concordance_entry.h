#pragma once
// One record per concordance line: where the match came from and how it sorts.
// Entries are small and hold no heap memory: a million of them cost one allocation.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace tessary {

// The longest sort key: collocate keys take at most this many code units.
inline constexpr int kMaxSortKey = 20;

// A sort key kept inside its entry. Every key the recorder builds (collocate, double-byte
// characters, decimal position) fits; longer text is cut at kMaxSortKey units.
template <class CharT>
class CInlineKey {
 public:
  using View = std::basic_string_view<CharT>;
  CInlineKey() = default;
  // Keys are made and assigned from any text: literals, strings, views.
  template <class Text>
    requires std::is_convertible_v<const Text&, View>
  CInlineKey(const Text& text) {  // NOLINT(google-explicit-constructor)
    assign(text);
  }
  template <class Text>
    requires std::is_convertible_v<const Text&, View>
  CInlineKey& operator=(const Text& text) {
    return assign(text);
  }

  CInlineKey& assign(View text) {
    m_nSize = 0;
    return append(text);
  }
  CInlineKey& append(View text) {
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(kMaxSortKey) - m_nSize);
    std::copy_n(text.data(), n, m_chars + m_nSize);
    m_nSize = static_cast<std::uint8_t>(m_nSize + n);
    return *this;
  }
  CInlineKey& operator+=(View text) { return append(text); }
  void clear() { m_nSize = 0; }

  View view() const { return View(m_chars, m_nSize); }
  operator View() const { return view(); }  // NOLINT: reads as the text it holds
  std::size_t size() const { return m_nSize; }
  bool empty() const { return m_nSize == 0; }
  const CharT* begin() const { return m_chars; }
  const CharT* end() const { return m_chars + m_nSize; }
  View substr(std::size_t pos, std::size_t n = View::npos) const { return view().substr(pos, n); }
  template <class Text>
    requires std::is_convertible_v<const Text&, View>
  friend bool operator==(const CInlineKey& a, const Text& b) {
    return a.view() == View(b);
  }

 private:
  CharT m_chars[kMaxSortKey] = {};
  std::uint8_t m_nSize = 0;
};

struct CConcordanceEntry {
  CInlineKey<char> m_strSortKey;  // collocate key, decimal offset ("Sort Position") or empty
  std::int64_t m_nLine = 0;       // index of the entry's line in the order found
  std::int64_t m_nPosition = 0;   // offset of the keyword in its source text
  std::int64_t m_nKeyOffset = 0;  // column of the sort collocate, line without number prefix
  std::int64_t m_nKeyLength = 0;  // letters of that collocate
  // The source: an index into the file table of the recorder or list that holds the
  // entry (their FileOf gives the path), so the lines of one file share one path.
  std::uint32_t m_nFile = 0;
};

// Entries of 16-bit searches: a 16-bit key and no collocate columns.
struct CWideConcordanceEntry {
  CInlineKey<char16_t> m_wstrSortKey;
  std::int64_t m_nLine = 0;
  std::int64_t m_nPosition = 0;
  std::uint32_t m_nFile = 0;
};

// The path of an entry in a file table; "" for an index the table does not hold.
inline const std::string& FileOfEntry(const std::vector<std::string>& files, std::uint32_t nFile) {
  static const std::string kNone;
  return nFile < files.size() ? files[nFile] : kNone;
}

}  // namespace tessary

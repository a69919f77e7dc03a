#include "export/html_export.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "engine/codepage.h"
#include "engine/number_prefix.h"
#include "export/encodings.h"
#include "export/unicode_writer.h"

namespace tessary {

namespace {

// The page is byte text written in text mode: every line feed is CR LF.
constexpr std::string_view kNewLine = "\r\n";

bool IsHigh(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLow(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Turns a piece of the window's text into the page's bytes.
class CPieceEncoder {
 public:
  // cp null: UTF-8.
  explicit CPieceEncoder(std::shared_ptr<const CCodePage> cp) : m_pCp(std::move(cp)) {}

  void Append(std::string& out, std::u16string_view piece) const {
    std::u16string escaped;
    escaped.reserve(piece.size());
    for (char16_t c : piece) {
      switch (c) {
        case u'&': escaped += u"&amp;"; break;
        case u'<': escaped += u"&lt;"; break;
        case u'>': escaped += u"&gt;"; break;
        default: escaped += c;
      }
    }
    if (!m_pCp) {
      out += Utf16ToUtf8(escaped);
      return;
    }
    std::string bytes = m_pCp->FromUnicode(escaped);
    if (m_pCp->ToUnicode(bytes) == escaped) {
      out += bytes;
      return;
    }
    // Some character has no bytes in this page (a path's letters, a replaced byte):
    // it goes in as a numeric reference, so the page shows what the window shows.
    for (std::size_t i = 0; i < escaped.size();) {
      std::size_t n = IsHigh(escaped[i]) && i + 1 < escaped.size() && IsLow(escaped[i + 1]) ? 2 : 1;
      const std::u16string_view one(escaped.data() + i, n);
      bytes = m_pCp->FromUnicode(one);
      if (m_pCp->ToUnicode(bytes) == one) {
        out += bytes;
      } else {
        const char32_t c = n == 2 ? 0x10000 + ((static_cast<char32_t>(one[0]) - 0xD800) << 10) + (one[1] - 0xDC00)
                                  : one[0];
        out += "&#" + std::to_string(static_cast<std::uint32_t>(c)) + ";";
      }
      i += n;
    }
  }

 private:
  std::shared_ptr<const CCodePage> m_pCp;
};

// The unit index in line where byte column nColumn of the code page falls: the
// window's columns count bytes, which double-byte characters make fewer units.
std::size_t UnitColumn(std::u16string_view line, const std::string& lineBytes, std::int64_t nColumn,
                       const CCodePage* pDoubleByte) {
  const std::size_t column = static_cast<std::size_t>(std::max<std::int64_t>(0, nColumn));
  if (!pDoubleByte) return std::min(column, line.size());
  if (column >= lineBytes.size()) return line.size();
  return std::min(pDoubleByte->ToUnicode(std::string_view(lineBytes).substr(0, column)).size(), line.size());
}

}  // namespace

Expected<CHtmlPage> ConcordanceHtml(std::u16string_view text, const CHtmlListWindow& window) {
  using Result = Expected<CHtmlPage>;
  if (!window.m_bConcordance) return Result::Failure(kNotConcordanceWindow);

  CHtmlPage page;
  std::shared_ptr<const CCodePage> pageCp;    // null: the page is UTF-8
  std::shared_ptr<const CCodePage> columnCp;  // set for double-byte lists only
  if (!window.m_bUnicodeText) {
    auto cp = CCodePage::Open(window.m_nCodePage);
    if (!cp) return Result::Failure(cp.Error());
    if ((*cp)->IsDoubleByte()) columnCp = *cp;
    page.m_strCharset = HtmlCharset(window.m_nCodePage);
    if (!page.m_strCharset.empty()) pageCp = *cp;
  }
  if (page.m_strCharset.empty()) page.m_strCharset = "utf-8";
  const CPieceEncoder encoder(pageCp);

  std::string& out = page.m_strBytes;
  out.reserve(text.size() + text.size() / 2 + 256);
  out += "<HTML>";
  out += "<HEAD><TITLE>Concordance list</TITLE></HEAD>";
  out += kNewLine;
  out += "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=" + page.m_strCharset + "\">";
  out += "<body bgcolor=#ffffff>";
  out += "<PRE>";
  out += kNewLine;

  std::string lineBytes;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(u'\n', start);
    const std::size_t next = end == std::u16string_view::npos ? text.size() : end + 1;
    if (end == std::u16string_view::npos) end = text.size();
    std::u16string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
    start = next;

    const std::size_t i = static_cast<std::size_t>(page.m_nLines++);
    std::int64_t keyColumn;
    if (i < window.m_arrKeyColumns.size()) {
      keyColumn = window.m_arrKeyColumns[i];
    } else {
      const std::size_t prefix = window.m_bLineNumbers ? NumberPrefixLength(line) : 0;
      keyColumn = static_cast<std::int64_t>(prefix) + window.m_nWidth;
    }
    if (columnCp) lineBytes = columnCp->FromUnicode(line);
    const std::size_t keyStart = UnitColumn(line, lineBytes, keyColumn, columnCp.get());
    const std::size_t keyEnd =
        std::max(keyStart, UnitColumn(line, lineBytes, keyColumn + window.m_nKeyLength, columnCp.get()));

    encoder.Append(out, line.substr(0, keyStart));
    out += "<font color=#ff00ff><b><u><i>";
    encoder.Append(out, line.substr(keyStart, keyEnd - keyStart));
    out += "</i></u></b></font>";
    encoder.Append(out, line.substr(keyEnd));
    out += kNewLine;
  }
  out += "</PRE>";
  out += kNewLine;
  out += "</BODY></HEAD>";
  return page;
}

Expected<CHtmlPage> WriteConcordanceHtml(const std::string& path, std::u16string_view text,
                                         const CHtmlListWindow& window) {
  using Result = Expected<CHtmlPage>;
  auto page = ConcordanceHtml(text, window);
  if (!page) return page;
  // Only a page this call made or replaced is removed after a failed write: a device
  // (a full disk's /dev/full, a terminal) is written to but never deleted.
  std::error_code ignored;
  const auto status = std::filesystem::status(path, ignored);
  const bool removable = !std::filesystem::exists(status) || std::filesystem::is_regular_file(status);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return Result::Failure(kFileError);
  const std::string& bytes = page->m_strBytes;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  ok = std::fclose(file) == 0 && ok;
  if (!ok) {
    if (removable) std::remove(path.c_str());
    return Result::Failure(kFileError);
  }
  return page;
}

}  // namespace tessary

// The HTML export: no byte of the text reaches the page as markup. The page of a text
// and the page of the same text with every character replaced by a letter must hold
// the same markup characters, since only the list's shape may decide the markup.
#include <algorithm>

#include "export/html_export.h"
#include "fuzz_support.h"

using namespace tessary;

namespace {

std::size_t Markup(const std::string& page) {
  return static_cast<std::size_t>(std::count_if(page.begin(), page.end(),
                                                [](char c) { return c == '<' || c == '>'; }));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  CHtmlListWindow window;
  window.m_bConcordance = true;
  window.m_nWidth = in.ConsumeIntegralInRange<std::int64_t>(0, 20);
  window.m_nKeyLength = in.ConsumeIntegralInRange<std::int64_t>(0, 10);
  window.m_bLineNumbers = in.ConsumeBool();
  window.m_bUnicodeText = in.ConsumeBool();
  window.m_nCodePage = in.ConsumeBool() ? 1252 : 1251;
  const std::size_t columns = in.ConsumeIntegralInRange<std::size_t>(0, 3);
  for (std::size_t i = 0; i < columns; ++i) window.m_arrKeyColumns.push_back(in.ConsumeIntegralInRange<std::int64_t>(-2, 40));
  std::u16string text;
  while (in.remaining_bytes() >= 2) {
    char16_t c = in.ConsumeIntegral<char16_t>();
    if (!window.m_bUnicodeText) c &= 0xFF;  // byte lists hold characters of their page
    text.push_back(c);
  }
  auto page = ConcordanceHtml(text, window);
  FUZZ_CHECK(page);
  std::u16string plain = text;
  for (char16_t& c : plain)
    if (c != u'\n' && c != u'\r') c = u'a';
  auto reference = ConcordanceHtml(plain, window);
  FUZZ_CHECK(reference);
  FUZZ_CHECK(Markup(page->m_strBytes) == Markup(reference->m_strBytes));
  FUZZ_CHECK(page->m_nLines == reference->m_nLines);
  return 0;
}

// The word-list reader of the report and the comparison's line walk, over any bytes in
// any code page: every entry read is found again in its own list.
#include "stats/text_classes.h"
#include "stats/word_list_report.h"
#include "fuzz_support.h"

using namespace tessary;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::uint8_t pick = in.ConsumeIntegral<std::uint8_t>();
  const int cp = pick % 5 == 0 ? kUtf8CodePage : fuzz::PickCodePage(pick);
  auto classes = CTextClasses::Open(cp);
  FUZZ_CHECK(classes);
  const std::string list = in.ConsumeRandomLengthString(400);
  const std::string text = in.ConsumeRemainingBytesAsString();
  const CWordList words = WordListFromText(list, "list.txt", *classes);
  std::string folded;
  for (std::string_view rest = list; !rest.empty();) {
    const std::size_t lf = rest.find('\n');
    std::string_view entry = rest.substr(0, lf);
    rest = lf == std::string_view::npos ? std::string_view() : rest.substr(lf + 1);
    if (!entry.empty() && entry.back() == '\r') entry.remove_suffix(1);
    if (entry.empty()) continue;
    classes->Fold(entry, folded);
    FUZZ_CHECK(words.Contains(folded));
  }
  CWordListComparison comparison(words, words, *classes);
  comparison.AddText(text);
  const auto& report = comparison.Report();
  FUZZ_CHECK(report.m_nList1 <= report.m_nTotal);
  return 0;
}

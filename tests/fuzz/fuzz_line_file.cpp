// The big-file viewer's line reader over any bytes: pages, line moves and the quick
// search stay inside the file and always move forward where they should.
#include "bigfile/line_file.h"
#include "engine/codepage.h"
#include "fuzz_support.h"

using namespace tessary;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const int lines = in.ConsumeIntegralInRange<int>(1, 30);
  const int columns = in.ConsumeIntegralInRange<int>(1, 120);
  const std::string key = in.ConsumeRandomLengthString(8);
  const std::uint8_t moves = in.ConsumeIntegral<std::uint8_t>();
  const std::string bytes = in.ConsumeRemainingBytesAsString();
  fuzz::MemoryFile memory(bytes);
  auto file = CLineFile::Open(memory.Path());
  FUZZ_CHECK(file);
  CLineFile& f = **file;
  const std::int64_t length = f.Length();
  FUZZ_CHECK(length == static_cast<std::int64_t>(bytes.size()));
  static const auto cp = CCodePage::Open(1252);
  const CCaseFolder folder(**cp);
  std::int64_t top = 0;
  for (int m = 0; m < 8; ++m) {
    const CPage page = ReadPage(f, top, lines);
    FUZZ_CHECK(page.m_nEnd >= top && page.m_nEnd <= length);
    switch ((moves >> m) & 3) {
      case 0: {
        const std::int64_t next = LineDown(f, top);
        FUZZ_CHECK(next >= top && next <= length);
        top = next;
        break;
      }
      case 1: top = LineUp(f, top); break;
      case 2: top = PageUp(f, top, lines); break;
      default: top = ThumbTop(f, (m * 337) % 1001);
    }
    FUZZ_CHECK(top >= 0 && top <= length);
    if (!key.empty()) (void)QuickSearch(f, top, key, columns, folder);
  }
  return 0;
}

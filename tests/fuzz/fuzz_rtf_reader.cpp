// The RTF reader over any bytes: it must fail cleanly or give a document, and what it
// gives must survive writing and reading again.
#include "richtext/rtf.h"
#include "fuzz_support.h"

using namespace tessary;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const int cp = fuzz::PickCodePage(data[0]);
  const std::string_view rtf(reinterpret_cast<const char*>(data + 1), size - 1);
  auto read = ReadRtf(rtf, cp);
  if (!read) return 0;
  auto again = ReadRtf(WriteRtf(*read, cp), cp);
  FUZZ_CHECK(again);
  return 0;
}

// The text-mode file reader (CR LF, Ctrl-Z, NUL): read piece by piece at any size, a
// file gives the same text as the whole file converted at once, and the same as a plain
// reference conversion.
#include "engine/file_reader.h"
#include "engine/text_file.h"
#include "fuzz_support.h"

using namespace tessary;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::size_t room = in.ConsumeIntegralInRange<std::size_t>(2, 64);
  const std::string bytes = in.ConsumeRemainingBytesAsString();

  std::string reference;
  for (std::size_t i = 0; i < bytes.size() && bytes[i] != '\x1A'; ++i)
    if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) reference.push_back(bytes[i]);
  std::string whole = bytes;
  whole.resize(ApplyTextMode(whole.data(), whole.size()));
  FUZZ_CHECK(whole == reference);

  fuzz::MemoryFile file(bytes);
  CFileReader reader(file.Fd(), file.Path());
  CTextModeReader text(reader);
  std::string pieces;
  char buffer[64];
  while (!text.Ended()) pieces.append(buffer, text.Read(buffer, room));
  FUZZ_CHECK(pieces == reference);

  // Counting keeps CR LF pairs and stops at Ctrl-Z only.
  CFileReader again(file.Fd(), file.Path());
  ::lseek(file.Fd(), 0, SEEK_SET);
  CTextModeReader raw(again, true);
  std::string kept;
  while (!raw.Ended()) kept.append(buffer, raw.Read(buffer, room));
  FUZZ_CHECK(kept == bytes.substr(0, bytes.find('\x1A')));

  auto opened = CTextFile::Open(file.Path());
  FUZZ_CHECK(opened);
  FUZZ_CHECK((*opened)->Text() == reference);
  FUZZ_CHECK((*opened)->Bytes() == bytes);
  return 0;
}

#include "engine/byte_frequency.h"

#include <unicode/uchar.h>

#include <cctype>
#include <cstring>

namespace tessary {

namespace {

// Lower-case letters a..z per 100,000 characters of English running text.
constexpr std::uint32_t kLetters[26] = {6400, 1200, 2100, 3400, 10000, 1700, 1600, 4900, 5600, 100, 600, 3200, 2000,
                                        5600, 6000, 1400, 80,   4800, 5200, 7000, 2200, 800, 1800, 100,  1600, 60};

std::uint32_t AsciiFrequency(unsigned char b) {
  if (b >= 'a' && b <= 'z') return kLetters[b - 'a'];
  if (b >= 'A' && b <= 'Z') return kLetters[b - 'A'] / 20 + 10;  // sentence starts, names
  if (b >= '0' && b <= '9') return 50;
  switch (b) {
    case ' ': return 17000;
    case '\n': return 1500;
    case ',': return 1000;
    case '.': return 900;
    case '\'': case '"': case '-': return 200;
    case '\r': case '\t': case ';': case ':': case '(': case ')': case '!': case '?': return 30;
    default: return b < 0x20 || b == 0x7F ? 0 : 5;
  }
}

}  // namespace

std::array<std::uint32_t, 256> TypicalByteFrequency(const CCodePage& cp) {
  std::array<std::uint32_t, 256> freq{};
  int scriptLetters = 0;  // letters above ASCII: many means a script of its own
  for (int b = 0x80; b < 256; ++b)
    if (u_isalpha(cp.ByteToUnicode(static_cast<unsigned char>(b)))) ++scriptLetters;
  const bool ownScript = scriptLetters >= 48;
  for (int b = 0; b < 256; ++b) {
    const auto byte = static_cast<unsigned char>(b);
    if (b < 0x80) {
      freq[b] = AsciiFrequency(byte);
    } else if (cp.IsDoubleByte()) {
      freq[b] = 800;  // lead and trail bytes of the text's many pair characters
    } else if (u_isalpha(cp.ByteToUnicode(byte))) {
      const bool lower = cp.Upper(byte) != byte;
      freq[b] = ownScript ? (lower ? 2500 : 150) : (lower ? 40 : 5);
    } else {
      freq[b] = 10;
    }
  }
  return freq;
}

}  // namespace tessary

#pragma once
// How often each byte of a code page occurs in typical running text, for the fast
// search to look for a key's rarest bytes first. A guess that only affects speed.
#include <array>
#include <cstdint>

#include "engine/codepage.h"

namespace tessary {

// Occurrences per 100,000 characters, built from typical character frequencies through
// the code page's byte tables: English letters and punctuation for ASCII, the
// page's own letters as common as an average letter where it has a script of its own.
std::array<std::uint32_t, 256> TypicalByteFrequency(const CCodePage& cp);

}  // namespace tessary

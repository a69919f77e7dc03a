#pragma once
// One concordance line: W characters of left context, the keyword as written in the
// text, W + 1 characters of right context; positions outside the text give spaces,
// so every line of a search has 2W + n + 1 characters and the keyword at column W.
#include <cstdint>
#include <string>
#include <string_view>

namespace tessary {

// Appends the line (without a line end) to out. Without bDoubleByte every control
// code becomes a space; with it only tab, line feed, carriage return (and NUL, which
// would cut the line short) do, so double-byte pairs stay intact.
void AppendLine(std::string& out, std::string_view text, std::uint64_t offset, std::size_t keyLength,
                std::int64_t width, bool bDoubleByte);
void AppendLine(std::u16string& out, std::u16string_view text, std::uint64_t offset,
                std::size_t keyLength, std::int64_t width, bool bDoubleByte);

}  // namespace tessary

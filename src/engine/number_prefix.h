#pragma once
// The "%-6d " number prefix of list lines. From line 1,000,000 on it is wider than
// 7 characters, so consumers measure each line's real prefix instead of assuming 7.
#include <cstdint>
#include <string>
#include <string_view>

namespace tessary {

inline std::string NumberPrefix(std::int64_t nLine) {
  std::string s = std::to_string(nLine);
  if (s.size() < 6) s.append(6 - s.size(), ' ');
  s.push_back(' ');
  return s;
}

// Length of the number prefix that starts the line: its digits padded to 6, then one
// space. 0 when the line does not start that way (an edited line).
template <class CharT>
std::size_t NumberPrefixLength(std::basic_string_view<CharT> line) {
  std::size_t digits = 0;
  while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9') ++digits;
  if (digits == 0) return 0;
  std::size_t width = digits < 6 ? 6 : digits;
  for (std::size_t i = digits; i < width; ++i)
    if (i >= line.size() || line[i] != ' ') return 0;
  if (width >= line.size() || line[width] != ' ') return 0;
  return width + 1;
}

}  // namespace tessary

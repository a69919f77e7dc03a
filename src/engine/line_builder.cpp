#include "engine/line_builder.h"

namespace tessary {

namespace {

template <class CharT>
CharT Clean(CharT c, bool bDoubleByte) {
  const auto u = static_cast<std::make_unsigned_t<CharT>>(c);
  if (bDoubleByte) return (u == '\t' || u == '\n' || u == '\r' || u == 0) ? CharT(' ') : c;
  return u < 0x20 ? CharT(' ') : c;
}

template <class CharT>
void Append(std::basic_string<CharT>& out, std::basic_string_view<CharT> text, std::uint64_t offset,
            std::size_t keyLength, std::int64_t width, bool bDoubleByte) {
  const std::int64_t size = static_cast<std::int64_t>(text.size());
  const std::int64_t first = static_cast<std::int64_t>(offset) - width;
  const std::int64_t last = static_cast<std::int64_t>(offset + keyLength) + width;  // inclusive
  const std::size_t start = out.size();
  out.resize(start + static_cast<std::size_t>(last - first + 1), CharT(' '));
  CharT* dst = out.data() + start;
  const std::int64_t from = first < 0 ? 0 : first;
  const std::int64_t to = last < size ? last : size - 1;
  for (std::int64_t p = from; p <= to; ++p) dst[p - first] = Clean(text[static_cast<std::size_t>(p)], bDoubleByte);
}

}  // namespace

void AppendLine(std::string& out, std::string_view text, std::uint64_t offset, std::size_t keyLength,
                std::int64_t width, bool bDoubleByte) {
  Append(out, text, offset, keyLength, width, bDoubleByte);
}

void AppendLine(std::u16string& out, std::u16string_view text, std::uint64_t offset,
                std::size_t keyLength, std::int64_t width, bool bDoubleByte) {
  Append(out, text, offset, keyLength, width, bDoubleByte);
}

}  // namespace tessary

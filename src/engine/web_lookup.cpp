#include "engine/web_lookup.h"

#include <algorithm>
#include <cctype>

namespace tessary {

namespace {

bool IsUnreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_' || c == '~';
}

bool IsSpace16(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f' || c == 0x00A0 ||
         c == 0x3000;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Characters as the user sees them count, so a surrogate pair is one.
std::size_t CountChars(std::u16string_view text) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < text.size(); ++i, ++n) {
    if (text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000)
      ++i;
  }
  return n;
}

}  // namespace

const char* LookupMessage(LookupRefusal refusal) {
  switch (refusal) {
    case LookupRefusal::kNoClipboard: return "Could not open clipboard";
    case LookupRefusal::kNoText: return "Error getting text from clipboard";
    case LookupRefusal::kNoMemory: return "Memory insufficient to get text from clipboard";
    case LookupRefusal::kTooLong: return "Select a word or short phrase to lookup.";
  }
  return "";
}

std::string PercentEncode(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 3);
  for (const char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (IsUnreserved(c)) {
      out += ch;
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    }
  }
  return out;
}

std::string Utf16ToUtf8Lenient(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp < 0xE000) {
      cp = 0xFFFD;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

CLookupAddress DictionaryAddress(std::string_view endpoint, std::u16string_view clipboardText) {
  // A word copied from a page or a line often carries a line break or spaces with it.
  std::size_t first = 0, last = clipboardText.size();
  while (first < last && IsSpace16(clipboardText[first])) ++first;
  while (last > first && IsSpace16(clipboardText[last - 1])) --last;
  const std::u16string_view word = clipboardText.substr(first, last - first);
  CLookupAddress result;
  if (CountChars(word) > kLookupMaxChars) return result;
  const std::string encoded = PercentEncode(Utf16ToUtf8Lenient(word));
  std::string address(endpoint);
  if (const auto at = address.find(kWordPlaceholder); at != std::string::npos)
    address.replace(at, kWordPlaceholder.size(), encoded);
  else
    address += encoded;
  result.m_strAddress = std::move(address);
  result.m_bOk = true;
  return result;
}

Expected<std::string> CheckWebAddress(std::string_view address) {
  std::string lower(address);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  std::size_t nScheme = 0;
  if (lower.starts_with("http://"))
    nScheme = 7;
  else if (lower.starts_with("https://"))
    nScheme = 8;
  else
    return Expected<std::string>::Failure("It must start with http:// or https://.");
  for (const char ch : address) {
    const auto c = static_cast<unsigned char>(ch);
    if (c <= 0x20 || c == 0x7F) return Expected<std::string>::Failure("It must not hold spaces or control characters.");
  }
  const std::string_view rest = address.substr(nScheme);
  const std::size_t end = rest.find_first_of("/?#");
  const std::string_view authority = rest.substr(0, end);
  const std::size_t at = authority.rfind('@');
  const std::string_view host = at == std::string_view::npos ? authority : authority.substr(at + 1);
  if (host.empty() || host.front() == ':') return Expected<std::string>::Failure("It names no host.");
  return std::string(address);
}

}  // namespace tessary

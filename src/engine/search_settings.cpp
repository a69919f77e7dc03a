#include "engine/search_settings.h"

#include <cerrno>
#include <cstdlib>

namespace tessary {

void CSearchSettings::ClearRequest() {
  m_bTestMode = false;
  m_bSentences = false;
}

std::string SetLineWidth(std::int64_t& width, const std::string& typed) {
  const char* begin = typed.c_str();
  char* end = nullptr;
  errno = 0;
  long long value = std::strtoll(begin, &end, 10);
  while (*end == ' ' || *end == '\t') ++end;
  if (end == begin || *end != '\0' || errno == ERANGE || value < kMinLineWidth ||
      value > kMaxLineWidth) {
    return "The line width must be a number from " + std::to_string(kMinLineWidth) + " to " +
           std::to_string(kMaxLineWidth) + ".";
  }
  width = value;
  return {};
}

namespace {
bool IsTrimSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
}  // namespace

std::string TrimSearchString(const std::string& text, bool bDoubleByte) {
  // Walk forward so that a double-byte pair is always taken whole.
  std::size_t first = std::string::npos, endKeep = 0;
  for (std::size_t i = 0; i < text.size();) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    std::size_t width = (bDoubleByte && c >= 0x81 && i + 1 < text.size()) ? 2 : 1;
    if (width == 2 || !IsTrimSpace(c)) {
      if (first == std::string::npos) first = i;
      endKeep = i + width;
    }
    i += width;
  }
  if (first == std::string::npos) return {};
  return text.substr(first, endKeep - first);
}

}  // namespace tessary

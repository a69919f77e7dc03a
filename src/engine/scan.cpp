#include "engine/scan.h"

#include <algorithm>
#include <cstring>

namespace tessary {

namespace {

// About a hundred progress calls per text, but at least every few megabytes so a
// stop request is seen quickly in big texts and small texts are not slowed down.
std::size_t ProgressStep(std::size_t length) {
  return std::clamp<std::size_t>(length / 100, std::size_t(1) << 16, std::size_t(1) << 22);
}

template <class CharT, class Matcher>
CScanResult Scan(std::basic_string_view<CharT> text, const Matcher& matcher,
                 CMatchSinkT<CharT>* sink, const ProgressFn& progress, std::size_t step,
                 int terminator = -1) {
  CScanResult result;
  std::size_t length = text.size();
  if (step == 0) step = ProgressStep(length);
  for (std::size_t from = 0; from < length;) {
    if (!ReportProgress(progress, from, length)) {
      result.m_bStopped = true;
      return result;
    }
    std::size_t limit = std::min(length, from + step);
    if constexpr (sizeof(CharT) == 1) {
      if (terminator >= 0)
        if (const void* end = std::memchr(text.data() + from, terminator, limit - from))
          length = limit = static_cast<std::size_t>(static_cast<const CharT*>(end) - text.data());
    }
    const bool complete = matcher.ForEachMatch(text, from, limit, [&](std::size_t i) {
      ++result.m_nMatches;
      return !sink || sink->OnMatch(text, i);
    });
    if (!complete) {
      result.m_bStopped = true;
      return result;
    }
    from = limit;
  }
  ReportProgress(progress, length, length);
  return result;
}

}  // namespace

CScanResult ScanBytes(std::string_view text, const CByteMatcher& matcher, CMatchSink* sink,
                      const ProgressFn& progress, std::size_t step) {
  return Scan(text, matcher, sink, progress, step);
}

CScanResult ScanBytesUntil(std::string_view bytes, char terminator, const CByteMatcher& matcher,
                           CMatchSink* sink, const ProgressFn& progress, std::size_t step) {
  return Scan(bytes, matcher, sink, progress, step, static_cast<unsigned char>(terminator));
}

CScanResult ScanWide(std::u16string_view text, const CWideMatcher& matcher, CWideMatchSink* sink,
                     const ProgressFn& progress, std::size_t step) {
  return Scan(text, matcher, sink, progress, step);
}

}  // namespace tessary

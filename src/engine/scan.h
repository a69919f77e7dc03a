#pragma once
// The scan: every offset of a text is tried (matches may overlap); each match is
// pushed into a sink, which may stop the scan. Progress and stop go through a
// callback, called about a hundred times per text and never per character.
#include <cstdint>
#include <string_view>

#include "engine/match.h"
#include "engine/progress.h"

namespace tessary {

template <class CharT>
class CMatchSinkT {
 public:
  virtual ~CMatchSinkT() = default;
  // offset of the match in the text; false stops the scan.
  virtual bool OnMatch(std::basic_string_view<CharT> text, std::uint64_t offset) = 0;
};
using CMatchSink = CMatchSinkT<char>;
using CWideMatchSink = CMatchSinkT<char16_t>;

struct CScanResult {
  std::uint64_t m_nMatches = 0;
  bool m_bStopped = false;
};

// sink may be null (counting only). step: characters between progress calls; 0 picks
// about a hundredth of the text.
CScanResult ScanBytes(std::string_view text, const CByteMatcher& matcher, CMatchSink* sink,
                      const ProgressFn& progress = {}, std::size_t step = 0);
// Scans bytes up to the first terminator byte, looked for one progress step at a time
// so that every byte comes from memory once. Finds what ScanBytes finds in the bytes
// before the terminator, provided the key cannot match it and it is a non-letter.
CScanResult ScanBytesUntil(std::string_view bytes, char terminator, const CByteMatcher& matcher,
                           CMatchSink* sink, const ProgressFn& progress = {}, std::size_t step = 0);
CScanResult ScanWide(std::u16string_view text, const CWideMatcher& matcher, CWideMatchSink* sink,
                     const ProgressFn& progress = {}, std::size_t step = 0);

}  // namespace tessary

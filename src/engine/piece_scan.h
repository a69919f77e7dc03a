#pragma once
// The scan of a text that arrives piece by piece (a file read through a buffer).
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/progress.h"
#include "engine/scan.h"
#include "engine/sentences.h"

namespace tessary {

// Files are read this many bytes at a time: the piece is scanned while it is still in
// the processor's cache, and memory stays bounded whatever the file's size.
constexpr std::size_t kFilePiece = 1 << 18;

// Scans a text that arrives piece by piece. Enough of it is kept on both sides of each
// match start for the boundary test and the whole line (or sentence), so the matches and
// lines are those of the text in one piece. Progress is the file's bytes read.
//
// Source: std::size_t Read(CharT* out, std::size_t room) writes the next piece (room is
// at least 2) and bool Ended() says when there is no more. position() and total are the
// progress figures (the file's bytes read and its size). A source that holds context
// around its own part of a text (one range of a file) also says which match starts are
// its own: ScanFrom() and ScanTo() in its text's offsets, ScanTo() known once read.
template <class CharT, class Source, class Position, class Matcher, class Recorder>
CScanResult ScanPieces(Source& source, Position position, std::int64_t totalSize, const Matcher& matcher,
                       Recorder* recorder, const std::string& path, std::int64_t keyLength, std::int64_t lineWidth,
                       const ProgressFn& progress, std::size_t piece = kFilePiece) {
  CScanResult result;
  const bool sentences = recorder && recorder->Sentences();
  const std::int64_t width = std::max<std::int64_t>(lineWidth, 1);
  const std::int64_t before = sentences ? std::max<std::int64_t>(width, kSentenceBack + 1) : width;
  const std::int64_t after = keyLength + (sentences ? std::max<std::int64_t>(width, kSentenceForward) : width) + 1;
  std::basic_string<CharT> buffer(static_cast<std::size_t>(before + after) + piece + 2, CharT());
  std::size_t length = 0;    // characters in the buffer
  std::int64_t base = 0;     // text offset of buffer[0]
  std::int64_t scanned = 0;  // match starts before this offset have been tested
  const auto total = static_cast<std::uint64_t>(totalSize);
  if (recorder) recorder->BeginSource(path, 0);
  for (;;) {
    if (!ReportProgress(progress, static_cast<std::uint64_t>(position()), total)) {
      result.m_bStopped = true;
      return result;
    }
    length += source.Read(buffer.data() + length, std::min(buffer.size() - length, piece));
    const bool ended = source.Ended();
    const std::int64_t end = base + static_cast<std::int64_t>(length);
    std::int64_t safe = ended ? end : end - after;
    if constexpr (requires { source.ScanTo(); }) {
      scanned = std::max(scanned, source.ScanFrom());
      safe = std::min(safe, source.ScanTo());
    }
    if (safe > scanned) {
      if (recorder) recorder->MoveBase(base);
      const std::basic_string_view<CharT> text(buffer.data(), length);
      const bool complete = matcher.ForEachMatch(
          text, static_cast<std::size_t>(scanned - base), static_cast<std::size_t>(safe - base), [&](std::size_t i) {
            ++result.m_nMatches;
            return !recorder || recorder->OnMatch(text, i);
          });
      if (!complete) {
        result.m_bStopped = true;
        return result;
      }
      scanned = safe;
    }
    if (ended) break;
    const std::int64_t keepFrom = std::max(base, scanned - before);
    const auto drop = static_cast<std::size_t>(keepFrom - base);
    std::copy(buffer.begin() + static_cast<std::ptrdiff_t>(drop),
              buffer.begin() + static_cast<std::ptrdiff_t>(length), buffer.begin());
    length -= drop;
    base = keepFrom;
  }
  ReportProgress(progress, total, total);
  return result;
}

}  // namespace tessary

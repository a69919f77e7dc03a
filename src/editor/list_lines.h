#pragma once
// The lines of a list window that has not been put into a text document: a read-only
// store the window paints from, and saves, copies and sorts read. A store never
// changes once made, so windows, sorts and workers may share it.
#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/assembly.h"

namespace tessary {

class CListLines {
 public:
  virtual ~CListLines() = default;
  virtual std::int64_t Count() const = 0;
  // Line i without its line feed; empty outside [0, Count()).
  virtual QString Line(std::int64_t i) const = 0;
  // Lines [first, last) appended to text, each followed by a line feed: the window's
  // text as a document would hold it.
  virtual void AppendText(QString& text, std::int64_t first, std::int64_t last) const;
  QString Text() const;
  // The same text as UTF-16 units, built a piece at a time.
  std::u16string TextUtf16() const;
};

// The lines of an assembled search result, rendered to UTF-16 when asked.
std::shared_ptr<const CListLines> AssembledLines(CAssembledList list, std::shared_ptr<const CCodePage> cp);
std::shared_ptr<const CListLines> AssembledLines(CWideAssembledList list);

// The lines of a window text (one line feed after each line).
std::shared_ptr<const CListLines> TextLines(QString text);

// Line i is base's line order[i].
std::shared_ptr<const CListLines> PermutedLines(std::shared_ptr<const CListLines> base,
                                                std::vector<std::int64_t> order);

}  // namespace tessary

#pragma once
// The big file viewer's file side, free of any window: a buffered file read one display
// line at a time, the moves of the viewer's page, its scroll-bar thumb rule, the quick
// search and the finder of the instances to highlight. The viewer window keeps only a
// top position and calls these at each repaint, scroll or search.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/codepage.h"
#include "engine/expected.h"

namespace tessary {

// Columns of the widest display line: longer lines are shown as several.
inline constexpr int kViewerColumns = 512;
// Lines that one move up may go back at most.
inline constexpr int kMaxBackLines = 200;

class CLineFile {
 public:
  // Opens for reading only, sharing the file with writers. Fails with the viewer's
  // message "Opening %s returned a 0x%lx." (the path and the system's error code).
  // Anything but a regular file fails with a message saying what it is.
  static Expected<std::unique_ptr<CLineFile>> Open(const std::string& path);
  ~CLineFile();
  CLineFile(const CLineFile&) = delete;
  CLineFile& operator=(const CLineFile&) = delete;

  std::int64_t Length() const { return m_nLength; }  // taken at open
  std::int64_t Position() const { return m_nPosition; }
  // Any position from 0 up, past the end included; false before the start.
  bool Seek(std::int64_t position);

  // One display line from the current position, which becomes the reference: up to and
  // including the next line feed (not stored). Carriage returns are dropped, tabs become
  // spaces up to the next multiple of 8, and a line reaching maximum columns stops there
  // (the rest is the next display line; a line end right after it still belongs to it).
  // Returns the position after what was read.
  std::int64_t ReadLine(std::string& out, int maximum);
  // As ReadLine, but each line feed and carriage return is one space and reading goes on
  // across lines until maximum columns.
  std::int64_t ReadBlock(std::string& out, int maximum);
  // Stores the reference; returns the previous one.
  std::int64_t SetReference(std::int64_t position);
  std::int64_t Reference() const { return m_nReference; }
  // The start of the display line n lines (at most 200) before the reference, with that
  // line read into out; the reference and the position follow it. A reference of 0, or
  // a file with fewer lines before the reference, gives 0. A read error reads as the
  // end of the file.
  std::int64_t BackLines(std::string& out, int maximum, int n);
  // The start of the display line that holds offset, read into out; past the end of the
  // file, the last line. -1 for a negative offset.
  std::int64_t LineAtOffset(std::string& out, int maximum, std::int64_t offset);

 private:
  CLineFile() = default;
  int Get();   // the next byte, or -1 at the end of the file
  int Peek();  // the same, without taking it
  bool Fill();
  template <bool kBlock>
  std::int64_t Read(std::string& out, int maximum);
  // Steps past the next line feed before limit; false if there is none.
  bool SkipPastLineFeed(std::int64_t limit);

  int m_fd = -1;
  std::int64_t m_nLength = 0;
  std::int64_t m_nPosition = 0;
  std::int64_t m_nReference = 0;
  std::vector<char> m_buffer;
  std::int64_t m_nBufferStart = 0;  // file offset of m_buffer[0]
  std::int64_t m_nBufferSize = 0;   // bytes in m_buffer
};

// The scroll bar's thumb (0..1000) for a top position. Files up to 40,000 bytes scale
// by top x 1000 / length, larger ones by top / (length / 1000); an empty file gives 0.
int ThumbFor(std::int64_t top, std::int64_t length);
// The file offset that thumb position p stands for, by the same rule.
std::int64_t ThumbOffset(int p, std::int64_t length);

// Moves of the page. Each returns the new top: the start of a display line, and 0 where
// a move fails.
std::int64_t LineUp(CLineFile& file, std::int64_t top);
std::int64_t LineDown(CLineFile& file, std::int64_t top);
std::int64_t PageUp(CLineFile& file, std::int64_t top, int linesOnPage);
std::int64_t ThumbTop(CLineFile& file, int p);  // thumb position p, 0 top, 1000 bottom
// The start of the display line holding offset (the context lookup's "position at offset").
std::int64_t TopAtOffset(CLineFile& file, std::int64_t offset);

// The display lines a repaint draws from top, and the position after the last of them,
// where a page down puts the next top.
struct CPage {
  std::vector<std::string> m_arrLines;
  std::int64_t m_nEnd = 0;
};
CPage ReadPage(CLineFile& file, std::int64_t top, int lines);

// Case folding of the byte text for the viewer's searches: lower case by the code page.
class CCaseFolder {
 public:
  explicit CCaseFolder(const CCodePage& cp);
  unsigned char Lower(unsigned char b) const { return m_lower[b]; }
  std::string Lower(std::string_view text) const;

 private:
  std::array<unsigned char, 256> m_lower{};
};

// Columns of every instance of key in line, ignoring case; each search starts one
// character after the previous instance's start, so instances may overlap.
std::vector<std::size_t> FindInstances(std::string_view line, std::string_view key, const CCaseFolder& folder);

struct CQuickSearchResult {
  bool m_bFound = false;
  std::int64_t m_nTop = 0;            // start of the matching line; 0 when nothing matched
  std::int64_t m_nLineEnd = 0;        // position after the matching line (the title shows it)
  std::int64_t m_nColumn = 0;         // column of the match in its display line
  int m_nHorizontalOffset = 0;        // brings the match into view
  std::string m_strKey;               // the search string in lower case, as the title shows it
  bool m_bStopped = false;            // progress asked to stop before the end of the file
  std::int64_t m_nReached = 0;        // where the search stopped looking
};
// Told the position reached about every megabyte; returns false to stop the search.
using SearchProgressFn = std::function<bool(std::int64_t position)>;
// Looks for key in the display lines from top down, ignoring case. visibleColumns: the
// page's width in characters.
CQuickSearchResult QuickSearch(CLineFile& file, std::int64_t top, std::string_view key, int visibleColumns,
                               const CCaseFolder& folder, const SearchProgressFn& progress = nullptr);

// The go-to box: a byte offset ("123456", "0x1F00", with optional digit groups) or a
// share of the file ("37%", "12.5 %"), as a file offset from 0 to length. Nothing for
// text that is neither, or an offset past the end.
std::optional<std::int64_t> ParseGoTo(std::string_view text, std::int64_t length);
// The last page: the top that shows the file's last lines on lines display lines.
std::int64_t LastPageTop(CLineFile& file, int lines);

}  // namespace tessary

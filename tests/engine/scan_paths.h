#pragma once
// Runs one search case through every path a text can take: whole in memory, in
// progress chunks smaller than a line, and from a file read in text mode.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/assembly.h"
#include "engine/codepage.h"
#include "engine/match.h"
#include "engine/search_settings.h"

namespace tessary::test {

const CCodePage& Cp1252();

struct Found {
  std::vector<std::uint64_t> memory, chunked, file, reference;
};

// Offsets where key matches text (byte search, Windows-1252) by each path, and by the
// plain per-offset test.
Found FindAll(const std::string& text, const std::string& key, int mode, bool doubleByte = false);
std::vector<std::uint64_t> FindWide(const std::u16string& text, const std::u16string& key, int mode,
                                    bool doubleByte = false);

// The assembled list of a byte search of one text.
CAssembledList SearchOneText(const CSearchRequest& settings, const std::string& text,
                             const std::string& path = "");

// A temporary file that is removed again.
class TempFile {
 public:
  explicit TempFile(const std::string& bytes, const std::string& name = "tessary-test.txt");
  ~TempFile();
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
};

}  // namespace tessary::test

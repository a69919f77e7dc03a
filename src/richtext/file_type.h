#pragma once
// The kinds of document the editor knows, and how a file's kind is found.
#include <cstddef>
#include <string>
#include <string_view>

namespace tessary {

enum DocumentType : int {
  kTypeWord2 = 0,
  kTypeWord6Converted = 1,
  kTypeWord6 = 2,
  kTypeWrite = 3,
  kTypeRtf = 4,
  kTypeText = 5,
  kTypeTextDos = 6,
  kTypeAll = 7,
  kTypeExecutable = 8,
  kTypeEmbedded = 9,
};

struct CDocumentKind {
  DocumentType m_type;
  const char* m_pszDescription;  // "Rich Text Format (RTF)"
  const char* m_pszFilter;       // "*.rtf"
  bool m_bRead;
  bool m_bWrite;
  bool m_bDuplicate;
};

// The kind table; no converter libraries exist on this platform, so the kinds that
// need one (1, 2, 3) can be neither read nor written. A number outside the table gives
// a kind with no rights.
const CDocumentKind& DocumentKind(int type);

// The kind of the file at path by its first bytes (an empty file by its extension),
// or -1 when it cannot be opened. Word 2, Word 6 (compound document), Write and
// executable files are recognised by their signatures even though they can't be read.
int FileTypeOfPath(const std::string& path);
// The same for bytes already read, with the name for the empty case.
int FileTypeOfBytes(std::string_view head, const std::string& name);

// Zip-based office documents would otherwise open as text (kind 5). Names the format
// ("Office Open XML document", "OpenDocument text") from a file's first bytes, at least
// kForeignHeadBytes of them when the file has that many; empty for anything else.
inline constexpr std::size_t kForeignHeadBytes = 8192;
std::string ForeignDocumentFormat(std::string_view head);

}  // namespace tessary

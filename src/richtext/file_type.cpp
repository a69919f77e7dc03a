#include "richtext/file_type.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace tessary {

namespace {

constexpr CDocumentKind kKinds[] = {
    {kTypeWord2, "Word for Windows 2.0", "*.doc", false, false, false},
    {kTypeWord6Converted, "Word for Windows 6.0", "*.doc", false, false, true},
    {kTypeWord6, "Word for Windows 6.0", "*.doc", false, false, false},
    {kTypeWrite, "Windows Write", "*.wri", false, false, false},
    {kTypeRtf, "Rich Text Format (RTF)", "*.rtf", true, true, false},
    {kTypeText, "Text Document", "*.txt", true, true, false},
    {kTypeTextDos, "Text Document - MS-DOS Format", "*.txt", true, true, false},
    {kTypeAll, "All", "*.*", true, false, false},
    {kTypeExecutable, "Executable", "*.exe", false, false, false},
    {kTypeEmbedded, "Embedded", "", false, false, false},
};

constexpr CDocumentKind kUnknownKind = {static_cast<DocumentType>(-1), "", "", false, false, false};

bool EndsWithNoCase(const std::string& name, std::string_view suffix) {
  if (name.size() < suffix.size()) return false;
  return std::equal(suffix.begin(), suffix.end(), name.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                    [](char a, char b) {
                      auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
                      return lower(a) == lower(b);
                    });
}

}  // namespace

const CDocumentKind& DocumentKind(int type) {
  if (type < 0 || type >= static_cast<int>(std::size(kKinds))) return kUnknownKind;
  return kKinds[type];
}

int FileTypeOfBytes(std::string_view head, const std::string& name) {
  if (head.empty()) {
    if (EndsWithNoCase(name, ".doc")) return kTypeWord6;
    if (EndsWithNoCase(name, ".rtf")) return kTypeRtf;
    return kTypeText;
  }
  if (head.starts_with("{\\rtf")) return kTypeRtf;
  if (head.starts_with(std::string_view("\xDB\xA5\x2D\x00", 4))) return kTypeWord2;
  if (head.starts_with("MZ")) return kTypeExecutable;
  // Write files are recognised without their converter so that the editor refuses them
  // by name instead of showing their bytes as text.
  if (head.starts_with("\x31\xBE") || head.starts_with("\x32\xBE")) return kTypeWrite;
  if (head.starts_with("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) return kTypeWord6;
  return kTypeText;
}

int FileTypeOfPath(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return -1;
  std::ifstream in(path, std::ios::binary);
  if (!in) return -1;
  char head[8];
  in.read(head, sizeof head);
  if (in.bad()) return -1;
  return FileTypeOfBytes(std::string_view(head, static_cast<std::size_t>(in.gcount())), path);
}

std::string ForeignDocumentFormat(std::string_view head) {
  if (!head.starts_with("PK\x03\x04")) return {};
  // Zip entry names are stored uncompressed in each entry's header.
  const std::size_t mime = head.find("mimetype");
  if (mime != std::string_view::npos) {
    const std::string_view rest = head.substr(mime);
    const std::size_t odf = rest.find("application/vnd.oasis.opendocument");
    if (odf != std::string_view::npos && odf < 128)
      return rest.substr(odf).starts_with("application/vnd.oasis.opendocument.text") ? "OpenDocument text"
                                                                                       : "OpenDocument document";
  }
  for (std::string_view part : {"[Content_Types].xml", "_rels/.rels", "word/"})
    if (head.find(part) != std::string_view::npos) return "Office Open XML document";
  return {};
}

}  // namespace tessary

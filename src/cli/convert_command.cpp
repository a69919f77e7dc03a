#include "cli/convert_command.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>

#include "cli/concord_command.h"
#include "engine/codepage.h"
#include "engine/file_reader.h"
#include "export/encodings.h"
#include "export/unicode_writer.h"

namespace tessary::cli {

namespace {

std::u16string DecodeUtf16(std::string_view bytes, bool bBigEndian) {
  std::u16string text;
  text.reserve(bytes.size() / 2 + 1);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto hi = static_cast<unsigned char>(bytes[bBigEndian ? i : i + 1]);
    const auto lo = static_cast<unsigned char>(bytes[bBigEndian ? i + 1 : i]);
    text.push_back(static_cast<char16_t>(hi << 8 | lo));
  }
  if (bytes.size() % 2) text.push_back(0xFFFD);
  return text;
}

// Unicode input as the window would hold it: the byte-order mark decides, else UTF-8.
// Line ends stay as they are.
std::u16string DecodeUnicode(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return Utf8ToUtf16(bytes.substr(3));
  if (bytes.substr(0, 2) == "\xFF\xFE") return DecodeUtf16(bytes.substr(2), false);
  if (bytes.substr(0, 2) == "\xFE\xFF") return DecodeUtf16(bytes.substr(2), true);
  return Utf8ToUtf16(bytes);
}

// A number, or a name of the code-page list ("Russian (866)", "ANSI code page CP_ACP").
bool ParseCodePage(const std::string& text, int& nCodePage) {
  if (ApplyCodePageName(nCodePage, text)) return true;
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno != 0 || value < 0 || value > 65535) return false;
  nCodePage = static_cast<int>(value);
  return true;
}

}  // namespace

void PrintConvertUsage() {
  std::fputs(
      "Usage: tessary-cli convert [--codepage N|NAME] --to ansi|utf8|utf16le|utf16be IN OUT\n"
      "--to ansi reads IN as Unicode (by its byte-order mark, else UTF-8) and writes its\n"
      "bytes in the code page; the other targets read IN's bytes in the code page and write\n"
      "Unicode with a byte-order mark. The code page is a number or a name of the program's\n"
      "list, such as 'Russian (866)'; 0 or 'ANSI code page CP_ACP' is 1252 (the default).\n",
      stdout);
}

int RunConvert(const std::vector<std::string>& args) {
  static const std::map<std::string, int> kTargets = {{"ansi", kEncodingNone},
                                                      {"utf8", kEncodingUtf8},
                                                      {"utf16le", kEncodingUtf16LE},
                                                      {"utf16be", kEncodingUtf16BE}};
  constexpr int kAnsiCodePage = 1252;
  int nCodePage = 0;
  int nTarget = -1;
  std::vector<std::string> files;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--codepage") {
      if (i + 1 >= args.size() || !ParseCodePage(args[++i], nCodePage)) return Fail("--codepage takes a code page number or name");
    } else if (a == "--to") {
      if (i + 1 >= args.size() || !kTargets.count(args[i + 1])) return Fail("--to takes ansi, utf8, utf16le or utf16be");
      nTarget = kTargets.at(args[++i]);
    } else if (a.size() > 1 && a[0] == '-') {
      return Fail("unknown option " + a);
    } else {
      files.push_back(a);
    }
  }
  if (nTarget < 0) return Fail("no target encoding given (--to)");
  if (files.size() != 2) return Fail("convert takes one input and one output file");
  const std::string& in = files[0];
  const std::string& out = files[1];
  const int nResolved = ResolveCodePage(nCodePage, kAnsiCodePage);
  if (auto cp = CCodePage::Open(nResolved); !cp) return Fail(cp.Error());

  if (const std::string problem = RegularFileProblem(in); !problem.empty()) {
    std::fprintf(stderr, "tessary-cli: %s\n", problem.c_str());
    return 1;
  }
  std::ifstream stream(in, std::ios::binary);
  if (!stream) {
    std::fprintf(stderr, "tessary-cli: Cannot open %s: %s.\n", in.c_str(), std::strerror(errno));
    return 1;
  }
  const std::string bytes((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
  if (stream.bad()) {
    std::fprintf(stderr, "tessary-cli: Cannot read %s.\n", in.c_str());
    return 1;
  }

  Expected<std::uint64_t> written = Expected<std::uint64_t>::Failure(kFileError);
  if (nTarget == kEncodingNone) {
    // "Unicode to Ansi": the writer's byte-text form, in the chosen page.
    auto writer = CUnicodeWriter::Create(out, kEncodingNone, nResolved);
    if (writer) {
      (*writer)->Write(DecodeUnicode(bytes));
      written = (*writer)->Close();
    } else {
      written = Expected<std::uint64_t>::Failure(writer.Error());
    }
  } else {
    auto text = AnsiToUnicode(bytes, nCodePage, kAnsiCodePage);
    if (!text) return Fail(text.Error());
    written = SaveAsUnicode(out, *text, nTarget);
    if (written) std::printf("%s\n", SavedAsUnicodeMessage(nTarget, out).c_str());
  }
  if (!written) {
    std::fprintf(stderr, "tessary-cli: %s: %s\n", out.c_str(), written.Error().c_str());
    return 1;
  }
  return 0;
}

}  // namespace tessary::cli

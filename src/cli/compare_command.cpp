#include "cli/compare_command.h"

#include <cstdio>
#include <cstdlib>

#include "cli/concord_command.h"
#include "engine/text_file.h"
#include "stats/word_list_report.h"

namespace tessary::cli {

void PrintCompareUsage() {
  std::fputs(
      "Usage: tessary-cli compare [options] LIST1 LIST2 FILE\n"
      "Looks up every word of FILE in two word lists (one entry per line, any case) and\n"
      "writes the report: TextN.htm (the text, list 2 words red, words in neither list\n"
      "blue), ListN.htm (the words in neither list) and FramesN.htm (both side by side),\n"
      "with one fresh number N. Prints the three paths.\n\n"
      "  --dir DIR                       where the files go (the current directory)\n"
      "  --codepage N                    the ANSI code page of the text and lists (1252)\n"
      "  --utf8                          the text and lists are UTF-8\n"
      "  --open                          show the report in the web browser (xdg-open)\n",
      stdout);
}

int RunCompare(const std::vector<std::string>& args) {
  std::vector<std::string> operands;
  std::string dir;
  int codePage = 1252;
  bool open = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool haveValue = i + 1 < args.size();
    if (a == "--") {
      operands.insert(operands.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
      break;
    } else if (a == "--dir") {
      if (!haveValue) return Fail("--dir takes a directory");
      dir = args[++i];
    } else if (a == "--codepage") {
      char* end = nullptr;
      const long n = haveValue ? std::strtol(args[i + 1].c_str(), &end, 10) : 0;
      if (!haveValue || *end != '\0' || n <= 0 || n > 65535) return Fail("--codepage takes a code page number");
      codePage = static_cast<int>(n);
      ++i;
    } else if (a == "--utf8") {
      codePage = kUtf8CodePage;
    } else if (a == "--open") {
      open = true;
    } else if (a.size() > 1 && a[0] == '-') {
      return Fail("unknown option " + a);
    } else {
      operands.push_back(a);
    }
  }
  if (operands.size() != 3) return Fail("compare takes two word-list files and a text file");
  auto classes = CTextClasses::Open(codePage);
  if (!classes) return Fail(classes.Error());

  // A file that cannot be read ends this command only, with the program's message.
  auto fileError = [](const std::string& path, const std::string& error) {
    if (error == "File error") std::fprintf(stderr, "tessary-cli: File error: %s\n", path.c_str());
    else std::fprintf(stderr, "tessary-cli: %s\n", error.c_str());
    return 1;
  };
  auto list1 = ReadWordList(operands[0], *classes);
  if (!list1) return fileError(operands[0], list1.Error());
  auto list2 = ReadWordList(operands[1], *classes);
  if (!list2) return fileError(operands[1], list2.Error());
  auto text = CTextFile::Open(operands[2]);
  if (!text) {
    std::fprintf(stderr, "tessary-cli: %s\n", text.Error().c_str());
    return 1;
  }

  CWordListComparison comparison(*list1, *list2, *classes);
  comparison.AddText((*text)->Text());
  if (!(*text)->Problem().empty()) std::fprintf(stderr, "tessary-cli: %s\n", (*text)->Problem().c_str());
  CXdgOpenLauncher xdg;
  const std::string charset = ReportCharset(codePage);
  auto files = open ? WriteAndShowWordListReport(comparison.Report(), dir, charset, xdg)
                    : WriteWordListReport(comparison.Report(), dir, charset);
  if (!files) return fileError(dir.empty() ? "." : dir, "File error");
  std::printf("%s\n%s\n%s\n", files->m_strText.c_str(), files->m_strList.c_str(), files->m_strFrames.c_str());
  if (!files->m_strBrowserError.empty()) {
    std::fflush(stdout);
    std::fprintf(stderr, "tessary-cli: %s\n", files->m_strBrowserError.c_str());
    return 1;
  }
  if (std::fflush(stdout) != 0) return Fail("cannot write the output");
  return 0;
}

}  // namespace tessary::cli

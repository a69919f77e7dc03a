#include "cli/words_command.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "cli/concord_command.h"
#include "cli/profile_command.h"
#include "engine/text_file.h"
#include "stats/unique_words.h"

namespace tessary::cli {

namespace {

struct WordsOptions {
  CUniqueWordOptions counter;
  std::vector<std::string> sources;
  std::string pattern = "*.txt";
  std::string order = "first";
  std::string output;
  bool raw = false;
};

std::string Parse(const std::vector<std::string>& args, WordsOptions& o) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool haveValue = i + 1 < args.size();
    if (a == "--") {
      o.sources.insert(o.sources.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
      break;
    } else if (a == "--order") {
      if (!haveValue || (args[i + 1] != "first" && args[i + 1] != "frequency" && args[i + 1] != "alpha"))
        return "--order takes first, frequency or alpha";
      o.order = args[++i];
    } else if (a == "--double-byte") {
      if (!haveValue || (args[i + 1] != "big5" && args[i + 1] != "gb")) return "--double-byte takes big5 or gb";
      o.counter.m_bDoubleByte = true;
      o.counter.m_bBig5 = args[++i] == "big5";
    } else if (a == "--codepage") {
      char* end = nullptr;
      const long n = haveValue ? std::strtol(args[i + 1].c_str(), &end, 10) : 0;
      if (!haveValue || *end != '\0' || n <= 0 || n > 65535) return "--codepage takes a code page number";
      o.counter.m_nCodePage = static_cast<int>(n);
      ++i;
    } else if (a == "--utf8") {
      o.counter.m_nCodePage = kUtf8CodePage;
    } else if (a == "--pattern") {
      if (!haveValue) return "--pattern takes a file pattern such as *.txt";
      o.pattern = args[++i];
    } else if (a == "--output") {
      if (!haveValue) return "--output takes a file name";
      o.output = args[++i];
    } else if (a == "--raw") {
      o.raw = true;
    } else if (a.size() > 1 && a[0] == '-') {
      return "unknown option " + a;
    } else {
      o.sources.push_back(a);
    }
  }
  return {};
}

}  // namespace

void PrintWordsUsage() {
  std::fputs(
      "Usage: tessary-cli words [options] [FILE|DIR]...\n"
      "Prints every distinct word with its instances and its share of all words, as the\n"
      "saved unique-word list reads. Reads standard input when no file is named; a\n"
      "directory means its files matching --pattern.\n\n"
      "  --order first|frequency|alpha   the list's first order (words by initial letter,\n"
      "                                  as first met), highest count first, or by word\n"
      "  --double-byte big5|gb           every Chinese character is a word\n"
      "  --codepage N                    the ANSI code page of the texts (1252)\n"
      "  --utf8                          the texts are UTF-8\n"
      "  --pattern GLOB                  files of a directory to read (*.txt)\n"
      "  --output FILE                   save the list file there (in the texts' encoding)\n"
      "  --raw                           print the list's bytes unconverted\n",
      stdout);
}

int RunWords(const std::vector<std::string>& args) {
  WordsOptions o;
  if (std::string error = Parse(args, o); !error.empty()) return Fail(error);
  auto created = CUniqueWordCounter::Create(o.counter);
  if (!created) return Fail(created.Error());
  CUniqueWordCounter& counter = **created;

  bool failed = false;
  if (o.sources.empty()) {
    auto input = CTextFile::FromStream(STDIN_FILENO, "standard input");
    if (!input) return Fail(input.Error());
    counter.AddText((*input)->RawText(), "standard input");
  }
  counter.AddFiles(ExpandSources(o.sources, o.pattern, &failed));
  for (const std::string& skipped : counter.SkippedFiles()) std::fprintf(stderr, "tessary-cli: %s\n", skipped.c_str());
  failed = failed || !counter.SkippedFiles().empty();

  CUniqueWordList list = counter.List();
  if (o.order == "frequency") SortByFrequency(list.m_arrRows);
  else if (o.order == "alpha") SortAlphabetically(list.m_arrRows, counter.Classes());
  if (!o.output.empty()) {
    auto saved = SaveUniqueWordList(o.output, list);
    if (!saved) {
      std::fprintf(stderr, "tessary-cli: %s: %s\n", saved.Error().c_str(), o.output.c_str());
      return 1;
    }
    return failed ? 1 : 0;
  }
  const std::string text = UniqueWordFileText(list);
  const std::string out = o.raw ? text : counter.Classes().ToUtf8(text);
  std::fwrite(out.data(), 1, out.size(), stdout);
  if (std::fflush(stdout) != 0) return Fail("cannot write the output");
  return failed ? 1 : 0;
}

}  // namespace tessary::cli

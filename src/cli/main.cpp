// tessary-cli: the command-line front of the concordance engine, for batch work,
// scripts and benchmarks.
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/analysis_commands.h"
#include "cli/collocates_command.h"
#include "cli/compare_command.h"
#include "cli/concord_command.h"
#include "cli/convert_command.h"
#include "cli/db_command.h"
#include "cli/html_command.h"
#include "cli/profile_command.h"
#include "cli/test_command.h"
#include "cli/words_command.h"

int main(int argc, char** argv) {
  // A search grows its line and entry arrays by doubling; keeping freed memory in the
  // heap instead of handing it back lets the next growth reuse pages already touched.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    std::fputs("Usage: tessary-cli COMMAND [options]\n\nCommands:\n  concord     keyword-in-context lines of a search\n"
               "  collocates  the collocates of a sorted search with their counts\n"
               "  test        the gap-fill test made from a search\n"
               "  html        a search saved as a web page\n"
               "  db          a search stored in a concordance database, or its records listed\n"
               "  convert     text converted between a code page and Unicode\n"
               "  profile     how often a string occurs and its share of all words\n"
               "  words       the unique words of texts with their counts\n"
               "  compare     a text compared with two word lists, as an HTML report\n"
               "  collocation the collocates of a search with their association measures\n"
               "  ngrams      clusters around a search, or every n-gram of the texts\n"
               "  keywords    the keywords of texts against a reference corpus\n"
               "  plot        the dispersion plot of a search, as SVG\n\n",
               args.empty() ? stderr : stdout);
    tessary::cli::PrintConcordUsage();
    std::fputs("\n", stdout);
    tessary::cli::PrintCollocatesUsage();
    std::fputs("\n", stdout);
    tessary::cli::PrintTestUsage();
    std::fputs("\n", stdout);
    tessary::cli::PrintHtmlUsage();
    std::fputs("\n", stdout);
    tessary::cli::PrintDbUsage();
    std::fputs("\n", stdout);
    tessary::cli::PrintConvertUsage();
    std::fputs("\n", stdout);
    tessary::cli::PrintProfileUsage();
    std::fputs("\n", stdout);
    tessary::cli::PrintWordsUsage();
    std::fputs("\n", stdout);
    tessary::cli::PrintCompareUsage();
    std::fputs("\n", stdout);
    tessary::cli::PrintCollocationUsage();
    std::fputs("\n", stdout);
    tessary::cli::PrintNgramsUsage();
    std::fputs("\n", stdout);
    tessary::cli::PrintKeywordsUsage();
    std::fputs("\n", stdout);
    tessary::cli::PrintPlotUsage();
    return args.empty() ? 2 : 0;
  }
  if (args[0] == "concord") return tessary::cli::RunConcord({args.begin() + 1, args.end()});
  if (args[0] == "collocates") return tessary::cli::RunCollocates({args.begin() + 1, args.end()});
  if (args[0] == "test") return tessary::cli::RunTest({args.begin() + 1, args.end()});
  if (args[0] == "html") return tessary::cli::RunHtml({args.begin() + 1, args.end()});
  if (args[0] == "db") return tessary::cli::RunDb({args.begin() + 1, args.end()});
  if (args[0] == "convert") return tessary::cli::RunConvert({args.begin() + 1, args.end()});
  if (args[0] == "profile") return tessary::cli::RunProfile({args.begin() + 1, args.end()});
  if (args[0] == "words") return tessary::cli::RunWords({args.begin() + 1, args.end()});
  if (args[0] == "compare") return tessary::cli::RunCompare({args.begin() + 1, args.end()});
  if (args[0] == "collocation") return tessary::cli::RunCollocation({args.begin() + 1, args.end()});
  if (args[0] == "ngrams") return tessary::cli::RunNgrams({args.begin() + 1, args.end()});
  if (args[0] == "keywords") return tessary::cli::RunKeywords({args.begin() + 1, args.end()});
  if (args[0] == "plot") return tessary::cli::RunPlot({args.begin() + 1, args.end()});
  std::fprintf(stderr, "tessary-cli: unknown command '%s' (try --help)\n", args[0].c_str());
  return 2;
}

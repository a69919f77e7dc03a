// tessary-cli: the command-line front of the concordance engine, for batch work,
// scripts and benchmarks.
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/collocates_command.h"
#include "cli/concord_command.h"
#include "cli/test_command.h"

int main(int argc, char** argv) {
  // A search grows its line and entry arrays by doubling; keeping freed memory in the
  // heap instead of handing it back lets the next growth reuse pages already touched.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    std::fputs("Usage: tessary-cli COMMAND [options]\n\nCommands:\n  concord     keyword-in-context lines of a search\n"
               "  collocates  the collocates of a sorted search with their counts\n"
               "  test        the gap-fill test made from a search\n\n",
               args.empty() ? stderr : stdout);
    tessary::cli::PrintConcordUsage();
    std::fputs("\n", stdout);
    tessary::cli::PrintCollocatesUsage();
    std::fputs("\n", stdout);
    tessary::cli::PrintTestUsage();
    return args.empty() ? 2 : 0;
  }
  if (args[0] == "concord") return tessary::cli::RunConcord({args.begin() + 1, args.end()});
  if (args[0] == "collocates") return tessary::cli::RunCollocates({args.begin() + 1, args.end()});
  if (args[0] == "test") return tessary::cli::RunTest({args.begin() + 1, args.end()});
  std::fprintf(stderr, "tessary-cli: unknown command '%s' (try --help)\n", args[0].c_str());
  return 2;
}

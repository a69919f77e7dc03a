#include "cli/collocates_command.h"

#include <cstdio>
#include <cstdlib>

#include "cli/concord_command.h"
#include "engine/collocates.h"

namespace tessary::cli {

void PrintCollocatesUsage() {
  std::fputs(
      "Usage: tessary-cli collocates [concord options] [--order frequency|string] SEARCH [FILE|DIR]...\n"
      "Prints how often each collocate of SEARCH occurs, counted from the lines sorted by\n"
      "--sort right (the default) or left at --distance, as the saved collocate list reads.\n\n"
      "  --order frequency|string        highest count first, or by word (the sorted order)\n",
      stdout);
}

int RunCollocates(const std::vector<std::string>& args) {
  // --order belongs to this command; everything else is the search's.
  std::string order;
  std::vector<std::string> rest;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--") {
      rest.insert(rest.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
      break;
    }
    if (args[i] != "--order") {
      rest.push_back(args[i]);
      continue;
    }
    if (i + 1 >= args.size() || (args[i + 1] != "frequency" && args[i + 1] != "string"))
      return Fail("--order takes frequency or string");
    order = args[++i];
  }
  ConcordOptions o;
  if (std::string error = ParseConcordOptions(rest, o); !error.empty()) return Fail(error);
  if (o.count) return Fail("--count is not an option of collocates");
  if (o.bigFile) return Fail("--big-file is not an option of collocates");

  CConcordanceList window;
  window.m_request = o.request;
  // The command line reads byte text only.
  if (o.request.m_bUnicode) return Fail(CollocateRefusalMessage(CollocateRefusal::kUnicode));
  if (std::string error = PrepareSearchStrings(o); !error.empty()) return Fail(error);
  auto created = CConcordanceSearch::Create(o.request, {});
  if (!created) return Fail(created.Error());
  auto& search = **created;
  window.m_request = o.request;
  window.m_bSorted = search.Sorted();
  window.m_bSortLeft = o.request.m_strSortMode == kSortLeft;
  window.m_bSortRight = o.request.m_strSortMode == kSortRight;
  // An unsorted search is refused before any file is read; whether it has entries
  // only the search can tell.
  if (CollocateRefusal refusal = CheckCollocates(window); refusal == CollocateRefusal::kNotSorted)
    return Fail(CollocateRefusalMessage(refusal));

  const bool failed = !SearchSources(search, o);
  auto finished = search.Finish();
  const std::vector<CConcordanceEntry> keyed = std::move(finished.m_arrEntries);
  window.TakeEntries(keyed, finished.m_arrFiles);
  if (CollocateRefusal refusal = CheckCollocates(window); refusal != CollocateRefusal::kNone) {
    Fail(CollocateRefusalMessage(refusal));
    return 1;
  }
  const CCodePage& cp = search.TextCodePage();
  CCollocateList list = CountCollocates(window, keyed, cp);
  if (order == "frequency") SortByFrequency(list.m_arrItems);
  else if (order == "string") SortByString(list.m_arrItems, cp);
  const std::string text = CollocateFileText(list);
  const std::string out = o.raw ? text : cp.ToUtf8(text);
  std::fwrite(out.data(), 1, out.size(), stdout);
  if (std::fflush(stdout) != 0) return Fail("cannot write the output");
  return failed ? 1 : 0;
}

}  // namespace tessary::cli

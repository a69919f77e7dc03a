#pragma once
#include <string>
#include <vector>

#include "cli/concord_command.h"
#include "engine/concordance_entry.h"
#include "engine/expected.h"
#include "export/html_export.h"

namespace tessary::cli {

// The list window a concord search would open, as the export commands read it.
struct SearchedList {
  std::u16string text;      // the window's text
  CHtmlListWindow window;   // its record, as the page needs it
  std::string keyword;      // the search string, UTF-8
  std::vector<CConcordanceEntry> entries;
  std::vector<CWideConcordanceEntry> wideEntries;
  std::vector<std::string> files;  // the table the entries' m_nFile index
  bool unreadable = false;  // some source could not be read (named on standard error)
};

// Runs the search of the parsed options; --count, --raw and --big-file are refused.
Expected<SearchedList> SearchList(ConcordOptions& o);

// `tessary-cli html [concord options] SEARCH FILE... -o OUT.htm`
int RunHtml(const std::vector<std::string>& args);
void PrintHtmlUsage();

}  // namespace tessary::cli

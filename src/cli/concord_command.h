#pragma once
#include <string>
#include <vector>

#include "engine/concordance_search.h"

namespace tessary::cli {

// The options and operands of `concord`, shared by the commands that run its search.
struct ConcordOptions {
  CSearchRequest request;
  std::string search;                   // as typed, UTF-8
  std::vector<std::string> assocWords;  // --assoc, as typed, UTF-8
  std::vector<std::string> sources;
  std::string pattern = "*.txt";
  bool count = false;
  bool raw = false;
  bool bigFile = false;  // --big-file: one file read in chunks
};

// Parses concord's options and operands into o; an error message on failure.
std::string ParseConcordOptions(const std::vector<std::string>& args, ConcordOptions& o);
// Puts the search string (trimmed) and the associated words (as typed) into the
// request, in the text code page for byte searches; an error message on failure.
std::string PrepareSearchStrings(ConcordOptions& o);
// Feeds every source to the search (standard input when none is named; a directory
// gives its files matching the pattern) and names skipped files on standard error.
// False when a source could not be read.
bool SearchSources(CConcordanceSearch& search, const ConcordOptions& o);
bool SearchSources(CWideConcordanceSearch& search, const ConcordOptions& o);

// Writes "tessary-cli: message" to standard error; returns the usage-error status 2.
int Fail(const std::string& message);

// `tessary-cli concord [options] SEARCH [FILE|DIR]...`; returns the exit status on an
// error and otherwise ends the process itself once the output is written.
int RunConcord(const std::vector<std::string>& args);
void PrintConcordUsage();

}  // namespace tessary::cli

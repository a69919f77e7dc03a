#include "cli/db_command.h"

#include <cstdio>

#include "cli/html_command.h"
#include "export/concordance_db.h"

namespace tessary::cli {

namespace {

int List(const std::string& path) {
  auto records = ReadConcordanceDatabase(path);
  if (!records) {
    std::fprintf(stderr, "tessary-cli: %s\n", records.Error().c_str());
    return 1;
  }
  // One record per line, its fields separated by tabs; an empty field stands for null.
  for (const CConcordanceRecord& r : *records) {
    std::string line = r.m_strKeyword + '\t' + r.m_strConcordance + '\t' + r.m_strFile.value_or("") + '\t' +
                       (r.m_nPosition ? std::to_string(*r.m_nPosition) : std::string()) + '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
  if (std::fflush(stdout) != 0) return Fail("cannot write the output");
  return 0;
}

}  // namespace

void PrintDbUsage() {
  std::fputs(
      "Usage: tessary-cli db create|append DB.sqlite [concord options] SEARCH [FILE|DIR]...\n"
      "       tessary-cli db list DB.sqlite\n"
      "Stores the lines that concord prints as records of the table Concordances (Keyword,\n"
      "Concordance, File, Position) in a new or an existing SQLite file, in one transaction;\n"
      "list prints the records, tab-separated, in the order they were added.\n",
      stdout);
}

int RunDb(const std::vector<std::string>& args) {
  if (args.empty() || (args[0] != "create" && args[0] != "append" && args[0] != "list"))
    return Fail("db takes create, append or list");
  if (args.size() < 2) return Fail("db " + args[0] + " takes a database file");
  const std::string& path = args[1];
  if (args[0] == "list") {
    if (args.size() > 2) return Fail("db list takes only the database file");
    return List(path);
  }
  ConcordOptions o;
  if (std::string error = ParseConcordOptions({args.begin() + 2, args.end()}, o); !error.empty()) return Fail(error);
  auto list = SearchList(o);
  if (!list) return Fail(list.Error());
  const std::string text = Utf16ToUtf8(list->text);
  const auto records = list->window.m_bUnicodeText ? WindowRecords(text, list->keyword, list->wideEntries, list->files)
                                                   : WindowRecords(text, list->keyword, list->entries, list->files);
  auto report = args[0] == "create" ? CreateConcordanceDatabase(path, records)
                                    : AppendToConcordanceDatabase(path, records);
  if (!report) {
    std::fprintf(stderr, "tessary-cli: %s\n", report.Error().c_str());
    return 1;
  }
  std::printf("%s\n", report->Summary().c_str());
  return list->unreadable ? 1 : 0;
}

}  // namespace tessary::cli

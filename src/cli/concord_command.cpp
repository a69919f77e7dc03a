#include "cli/concord_command.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>

#include "analysis/table.h"
#include "cli/big_file_command.h"
#include "engine/file_enum.h"
#include "engine/text_file.h"

namespace tessary::cli {

namespace {

std::optional<int> ParseInt(const std::string& s) {
  char* end = nullptr;
  const long v = std::strtol(s.c_str(), &end, 10);
  if (s.empty() || *end != '\0' || v < -1000000 || v > 1000000) return std::nullopt;
  return static_cast<int>(v);
}

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void Write(std::string_view bytes) { std::fwrite(bytes.data(), 1, bytes.size(), stdout); }

template <class Search>
bool Feed(Search& search, const ConcordOptions& o) {
  bool failed = false;
  if (o.sources.empty()) search.SearchStream(STDIN_FILENO, "standard input");
  // Files named one after another are searched together, as a folder's files are.
  std::vector<std::string> named;
  for (const std::string& source : o.sources) {
    if (!IsDirectory(source)) {
      named.push_back(source);
      continue;
    }
    search.SearchFiles(named);
    named.clear();
    auto files = ListMatchingFiles(source, o.pattern);
    if (!files) {
      std::fprintf(stderr, "tessary-cli: %s\n", files.Error().c_str());
      failed = true;
      continue;
    }
    search.SearchFiles(*files);
  }
  search.SearchFiles(named);
  for (const std::string& skipped : search.SkippedFiles()) std::fprintf(stderr, "tessary-cli: %s\n", skipped.c_str());
  return !failed && search.SkippedFiles().empty();
}

// --format: the list as a table instead of the window's text.
struct TableOutput {
  bool bTable = false;
  TableFormat format = TableFormat::kTsv;
  bool bBom = false;
};

// The window's lines as they are assembled, so the whole text is never held.
void WriteLines(CConcordanceSearch& search, bool raw) {
  std::string scratch;
  search.Stream([&](std::string_view line, const CLineLayout& layout) {
    Write(raw ? line : Utf8Line(line, layout, search.TextCodePage(), scratch));
  });
}

void WriteLines(CWideConcordanceSearch& search, bool raw) {
  search.Stream([&](std::u16string_view line, const CLineLayout&) {
    if (raw) Write(std::string_view(reinterpret_cast<const char*>(line.data()), line.size() * 2));
    else Write(Utf16ToUtf8(line));
  });
}

template <class CharT>
int Run(ConcordOptions& o, const TableOutput& table = {}) {
  auto created = CConcordanceSearchT<CharT>::Create(o.request, {}, o.count);
  if (!created) return Fail(created.Error());
  auto& search = **created;
  const bool failed = !SearchSources(search, o);

  if (o.count) {
    std::printf("%llu\n", static_cast<unsigned long long>(search.Matches()));
  } else if (table.bTable) {
    auto list = search.Finish();
    const std::size_t key = search.Prepared().m_strKey.size();
    if constexpr (sizeof(CharT) == 1)
      Write(TableText(ConcordanceTable(list, o.request.m_nLineWidth, key, search.TextCodePage()), table.format, table.bBom));
    else
      Write(TableText(ConcordanceTable(list, o.request.m_nLineWidth, key), table.format, table.bBom));
  } else {
    WriteLines(search, o.raw);
  }
  if (std::fflush(stdout) != 0) return Fail("cannot write the output");
  // The process ends here, leaving a large result to the system to reclaim: freeing a
  // million lines and entries one by one would only delay the exit.
  std::_Exit(failed ? 1 : 0);
}

}  // namespace

int Fail(const std::string& message) {
  std::fprintf(stderr, "tessary-cli: %s\n", message.c_str());
  return 2;
}

bool SearchSources(CConcordanceSearch& search, const ConcordOptions& o) { return Feed(search, o); }
bool SearchSources(CWideConcordanceSearch& search, const ConcordOptions& o) { return Feed(search, o); }

std::string ParseConcordOptions(const std::vector<std::string>& args, ConcordOptions& o) {
  static const std::map<std::string, int> kModes = {
      {"word", kMatchWord}, {"prefix", kMatchPrefix}, {"suffix", kMatchSuffix}, {"any", kMatchAny}};
  static const std::map<std::string, std::string> kSorts = {
      {"right", kSortRight}, {"left", kSortLeft}, {"position", kSortPosition}, {"none", kUnsorted}};
  static const std::map<std::string, AssocZone> kZones = {
      {"anywhere", AssocZone::kAnywhere}, {"left", AssocZone::kLeft}, {"right", AssocZone::kRight}};
  bool haveSearch = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    std::string v;
    if (a == "--") {
      for (++i; i < args.size(); ++i) {
        if (haveSearch) o.sources.push_back(args[i]);
        else o.search = args[i];
        haveSearch = true;
      }
      break;
    } else if (a == "--mode") {
      if (!value(v) || !kModes.count(v)) return "--mode takes word, prefix, suffix or any";
      o.request.m_nMatchMode = kModes.at(v);
    } else if (a == "--width") {
      if (!value(v)) return "--width takes a number";
      if (std::string e = SetLineWidth(o.request.m_nLineWidth, v); !e.empty()) return e;
    } else if (a == "--sort") {
      if (!value(v) || !kSorts.count(v)) return "--sort takes right, left, position or none";
      o.request.m_strSortMode = kSorts.at(v);
    } else if (a == "--distance") {
      auto n = value(v) ? ParseInt(v) : std::nullopt;
      if (!n || *n < 1 || *n > 3) return "--distance takes 1, 2 or 3";
      o.request.m_nSortDistance = *n;
    } else if (a == "--numbers" || a == "--no-numbers") {
      o.request.m_bLineNumbers = a == "--numbers";
    } else if (a == "--file-reference") {
      o.request.m_bFileReference = true;
    } else if (a == "--double-byte") {
      if (!value(v) || (v != "big5" && v != "gb" && v != "japanese")) return "--double-byte takes big5, gb or japanese";
      o.request.m_language.m_kind = v == "gb"         ? TextLanguageKind::kGb
                                    : v == "japanese" ? TextLanguageKind::kJapanese
                                                      : TextLanguageKind::kBig5;
    } else if (a == "--codepage") {
      auto n = value(v) ? ParseInt(v) : std::nullopt;
      if (!n) return "--codepage takes a code page number";
      if (auto cp = CCodePage::Open(*n); !cp) return cp.Error();
      o.request.m_nAnsiCodePage = *n;
      o.request.m_language.m_nCodePage = *n;
    } else if (a == "--unicode") {
      o.request.m_bUnicode = true;
    } else if (a == "--assoc") {
      if (!value(v) || v.empty()) return "--assoc takes a word";
      if (o.assocWords.size() == kMaxAssocWords) return "--assoc may be given at most three times";
      o.assocWords.push_back(v);
    } else if (a == "--zone") {
      if (!value(v) || !kZones.count(v)) return "--zone takes anywhere, left or right";
      o.request.m_assocZone = kZones.at(v);
    } else if (a == "--sentences") {
      o.request.m_bSentences = true;
    } else if (a == "--count") {
      o.count = true;
    } else if (a == "--raw") {
      o.raw = true;
    } else if (a == "--big-file") {
      o.bigFile = true;
    } else if (a == "--pattern") {
      if (!value(o.pattern)) return "--pattern takes a file pattern such as *.txt";
    } else if (a.size() > 1 && a[0] == '-') {
      return "unknown option " + a;
    } else if (!haveSearch) {
      o.search = a;
      haveSearch = true;
    } else {
      o.sources.push_back(a);
    }
  }
  if (!haveSearch) return "no search string given";
  if (o.request.m_bSentences && !o.assocWords.empty()) return "--sentences and --assoc cannot be combined";
  if (o.request.m_bUnicode && o.assocWords.size() > 1) return "a --unicode search takes one --assoc word";
  return {};
}

std::string PrepareSearchStrings(ConcordOptions& o) {
  CSearchRequest& r = o.request;
  r.m_wstrTyped = Utf8ToUtf16(o.search);
  if (r.m_bUnicode) {
    r.m_wstrSearch = r.m_wstrTyped;
    r.m_wstrAssocWord = o.assocWords.empty() ? std::u16string() : Utf8ToUtf16(o.assocWords[0]);
    return {};
  }
  auto cp = CCodePage::Open(r.m_language.TextCodePage());
  if (!cp) return cp.Error();
  r.m_strSearch = TrimSearchString((*cp)->FromUtf8(o.search), r.m_language.IsDoubleByte());
  r.m_arrAssocWords.clear();
  for (const std::string& word : o.assocWords) r.m_arrAssocWords.push_back((*cp)->FromUtf8(word));
  return {};
}

void PrintConcordUsage() {
  std::fputs(
      "Usage: tessary-cli concord [options] SEARCH [FILE|DIR]...\n"
      "Prints the keyword-in-context lines that the list window would hold. Reads standard\n"
      "input when no file is named; a directory means its files matching --pattern.\n\n"
      "  --mode word|prefix|suffix|any   how the search string must match (word)\n"
      "  --width N                       context width on each side, 1 to 1000 (50)\n"
      "  --sort right|left|position|none order of the lines (right)\n"
      "  --distance N                    collocate distance for sorting, 1 to 3 (1)\n"
      "  --numbers, --no-numbers         number the lines (on)\n"
      "  --file-reference                follow each line by its source path\n"
      "  --double-byte big5|gb|japanese  exact, byte-wise matching of double-byte text\n"
      "  --codepage N                    the ANSI code page of byte texts (1252)\n"
      "  --unicode                       decode files as the editor does; 16-bit search\n"
      "  --assoc WORD                    keep only lines that also hold WORD (up to three\n"
      "                                  times; once with --unicode)\n"
      "  --zone anywhere|left|right      where the --assoc words may stand (anywhere)\n"
      "  --sentences                     whole sentences instead of fixed-width lines\n"
      "  --pattern GLOB                  files of a directory to search (*.txt)\n"
      "  --count                         print only the number of matches\n"
      "  --raw                           print the window's bytes unconverted\n"
      "  --big-file                      read one FILE in chunks straight from disk (any size)\n"
      "  --format tsv|csv, --bom         the lines as a table: number, left, keyword, right,\n"
      "                                  file, position (CSV by RFC 4180; --bom: UTF-8 mark)\n"
      "A trailing '*' on SEARCH asks for a prefix, a leading one for a suffix.\n",
      stdout);
}

int RunConcord(const std::vector<std::string>& args) {
  ConcordOptions o;
  TableOutput table;
  std::vector<std::string> rest;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--") {
      rest.insert(rest.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
      break;
    } else if (args[i] == "--format") {
      if (i + 1 >= args.size() || (args[i + 1] != "tsv" && args[i + 1] != "csv")) return Fail("--format takes tsv or csv");
      table.bTable = true;
      table.format = args[++i] == "csv" ? TableFormat::kCsv : TableFormat::kTsv;
    } else if (args[i] == "--bom") {
      table.bBom = true;
    } else {
      rest.push_back(args[i]);
    }
  }
  if (std::string error = ParseConcordOptions(rest, o); !error.empty()) return Fail(error);
  if (table.bBom && !table.bTable) return Fail("--bom goes with --format");
  if (table.bTable && (o.bigFile || o.count || o.raw || o.request.m_bSentences))
    return Fail("--format does not go with --big-file, --count, --raw or --sentences");
  if (o.bigFile) return RunBigFileConcord(o);
  if (std::string error = PrepareSearchStrings(o); !error.empty()) return Fail(error);
  return o.request.m_bUnicode ? Run<char16_t>(o, table) : Run<char>(o, table);
}

}  // namespace tessary::cli

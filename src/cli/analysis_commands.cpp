#include "cli/analysis_commands.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "analysis/table.h"
#include "cli/concord_command.h"
#include "engine/file_enum.h"
#include "engine/file_reader.h"
#include "engine/text_file.h"

namespace tessary::cli {

namespace {

// The options every analysis shares, taken out before concord's options are parsed.
struct Output {
  TableFormat format = TableFormat::kTsv;
  bool bom = false;
  std::string file;  // empty: standard output
};

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<std::int64_t> ParseCount(const std::string& s, std::int64_t min, std::int64_t max) {
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(s.c_str(), &end, 10);
  if (s.empty() || *end != '\0' || errno != 0 || v < min || v > max) return std::nullopt;
  return v;
}

// "A,B" or "A" (both the same) as two numbers in [min, max].
bool ParsePair(const std::string& s, std::int64_t min, std::int64_t max, std::int64_t& a, std::int64_t& b) {
  const std::size_t comma = s.find(',');
  auto x = ParseCount(s.substr(0, comma), min, max);
  auto y = comma == std::string::npos ? x : ParseCount(s.substr(comma + 1), min, max);
  if (!x || !y) return false;
  a = *x, b = *y;
  return true;
}

// Takes the option at args[i] when it is one of the output options; error set on a bad value.
bool TakeOutputOption(const std::vector<std::string>& args, std::size_t& i, Output& out, std::string& error) {
  const std::string& a = args[i];
  if (a == "--format") {
    if (i + 1 >= args.size() || (args[i + 1] != "tsv" && args[i + 1] != "csv")) error = "--format takes tsv or csv";
    else out.format = args[++i] == "csv" ? TableFormat::kCsv : TableFormat::kTsv;
    return true;
  }
  if (a == "--bom") return out.bom = true;
  if (a == "--output") {
    if (i + 1 >= args.size() || args[i + 1].empty()) error = "--output takes a file name";
    else out.file = args[++i];
    return true;
  }
  return false;
}

int Emit(const std::string& text, const Output& out) {
  if (out.file.empty()) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    if (std::fflush(stdout) != 0) return Fail("cannot write the output");
    return 0;
  }
  std::FILE* f = std::fopen(out.file.c_str(), "wb");
  if (!f) return Fail("cannot create " + out.file + ": " + std::strerror(errno));
  const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  if (std::fclose(f) != 0 || !ok) {
    std::remove(out.file.c_str());
    return Fail("cannot write " + out.file);
  }
  return 0;
}

// Feeds the sources to the corpus: standard input when none is named, a directory's
// files matching the pattern. False when a source could not be read (named on stderr,
// or in messages when given, to be printed later).
bool Feed(CAnalysisCorpus& corpus, const std::vector<std::string>& sources, const std::string& pattern,
          std::vector<std::string>* messages = nullptr) {
  auto tell = [messages](const std::string& message) {
    if (messages) messages->push_back(message);
    else std::fprintf(stderr, "tessary-cli: %s\n", message.c_str());
  };
  bool failed = false;
  if (sources.empty()) {
    auto in = CTextFile::FromStream(STDIN_FILENO, "standard input");
    if (!in) {
      tell(in.Error());
      return false;
    }
    corpus.AddTextFile(**in, "standard input");
  }
  std::vector<std::string> paths;
  for (const std::string& source : sources) {
    if (!IsDirectory(source)) {
      paths.push_back(source);
      continue;
    }
    auto files = ListMatchingFiles(source, pattern);
    if (!files) {
      tell(files.Error());
      failed = true;
      continue;
    }
    paths.insert(paths.end(), files->begin(), files->end());
  }
  corpus.AddFiles(paths);
  for (const std::string& skipped : corpus.SkippedFiles()) tell(skipped);
  return !failed && corpus.SkippedFiles().empty();
}

// Concord's options and operands (a search unless bNode is false) into a corpus.
struct Analysis {
  ConcordOptions concord;
  std::unique_ptr<CAnalysisCorpus> corpus;
  bool failed = false;
};

// Reads the options and makes the corpus, without feeding it.
std::string PrepareCorpus(const std::vector<std::string>& rest, bool bNode, Analysis& a, const CCorpusPlan& plan) {
  // Without a node every operand is a source: a stand-in search string goes first.
  std::vector<std::string> args;
  args.reserve(rest.size() + 1);
  if (!bNode) args.push_back("-");
  for (const std::string& arg : rest) args.push_back(arg);
  if (std::string e = ParseConcordOptions(args, a.concord); !e.empty()) return e;
  if (a.concord.bigFile || a.concord.count || a.concord.raw || a.concord.request.m_bSentences ||
      !a.concord.assocWords.empty())
    return "--big-file, --count, --raw, --sentences and --assoc do not apply to this command";
  if (std::string e = PrepareSearchStrings(a.concord); !e.empty()) return e;
  auto corpus = CAnalysisCorpus::Create(a.concord.request, bNode, {}, plan);
  if (!corpus) return corpus.Error();
  a.corpus = std::move(*corpus);
  return {};
}

std::string Prepare(const std::vector<std::string>& rest, bool bNode, Analysis& a, const CCorpusPlan& plan = {}) {
  if (std::string e = PrepareCorpus(rest, bNode, a, plan); !e.empty()) return e;
  a.failed = !Feed(*a.corpus, a.concord.sources, a.concord.pattern);
  return {};
}

int Finish(const Analysis& a, const std::string& text, const Output& out) {
  const int status = Emit(text, out);
  return status != 0 ? status : a.failed ? 1 : 0;
}

}  // namespace

int RunCollocation(const std::vector<std::string>& args) {
  Output out;
  CCollocationOptions options;
  std::vector<Measure> measures;
  std::vector<std::string> rest;
  std::string error;
  for (std::size_t i = 0; i < args.size() && error.empty(); ++i) {
    const std::string& a = args[i];
    const bool has = i + 1 < args.size();
    std::int64_t l = 0, r = 0;
    if (a == "--") {
      rest.insert(rest.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
      break;
    } else if (TakeOutputOption(args, i, out, error)) {
    } else if (a == "--span") {
      if (!has || !ParsePair(args[++i], 0, kMaxSpan, l, r)) error = "--span takes L,R: 0 to 10 words each";
      options.m_nLeft = static_cast<int>(l), options.m_nRight = static_cast<int>(r);
    } else if (a == "--min-freq") {
      auto n = has ? ParseCount(args[++i], 1, INT64_MAX) : std::nullopt;
      if (!n) error = "--min-freq takes a number from 1";
      else options.m_nMinFreq = *n;
    } else if (a == "--measure") {
      std::string list = has ? args[++i] : "";
      measures.clear();
      for (std::size_t from = 0; from <= list.size() && error.empty();) {
        const std::size_t comma = std::min(list.find(',', from), list.size());
        const CMeasureInfo* m = FindMeasure(list.substr(from, comma - from));
        if (!m) error = "--measure takes a list of freq, mi, mi3, t, ll, logdice, dice, z";
        else measures.push_back(m->m_measure);
        from = comma + 1;
      }
    } else {
      rest.push_back(a);
    }
  }
  if (error.empty()) error = CheckCollocationOptions(options);
  if (!error.empty()) return Fail(error);
  Analysis a;
  // Only the spans' words are counted: the texts' words are not kept.
  const CCorpusPlan plan{false, false, options.m_nLeft, options.m_nRight};
  if (std::string e = Prepare(rest, true, a, plan); !e.empty()) return Fail(e);
  CCollocationResult result = Collocation(*a.corpus, options);
  Measure sortBy = measures.empty() ? Measure::kFrequency : measures.front();
  if (measures.empty())
    for (const CMeasureInfo& m : Measures())
      if (m.m_measure != Measure::kFrequency) measures.push_back(m.m_measure);
  std::erase(measures, Measure::kFrequency);  // O11 is always a column
  SortCollocates(result.m_arrRows, sortBy);
  return Finish(a, TableText(CollocationTable(result, measures), out.format, out.bom), out);
}

int RunNgrams(const std::vector<std::string>& args) {
  Output out;
  CNgramOptions options;
  bool free = false;
  std::vector<std::string> rest;
  std::string error;
  for (std::size_t i = 0; i < args.size() && error.empty(); ++i) {
    const std::string& a = args[i];
    const bool has = i + 1 < args.size();
    std::int64_t lo = 0, hi = 0;
    if (a == "--") {
      rest.insert(rest.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
      break;
    } else if (TakeOutputOption(args, i, out, error)) {
    } else if (a == "--size") {
      if (!has || !ParsePair(args[++i], 2, 5, lo, hi) || lo > hi) error = "--size takes N or MIN,MAX from 2 to 5";
      options.m_nMinSize = static_cast<int>(lo), options.m_nMaxSize = static_cast<int>(hi);
    } else if (a == "--min-freq" || a == "--min-range") {
      auto n = has ? ParseCount(args[++i], 1, INT64_MAX) : std::nullopt;
      if (!n) error = a + " takes a number from 1";
      else (a == "--min-freq" ? options.m_nMinFreq : options.m_nMinRange) = *n;
    } else if (a == "--attach") {
      const std::string v = has ? args[++i] : "";
      if (v == "left") options.m_attach = ClusterAttach::kLeft;
      else if (v == "right") options.m_attach = ClusterAttach::kRight;
      else if (v == "both") options.m_attach = ClusterAttach::kBoth;
      else error = "--attach takes left, right or both";
    } else if (a == "--free") {
      free = true;
    } else {
      rest.push_back(a);
    }
  }
  if (free && options.m_attach != ClusterAttach::kFree) error = "--free and --attach cannot be combined";
  if (!free && options.m_attach == ClusterAttach::kFree) options.m_attach = ClusterAttach::kBoth;
  if (error.empty()) error = CheckNgramOptions(options);
  if (!error.empty()) return Fail(error);
  Analysis a;
  if (std::string e = Prepare(rest, !free, a); !e.empty()) return Fail(e);
  return Finish(a, TableText(NgramTable(Ngrams(*a.corpus, options)), out.format, out.bom), out);
}

// Whether a file begins as a saved unique-word list; only its first bytes are read.
bool StartsAsWordList(const std::string& path) {
  constexpr std::string_view kHead = "Unique words = ";
  auto fd = OpenRegularFile(path);
  if (!fd) return false;
  CFileReader reader(*fd, path);
  char head[kHead.size()];
  std::size_t got = 0;
  while (got < sizeof head) {
    const std::size_t n = reader.Read(head + got, sizeof head - got);
    if (n == 0) break;
    got += n;
  }
  ::close(*fd);
  return std::string_view(head, got) == kHead;
}

int RunKeywords(const std::vector<std::string>& args) {
  Output out;
  std::int64_t minFreq = 1;
  std::vector<std::string> references, rest;
  std::string error;
  for (std::size_t i = 0; i < args.size() && error.empty(); ++i) {
    const std::string& a = args[i];
    const bool has = i + 1 < args.size();
    if (a == "--") {
      rest.insert(rest.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
      break;
    } else if (TakeOutputOption(args, i, out, error)) {
    } else if (a == "--reference") {
      if (!has) error = "--reference takes a file, a directory or a saved unique-word list";
      else references.push_back(args[++i]);
    } else if (a == "--min-freq") {
      auto n = has ? ParseCount(args[++i], 1, INT64_MAX) : std::nullopt;
      if (!n) error = "--min-freq takes a number from 1";
      else minFreq = *n;
    } else {
      rest.push_back(a);
    }
  }
  if (error.empty() && references.empty()) error = "no --reference given";
  if (!error.empty()) return Fail(error);
  Analysis study;
  const CCorpusPlan counts{false, false, -1, -1};  // word counts only
  if (std::string e = PrepareCorpus(rest, false, study, counts); !e.empty()) return Fail(e);
  // The reference: saved unique-word lists are read as lists, other paths as texts.
  auto refCorpus = CAnalysisCorpus::Create(study.concord.request, false, {}, counts);
  if (!refCorpus) return Fail(refCorpus.Error());
  std::vector<std::string> refTexts, lists;
  for (const std::string& path : references)
    (IsDirectory(path) || !StartsAsWordList(path) ? refTexts : lists).push_back(path);
  // The reference texts are counted beside the study texts; their messages follow the study's.
  std::vector<std::string> refMessages;
  bool failed = false;
  std::thread reference([&] {
    if (!refTexts.empty()) failed = !Feed(**refCorpus, refTexts, study.concord.pattern, &refMessages);
  });
  study.failed = !Feed(*study.corpus, study.concord.sources, study.concord.pattern);
  reference.join();
  CWordCounts fromLists;
  for (const std::string& path : lists) {
    auto list = ReadUniqueWordListFile(path, (*refCorpus)->Classes());
    if (!list) return Fail(list.Error());
    for (const auto& [folded, k] : list->m_index) {
      auto [it, bNew] = fromLists.m_index.try_emplace(folded, fromLists.m_arrCount.size());
      if (bNew) fromLists.m_arrSpelling.push_back(list->m_arrSpelling[k]), fromLists.m_arrCount.push_back(0);
      fromLists.m_arrCount[it->second] += list->m_arrCount[k];
    }
    fromLists.m_nTotal += list->m_nTotal;
  }
  if (!refTexts.empty()) {
    for (const std::string& message : refMessages) std::fprintf(stderr, "tessary-cli: %s\n", message.c_str());
    CWordCounts texts = WordCountsOf(**refCorpus);
    for (const auto& [folded, k] : texts.m_index) {
      auto [it, bNew] = fromLists.m_index.try_emplace(folded, fromLists.m_arrCount.size());
      if (bNew) fromLists.m_arrSpelling.push_back(texts.m_arrSpelling[k]), fromLists.m_arrCount.push_back(0);
      fromLists.m_arrCount[it->second] += texts.m_arrCount[k];
    }
    fromLists.m_nTotal += texts.m_nTotal;
  }
  if (fromLists.m_nTotal == 0 || study.corpus->Tokens() == 0) return Fail("the study texts or the reference hold no words");
  const CKeywordResult result = Keywords(WordCountsOf(*study.corpus), fromLists, minFreq);
  const int status = Finish(study, TableText(KeywordTable(result), out.format, out.bom), out);
  return status != 0 ? status : failed ? 1 : 0;
}

int RunPlot(const std::vector<std::string>& args) {
  Output out;
  bool table = false;
  std::vector<std::string> rest;
  std::string error;
  for (std::size_t i = 0; i < args.size() && error.empty(); ++i) {
    if (args[i] == "--") {
      rest.insert(rest.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
      break;
    } else if (TakeOutputOption(args, i, out, error)) {
    } else if (args[i] == "--table") {
      table = true;
    } else {
      rest.push_back(args[i]);
    }
  }
  if (!error.empty()) return Fail(error);
  Analysis a;
  if (std::string e = Prepare(rest, true, a, CCorpusPlan{false, true, -1, -1}); !e.empty()) return Fail(e);
  const CDispersionResult result = Dispersion(*a.corpus);
  return Finish(a, table ? TableText(DispersionTable(result), out.format, out.bom) : DispersionSvg(result, a.concord.search),
                out);
}

void PrintCollocationUsage() {
  std::fputs(
      "Usage: tessary-cli collocation [concord options] [options] SEARCH [FILE|DIR]...\n"
      "The words in the spans of SEARCH (matched as concord matches it) with their\n"
      "frequency there (O11), in all texts (C1), the node's hits (R1), the words of all\n"
      "texts (N) and the association measures, one row each.\n\n"
      "  --span L,R                      words left and right of the node, 0 to 10 (5,5)\n"
      "  --min-freq N                    only collocates found N times or more (1)\n"
      "  --measure LIST                  the measures to print, the first sorts: freq, mi,\n"
      "                                  mi3, t, ll, logdice, dice, z (all, sorted by freq)\n"
      "  --format tsv|csv, --bom         the table's form (tsv); a UTF-8 mark first\n"
      "  --output FILE                   write the table to FILE\n",
      stdout);
}

void PrintNgramsUsage() {
  std::fputs(
      "Usage: tessary-cli ngrams [concord options] [options] SEARCH [FILE|DIR]...\n"
      "       tessary-cli ngrams --free [concord options] [options] [FILE|DIR]...\n"
      "Clusters of words beginning or ending with SEARCH, or with --free every run of\n"
      "words of the texts, with their frequency and range (the number of texts).\n\n"
      "  --size N | MIN,MAX              words in a cluster, 2 to 5 (2,5)\n"
      "  --attach left|right|both        the node first, last or either (both)\n"
      "  --min-freq N, --min-range N     only clusters this frequent, in this many texts\n"
      "  --format tsv|csv, --bom, --output FILE\n",
      stdout);
}

void PrintKeywordsUsage() {
  std::fputs(
      "Usage: tessary-cli keywords --reference PATH... [options] [FILE|DIR]...\n"
      "The words of the study texts whose frequency differs from the reference: keyness\n"
      "by log-likelihood (with p) and log ratio, positive keywords first, then negative.\n"
      "A reference is a file, a directory or a saved unique-word list (may be repeated).\n\n"
      "  --min-freq N                    a keyword's frequency where it is key (1)\n"
      "  --codepage N, --double-byte big5|gb|japanese, --unicode, --pattern GLOB\n"
      "                                  the texts' language and files, as for concord\n"
      "  --format tsv|csv, --bom, --output FILE\n",
      stdout);
}

void PrintPlotUsage() {
  std::fputs(
      "Usage: tessary-cli plot [concord options] [options] SEARCH [FILE|DIR]...\n"
      "The dispersion plot of SEARCH as SVG: a strip per text with a tick per hit, and\n"
      "the hits, hits per 1,000 words and Juilland's D beside each.\n\n"
      "  --table                         print the figures as a table instead\n"
      "  --format tsv|csv, --bom         the table's form (tsv)\n"
      "  --output FILE                   write to FILE\n",
      stdout);
}

}  // namespace tessary::cli

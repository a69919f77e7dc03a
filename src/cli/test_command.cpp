#include "cli/test_command.h"

#include <cstdio>

#include "cli/concord_command.h"
#include "exercise/gap_fill.h"

namespace tessary::cli {

namespace {

bool Write(std::string_view bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  return std::fflush(stdout) == 0;
}

CGapLayout Layout(const CSearchRequest& s, std::size_t keyLength) {
  return {s.m_nLineWidth, s.m_bLineNumbers, static_cast<std::int64_t>(keyLength)};
}

int RunBytes(const ConcordOptions& o) {
  auto created = CConcordanceSearch::Create(o.request, {});
  if (!created) return Fail(created.Error());
  auto& search = **created;
  const bool failed = !SearchSources(search, o);
  const auto list = search.Finish();
  const std::string& key = search.Prepared().m_strKey;
  bool written;
  if (o.raw) {
    const CGapFillTest test(list.m_strOutput, Layout(o.request, key.size()), key);
    written = Write(test.Text());
  } else {
    // As the program's window holds it.
    const CWideGapFillTest test = WindowGapFillTest(list, search.TextCodePage(), o.request.m_nLineWidth, key);
    written = Write(Utf16ToUtf8(test.Text()));
  }
  if (!written) return Fail("cannot write the output");
  return failed ? 1 : 0;
}

int RunWide(const ConcordOptions& o) {
  auto created = CWideConcordanceSearch::Create(o.request, {});
  if (!created) return Fail(created.Error());
  auto& search = **created;
  const bool failed = !SearchSources(search, o);
  const auto list = search.Finish();
  const std::u16string& key = search.Prepared().m_strKey;
  const CWideGapFillTest test = WindowGapFillTest(list, o.request.m_nLineWidth, o.request.m_bLineNumbers, key);
  const std::u16string text = test.Text();
  const bool written = o.raw ? Write(std::string_view(reinterpret_cast<const char*>(text.data()), text.size() * 2))
                             : Write(Utf16ToUtf8(text));
  if (!written) return Fail("cannot write the output");
  return failed ? 1 : 0;
}

}  // namespace

void PrintTestUsage() {
  std::fputs(
      "Usage: tessary-cli test [concord options] SEARCH [FILE|DIR]...\n"
      "Prints the gap-fill test made from the search: the concordance lines with every\n"
      "keyword replaced by six dashes. Takes the options of concord except --count,\n"
      "--big-file and --sentences.\n",
      stdout);
}

int RunTest(const std::vector<std::string>& args) {
  ConcordOptions o;
  if (std::string error = ParseConcordOptions(args, o); !error.empty()) return Fail(error);
  if (o.count) return Fail("--count is not an option of test");
  if (o.bigFile) return Fail("--big-file is not an option of test");
  // A sentence list gets its own formatting instead of a test, as in the program.
  if (o.request.m_bSentences) return Fail("--sentences is not an option of test");
  if (std::string error = PrepareSearchStrings(o); !error.empty()) return Fail(error);
  o.request.m_bTestMode = true;
  return o.request.m_bUnicode ? RunWide(o) : RunBytes(o);
}

}  // namespace tessary::cli

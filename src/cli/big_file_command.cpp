#include "cli/big_file_command.h"

#include <cstdio>
#include <cstdlib>

#include "engine/big_file_search.h"

namespace tessary::cli {

namespace {

void Write(std::string_view bytes) { std::fwrite(bytes.data(), 1, bytes.size(), stdout); }

}  // namespace

int RunBigFileConcord(ConcordOptions& o) {
  if (o.request.m_bUnicode) return Fail("--big-file searches byte text and cannot be combined with --unicode");
  if (o.sources.size() != 1) return Fail("--big-file takes exactly one file");
  if (std::string error = PrepareSearchStrings(o); !error.empty()) return Fail(error);
  auto cp = CCodePage::Open(o.request.m_language.TextCodePage());
  if (!cp) return Fail(cp.Error());
  o.request.m_strSearch = (*cp)->FromUtf8(o.search);
  auto created = CBigFileSearch::Create(o.request, {}, o.count);
  if (!created) return Fail(created.Error());
  auto& search = **created;
  const bool failed = !search.SearchFile(o.sources.front());
  if (failed) std::fprintf(stderr, "tessary-cli: %s\n", search.Error().c_str());

  if (o.count) {
    std::printf("%llu\n", static_cast<unsigned long long>(search.Matches()));
  } else {
    auto list = search.Finish();
    if (o.raw) Write(list.m_strOutput);
    else RenderUtf8(list, search.TextCodePage(), Write);
  }
  if (std::fflush(stdout) != 0) return Fail("cannot write the output");
  // As for other searches, a large result is left to the system to reclaim.
  std::_Exit(failed ? 1 : 0);
}

}  // namespace tessary::cli

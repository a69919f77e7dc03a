#include "cli/html_command.h"

#include <cstdio>

namespace tessary::cli {

namespace {

template <class CharT>
Expected<SearchedList> Search(ConcordOptions& o) {
  auto created = CConcordanceSearchT<CharT>::Create(o.request, {});
  if (!created) return Expected<SearchedList>::Failure(created.Error());
  auto& search = **created;
  SearchedList result;
  result.unreadable = !SearchSources(search, o);
  auto list = search.Finish();
  CHtmlListWindow& w = result.window;
  w.m_bConcordance = true;
  w.m_nWidth = o.request.m_nLineWidth;
  w.m_nKeyLength = static_cast<std::int64_t>(search.Prepared().m_strKey.size());
  w.m_bLineNumbers = o.request.m_bLineNumbers;
  w.m_arrKeyColumns = list.m_arrKeyOffsets;
  if constexpr (sizeof(CharT) == 1) {
    const CCodePage& cp = search.TextCodePage();
    w.m_nCodePage = cp.Number();
    result.text = RenderUtf16(list, cp, {}).m_wstrText;
    result.keyword = cp.ToUtf8(o.request.m_strSearch);
    result.entries = std::move(list.m_arrEntries);
    result.files = std::move(list.m_arrFiles);
  } else {
    w.m_bUnicodeText = true;
    result.text = RenderUtf16(list, {}).m_wstrText;
    result.keyword = Utf16ToUtf8(o.request.m_wstrSearch);
    result.wideEntries = std::move(list.m_arrEntries);
    result.files = std::move(list.m_arrFiles);
  }
  return result;
}

}  // namespace

Expected<SearchedList> SearchList(ConcordOptions& o) {
  using Result = Expected<SearchedList>;
  if (o.count) return Result::Failure("--count is not an option here");
  if (o.raw) return Result::Failure("--raw is not an option here");
  if (o.bigFile) return Result::Failure("--big-file is not an option here");
  if (std::string error = PrepareSearchStrings(o); !error.empty()) return Result::Failure(error);
  return o.request.m_bUnicode ? Search<char16_t>(o) : Search<char>(o);
}

void PrintHtmlUsage() {
  std::fputs(
      "Usage: tessary-cli html [concord options] SEARCH [FILE|DIR]... -o OUT.htm\n"
      "Saves the list that concord prints as a web page, each keyword highlighted, in the\n"
      "code page of the text (16-bit searches in UTF-8), with the charset declared.\n",
      stdout);
}

int RunHtml(const std::vector<std::string>& args) {
  std::string out;
  std::vector<std::string> rest;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--") {
      rest.insert(rest.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
      break;
    }
    if (args[i] != "-o" && args[i] != "--output") {
      rest.push_back(args[i]);
      continue;
    }
    if (i + 1 >= args.size()) return Fail(args[i] + " takes the file to write");
    out = args[++i];
  }
  if (out.empty()) return Fail("no output file given (-o OUT.htm)");
  ConcordOptions o;
  if (std::string error = ParseConcordOptions(rest, o); !error.empty()) return Fail(error);
  auto list = SearchList(o);
  if (!list) return Fail(list.Error());
  auto page = WriteConcordanceHtml(out, list->text, list->window);
  if (!page) {
    std::fprintf(stderr, "tessary-cli: %s: %s\n", out.c_str(), page.Error().c_str());
    return 1;
  }
  return list->unreadable ? 1 : 0;
}

}  // namespace tessary::cli

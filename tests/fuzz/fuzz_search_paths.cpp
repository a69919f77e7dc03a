// Differential: for random texts, keys and options every search path gives the same
// list: the text in memory, the file read in pieces, pieces of any size, and the
// big-file search in chunks of any size. 16-bit searches: the decoded text in memory
// and the file decoded piece by piece.
#include <algorithm>

#include "engine/big_file_search.h"
#include "engine/concordance_search.h"
#include "engine/piece_scan.h"
#include "engine/text_file.h"
#include "fuzz_support.h"

using namespace tessary;

namespace {

// Hands out a string in pieces of at most the room offered.
struct StringSource {
  std::string_view text;
  std::size_t at = 0;
  std::size_t most = 1;
  std::size_t Read(char* out, std::size_t room) {
    const std::size_t n = std::min({room, most, text.size() - at});
    std::copy_n(text.data() + at, n, out);
    at += n;
    return n;
  }
  bool Ended() const { return at == text.size(); }
};

template <class List>
void CheckSame(const List& a, const List& b) {
  FUZZ_CHECK(a.m_strOutput == b.m_strOutput);
  FUZZ_CHECK(a.m_arrEntries.size() == b.m_arrEntries.size());
  for (std::size_t i = 0; i < a.m_arrEntries.size(); ++i)
    FUZZ_CHECK(a.m_arrEntries[i].m_nPosition == b.m_arrEntries[i].m_nPosition);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  CSearchRequest s;
  s.m_nMatchMode = in.ConsumeIntegralInRange<int>(0, 3);
  s.m_nLineWidth = in.ConsumeIntegralInRange<std::int64_t>(1, 12);
  static const char* kSorts[] = {kSortRight, kSortLeft, kSortPosition, kUnsorted};
  s.m_strSortMode = kSorts[in.ConsumeIntegralInRange<int>(0, 3)];
  s.m_nSortDistance = in.ConsumeIntegralInRange<int>(1, 3);
  const std::uint8_t flags = in.ConsumeIntegral<std::uint8_t>();
  s.m_bSentences = flags & 1;
  if (flags & 2) s.m_language.m_kind = (flags & 4) ? TextLanguageKind::kBig5 : TextLanguageKind::kGb;
  const bool wide = flags & 8;
  const bool count = flags & 16;
  if (flags & 32) {
    const std::string word = in.ConsumeRandomLengthString(4);
    // Associated-word requests carry a word; an empty one is a plain search.
    if (!word.empty()) s.m_arrAssocWords = {word};
    s.m_wstrAssocWord = std::u16string(word.begin(), word.end());
  }
  const std::size_t piece = in.ConsumeIntegralInRange<std::size_t>(1, 64);
  const std::int64_t chunk = in.ConsumeIntegralInRange<std::int64_t>(2, 80);
  s.m_strSearch = in.ConsumeRandomLengthString(6);
  for (char c : s.m_strSearch) s.m_wstrSearch.push_back(static_cast<unsigned char>(c));
  const std::string bytes = in.ConsumeRemainingBytesAsString();
  fuzz::MemoryFile file(bytes);

  if (wide) {
    auto memory = CWideConcordanceSearch::Create(s, {}, count);
    if (!memory) return 0;
    auto fromFile = std::move(*CWideConcordanceSearch::Create(s, {}, count));
    static const auto ansi = CCodePage::Open(s.m_nAnsiCodePage);
    const std::u16string text = DecodeForEditor(bytes, **ansi);
    (*memory)->SearchText(text, file.Path());
    fromFile->SearchFile(file.Path());
    FUZZ_CHECK(fromFile->SkippedFiles().empty());
    FUZZ_CHECK((*memory)->Matches() == fromFile->Matches());
    CheckSame((*memory)->Finish(), fromFile->Finish());
    return 0;
  }

  auto memory = CConcordanceSearch::Create(s, {}, count);
  if (!memory) return 0;
  std::string text = bytes;
  text.resize(ApplyTextMode(text.data(), text.size()));
  (*memory)->SearchText(text, file.Path());
  const auto expected = (*memory)->Finish();

  auto fromFile = std::move(*CConcordanceSearch::Create(s, {}, count));
  fromFile->SearchFile(file.Path());
  FUZZ_CHECK(fromFile->SkippedFiles().empty());
  FUZZ_CHECK(fromFile->Matches() == (*memory)->Matches());
  CheckSame(expected, fromFile->Finish());

  auto parts = PrepareSearch<char>(s, count);
  FUZZ_CHECK(parts);
  StringSource source{text, 0, piece};
  const auto scanned = ScanPieces<char>(source, [&] { return std::int64_t(source.at); }, std::int64_t(text.size()),
                                        *parts->m_pMatcher, parts->m_pRecorder.get(), file.Path(),
                                        std::int64_t(parts->m_prepared.m_strKey.size()), s.m_nLineWidth, {}, piece);
  if (parts->m_pRecorder) {
    FUZZ_CHECK(std::uint64_t(parts->m_pRecorder->Count()) == (*memory)->Matches());
    CAssemblyOptions options;
    options.m_bSorted = s.SortsLines();
    options.m_pCollator = parts->m_pCollator.get();
    options.m_pKeyCodePage = parts->m_pTextCp.get();
    CheckSame(expected, AssembleList(*parts->m_pRecorder, options));
  } else {
    FUZZ_CHECK(scanned.m_nMatches == (*memory)->Matches());
  }

  // The big-file search reads raw bytes: it agrees when text mode changes nothing.
  if (bytes.find_first_of("\r\x1A") == std::string::npos) {
    auto big = CBigFileSearch::Create(s, {}, count, chunk);
    FUZZ_CHECK(big);
    FUZZ_CHECK((*big)->SearchFile(file.Path()));
    FUZZ_CHECK((*big)->Matches() == (*memory)->Matches());
    CheckSame(expected, (*big)->Finish());
  }
  return 0;
}

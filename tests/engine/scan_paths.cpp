#include "engine/scan_paths.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <stdexcept>

#include "engine/concordance_search.h"
#include "engine/scan.h"
#include "engine/text_file.h"

namespace tessary::test {

namespace {

class Collect : public CMatchSink {
 public:
  bool OnMatch(std::string_view, std::uint64_t offset) override {
    offsets.push_back(offset);
    return true;
  }
  std::vector<std::uint64_t> offsets;
};

class CollectWide : public CWideMatchSink {
 public:
  bool OnMatch(std::u16string_view, std::uint64_t offset) override {
    offsets.push_back(offset);
    return true;
  }
  std::vector<std::uint64_t> offsets;
};

}  // namespace

const CCodePage& Cp1252() {
  static const auto cp = *CCodePage::Open(1252);
  return *cp;
}

Found FindAll(const std::string& text, const std::string& key, int mode, bool doubleByte) {
  const auto prepared = ApplyStarRule(key, mode);
  const CByteMatcher matcher(prepared.m_strKey, prepared.m_nMode, doubleByte, Cp1252());
  Found found;
  Collect whole, chunked, fromFile;
  ScanBytes(text, matcher, &whole);
  ScanBytes(text, matcher, &chunked, {}, 3);
  TempFile temp(text);
  auto file = CTextFile::Open(temp.Path());
  if (!file) throw std::runtime_error(file.Error());
  ScanBytes((*file)->Text(), matcher, &fromFile);
  for (std::size_t i = 0; i < text.size(); ++i)
    if (matcher.MatchAt(text, i)) found.reference.push_back(i);
  found.memory = whole.offsets;
  found.chunked = chunked.offsets;
  found.file = fromFile.offsets;
  return found;
}

std::vector<std::uint64_t> FindWide(const std::u16string& text, const std::u16string& key, int mode,
                                    bool doubleByte) {
  const auto prepared = ApplyStarRule(key, mode);
  const CWideMatcher matcher(prepared.m_strKey, prepared.m_nMode, doubleByte);
  CollectWide whole, chunked;
  ScanWide(text, matcher, &whole);
  ScanWide(text, matcher, &chunked, {}, 2);
  std::vector<std::uint64_t> reference;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (matcher.MatchAt(text, i)) reference.push_back(i);
  if (whole.offsets != reference || chunked.offsets != reference)
    throw std::runtime_error("16-bit scan paths disagree");
  return reference;
}

CAssembledList SearchOneText(const CSearchRequest& settings, const std::string& text, const std::string& path) {
  auto search = CConcordanceSearch::Create(settings, {});
  if (!search) throw std::runtime_error(search.Error());
  (*search)->SearchText(text, path);
  return (*search)->Finish();
}

TempFile::TempFile(const std::string& bytes, const std::string& name) {
  static std::atomic<int> counter{0};
  m_path = (std::string(::getenv("TMPDIR") ? ::getenv("TMPDIR") : "/tmp")) + "/" + std::to_string(::getpid()) +
           "-" + std::to_string(counter++) + "-" + name;
  std::ofstream(m_path, std::ios::binary) << bytes;
}

TempFile::~TempFile() { ::unlink(m_path.c_str()); }

}  // namespace tessary::test

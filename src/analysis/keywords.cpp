#include "analysis/keywords.h"

#include <algorithm>
#include <cstdlib>

#include "engine/text_file.h"

namespace tessary {

namespace {

void Add(CWordCounts& counts, std::string folded, std::string spelling, std::int64_t n) {
  auto [it, bNew] = counts.m_index.try_emplace(std::move(folded), counts.m_arrCount.size());
  if (bNew) {
    counts.m_arrSpelling.push_back(std::move(spelling));
    counts.m_arrCount.push_back(0);
  }
  counts.m_arrCount[it->second] += n;
  counts.m_nTotal += n;
}

}  // namespace

CWordCounts WordCountsOf(const CAnalysisCorpus& corpus) {
  CWordCounts counts;
  const CVocabulary& v = corpus.Vocabulary();
  for (std::size_t w = 0; w < v.m_arrRaw.size(); ++w)
    Add(counts, corpus.Classes().Fold(v.m_arrRaw[w]), v.m_arrSpelling[w], v.m_arrCount[w]);
  return counts;
}

Expected<CWordCounts> ReadUniqueWordListFile(const std::string& path, const CTextClasses& classes) {
  auto file = CTextFile::Open(path);
  if (!file) return Expected<CWordCounts>::Failure(file.Error());
  const std::string_view text = (*file)->Text();
  auto bad = [&](std::size_t line) {
    return Expected<CWordCounts>::Failure(path + " is not a saved unique-word list (line " + std::to_string(line) + ").");
  };
  if (!text.starts_with("Unique words = ")) return bad(1);
  CWordCounts counts;
  std::size_t pos = text.find('\n'), number = 1;
  while (pos != std::string_view::npos && pos + 1 < text.size()) {
    const std::size_t end = std::min(text.find('\n', pos + 1), text.size());
    const std::string_view line = text.substr(pos + 1, end - pos - 1);
    pos = end < text.size() ? end : std::string_view::npos;
    if (line.empty()) continue;
    // "%-4d%20s\t%s\t%s": the row number (which a long word may touch), the word
    // right-aligned, the instances, the percent.
    const std::string prefix = std::to_string(number);
    const std::size_t tab = line.find('\t');
    if (!line.starts_with(prefix) || tab == std::string_view::npos) return bad(number + 1);
    std::string_view word = line.substr(prefix.size(), tab - prefix.size());
    word.remove_prefix(std::min(word.find_first_not_of(' '), word.size()));
    const std::string count(line.substr(tab + 1, line.find('\t', tab + 1) - tab - 1));
    char* stop = nullptr;
    const long long n = std::strtoll(count.c_str(), &stop, 10);
    if (word.empty() || count.empty() || *stop != '\0' || n < 0) return bad(number + 1);
    Add(counts, classes.Fold(word), classes.ToUtf8(word), n);
    ++number;
  }
  return counts;
}

CKeywordResult Keywords(const CWordCounts& study, const CWordCounts& reference, std::int64_t nMinFreq) {
  CKeywordResult result;
  result.m_nStudyWords = study.m_nTotal;
  result.m_nReferenceWords = reference.m_nTotal;
  const double c = static_cast<double>(study.m_nTotal), d = static_cast<double>(reference.m_nTotal);
  auto consider = [&](const std::string& spelling, std::int64_t a, std::int64_t b) {
    CKeywordRow row{spelling, a, b, Keyness(static_cast<double>(a), static_cast<double>(b), c, d)};
    if (row.m_keyness.m_nSign == 0 || (row.m_keyness.m_nSign > 0 ? a : b) < nMinFreq) return;
    result.m_arrRows.push_back(std::move(row));
  };
  for (const auto& [folded, i] : study.m_index) {
    auto it = reference.m_index.find(folded);
    consider(study.m_arrSpelling[i], study.m_arrCount[i], it == reference.m_index.end() ? 0 : reference.m_arrCount[it->second]);
  }
  for (const auto& [folded, i] : reference.m_index)
    if (!study.m_index.count(folded)) consider(reference.m_arrSpelling[i], 0, reference.m_arrCount[i]);
  std::sort(result.m_arrRows.begin(), result.m_arrRows.end(), [](const CKeywordRow& x, const CKeywordRow& y) {
    if (x.m_keyness.m_nSign != y.m_keyness.m_nSign) return x.m_keyness.m_nSign > y.m_keyness.m_nSign;
    if (x.m_keyness.m_dLL != y.m_keyness.m_dLL) return x.m_keyness.m_dLL > y.m_keyness.m_dLL;
    return x.m_strWord < y.m_strWord;
  });
  return result;
}

}  // namespace tessary

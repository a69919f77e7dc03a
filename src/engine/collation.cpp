#include "engine/collation.h"

#include <unicode/ucol.h>
#include <unicode/utypes.h>

#include <cstdlib>

namespace tessary {

namespace {

// POSIX names carry a code set and a modifier ICU does not want. The C locale maps
// to root: ICU's en_US_POSIX would order every capital before every small letter.
std::string IcuLocaleName(std::string_view posix) {
  const std::size_t cut = posix.find_first_of(".@");
  std::string_view name = posix.substr(0, cut);
  if (name.empty() || name == "C" || name == "POSIX") return "root";
  return std::string(name);
}

// Hyphen and apostrophes (the typed one and U+2019) are made ignorable, so "don't"
// sorts with "dont" after "done"; every other punctuation mark and the space keep
// their weight, so the lines of one collocate stay together.
constexpr char16_t kTailoring[] = u"&[last tertiary ignorable] = '-' = \\' = '\u2019'";

UCollator* OpenTailored(const UCollator* base) {
  int32_t nLength = 0;
  const UChar* pRules = ucol_getRules(base, &nLength);
  std::u16string rules(pRules, static_cast<std::size_t>(nLength));
  rules += kTailoring;
  UErrorCode status = U_ZERO_ERROR;
  UParseError parseError;
  UCollator* pCollator =
      ucol_openRules(rules.data(), static_cast<int32_t>(rules.size()), UCOL_DEFAULT,
                     UCOL_TERTIARY, &parseError, &status);
  if (U_FAILURE(status)) {
    ucol_close(pCollator);
    return nullptr;
  }
  return pCollator;
}

}  // namespace

Expected<std::shared_ptr<const CSortCollator>> CSortCollator::ForLocale(std::string_view locale) {
  const std::string name = IcuLocaleName(locale);
  UErrorCode status = U_ZERO_ERROR;
  UCollator* pBase = ucol_open(name.c_str(), &status);
  if (U_FAILURE(status)) {
    ucol_close(pBase);
    return Expected<std::shared_ptr<const CSortCollator>>::Failure(
        "The sort order of locale " + name + " is not available.");
  }
  // Should a locale's own rules not combine with the tailoring, its plain order
  // still sorts; only the weight of hyphens and apostrophes differs.
  UCollator* pCollator = OpenTailored(pBase);
  if (pCollator) {
    ucol_close(pBase);
  } else {
    pCollator = pBase;
  }
  status = U_ZERO_ERROR;
  ucol_setStrength(pCollator, UCOL_TERTIARY);
  // Spaces and punctuation count, so "to be" sorts before "toast".
  ucol_setAttribute(pCollator, UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);

  std::shared_ptr<CSortCollator> pResult(new CSortCollator());
  pResult->m_pCollator = pCollator;
  pResult->m_strLocale = name;
  return std::shared_ptr<const CSortCollator>(std::move(pResult));
}

Expected<std::shared_ptr<const CSortCollator>> CSortCollator::ForUserLocale() {
  for (const char* var : {"LC_ALL", "LC_COLLATE", "LANG"}) {
    const char* value = std::getenv(var);
    if (value && *value) return ForLocale(value);
  }
  return ForLocale("");
}

CSortCollator::~CSortCollator() { ucol_close(m_pCollator); }

std::unique_ptr<CSortCollator> CSortCollator::Clone() const {
  UErrorCode status = U_ZERO_ERROR;
  UCollator* pCopy = ucol_clone(m_pCollator, &status);
  if (U_FAILURE(status)) {
    ucol_close(pCopy);
    return nullptr;
  }
  std::unique_ptr<CSortCollator> pResult(new CSortCollator());
  pResult->m_pCollator = pCopy;
  pResult->m_strLocale = m_strLocale;
  return pResult;
}

int CSortCollator::Compare(std::u16string_view a, std::u16string_view b) const {
  return ucol_strcoll(m_pCollator, a.data(), static_cast<int32_t>(a.size()), b.data(),
                      static_cast<int32_t>(b.size()));
}

std::string CSortCollator::SortKey(std::u16string_view text) const {
  std::string key;
  AppendSortKey(text, key);
  return key;
}

void CSortCollator::AppendSortKey(std::u16string_view text, std::string& out) const {
  const std::size_t nOld = out.size();
  int32_t nRoom = 64;
  for (;;) {
    out.resize(nOld + static_cast<std::size_t>(nRoom));
    const int32_t nNeeded =
        ucol_getSortKey(m_pCollator, text.data(), static_cast<int32_t>(text.size()),
                        reinterpret_cast<uint8_t*>(out.data() + nOld), nRoom);
    if (nNeeded <= nRoom) {
      // The terminating zero is left out: plain byte order of the keys is enough.
      out.resize(nOld + static_cast<std::size_t>(nNeeded > 0 ? nNeeded - 1 : 0));
      return;
    }
    nRoom = nNeeded;
  }
}

}  // namespace tessary

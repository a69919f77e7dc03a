// The search string and its star rule: whatever key, mode and text, the fast search
// finds exactly the offsets that the per-offset test accepts, for bytes and 16-bit text.
#include <vector>

#include "engine/codepage.h"
#include "engine/match.h"
#include "engine/match_mode.h"
#include "fuzz_support.h"

using namespace tessary;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const int cp = fuzz::PickCodePage(in.ConsumeIntegral<std::uint8_t>());
  const int mode = in.ConsumeIntegralInRange<int>(0, 3);
  const bool doubleByte = in.ConsumeBool();
  const std::string key = in.ConsumeRandomLengthString(12);
  const std::string text = in.ConsumeRemainingBytesAsString();
  static auto page = CCodePage::Open(1252);
  auto chosen = CCodePage::Open(cp);
  FUZZ_CHECK(chosen);

  const auto prepared = ApplyStarRule(key, mode);
  if (!prepared.m_strKey.empty()) {
    const CByteMatcher matcher(prepared.m_strKey, prepared.m_nMode, doubleByte, **chosen);
    std::vector<std::size_t> fast, slow;
    matcher.ForEachMatch(text, 0, text.size(), [&](std::size_t i) { return fast.push_back(i), true; });
    for (std::size_t i = 0; i < text.size(); ++i)
      if (matcher.MatchAt(text, i)) slow.push_back(i);
    FUZZ_CHECK(fast == slow);
  }

  const std::u16string wideKey = (*page)->ToUnicode(key), wideText = (*page)->ToUnicode(text);
  const auto widePrepared = ApplyStarRule(wideKey, mode);
  if (!widePrepared.m_strKey.empty()) {
    const CWideMatcher matcher(widePrepared.m_strKey, widePrepared.m_nMode, doubleByte);
    std::vector<std::size_t> fast, slow;
    matcher.ForEachMatch(wideText, 0, wideText.size(), [&](std::size_t i) { return fast.push_back(i), true; });
    for (std::size_t i = 0; i < wideText.size(); ++i)
      if (matcher.MatchAt(wideText, i)) slow.push_back(i);
    FUZZ_CHECK(fast == slow);
  }
  return 0;
}

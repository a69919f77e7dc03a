#pragma once
// Web addresses of the browser commands: the dictionary look-up of a word taken from
// the clipboard, and the check of an address the user configures. The word is always
// percent-encoded as UTF-8, so nothing in it can change the address's structure.
#include <cstddef>
#include <string>
#include <string_view>

#include "engine/expected.h"

namespace tessary {

// The longest text, in characters, that the dictionary look-up takes.
inline constexpr std::size_t kLookupMaxChars = 50;
// Where a dictionary address wants the word; without it the word goes at the end.
inline constexpr std::string_view kWordPlaceholder = "{word}";

// Why a look-up did not start, each with its message.
enum class LookupRefusal { kNoClipboard, kNoText, kNoMemory, kTooLong };
const char* LookupMessage(LookupRefusal refusal);

// Every byte but the unreserved ones (letters, digits, "-._~") as %XX.
std::string PercentEncode(std::string_view bytes);
// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8Lenient(std::u16string_view text);

// The address for looking up the clipboard's text: the text without surrounding white
// space, encoded, in place of "{word}" in the endpoint or after it. A text of more
// than kLookupMaxChars characters is refused (kTooLong); an empty one is looked up.
struct CLookupAddress {
  std::string m_strAddress;
  LookupRefusal m_refusal = LookupRefusal::kTooLong;
  bool m_bOk = false;
};
CLookupAddress DictionaryAddress(std::string_view endpoint, std::u16string_view clipboardText);

// An address the browser may be sent to: "http://" or "https://" (any case), a host,
// and no white space or control character. The reason when it is not.
Expected<std::string> CheckWebAddress(std::string_view address);

}  // namespace tessary

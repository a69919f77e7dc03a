#pragma once
// The code-page and encoding choices of the program, the names its lists show, and the
// conversions between 16-bit text and byte text in the chosen code page.
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "engine/expected.h"

namespace tessary {

// Unicode encodings of the files the program writes (the values of m_nEncoding).
enum UnicodeEncoding : int {
  kEncodingNone = 0,  // no choice confirmed yet; the writer then writes ANSI byte text
  kEncodingUtf16BE = 1,
  kEncodingUtf16LE = 2,
  kEncodingUtf8 = 3,
};

// The code-page list, in its order. The ANSI name is accepted when typed but not listed.
std::span<const char* const> CodePageListNames();
inline constexpr const char* kAnsiCodePageName = "ANSI code page CP_ACP";
// Exact, whole-text comparison; nullopt for any other text.
std::optional<int> CodePageFromName(std::string_view text);
// Sets nCodePage from a list's text; an unknown text leaves it unchanged. True if taken.
bool ApplyCodePageName(int& nCodePage, std::string_view text);
// What a list's edit field shows for the current choice: "ANSI code page selected" for 0.
// A code page the lists do not offer shows "Code page N", which matches no name.
std::string CodePageDisplayName(int nCodePage);

// The encoding list, in its order: "UTF-8", "UNI16_LE", "UNI16_BE".
std::span<const char* const> EncodingListNames();
inline constexpr const char* kDefaultEncodingName = "UTF-8";  // shown when the dialog opens
std::optional<int> EncodingFromName(std::string_view text);
bool ApplyEncodingName(int& nEncoding, std::string_view text);
// The encoding as messages name it: "UTF-8", "UTF-16 little-endian", "UTF-16 big-endian";
// "ANSI" for byte text.
std::string EncodingDescription(int nEncoding);

// The label a web page declares for bytes in this code page ("windows-1252", "big5",
// "gb2312", "shift_jis", "ibm866", "windows-874", ...); empty when browsers know none.
std::string HtmlCharset(int nCodePage);

// "Unicode to Ansi": 16-bit text as bytes in the chosen code page (0: the ANSI page).
// Characters the page lacks become its default character '?'. Fails only when the code
// page cannot be had.
Expected<std::string> UnicodeToAnsi(std::u16string_view text, int nCodePage, int nAnsiCodePage);
// "Ansi to Unicode": bytes read in the chosen code page; undefined bytes become U+FFFD.
Expected<std::u16string> AnsiToUnicode(std::string_view bytes, int nCodePage, int nAnsiCodePage);

}  // namespace tessary

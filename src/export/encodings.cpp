#include "export/encodings.h"

#include <array>

#include "engine/codepage.h"

namespace tessary {

namespace {

struct NamedValue {
  const char* pszName;
  int nValue;
};

constexpr std::array<NamedValue, 5> kCodePageNames = {{
    {"Traditional Chinese (950)", 950},
    {"Simplified Chinese (936)", 936},
    {"Thai (874)", 874},
    {"Japanese, Shift-JIS (932)", 932},
    {"Russian (866)", 866},
}};
constexpr std::array<const char*, 5> kCodePageList = {
    kCodePageNames[0].pszName, kCodePageNames[1].pszName, kCodePageNames[2].pszName,
    kCodePageNames[3].pszName, kCodePageNames[4].pszName};

constexpr std::array<NamedValue, 3> kEncodingNames = {{
    {"UTF-8", kEncodingUtf8},
    {"UNI16_LE", kEncodingUtf16LE},
    {"UNI16_BE", kEncodingUtf16BE},
}};
constexpr std::array<const char*, 3> kEncodingList = {kEncodingNames[0].pszName, kEncodingNames[1].pszName,
                                                      kEncodingNames[2].pszName};

// Labels from the web's encoding registry; pages with none are written as UTF-8.
constexpr NamedValue kCharsets[] = {
    {"windows-1250", 1250}, {"windows-1251", 1251}, {"windows-1252", 1252}, {"windows-1253", 1253},
    {"windows-1254", 1254}, {"windows-1255", 1255}, {"windows-1256", 1256}, {"windows-1257", 1257},
    {"windows-1258", 1258}, {"ibm866", 866},        {"windows-874", 874},   {"shift_jis", 932},
    {"gb2312", 936},        {"euc-kr", 949},        {"big5", 950},          {"macintosh", 10000},
    {"koi8-r", 20866},      {"koi8-u", 21866},      {"iso-8859-2", 28592},  {"iso-8859-3", 28593},
    {"iso-8859-4", 28594},  {"iso-8859-5", 28595},  {"iso-8859-6", 28596},  {"iso-8859-7", 28597},
    {"iso-8859-8", 28598},  {"iso-8859-13", 28603}, {"iso-8859-15", 28605},
};

template <std::size_t N>
std::optional<int> Lookup(const std::array<NamedValue, N>& table, std::string_view text) {
  for (const NamedValue& entry : table)
    if (text == entry.pszName) return entry.nValue;
  return std::nullopt;
}

Expected<std::shared_ptr<const CCodePage>> OpenChosen(int nCodePage, int nAnsiCodePage) {
  return CCodePage::Open(ResolveCodePage(nCodePage, nAnsiCodePage));
}

}  // namespace

std::span<const char* const> CodePageListNames() { return kCodePageList; }

std::optional<int> CodePageFromName(std::string_view text) {
  if (text == kAnsiCodePageName) return 0;
  return Lookup(kCodePageNames, text);
}

bool ApplyCodePageName(int& nCodePage, std::string_view text) {
  const auto value = CodePageFromName(text);
  if (value) nCodePage = *value;
  return value.has_value();
}

std::string CodePageDisplayName(int nCodePage) {
  if (nCodePage == 0) return "ANSI code page selected";
  for (const NamedValue& entry : kCodePageNames)
    if (entry.nValue == nCodePage) return entry.pszName;
  return "Code page " + std::to_string(nCodePage);
}

std::span<const char* const> EncodingListNames() { return kEncodingList; }

std::optional<int> EncodingFromName(std::string_view text) { return Lookup(kEncodingNames, text); }

bool ApplyEncodingName(int& nEncoding, std::string_view text) {
  const auto value = EncodingFromName(text);
  if (value) nEncoding = *value;
  return value.has_value();
}

std::string EncodingDescription(int nEncoding) {
  switch (nEncoding) {
    case kEncodingUtf8: return "UTF-8";
    case kEncodingUtf16LE: return "UTF-16 little-endian";
    case kEncodingUtf16BE: return "UTF-16 big-endian";
    default: return "ANSI";
  }
}

std::string HtmlCharset(int nCodePage) {
  for (const NamedValue& entry : kCharsets)
    if (entry.nValue == nCodePage) return entry.pszName;
  return {};
}

Expected<std::string> UnicodeToAnsi(std::u16string_view text, int nCodePage, int nAnsiCodePage) {
  auto cp = OpenChosen(nCodePage, nAnsiCodePage);
  if (!cp) return Expected<std::string>::Failure(cp.Error());
  return (*cp)->FromUnicode(text);
}

Expected<std::u16string> AnsiToUnicode(std::string_view bytes, int nCodePage, int nAnsiCodePage) {
  auto cp = OpenChosen(nCodePage, nAnsiCodePage);
  if (!cp) return Expected<std::u16string>::Failure(cp.Error());
  return (*cp)->ToUnicode(bytes);
}

}  // namespace tessary

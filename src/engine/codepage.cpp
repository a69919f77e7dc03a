#include "engine/codepage.h"

#include <algorithm>
#include <map>
#include <mutex>

#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

namespace tessary {

namespace {

// ICU converters whose tables match what Windows does for each code page number.
struct CodePageName {
  int nNumber;
  const char* pszIcu;
};
constexpr CodePageName kCodePages[] = {
    {437, "ibm-437"},           {720, "ibm-720"},
    {737, "ibm-737"},           {775, "ibm-775"},
    {850, "ibm-850"},           {852, "ibm-852"},
    {855, "ibm-855"},           {857, "ibm-857"},
    {858, "ibm-858"},           {860, "ibm-860"},
    {861, "ibm-861"},           {862, "ibm-862"},
    {863, "ibm-863"},           {864, "ibm-864"},
    {865, "ibm-865"},           {866, "ibm-866"},
    {869, "ibm-869"},           {874, "windows-874-2000"},
    {932, "ibm-943_P15A-2003"},  // windows-31j: backslash and tilde stay ASCII
    {936, "windows-936-2000"},  {949, "windows-949-2000"},
    {950, "windows-950-2000"},  {1250, "windows-1250"},
    {1251, "windows-1251"},     {1252, "windows-1252"},
    {1253, "windows-1253"},     {1254, "windows-1254"},
    {1255, "windows-1255"},     {1256, "windows-1256"},
    {1257, "windows-1257"},     {1258, "windows-1258"},
    {10000, "macintosh"},       {20866, "KOI8-R"},
    {21866, "KOI8-U"},          {28591, "ISO-8859-1"},
    {28592, "ISO-8859-2"},      {28593, "ISO-8859-3"},
    {28594, "ISO-8859-4"},      {28595, "ISO-8859-5"},
    {28596, "ISO-8859-6"},      {28597, "ISO-8859-7"},
    {28598, "ISO-8859-8"},      {28599, "ISO-8859-9"},
    {28603, "ISO-8859-13"},     {28605, "ISO-8859-15"},
};

const char* IcuName(int nCodePage) {
  for (const auto& cp : kCodePages)
    if (cp.nNumber == nCodePage) return cp.pszIcu;
  return nullptr;
}

struct ConverterCloser {
  void operator()(UConverter* p) const { ucnv_close(p); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

constexpr char16_t kReplacement = 0xFFFD;

bool IsFailure(UConverterCallbackReason reason) {
  return reason == UCNV_UNASSIGNED || reason == UCNV_ILLEGAL || reason == UCNV_IRREGULAR;
}

// One substitution character per unmappable character. ICU's own callback would drop
// unassigned default-ignorable characters (joiners, variation selectors) without a trace.
void U_CALLCONV FromUSubstitute(const void*, UConverterFromUnicodeArgs* pArgs, const UChar*, int32_t, UChar32,
                                UConverterCallbackReason reason, UErrorCode* pErr) {
  if (!IsFailure(reason)) return;
  *pErr = U_ZERO_ERROR;
  ucnv_cbFromUWriteSub(pArgs, 0, pErr);
}

// Always U+FFFD: ICU would write U+001A for a bad single byte in some tables.
void U_CALLCONV ToUReplace(const void*, UConverterToUnicodeArgs* pArgs, const char*, int32_t,
                           UConverterCallbackReason reason, UErrorCode* pErr) {
  if (!IsFailure(reason)) return;
  *pErr = U_ZERO_ERROR;
  const UChar replacement = kReplacement;
  ucnv_cbToUWriteUChars(pArgs, &replacement, 1, 0, pErr);
}

// The IBM PC tables decode byte 0x1A as U+001C, 0x1C as U+007F and 0x7F as U+001A.
char16_t IcuSwapped(char16_t c) {
  switch (c) {
    case 0x1A: return 0x1C;
    case 0x1C: return 0x7F;
    case 0x7F: return 0x1A;
    default: return c;
  }
}
char16_t UnswapIcu(char16_t c) {
  switch (c) {
    case 0x1C: return 0x1A;
    case 0x7F: return 0x1C;
    case 0x1A: return 0x7F;
    default: return c;
  }
}

ConverterPtr Clone(const UConverter* pTemplate) {
  UErrorCode err = U_ZERO_ERROR;
  ConverterPtr p(ucnv_clone(pTemplate, &err));
  if (U_FAILURE(err)) p.reset();
  return p;
}

// Decodes bytes with the stop callback: fails on undefined bytes and a lone lead byte.
UErrorCode ProbeDecode(UConverter* pProbe, std::string_view bytes, std::u16string& out) {
  UErrorCode err = U_ZERO_ERROR;
  UChar buf[8];
  int32_t n = ucnv_toUChars(pProbe, buf, 8, bytes.data(), static_cast<int32_t>(bytes.size()), &err);
  if (U_SUCCESS(err)) out.assign(reinterpret_cast<const char16_t*>(buf), static_cast<size_t>(std::min(n, 8)));
  return err;
}

// The single byte that c encodes to, or -1 if it has no exact mapping or needs more bytes.
int ProbeEncodeByte(UConverter* pProbe, UChar32 c) {
  UChar units[2];
  int32_t nUnits = 0;
  U16_APPEND_UNSAFE(units, nUnits, c);
  UErrorCode err = U_ZERO_ERROR;
  char out[8];
  int32_t n = ucnv_fromUChars(pProbe, out, 8, units, nUnits, &err);
  if (U_FAILURE(err) || n != 1) return -1;
  return static_cast<unsigned char>(out[0]);
}

void AppendUtf8(std::string& out, char16_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace

Expected<std::shared_ptr<const CCodePage>> CCodePage::Open(int nCodePage) {
  using Result = Expected<std::shared_ptr<const CCodePage>>;
  // Building a page converts every BMP character, so each is built once and shared:
  // pages never change once built.
  static std::mutex mutex;
  static std::map<int, std::shared_ptr<const CCodePage>> pages;
  const std::lock_guard<std::mutex> lock(mutex);
  if (const auto it = pages.find(nCodePage); it != pages.end()) return Result(it->second);
  Result built = [&]() -> Result {
    const auto fail = [nCodePage] {
      return Result::Failure("Code page " + std::to_string(nCodePage) + " is not available.");
    };
    const char* pszIcu = IcuName(nCodePage);
    if (!pszIcu) return fail();

    UErrorCode err = U_ZERO_ERROR;
    ConverterPtr pConv(ucnv_open(pszIcu, &err));
    if (U_FAILURE(err) || !pConv) return fail();
    ucnv_setSubstChars(pConv.get(), "?", 1, &err);
    ucnv_setFromUCallBack(pConv.get(), FromUSubstitute, nullptr, nullptr, nullptr, &err);
    ucnv_setToUCallBack(pConv.get(), ToUReplace, nullptr, nullptr, nullptr, &err);
    ConverterPtr pProbe = Clone(pConv.get());
    if (U_FAILURE(err) || !pProbe) return fail();
    ucnv_setFromUCallBack(pProbe.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &err);
    ucnv_setToUCallBack(pProbe.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &err);
    if (U_FAILURE(err)) return fail();

    std::shared_ptr<CCodePage> pPage(new CCodePage());
    CCodePage& cp = *pPage;
    cp.m_nNumber = nCodePage;
    cp.m_strIcuName = pszIcu;

    std::u16string decoded;
    auto decodeByte = [&](int b) {
      const char ch = static_cast<char>(b);
      return ProbeDecode(pProbe.get(), std::string_view(&ch, 1), decoded);
    };
    cp.m_bControlSwap = U_SUCCESS(decodeByte(0x1A)) && decoded == u"\x1C" && U_SUCCESS(decodeByte(0x1C)) &&
                        decoded == u"\x7F" && U_SUCCESS(decodeByte(0x7F)) && decoded == u"\x1A";

    // Single-byte tables convert every byte alone; a byte that decodes to more than one
    // unit would not fit them, so such a page keeps using ICU.
    bool bTablesExact = ucnv_getMaxCharSize(pConv.get()) == 1;
    for (int b = 0; b < 256; ++b) {
      cp.m_upper[b] = static_cast<unsigned char>(b);
      cp.m_toUnicode[b] = kReplacement;
      const UErrorCode errByte = decodeByte(b);
      if (errByte == U_TRUNCATED_CHAR_FOUND) {
        cp.m_lead[b] = true;
        cp.m_bDoubleByte = true;
        continue;
      }
      if (U_FAILURE(errByte)) continue;
      if (decoded.size() != 1 || U16_IS_SURROGATE(decoded[0])) {
        bTablesExact = false;
        continue;
      }
      const char16_t c = cp.m_bControlSwap ? UnswapIcu(decoded[0]) : decoded[0];
      cp.m_toUnicode[b] = c;
      cp.m_alpha[b] = u_isalpha(c);
      cp.m_punct[b] = u_ispunct(c);
      cp.m_alnum[b] = u_isalnum(c);
      const UChar32 upper = u_toupper(c);
      if (upper != c) {
        const int nUpper = ProbeEncodeByte(pProbe.get(), upper);
        if (nUpper >= 0) cp.m_upper[b] = static_cast<unsigned char>(nUpper);
      }
    }

    if (bTablesExact && !cp.m_bDoubleByte) {
      // Encode the whole BMP at once; with one byte per character (or per '?') the output
      // lines up with the input.
      std::u16string bmp;
      bmp.reserve(0x10000 - 0x800);
      for (char32_t c = 0; c < 0x10000; ++c)
        if (!U_IS_SURROGATE(c)) bmp.push_back(static_cast<char16_t>(c));
      std::string bytes(bmp.size() + 1, '\0');
      err = U_ZERO_ERROR;
      const int32_t n = ucnv_fromUChars(pConv.get(), bytes.data(), static_cast<int32_t>(bytes.size()),
                                        reinterpret_cast<const UChar*>(bmp.data()), static_cast<int32_t>(bmp.size()),
                                        &err);
      if (U_SUCCESS(err) && static_cast<size_t>(n) == bmp.size()) {
        cp.m_fromBmp.assign(0x10000, static_cast<unsigned char>('?'));
        for (size_t i = 0; i < bmp.size(); ++i) cp.m_fromBmp[bmp[i]] = static_cast<unsigned char>(bytes[i]);
        if (cp.m_bControlSwap)
          for (char16_t c : {u'\x1A', u'\x1C', u'\x7F'}) cp.m_fromBmp[c] = static_cast<unsigned char>(c);
      }
    }
    if (cp.m_fromBmp.empty()) cp.m_pConverter.reset(pConv.release(), ConverterCloser());
    return Result(std::shared_ptr<const CCodePage>(std::move(pPage)));
  }();
  if (built) pages.emplace(nCodePage, *built);
  return built;
}

std::string CCodePage::FromUnicode(std::u16string_view text) const {
  std::string out;
  if (!m_fromBmp.empty()) {
    out.resize(text.size());
    size_t nOut = 0;
    for (size_t i = 0; i < text.size(); ++i) {
      const char16_t c = text[i];
      if (U16_IS_LEAD(c) && i + 1 < text.size() && U16_IS_TRAIL(text[i + 1])) {
        out[nOut++] = '?';  // no single-byte page has characters beyond the BMP
        ++i;
      } else {
        out[nOut++] = static_cast<char>(m_fromBmp[c]);
      }
    }
    out.resize(nOut);
    return out;
  }
  if (text.empty()) return out;

  std::u16string swapped;
  if (m_bControlSwap) {
    swapped.assign(text);
    for (char16_t& c : swapped) c = IcuSwapped(c);
    text = swapped;
  }
  ConverterPtr pConv = Clone(m_pConverter.get());
  if (!pConv) return std::string(text.size(), '?');
  out.resize(UCNV_GET_MAX_BYTES_FOR_STRING(text.size(), ucnv_getMaxCharSize(pConv.get())));
  UErrorCode err = U_ZERO_ERROR;
  const int32_t n = ucnv_fromUChars(pConv.get(), out.data(), static_cast<int32_t>(out.size()),
                                    reinterpret_cast<const UChar*>(text.data()), static_cast<int32_t>(text.size()),
                                    &err);
  out.resize(U_SUCCESS(err) ? static_cast<size_t>(n) : 0);
  return out;
}

std::u16string CCodePage::ToUnicode(std::string_view bytes) const {
  std::u16string out;
  if (!m_fromBmp.empty()) {
    out.resize(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) out[i] = m_toUnicode[static_cast<unsigned char>(bytes[i])];
    return out;
  }
  if (bytes.empty()) return out;

  ConverterPtr pConv = Clone(m_pConverter.get());
  if (!pConv) return std::u16string(bytes.size(), kReplacement);
  out.resize(bytes.size() + 1);
  UErrorCode err = U_ZERO_ERROR;
  int32_t n = ucnv_toUChars(pConv.get(), reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                            bytes.data(), static_cast<int32_t>(bytes.size()), &err);
  if (err == U_BUFFER_OVERFLOW_ERROR) {
    err = U_ZERO_ERROR;
    out.resize(static_cast<size_t>(n) + 1);
    n = ucnv_toUChars(pConv.get(), reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                      bytes.data(), static_cast<int32_t>(bytes.size()), &err);
  }
  out.resize(U_SUCCESS(err) ? static_cast<size_t>(n) : 0);
  if (m_bControlSwap)
    for (char16_t& c : out) c = UnswapIcu(c);
  return out;
}

std::string CCodePage::ToUtf8(std::string_view bytes) const {
  if (m_fromBmp.empty()) return Utf16ToUtf8(ToUnicode(bytes));
  // Single-byte text straight from the table: the same result without the UTF-16 copy.
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  for (char b : bytes) AppendUtf8(out, m_toUnicode[static_cast<unsigned char>(b)]);
  return out;
}

std::string CCodePage::FromUtf8(std::string_view utf8) const {
  if (m_fromBmp.empty()) return FromUnicode(Utf8ToUtf16(utf8));
  // U8_NEXT replaces the same ill-formed subsequences as u_strFromUTF8WithSub.
  std::string out;
  out.reserve(utf8.size());
  const auto* s = reinterpret_cast<const uint8_t*>(utf8.data());
  const auto nLength = static_cast<int64_t>(utf8.size());
  for (int64_t i = 0; i < nLength;) {
    UChar32 c;
    U8_NEXT(s, i, nLength, c);
    if (c < 0) c = kReplacement;
    out.push_back(c < 0x10000 ? static_cast<char>(m_fromBmp[c]) : '?');
  }
  return out;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  if (utf8.empty()) return out;
  out.resize(utf8.size());  // never more units than bytes
  int32_t n = 0;
  UErrorCode err = U_ZERO_ERROR;
  u_strFromUTF8WithSub(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()), &n, utf8.data(),
                       static_cast<int32_t>(utf8.size()), kReplacement, nullptr, &err);
  out.resize(U_SUCCESS(err) ? static_cast<size_t>(n) : 0);
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  if (text.empty()) return out;
  out.resize(text.size() * 3);  // a unit takes at most three bytes, a pair four
  int32_t n = 0;
  UErrorCode err = U_ZERO_ERROR;
  u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &n, reinterpret_cast<const UChar*>(text.data()),
                     static_cast<int32_t>(text.size()), kReplacement, nullptr, &err);
  out.resize(U_SUCCESS(err) ? static_cast<size_t>(n) : 0);
  return out;
}

}  // namespace tessary

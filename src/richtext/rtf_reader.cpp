#include "richtext/rtf.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/codepage.h"

namespace tessary {

namespace {

// Where the text of the current group goes.
enum class Dest {
  kText,
  kSkip,        // a destination this reader does not show
  kFontTable,
  kColorTable,
  kBulletText,  // {\listtext ...} or {\pntext ...}: the bullet's marker, drawn by the editor
  kBulletDef,   // {\pn ...}: the old paragraph-numbering definition
};

enum class Kw {
  kSkipDest, kFontTable, kColorTable, kBulletText, kBulletDef, kBulletCont, kUnicodeAlt,
  kChar, kPar, kLine, kRow, kSect, kU, kUc,
  kPlain, kBold, kItalic, kUnderline, kUnderlineNone, kFontSize, kColor, kFont, kHidden,
  kPard, kAlign, kLeftIndent, kFirstIndent,
  kAnsiCpg, kCharsetCp, kDefFont, kFontCharset, kFontCodePage, kRed, kGreen, kBlue,
};

struct Keyword {
  Kw kw;
  int nValue = 0;  // the character of kChar, the alignment of kAlign, the code page of kCharsetCp
};

const std::unordered_map<std::string_view, Keyword>& Keywords() {
  static const std::unordered_map<std::string_view, Keyword> table = [] {
    std::unordered_map<std::string_view, Keyword> t;
    // Destinations with nothing to show; text inside them would leak into the document.
    for (std::string_view w :
         {"stylesheet", "info", "pict", "object", "objdata", "objclass", "objname", "header", "headerl",
          "headerr", "headerf", "footer", "footerl", "footerr", "footerf", "fldinst", "footnote",
          "annotation", "atnauthor", "atnid", "atndate", "atnref", "themedata", "colorschememapping",
          "latentstyles", "datastore", "xmlnsstbl", "listtable", "listoverridetable", "listpicture",
          "rsidtbl", "generator", "mmathPr", "revtbl", "filetbl", "pnseclvl", "pntxta", "pntxtb",
          "nonshppict", "shp", "shpinst", "shprslt", "shppict", "template", "xe", "tc", "txe", "rxe",
          "bkmkstart", "bkmkend", "fontemb", "fontfile", "falt", "panose", "fname", "keycode", "do",
          "pgdsctbl", "protusertbl", "wgrffmtfilter", "ftnsep", "ftnsepc", "ftncn", "aftnsep",
          "aftnsepc", "aftncn", "docvar", "userprops", "passwordhash", "fchars", "lchars", "picprop",
          "blipuid", "company", "operator", "title", "subject", "author", "keywords", "comment",
          "doccomm", "hlinkbase", "category", "manager"})
      t.emplace(w, Keyword{Kw::kSkipDest});
    t.emplace("fonttbl", Keyword{Kw::kFontTable});
    t.emplace("colortbl", Keyword{Kw::kColorTable});
    t.emplace("listtext", Keyword{Kw::kBulletText});
    t.emplace("pntext", Keyword{Kw::kBulletText});
    t.emplace("pn", Keyword{Kw::kBulletDef});
    t.emplace("pnlvlcont", Keyword{Kw::kBulletCont});
    t.emplace("ud", Keyword{Kw::kUnicodeAlt});
    const std::pair<std::string_view, char16_t> chars[] = {
        {"tab", u'\t'},        {"cell", u'\t'},       {"nestcell", u'\t'},   {"emdash", u'\u2014'},
        {"endash", u'\u2013'}, {"emspace", u'\u2003'}, {"enspace", u'\u2002'}, {"qmspace", u'\u2005'},
        {"lquote", u'\u2018'}, {"rquote", u'\u2019'},  {"ldblquote", u'\u201C'}, {"rdblquote", u'\u201D'},
        {"bullet", u'\u2022'}, {"zwj", u'\u200D'},     {"zwnj", u'\u200C'},   {"ltrmark", u'\u200E'},
        {"rtlmark", u'\u200F'}};
    for (const auto& [w, ch] : chars) t.emplace(w, Keyword{Kw::kChar, ch});
    t.emplace("par", Keyword{Kw::kPar});
    t.emplace("line", Keyword{Kw::kLine});
    t.emplace("row", Keyword{Kw::kRow});
    t.emplace("sect", Keyword{Kw::kSect});
    t.emplace("u", Keyword{Kw::kU});
    t.emplace("uc", Keyword{Kw::kUc});
    t.emplace("plain", Keyword{Kw::kPlain});
    t.emplace("b", Keyword{Kw::kBold});
    t.emplace("i", Keyword{Kw::kItalic});
    // \ulc is the underline's colour, not an underline: only these switch it on.
    for (std::string_view w : {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave", "ulldash",
                               "ulth", "ulthd", "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash",
                               "ululdbwave", "ulw", "ulwave"})
      t.emplace(w, Keyword{Kw::kUnderline});
    t.emplace("ulnone", Keyword{Kw::kUnderlineNone});
    t.emplace("fs", Keyword{Kw::kFontSize});
    t.emplace("cf", Keyword{Kw::kColor});
    t.emplace("f", Keyword{Kw::kFont});
    t.emplace("v", Keyword{Kw::kHidden});
    t.emplace("pard", Keyword{Kw::kPard});
    t.emplace("ql", Keyword{Kw::kAlign, static_cast<int>(Alignment::kLeft)});
    t.emplace("qc", Keyword{Kw::kAlign, static_cast<int>(Alignment::kCenter)});
    t.emplace("qr", Keyword{Kw::kAlign, static_cast<int>(Alignment::kRight)});
    t.emplace("qj", Keyword{Kw::kAlign, static_cast<int>(Alignment::kJustify)});
    t.emplace("qd", Keyword{Kw::kAlign, static_cast<int>(Alignment::kJustify)});
    t.emplace("li", Keyword{Kw::kLeftIndent});
    t.emplace("fi", Keyword{Kw::kFirstIndent});
    t.emplace("ansicpg", Keyword{Kw::kAnsiCpg});
    t.emplace("mac", Keyword{Kw::kCharsetCp, 10000});
    t.emplace("pc", Keyword{Kw::kCharsetCp, 437});
    t.emplace("pca", Keyword{Kw::kCharsetCp, 850});
    t.emplace("deff", Keyword{Kw::kDefFont});
    t.emplace("fcharset", Keyword{Kw::kFontCharset});
    t.emplace("cpg", Keyword{Kw::kFontCodePage});
    t.emplace("red", Keyword{Kw::kRed});
    t.emplace("green", Keyword{Kw::kGreen});
    t.emplace("blue", Keyword{Kw::kBlue});
    return t;
  }();
  return table;
}

// Code page markers besides real numbers: the document's ANSI page, and symbol fonts,
// whose bytes are glyph numbers that the font itself draws.
constexpr int kAnsiPage = 0;
constexpr int kSymbolPage = -2;

int CodePageOfCharset(int nCharset) {
  switch (nCharset) {
    case 2: return kSymbolPage;
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 255: return 437;
    default: return kAnsiPage;  // 0 ANSI, 1 default, and the rest
  }
}

struct ParaProps {
  Alignment alignment = Alignment::kLeft;
  int nLeft = 0;
  int nFirst = 0;
  bool bBullet = false;
};

struct State {
  Dest dest = Dest::kText;
  int nFont = -1;   // -1: the default font (\deff)
  int nHalfPoints = 24;
  int nColor = -1;  // colour table index; -1 and automatic entries have no colour
  bool bBold = false;
  bool bItalic = false;
  bool bUnderline = false;
  bool bHidden = false;
  bool bBulletCont = false;  // \pnlvlcont: a paragraph of the list without a marker
  int nFallback = 1;         // \ucN: fallback characters that follow each \uN
  ParaProps para;
};

struct FontDef {
  std::string strName;  // UTF-8
  int nCodePage = kAnsiPage;
};

struct Color {
  bool bAuto = true;
  std::uint32_t rgb = 0;
};

class RtfReader {
 public:
  RtfReader(std::string_view rtf, int nAnsiCodePage) : m_in(rtf), m_nAnsiCp(nAnsiCodePage) {}

  CRichText Read();

 private:
  State& Top() { return m_stack.back(); }
  void OpenGroup();
  bool CloseGroup();  // true when the document's own group closed
  void ControlSequence();
  void ControlWord(std::string_view word, bool bHasParam, int nParam);
  void Byte(unsigned char b, bool bRaw);
  void Unit(char32_t c);
  void Flush();
  void Append(std::u16string_view text);
  void AppendText(std::u16string_view text);
  void EndParagraph(const ParaProps& props);
  void CommitFont();
  void Finish();
  int CurrentCodePage();
  const CCodePage* Page(int nCodePage);  // 1252 for a page that isn't available
  bool IsKnownPage(int nCodePage);
  CCharFormat FormatOf(const State& s) const;

  std::string_view m_in;
  std::size_t m_pos = 0;
  int m_nAnsiCp;
  bool m_bAnsiCpgSeen = false;
  int m_nDefFont = 0;
  std::vector<State> m_stack;
  bool m_bStar = false;  // "\*" seen: an unknown destination that follows is skipped
  int m_nSkip = 0;       // \uN fallback characters still to drop

  std::map<int, FontDef> m_fonts;
  int m_nDefNumber = -1;  // font table entry being read
  FontDef m_def;
  bool m_bDefOpen = false;
  std::vector<Color> m_colors;
  Color m_colorDef;

  std::string m_pending;  // bytes waiting to be decoded together (double-byte pairs)
  int m_nPendingCp = kAnsiPage;
  bool m_bLead = false;     // the last pending byte leads a double-byte pair
  bool m_bLeadRaw = false;  // ... and came as a raw byte rather than \'hh
  std::map<int, std::shared_ptr<const CCodePage>> m_pages;

  CRichText m_doc;
  CParagraph m_para;
  ParaProps m_lastTextProps;  // the paragraph's properties when text last arrived
  bool m_bHasText = false;
  State m_runState;  // the state that made the last run's format
};

const CCodePage* RtfReader::Page(int nCodePage) {
  auto it = m_pages.find(nCodePage);
  if (it != m_pages.end()) return it->second.get();
  std::shared_ptr<const CCodePage> page;
  if (auto opened = CCodePage::Open(nCodePage))
    page = *opened;
  else if (nCodePage != 1252 && Page(1252))
    page = m_pages[1252];
  m_pages[nCodePage] = page;
  return page.get();
}

bool RtfReader::IsKnownPage(int nCodePage) {
  const CCodePage* page = nCodePage > 0 ? Page(nCodePage) : nullptr;
  return page && page->Number() == nCodePage;
}

int RtfReader::CurrentCodePage() {
  int n = kAnsiPage;
  if (Top().dest == Dest::kFontTable) {
    n = m_def.nCodePage;
  } else {
    auto it = m_fonts.find(Top().nFont < 0 ? m_nDefFont : Top().nFont);
    if (it != m_fonts.end()) n = it->second.nCodePage;
  }
  return n == kAnsiPage ? m_nAnsiCp : n;
}

void RtfReader::Byte(unsigned char b, bool bRaw) {
  const Dest dest = Top().dest;
  if (b == 0 || (dest != Dest::kText && dest != Dest::kFontTable)) return;
  const int cp = CurrentCodePage();
  if (!m_pending.empty() && cp != m_nPendingCp) Flush();
  m_nPendingCp = cp;
  m_pending.push_back(static_cast<char>(b));
  if (m_bLead) {
    m_bLead = false;
  } else if (cp != kSymbolPage && b >= 0x80) {
    const CCodePage* page = Page(cp);
    if (page && page->IsDoubleByte() && page->IsLeadByte(b)) {
      m_bLead = true;
      m_bLeadRaw = bRaw;
    }
  }
}

void RtfReader::Flush() {
  m_bLead = false;
  if (m_pending.empty()) return;
  std::u16string text;
  const bool bAscii = std::all_of(m_pending.begin(), m_pending.end(),
                                  [](char c) { return c >= 0x20 && c < 0x7F; });
  const CCodePage* page = bAscii || m_nPendingCp == kSymbolPage ? nullptr : Page(m_nPendingCp);
  if (page) {
    text = page->ToUnicode(m_pending);
  } else {
    text.reserve(m_pending.size());
    for (char c : m_pending) text.push_back(static_cast<unsigned char>(c));
  }
  m_pending.clear();
  Append(text);
}

void RtfReader::Unit(char32_t c) {
  Flush();
  if (c == 0 || c > 0x10FFFF) return;
  if (c > 0xFFFF) {
    const char16_t pair[2] = {static_cast<char16_t>(0xD7C0 + (c >> 10)),
                              static_cast<char16_t>(0xDC00 | (c & 0x3FF))};
    Append(std::u16string_view(pair, 2));
  } else {
    const char16_t unit = static_cast<char16_t>(c);
    Append(std::u16string_view(&unit, 1));
  }
}

void RtfReader::Append(std::u16string_view text) {
  switch (Top().dest) {
    case Dest::kText:
      if (!Top().bHidden) AppendText(text);
      break;
    case Dest::kFontTable:
      if (m_bDefOpen) m_def.strName += Utf16ToUtf8(text);
      break;
    default:
      break;
  }
}

CCharFormat RtfReader::FormatOf(const State& s) const {
  CCharFormat f;
  auto font = m_fonts.find(s.nFont < 0 ? m_nDefFont : s.nFont);
  if (font != m_fonts.end()) f.m_strFace = font->second.strName;
  f.m_nHalfPoints = s.nHalfPoints;
  if (s.nColor >= 0 && static_cast<std::size_t>(s.nColor) < m_colors.size() && !m_colors[s.nColor].bAuto) {
    f.m_bAutoColor = false;
    f.m_crColor = m_colors[s.nColor].rgb;
  }
  f.m_bBold = s.bBold;
  f.m_bItalic = s.bItalic;
  f.m_bUnderline = s.bUnderline;
  return f;
}

void RtfReader::AppendText(std::u16string_view text) {
  if (text.empty()) return;
  const State& s = Top();
  const State& r = m_runState;
  // Most text continues the last run; compare the few fields before building a format.
  const bool bSame = !m_para.m_arrRuns.empty() && s.nFont == r.nFont && s.nHalfPoints == r.nHalfPoints &&
                     s.nColor == r.nColor && s.bBold == r.bBold && s.bItalic == r.bItalic &&
                     s.bUnderline == r.bUnderline;
  if (!bSame) {
    CCharFormat format = FormatOf(s);
    if (m_para.m_arrRuns.empty() || !(m_para.m_arrRuns.back().m_format == format))
      m_para.m_arrRuns.push_back(CTextRun{{}, std::move(format)});
    m_runState = s;
  }
  m_para.m_arrRuns.back().m_wstrText += text;
  m_lastTextProps = s.para;
  m_bHasText = true;
}

void RtfReader::EndParagraph(const ParaProps& props) {
  Flush();
  m_para.m_alignment = props.alignment;
  m_para.m_nLeftIndentTwips = props.nLeft;
  m_para.m_nFirstIndentTwips = props.nFirst;
  m_para.m_bBullet = props.bBullet;
  m_doc.m_arrParagraphs.push_back(std::move(m_para));
  m_para = CParagraph();
  m_bHasText = false;
}

void RtfReader::CommitFont() {
  if (!m_bDefOpen) return;
  Flush();
  m_bDefOpen = false;
  std::string& name = m_def.strName;
  const auto first = name.find_first_not_of(" \t");
  name = first == std::string::npos ? std::string() : name.substr(first, name.find_last_not_of(" \t") - first + 1);
  m_fonts[m_nDefNumber] = m_def;
}

void RtfReader::OpenGroup() {
  Flush();
  m_nSkip = 0;
  m_bStar = false;
  State inner = Top();
  m_stack.push_back(std::move(inner));
}

bool RtfReader::CloseGroup() {
  Flush();
  m_nSkip = 0;
  m_bStar = false;
  if (m_stack.size() == 1) return true;
  const State closed = Top();
  m_stack.pop_back();
  State& parent = Top();
  if (closed.dest == Dest::kFontTable) {
    // A font entry may end with its group instead of a ';'.
    if (!m_def.strName.empty()) CommitFont();
    m_bDefOpen = false;
  } else if (parent.dest == Dest::kText && (closed.dest == Dest::kBulletText ||
                                            (closed.dest == Dest::kBulletDef && !closed.bBulletCont))) {
    parent.para.bBullet = true;
  }
  return false;
}

void RtfReader::ControlSequence() {
  ++m_pos;  // the backslash
  if (m_pos >= m_in.size()) return;
  const char c = m_in[m_pos];
  auto isAlpha = [](char ch) { return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z'); };
  auto isDigit = [](char ch) { return ch >= '0' && ch <= '9'; };
  if (isAlpha(c)) {
    const std::size_t start = m_pos;
    while (m_pos < m_in.size() && isAlpha(m_in[m_pos])) ++m_pos;
    const std::string_view word = m_in.substr(start, m_pos - start);
    bool bHasParam = false;
    bool bNegative = false;
    long long nValue = 0;
    if (m_pos + 1 < m_in.size() && m_in[m_pos] == '-' && isDigit(m_in[m_pos + 1])) {
      bNegative = true;
      ++m_pos;
    }
    while (m_pos < m_in.size() && isDigit(m_in[m_pos])) {
      bHasParam = true;
      nValue = std::min(nValue * 10 + (m_in[m_pos] - '0'), 1LL << 40);
      ++m_pos;
    }
    if (m_pos < m_in.size() && m_in[m_pos] == ' ') ++m_pos;
    if (bNegative) nValue = -nValue;
    const int nParam = static_cast<int>(std::clamp<long long>(nValue, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    if (word == "bin") {
      // Binary data: its bytes are not RTF and may hold braces.
      if (nParam > 0) m_pos += std::min<std::size_t>(nParam, m_in.size() - m_pos);
      if (m_nSkip > 0) --m_nSkip;
      return;
    }
    if (m_nSkip > 0) {
      --m_nSkip;
      m_bStar = false;
      return;
    }
    ControlWord(word, bHasParam, nParam);
    m_bStar = false;
    return;
  }
  ++m_pos;
  if (c == '\'') {
    auto hex = [](char h) {
      if (h >= '0' && h <= '9') return h - '0';
      if (h >= 'a' && h <= 'f') return h - 'a' + 10;
      if (h >= 'A' && h <= 'F') return h - 'A' + 10;
      return -1;
    };
    int value = 0, digits = 0;
    while (digits < 2 && m_pos < m_in.size() && hex(m_in[m_pos]) >= 0) {
      value = value * 16 + hex(m_in[m_pos++]);
      ++digits;
    }
    if (m_nSkip > 0) {
      --m_nSkip;
    } else if (digits == 2) {
      Byte(static_cast<unsigned char>(value), false);
    }
    return;
  }
  if (m_nSkip > 0) {
    --m_nSkip;
    return;
  }
  switch (c) {
    case '\\':
    case '{':
    case '}':
      // Bytes, not characters: the trail byte of a double-byte pair may be one of them.
      Byte(static_cast<unsigned char>(c), false);
      break;
    case '~': Unit(0x00A0); break;
    case '-': Unit(0x00AD); break;
    case '_': Unit(0x2011); break;
    case '*': m_bStar = true; break;
    case '\r':
    case '\n':
      ControlWord("par", false, 0);
      break;
    case '\t': Unit(u'\t'); break;
    default: break;  // \: \| and unknown symbols
  }
}

void RtfReader::ControlWord(std::string_view word, bool bHasParam, int nParam) {
  State& s = Top();
  if (s.dest == Dest::kSkip) return;
  Flush();
  const auto& table = Keywords();
  const auto it = table.find(word);
  if (it == table.end()) {
    if (m_bStar) s.dest = Dest::kSkip;
    return;
  }
  const Keyword& k = it->second;
  const int param = bHasParam ? nParam : 1;
  switch (k.kw) {
    case Kw::kSkipDest: s.dest = Dest::kSkip; break;
    case Kw::kFontTable: s.dest = Dest::kFontTable; break;
    case Kw::kColorTable:
      s.dest = Dest::kColorTable;
      m_colorDef = Color();
      break;
    case Kw::kBulletText:
      if (s.dest == Dest::kText) s.dest = Dest::kBulletText;
      break;
    case Kw::kBulletDef:
      if (s.dest == Dest::kText) s.dest = Dest::kBulletDef;
      break;
    case Kw::kBulletCont: s.bBulletCont = true; break;
    case Kw::kUnicodeAlt:
      // {\upr{ANSI}{\*\ud{Unicode}}}: in the font table the Unicode name overrides.
      if (s.dest != Dest::kFontTable) s.dest = Dest::kSkip;
      break;
    case Kw::kChar: Unit(static_cast<char32_t>(k.nValue)); break;
    case Kw::kPar:
      if (s.dest == Dest::kText) EndParagraph(s.para);
      break;
    case Kw::kLine: Unit(0x2028); break;
    case Kw::kRow:
      if (s.dest == Dest::kText) {
        // Cells end in tabs; the row's last one separates nothing.
        if (!m_para.m_arrRuns.empty() && !m_para.m_arrRuns.back().m_wstrText.empty() &&
            m_para.m_arrRuns.back().m_wstrText.back() == u'\t') {
          m_para.m_arrRuns.back().m_wstrText.pop_back();
          if (m_para.m_arrRuns.back().m_wstrText.empty()) m_para.m_arrRuns.pop_back();
        }
        EndParagraph(s.para);
      }
      break;
    case Kw::kSect:
      if (s.dest == Dest::kText && !m_para.m_arrRuns.empty()) EndParagraph(s.para);
      break;
    case Kw::kU:
      if (!bHasParam) break;
      if (s.dest == Dest::kText || s.dest == Dest::kFontTable)
        Unit(static_cast<char32_t>(nParam < 0 ? nParam + 65536 : nParam));
      m_nSkip = s.nFallback;
      break;
    case Kw::kUc: s.nFallback = std::max(0, param); break;
    case Kw::kPlain:
      s.nFont = -1;
      s.nHalfPoints = 24;
      s.nColor = -1;
      s.bBold = s.bItalic = s.bUnderline = s.bHidden = false;
      break;
    case Kw::kBold: s.bBold = param != 0; break;
    case Kw::kItalic: s.bItalic = param != 0; break;
    case Kw::kUnderline: s.bUnderline = param != 0; break;
    case Kw::kUnderlineNone: s.bUnderline = false; break;
    case Kw::kFontSize: s.nHalfPoints = bHasParam && nParam > 0 ? nParam : 24; break;
    case Kw::kColor: s.nColor = bHasParam ? nParam : 0; break;
    case Kw::kHidden: s.bHidden = param != 0; break;
    case Kw::kFont:
      if (!bHasParam) break;
      if (s.dest == Dest::kFontTable) {
        if (m_bDefOpen && !m_def.strName.empty()) CommitFont();
        m_nDefNumber = nParam;
        m_def = FontDef();
        m_bDefOpen = true;
      } else {
        s.nFont = nParam;
      }
      break;
    case Kw::kPard: s.para = ParaProps(); break;
    case Kw::kAlign: s.para.alignment = static_cast<Alignment>(k.nValue); break;
    case Kw::kLeftIndent: s.para.nLeft = bHasParam ? nParam : 0; break;
    case Kw::kFirstIndent: s.para.nFirst = bHasParam ? nParam : 0; break;
    case Kw::kAnsiCpg:
      if (bHasParam && IsKnownPage(nParam)) {
        m_nAnsiCp = nParam;
        m_bAnsiCpgSeen = true;
      }
      break;
    case Kw::kCharsetCp:
      if (!m_bAnsiCpgSeen) m_nAnsiCp = k.nValue;
      break;
    case Kw::kDefFont:
      if (bHasParam) m_nDefFont = nParam;
      break;
    case Kw::kFontCharset:
      if (s.dest == Dest::kFontTable && bHasParam) m_def.nCodePage = CodePageOfCharset(nParam);
      break;
    case Kw::kFontCodePage:
      if (s.dest == Dest::kFontTable && bHasParam && IsKnownPage(nParam))
        m_def.nCodePage = nParam;
      break;
    case Kw::kRed:
    case Kw::kGreen:
    case Kw::kBlue:
      if (s.dest == Dest::kColorTable) {
        const int shift = k.kw == Kw::kRed ? 16 : k.kw == Kw::kGreen ? 8 : 0;
        const std::uint32_t v = static_cast<std::uint32_t>(std::clamp(bHasParam ? nParam : 0, 0, 255));
        m_colorDef.bAuto = false;
        m_colorDef.rgb = (m_colorDef.rgb & ~(0xFFu << shift)) | (v << shift);
      }
      break;
  }
}

void RtfReader::Finish() {
  Flush();
  if (!m_para.m_arrRuns.empty()) EndParagraph(m_bHasText ? m_lastTextProps : Top().para);
  if (m_doc.m_arrParagraphs.empty()) EndParagraph(Top().para);
}

CRichText RtfReader::Read() {
  m_stack.reserve(64);
  m_stack.push_back(State());
  m_pos = 1;  // inside the document's group
  while (m_pos < m_in.size()) {
    const char c = m_in[m_pos];
    const Dest dest = Top().dest;
    if (dest == Dest::kSkip && c != '\\' && c != '{' && c != '}') {
      const std::size_t next = m_in.find_first_of("\\{}", m_pos);
      m_pos = next == std::string_view::npos ? m_in.size() : next;
      continue;
    }
    // Older writers leave double-byte pairs unescaped, and a trail byte may be '\', '{' or '}'.
    if (m_bLead && m_bLeadRaw && c != '\r' && c != '\n' &&
        !(c == '\\' && m_pos + 1 < m_in.size() && m_in[m_pos + 1] == '\'')) {
      ++m_pos;
      Byte(static_cast<unsigned char>(c), true);
      continue;
    }
    if (c == '{') {
      ++m_pos;
      OpenGroup();
    } else if (c == '}') {
      ++m_pos;
      if (CloseGroup()) break;
    } else if (c == '\\') {
      ControlSequence();
    } else {
      ++m_pos;
      if (c == '\r' || c == '\n') continue;
      if (m_nSkip > 0) {
        --m_nSkip;
        continue;
      }
      if (c == ';' && dest == Dest::kFontTable) {
        CommitFont();
      } else if (c == ';' && dest == Dest::kColorTable) {
        m_colors.push_back(m_colorDef);
        m_colorDef = Color();
      } else if (c == '\t') {
        Unit(u'\t');
      } else if (static_cast<unsigned char>(c) >= 0x20) {
        Byte(static_cast<unsigned char>(c), true);
      }
    }
  }
  Finish();
  return std::move(m_doc);
}

}  // namespace

Expected<CRichText> ReadRtf(std::string_view rtf, int nAnsiCodePage) {
  if (!rtf.starts_with("{\\rtf")) return Expected<CRichText>::Failure("This is not an RTF document.");
  return RtfReader(rtf, nAnsiCodePage).Read();
}

}  // namespace tessary

#include "richtext/rtf.h"

#include <map>
#include <string>
#include <vector>

#include "engine/codepage.h"

namespace tessary {

namespace {

// The \fcharset that goes with the ANSI code page, so that readers which look only at
// the font table agree with \ansicpg.
int CharsetOfCodePage(int nCodePage) {
  switch (nCodePage) {
    case 874: return 222;
    case 932: return 128;
    case 936: return 134;
    case 949: return 129;
    case 950: return 136;
    case 1250: return 238;
    case 1251: return 204;
    case 1253: return 161;
    case 1254: return 162;
    case 1255: return 177;
    case 1256: return 178;
    case 1257: return 186;
    case 1258: return 163;
    case 10000: return 77;
    default: return 0;
  }
}

void AppendUnicode(std::string& out, char16_t c) {
  // \uN takes a signed 16-bit number; the '?' is the fallback for readers without \u.
  out += "\\u";
  out += std::to_string(c > 0x7FFF ? static_cast<int>(c) - 0x10000 : static_cast<int>(c));
  out += '?';
}

// In a font name ';' ends the name, so it goes as \u59? there.
void AppendEscaped(std::string& out, std::u16string_view text, bool bFontName) {
  for (char16_t c : text) {
    switch (c) {
      case u'\\': out += "\\\\"; break;
      case u'{': out += "\\{"; break;
      case u'}': out += "\\}"; break;
      case u'\t': out += "\\tab "; break;
      case u'\u2028': out += "\\line "; break;
      default:
        if (c >= 0x80 || c < 0x20 || (bFontName && c == u';'))
          AppendUnicode(out, c);
        else
          out += static_cast<char>(c);
    }
  }
}

}  // namespace

std::string WriteRtf(const CRichText& text, int nAnsiCodePage) {
  // Fonts in order of first use. The document default (an empty face) is f0 when a run
  // uses it: an empty name, which readers take as their own default font.
  std::vector<std::string> faces;
  std::map<std::string, int> fontIndex;
  std::vector<std::uint32_t> colors;
  std::map<std::uint32_t, int> colorIndex;
  bool bText = false, bDefaultFace = false;
  for (const CParagraph& para : text.m_arrParagraphs) {
    for (const CTextRun& run : para.m_arrRuns) {
      if (run.m_wstrText.empty()) continue;
      bText = true;
      bDefaultFace = bDefaultFace || run.m_format.m_strFace.empty();
    }
  }
  // With no text at all f0 is still written, so that \deff0 names a font.
  if (bDefaultFace || !bText) {
    faces.push_back("");
    fontIndex.emplace("", 0);
  }
  for (const CParagraph& para : text.m_arrParagraphs) {
    for (const CTextRun& run : para.m_arrRuns) {
      if (run.m_wstrText.empty()) continue;
      if (fontIndex.emplace(run.m_format.m_strFace, static_cast<int>(faces.size())).second)
        faces.push_back(run.m_format.m_strFace);
      if (!run.m_format.m_bAutoColor &&
          colorIndex.emplace(run.m_format.m_crColor, static_cast<int>(colors.size()) + 1).second)
        colors.push_back(run.m_format.m_crColor);
    }
  }

  std::string out = "{\\rtf1\\ansi\\ansicpg" + std::to_string(nAnsiCodePage) + "\\deff0\\uc1\n{\\fonttbl";
  const std::string charset = std::to_string(CharsetOfCodePage(nAnsiCodePage));
  for (std::size_t i = 0; i < faces.size(); ++i) {
    out += "{\\f" + std::to_string(i) + "\\fnil\\fcharset" + charset + ' ';
    AppendEscaped(out, Utf8ToUtf16(faces[i]), true);
    out += ";}";
  }
  out += "}\n{\\colortbl;";
  for (std::uint32_t rgb : colors) {
    out += "\\red" + std::to_string((rgb >> 16) & 0xFF) + "\\green" + std::to_string((rgb >> 8) & 0xFF) +
           "\\blue" + std::to_string(rgb & 0xFF) + ';';
  }
  out += "}\n";

  const std::size_t count = text.m_arrParagraphs.size();
  for (std::size_t p = 0; p < count; ++p) {
    const CParagraph& para = text.m_arrParagraphs[p];
    out += "\\pard";
    switch (para.m_alignment) {
      case Alignment::kLeft: break;
      case Alignment::kCenter: out += "\\qc"; break;
      case Alignment::kRight: out += "\\qr"; break;
      case Alignment::kJustify: out += "\\qj"; break;
    }
    if (para.m_nLeftIndentTwips != 0) out += "\\li" + std::to_string(para.m_nLeftIndentTwips);
    if (para.m_nFirstIndentTwips != 0) out += "\\fi" + std::to_string(para.m_nFirstIndentTwips);
    if (para.m_bBullet) {
      // The marker for readers without lists, and the bullet definition that word
      // processors turn into a list of their own.
      out += "{\\pntext\\f0 \\u8226\\'95\\tab}{\\*\\pn\\pnlvlblt\\pnf0\\pnindent0{\\pntxtb\\u8226\\'95}}";
    }
    const CCharFormat* pLast = nullptr;
    bool bEmpty = true;
    for (const CTextRun& run : para.m_arrRuns) {
      if (run.m_wstrText.empty()) continue;
      bEmpty = false;
      const CCharFormat& f = run.m_format;
      if (!pLast || !(*pLast == f)) {
        out += "\\plain\\f" + std::to_string(fontIndex[f.m_strFace]) + "\\fs" + std::to_string(f.m_nHalfPoints);
        if (!f.m_bAutoColor) out += "\\cf" + std::to_string(colorIndex[f.m_crColor]);
        if (f.m_bBold) out += "\\b";
        if (f.m_bItalic) out += "\\i";
        if (f.m_bUnderline) out += "\\ul";
        out += ' ';
        pLast = &f;
      }
      AppendEscaped(out, run.m_wstrText, false);
    }
    // The last paragraph needs no mark, unless it is an empty one after others: the
    // reader drops an empty paragraph after the last mark.
    if (p + 1 < count || (bEmpty && count > 1)) out += "\\par\n";
  }
  out += "}\n";
  return out;
}

}  // namespace tessary

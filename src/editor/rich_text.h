#pragma once
// A rich text as plain data, between the RTF reader and writer and the editor's
// text document: paragraphs of runs, each run with one character format.
#include <cstdint>
#include <string>
#include <vector>

namespace tessary {

struct CCharFormat {
  std::string m_strFace;        // font family name, UTF-8; empty: the document default
  int m_nHalfPoints = 24;       // size in half points (24 = 12 pt)
  std::uint32_t m_crColor = 0;  // 0xRRGGBB
  bool m_bAutoColor = true;     // no colour of its own (the window text colour)
  bool m_bBold = false;
  bool m_bItalic = false;
  bool m_bUnderline = false;
  bool operator==(const CCharFormat&) const = default;
};

struct CTextRun {
  std::u16string m_wstrText;  // no paragraph breaks inside a run
  CCharFormat m_format;
};

enum class Alignment { kLeft, kCenter, kRight, kJustify };

struct CParagraph {
  std::vector<CTextRun> m_arrRuns;
  Alignment m_alignment = Alignment::kLeft;
  int m_nLeftIndentTwips = 0;
  int m_nFirstIndentTwips = 0;  // relative to the left indent; negative hangs
  bool m_bBullet = false;
};

struct CRichText {
  std::vector<CParagraph> m_arrParagraphs;  // at least one after reading
};

}  // namespace tessary

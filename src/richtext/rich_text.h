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
  // No paragraph breaks inside a run; U+2028 is a line break within the paragraph
  // (what the editor's text document uses for one) and U+0009 a tab.
  std::u16string m_wstrText;
  CCharFormat m_format;
  bool operator==(const CTextRun&) const = default;
};

enum class Alignment { kLeft, kCenter, kRight, kJustify };

struct CParagraph {
  std::vector<CTextRun> m_arrRuns;
  Alignment m_alignment = Alignment::kLeft;
  int m_nLeftIndentTwips = 0;
  int m_nFirstIndentTwips = 0;  // relative to the left indent; negative hangs
  bool m_bBullet = false;
  bool operator==(const CParagraph&) const = default;
};

// After reading: at least one paragraph, no empty runs, neighbouring runs differ in
// format, and an automatic colour has m_crColor 0.
struct CRichText {
  std::vector<CParagraph> m_arrParagraphs;
  bool operator==(const CRichText&) const = default;
};

}  // namespace tessary

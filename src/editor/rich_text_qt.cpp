#include "editor/rich_text_qt.h"

#include "editor/list_lines.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <cmath>

#include "ui/qt_text.h"

namespace tessary {

namespace {

// A bullet hangs by this much in the RTF the program writes; the editor draws it in
// the list's own indent instead.
constexpr int kBulletIndentTwips = 360;

QStringList FamiliesOf(const QTextCharFormat& format) {
  QStringList families = format.fontFamilies().toStringList();
  if (families.isEmpty() && format.hasProperty(QTextFormat::FontFamily))
    families << format.stringProperty(QTextFormat::FontFamily);
  families.removeAll(QString());
  return families;
}

bool IsBold(int weight) { return weight >= QFont::DemiBold; }

bool HasUnderlineProperty(const QTextCharFormat& format) {
  return format.hasProperty(QTextFormat::TextUnderlineStyle) || format.hasProperty(QTextFormat::FontUnderline);
}

QTextBlockFormat ToBlockFormat(const CParagraph& paragraph) {
  QTextBlockFormat format;
  switch (paragraph.m_alignment) {
    case Alignment::kLeft: break;
    case Alignment::kCenter: format.setAlignment(Qt::AlignHCenter); break;
    case Alignment::kRight: format.setAlignment(Qt::AlignRight); break;
    case Alignment::kJustify: format.setAlignment(Qt::AlignJustify); break;
  }
  if (paragraph.m_bBullet) {
    const int extra = std::max(0, paragraph.m_nLeftIndentTwips - kBulletIndentTwips);
    if (extra) format.setLeftMargin(double(extra) / kTwipsPerPixel);
  } else {
    if (paragraph.m_nLeftIndentTwips) format.setLeftMargin(double(paragraph.m_nLeftIndentTwips) / kTwipsPerPixel);
    if (paragraph.m_nFirstIndentTwips) format.setTextIndent(double(paragraph.m_nFirstIndentTwips) / kTwipsPerPixel);
  }
  return format;
}

Alignment AlignmentOf(Qt::Alignment alignment) {
  if (alignment & Qt::AlignHCenter) return Alignment::kCenter;
  if (alignment & Qt::AlignJustify) return Alignment::kJustify;
  if (alignment & (Qt::AlignRight | Qt::AlignTrailing)) return Alignment::kRight;
  return Alignment::kLeft;
}

int PixelsToTwips(double pixels) { return static_cast<int>(std::lround(pixels * kTwipsPerPixel)); }

// Characters that stand for objects or frames, not text.
bool IsTextCharacter(QChar c) {
  return c != QChar::ObjectReplacementCharacter && c != QChar(0xFDD0) && c != QChar(0xFDD1);
}

}  // namespace

QTextCharFormat ToQtFormat(const CCharFormat& format) {
  QTextCharFormat out;
  if (!format.m_strFace.empty()) out.setFontFamilies(QStringList{QString::fromStdString(format.m_strFace)});
  if (format.m_nHalfPoints > 0) out.setFontPointSize(format.m_nHalfPoints / 2.0);
  if (format.m_bBold) out.setFontWeight(QFont::Bold);
  if (format.m_bItalic) out.setFontItalic(true);
  if (format.m_bUnderline) out.setFontUnderline(true);
  if (!format.m_bAutoColor) out.setForeground(QColor::fromRgb(QRgb(format.m_crColor | 0xFF000000u)));
  return out;
}

CCharFormat FromQtFormat(const QTextCharFormat& format, const QFont& defaultFont) {
  CCharFormat out;
  const QStringList families = FamiliesOf(format);
  out.m_strFace = (families.isEmpty() ? defaultFont.family() : families.front()).toStdString();
  double points = format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize() : defaultFont.pointSizeF();
  if (points <= 0) points = 12;  // a font sized in pixels
  out.m_nHalfPoints = static_cast<int>(std::lround(points * 2));
  out.m_bBold = IsBold(format.hasProperty(QTextFormat::FontWeight) ? format.fontWeight() : defaultFont.weight());
  out.m_bItalic = format.hasProperty(QTextFormat::FontItalic) ? format.fontItalic() : defaultFont.italic();
  out.m_bUnderline = HasUnderlineProperty(format) ? format.fontUnderline() : defaultFont.underline();
  if (format.hasProperty(QTextFormat::ForegroundBrush) && format.foreground().style() != Qt::NoBrush) {
    out.m_bAutoColor = false;
    out.m_crColor = format.foreground().color().rgb() & 0xFFFFFFu;
  }
  return out;
}

void RichTextToDocument(const CRichText& text, QTextDocument& document) {
  document.clear();
  QTextCursor cursor(&document);
  cursor.beginEditBlock();
  QTextList* list = nullptr;
  bool bFirst = true;
  for (const CParagraph& paragraph : text.m_arrParagraphs) {
    const QTextBlockFormat blockFormat = ToBlockFormat(paragraph);
    // The paragraph mark takes the first run's format, so an empty line keeps its size.
    const QTextCharFormat markFormat =
        paragraph.m_arrRuns.empty() ? QTextCharFormat() : ToQtFormat(paragraph.m_arrRuns.front().m_format);
    if (bFirst) {
      cursor.setBlockFormat(blockFormat);
      cursor.setBlockCharFormat(markFormat);
      bFirst = false;
    } else {
      cursor.insertBlock(blockFormat, markFormat);
    }
    if (paragraph.m_bBullet) {
      if (list) {
        list->add(cursor.block());
      } else {
        QTextListFormat listFormat;
        listFormat.setStyle(QTextListFormat::ListDisc);
        listFormat.setIndent(1);
        list = cursor.createList(listFormat);
      }
    } else {
      list = nullptr;
    }
    for (const CTextRun& run : paragraph.m_arrRuns) cursor.insertText(FromU16(run.m_wstrText), ToQtFormat(run.m_format));
  }
  cursor.endEditBlock();
}

CRichText DocumentToRichText(const QTextDocument& document) {
  CRichText out;
  const QFont defaultFont = document.defaultFont();
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    CParagraph paragraph;
    const QTextBlockFormat blockFormat = block.blockFormat();
    paragraph.m_alignment = AlignmentOf(blockFormat.alignment());
    if (block.textList()) {
      paragraph.m_bBullet = true;
      paragraph.m_nLeftIndentTwips = kBulletIndentTwips + PixelsToTwips(blockFormat.leftMargin());
      paragraph.m_nFirstIndentTwips = -kBulletIndentTwips;
    } else {
      paragraph.m_nLeftIndentTwips = PixelsToTwips(blockFormat.leftMargin());
      paragraph.m_nFirstIndentTwips = PixelsToTwips(blockFormat.textIndent());
    }
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.isValid()) continue;
      QString text = fragment.text();
      text.removeIf([](QChar c) { return !IsTextCharacter(c); });
      if (text.isEmpty()) continue;
      const CCharFormat format = FromQtFormat(fragment.charFormat(), defaultFont);
      if (!paragraph.m_arrRuns.empty() && paragraph.m_arrRuns.back().m_format == format)
        paragraph.m_arrRuns.back().m_wstrText += ToU16(text);
      else
        paragraph.m_arrRuns.push_back(CTextRun{ToU16(text), format});
    }
    out.m_arrParagraphs.push_back(std::move(paragraph));
  }
  return out;
}

CRichText LinesToRichText(const CListLines& lines, const QFont& defaultFont) {
  CRichText out;
  const CCharFormat format = FromQtFormat(QTextCharFormat(), defaultFont);
  CParagraph plain;
  plain.m_alignment = AlignmentOf(QTextBlockFormat().alignment());
  for (std::int64_t i = 0; i <= lines.Count(); ++i) {
    CParagraph paragraph = plain;
    QString text = lines.Line(i);
    text.removeIf([](QChar c) { return !IsTextCharacter(c); });
    if (!text.isEmpty()) paragraph.m_arrRuns.push_back(CTextRun{ToU16(text), format});
    out.m_arrParagraphs.push_back(std::move(paragraph));
  }
  return out;
}

bool HasFormatting(const QTextDocument& document) {
  const QFont defaultFont = document.defaultFont();
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    if (block.textList()) return true;
    const QTextBlockFormat blockFormat = block.blockFormat();
    if (AlignmentOf(blockFormat.alignment()) != Alignment::kLeft) return true;
    if (blockFormat.leftMargin() != 0 || blockFormat.textIndent() != 0) return true;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.isValid()) continue;
      const QTextCharFormat format = fragment.charFormat();
      const QStringList families = FamiliesOf(format);
      if (!families.isEmpty() && families.front() != defaultFont.family()) return true;
      if (format.hasProperty(QTextFormat::FontPointSize) && format.fontPointSize() != defaultFont.pointSizeF())
        return true;
      if (format.hasProperty(QTextFormat::FontWeight) && IsBold(format.fontWeight()) != IsBold(defaultFont.weight()))
        return true;
      if (format.hasProperty(QTextFormat::FontItalic) && format.fontItalic() != defaultFont.italic()) return true;
      if (HasUnderlineProperty(format) && format.fontUnderline() != defaultFont.underline()) return true;
      if (format.hasProperty(QTextFormat::ForegroundBrush) && format.foreground().style() != Qt::NoBrush)
        return true;
    }
  }
  return false;
}

}  // namespace tessary

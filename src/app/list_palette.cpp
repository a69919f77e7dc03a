#include "app/list_palette.h"

#include <QColor>

namespace tessary {

namespace {

const QColor kMagenta(0xFF, 0x00, 0xFF);
const QColor kRed(0xFF, 0x00, 0x00);
const QColor kBlue(0x00, 0x00, 0xFF);
const QColor kOrange(0xFF, 0x7D, 0x00);

QTextCharFormat Format(const QColor& color, bool bBold, bool bItalic, bool bUnderline) {
  QTextCharFormat format;
  format.setForeground(color);
  format.setFontWeight(bBold ? QFont::Bold : QFont::Normal);
  format.setFontItalic(bItalic);
  format.setFontUnderline(bUnderline);
  return format;
}

}  // namespace

QTextCharFormat ListRangeFormat(CFormatRange::Kind kind, bool bUnicodeList) {
  const bool wide = bUnicodeList;
  switch (kind) {
    case CFormatRange::kKeyword: return Format(kMagenta, true, wide, wide);
    case CFormatRange::kCollocate: return Format(Qt::black, false, false, true);
    case CFormatRange::kAssociated1: return Format(kRed, true, wide, wide);
    case CFormatRange::kAssociated2: return Format(kBlue, true, wide, wide);
    case CFormatRange::kAssociated3: return Format(kOrange, true, wide, wide);
    case CFormatRange::kSentenceKeyword: return Format(wide ? kMagenta : kRed, true, true, true);
  }
  return {};
}

}  // namespace tessary

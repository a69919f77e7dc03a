#include "app/list_window.h"

#include <QAbstractScrollArea>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include "editor/tessary_view.h"

namespace tessary {

QFont ListWindowFont(ListSource source) {
  const CListFont face = ListFont(source);
  QFont font(QString::fromLatin1(face.m_pszFace), face.m_nPointSize);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  return font;
}

void FillListWindow(CTessaryView& view, const QString& text, const QFont& font) {
  QTextDocument* document = view.Document();
  document->setDefaultFont(font);
  view.Editor()->setFont(font);
  document->setPlainText(text);
  document->setModified(true);
}

bool ApplyRanges(CTessaryView& view, const std::vector<CRenderedRange>& ranges,
                 const std::function<bool(std::size_t, std::size_t)>& progress) {
  QTextDocument* document = view.Document();
  QTextCursor cursor(document);
  const int end = document->characterCount() - 1;
  const std::size_t step = std::max<std::size_t>(1, ranges.size() / 100);
  bool complete = true;
  cursor.beginEditBlock();
  for (std::size_t i = 0; i < ranges.size(); ++i) {
    if (i % step == 0 && progress && !progress(i, ranges.size())) {
      complete = false;
      break;
    }
    const CRenderedRange& r = ranges[i];
    const int from = static_cast<int>(std::min<std::int64_t>(r.m_nStart, end));
    const int to = static_cast<int>(std::min<std::int64_t>(r.m_nStart + r.m_nLength, end));
    if (to <= from) continue;
    QTextCharFormat format;
    const CFormatRange& f = r.m_format;
    // The window's own face and size stay: a keyword in another size would move the
    // columns after it.
    format.setFontWeight(f.m_bBold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(f.m_bItalic);
    format.setFontUnderline(f.m_bUnderline);
    format.setForeground(QColor::fromRgb(f.m_crColor));
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    cursor.mergeCharFormat(format);
  }
  cursor.endEditBlock();
  return complete;
}

}  // namespace tessary

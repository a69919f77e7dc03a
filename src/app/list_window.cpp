#include "app/list_window.h"

#include <QAbstractScrollArea>
#include <QTextDocument>

#include "editor/tessary_doc.h"
#include "editor/tessary_view.h"

namespace tessary {

QFont ListWindowFont(ListSource source) {
  const CListFont face = ListFont(source);
  QFont font(QString::fromLatin1(face.m_pszFace), face.m_nPointSize);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  return font;
}

void SetListFont(CTessaryDoc& doc, const QFont& font) {
  doc.Document()->setDefaultFont(font);
  for (CTessaryView* view : doc.Views()) view->Editor()->setFont(font);
}

}  // namespace tessary

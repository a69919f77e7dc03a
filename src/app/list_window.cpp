#include "app/list_window.h"

#include <QAbstractScrollArea>
#include <QTextDocument>

#include "editor/tessary_doc.h"
#include "editor/tessary_view.h"
#include "ui/fixed_font.h"

namespace tessary {

QFont ListWindowFont(ListSource source) {
  const CListFont face = ListFont(source);
  return FixedFont(QString::fromLatin1(face.m_pszFace), face.m_nPointSize);
}

void SetListFont(CTessaryDoc& doc, const QFont& font) {
  doc.Document()->setDefaultFont(font);
  for (CTessaryView* view : doc.Views()) view->Editor()->setFont(font);
}

}  // namespace tessary

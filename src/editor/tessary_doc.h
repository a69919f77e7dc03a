#pragma once
// A document of the editor: one text document shown by one or more views. Plain
// text and concordance lists use the plain-text layout (fast for a million lines);
// rich documents the rich one. The kind says how the file is read and written.
#include <QObject>
#include <QString>
#include <string>
#include <vector>

#include "editor/file_type.h"

class QTextDocument;

namespace tessary {

class CTessaryView;

class CTessaryDoc : public QObject {
  Q_OBJECT
 public:
  explicit CTessaryDoc(bool bPlainLayout, QObject* parent = nullptr);
  ~CTessaryDoc() override;

  QTextDocument* Document() const { return m_pDocument; }
  bool PlainLayout() const { return m_bPlainLayout; }
  int DocType() const { return m_nDocType; }
  // A kind change saves the old kind's bar layout and wrap mode and applies the new
  // kind's (through the main frame).
  void SetDocType(int nType);

  QString PathName() const { return m_strPathName; }
  void SetPathName(const QString& path);
  // "Tessary1" for a new document, the file name for a saved one.
  QString Title() const { return m_strTitle; }
  void SetTitle(const QString& title);
  bool IsModified() const;
  void SetModified(bool bModified);

  const std::vector<CTessaryView*>& Views() const { return m_arrViews; }
  CTessaryView* FirstView() const { return m_arrViews.empty() ? nullptr : m_arrViews.front(); }
  void AddView(CTessaryView* view);
  void RemoveView(CTessaryView* view);

  // The standard document operations with the editor's rules; each reports its own
  // failures through the application's prompt and returns false.
  bool OnNewDocument();
  bool OnOpenDocument(const QString& path);
  bool OnSaveDocument(const QString& path, int nType);
  // Save (or Save As when bAskName or the document has no path); false when cancelled.
  bool DoSave(bool bAskName);
  // "Save changes to %1?" for a modified document; false when the user cancels.
  bool SaveModified();

  // The plain text as a search reads it: one line feed per paragraph.
  QString PlainText() const;

 signals:
  void TitleChanged();

 private:
  QTextDocument* m_pDocument;
  bool m_bPlainLayout;
  int m_nDocType = kTypeRtf;
  QString m_strPathName;
  QString m_strTitle;
  std::vector<CTessaryView*> m_arrViews;
};

}  // namespace tessary

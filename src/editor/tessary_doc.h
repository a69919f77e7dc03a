#pragma once
// A document of the editor: one text document shown by one or more views. Plain
// text and concordance lists use the plain-text layout (fast for a million lines);
// rich documents the rich one. The kind says how the file is read and written.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "engine/concordance_list.h"

#include "richtext/file_type.h"

class QTextDocument;

namespace tessary {

class CListLines;
class CTessaryView;

class CTessaryDoc : public QObject {
  Q_OBJECT
 public:
  explicit CTessaryDoc(bool bPlainLayout, QObject* parent = nullptr);
  ~CTessaryDoc() override;

  // Whether the document that opens path should use the plain layout: every file but
  // RTF (all of them when plain text is forced).
  static bool WantsPlainLayout(const QString& path);

  QTextDocument* Document() const { return m_pDocument; }
  bool PlainLayout() const { return m_bPlainLayout; }
  int DocType() const { return m_nDocType; }
  // A kind change saves the old kind's bar layout and wrap mode and applies the new
  // kind's (the bars through the host).
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
  // failures through the host's prompt and returns false.
  bool OnNewDocument();
  // nCodePage: the code page of a plain-text file without a byte-order mark, which is
  // then not tried as UTF-8 (the user's choice); 0: the host's page after UTF-8.
  bool OnOpenDocument(const QString& path, int nCodePage = 0);
  bool OnSaveDocument(const QString& path, int nType);
  // Save (or Save As when bAskName or the document has no path); false when cancelled.
  bool DoSave(bool bAskName);
  // "Save changes to %1?" for a modified document; false when the user cancels.
  bool SaveModified();
  // The same question when several documents close together: bOfferAll adds
  // "Save all" and "Discard all", which answer it for the rest too.
  enum class SaveChoice { kSave, kDiscard, kSaveAll, kDiscardAll, kCancel };
  SaveChoice AskSaveChanges(bool bOfferAll);

  // The plain text as a search reads it: one line feed per paragraph.
  QString PlainText() const;

  // A long plain text is shown at once and the rest follows in pieces between events;
  // reading, saving or printing the document finishes the load first.
  bool IsLoading() const { return !m_strPending.isEmpty(); }
  void EnsureLoaded();

  // How a plain-text file was encoded; a save writes it back the same way.
  enum class TextEncoding { kAnsi, kUtf8, kUtf8Bom, kUtf16Le, kUtf16Be };
  TextEncoding Encoding() const { return m_encoding; }
  static TextEncoding EncodingOf(const QByteArray& bytes);
  // The code page of a kAnsi document's bytes: the page it was read in, or for a new
  // document 0, the host's page when it is saved.
  int CodePage() const { return m_nCodePage; }
  // A new text that should be saved as bytes in nCodePage, with these line ends.
  void SetAnsiCodePage(int nCodePage, const QString& lineEnd) {
    m_encoding = TextEncoding::kAnsi;
    m_nCodePage = nCodePage;
    m_strLineEnd = lineEnd;
  }
  // The line ends a plain-text save writes: those of the file read ("\r\n", "\r" or
  // "\n"), the platform's for a new document or a file without any.
  const QString& LineEnd() const { return m_strLineEnd; }
  static QString PlatformLineEnd() { return QStringLiteral("\n"); }
  // text has one line feed per line, written as lineEnd; kAnsi falls back to UTF-8 with
  // a byte-order mark when the code page lacks a character.
  static QByteArray EncodeText(const QString& text, TextEncoding encoding, int nCodePage, const QString& lineEnd);

  // A concordance list window's record, read by every view of it; null for other
  // documents. m_bFormatted: its key-word formatting was applied to the end. A busy
  // document is being filled or formatted: its windows close when that ends.
  CConcordanceList* List() const { return m_pList.get(); }
  void SetList(std::unique_ptr<CConcordanceList> list);
  bool m_bFormatted = false;
  bool m_bBusy = false;

  // A long unformatted list window keeps its lines in a store and its text document
  // stays empty: its views paint the lines in sight. Saving, copying and the list
  // commands read the store; EnsureText puts the lines into the text document once
  // (an edit, or a command that needs the document), and the views become editors.
  void SetLines(std::shared_ptr<const CListLines> lines);
  const CListLines* Lines() const { return m_pLines.get(); }
  std::shared_ptr<const CListLines> SharedLines() const { return m_pLines; }
  void EnsureText();

 signals:
  void TitleChanged();
  void LoadFinished();
  // The document became a concordance list (or stopped being one).
  void ListChanged();
  // The document got a line store, or its lines went into the text document.
  void LinesChanged();

 private:
  QTextDocument* m_pDocument;
  bool m_bPlainLayout;
  int m_nDocType = kTypeRtf;
  QString m_strPathName;
  QString m_strTitle;
  std::vector<CTessaryView*> m_arrViews;
  TextEncoding m_encoding = TextEncoding::kAnsi;
  QString m_strLineEnd = PlatformLineEnd();
  int m_nCodePage = 0;

  bool AskSaveName(QString& path, int& nType);
  void DropLines();
  void LoadPlainText(QString text);
  bool LoadNextPiece();
  void EnsureLoadedStep();

  std::unique_ptr<CConcordanceList> m_pList;
  std::shared_ptr<const CListLines> m_pLines;
  QString m_strPending;         // the text still to be appended
  qsizetype m_nPendingFrom = 0;  // where the next piece starts in it
};

}  // namespace tessary

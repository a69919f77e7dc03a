#include "editor/tessary_doc.h"

#include <QFile>
#include <QGuiApplication>
#include <QDir>
#include <QFileInfo>
#include <QPlainTextDocumentLayout>
#include <QSaveFile>
#include <QStringEncoder>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <unistd.h>

#include <algorithm>

#include "editor/editor_host.h"
#include "editor/list_lines.h"
#include "editor/rich_text_qt.h"
#include "editor/tessary_view.h"
#include "engine/codepage.h"
#include "engine/file_reader.h"
#include "engine/text_file.h"
#include "richtext/rtf.h"
#include "ui/fixed_font.h"
#include "ui/prompt.h"
#include "ui/qt_text.h"

namespace tessary {

namespace {

constexpr int kOemCodePage = 437;
constexpr qint64 kMaxEditorFile = qint64(256) << 20;

IEditorHost* Host() { return EditorHost(); }

int AnsiCodePage() { return Host() ? Host()->AnsiCodePage() : 1252; }

bool ForcePlainText() { return Host() && Host()->ForcePlainText(); }

std::shared_ptr<const CCodePage> OpenPage(int nCodePage) {
  auto page = CCodePage::Open(nCodePage);
  if (page) return *page;
  auto fallback = CCodePage::Open(1252);
  return fallback ? *fallback : nullptr;
}

QMessageBox::StandardButton Ask(const QString& text, QMessageBox::Icon icon,
                                QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                QMessageBox::StandardButton def = QMessageBox::NoButton) {
  if (!Host()) return def == QMessageBox::NoButton ? QMessageBox::Ok : def;
  return Host()->Prompt().Message(text, QString(), icon, buttons, def);
}

void SetStatus(const QString& text) {
  if (Host()) Host()->SetStatusText(text);
}

// Twice the file's bytes are needed while it is read (bytes and text); a quarter of
// the memory keeps the machine usable, and the big file viewer reads the rest.
qint64 MaxEditorFileSize() {
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long pageSize = ::sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0) return kMaxEditorFile;
  return std::min<qint64>(qint64(pages) * pageSize / 4, kMaxEditorFile);
}

bool IsPlainKind(int nType) { return nType == kTypeText || nType == kTypeTextDos; }

// The kind whose settings (wrap mode) a kind shares.
int SettingsKind(int nType) {
  if (nType == kTypeTextDos) return kTypeText;
  if (nType == kTypeEmbedded) return kTypeRtf;
  return nType;
}


bool HasHighBytes(const QByteArray& bytes) {
  return std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// The line ends of a file's first line; a file without any gets the platform's.
QString LineEndOf(const QByteArray& bytes) {
  const std::string_view end = FirstLineEnd(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  return end.empty() ? CTessaryDoc::PlatformLineEnd() : QString::fromLatin1(end.data(), static_cast<qsizetype>(end.size()));
}

}  // namespace

CTessaryDoc::CTessaryDoc(bool bPlainLayout, QObject* parent)
    : QObject(parent), m_pDocument(new QTextDocument(this)), m_bPlainLayout(bPlainLayout) {
  if (bPlainLayout) {
    m_pDocument->setDocumentLayout(new QPlainTextDocumentLayout(m_pDocument));
    m_pDocument->setDefaultFont(FixedFont(QStringLiteral("Courier New"), 10));
  } else {
    m_pDocument->setDefaultFont(QFont(QStringLiteral("Arial"), 10));
  }
  connect(m_pDocument, &QTextDocument::modificationChanged, this, &CTessaryDoc::TitleChanged);
}

CTessaryDoc::~CTessaryDoc() {
  for (CTessaryView* view : std::vector<CTessaryView*>(m_arrViews)) view->DetachDocument();
}

bool CTessaryDoc::WantsPlainLayout(const QString& path) {
  if (ForcePlainText()) return true;
  // Sniffing a FIFO would block: anything but a regular file is refused on opening.
  if (!RegularFileProblem(ToFsPath(path)).empty()) return true;
  return FileTypeOfPath(ToFsPath(path)) != kTypeRtf;
}

void CTessaryDoc::SetDocType(int nType) {
  if (nType == m_nDocType) return;
  const int nOld = m_nDocType;
  if (CTessaryView* view = FirstView()) CTessaryView::SaveWrapOfKind(SettingsKind(nOld), view->WordWrap());
  m_nDocType = nType;
  if (Host()) Host()->DocTypeChanged(*this, nOld);
  for (CTessaryView* view : m_arrViews) view->SetWordWrap(false);
}

void CTessaryDoc::SetPathName(const QString& path) {
  m_strPathName = path;
  m_strTitle = QFileInfo(path).fileName();
  emit TitleChanged();
}

void CTessaryDoc::SetTitle(const QString& title) {
  m_strTitle = title;
  emit TitleChanged();
}

bool CTessaryDoc::IsModified() const { return m_pDocument->isModified(); }

void CTessaryDoc::SetModified(bool bModified) { m_pDocument->setModified(bModified); }

void CTessaryDoc::AddView(CTessaryView* view) {
  if (std::find(m_arrViews.begin(), m_arrViews.end(), view) == m_arrViews.end()) m_arrViews.push_back(view);
}

void CTessaryDoc::RemoveView(CTessaryView* view) { std::erase(m_arrViews, view); }

bool CTessaryDoc::OnNewDocument() {
  DropLines();
  m_pDocument->clear();
  m_pDocument->setModified(false);
  m_strPathName.clear();
  m_encoding = TextEncoding::kAnsi;
  m_nCodePage = 0;
  m_strLineEnd = PlatformLineEnd();
  SetDocType(kTypeRtf);
  return true;
}

bool CTessaryDoc::OnOpenDocument(const QString& path, int nCodePage) {
  // A device or FIFO has no size to check and would be read forever, or block.
  if (const std::string problem = RegularFileProblem(ToFsPath(path)); !problem.empty()) {
    Ask(QString::fromStdString(problem), QMessageBox::Warning);
    return false;
  }
  const qint64 nSize = QFileInfo(path).size();
  if (nSize > MaxEditorFileSize()) {
    Ask(QString::asprintf("File size=%ld: there is not enough memory to read this file in the editor. Open the file "
                          "using the 'Big file' menu option.",
                          static_cast<long>(nSize)),
        QMessageBox::Warning);
    return false;
  }
  QFile file(path);
  const bool bForcePlain = ForcePlainText();
  const int nType = bForcePlain ? int(kTypeText) : FileTypeOfPath(ToFsPath(path));
  if (nType < 0 || !file.open(QIODevice::ReadOnly)) {
    Ask(QStringLiteral("Failed to open document."), QMessageBox::Warning);
    return false;
  }
  const QByteArray bytes = file.readAll();
  file.close();
  if (!bForcePlain) {
    const std::string foreign = ForeignDocumentFormat(std::string_view(bytes.constData(), bytes.size()));
    if (!foreign.empty()) {
      Ask(QStringLiteral("Can not load %1 files.").arg(QString::fromStdString(foreign)), QMessageBox::Information);
      return false;
    }
  }
  const CDocumentKind& kind = DocumentKind(nType);
  if (!kind.m_bRead) {
    Ask(QStringLiteral("Can not load %1 files.").arg(QString::fromUtf8(kind.m_pszDescription)),
        QMessageBox::Information);
    return false;
  }

  SetStatus(QStringLiteral("100% complete  Formatting ... please wait"));
  DropLines();  // the file's text replaces a list's lines
  const std::string_view view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  if (nType == kTypeRtf) {
    CRichText text;
    if (!bytes.isEmpty()) {
      auto read = ReadRtf(view, AnsiCodePage());
      if (!read) {
        SetStatus(QStringLiteral("Ready"));
        Ask(QString::fromStdString(read.Error()), QMessageBox::Warning);
        return false;
      }
      text = std::move(*read);
    }
    m_pDocument->setUndoRedoEnabled(false);
    RichTextToDocument(text, *m_pDocument);
    m_encoding = TextEncoding::kAnsi;
    m_nCodePage = 0;
  } else {
    std::u16string text;
    if (nType == kTypeTextDos) {
      // The OEM set has no byte-order marks or UTF-8: its bytes are taken as they are.
      std::string owned(view);
      owned.resize(ApplyTextMode(owned.data(), owned.size()));
      if (auto page = OpenPage(kOemCodePage)) text = page->ToUnicode(owned);
      m_encoding = TextEncoding::kAnsi;
      m_nCodePage = kOemCodePage;
    } else {
      // The page is kept: a save writes the text back in the bytes it came in, whatever
      // the program's choice is by then.
      const int nPage = nCodePage ? nCodePage : AnsiCodePage();
      m_encoding = EncodingOf(bytes);
      if (nCodePage && m_encoding == TextEncoding::kUtf8) m_encoding = TextEncoding::kAnsi;
      if (auto page = OpenPage(nPage)) {
        text = m_encoding == TextEncoding::kAnsi ? DecodeForEditor(view, *page, false) : DecodeForEditor(view, *page);
        m_nCodePage = page->Number();
      }
    }
    m_pDocument->setUndoRedoEnabled(false);
    LoadPlainText(FromU16(text));
  }
  // A rich-text file's own line ends say nothing of the text's.
  m_strLineEnd = nType == kTypeRtf ? PlatformLineEnd() : LineEndOf(bytes);
  m_pDocument->setUndoRedoEnabled(!IsLoading());
  m_pDocument->setModified(false);
  SetPathName(path);
  SetDocType(nType);
  SetStatus(QStringLiteral("Ready"));
  return true;
}

CTessaryDoc::TextEncoding CTessaryDoc::EncodingOf(const QByteArray& bytes) {
  if (bytes.startsWith("\xEF\xBB\xBF")) return TextEncoding::kUtf8Bom;
  if (bytes.startsWith("\xFF\xFE")) return TextEncoding::kUtf16Le;
  if (bytes.startsWith("\xFE\xFF")) return TextEncoding::kUtf16Be;
  if (HasHighBytes(bytes) && IsValidUtf8(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))))
    return TextEncoding::kUtf8;
  return TextEncoding::kAnsi;
}

QByteArray CTessaryDoc::EncodeText(const QString& text, TextEncoding encoding, int nCodePage,
                                   const QString& lineEnd) {
  QString lines = text;
  if (lineEnd != QLatin1String("\n")) lines.replace(QLatin1Char('\n'), lineEnd);
  const std::u16string wide = ToU16(lines);
  if (encoding == TextEncoding::kAnsi) {
    // Never lose characters: a text the code page can't hold is saved as UTF-8 with a
    // byte-order mark, which this program and every other editor read back.
    if (auto page = OpenPage(nCodePage)) {
      const std::string bytes = page->FromUnicode(wide);
      if (page->ToUnicode(bytes) == wide) return QByteArray::fromStdString(bytes);
    }
    encoding = TextEncoding::kUtf8Bom;
  }
  switch (encoding) {
    case TextEncoding::kUtf8: return lines.toUtf8();
    case TextEncoding::kUtf16Le:
    case TextEncoding::kUtf16Be: {
      QStringEncoder encoder(encoding == TextEncoding::kUtf16Le ? QStringEncoder::Utf16LE : QStringEncoder::Utf16BE,
                             QStringEncoder::Flag::WriteBom);
      return encoder.encode(lines);
    }
    default: return QByteArrayLiteral("\xEF\xBB\xBF") + lines.toUtf8();
  }
}

namespace {
// About 25,000 lines of ordinary text: appending one piece takes tens of
// milliseconds, so the window answers while the rest comes in.
constexpr qsizetype kFirstPieceChars = 4 << 20;
constexpr qsizetype kPieceChars = 2 << 20;

// The end of a piece: just after the first line feed at or past want.
qsizetype PieceEnd(const QString& text, qsizetype from, qsizetype want) {
  if (from + want >= text.size()) return text.size();
  const qsizetype lf = text.indexOf(QLatin1Char('\n'), from + want);
  return lf < 0 ? text.size() : lf + 1;
}
}  // namespace

void CTessaryDoc::LoadPlainText(QString text) {
  // A reopened file replaces whatever of the old text was still to come.
  m_strPending.clear();
  m_nPendingFrom = 0;
  const qsizetype cut = PieceEnd(text, 0, kFirstPieceChars);
  if (cut >= text.size()) {
    m_pDocument->setPlainText(text);
    return;
  }
  m_pDocument->setPlainText(text.left(cut));
  m_strPending = std::move(text);
  m_nPendingFrom = cut;
  QTimer::singleShot(0, this, [this] { EnsureLoadedStep(); });
}

bool CTessaryDoc::LoadNextPiece() {
  if (m_strPending.isEmpty()) return false;
  const qsizetype end = PieceEnd(m_strPending, m_nPendingFrom, kPieceChars);
  QTextCursor cursor(m_pDocument);
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(QStringView(m_strPending).mid(m_nPendingFrom, end - m_nPendingFrom).toString());
  m_nPendingFrom = end;
  if (m_nPendingFrom < m_strPending.size()) {
    SetStatus(QStringLiteral("%1% complete").arg(m_nPendingFrom * 100 / m_strPending.size()));
    return true;
  }
  m_strPending = QString();
  m_nPendingFrom = 0;
  m_pDocument->setUndoRedoEnabled(true);
  m_pDocument->setModified(false);
  SetStatus(QStringLiteral("Ready"));
  emit LoadFinished();
  return false;
}

void CTessaryDoc::EnsureLoadedStep() {
  if (LoadNextPiece()) QTimer::singleShot(0, this, [this] { EnsureLoadedStep(); });
}

void CTessaryDoc::EnsureLoaded() {
  while (LoadNextPiece()) {
  }
}

void CTessaryDoc::SetList(std::unique_ptr<CConcordanceList> list) {
  m_pList = std::move(list);
  emit ListChanged();
}

void CTessaryDoc::SetLines(std::shared_ptr<const CListLines> lines) {
  m_pDocument->clear();
  m_pLines = std::move(lines);
  m_pDocument->setModified(false);
  emit LinesChanged();
}

void CTessaryDoc::DropLines() {
  if (!m_pLines) return;
  m_pLines.reset();
  emit LinesChanged();
}

void CTessaryDoc::EnsureText() {
  if (!m_pLines) return;
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  SetStatus(QStringLiteral("Putting %1 lines into the window's text ... please wait").arg(m_pLines->Count()));
  // The list as it came is the text the user's first edit can be undone back to.
  m_pDocument->setUndoRedoEnabled(false);
  // In pieces, so the whole text is never held beside the document.
  constexpr std::int64_t kPieceLines = 65536;
  m_pDocument->clear();
  QTextCursor cursor(m_pDocument);
  for (std::int64_t first = 0; first < m_pLines->Count(); first += kPieceLines) {
    QString piece;
    m_pLines->AppendText(piece, first, first + kPieceLines);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(piece);
  }
  m_pDocument->setUndoRedoEnabled(true);
  m_pDocument->setModified(false);
  // The views take their caret from the store they paint, so it lives until they are done.
  const std::shared_ptr<const CListLines> lines = std::move(m_pLines);
  emit LinesChanged();
  SetStatus(QStringLiteral("Ready"));
  QGuiApplication::restoreOverrideCursor();
}

QString CTessaryDoc::PlainText() const {
  if (m_pLines) return m_pLines->Text();
  const_cast<CTessaryDoc*>(this)->EnsureLoaded();
  QString text = m_pDocument->toRawText();
  for (QChar& c : text)
    if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) c = QLatin1Char('\n');
  return text;
}

bool CTessaryDoc::OnSaveDocument(const QString& path, int nType) {
  EnsureLoaded();
  const QFileInfo info(path);
  auto fail = [&](const QString& reason) {
    SetStatus(QStringLiteral("Ready"));
    Ask(QStringLiteral("Cannot write %1: %2.").arg(QDir::toNativeSeparators(path), reason), QMessageBox::Warning);
    return false;
  };
  // The file is replaced by renaming, which a read-only file would not stop (nor its
  // missing owner write bit, for the super-user).
  if (info.exists() && (!info.isWritable() || !(info.permissions() & QFileDevice::WriteOwner)))
    return fail(QStringLiteral("the file is read-only"));
  if (!DocumentKind(nType).m_bWrite) return fail(QStringLiteral("this format can not be written"));

  SetStatus(QStringLiteral("Saving File.  Please Wait."));
  QByteArray bytes;
  if (nType == kTypeRtf) {
    const CRichText rich = m_pLines ? LinesToRichText(*m_pLines, m_pDocument->defaultFont())
                                    : DocumentToRichText(*m_pDocument);
    bytes = QByteArray::fromStdString(WriteRtf(rich, AnsiCodePage()));
  } else if (nType == kTypeTextDos) {
    bytes = EncodeText(PlainText(), TextEncoding::kAnsi, kOemCodePage, QStringLiteral("\r\n"));
  } else {
    bytes = EncodeText(PlainText(), m_encoding, m_nCodePage ? m_nCodePage : AnsiCodePage(), m_strLineEnd);
  }

  // A failed write leaves the old file whole: the text goes to a temporary file that
  // replaces it only when everything is written.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return fail(file.errorString());
  if (file.write(bytes) != bytes.size()) {
    const QString reason = file.errorString();
    file.cancelWriting();
    return fail(reason);
  }
  if (!file.commit()) return fail(file.errorString());

  SetPathName(path);
  SetDocType(nType);
  m_pDocument->setModified(false);
  SetStatus(QStringLiteral("Ready"));
  return true;
}

bool CTessaryDoc::AskSaveName(QString& path, int& nType) {
  CFileDialogRequest request;
  request.m_strTitle = QStringLiteral("Save As");
  request.m_arrFilters = {QStringLiteral("RTF files (*.RTF)"), QStringLiteral("Text Files (*.TXT)"),
                          QStringLiteral("All Documents (*.*)")};
  const bool bRtf = m_nDocType == kTypeRtf;
  request.m_nFilterIndex = bRtf ? 0 : 1;
  request.m_strDefaultSuffix = bRtf ? QStringLiteral("rtf") : QStringLiteral("txt");
  if (!m_strPathName.isEmpty()) {
    const QFileInfo info(m_strPathName);
    request.m_strDirectory = info.absolutePath();
    request.m_strInitialName = info.fileName();
  } else {
    request.m_strInitialName = m_strTitle;
  }
  request.m_bSave = true;
  request.m_bOverwritePrompt = true;
  if (!Host()) return false;
  const CFileDialogResult result = Host()->Prompt().AskFiles(request);
  if (!result.m_bOk || result.m_arrFiles.isEmpty()) return false;
  path = result.m_arrFiles.front();
  nType = result.m_nFilterIndex == 0 ? kTypeRtf : kTypeText;
  if (QFileInfo(path).suffix().isEmpty() && result.m_nFilterIndex <= 1)
    path += result.m_nFilterIndex == 0 ? QStringLiteral(".rtf") : QStringLiteral(".txt");
  return true;
}

bool CTessaryDoc::DoSave(bool bAskName) {
  QString path = m_strPathName;
  int nType = m_nDocType;
  bool bSaveAs = bAskName || path.isEmpty();
  if (!bSaveAs && !DocumentKind(nType).m_bWrite) {
    if (Ask(QStringLiteral("Can not save this file in its current format.  Do you wish to save this file in a "
                           "different format?"),
            QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) != QMessageBox::Yes)
      return false;
    bSaveAs = true;
  }
  if (bSaveAs && !AskSaveName(path, nType)) return false;
  if (IsPlainKind(nType) && HasFormatting(*m_pDocument)) {
    const QString text =
        QStringLiteral("You are about to save the document in Text-Only format, which will remove all formatting. "
                       "Save %1 as a rich text document or as a text document?")
            .arg(QFileInfo(path).fileName());
    const int nAnswer = Host() ? Host()->Prompt().AskNamedButtons(
                                     QStringLiteral("Tessary"), text, QMessageBox::Warning,
                                     {QStringLiteral("&Rich Text Document"), QStringLiteral("&Text Document"),
                                      QStringLiteral("Cancel")},
                                     0, 2)
                               : 2;
    if (nAnswer == 0) nType = kTypeRtf;
    else if (nAnswer != 1) return false;
  }
  if (!OnSaveDocument(path, nType)) return false;
  if (Host()) Host()->AddRecentFile(path);
  return true;
}

CTessaryDoc::SaveChoice CTessaryDoc::AskSaveChanges(bool bOfferAll) {
  const QString name = m_strPathName.isEmpty() ? m_strTitle : QDir::toNativeSeparators(m_strPathName);
  const QString text = QStringLiteral("Save changes to %1?").arg(name);
  if (!bOfferAll) {
    switch (Ask(text, QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                QMessageBox::Yes)) {
      case QMessageBox::Yes: return SaveChoice::kSave;
      case QMessageBox::No: return SaveChoice::kDiscard;
      default: return SaveChoice::kCancel;
    }
  }
  if (!Host()) return SaveChoice::kCancel;
  static const SaveChoice choices[] = {SaveChoice::kSave, SaveChoice::kDiscard, SaveChoice::kSaveAll,
                                       SaveChoice::kDiscardAll, SaveChoice::kCancel};
  const int nAnswer = Host()->Prompt().AskNamedButtons(
      QStringLiteral("Tessary"), text, QMessageBox::Warning,
      {QStringLiteral("&Yes"), QStringLiteral("&No"), QStringLiteral("Save &all"), QStringLiteral("&Discard all"),
       QStringLiteral("Cancel")},
      0, 4);
  return nAnswer >= 0 && nAnswer < 5 ? choices[nAnswer] : SaveChoice::kCancel;
}

bool CTessaryDoc::SaveModified() {
  if (!IsModified()) return true;
  switch (AskSaveChanges(false)) {
    case SaveChoice::kSave: return DoSave(false);
    case SaveChoice::kDiscard: return true;
    default: return false;
  }
}

}  // namespace tessary

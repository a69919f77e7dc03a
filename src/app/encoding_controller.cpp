#include "app/encoding_controller.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QTextDocument>
#include <QDir>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/command_ids.h"
#include "app/encoding_dialogs.h"
#include "app/main_frame.h"
#include "app/tessary_app.h"
#include "editor/tessary_doc.h"
#include "editor/tessary_view.h"
#include "engine/codepage.h"
#include "export/encodings.h"
#include "export/unicode_writer.h"
#include "richtext/file_type.h"
#include "ui/prompt.h"
#include "ui/qt_text.h"

namespace tessary {

namespace {

constexpr const char* kCodePageCaption = "Language / Page Code Selection";

// The window's whole text with the line ends its file had (the platform's for new
// documents).
std::u16string WindowText(CTessaryDoc& doc) {
  doc.EnsureLoaded();
  QString text = doc.PlainText();
  if (doc.LineEnd() != QLatin1String("\n")) text.replace(QLatin1Char('\n'), doc.LineEnd());
  return ToU16(text);
}

}  // namespace

Expected<std::uint64_t> WriteUnicodeFile(const QString& path, std::u16string_view text, int nEncoding) {
  using Result = Expected<std::uint64_t>;
  const QFileInfo info(path);
  if (!info.exists() || !info.isFile()) {
    auto written = SaveAsUnicode(ToFsPath(path), text, nEncoding);
    if (!written && !info.exists()) QFile::remove(path);
    return written;
  }
  if (!info.isWritable()) return Result::Failure("the file is read-only");
  // The new text goes beside the old file and takes its place only when it is whole.
  QTemporaryFile temp(info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".XXXXXX"));
  if (!temp.open()) return Result::Failure(temp.errorString().toStdString());
  temp.close();
  auto written = SaveAsUnicode(ToFsPath(temp.fileName()), text, nEncoding);
  if (!written) return written;
  QFile::setPermissions(temp.fileName(), info.permissions());
  if (std::rename(ToFsPath(temp.fileName()).c_str(), ToFsPath(info.absoluteFilePath()).c_str()) != 0)
    return Result::Failure(std::strerror(errno));
  temp.setAutoRemove(false);
  return written;
}

bool CEncodingController::Handles(int id) const {
  switch (id) {
    case ids::kChooseCodePage: case ids::kReopenWithCodePage: case ids::kUnicodeToAnsi:
    case ids::kAnsiToUnicode: case ids::kSaveAsUnicode:
      return true;
    default:
      return false;
  }
}

bool CEncodingController::IsEnabled(int id) const {
  const CTessaryDoc* doc = ActiveDocument();
  switch (id) {
    case ids::kChooseCodePage: return true;
    // A window being filled has no whole text yet.
    case ids::kUnicodeToAnsi: case ids::kAnsiToUnicode: case ids::kSaveAsUnicode: return doc && !doc->m_bBusy;
    case ids::kReopenWithCodePage:
      // Only a plain-text file is read in a code page; a window a long operation reads
      // keeps its text until the operation ends.
      return doc && !doc->PathName().isEmpty() && doc->DocType() == kTypeText && !doc->List() && !doc->m_bBusy &&
             !m_app.Busy();
    default: return false;
  }
}

void CEncodingController::OnCommand(int id) {
  if (!IsEnabled(id)) return;
  switch (id) {
    case ids::kChooseCodePage: ChooseCodePage(); break;
    case ids::kReopenWithCodePage: ReopenWithCodePage(); break;
    case ids::kUnicodeToAnsi: UnicodeToAnsiCommand(); break;
    case ids::kAnsiToUnicode: AnsiToUnicodeCommand(); break;
    case ids::kSaveAsUnicode: SaveAsUnicodeCommand(); break;
    default: break;
  }
}

CTessaryDoc* CEncodingController::ActiveDocument() const {
  CTessaryView* view = m_app.MainFrame() ? m_app.MainFrame()->ActiveView() : nullptr;
  return view ? view->GetDocument() : nullptr;
}

void CEncodingController::Warn(const QString& text, const QString& caption) {
  m_app.Prompt().Message(text, caption, QMessageBox::Warning);
}

bool CEncodingController::ApplyCodePage(const QString& name, const QString& caption) {
  const auto chosen = CodePageFromName(name.toStdString());
  if (!chosen) {
    Warn(QStringLiteral("\"%1\" is not a code page of the list. The code page stays %2.")
             .arg(name, QString::fromStdString(CodePageDisplayName(m_app.m_nCodePage))),
         caption);
    return false;
  }
  const int nPage = ResolveCodePage(*chosen, CTessaryApp::kSystemAnsiCodePage);
  if (auto page = CCodePage::Open(nPage); !page) {
    Warn(QString::fromStdString(page.Error()), caption);
    return false;
  }
  m_app.SetCodePage(*chosen);
  return true;
}

bool CEncodingController::ChooseCodePage() {
  CCodePageDialog dialog;
  dialog.m_strCodePage = QString::fromStdString(CodePageDisplayName(m_app.m_nCodePage));
  if (!m_app.Prompt().Exec(dialog)) return false;
  return ApplyCodePage(dialog.m_strCodePage, kCodePageCaption);
}

bool CEncodingController::ChooseEncoding(int& nEncoding) {
  CEncodingDialog dialog;
  dialog.m_strEncoding = kDefaultEncodingName;
  if (!m_app.Prompt().Exec(dialog)) return false;
  if (!ApplyEncodingName(m_app.m_nEncoding, dialog.m_strEncoding.toStdString())) {
    Warn(QStringLiteral("\"%1\" is not an encoding of the list. Choose UTF-8, UNI16_LE or UNI16_BE.")
             .arg(dialog.m_strEncoding),
         "Select encoding to use");
    return false;
  }
  nEncoding = m_app.m_nEncoding;
  return true;
}

void CEncodingController::ReopenWithCodePage() {
  CTessaryDoc* doc = ActiveDocument();
  if (!doc || !ChooseCodePage()) return;
  if (doc->IsModified() &&
      m_app.Prompt().Message(QStringLiteral("Reopening %1 in another code page loses the changes made to it. Reopen it?")
                                 .arg(doc->Title()),
                             "Reopen with Code Page", QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No,
                             QMessageBox::No) != QMessageBox::Yes)
    return;
  // A file that can no longer be read leaves the window as it was (the editor tells why).
  doc->OnOpenDocument(doc->PathName(), m_app.m_settings.m_nAnsiCodePage);
}

void CEncodingController::UnicodeToAnsiCommand() {
  CTessaryDoc* source = ActiveDocument();
  if (!source || !ChooseCodePage()) return;
  const int nPage = m_app.m_settings.m_nAnsiCodePage;
  auto page = CCodePage::Open(nPage);
  if (!page) return Warn(QString::fromStdString(page.Error()), "Unicode to Ansi");
  source->EnsureLoaded();
  const std::string bytes = (*page)->FromUnicode(ToU16(source->PlainText()));
  // The new window shows what the text keeps in the code page ('?' for what it lacks)
  // and is saved as those bytes.
  CTessaryDoc* doc = m_app.NewDocument(true);
  if (!doc) return;
  doc->SetDocType(kTypeText);
  doc->Document()->setPlainText(FromU16((*page)->ToUnicode(bytes)));
  doc->SetAnsiCodePage(nPage, source->LineEnd());
  doc->SetModified(!bytes.empty());
}

void CEncodingController::AnsiToUnicodeCommand() {
  CTessaryDoc* source = ActiveDocument();
  if (!source || !ChooseCodePage()) return;
  // The window's text as the bytes it is kept in, read again in the chosen code page.
  const int nSourcePage = source->CodePage() ? source->CodePage() : m_app.m_settings.m_nAnsiCodePage;
  const std::u16string original = WindowText(*source);
  auto bytes = UnicodeToAnsi(original, nSourcePage, CTessaryApp::kSystemAnsiCodePage);
  if (!bytes) return Warn(QString::fromStdString(bytes.Error()), "Ansi to Unicode");
  auto text = AnsiToUnicode(*bytes, m_app.m_nCodePage, CTessaryApp::kSystemAnsiCodePage);
  if (!text) return Warn(QString::fromStdString(text.Error()), "Ansi to Unicode");

  CFileDialogRequest request;
  request.m_strTitle = "Save As Unicode document";
  request.m_arrFilters = {"Text Files (*.TXT)"};
  request.m_bSave = true;
  request.m_bOverwritePrompt = true;
  const CFileDialogResult result = m_app.Prompt().AskFiles(request);
  if (!result.m_bOk || result.m_arrFiles.isEmpty()) return;
  const QString path = QFileInfo(result.m_arrFiles.front()).absoluteFilePath();
  int nEncoding = 0;
  if (!ChooseEncoding(nEncoding)) return;
  auto written = WriteUnicodeFile(path, *text, nEncoding);
  if (!written)
    return Warn(QStringLiteral("Cannot write %1: %2.").arg(QDir::toNativeSeparators(path), QString::fromStdString(written.Error())),
                "Ansi to Unicode");
  // A window that already shows the file shows the new text, unless it has changes of
  // its own to keep.
  for (CTessaryDoc* open : m_app.Documents())
    if (open->PathName() == path && !open->IsModified()) open->OnOpenDocument(path);
  m_app.OpenDocumentFile(path);
}

void CEncodingController::SaveAsUnicodeCommand() {
  CTessaryDoc* source = ActiveDocument();
  if (!source) return;
  CFileDialogRequest request;
  request.m_strTitle = "Create Unicode document";
  request.m_arrFilters = {"Text Files (*.TXT)"};
  request.m_strDefaultSuffix = "TXT";
  request.m_bSave = true;
  request.m_bOverwritePrompt = true;
  const CFileDialogResult result = m_app.Prompt().AskFiles(request);
  if (!result.m_bOk || result.m_arrFiles.isEmpty()) return;
  const QString path = QFileInfo(result.m_arrFiles.front()).absoluteFilePath();
  int nEncoding = 0;
  if (!ChooseEncoding(nEncoding)) return;
  auto written = WriteUnicodeFile(path, WindowText(*source), nEncoding);
  if (!written)
    return Warn(QStringLiteral("Cannot write %1: %2.").arg(QDir::toNativeSeparators(path), QString::fromStdString(written.Error())),
                "Save As Unicode");
  m_app.Prompt().Message(QString::fromStdString(SavedAsUnicodeMessage(nEncoding, QDir::toNativeSeparators(path).toStdString())),
                         "Save As Unicode", QMessageBox::Information);
}

}  // namespace tessary

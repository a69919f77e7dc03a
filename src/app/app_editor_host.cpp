#include "app/app_editor_host.h"

#include "app/main_frame.h"
#include "app/tessary_app.h"
#include "editor/tessary_doc.h"
#include "editor/tessary_view.h"

namespace tessary {

IPrompt& CAppEditorHost::Prompt() { return m_app.Prompt(); }

int CAppEditorHost::AnsiCodePage() const { return m_app.m_settings.m_nAnsiCodePage; }

bool CAppEditorHost::ForcePlainText() const { return m_app.m_bForcePlainText; }

// The options keep the margins as QRect(left, top, right, bottom).
CPageMargins CAppEditorHost::PageMargins() const {
  const QRect& rc = m_app.m_options.m_rcPageMargin;
  return {rc.x(), rc.y(), rc.width(), rc.height()};
}

void CAppEditorHost::SetPageMargins(const CPageMargins& margins) {
  m_app.m_options.m_rcPageMargin = QRect(margins.m_nLeft, margins.m_nTop, margins.m_nRight, margins.m_nBottom);
}

int CAppEditorHost::MeasurementUnits() const { return m_app.m_options.m_nUnits; }

void CAppEditorHost::SetStatusText(const QString& text) {
  if (CMainFrame* frame = m_app.MainFrame()) frame->SetPaneText(0, text);
}

CTessaryView* CAppEditorHost::ActiveView() const {
  return m_app.MainFrame() ? m_app.MainFrame()->ActiveView() : nullptr;
}

QWidget* CAppEditorHost::MainWindow() const { return m_app.MainFrame(); }

void CAppEditorHost::DocTypeChanged(const CTessaryDoc& doc, int nOld) {
  // The bars show the active document's kind; a document in the background changes
  // them when it is activated.
  CMainFrame* frame = m_app.MainFrame();
  if (!frame) return;
  const CTessaryView* active = frame->ActiveView();
  if (active && active->GetDocument() != &doc) return;
  frame->SaveBarLayout(nOld);
  frame->RestoreBarLayout(doc.DocType());
}

void CAppEditorHost::AddRecentFile(const QString& path) { m_app.AddRecentFile(path); }

}  // namespace tessary

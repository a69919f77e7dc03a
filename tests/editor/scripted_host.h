#pragma once
// A host for the editor without the program: settings as plain fields, scripted
// answers, and a record of what the editor told it.
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

#include "editor/editor_host.h"
#include "editor/tessary_doc.h"
#include "ui/scripted_prompt.h"

namespace tessary::test {

class CScriptedHost : public IEditorHost {
 public:
  IPrompt& Prompt() override { return m_prompt; }
  int AnsiCodePage() const override { return m_nAnsiCodePage; }
  bool ForcePlainText() const override { return m_bForcePlainText; }
  CPageMargins PageMargins() const override { return m_margins; }
  void SetPageMargins(const CPageMargins& margins) override { m_margins = margins; }
  int MeasurementUnits() const override { return m_nUnits; }
  void SetStatusText(const QString& text) override { m_arrStatus.push_back(text); }
  CTessaryView* ActiveView() const override { return m_pActiveView; }
  QWidget* MainWindow() const override { return nullptr; }
  void DocTypeChanged(const CTessaryDoc& doc, int nOld) override {
    m_arrKindChanges.emplace_back(nOld, doc.DocType());
  }
  void AddRecentFile(const QString& path) override { m_arrRecentFiles.push_back(path); }

  CScriptedPrompt m_prompt;
  int m_nAnsiCodePage = 1252;
  bool m_bForcePlainText = false;
  CPageMargins m_margins;
  int m_nUnits = 0;
  CTessaryView* m_pActiveView = nullptr;
  QStringList m_arrStatus;
  QStringList m_arrRecentFiles;
  std::vector<std::pair<int, int>> m_arrKindChanges;  // (old kind, new kind)
};

}  // namespace tessary::test

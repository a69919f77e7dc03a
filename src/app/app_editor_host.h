#pragma once
// The editor's host in the program: the application object's prompt, settings and
// options, and the main frame's status pane, bars and active window.
#include "editor/editor_host.h"

namespace tessary {

class CTessaryApp;

class CAppEditorHost : public IEditorHost {
 public:
  explicit CAppEditorHost(CTessaryApp& app) : m_app(app) {}

  IPrompt& Prompt() override;
  int AnsiCodePage() const override;
  bool ForcePlainText() const override;
  CPageMargins PageMargins() const override;
  void SetPageMargins(const CPageMargins& margins) override;
  int MeasurementUnits() const override;
  void SetStatusText(const QString& text) override;
  CTessaryView* ActiveView() const override;
  QWidget* MainWindow() const override;
  void DocTypeChanged(const CTessaryDoc& doc, int nOld) override;
  void AddRecentFile(const QString& path) override;

 private:
  CTessaryApp& m_app;
};

}  // namespace tessary

#pragma once
// What the editor needs from the program around it: the prompt, the settings it reads
// and writes, and the frame's status pane, bars and active window. The program sets
// one host for the run; without one (or in tests with a scripted host) the editor
// runs on its own with the defaults below.
#include <QString>

class QWidget;

namespace tessary {

class CTessaryDoc;
class CTessaryView;
class IPrompt;

// Page margins in twips, kept by the host for the run.
struct CPageMargins {
  int m_nLeft = 1800, m_nTop = 1440, m_nRight = 1800, m_nBottom = 1440;
};

class IEditorHost {
 public:
  virtual ~IEditorHost() = default;

  // Every modal question of the editor goes through it.
  virtual IPrompt& Prompt() = 0;
  // The code page of files without a byte-order mark, of RTF and of plain-text saves.
  virtual int AnsiCodePage() const = 0;
  // Every file opens as plain text (the command line's "/t").
  virtual bool ForcePlainText() const = 0;
  virtual CPageMargins PageMargins() const = 0;
  virtual void SetPageMargins(const CPageMargins& margins) = 0;
  // The unit of the Page Setup dialog: 0 inches, 1 centimetres, ...
  virtual int MeasurementUnits() const = 0;
  // The first status pane.
  virtual void SetStatusText(const QString& text) = 0;
  // The window Find acts on while its dialog stays open; nullptr: the view it was
  // opened for.
  virtual CTessaryView* ActiveView() const = 0;
  // The window modeless dialogs belong to; nullptr: the view's own window.
  virtual QWidget* MainWindow() const = 0;
  // A document's kind changed from nOld to its DocType(): the bars show the layout of
  // the active document's kind.
  virtual void DocTypeChanged(const CTessaryDoc& doc, int nOld) = 0;
  // A document was saved under path.
  virtual void AddRecentFile(const QString& path) = 0;
};

// The host of the run; nullptr before the program sets one.
IEditorHost* EditorHost();
void SetEditorHost(IEditorHost* host);

}  // namespace tessary

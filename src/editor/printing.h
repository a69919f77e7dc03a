#pragma once
// Printing, print preview and page setup of the editor's documents. Margins are the
// host's (twips, for the run); the printer is one for the whole program.
#include <QObject>

#include "editor/editor_host.h"

class QPrinter;

namespace tessary {

class CTessaryView;

// The program's printer: Print, Print Preview, Page Setup and Print Setup share it.
QPrinter& EditorPrinter();

// The host's page margins (the defaults without a host).
CPageMargins PageMargins();
void SetPageMargins(const CPageMargins& margins);
void ApplyPageMargins(QPrinter& printer);

// Prints the view's whole text on printer (a PDF file when its output format says so),
// wrapped to the page within the host's margins.
void PrintDocument(CTessaryView* view, QPrinter* printer);
// The commands: Print (57607) asks for the printer first, Print Preview (57609) shows
// the pages, Page Setup (2111) asks for the margins.
void FilePrint(CTessaryView* view);
void FilePrintPreview(CTessaryView* view);
void PageSetup();

// Sent when the printer or the page layout changes; views and the format bar listen.
class CPrinterNotifier : public QObject {
  Q_OBJECT
 public:
  static CPrinterNotifier& Instance();
  void Notify() { emit PrinterChanged(); }
 signals:
  void PrinterChanged();
};

}  // namespace tessary

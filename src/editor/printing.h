#pragma once
// Printing, print preview and page setup of the editor's documents. Margins are the
// application's (twips, for the run); the printer is one for the whole program.
#include <QObject>

class QPrinter;

namespace tessary {

class CTessaryView;

// The program's printer: Print, Print Preview, Page Setup and Print Setup share it.
QPrinter& EditorPrinter();

// The application's page margins. They are kept in CAppOptions::m_rcPageMargin as
// QRect(left, top, right, bottom), that is x, y, width and height.
struct CPageMargins {
  int m_nLeft = 1800, m_nTop = 1440, m_nRight = 1800, m_nBottom = 1440;  // twips
};
CPageMargins PageMargins();
void SetPageMargins(const CPageMargins& margins);
void ApplyPageMargins(QPrinter& printer);

// Prints the view's whole text on printer (a PDF file when its output format says so),
// wrapped to the page within the application's margins.
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

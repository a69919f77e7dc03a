#include "editor/printing.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QTextDocument>
#include <QTextOption>
#include <cmath>
#include <memory>

#include "editor/editor_dialogs.h"
#include "editor/tessary_view.h"
#include "ui/dialog_support.h"
#include "ui/prompt.h"

namespace tessary {

namespace {

QPrinter* g_pPrinter = nullptr;

void DeletePrinter() {
  delete g_pPrinter;
  g_pPrinter = nullptr;
}

// The resolution QTextDocument lays text out at when no paint device is given.
qreal ScreenDpiX() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? std::round(screen->logicalDotsPerInchX()) : 96.0;
}
qreal ScreenDpiY() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? std::round(screen->logicalDotsPerInchY()) : 96.0;
}

int PointsToTwips(qreal points) { return static_cast<int>(std::lround(points * 20)); }

class CSystemPageSetupModel : public CDialogModel {
 public:
  explicit CSystemPageSetupModel(QPrinter& printer) : m_printer(printer) {}
  std::unique_ptr<QDialog> CreateWidget(QWidget* parent) override {
    return std::make_unique<QPageSetupDialog>(&m_printer, parent);
  }
  void ReadWidget(QDialog&) override {}  // the dialog sets the printer itself

 private:
  QPrinter& m_printer;
};

class CPrintModel : public CDialogModel {
 public:
  explicit CPrintModel(QPrinter& printer) : m_printer(printer) {}
  std::unique_ptr<QDialog> CreateWidget(QWidget* parent) override {
    auto dialog = std::make_unique<QPrintDialog>(&m_printer, parent);
    dialog->setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog->setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    NamePrintDialogControls(*dialog);
    return dialog;
  }
  void ReadWidget(QDialog&) override {}

 private:
  QPrinter& m_printer;
};

class CPrintPreviewModel : public CDialogModel {
 public:
  CPrintPreviewModel(QPrinter& printer, CTessaryView* view) : m_printer(printer), m_pView(view) {}
  std::unique_ptr<QDialog> CreateWidget(QWidget* parent) override {
    auto dialog = std::make_unique<QPrintPreviewDialog>(&m_printer, parent);
    QPointer<CTessaryView> view = m_pView;
    QObject::connect(dialog.get(), &QPrintPreviewDialog::paintRequested,
                     [view](QPrinter* printer) { PrintDocument(view.data(), printer); });
    return dialog;
  }
  void ReadWidget(QDialog&) override {}

 private:
  QPrinter& m_printer;
  QPointer<CTessaryView> m_pView;
};

IPrompt* Prompt() { return EditorHost() ? &EditorHost()->Prompt() : nullptr; }

}  // namespace

CPrinterNotifier& CPrinterNotifier::Instance() {
  static CPrinterNotifier notifier;
  return notifier;
}

QPrinter& EditorPrinter() {
  if (!g_pPrinter) {
    g_pPrinter = new QPrinter(QPrinter::HighResolution);
    ApplyPageMargins(*g_pPrinter);
    // A printer outlives no application: its print system goes with it.
    qAddPostRoutine(DeletePrinter);
  }
  return *g_pPrinter;
}

CPageMargins PageMargins() { return EditorHost() ? EditorHost()->PageMargins() : CPageMargins(); }

void SetPageMargins(const CPageMargins& margins) {
  if (IEditorHost* host = EditorHost()) host->SetPageMargins(margins);
}

void ApplyPageMargins(QPrinter& printer) {
  const CPageMargins m = PageMargins();
  printer.setPageMargins(QMarginsF(m.m_nLeft / 20.0, m.m_nTop / 20.0, m.m_nRight / 20.0, m.m_nBottom / 20.0),
                         QPageLayout::Point);
}

void PrintDocument(CTessaryView* view, QPrinter* printer) {
  if (view && view->GetDocument()) view->GetDocument()->EnsureLoaded();
  if (!view || !printer) return;
  ApplyPageMargins(*printer);
  // A copy is laid out for the page: the window's own layout (plain or rich, wrapped
  // or not) stays as it is.
  std::unique_ptr<QTextDocument> copy(view->Document()->clone());
  QTextOption option = copy->defaultTextOption();
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  copy->setDefaultTextOption(option);
  copy->setDocumentMargin(0);
  // Pages as big as the printable area, at the resolution the copy is laid out at:
  // the margins are then exactly the printer's.
  const QRectF paint = printer->pageLayout().paintRectPixels(printer->resolution());
  copy->setPageSize(QSizeF(paint.width() * ScreenDpiX() / printer->resolution(),
                           paint.height() * ScreenDpiY() / printer->resolution()));
  copy->print(printer);
}

void FilePrint(CTessaryView* view) {
  IPrompt* prompt = Prompt();
  if (!view || !prompt) return;
  QPrinter& printer = EditorPrinter();
  CPrintModel model(printer);
  if (prompt->Exec(model)) PrintDocument(view, &printer);
}

void FilePrintPreview(CTessaryView* view) {
  IPrompt* prompt = Prompt();
  if (!view || !prompt) return;
  CPrintPreviewModel model(EditorPrinter(), view);
  prompt->Exec(model);
}

void PageSetup() {
  IPrompt* prompt = Prompt();
  if (!prompt) return;
  const int nUnits = EditorHost()->MeasurementUnits();
  QPrinter& printer = EditorPrinter();
  // The system dialog needs a real printer; without one the program's own dialog asks.
  if (printer.outputFormat() == QPrinter::NativeFormat && !QPrinterInfo::availablePrinters().isEmpty()) {
    ApplyPageMargins(printer);
    QPageLayout layout = printer.pageLayout();
    layout.setUnits(nUnits == 1 ? QPageLayout::Millimeter : QPageLayout::Inch);
    printer.setPageLayout(layout);
    CSystemPageSetupModel model(printer);
    if (!prompt->Exec(model)) return;
    const QMarginsF m = printer.pageLayout().margins(QPageLayout::Point);
    SetPageMargins({PointsToTwips(m.left()), PointsToTwips(m.top()), PointsToTwips(m.right()), PointsToTwips(m.bottom())});
  } else {
    const CPageMargins old = PageMargins();
    CPageSetupModel model;
    model.m_nUnits = nUnits;
    model.m_strTop = FormatMeasurement(old.m_nTop, nUnits);
    model.m_strBottom = FormatMeasurement(old.m_nBottom, nUnits);
    model.m_strLeft = FormatMeasurement(old.m_nLeft, nUnits);
    model.m_strRight = FormatMeasurement(old.m_nRight, nUnits);
    CPageMargins margins;
    for (;;) {
      if (!prompt->Exec(model)) return;
      const QString error = model.Margins(&margins.m_nLeft, &margins.m_nTop, &margins.m_nRight, &margins.m_nBottom);
      if (error.isEmpty()) break;
      prompt->Message(error, QString(), QMessageBox::Information);
    }
    SetPageMargins(margins);
    ApplyPageMargins(printer);
  }
  CPrinterNotifier::Instance().Notify();
}

}  // namespace tessary
